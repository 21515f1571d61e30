#include "reading/ChartText.h"

#include <algorithm>
#include <cstddef>

#include "calc/Numeric.h"

namespace torvela::reading {

namespace {

// Columns a text takes in a fixed-width terminal font: one for ASCII, two
// for anything else (every text here is ASCII or full-width Japanese).
std::size_t Columns(const std::string& s) {
  std::size_t n = 0;
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) n += 1;
    else if ((b & 0xC0) != 0x80) n += 2;  // the lead byte of a character
  }
  return n;
}

// Right-aligned in width columns.
std::string Right(const std::string& s, std::size_t width) {
  const std::size_t n = Columns(s);
  return n >= width ? s : std::string(width - n, ' ') + s;
}

// Left-aligned in width columns, with at least one blank after it.
std::string Left(const std::string& s, std::size_t width) {
  const std::size_t n = Columns(s);
  return s + std::string(n >= width ? 1 : width - n, ' ');
}

void AddLine(std::string& out, std::string line) {
  while (!line.empty() && line.back() == ' ') line.pop_back();
  out += line;
  out += '\n';
}

// ---------------------------------------------------------------------------

void Inputs(std::string& s, const ChartTextContent& c) {
  if (!c.name.empty()) AddLine(s, "氏名：" + c.name);
  std::string line = "誕生日：" + c.birthday + "　" + (c.male ? "男" : "女");
  if (!c.jisahun.empty() || !c.jisabyo.empty())
    line += "　時差：" + c.jisahun + "分" + c.jisabyo + "秒";
  AddLine(s, line);
  if (!c.birthplace.empty()) AddLine(s, "出生地：" + c.birthplace);
}

// The chart as the main window shows it.
void Chart(std::string& s, const chart::ChartTexts& t) {
  AddLine(s, "真太陽時：" + t.txtShin);
  AddLine(s, "均時差　：" + t.txtKinjisa + "　" + t.txtweek);
  AddLine(s, "視黄経　：" + t.txtKoukei);
  AddLine(s, "大運交替：" + t.txtKoutai);
  AddLine(s, "交替年月：" + t.txtKoutaiYM + "　満" + t.txtAge + "歳");
  s += '\n';

  // Pillars right to left: year, month, day, hour, as in the window.
  constexpr std::size_t p = 6;
  AddLine(s, std::string(p, ' ') + Right("時", p) + Right("日", p) + Right("月", p) + Right("年", p));
  AddLine(s, "天干  " + Right(t.hKan, p) + Right(t.dKan, p) + Right(t.mKan, p) + Right(t.yKan, p));
  AddLine(s, "地支  " + Right(t.hShi, p) + Right(t.dShi, p) + Right(t.mShi, p) + Right(t.yShi, p));
  AddLine(s, std::string(20, ' ') + t.lblOu + "旺");
  s += '\n';

  // Great-luck columns, 10 at the left end and 0 (the month pillar) at the right.
  constexpr std::size_t w = 5;
  std::string from = "大運  ", to = "      ", kan = "      ", shi = "      ", mark = "      ";
  for (int i = 10; i >= 0; --i) {
    from += Right(i > 0 ? t.sai1[i - 1] : std::string(), w);
    to += Right(t.sai2[i], w);
    kan += Right(t.dun_kan[i], w);
    shi += Right(t.dun_shi[i], w);
    mark += i == t.bold ? std::string(" 現在") : std::string(w, ' ');
  }
  for (std::string* row : {&from, &to, &kan, &shi, &mark}) {
    while (!row->empty() && row->back() == ' ') row->pop_back();
    if (!row->empty()) AddLine(s, *row);
  }
}

std::string Counts(const ElementTally& tally) {
  std::string s;
  for (int e = 0; e < 5; ++e) {
    if (e > 0) s += ' ';
    s += std::string(ElementNames[e]) + WholeText(tally.of[e]);
  }
  return s;
}

// The reading table, 時柱 at the left as in the detail window.
void ReadingTable(std::string& s, const ReadingTexts& r) {
  constexpr std::size_t head = 12, col = 12;
  AddLine(s, std::string(DetailTitle));
  {
    std::string line(head, ' ');
    for (const Pillar p : DisplayOrder) line += Left(std::string(PillarHeadings[p]), col);
    AddLine(s, line);
  }
  const auto row = [&](Row which, const ByPillar<std::string>& cells) {
    std::string line = Left(std::string(RowHeadings[static_cast<int>(which)]), head);
    for (const Pillar p : DisplayOrder) line += Left(cells[p], col);
    AddLine(s, line);
  };
  // Hidden stems and their stars one to a line, 本気 first.
  const auto listRow = [&](Row which, const ByPillar<std::vector<std::string>>& cells) {
    std::size_t lines = 1;
    for (const Pillar p : DisplayOrder) lines = std::max(lines, cells[p].size());
    for (std::size_t k = 0; k < lines; ++k) {
      std::string line =
          Left(k == 0 ? std::string(RowHeadings[static_cast<int>(which)]) : std::string(), head);
      for (const Pillar p : DisplayOrder)
        line += Left(k < cells[p].size() ? cells[p][k] : std::string(), col);
      AddLine(s, line);
    }
  };
  ByPillar<std::string> branches = r.branches;
  for (const Pillar p : DisplayOrder)
    if (r.inDayVoid[p]) branches[p] += "（" + std::string(VoidMark) + "）";
  row(Row::TenGod, r.tenGods);
  row(Row::Stem, r.stems);
  row(Row::Branch, branches);
  listRow(Row::Hidden, r.hiddenStems);
  listRow(Row::HiddenTenGod, r.hiddenStemTenGods);
  row(Row::Stage, r.twelveStages);
  row(Row::Nayin, r.nayin);
  s += '\n';

  AddLine(s, Left(std::string(VoidHeading), head) + std::string(PillarHeadings[Day]) + " " +
                 r.voidBranches.day + "　" + std::string(PillarHeadings[Year]) + " " +
                 r.voidBranches.year);
  AddLine(s, Left(std::string(ElementHeading), head) + std::string(EightCharactersCaption) + " " +
                 Counts(r.elementCounts) + "　" + std::string(WithMainHiddenCaption) + " " +
                 Counts(r.elementCountsWithMainHiddenStems));
  AddLine(s, Left(std::string(YinYangHeading), head) + YinYangText(r.yinYang));
  s += '\n';

  AddLine(s, YearlyLuckTitle(r.yearlyLuck));
  for (const YearLuckTexts& y : r.yearlyLuck.years) {
    AddLine(s, "  " + Left(YearText(y.year), 8) + Left(y.pillar, 6) + Left(y.tenGod, 6) +
                   Left(y.twelveStage, 6) + Right(AgeText(y.age), 6) + (y.current ? "  現在" : ""));
  }
}

}  // namespace


std::string ChartPlainText(const ChartTextContent& c) {
  std::string s;
  Inputs(s, c);
  s += '\n';
  Chart(s, c.chart);
  if (!c.prevTerm.empty() || !c.nextTerm.empty()) {
    s += '\n';
    for (const std::string* line : {&c.prevTerm, &c.nextTerm})
      if (!line->empty()) AddLine(s, *line);
  }
  if (!c.notices.empty()) {
    s += '\n';
    for (const std::string& notice : c.notices) AddLine(s, notice);
  }
  if (c.reading) {
    s += '\n';
    ReadingTable(s, *c.reading);
  }
  return s;
}

}  // namespace torvela::reading
