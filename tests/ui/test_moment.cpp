// The birth moment in the main window: the chart is the one ComputeBirth
// gives for the inputs and the ツール settings (with the summer-time
// correction off, exactly today's chart), the 誕生日 line keeps what was
// entered while 真太陽時 shows the corrected moment, the notice area and the
// term lines say what the computation says and keep the window's size, the
// settings apply to the chart in view at once and outlive the window; and the
// 命式詳細 window follows the chart while the popup keeps the reading of its
// copy.
#include "ChartNotes.h"
#include "DetailWindow.h"
#include "MomentSettingsMenu.h"
#include "MomentSettingsStore.h"
#include "NoticeArea.h"
#include "UiTestSupport.h"
#include "chart/BirthMoment.h"
#include "reading/Reading.h"

using namespace uitest;
using torvela::ui::DetailWindow, torvela::ui::NoticeArea;
namespace chart = torvela::chart;

namespace {

struct Birth {
  int year, month, day;
  const char *hour, *minute, *jisahun;
};

chart::ChartInput InputOf(const Birth& b) {
  return chart::InputFromTexts(b.year, b.month, b.day, b.hour, b.minute, true, b.jisahun, "0");
}

QStringList Notices(const chart::BirthReport& r) {
  QStringList list;
  for (const std::string& n : r.notices) list << QString::fromStdString(n);
  return list;
}

// Claims Ctrl+D for a text box, as QLineEdit does under X11's key bindings
// (delete a character); offscreen the bindings are other ones.
struct TakesCtrlD : QObject {
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::ShortcutOverride) return false;
    const auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() != Qt::Key_D || k->modifiers() != Qt::ControlModifier) return false;
    e->accept();
    return true;
  }
};

bool Blank(const DetailWindow& d) {
  return d.lblDayMaster->text().isEmpty() && d.lblStem[0]->text().isEmpty() &&
         d.tblYearLuck->rowCount() == 0;
}

}  // namespace

class TestMoment : public MainWindowTest {
  Q_OBJECT

  torvela::Tables tables;

  void Enter(const Birth& b) {
    EnterBirth(b.year, b.month, b.day, b.hour, b.minute);
    QTest::mouseClick(w->optM, Qt::LeftButton);
    w->txtJisahun->setText(b.jisahun);
    w->txtJisabyo->setText("0");
    QTest::mouseClick(w->fInput, Qt::LeftButton);
  }

  chart::BirthReport Report(const Birth& b, const chart::MomentSettings& s = {}) {
    return chart::ComputeBirth(InputOf(b), s, tables, kNow);
  }

  // The chart area shows the report: every chart text, the terms, the notices.
  void CompareWithReport(const chart::BirthReport& r) {
    QVERIFY(w->chartView->texts() == chart::MakeChartTexts(r.chart, tables));
    for (const auto& [name, text] : chart::MakeChartTexts(r.chart, tables).Items()) {
      const QWidget* c = w->chartView->findChild<QWidget*>(QString::fromStdString(name));
      QCOMPARE(c ? c->property("text").toString() : "<missing>", QString::fromStdString(text));
    }
    const NoticeArea& area = *w->chartView->noticeArea;
    QCOMPARE(area.lblPrevTerm->text(), QString::fromStdString(chart::TermLineText(r.prevTerm, false)));
    QCOMPARE(area.lblNextTerm->text(), QString::fromStdString(chart::TermLineText(r.nextTerm, true)));
    QCOMPARE(ShownNotices(area), Notices(r));
  }

  void Press(QWidget* target, Qt::Key key) {
    Activate(target->window());
    QTest::keyClick(target, key, Qt::ControlModifier);
  }

 private slots:
  void initTestCase() { tables = torvela::LoadTables(DataDir()); }
  void init() { Load(); }
  void cleanup() { Unload(); }

  // Tokyo, 1949-07-01 10:00 by the clock, when the clocks ran at UTC+10.
  void summerTimeBirth() {
    const Birth b{1949, 7, 1, "10", "0", "19"};
    Enter(b);
    const auto corrected = Report(b);
    QCOMPARE(corrected.clockShiftMinutes, -60);
    CompareWithReport(corrected);
    QCOMPARE(w->txtBirthday->text(), "1949年7月1日10時0分");
    QCOMPARE(w->chartView->txtShin->text(), "1949年7月1日9時15.4分");
    QVERIFY(ShownNotices(*w->chartView->noticeArea).value(0).startsWith("夏時刻："));

    // Off: today's chart, to the last digit, at once and not out of date.
    QVERIFY(w->momentMenu->mnuDst->isChecked());
    w->momentMenu->mnuDst->trigger();
    QVERIFY(!w->momentMenu->mnuDst->isChecked());
    chart::MomentSettings off;
    off.dst = chart::DstMode::Off;
    CompareWithReport(Report(b, off));
    QVERIFY(w->chartView->texts() ==
            chart::MakeChartTexts(chart::ComputeChart(InputOf(b), tables, kNow), tables));
    QCOMPARE(w->chartView->txtShin->text(), "1949年7月1日10時15.4分");
    QVERIFY(ShownNotices(*w->chartView->noticeArea).value(0).contains("補正しない設定"));
    QVERIFY(!w->chartView->outOfDate());
  }

  // An ordinary birth: the chart is ComputeChart's, the terms are shown and
  // the notice area is empty.
  void ordinaryBirthHasNoNotice() {
    const Birth b{1975, 3, 5, "14", "30", "-13"};
    Enter(b);
    CompareWithReport(Report(b));
    QVERIFY(w->chartView->texts() ==
            chart::MakeChartTexts(chart::ComputeChart(InputOf(b), tables, kNow), tables));
    const NoticeArea& area = *w->chartView->noticeArea;
    QVERIFY(area.lblNotices->text().isEmpty() && ShownNotices(area).isEmpty());
    QCOMPARE(area.lblPrevTerm->text(), "節入り：立春 1975年2月4日20時02分（28日18時間前）");
    QCOMPARE(area.lblNextTerm->text(), "次の節：啓蟄 1975年3月6日14時09分（1日0時間後）");
  }

  // 1990-02-04 11:10, 21 minutes before 立春 by the clock: the year and the
  // month pillars flip within ±30 and ±60 minutes, not within ±10. The
  // margin applies to the chart in view when picked.
  void boundaryBeforeRisshun_data() {
    QTest::addColumn<int>("margin");
    QTest::addColumn<bool>("warned");
    QTest::newRow("10") << 10 << false;
    QTest::newRow("30") << 30 << true;
    QTest::newRow("60") << 60 << true;
  }
  void boundaryBeforeRisshun() {
    QFETCH(int, margin);
    QFETCH(bool, warned);
    const Birth b{1990, 2, 4, "11", "10", "0"};
    Enter(b);
    auto* menu = w->momentMenu;
    QAction* item = margin == 10 ? menu->mnuMargin10 : margin == 30 ? menu->mnuMargin30 : menu->mnuMargin60;
    item->trigger();
    QVERIFY(item->isChecked());
    QCOMPARE(int(menu->mnuMargin10->isChecked()) + menu->mnuMargin30->isChecked() +
                 menu->mnuMargin60->isChecked(), 1);
    chart::MomentSettings s;
    s.marginMinutes = margin;
    CompareWithReport(Report(b, s));
    const QString expected = QStringLiteral("境界注意：出生時刻が11時31分以降なら年柱は庚午、月柱は戊寅に"
                                            "なります（立春の節入り、入力の±%1分以内）。").arg(margin);
    QCOMPARE(ShownNotices(*w->chartView->noticeArea).contains(expected), warned);
    QCOMPARE(w->chartView->yKan->text() + w->chartView->yShi->text(), "己巳");
  }

  // Before 1888 the clock reading is taken as one of three, exclusive items.
  void before1888Readings_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("JST") << int(chart::Before1888::Jst);
    QTest::newRow("local mean time") << int(chart::Before1888::LocalMean);
    QTest::newRow("true solar time") << int(chart::Before1888::TrueSolar);
  }
  void before1888Readings() {
    QFETCH(int, mode);
    const Birth b{1870, 3, 3, "9", "0", "19"};
    Enter(b);
    auto* menu = w->momentMenu;
    const std::array<QAction*, 3> items{menu->mnuBefore1888Jst, menu->mnuBefore1888Lmt,
                                        menu->mnuBefore1888Solar};
    QVERIFY(items[0]->isChecked());
    items[std::size_t(mode)]->trigger();
    for (int i = 0; i < 3; ++i) QCOMPARE(items[std::size_t(i)]->isChecked(), i == mode);
    chart::MomentSettings s;
    s.before1888 = chart::Before1888(mode);
    CompareWithReport(Report(b, s));
    const QStringList notices = ShownNotices(*w->chartView->noticeArea);
    QVERIFY(notices.value(0).startsWith("1888年より前は日本に標準時がありません。"));
    QVERIFY(notices.value(1).contains("グレゴリオ暦"));
    const bool todays = w->chartView->texts() ==
                        chart::MakeChartTexts(chart::ComputeChart(InputOf(b), tables, kNow), tables);
    QCOMPARE(todays, s.before1888 == chart::Before1888::Jst);
  }

  // A greyed chart is recomputed for the birth it shows, and stays greyed.
  void settingChangeKeepsTheChartsOwnBirth() {
    const Birth b{1949, 7, 1, "10", "0", "19"};
    Enter(b);
    const QString line = w->txtBirthday->text();
    Pick(w->dSelect, "2");
    QVERIFY(w->chartView->outOfDate());
    w->momentMenu->mnuDst->trigger();
    chart::MomentSettings off;
    off.dst = chart::DstMode::Off;
    CompareWithReport(Report(b, off));
    QVERIFY(w->chartView->outOfDate() && w->chartView->birth().birthday == line);
    Pick(w->dSelect, "1");
    QVERIFY(!w->chartView->outOfDate());
  }

  // The settings outlive the window; a value that cannot be read is the default.
  void settingsPersist() {
    settingsFile = settingsDir.filePath("kept.ini");
    auto reload = [this] {
      Unload();
      Load();
      const auto s = w->momentMenu->settings();
      return QStringLiteral("%1 %2 %3")
          .arg(QString::fromUtf8(chart::DstModeName(s.dst).data()),
               QString::fromUtf8(chart::Before1888Name(s.before1888).data()))
          .arg(s.marginMinutes);
    };
    QCOMPARE(reload(), "auto jst 30");
    w->momentMenu->mnuDst->trigger();
    w->momentMenu->mnuBefore1888Solar->trigger();
    w->momentMenu->mnuMargin60->trigger();
    QCOMPARE(reload(), "off solar 60");
    QVERIFY(!w->momentMenu->mnuDst->isChecked() && w->momentMenu->mnuBefore1888Solar->isChecked() &&
            w->momentMenu->mnuMargin60->isChecked());
    {
      QSettings file(settingsFile, QSettings::IniFormat);
      QCOMPARE(file.value("moment/dst").toString() + file.value("moment/before1888").toString() +
                   file.value("moment/margin").toString(),
               "offsolar60");
      file.setValue("moment/dst", "maybe");
      file.setValue("moment/before1888", 3);
      file.setValue("moment/margin", 45);
    }
    QCOMPARE(reload(), "auto jst 30");
    QVERIFY(w->momentMenu->mnuMargin30->isChecked() && w->momentMenu->mnuBefore1888Jst->isChecked());
    settingsFile.clear();
  }

  // The notice room keeps its size: a chart with three notices leaves the
  // main window and the popup as large as an ordinary one; long notices
  // wrap and the room scrolls past its lines.
  void noticesKeepTheWindowsSize() {
    Enter({1975, 3, 5, "14", "30", "-13"});
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    const QSize main = w->size(), popup = w->popupWindow()->size();
    Enter({1870, 3, 3, "9", "0", "19"});
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    QCOMPARE(ShownNotices(*w->chartView->noticeArea).size(), 3);
    QCOMPARE(ShownNotices(*w->popupWindow()->chartView->noticeArea).size(), 3);
    QCOMPARE(w->size(), main);
    QCOMPARE(w->popupWindow()->size(), popup);
    const NoticeArea& area = *w->chartView->noticeArea;
    QVERIFY(area.lblNotices->wordWrap());
    QVERIFY(area.lblNotices->width() <= area.scrNotices->viewport()->width());
    QVERIFY(area.lblNotices->height() > area.scrNotices->viewport()->height());  // scrolls
  }

  // 命式詳細: by the button and Ctrl+D, blank before the first chart, then
  // the reading of the chart in view; the popup's own keeps its copy's.
  void detailWindowFollowsTheChart() {
    QVERIFY(!w->detailWindow() && w->btnDetail->isEnabled() && w->mnuDetail->isEnabled());
    QTest::mouseClick(w->btnDetail, Qt::LeftButton);
    DetailWindow* detail = w->detailWindow();
    QVERIFY(detail && detail->isVisible() && Blank(*detail));
    QCOMPARE(detail->windowTitle(), "命式詳細");
    Activate(detail);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : detail, Qt::Key_Escape);
    QVERIFY(!detail->isVisible());
    Press(w.get(), Qt::Key_D);
    QVERIFY(detail->isVisible() && w->detailWindow() == detail);
    detail->hide();

    DetailWindow reference;
    auto expected = [&](const Birth& b, const chart::MomentSettings& s = {}) {
      reference.Show(torvela::reading::MakeReadingTexts(
          torvela::reading::Read(Report(b, s).chart, b.year, kNow), tables));
      return DetailShown(reference);
    };
    // 9:30 in summer time: 8:45 true solar time corrected (辰), 9:45 not (巳).
    const Birth summer{1949, 7, 1, "9", "30", "19"}, ordinary{1975, 3, 5, "14", "30", "-13"};
    Enter(summer);
    QCOMPARE(DetailShown(*detail), expected(summer));
    QCOMPARE(detail->windowTitle(), "命式詳細　1949年7月1日9時30分・男");
    // Ctrl+D from a text box of the window opens it too.
    detail->hide();
    TakesCtrlD takesCtrlD;
    Activate(w.get());
    w->txtJisahun->setFocus(Qt::MouseFocusReason);
    w->txtJisahun->installEventFilter(&takesCtrlD);
    QTest::keyClick(w->txtJisahun, Qt::Key_D, Qt::ControlModifier);
    QVERIFY(detail->isVisible());
    w->txtJisahun->removeEventFilter(&takesCtrlD);

    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    frmpop01* pop = w->popupWindow();
    QVERIFY(pop->btnDetail->isEnabled() && !pop->detailWindow());
    QTest::mouseClick(pop->btnDetail, Qt::LeftButton);
    DetailWindow* copy = pop->detailWindow();
    QVERIFY(copy && copy != detail && copy->isVisible());
    QCOMPARE(copy->windowTitle(), "命式詳細（POP）　1949年7月1日9時30分・男");
    const QStringList summerNotices = ShownNotices(*pop->chartView->noticeArea);
    QVERIFY(!summerNotices.isEmpty());

    // The main window moves on; the popup keeps its chart, notices and reading.
    Enter(ordinary);
    QCOMPARE(DetailShown(*detail), expected(ordinary));
    QCOMPARE(DetailShown(*copy), expected(summer));
    QCOMPARE(ShownNotices(*pop->chartView->noticeArea), summerNotices);
    // A setting changes the chart in view, not the copy.
    w->momentMenu->mnuDst->trigger();
    Enter(summer);
    chart::MomentSettings off;
    off.dst = chart::DstMode::Off;
    QCOMPARE(DetailShown(*detail), expected(summer, off));
    QCOMPARE(DetailShown(*copy), expected(summer));
    QVERIFY(DetailShown(*detail) != DetailShown(*copy));  // the hour pillar differs

    // POP again refreshes the popup's 命式詳細; Close puts both away.
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    QCOMPARE(DetailShown(*copy), expected(summer, off));
    QTest::mouseClick(pop->Command1, Qt::LeftButton);
    QVERIFY(!pop->isVisible() && !copy->isVisible() && detail->isVisible());
  }
};

QTEST_MAIN(TestMoment)
#include "test_moment.moc"
