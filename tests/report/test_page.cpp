// The printed page: a PDF read back with poppler-utils holds the chart, the
// name, the notices and the reading in embedded Gothic faces; parts not
// given leave no heading behind; no text leaves its place or covers
// another; and the painted page shows the current great-luck column bold.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontMetricsF>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>

#include "chart/BirthMoment.h"
#include "report/Page.h"

namespace torvela::report {
namespace {

constexpr chart::LocalTime kNow{2025, 6, 1, 12, 0};

const Tables& TestTables() {
  static const Tables tables = LoadTables(TORVELA_TEST_DATA_DIR);
  return tables;
}

// 1975-03-08 14:30, a woman born 19 minutes east of 135°E: the hour pillar
// changes within the boundary margin, so the chart carries a notice.
PageContent Full() {
  PageContent c;
  c.name = QStringLiteral("山田 花子");
  c.birthday = QStringLiteral("1975年3月8日14時30分");
  c.male = false;
  c.jisahun = QStringLiteral("19");
  c.jisabyo = QStringLiteral("0");
  c.birthplace = QStringLiteral("東京都 千代田区");
  c.printedOn = QDate(2025, 6, 1);
  const chart::ChartInput in = chart::InputFromTexts(1975, 3, 8, "14", "30", false, "19", "0");
  SetBirth(c, chart::ComputeBirth(in, chart::MomentSettings{}, TestTables(), kNow), TestTables(),
           kNow);
  return c;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString Squeezed(QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s"))); }

QStringList Texts(const std::vector<PageItem>& items) {
  QStringList texts;
  for (const PageItem& item : items)
    if (item.kind == PageItem::Kind::Text) texts << item.text;
  return texts;
}

// The program's standard output; empty when it could not run.
QString Output(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

class PdfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QString(PDFTOTEXT).isEmpty() || QString(PDFFONTS).isEmpty() || QString(PDFINFO).isEmpty())
      GTEST_SKIP() << "poppler-utils (scripts/setup) is not installed";
    ASSERT_TRUE(dir_.isValid());
    path_ = dir_.filePath(QStringLiteral("命式.pdf"));
    QString error;
    ASSERT_TRUE(WritePdf(path_, content_, &error)) << error.toStdString();
  }
  QTemporaryDir dir_;
  QString path_;
  PageContent content_ = Full();
};

TEST_F(PdfTest, ReadsBackTheChartTheNameTheNoticesAndTheReading) {
  const QString raw = Squeezed(Output(PDFTOTEXT, {path_, QStringLiteral("-")}));
  QStringList lines;
  for (const QString& line : Output(PDFTOTEXT, {QStringLiteral("-layout"), path_, QStringLiteral("-")})
                                 .split(QLatin1Char('\n')))
    lines << Squeezed(line);
  ASSERT_FALSE(raw.isEmpty());
  const auto hasLine = [&lines](const QString& part) {
    return std::any_of(lines.begin(), lines.end(),
                       [&part](const QString& l) { return l.contains(part); });
  };
  const chart::ChartTexts& t = content_.chart;

  // The eight characters right to left as the window shows them: 時 日 月 年.
  EXPECT_TRUE(hasLine(Q(t.hKan + t.dKan + t.mKan + t.yKan))) << raw.toStdString();
  EXPECT_TRUE(hasLine(Q(t.hShi + t.dShi + t.mShi + t.yShi)));
  EXPECT_TRUE(hasLine(QStringLiteral("己癸己乙")));  // the chart's own anchor
  EXPECT_TRUE(hasLine(QStringLiteral("未丑卯卯")));
  for (const QString& part : {Squeezed(content_.name), content_.birthday, QStringLiteral("19分0秒"),
                              Squeezed(content_.birthplace), QStringLiteral("真太陽時：") + Q(t.txtShin),
                              Q(t.lblOu) + QStringLiteral("旺"), QStringLiteral("印刷日：2025年6月1日"),
                              QStringLiteral(TORVELA_VERSION_TEXT)})
    EXPECT_TRUE(raw.contains(part)) << part.toStdString();

  // Notices wrap; their words come out whole and in order.
  ASSERT_FALSE(content_.notices.empty());
  for (const std::string& notice : content_.notices)
    EXPECT_TRUE(raw.contains(Squeezed(Q(notice)))) << notice;
  EXPECT_TRUE(raw.contains(Squeezed(Q(content_.prevTerm))));
  EXPECT_TRUE(raw.contains(Squeezed(Q(content_.nextTerm))));

  // The single-line rows of the reading table, columns 時 日 月 年.
  const reading::ReadingTexts& r = *content_.reading;
  using reading::Row;
  const std::vector<std::pair<Row, const reading::ByPillar<std::string>*>> rows = {
      {Row::TenGod, &r.tenGods}, {Row::Stem, &r.stems},   {Row::Branch, &r.branches},
      {Row::Stage, &r.twelveStages}, {Row::Nayin, &r.nayin}};
  for (const auto& [row, cells] : rows) {
    QString expected = Q(std::string(reading::RowHeadings[static_cast<int>(row)]));
    for (reading::Pillar p : reading::DisplayOrder) expected += Q((*cells)[p]);
    EXPECT_TRUE(hasLine(expected)) << expected.toStdString();
  }
  for (const auto& y : r.yearlyLuck.years)
    EXPECT_TRUE(hasLine(Q(reading::YearText(y.year) + y.pillar + y.tenGod + y.twelveStage +
                          reading::AgeText(y.age))));

  const QString info = Output(PDFINFO, {path_});
  EXPECT_TRUE(info.contains(QStringLiteral("Torvela（一般用）命式 山田 花子"))) << info.toStdString();
}

TEST_F(PdfTest, EmbedsTheGothicFaces) {
  const QStringList lines = Output(PDFFONTS, {path_}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_GT(lines.size(), 2);
  QStringList names;
  for (const QString& line : lines.mid(2)) {  // after the two heading lines
    const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    ASSERT_GE(f.size(), 7) << line.toStdString();
    const qsizetype emb = f.size() - 5;  // emb sub uni object ID from the end
    EXPECT_EQ(f[emb], QStringLiteral("yes")) << "not embedded: " << line.toStdString();
    names << f[0];
  }
  // The fixed-pitch face for the text, the proportional one for the pillars.
  const bool ipa = names.contains(QStringLiteral("IPAGothic"));
  EXPECT_TRUE(ipa || names.join(' ').contains(QStringLiteral("Noto"))) << names.join(' ').toStdString();
  if (ipa) {
    EXPECT_TRUE(names.contains(QStringLiteral("IPAPGothic")));
  }
  // Subsets, not whole faces (IPAGothic alone is 6 MB).
  EXPECT_LT(QFile(path_).size(), 400 * 1024);
}

TEST(PageTest, WritePdfReportsAFolderThatIsNotThere) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("なし/命式.pdf"));
  QString error;
  EXPECT_FALSE(WritePdf(path, Full(), &error));
  EXPECT_TRUE(error.contains(path)) << error.toStdString();
  EXPECT_TRUE(error.startsWith(QStringLiteral("PDFファイルを書き込めません")));
  EXPECT_FALSE(QFile::exists(path));
}

// Each optional part, taken away, takes its heading with it and leaves the
// rest of the page as it was.
TEST(PageTest, PartsNotGivenLeaveNoHeading) {
  struct Case {
    const char* part;
    std::function<void(PageContent&)> remove;
    QStringList gone;
  };
  const std::vector<Case> cases = {
      {"name", [](PageContent& c) { c.name.clear(); }, {QStringLiteral("氏名")}},
      {"birthplace", [](PageContent& c) { c.birthplace.clear(); }, {QStringLiteral("出生地")}},
      {"time difference", [](PageContent& c) { c.jisahun.clear(), c.jisabyo.clear(); },
       {QStringLiteral("時差")}},
      {"reading", [](PageContent& c) { c.reading.reset(); },
       {QStringLiteral("命式詳細"), QStringLiteral("通変星"), QStringLiteral("年運"),
        QStringLiteral("五行"), QStringLiteral("日主")}},
      {"yearly luck", [](PageContent& c) { c.reading->yearlyLuck.years.clear(); },
       {QStringLiteral("年運"), QStringLiteral("干支")}},
      {"notices", [](PageContent& c) { c.notices.clear(); }, {QStringLiteral("・")}},
      {"terms", [](PageContent& c) { c.prevTerm.clear(), c.nextTerm.clear(); },
       {QStringLiteral("節入り"), QStringLiteral("次の節")}},
      {"date", [](PageContent& c) { c.printedOn = QDate(); }, {QStringLiteral("印刷日")}},
  };
  const PageContent full = Full();
  const QStringList all = Texts(LayOutPage(full));
  const auto mentions = [](const QStringList& texts, const QString& word) {
    return std::any_of(texts.begin(), texts.end(),
                       [&word](const QString& t) { return t.startsWith(word); });
  };
  for (const Case& c : cases) {
    PageContent content = full;
    c.remove(content);
    const QStringList texts = Texts(LayOutPage(content));
    for (const QString& word : c.gone) {
      EXPECT_TRUE(mentions(all, word)) << c.part << ": the full page lacks " << word.toStdString();
      EXPECT_FALSE(mentions(texts, word)) << c.part << ": left " << word.toStdString();
    }
    // Everything else stays.
    EXPECT_TRUE(texts.contains(QStringLiteral("Torvela（一般用）命式"))) << c.part;
    EXPECT_TRUE(texts.contains(Q(full.chart.dKan))) << c.part;
  }
}

// Every text fits the place it was given, inside the margins, and covers no
// other text, whatever the page holds; a crowded page shrinks to fit above
// the footer.
TEST(PageTest, TextStaysInItsPlaceWithoutOverlap) {
  PageContent crowded = Full();
  crowded.name = QStringLiteral("寿限無寿限無五劫の擦り切れ海砂利水魚の水行末雲来末風来末食う寝る処に住む処");
  crowded.birthplace = QStringLiteral("北海道 北海道余市郡余市町大字登町字何々何丁目何番地の何号の建物");
  for (int i = 0; i < 8; ++i) crowded.notices.push_back(crowded.notices.front());
  PageContent bare;
  bare.birthday = QStringLiteral("1975年3月8日出生時間不明");
  bare.chart = Full().chart;

  QImage pointDevice(1, 1, QImage::Format_RGB32);
  pointDevice.setDotsPerMeterX(2835);
  pointDevice.setDotsPerMeterY(2835);
  const QRectF sheet(40, 40, PageWidth - 80, PageHeight - 60);
  for (const auto& [name, content] : {std::pair{"full", Full()}, std::pair{"crowded", crowded},
                                      std::pair{"bare", bare}}) {
    const std::vector<PageItem> items = LayOutPage(content);
    double footerRule = 0;
    for (const PageItem& item : items)
      if (item.kind == PageItem::Kind::Line) footerRule = std::max(footerRule, item.rect.top());
    std::vector<const PageItem*> texts;
    for (const PageItem& item : items) {
      const QRectF r = item.rect.normalized();  // a rule has no height
      EXPECT_TRUE(r.left() >= sheet.left() && r.right() <= sheet.right() && r.top() >= sheet.top() &&
                  r.bottom() <= sheet.bottom())
          << name << ": " << item.text.toStdString();
      if (item.kind != PageItem::Kind::Text) continue;
      texts.push_back(&item);
      const QFontMetricsF fm(item.font, &pointDevice);
      const QRectF need =
          fm.boundingRect(QRectF(0, 0, item.rect.width() / item.scale, 1e6), item.flags, item.text);
      EXPECT_LE(need.width() * item.scale, item.rect.width() + 0.01)
          << name << ": " << item.text.toStdString();
      EXPECT_LE(need.height() * item.scale, item.rect.height() + 0.5)
          << name << ": " << item.text.toStdString();
    }
    // The footer's two texts come last; the body ends above its rule.
    ASSERT_GE(texts.size(), 2u);
    for (std::size_t i = 0; i + 2 < texts.size(); ++i)
      EXPECT_LE(texts[i]->rect.bottom(), footerRule) << name << ": " << texts[i]->text.toStdString();
    for (std::size_t i = 0; i < texts.size(); ++i)
      for (std::size_t j = i + 1; j < texts.size(); ++j) {
        const QRectF both = texts[i]->rect.intersected(texts[j]->rect);
        EXPECT_LT(both.width() * both.height(), 0.01)
            << name << ": " << texts[i]->text.toStdString() << " / " << texts[j]->text.toStdString();
      }
  }
}

// Pixels that differ between two renders of one size.
QRect Difference(const QImage& a, const QImage& b) {
  QRect r;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) r |= QRect(x, y, 1, 1);
  return r;
}

int Ink(const QImage& image, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += qGray(image.pixel(x, y)) < 128;
  return n;
}

TEST(PageTest, RenderShowsTheCurrentLuckColumnBold) {
  PageContent c = Full();
  const auto render = [&c](int bold) {
    c.chart.bold = bold;
    return RenderPage(c, 100);
  };
  const QImage none = render(-1), third = render(3), second = render(2);
  ASSERT_EQ(none.size(), QSize(827, 1169));  // A4 at 100 dpi

  // Not blank: ink in the top, middle and bottom of the sheet.
  for (int band = 0; band < 3; ++band) {
    const QRect area(0, none.height() * band / 3, none.width(), none.height() / 3);
    EXPECT_GT(Ink(none, area), 500) << "band " << band;
  }
  // Bold changes only its own column: column 3 lies left of column 2
  // (column 0 stands at the right), each change a narrow strip with more ink.
  const QRect d3 = Difference(none, third), d2 = Difference(none, second);
  ASSERT_FALSE(d3.isEmpty());
  ASSERT_FALSE(d2.isEmpty());
  EXPECT_LT(d3.right(), d2.left());
  for (const QRect& d : {d3, d2}) {
    EXPECT_LT(d.width(), none.width() / 10);
    EXPECT_LT(d.height(), none.height() / 12);
  }
  EXPECT_GT(Ink(third, d3), Ink(none, d3));
  EXPECT_GT(Ink(second, d2), Ink(none, d2));
}

}  // namespace
}  // namespace torvela::report
