// The 命式詳細 window: blank before a chart, the table in the usual
// arrangement (時 at the left), 空亡 marks, the element bars in their
// colours, the yearly luck with the current year bold, and a second reading
// replacing the first completely.
#include <QTest>
#include <QtWidgets>

#include "DetailWindow.h"
#include "ElementBars.h"
#include "Fonts.h"
#include "reading/Reading.h"
#include "reading/ReadingTexts.h"

using torvela::ui::DetailWindow, torvela::ui::ElementBars, torvela::ui::ElementColor;
namespace reading = torvela::reading;

namespace {

const torvela::Tables kNames = torvela::NameTables();

// A chart's pillars given as stem and branch numbers (0, 0 for "?"), the
// great-luck columns from age a, today in column `current`.
torvela::chart::ChartResult Chart(std::array<int, 8> sb, int a, int current) {
  torvela::chart::ChartResult r;
  r.yearStem = sb[0], r.yearBranch = sb[1], r.monthStem = sb[2], r.monthBranch = sb[3];
  r.dayStem = sb[4], r.dayBranch = sb[5], r.hourStem = sb[6], r.hourBranch = sb[7];
  r.hourUnknown = sb[6] == 0;
  for (int i = 0; i < 10; ++i) r.fromAges[i] = a + 10 * i;
  for (int i = 0; i <= 10; ++i) r.toAges[i] = a - 1 + 10 * i;
  r.currentColumn = current;
  return r;
}

// 甲子 丙寅 戊午 壬子, born 1984, today 2026 in column 4 (ages 33..42).
reading::ReadingTexts YangChart() {
  const auto r = Chart({1, 1, 3, 3, 5, 7, 9, 1}, 3, 4);
  return reading::MakeReadingTexts(reading::Read(r, 1984, {2026, 12, 6, 12, 0}), kNames);
}

// 庚午 辛巳 甲戌, hour unknown, born 1990, column 0 (ages 0..6).
reading::ReadingTexts HourUnknownChart() {
  const auto r = Chart({7, 7, 8, 6, 1, 11, 0, 0}, 7, 0);
  return reading::MakeReadingTexts(reading::Read(r, 1990, {1993, 1, 1, 0, 0}), kNames);
}

QStringList Row(const DetailWindow& w, const char* name) {
  QStringList texts;
  for (int c = 0; c < 4; ++c)
    texts << w.findChild<QLabel*>(QStringLiteral("%1_%2").arg(name).arg(c))->text();
  return texts;
}

QStringList YearRow(const QTableWidget* t, int r) {
  QStringList texts;
  for (int c = 0; c < t->columnCount(); ++c) texts << t->item(r, c)->text();
  return texts;
}

bool Bold(const QTableWidget* t, int r) {
  for (int c = 0; c < t->columnCount(); ++c)
    if (!t->item(r, c)->font().bold()) return false;
  return true;
}

void ExpectBlank(const DetailWindow& w) {
  for (const char* name : {"lblTenGod", "lblStem", "lblBranch", "lblVoid", "lblHidden",
                           "lblHiddenTenGod", "lblStage", "lblNayin"})
    QCOMPARE(Row(w, name).join(QString()), QString());
  QCOMPARE(Row(w, "lblHeading"), QStringList({"時柱", "日柱", "月柱", "年柱"}));
  QVERIFY(w.lblDayMaster->text().isEmpty() && w.lblDayVoid->text().isEmpty() &&
          w.lblYearVoid->text().isEmpty() && w.lblYinYang->text().isEmpty());
  QVERIFY(w.picElements->isBlank());
  QCOMPARE(w.tblYearLuck->rowCount(), 0);
  QCOMPARE(w.grpYearLuck->title(), "年運");
}

// How many pixels of the element's full colour the bars take (the names
// along the bottom, drawn in the colours too, left out).
int BarPixelsOf(ElementBars* bars, int element) {
  QImage image(bars->size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  bars->render(&image, {}, {}, QWidget::RenderFlags());
  const QRgb want = ElementColor(element).rgb();
  const int bottom = image.height() - bars->fontMetrics().height() - 4;
  int n = 0;
  for (int y = 0; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == want;
  return n;
}

}  // namespace

class TestDetailWindow : public QObject {
  Q_OBJECT

 private slots:
  void blankBeforeTheFirstChart() {
    DetailWindow w;
    QCOMPARE(w.objectName(), "DetailWindow");
    QCOMPARE(w.windowTitle(), "命式詳細");
    ExpectBlank(w);
    QCOMPARE(w.lblStem[0]->font().families(), torvela::ui::PGothicFont().families());
    QCOMPARE(w.lblTenGod[0]->font().families(), torvela::ui::GothicFont().families());
  }

  void tableInTheUsualArrangement() {
    DetailWindow w;
    w.Show(YangChart());
    QCOMPARE(w.lblDayMaster->text(), "日主　戊");
    QCOMPARE(Row(w, "lblTenGod"), QStringList({"偏財", "日主", "偏印", "偏官"}));
    QCOMPARE(Row(w, "lblStem"), QStringList({"壬", "戊", "丙", "甲"}));
    QCOMPARE(Row(w, "lblBranch"), QStringList({"子", "午", "寅", "子"}));
    QCOMPARE(Row(w, "lblVoid"), QStringList({"空亡", "", "", "空亡"}));
    QCOMPARE(Row(w, "lblHidden"), QStringList({"癸", "丁\n己", "甲\n丙\n戊", "癸"}));
    QCOMPARE(Row(w, "lblHiddenTenGod"),
             QStringList({"正財", "印綬\n劫財", "偏官\n偏印\n比肩", "正財"}));
    QCOMPARE(Row(w, "lblStage"), QStringList({"胎", "帝旺", "長生", "胎"}));
    QCOMPARE(Row(w, "lblNayin"), QStringList({"桑柘木", "天上火", "炉中火", "海中金"}));
    QCOMPARE(w.lblDayVoid->text(), "日柱空亡　子丑");
    QCOMPARE(w.lblYearVoid->text(), "年柱空亡　戌亥");
    QCOMPARE(w.lblYinYang->text(), "陰陽　陽8・陰0");
  }

  void yearlyLuckWithTheCurrentYearBold() {
    DetailWindow w;
    w.Show(YangChart());
    const QTableWidget* t = w.tblYearLuck;
    QCOMPARE(w.grpYearLuck->title(), "年運（33〜42歳）");
    QCOMPARE(t->rowCount(), 10);
    QCOMPARE(YearRow(t, 0), QStringList({"2017年", "丁酉", "印綬", "死", "33歳"}));
    QCOMPARE(YearRow(t, 9), QStringList({"2026年", "丙午", "偏印", "帝旺", "42歳"}));
    for (int r = 0; r < 10; ++r) QVERIFY2(Bold(t, r) == (r == 9), qPrintable(QString::number(r)));
  }

  void elementBarsInTheirColours() {
    DetailWindow w;
    w.Show(YangChart());
    QCOMPARE(w.picElements->eightCounts(), (std::array<int, 5>{2, 2, 1, 0, 3}));
    QCOMPARE(w.picElements->withMainCounts(), (std::array<int, 5>{3, 3, 1, 0, 5}));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // A bar of each element present, none of 金, whose count is 0, and
    // more 水 than 土 is a taller bar.
    for (int e : {0, 1, 2, 4}) QVERIFY2(BarPixelsOf(w.picElements, e) > 0, qPrintable(QString::number(e)));
    QCOMPARE(BarPixelsOf(w.picElements, 3), 0);
    QVERIFY(BarPixelsOf(w.picElements, 4) > BarPixelsOf(w.picElements, 2));
    w.Clear();
    for (int e = 0; e < 5; ++e) QCOMPARE(BarPixelsOf(w.picElements, e), 0);
  }

  void hourUnknownAndASecondReadingReplacesTheFirst() {
    DetailWindow w;
    w.Show(YangChart());
    w.Show(HourUnknownChart());
    QCOMPARE(Row(w, "lblTenGod"), QStringList({"□", "日主", "正官", "偏官"}));
    QCOMPARE(Row(w, "lblStem"), QStringList({"□", "甲", "辛", "庚"}));
    QCOMPARE(Row(w, "lblHidden"), QStringList({"□", "戊\n辛\n丁", "丙\n庚\n戊", "丁\n己"}));
    QCOMPARE(Row(w, "lblVoid").join(QString()), QString());
    QCOMPARE(w.picElements->eightCounts(), (std::array<int, 5>{1, 2, 1, 2, 0}));
    QCOMPARE(w.tblYearLuck->rowCount(), 7);
    QCOMPARE(YearRow(w.tblYearLuck, 6), QStringList({"1996年", "丙子", "食神", "沐浴", "6歳"}));
    QCOMPARE(YearRow(w.tblYearLuck, 3), QStringList({"1993年", "癸酉", "印綬", "胎", "3歳"}));
    for (int r = 0; r < 7; ++r) QCOMPARE(Bold(w.tblYearLuck, r), r == 3);
  }

  void clearBlanksAgainAndCloseHides() {
    DetailWindow w;
    w.Show(YangChart());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QSize size = w.size();
    w.Show(HourUnknownChart());
    QCOMPARE(w.size(), size);  // fixed cells: the window keeps its size
    w.Clear();
    ExpectBlank(w);
    QTest::mouseClick(w.btnClose, Qt::LeftButton);
    QVERIFY(!w.isVisible());
  }
};

QTEST_MAIN(TestDetailWindow)
#include "test_detailwindow.moc"
