#include "report/Page.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <string_view>

#include "reading/ChartText.h"
#include "reading/Reading.h"
#include "report/Style.h"

namespace torvela::report {

namespace {

// The sheet's margins and the footer's place, in points.
constexpr double kLeft = 42.52;  // 15 mm
constexpr double kRight = PageWidth - 42.52;
constexpr double kWidth = kRight - kLeft;
constexpr double kTop = 42.52;
constexpr double kFooterRule = PageHeight - 40;  // the body ends above this rule

const QColor kInk(0x1e, 0x1e, 0x1e);
const QColor kGrey(0x6a, 0x6a, 0x6a);
const QColor kRule(0xb0, 0xb0, 0xb0);
const QColor kShade(0xf0, 0xf0, 0xec);
const QColor kVoid(0xc0, 0x30, 0x2a);  // the 空亡 mark, as the detail window shows it

constexpr std::string_view kProgram = "Torvela（一般用）";

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Page fonts are unhinted, so that their advances scale exactly with the
// device and text measured here fits wherever it is painted. Sizes are
// whole points: Qt takes a point size to whole pixels, which on the
// measuring device below are points.
QFont G(int pt, bool bold = false) {
  QFont f = GothicFont(pt, bold);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}
QFont P(int pt, bool bold = false) {
  QFont f = PGothicFont(pt, bold);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

// A device on which one point is one pixel, for measuring in points.
const QImage& PointDevice() {
  static const QImage device = [] {
    QImage image(1, 1, QImage::Format_RGB32);
    image.setDotsPerMeterX(2835);  // 72 dpi
    image.setDotsPerMeterY(2835);
    return image;
  }();
  return device;
}

QFontMetricsF Metrics(const QFont& font) { return QFontMetricsF(font, &PointDevice()); }

QString DateText(const QDate& d) {
  return QStringLiteral("%1年%2月%3日").arg(d.year()).arg(d.month()).arg(d.day());
}

// Collects the items of the page.
class Sheet {
 public:
  std::vector<PageItem> items;

  static double Width(const QFont& font, const QString& text) {
    double w = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
      w = std::max(w, Metrics(font).horizontalAdvance(line));
    return w;
  }
  static double Height(const QFont& font) { return Metrics(font).height(); }

  // Text in r; a single line too wide for r is elided.
  void Text(const QRectF& r, const QString& text, const QFont& font, int align = Qt::AlignCenter,
            const QColor& color = kInk) {
    if (text.isEmpty()) return;
    QString shown = text;
    if (!text.contains(QLatin1Char('\n')) && Width(font, text) > r.width())
      shown = Metrics(font).elidedText(text, Qt::ElideRight, r.width());
    PageItem item;
    item.kind = PageItem::Kind::Text;
    item.rect = r;
    item.text = shown;
    item.font = font;
    item.flags = align;
    item.pen = color;
    items.push_back(item);
  }

  // A paragraph wrapped to width from (x, y); returns its height.
  double Paragraph(double x, double y, double width, const QString& text, const QFont& font,
                   const QColor& color = kInk) {
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    const double h =
        Metrics(font).boundingRect(QRectF(0, 0, width, 1e6), flags, text).height();
    PageItem item;
    item.kind = PageItem::Kind::Text;
    item.rect = QRectF(x, y, width, h);
    item.text = text;
    item.font = font;
    item.flags = flags;
    item.pen = color;
    items.push_back(item);
    return h;
  }

  void Box(const QRectF& r, const QColor& pen, const QColor& fill, double radius = 0,
           double penWidth = 0.5) {
    PageItem item;
    item.kind = PageItem::Kind::Box;
    item.rect = r;
    item.pen = pen;
    item.fill = fill;
    item.radius = radius;
    item.penWidth = penWidth;
    items.push_back(item);
  }

  void Line(double x1, double y1, double x2, double y2, const QColor& color = kRule,
            double width = 0.5) {
    PageItem item;
    item.kind = PageItem::Kind::Line;
    item.rect = QRectF(QPointF(x1, y1), QPointF(x2, y2));
    item.pen = color;
    item.penWidth = width;
    items.push_back(item);
  }
};

// Title and rule; returns the y below them.
double Header(Sheet& s, double y) {
  const QFont title = P(16, true);
  const double h = Sheet::Height(title);
  s.Text(QRectF(kLeft, y, kWidth, h), Q(kProgram) + QStringLiteral("命式"), title,
         Qt::AlignLeft | Qt::AlignVCenter);
  y += h + 4;
  s.Line(kLeft, y, kRight, y, kInk, 0.8);
  return y + 10;
}

// The name and the inputs as entered; returns the y below them.
double Inputs(Sheet& s, const PageContent& c, double y) {
  const QFont label = G(9);
  const QFont value = G(11);
  const double labelWidth = Sheet::Width(label, QStringLiteral("出生地")) + 10;
  if (!c.name.isEmpty()) {
    const QFont big = P(14, true);
    const double h = Sheet::Height(big) + 4;
    s.Text(QRectF(kLeft, y, labelWidth, h), QStringLiteral("氏名"), label,
           Qt::AlignLeft | Qt::AlignVCenter, kGrey);
    s.Text(QRectF(kLeft + labelWidth, y, kWidth - labelWidth, h), c.name, big,
           Qt::AlignLeft | Qt::AlignVCenter);
    y += h + 2;
  }
  std::vector<std::pair<QString, QString>> pairs;
  if (!c.birthday.isEmpty()) pairs.emplace_back(QStringLiteral("誕生日"), c.birthday);
  pairs.emplace_back(QStringLiteral("性別"), c.male ? QStringLiteral("男") : QStringLiteral("女"));
  if (!c.jisahun.isEmpty() || !c.jisabyo.isEmpty())
    pairs.emplace_back(QStringLiteral("時差"), c.jisahun + QStringLiteral("分") + c.jisabyo +
                                                   QStringLiteral("秒"));
  if (!c.birthplace.isEmpty()) pairs.emplace_back(QStringLiteral("出生地"), c.birthplace);

  // Two to a row: the birthday beside the sex, the time difference beside the place.
  const double rowHeight = Sheet::Height(value) + 5;
  const double half = kWidth / 2;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const double x = kLeft + (i % 2) * half;
    s.Text(QRectF(x, y, labelWidth, rowHeight), pairs[i].first, label,
           Qt::AlignLeft | Qt::AlignVCenter, kGrey);
    s.Text(QRectF(x + labelWidth, y, half - labelWidth - 8, rowHeight), pairs[i].second, value,
           Qt::AlignLeft | Qt::AlignVCenter);
    if (i % 2 == 1 || i + 1 == pairs.size()) y += rowHeight;
  }
  return y + 10;
}

// The chart as the main window shows it: the pillars right to left under
// their headings with the season element, the result boxes, and the eleven
// great-luck columns, column 0 at the right. Returns the y below its frame.
double Chart(Sheet& s, const chart::ChartTexts& t, double top) {
  const std::size_t frameAt = s.items.size();  // the frame goes behind what it holds
  constexpr double pad = 12;
  const double left = kLeft + pad, right = kRight - pad;
  double y = top + pad;

  // Pillars: hour, day, month, year from the left.
  const QFont heading = G(9);
  const QFont tile = P(22, true);
  constexpr double tileW = 40, tileH = 38, gap = 8;
  const double headingH = Sheet::Height(heading) + 2;
  const std::array<std::array<const std::string*, 2>, 4> pillars = {
      {{&t.hKan, &t.hShi}, {&t.dKan, &t.dShi}, {&t.mKan, &t.mShi}, {&t.yKan, &t.yShi}}};
  for (int c = 0; c < 4; ++c) {
    const double x = left + c * (tileW + gap);
    const reading::Pillar p = reading::DisplayOrder[static_cast<std::size_t>(c)];
    s.Text(QRectF(x - gap / 2, y, tileW + gap, headingH), Q(reading::PillarHeadings[p]), heading,
           Qt::AlignCenter, kGrey);
    for (int r = 0; r < 2; ++r) {
      const QRectF cell(x, y + headingH + 2 + r * (tileH + 4), tileW, tileH);
      s.Box(cell, kRule, Qt::white, 3, 0.7);
      s.Text(cell, Q(*pillars[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)]), tile);
    }
  }
  const double ouTop = y + headingH + 2 + 2 * tileH + 4 + 4;
  const QFont body = G(10);
  const double bodyH = Sheet::Height(body) + 2;
  if (!t.lblOu.empty())
    s.Text(QRectF(left + 2 * (tileW + gap) - gap / 2, ouTop, tileW + gap, bodyH),
           Q(t.lblOu) + QStringLiteral("旺"), body);
  const double pillarsBottom = ouTop + bodyH;
  const double pillarsRight = left + 4 * tileW + 3 * gap;

  // Result boxes, each as wide as its widest text in the window.
  const double captionW = Sheet::Width(body, QStringLiteral("大運交替："));
  const auto boxW = [&body](const char* widest) {
    return Sheet::Width(body, QString::fromUtf8(widest)) + 10;
  };
  const double widestRow = std::max(
      {boxW("2000年12月31日23時59.9分"), boxW("-14分15.2秒") + 4 + boxW("水曜日"),
       boxW("甲年子月") + boxW("満") + boxW("100") + boxW("歳") + 4});
  // The boxes stand in the middle of the room right of the pillars.
  const double x0 = pillarsRight + std::max(30.0, (right - pillarsRight - captionW - widestRow) / 2);
  const double boxH = bodyH + 3, rowH = boxH + 5;
  double ry = y + (pillarsBottom - y - 5 * rowH) / 2;
  auto field = [&](double& x, const std::string& text, const QString& widest,
                   int align = Qt::AlignLeft | Qt::AlignVCenter) {
    const double w = Sheet::Width(body, widest) + 10;
    const QRectF box(x, ry, w, boxH);
    s.Box(box, kRule, QColor(), 2);
    s.Text(box.adjusted(4, 0, -4, 0), Q(text), body, align);
    x += w + 4;
  };
  auto word = [&](double& x, const QString& text) {
    const double w = Sheet::Width(body, text);
    s.Text(QRectF(x, ry, w + 1, boxH), text, body, Qt::AlignLeft | Qt::AlignVCenter);
    x += w + 4;
  };
  auto row = [&](const QString& caption, auto&& fields) {
    s.Text(QRectF(x0, ry, captionW, boxH), caption, body, Qt::AlignRight | Qt::AlignVCenter);
    double x = x0 + captionW + 2;
    fields(x);
    ry += rowH;
  };
  row(QStringLiteral("真太陽時："),
      [&](double& x) { field(x, t.txtShin, QStringLiteral("2000年12月31日23時59.9分")); });
  row(QStringLiteral("均時差："), [&](double& x) {
    field(x, t.txtKinjisa, QStringLiteral("-14分15.2秒"));
    field(x, t.txtweek, QStringLiteral("水曜日"));
  });
  row(QStringLiteral("大運交替："),
      [&](double& x) { field(x, t.txtKoutai, QStringLiteral("約10歳11カ月30日")); });
  row(QStringLiteral("交替年月："), [&](double& x) {
    field(x, t.txtKoutaiYM, QStringLiteral("甲年子月"));
    word(x, QStringLiteral("満"));
    field(x, t.txtAge, QStringLiteral("100"), Qt::AlignRight | Qt::AlignVCenter);
    word(x, QStringLiteral("歳"));
  });
  row(QStringLiteral("視黄経："),
      [&](double& x) { field(x, t.txtKoukei, QStringLiteral("359.999999999999")); });
  y = std::max(pillarsBottom, ry) + 8;
  s.Line(left, y, right, y);
  y += 8;

  // Great luck: "大運" at the right end, then columns 0 .. 10 leftwards.
  const QFont age = G(10);
  const QFont luck = P(14);
  const QFont luckBold = P(14, true);
  const QFont mark = G(8);
  constexpr double captionCol = 30;
  const double colW = (right - left - captionCol) / 11;
  const double ageH = Sheet::Height(age) + 1, luckH = Sheet::Height(luck) + 3;
  const double markH = Sheet::Height(mark) + 1;
  for (int i = 0; i <= 10; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const double x = left + (10 - i) * colW;
    double cy = y;
    if (i >= 1) s.Text(QRectF(x, cy, colW, ageH), Q(t.sai1[k - 1]), age, Qt::AlignCenter, kGrey);
    cy += ageH;
    s.Text(QRectF(x, cy, colW, ageH), Q(t.sai2[k]), age, Qt::AlignCenter, kGrey);
    cy += ageH;
    const bool current = i == t.bold;
    s.Text(QRectF(x, cy, colW, luckH), Q(t.dun_kan[k]), current ? luckBold : luck);
    s.Text(QRectF(x, cy + luckH, colW, luckH), Q(t.dun_shi[k]), current ? luckBold : luck);
    if (current)
      s.Text(QRectF(x, cy + 2 * luckH, colW, markH), QStringLiteral("現在"), mark, Qt::AlignCenter,
             kGrey);
  }
  const double luckTop = y + 2 * ageH;
  const QFont caption = P(14, true);
  s.Text(QRectF(right - captionCol, luckTop, captionCol, luckH), QStringLiteral("大"), caption);
  s.Text(QRectF(right - captionCol, luckTop + luckH, captionCol, luckH), QStringLiteral("運"),
         caption);
  y = luckTop + 2 * luckH + markH + pad - 4;

  PageItem frame;
  frame.kind = PageItem::Kind::Box;
  frame.rect = QRectF(kLeft, top, kWidth, y - top);
  frame.pen = kRule;
  frame.fill = QColor(0xfb, 0xfb, 0xf9);
  frame.radius = 4;
  frame.penWidth = 0.7;
  s.items.insert(s.items.begin() + static_cast<std::ptrdiff_t>(frameAt), frame);
  return y;
}

// The term lines and the notices; returns the y below them.
double Notices(Sheet& s, const PageContent& c, double y) {
  const QFont font = G(10);
  const double lineH = Sheet::Height(font) + 3;
  bool any = false;
  for (const std::string* term : {&c.prevTerm, &c.nextTerm}) {
    if (term->empty()) continue;
    s.Text(QRectF(kLeft + 4, y, kWidth - 4, lineH), Q(*term), font,
           Qt::AlignLeft | Qt::AlignVCenter);
    y += lineH;
    any = true;
  }
  if (!c.notices.empty()) {
    if (any) y += 4;
    const double bullet = Sheet::Width(font, QStringLiteral("・"));
    for (const std::string& notice : c.notices) {
      s.Text(QRectF(kLeft + 4, y, bullet, lineH - 3), QStringLiteral("・"), font,
             Qt::AlignLeft | Qt::AlignTop);
      y += s.Paragraph(kLeft + 4 + bullet, y, kWidth - 4 - bullet, Q(notice), font) + 3;
    }
    any = true;
  }
  return any ? y + 6 : y;
}

// The reading table (時・日・月・年 from the left) with the day master and the
// 空亡 under it. Returns its bottom.
double ReadingTable(Sheet& s, const reading::ReadingTexts& t, double x, double top) {
  const QFont heading = G(9, true);
  const QFont cell = G(10);
  const QFont pillar = P(16, true);
  const QFont voidMark = G(8);
  constexpr double headW = 64, colW = 50;
  const double width = headW + 4 * colW;
  const double cellLine = Sheet::Height(cell);
  const double single = cellLine + 8;
  std::size_t hidden = 1;
  for (const auto& stems : t.hiddenStems.of) hidden = std::max(hidden, stems.size());
  const double stacked = cellLine * static_cast<double>(hidden) + 10;
  const double pillarH = Sheet::Height(pillar) + 8;
  const double branchH = pillarH + Sheet::Height(voidMark);
  using reading::Row;
  const std::array<double, reading::RowCount> heights = {single, pillarH, branchH, stacked,
                                                         stacked, single, single};

  double y = top;
  const double headH = single;
  double tableH = headH;
  for (double h : heights) tableH += h;
  s.Box(QRectF(x, y, headW, tableH), QColor(), kShade);
  s.Box(QRectF(x + headW, y, 4 * colW, headH), QColor(), kShade);
  for (int c = 0; c < 4; ++c) {
    const reading::Pillar p = reading::DisplayOrder[static_cast<std::size_t>(c)];
    s.Text(QRectF(x + headW + c * colW, y, colW, headH), Q(reading::PillarHeadings[p]), heading);
  }
  y += headH;
  auto lines = [](const std::vector<std::string>& items) {
    QStringList l;
    for (const std::string& item : items) l << Q(item);
    return l.join(QLatin1Char('\n'));
  };
  for (int r = 0; r < reading::RowCount; ++r) {
    const double h = heights[static_cast<std::size_t>(r)];
    s.Line(x, y, x + width, y);
    s.Text(QRectF(x + 4, y, headW - 10, h), Q(reading::RowHeadings[static_cast<std::size_t>(r)]),
           heading, Qt::AlignRight | Qt::AlignVCenter);
    for (int c = 0; c < 4; ++c) {
      const reading::Pillar p = reading::DisplayOrder[static_cast<std::size_t>(c)];
      const QRectF box(x + headW + c * colW, y, colW, h);
      switch (static_cast<Row>(r)) {
        case Row::TenGod: s.Text(box, Q(t.tenGods[p]), cell); break;
        case Row::Stem: s.Text(box, Q(t.stems[p]), pillar); break;
        case Row::Branch:
          // The mark sits close under the branch, as in the detail window.
          s.Text(QRectF(box.x(), box.y(), colW, pillarH - 3), Q(t.branches[p]), pillar);
          if (t.inDayVoid[p])
            s.Text(QRectF(box.x(), box.y() + pillarH - 3, colW, branchH - pillarH + 1),
                   Q(reading::VoidMark), voidMark, Qt::AlignCenter, kVoid);
          break;
        case Row::Hidden: s.Text(box, lines(t.hiddenStems[p]), cell); break;
        case Row::HiddenTenGod: s.Text(box, lines(t.hiddenStemTenGods[p]), cell); break;
        case Row::Stage: s.Text(box, Q(t.twelveStages[p]), cell); break;
        case Row::Nayin: s.Text(box, Q(t.nayin[p]), cell); break;
      }
    }
    y += h;
  }
  for (int c = 0; c < 4; ++c) s.Line(x + headW + c * colW, top, x + headW + c * colW, y);
  s.Box(QRectF(x, top, width, tableH), kRule, QColor(), 0, 0.7);

  // 日主 甲　日柱空亡 戌亥　年柱空亡 申酉
  y += 6;
  const QFont small = G(10);
  const double lineH = Sheet::Height(small) + 3;
  const QString sep = QStringLiteral("　");
  s.Text(QRectF(x, y, width, lineH),
         Q(reading::DayMasterText) + sep + Q(t.dayMaster) + sep + sep +
             Q(reading::DayVoidHeading) + sep + Q(t.voidBranches.day) + sep + sep +
             Q(reading::YearVoidHeading) + sep + Q(t.voidBranches.year),
         small, Qt::AlignLeft | Qt::AlignVCenter);
  return y + lineH;
}

// The yearly luck with the current year bold; returns its bottom (top when
// there are no years).
double YearlyLuck(Sheet& s, const reading::YearlyLuckTexts& luck, double x, double width,
                  double top) {
  if (luck.years.empty()) return top;
  const QFont title = G(10, true);
  const QFont heading = G(9, true);
  const QFont cell = G(10);
  const QFont bold = G(10, true);
  const double titleH = Sheet::Height(title) + 4;
  const double rowH = Sheet::Height(cell) + 5;
  double y = top;
  s.Text(QRectF(x, y, width, titleH), Q(reading::YearlyLuckTitle(luck)), title,
         Qt::AlignLeft | Qt::AlignVCenter);
  y += titleH;
  constexpr std::array<double, 5> share = {0.23, 0.18, 0.20, 0.20, 0.19};
  std::array<double, 6> xs{};
  xs[0] = x;
  for (std::size_t c = 0; c < 5; ++c) xs[c + 1] = xs[c] + width * share[c];
  const double tableTop = y;
  s.Box(QRectF(x, y, width, rowH), QColor(), kShade);
  for (std::size_t c = 0; c < 5; ++c)
    s.Text(QRectF(xs[c], y, xs[c + 1] - xs[c], rowH), Q(reading::YearlyLuckColumns[c]), heading);
  y += rowH;
  for (std::size_t r = 0; r < luck.years.size(); ++r) {
    const reading::YearLuckTexts& yl = luck.years[r];
    if (r % 2 == 1) s.Box(QRectF(x, y, width, rowH), QColor(), QColor(0xf7, 0xf7, 0xf4));
    const std::array<QString, 5> cells = {Q(reading::YearText(yl.year)), Q(yl.pillar),
                                          Q(yl.tenGod), Q(yl.twelveStage),
                                          Q(reading::AgeText(yl.age))};
    for (std::size_t c = 0; c < 5; ++c)
      s.Text(QRectF(xs[c], y, xs[c + 1] - xs[c], rowH), cells[c], yl.current ? bold : cell);
    y += rowH;
  }
  s.Box(QRectF(x, tableTop, width, y - tableTop), kRule, QColor(), 0, 0.7);
  return y;
}

// The five elements as bars in their colours: the eight characters, and in
// a paler tint what the 本気 of the branches adds; 陰陽 beside the title.
double ElementBlock(Sheet& s, const reading::ReadingTexts& t, double x, double width, double top) {
  const QFont title = G(10, true);
  const QFont small = G(9);
  const QFont name = G(10, true);
  const double titleH = Sheet::Height(title) + 4;
  double y = top;
  s.Text(QRectF(x, y, width / 2, titleH), Q(reading::ElementHeading), title,
         Qt::AlignLeft | Qt::AlignVCenter);
  s.Text(QRectF(x + width / 2, y, width / 2, titleH),
         Q(reading::YinYangHeading) + QStringLiteral("　") + Q(reading::YinYangText(t.yinYang)),
         small, Qt::AlignRight | Qt::AlignVCenter);
  y += titleH;

  const auto& eight = t.elementCounts.of;
  const auto& withMain = t.elementCountsWithMainHiddenStems.of;
  const int scaleMax = std::max(6, *std::max_element(withMain.begin(), withMain.end()));
  const double countH = Sheet::Height(small) + 1;
  constexpr double barsH = 56;
  const double base = y + countH + 2 + barsH;
  const double unit = barsH / scaleMax;
  const double slot = width / 5, barW = std::min(16.0, slot / 3);
  s.Line(x, base, x + width, base, kRule, 0.7);
  for (std::size_t e = 0; e < 5; ++e) {
    const QColor color = ElementColor(static_cast<int>(e));
    QColor pale = color;
    pale.setAlpha(90);
    const double cx = x + slot * static_cast<double>(e) + slot / 2;
    const double full = eight[e] * unit, extended = std::max(eight[e], withMain[e]) * unit;
    if (extended > full) s.Box(QRectF(cx - barW / 2, base - extended, barW, extended - full), QColor(), pale);
    if (full > 0) s.Box(QRectF(cx - barW / 2, base - full, barW, full), QColor(), color);
    const QString count = withMain[e] == eight[e]
                              ? QString::number(eight[e])
                              : QStringLiteral("%1(%2)").arg(eight[e]).arg(withMain[e]);
    s.Text(QRectF(cx - slot / 2, base - extended - countH - 1, slot, countH), count, small);
    s.Text(QRectF(cx - slot / 2, base + 2, slot, Sheet::Height(name) + 2), Q(reading::ElementNames[e]),
           name, Qt::AlignCenter, color);
  }
  y = base + 2 + Sheet::Height(name) + 4;
  const double legendH = Sheet::Height(small) + 2;
  s.Text(QRectF(x, y, width, legendH),
         Q(reading::EightCharactersCaption) + QStringLiteral("（") +
             Q(reading::WithMainHiddenCaption) + QStringLiteral("）"),
         small, Qt::AlignLeft | Qt::AlignVCenter, kGrey);
  return y + legendH;
}

// The reading under its heading: the table at the left, the yearly luck and
// the elements at the right. Returns its bottom.
double Reading(Sheet& s, const reading::ReadingTexts& t, double y) {
  const QFont title = G(11, true);
  const double titleH = Sheet::Height(title) + 2;
  s.Text(QRectF(kLeft, y, kWidth, titleH), Q(reading::DetailTitle), title,
         Qt::AlignLeft | Qt::AlignVCenter);
  y += titleH + 2;
  s.Line(kLeft, y, kRight, y, kInk, 0.6);
  y += 8;
  const double leftBottom = ReadingTable(s, t, kLeft, y);
  const double x = kLeft + 64 + 4 * 50 + 24;
  const double width = kRight - x;
  double right = YearlyLuck(s, t.yearlyLuck, x, width, y);
  if (right > y) right += 12;
  right = ElementBlock(s, t, x, width, right);
  return std::max(leftBottom, right);
}

void Footer(Sheet& s, const PageContent& c) {
  const QFont font = G(8);
  const double h = Sheet::Height(font) + 2;
  s.Line(kLeft, kFooterRule, kRight, kFooterRule);
  s.Text(QRectF(kLeft, kFooterRule + 3, kWidth / 2, h),
         Q(kProgram) + QStringLiteral(" ") + QStringLiteral(TORVELA_VERSION_TEXT), font,
         Qt::AlignLeft | Qt::AlignVCenter, kGrey);
  if (c.printedOn.isValid())
    s.Text(QRectF(kLeft + kWidth / 2, kFooterRule + 3, kWidth / 2, h),
           QStringLiteral("印刷日：") + DateText(c.printedOn), font,
           Qt::AlignRight | Qt::AlignVCenter, kGrey);
}

// Shrinks the body's items about its top so that it ends at bottom,
// centred across the sheet.
void FitBody(std::vector<PageItem>& items, double end, double bottom) {
  const double k = (bottom - kTop) / (end - kTop);
  const double shift = kLeft + (kWidth - kWidth * k) / 2;
  for (PageItem& item : items) {
    const QRectF r = item.rect;
    item.rect = QRectF(QPointF(shift + (r.left() - kLeft) * k, kTop + (r.top() - kTop) * k),
                       QPointF(shift + (r.right() - kLeft) * k, kTop + (r.bottom() - kTop) * k));
    item.scale *= k;
    item.penWidth *= k;
    item.radius *= k;
  }
}

}  // namespace

void SetBirth(PageContent& content, const chart::BirthReport& birth, const Tables& tables,
              const chart::LocalTime& now) {
  reading::SetBirth(content, birth, tables, now);
}

QString PageTitle(const PageContent& content) {
  QString title = Q(kProgram) + QStringLiteral("命式");
  if (!content.name.isEmpty()) title += QStringLiteral(" ") + content.name;
  return title;
}

std::vector<PageItem> LayOutPage(const PageContent& content) {
  Sheet s;
  double y = Header(s, kTop);
  y = Inputs(s, content, y);
  y = Chart(s, content.chart, y);
  y = Notices(s, content, y + 10);
  if (content.reading) y = Reading(s, *content.reading, y + 12);
  const double bottom = kFooterRule - 10;
  if (y > bottom) FitBody(s.items, y, bottom);
  Footer(s, content);
  return s.items;
}

void PaintPage(QPainter& painter, const QRectF& pageRect, const PageContent& content) {
  const std::vector<PageItem> items = LayOutPage(content);
  painter.save();
  const double scale = std::min(pageRect.width() / PageWidth, pageRect.height() / PageHeight);
  painter.translate(pageRect.center());
  painter.scale(scale, scale);
  painter.translate(-PageWidth / 2, -PageHeight / 2);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  // Fonts are sized for the device's resolution, so a point size given for
  // 72 dpi has to be taken back to the device's before the scale applies.
  const double dpi = painter.device() ? painter.device()->logicalDpiY() : 72.0;
  for (const PageItem& item : items) {
    switch (item.kind) {
      case PageItem::Kind::Text: {
        QFont font = item.font;
        font.setPointSizeF(item.font.pointSizeF() * 72.0 / dpi);
        painter.save();
        painter.setFont(font);
        painter.setPen(item.pen);
        painter.translate(item.rect.topLeft());
        painter.scale(item.scale, item.scale);
        painter.drawText(QRectF(QPointF(0, 0), item.rect.size() / item.scale), item.flags, item.text);
        painter.restore();
        break;
      }
      case PageItem::Kind::Box: {
        if (item.pen.isValid()) {
          QPen pen(item.pen);
          pen.setWidthF(item.penWidth);
          painter.setPen(pen);
        } else {
          painter.setPen(Qt::NoPen);
        }
        painter.setBrush(item.fill.isValid() ? QBrush(item.fill) : QBrush(Qt::NoBrush));
        if (item.radius > 0)
          painter.drawRoundedRect(item.rect, item.radius, item.radius);
        else
          painter.drawRect(item.rect);
        break;
      }
      case PageItem::Kind::Line: {
        QPen pen(item.pen);
        pen.setWidthF(item.penWidth);
        painter.setPen(pen);
        painter.drawLine(item.rect.topLeft(), item.rect.bottomRight());
        break;
      }
    }
  }
  painter.restore();
}

QImage RenderPage(const PageContent& content, double dpi) {
  const QSize size(qRound(PageWidth * dpi / 72.0), qRound(PageHeight * dpi / 72.0));
  QImage image(size, QImage::Format_RGB32);
  const int dpm = qRound(dpi / 0.0254);
  image.setDotsPerMeterX(dpm);
  image.setDotsPerMeterY(dpm);
  image.fill(Qt::white);
  QPainter painter(&image);
  PaintPage(painter, QRectF(QPointF(0, 0), QSizeF(size)), content);
  painter.end();
  return image;
}

bool WritePdf(const QString& path, const PageContent& content, QString* error) {
  auto fail = [&](const QString& reason) {
    if (error)
      *error = QStringLiteral("PDFファイルを書き込めません：%1（%2）").arg(path, reason);
    return false;
  };
  // Written aside and moved into place when complete, so a failure leaves
  // any earlier file as it was.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
  {
    QPdfWriter writer(&file);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    writer.setTitle(PageTitle(content));
    writer.setCreator(Q(kProgram) + QStringLiteral(" ") + QStringLiteral(TORVELA_VERSION_TEXT));
    QPainter painter;
    if (!painter.begin(&writer)) return fail(QStringLiteral("PDFを開始できません"));
    PaintPage(painter, QRectF(0, 0, writer.width(), writer.height()), content);
    if (!painter.end()) return fail(QStringLiteral("PDFを完成できません"));
  }
  if (!file.commit()) return fail(file.errorString());
  return true;
}

}  // namespace torvela::report
