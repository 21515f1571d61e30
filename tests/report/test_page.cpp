// The printed page: a PDF read back with poppler-utils holds the chart, the
// name, the notices and the reading in embedded Gothic faces; parts not
// given leave no heading behind; no text leaves its place or covers
// another; and the painted page shows the current great-luck column bold.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>

#include "chart/BirthMoment.h"
#include "report/Page.h"

namespace torvela::report {
namespace {

constexpr chart::LocalTime kNow{2025, 6, 1, 12, 0};

// 1975-03-08 14:30, a woman born 19 minutes east of 135°E: the hour pillar
// changes within the boundary margin, so the chart carries a notice.
PageContent Full() {
  static const Tables tables = LoadTables(TORVELA_TEST_DATA_DIR);
  PageContent c;
  c.name = QStringLiteral("山田 花子");
  c.birthday = QStringLiteral("1975年3月8日14時30分");
  c.male = false;
  c.jisahun = QStringLiteral("19");
  c.jisabyo = QStringLiteral("0");
  c.birthplace = QStringLiteral("東京都 千代田区");
  c.printedOn = QDate(2025, 6, 1);
  const chart::ChartInput in = chart::InputFromTexts(1975, 3, 8, "14", "30", false, "19", "0");
  SetBirth(c, chart::ComputeBirth(in, chart::MomentSettings{}, tables, kNow), tables, kNow);
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

TEST(Pdf, ReadsBackTheChartTheReadingAndEmbeddedGothicFaces) {
  if (QString(PDFTOTEXT).isEmpty() || QString(PDFFONTS).isEmpty() || QString(PDFINFO).isEmpty())
    GTEST_SKIP() << "poppler-utils (scripts/setup) is not installed";
  QTemporaryDir dir;
  const PageContent content = Full();
  // A folder that is not there: a message naming the file, and no file.
  const QString nowhere = dir.filePath(QStringLiteral("なし/命式.pdf"));
  QString error;
  EXPECT_FALSE(WritePdf(nowhere, content, &error));
  EXPECT_TRUE(error.startsWith(QStringLiteral("PDFファイルを書き込めません")) && error.contains(nowhere))
      << error.toStdString();
  EXPECT_FALSE(QFile::exists(nowhere));

  const QString path = dir.filePath(QStringLiteral("命式.pdf"));
  ASSERT_TRUE(WritePdf(path, content, &error)) << error.toStdString();
  const QString raw = Squeezed(Output(PDFTOTEXT, {path, QStringLiteral("-")}));
  ASSERT_FALSE(raw.isEmpty());
  QStringList lines;
  for (const QString& line : Output(PDFTOTEXT, {QStringLiteral("-layout"), path, QStringLiteral("-")}).split('\n'))
    lines << Squeezed(line);
  const auto hasLine = [&lines](const QString& part) {
    return std::any_of(lines.begin(), lines.end(), [&part](const QString& l) { return l.contains(part); });
  };
  const chart::ChartTexts& t = content.chart;
  // The eight characters right to left as the window shows them: 時 日 月 年.
  for (const QString& line : {Q(t.hKan + t.dKan + t.mKan + t.yKan), Q(t.hShi + t.dShi + t.mShi + t.yShi),
                              QStringLiteral("己癸己乙"), QStringLiteral("未丑卯卯")})  // the chart's own anchor
    EXPECT_TRUE(hasLine(line)) << line.toStdString() << "\n" << raw.toStdString();
  // Notices wrap; their words come out whole and in order.
  ASSERT_FALSE(content.notices.empty());
  QStringList parts = {Squeezed(content.name), content.birthday, QStringLiteral("19分0秒"),
                       Squeezed(content.birthplace), QStringLiteral("真太陽時：") + Q(t.txtShin),
                       Q(t.lblOu) + QStringLiteral("旺"), QStringLiteral("印刷日：2025年6月1日"),
                       QStringLiteral(TORVELA_VERSION_TEXT), Squeezed(Q(content.prevTerm)),
                       Squeezed(Q(content.nextTerm))};
  for (const std::string& notice : content.notices) parts << Squeezed(Q(notice));
  for (const QString& part : parts) EXPECT_TRUE(raw.contains(part)) << part.toStdString();

  // The single-line rows of the reading table, columns 時 日 月 年, and the yearly luck.
  const reading::ReadingTexts& r = *content.reading;
  using reading::Row;
  for (const auto& [row, cells] : {std::pair{Row::TenGod, &r.tenGods}, {Row::Stem, &r.stems},
                                   {Row::Branch, &r.branches}, {Row::Stage, &r.twelveStages}, {Row::Nayin, &r.nayin}}) {
    QString expected = Q(std::string(reading::RowHeadings[static_cast<int>(row)]));
    for (reading::Pillar p : reading::DisplayOrder) expected += Q((*cells)[p]);
    EXPECT_TRUE(hasLine(expected)) << expected.toStdString();
  }
  for (const auto& y : r.yearlyLuck.years)
    EXPECT_TRUE(hasLine(Q(reading::YearText(y.year) + y.pillar + y.tenGod + y.twelveStage + reading::AgeText(y.age))));
  const QString info = Output(PDFINFO, {path});
  EXPECT_TRUE(info.contains(QStringLiteral("Torvela（一般用）命式 山田 花子"))) << info.toStdString();

  // Every face embedded: the fixed-pitch one for the text, the proportional
  // one for the pillars; subsets, not whole faces (IPAGothic alone is 6 MB).
  const QStringList fonts = Output(PDFFONTS, {path}).split('\n', Qt::SkipEmptyParts);
  ASSERT_GT(fonts.size(), 2);
  QStringList names;
  for (const QString& line : fonts.mid(2)) {  // after the two heading lines
    const QStringList f = line.split(' ', Qt::SkipEmptyParts);
    ASSERT_GE(f.size(), 7) << line.toStdString();
    EXPECT_EQ(f[f.size() - 5], QStringLiteral("yes")) << "not embedded: " << line.toStdString();  // emb sub uni object ID
    names << f[0];
  }
  const bool ipa = names.contains(QStringLiteral("IPAGothic"));
  EXPECT_TRUE(ipa ? names.contains(QStringLiteral("IPAPGothic")) : names.join(' ').contains(QStringLiteral("Noto")))
      << names.join(' ').toStdString();
  EXPECT_LT(QFile(path).size(), 400 * 1024);
}

// Each optional part, taken away, takes its heading with it and leaves the
// rest of the page as it was.
TEST(Page, PartsNotGivenLeaveNoHeading) {
  const std::pair<std::function<void(PageContent&)>, QStringList> cases[] = {
      {[](PageContent& c) { c.name.clear(); }, {"氏名"}},
      {[](PageContent& c) { c.birthplace.clear(); }, {"出生地"}},
      {[](PageContent& c) { c.jisahun.clear(), c.jisabyo.clear(); }, {"時差"}},
      {[](PageContent& c) { c.reading.reset(); }, {"命式詳細", "通変星", "年運", "五行", "日主"}},
      {[](PageContent& c) { c.reading->yearlyLuck.years.clear(); }, {"年運", "干支"}},
      {[](PageContent& c) { c.notices.clear(); }, {"・"}},
      {[](PageContent& c) { c.prevTerm.clear(), c.nextTerm.clear(); }, {"節入り", "次の節"}},
      {[](PageContent& c) { c.printedOn = QDate(); }, {"印刷日"}},
  };
  const PageContent full = Full();
  const QStringList all = Texts(LayOutPage(full));
  const auto mentions = [](const QStringList& texts, const QString& word) {
    return std::any_of(texts.begin(), texts.end(), [&word](const QString& t) { return t.startsWith(word); });
  };
  for (const auto& [remove, gone] : cases) {
    PageContent content = full;
    remove(content);
    const QStringList texts = Texts(LayOutPage(content));
    for (const QString& word : gone)
      EXPECT_TRUE(mentions(all, word) && !mentions(texts, word)) << word.toStdString();
    // Everything else stays.
    EXPECT_TRUE(texts.contains(QStringLiteral("Torvela（一般用）命式")) && texts.contains(Q(full.chart.dKan)))
        << gone.join(' ').toStdString();
  }
}

// Every text fits the place it was given, inside the margins, and covers no
// other text, whatever the page holds; a crowded page shrinks to fit above
// the footer.
TEST(Page, TextStaysInItsPlaceWithoutOverlap) {
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
  for (const auto& [name, content] : {std::pair{"full", Full()}, {"crowded", crowded}, {"bare", bare}}) {
    const std::vector<PageItem> items = LayOutPage(content);
    double footerRule = 0;
    std::vector<const PageItem*> texts;
    for (const PageItem& item : items) {
      const std::string what = std::string(name) + ": " + item.text.toStdString();
      const QRectF r = item.rect.normalized();  // a rule has no height, which QRectF::contains refuses
      EXPECT_TRUE(r.left() >= sheet.left() && r.right() <= sheet.right() && r.top() >= sheet.top() &&
                  r.bottom() <= sheet.bottom()) << what;
      if (item.kind == PageItem::Kind::Line) footerRule = std::max(footerRule, item.rect.top());
      if (item.kind != PageItem::Kind::Text) continue;
      texts.push_back(&item);
      const QRectF need = QFontMetricsF(item.font, &pointDevice)
                              .boundingRect(QRectF(0, 0, item.rect.width() / item.scale, 1e6), item.flags, item.text);
      EXPECT_LE(need.width() * item.scale, item.rect.width() + 0.01) << what;
      EXPECT_LE(need.height() * item.scale, item.rect.height() + 0.5) << what;
    }
    // The footer's two texts come last; the body ends above its rule.
    ASSERT_GE(texts.size(), 2u);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_TRUE(i + 2 >= texts.size() || texts[i]->rect.bottom() <= footerRule) << texts[i]->text.toStdString();
      for (std::size_t j = i + 1; j < texts.size(); ++j) {
        const QRectF both = texts[i]->rect.intersected(texts[j]->rect);
        EXPECT_LT(both.width() * both.height(), 0.01)
            << name << ": " << texts[i]->text.toStdString() << " / " << texts[j]->text.toStdString();
      }
    }
  }
}

// Ink (dark pixels) in an area.
int Ink(const QImage& image, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += qGray(image.pixel(x, y)) < 128;
  return n;
}

TEST(Page, RenderShowsTheCurrentLuckColumnBold) {
  PageContent c = Full();
  const auto render = [&c](int bold) {
    c.chart.bold = bold;
    return RenderPage(c, 100);
  };
  const QImage none = render(-1), third = render(3), second = render(2);
  ASSERT_EQ(none.size(), QSize(827, 1169));  // A4 at 100 dpi
  // Not blank: ink in the top, middle and bottom of the sheet.
  for (int band = 0; band < 3; ++band)
    EXPECT_GT(Ink(none, QRect(0, none.height() * band / 3, none.width(), none.height() / 3)), 500) << band;
  // Bold changes only its own column: column 3 lies left of column 2
  // (column 0 stands at the right), each change a narrow strip with more ink.
  const auto difference = [&none](const QImage& b) {
    QRect r;
    for (int y = 0; y < none.height(); ++y)
      for (int x = 0; x < none.width(); ++x)
        if (none.pixel(x, y) != b.pixel(x, y)) r |= QRect(x, y, 1, 1);
    return r;
  };
  const QRect d3 = difference(third), d2 = difference(second);
  ASSERT_FALSE(d3.isEmpty() || d2.isEmpty());
  EXPECT_LT(d3.right(), d2.left());
  for (const auto& [d, image] : {std::pair{d3, &third}, {d2, &second}}) {
    EXPECT_TRUE(d.width() < none.width() / 10 && d.height() < none.height() / 12) << d.x();
    EXPECT_GT(Ink(*image, d), Ink(none, d));
  }
}

}  // namespace
}  // namespace torvela::report

// Fonts are looked up through the application object, which needs a
// platform even while ctest only lists the tests: offscreen unless told.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
