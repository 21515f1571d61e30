// The main window, its year picker, popup and 命式詳細 driven as a person
// would: the inputs unlock in order, the chart shows exactly the computed
// texts under the ツール settings and says when the inputs have moved on from
// it, the time-difference boxes read full-width digits and point out what
// they cannot read, "now" is Japan's clock, the keys reach their commands and
// every way out closes every window.
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextBrowser>
#include <chrono>
#include <ctime>
#include <random>

#include "GuideWindow.h"
#include "MomentSettingsMenu.h"
#include "UiTestSupport.h"
#include "UpDown.h"
#include "calc/Numeric.h"
#include "chart/BirthMoment.h"
#include "chart/ChartFields.h"
#include "place/NumberText.h"
#include "reading/Reading.h"

using namespace uitest;
using torvela::ui::DetailWindow, torvela::ui::MomentSettingsMenu, torvela::ui::ChartNotes, torvela::ui::ShowPopup;
namespace chart = torvela::chart;

namespace {

QStringList Numbers(int first, int last) {
  QStringList items;
  while (first <= last) items << QString::number(first++);
  return items;
}

QStringList Items(const QAbstractItemModel* list) {
  QStringList items;
  for (int i = 0; i < list->rowCount(); ++i) items << list->index(i, 0).data().toString();
  return items;
}

// Text committed by an input method, replacing what the box held.
void Commit(QLineEdit* box, const QString& text) {
  box->selectAll();
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(box, &commit);
}

QRect RectIn(const QWidget* w, const QWidget* ancestor) { return {w->mapTo(ancestor, QPoint()), w->size()}; }

// The darkest grey of a control as its chart area draws it.
int Darkest(QWidget* area, const QWidget* control) {
  QImage image(area->size(), QImage::Format_RGB32);
  area->render(&image);
  const QRect r = RectIn(control, area);
  int darkest = 255;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) darkest = std::min(darkest, qGray(image.pixel(x, y)));
  return darkest;
}

// Claims Ctrl+<key> for a text box, as QLineEdit does under X11's key
// bindings (Ctrl+E end of line, Ctrl+D delete); offscreen the bindings differ.
struct ClaimsCtrl : QObject {
  explicit ClaimsCtrl(Qt::Key k) : key(k) {}
  Qt::Key key;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::ShortcutOverride) return false;
    const auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() != key || k->modifiers() != Qt::ControlModifier) return false;
    e->accept();
    return true;
  }
};

void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

// Keys go where a person's go: to the focus widget of the active window.
void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
  QVERIFY(target);
  QTest::keyClick(target, key, modifiers);
}

struct Birth {
  int year, month, day;
  const char *hour, *minute, *jisahun;
};

chart::ChartInput InputOf(const Birth& b) {
  return chart::InputFromTexts(b.year, b.month, b.day, b.hour, b.minute, true, b.jisahun, "0");
}

}  // namespace

class TestMainForm : public MainWindowTest {
  Q_OBJECT

  torvela::Tables tables;

  void Show(const Birth& b, bool male = true) {
    EnterBirth(b.year, b.month, b.day, b.hour, b.minute);
    Click(male ? w->optM : w->optW);
    w->txtJisahun->setText(b.jisahun);
    w->txtJisabyo->setText("0");
    Click(w->fInput);
  }

  chart::BirthReport Report(const chart::ChartInput& in, const chart::MomentSettings& s = {}) {
    return chart::ComputeBirth(in, s, tables, kNow);
  }

  // The chart area shows the report: every text, only the current
  // great-luck column bold, the terms and the notices.
  void CompareWithReport(const chart::BirthReport& r) {
    const auto expected = chart::MakeChartTexts(r.chart, tables);
    QVERIFY(w->chartView->texts() == expected);  // what POP hands on
    for (const auto& [name, text] : expected.Items()) {
      const QWidget* c = w->chartView->findChild<QWidget*>(QString::fromStdString(name));
      QCOMPARE(c ? c->property("text").toString() : "<missing>", QString::fromStdString(text));
    }
    for (int i = 0; i <= 10; ++i)
      QVERIFY(w->chartView->dun_kan[i]->font().bold() == (i == expected.bold) &&
              w->chartView->dun_shi[i]->font().bold() == (i == expected.bold));
    const auto& area = *w->chartView->noticeArea;
    QCOMPARE(area.lblPrevTerm->text(), QString::fromStdString(chart::TermLineText(r.prevTerm, false)));
    QCOMPARE(area.lblNextTerm->text(), QString::fromStdString(chart::TermLineText(r.nextTerm, true)));
    QStringList notices;
    for (const std::string& n : r.notices) notices << QString::fromStdString(n);
    QCOMPARE(ShownNotices(area), notices);
  }

  // What 命式詳細 must show for a birth under the settings.
  QStringList Reading(const Birth& b) {
    DetailWindow reference;
    reference.Show(torvela::reading::MakeReadingTexts(torvela::reading::Read(Report(InputOf(b)).chart, b.year, kNow), tables));
    return DetailShown(reference);
  }

 private slots:
  void initTestCase() { tables = torvela::LoadTables(DataDir()); }
  void init() { Load(); }
  void cleanup() {
    Unload();
    qunsetenv("TZ");
    ::tzset();
  }

  void unlocksInOrder() {
    // Enabled: year, month, day, hour, minute, display, POP button, POP menu.
    auto check = [this](const char* enabled, const char* line = nullptr) {
      QString is;
      for (QObject* o : std::initializer_list<QObject*>{w->yearInput, w->mSelect, w->dSelect, w->hSelect,
                                                         w->mtSelect, w->fInput, w->btnpop, w->menupop})
        is += o->property("enabled").toBool() ? '1' : '0';
      QCOMPARE(is, QString(enabled));
      if (line) QCOMPARE(w->txtBirthday->text(), QString(line));
    };
    check("10000000");
    QCOMPARE(w->txtJisahun->text() + '/' + w->txtJisabyo->text(), QStringLiteral("0/0"));
    DecideYear(1975);
    check("11000000", "1975年月日時頃");
    const struct { QComboBox* list; const char *item, *enabled, *line; } steps[] = {
        {w->mSelect, "3", "11100000", nullptr},
        {w->dSelect, "5", "11110000", nullptr},
        {w->hSelect, "14", "11111000", "1975年3月5日14時頃"},
        {w->mtSelect, "5", "11111100", "1975年3月5日14時5分"},
        {w->hSelect, "?", "11110100", "1975年3月5日出生時間不明"},  // needs no minute
        {w->hSelect, "0", "11111100", nullptr}};
    for (const auto& s : steps) {
      Pick(s.list, s.item);
      check(s.enabled, s.line);
    }
    Click(w->fInput);
    check("11111111");
  }

  // A re-picked month or year replaces the day list and clamps the day.
  void dayListAndClamp_data() {
    QTest::addColumn<QList<int>>("r");  // year, month, day (0: none), then year, then month, days, day
    QTest::newRow("2000-02 leap") << QList<int>{2000, 2, 0, 2000, 2, 29, 0};
    QTest::newRow("1900-02 not leap") << QList<int>{1900, 2, 0, 1900, 2, 28, 0};
    QTest::newRow("31 Jan then April") << QList<int>{2000, 1, 31, 2000, 4, 30, 30};
    QTest::newRow("29 Feb 2000 then 2001") << QList<int>{2000, 2, 29, 2001, 2, 28, 28};
  }
  void dayListAndClamp() {
    QFETCH(QList<int>, r);
    DecideYear(r[0]);
    Pick(w->mSelect, QString::number(r[1]));
    if (r[2]) Pick(w->dSelect, QString::number(r[2]));
    if (r[3] != r[0]) DecideYear(r[3]);
    if (r[4] != r[1]) Pick(w->mSelect, QString::number(r[4]));
    QCOMPARE(Items(w->dSelect->model()), Numbers(1, r[5]));
    QCOMPARE(w->dSelect->currentText(), r[6] ? QString::number(r[6]) : QString());
    if (!r[6]) return;
    QCOMPARE(*module->BirthDay, double(r[6]));
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("%1年%2月%3日時頃").arg(r[3]).arg(r[4]).arg(r[6]));
  }

  // The picker lists a century in three columns, locks only the main
  // window, and picks no year until a click, an arrow key or a decision.
  void yearPicker() {
    EnterBirth(1985, 5, 5, "14");
    for (QWidget* b : std::initializer_list<QWidget*>{w->fInput, w->btnpop, w->btnmap})
      Click(b);
    auto* picker = w->yearPicker();
    auto years = [&] { return Items(picker->List1->model()); };
    Click(w->yearInput);
    QVERIFY(QTest::qWaitForWindowExposed(picker) && !w->centralWidget()->isEnabled() && !w->menuBar()->isEnabled());
    QCOMPARE(picker->lblSelect_y->text(), QStringLiteral("1985"));  // the decided year, its century
    QCOMPARE(years(), Numbers(1900, 1999));
    auto rect = [&](int i) { return picker->List1->visualRect(picker->List1->model()->index(i, 0)); };
    QVERIFY(rect(0).left() < rect(1).left() && rect(1).left() < rect(2).left());
    QVERIFY(rect(2).top() == rect(0).top() && rect(3).left() == rect(0).left());
    QVERIFY(rect(2).right() <= picker->List1->viewport()->width());
    // An open popup and map stay usable meanwhile.
    frmpop01* pop = w->popupWindow();
    frmjpmap* map = w->mapWindow();
    QVERIFY(pop->isEnabled() && map->isEnabled());
    Click(pop->Command1);
    Click(map->findChild<QPushButton*>("btnClose"));
    QVERIFY(!pop->isVisible() && !map->isVisible() && picker->isVisible());
    // The close box cancels a new pick and frees the window.
    Click(picker->y1800);
    picker->List1->setCurrentItem(picker->List1->item(50));
    picker->close();
    QVERIFY(w->centralWidget()->isEnabled() && w->menuBar()->isEnabled() && *module->BirthYear == 1985.0);

    Unload();
    Load();
    Click(w->yearInput);
    picker = w->yearPicker();
    QCOMPARE(picker->lblSelect_y->text(), QString());
    Click(picker->y2000);
    QCOMPARE(years(), Numbers(2000, 2080));
    // Deciding with no year picked keeps the picker but frees the window.
    Click(picker->btnSlok);
    QVERIFY(picker->isVisible() && w->centralWidget()->isEnabled() && !module->BirthYear && !w->mSelect->isEnabled());
    // Tabbing into the list picks nothing; an arrow key picks, Enter decides.
    Activate(picker);
    picker->y1800->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 6 && QApplication::focusWidget() != picker->List1; ++i) Key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), picker->List1);
    QCOMPARE(picker->lblSelect_y->text(), QString());
    Key(Qt::Key_Return);
    QVERIFY(picker->isVisible() && !module->BirthYear);
    Key(Qt::Key_Right);
    QVERIFY(picker->List1->currentItem() && picker->List1->currentItem()->isSelected());
    const QString picked = picker->List1->currentItem()->text();
    QCOMPARE(picker->lblSelect_y->text(), picked);
    Key(Qt::Key_Return);
    QVERIFY(!picker->isVisible() && module->BirthYear == picked.toDouble());
  }

  // The time difference is decided on the map, as a user sets it; "-0"
  // (just west of 135E) must reach the chart as west. A second display
  // replaces every text and moves the bold column. Headings name the
  // pillars and the age rows, in the main window and the popup.
  void chartShowsTheComputedTexts() {
    auto decideOnMap = [this](int x) {
      Click(w->btnmap);
      auto* map = w->mapWindow();
      // Offscreen activation does not always release a point held from before.
      if (map->pointFixed) Click(map->findChild<QPushButton*>("btncancel"));
      QTest::mouseClick(map->findChild<QWidget*>("Picture1"), Qt::LeftButton, {}, QPoint(x, 200));
      Click(map->findChild<QPushButton*>("btndecide"));
      return w->txtJisahun->text() + '/' + w->txtJisabyo->text();
    };
    EnterBirth(1975, 3, 5, "14");
    Click(w->optM);
    QCOMPARE(decideOnMap(200), QStringLiteral("-13/14"));
    Click(w->fInput);
    CompareWithReport(Report(chart::InputFromTexts(1975, 3, 5, "14", "30", true, "-13", "14")));
    const int firstBold = w->chartView->texts().bold;
    QVERIFY(firstBold >= 0);
    EnterBirth(2000, 2, 29, "?");
    Click(w->optW);
    QCOMPARE(decideOnMap(262), QStringLiteral("-0/28"));
    Click(w->fInput);
    CompareWithReport(Report(chart::InputFromTexts(2000, 2, 29, "?", "30", false, "-0", "28")));
    QCOMPARE_NE(w->chartView->texts().bold, firstBold);

    Click(w->btnpop);
    for (ChartView* view : {w->chartView, w->popupWindow()->chartView}) {
      const struct { const char *name, *text; QLabel* under; } headings[] = {
          {"lblHourPillar", "時柱", view->hKan}, {"lblDayPillar", "日柱", view->dKan},
          {"lblMonthPillar", "月柱", view->mKan}, {"lblYearPillar", "年柱", view->yKan}};
      for (const auto& h : headings) {
        auto* l = view->findChild<QLabel*>(h.name);
        QVERIFY2(l && l->isVisible() && l->text() == h.text, h.name);
        const QRect r = RectIn(l, view), pillar = RectIn(h.under, view);
        QVERIFY2(std::abs(r.center().x() - pillar.center().x()) <= 1 && r.bottom() < pillar.top(), h.name);
      }
      for (auto [name, row] : {std::pair{"lblFromAge", view->sai1[0]}, std::pair{"lblToAge", view->sai2[0]}}) {
        auto* l = view->findChild<QLabel*>(name);
        QVERIFY2(l && l->isVisible() && !l->text().isEmpty(), name);
        const QRect r = RectIn(l, view), ages = RectIn(row, view);
        QVERIFY2(std::abs(r.center().y() - ages.center().y()) <= 1, name);
        QVERIFY2(r.left() > RectIn(view->sai2[0], view).right(), name);  // right of column 0
      }
    }
  }

  // From the moment an input differs from the birth the chart was computed
  // for, the chart area says so, greyed, until 八字表示; the birthday line
  // follows the inputs at once. POP copies the chart with its own birth and
  // sex, never the new inputs; a setting recomputes the chart's own birth.
  void changedInputsMarkTheChartOutOfDate() {
    Show({1985, 5, 5, "14", "30", "0"});
    const auto chart = w->chartView->texts();
    const QString line = w->txtBirthday->text();
    auto* mark = w->chartView->lblOutOfDate;
    const int inked = Darkest(w->chartView, w->chartView->dun_kan[10]);
    QVERIFY(!RectIn(mark, w->chartView).intersects(RectIn(w->chartView->dun_kan[10], w->chartView)));
    auto upDown = [this](const char* box, const char* button) {
      QTest::mouseClick(w->findChild<QWidget*>(box)->findChild<QToolButton*>(button), Qt::LeftButton);
    };
    // Each change, and whether the chart is out of date after it.
    const std::pair<std::function<void()>, bool> steps[] = {
        {[&] { DecideYear(2000); }, true},
        {[&] { DecideYear(1985); }, false},  // the chart's birth again
        {[&] { Click(w->optW); }, true},
        {[&] { Click(w->optM); }, false},
        {[&] { Commit(w->txtJisahun, "19"); }, true},
        {[&] { w->menujisa01->trigger(); }, false},
        {[&] { upDown("udJisabyo", "upButton"); }, true},
        {[&] { upDown("udJisabyo", "downButton"); }, false},
        {[&] { Pick(w->hSelect, "?"); }, true},
        {[&] { Pick(w->hSelect, "14"); }, false},
        {[&] { Pick(w->dSelect, "6"); }, true}};
    int n = 0;
    for (const auto& [change, outOfDate] : steps) {
      change();
      QVERIFY2(mark->isVisible() == outOfDate, qPrintable(QString::number(n++)));
    }
    QVERIFY(mark->text().contains("八字表示"));
    QVERIFY2(Darkest(w->chartView, w->chartView->dun_kan[10]) > inked + 60, "not greyed");
    QVERIFY(w->chartView->texts() == chart);

    DecideYear(2000);
    Click(w->optW);
    Commit(w->txtJisahun, "-13");
    QCOMPARE(w->txtBirthday->text(), "2000年5月6日14時30分");
    Click(w->btnpop);
    frmpop01* pop = w->popupWindow();
    QCOMPARE(pop->txtBirthday->text(), line);
    QCOMPARE(pop->txtMW->text(), "男");
    QVERIFY(pop->chartView->texts() == chart);
    // A setting recomputes the greyed chart for its own birth; it stays greyed.
    w->momentMenu->mnuDst->trigger();
    CompareWithReport(Report(chart::InputFromTexts(1985, 5, 5, "14", "30", true, "0", "0"),
                             {chart::DstMode::Off, chart::Before1888::Jst, 30}));
    QVERIFY(w->chartView->outOfDate() && w->chartView->birth().birthday == line);

    Click(w->fInput);
    QVERIFY(!mark->isVisible() && w->chartView->texts() != chart);
    QCOMPARE(Darkest(w->chartView, w->chartView->dun_kan[10]), inked);
    Click(w->btnpop);
    QCOMPARE(pop->txtBirthday->text(), "2000年5月6日14時30分");
    QCOMPARE(pop->txtMW->text(), "女");
  }

  // The boxes step within what Japan needs; digits, minus, point and blank
  // typed with the input method on read as their half-width forms; text
  // that is no number, or a value no place in Japan needs, gets a red note
  // beside the boxes while the chart is computed from the leading number.
  void timeDifferenceBoxes() {
    const struct { bool minutes; const char *typed, *button; int times; const char* shown; } steps[] = {
        {true, "-1", "downButton", 60, "-49"},  {true, "-49", "upButton", 120, "48"},
        {true, "300", "downButton", 1, "48"},   {false, "0", "downButton", 1, "0"},
        {false, "0", "upButton", 70, "59"},     {true, "－１３", "upButton", 1, "-12"},
        {false, "５８", "upButton", 1, "59"}};
    for (const auto& r : steps) {
      QLineEdit* box = r.minutes ? w->txtJisahun : w->txtJisabyo;
      auto* b = (r.minutes ? w->udJisahun : w->udJisabyo)->findChild<QToolButton*>(r.button);
      box->setText(r.typed);
      for (int i = 0; i < r.times; ++i) Click(b);
      QVERIFY2(box->text() == r.shown, qPrintable(QStringLiteral("%1 %2×%3: %4")
                                                      .arg(r.typed, r.button).arg(r.times).arg(box->text())));
    }

    EnterBirth(1985, 5, 5, "14");
    auto chartFor = [this](const char* minutes, const char* seconds) {
      Commit(w->txtJisahun, QString::fromUtf8(minutes));
      Commit(w->txtJisabyo, QString::fromUtf8(seconds));
      Click(w->fInput);
      return w->chartView->texts();
    };
    const auto none = chartFor("0", "0");
    const char* widths[][4] = {{"－１３", "１４", "-13", "14"}, {"１９", "３０", "19", "30"},
                               {"－０", "２８", "-0", "28"}, {"　１２．５", "７", "12.5", "7"}};
    for (const auto& r : widths) {
      const auto half = chartFor(r[2], r[3]);
      QVERIFY2(half != none, r[2]);
      QVERIFY2(chartFor(r[0], r[1]) == half, r[0]);
    }

    QLabel* hint = w->lblJisaHint;
    const struct { const char *minutes, *seconds; bool shown; } hints[] = {
        {"-49", "0", false}, {"48", "59", false}, {"", "", false}, {"－１３", "１４", false}, {"12abc", "0", true},
        {"-", "0", true},    {"0", "x", true},    {"-50", "0", true}, {"49", "0", true}, {"0", "60", true}};
    for (const auto& r : hints) {
      Commit(w->txtJisahun, QString::fromUtf8(r.minutes));
      Commit(w->txtJisabyo, QString::fromUtf8(r.seconds));
      const QString row = QStringLiteral("%1/%2: \"%3\"").arg(r.minutes, r.seconds, hint->text());
      QVERIFY2(hint->isVisible() == r.shown && hint->text().isEmpty() != r.shown, qPrintable(row));
    }
    const QColor ink = hint->palette().color(hint->foregroundRole());
    QVERIFY(ink.red() > 150 && ink.green() < 80 && ink.blue() < 80);
    // In the row under the boxes, reaching under the group.
    const QRect box = RectIn(w->txtJisahun, w.get()), note = RectIn(hint, w.get());
    QVERIFY(note.top() > box.bottom() && note.top() < box.bottom() + box.height() + 16);
    QVERIFY(note.left() < RectIn(w->lblbyo, w.get()).right());
    chartFor("12abc", "75");
    CompareWithReport(Report(chart::InputFromTexts(1985, 5, 5, "14", "30", false, "12abc", "75")));
  }

  // The reading of typed numbers behind the boxes and torvela-cli.
  void halfWidthNumberText() {
    const struct { const char *typed, *read; double value; } rows[] = {
        {"１２．５", "12.5", 12.5}, {"　－０", " -0", -0.0}, {"３０秒", "30秒", 30}, {"ｰ１８", "-18", -18},
        {" −.5", " -.5", -0.5},     {"ーー１", "ーー1", 0},   {"１ー２", "1ー2", 1},   {"abc−5", "abc−5", 0}};
    for (const auto& r : rows) {
      const std::string utf8 = torvela::HalfWidthNumberText(std::string(r.typed));
      QCOMPARE(QString::fromStdString(utf8) + torvela::HalfWidthNumberText(QString::fromUtf8(r.typed)),
               QString::fromUtf8(r.read).repeated(2));
      const double v = torvela::LeadingNumber(utf8);
      QVERIFY2(v == r.value && std::signbit(v) == std::signbit(r.value), r.typed);
    }
    // Half-width text reads byte for byte as before; bytes that are no
    // UTF-8 start no number, before or after.
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> length(0, 12), ch(0, 127);
    for (int n = 0; n < 2000; ++n) {
      std::string text;
      for (int i = length(rng); i > 0; --i) text += char(ch(rng));
      QCOMPARE(torvela::HalfWidthNumberText(text), text);
      QCOMPARE(torvela::HalfWidthNumberText(QString::fromLatin1(text)), QString::fromLatin1(text));
    }
    for (const std::string bad : {"\xff" "12", "\xe3\x80", "12\xc3"})
      QCOMPARE(torvela::LeadingNumber(torvela::HalfWidthNumberText(bad)), torvela::LeadingNumber(bad));
  }

  // The age and the bold great-luck column follow the present moment in
  // Japan whatever the local zone: just after a birthday began in Japan,
  // while it is still the day before in Los Angeles.
  void ageAndLuckByJapansClock_data() {
    QTest::addColumn<QByteArray>("zone");
    for (const char* zone : {"America/Los_Angeles", "Asia/Tokyo"}) QTest::newRow(zone) << QByteArray(zone);
  }
  void ageAndLuckByJapansClock() {
    using namespace std::chrono;
    QFETCH(QByteArray, zone);
    Unload();
    qputenv("TZ", zone);
    ::tzset();
    Load(false);
    // 2026-05-05 00:30 in Japan; 2026-05-04 08:30 in Los Angeles.
    const sys_seconds moment = sys_days{2026y / May / 4} + 15h + 30min;
    w->presentMoment = [moment] { return system_clock::time_point(moment); };
    const Birth b{1985, 5, 5, "0", "10", "0"};
    Show(b);
    QCOMPARE(w->chartView->txtAge->text(), "41");
    QVERIFY(w->chartView->texts() == chart::MakeChartTexts(chart::ComputeChart(InputOf(b), tables, {2026, 5, 5, 0, 30}), tables));
  }

  // Return and keypad Enter press the focused button as Space does (a
  // century button only lists its years); Escape closes the popup, and the
  // map as its Close does, deciding nothing.
  void enterAndEscape() {
    EnterBirth(1985, 5, 5, "14");
    auto press = [](QAbstractButton* b, bool keypad) {
      Activate(b->window());
      b->setFocus(Qt::TabFocusReason);
      QSignalSpy clicked(b, &QAbstractButton::clicked);
      QTest::keyClick(b, keypad ? Qt::Key_Enter : Qt::Key_Return, keypad ? Qt::KeypadModifier : Qt::NoModifier);
      return clicked.count() == 1;
    };
    for (bool keypad : {false, true}) {
      QVERIFY(press(w->fInput, keypad) && w->chartView->hasChart());
      QVERIFY(press(w->btnpop, keypad) && w->popupWindow()->isVisible());
      w->popupWindow()->hide();
      QVERIFY(press(w->btnmap, keypad) && w->mapWindow()->isVisible());
      w->mapWindow()->hide();
      QVERIFY(press(w->yearInput, keypad) && w->yearPicker()->isVisible());
      auto* p = w->yearPicker();
      QVERIFY(press(p->y1800, keypad) && p->isVisible() && p->List1->item(0)->text() == "1800");
      QVERIFY(press(p->y2000, keypad) && p->isVisible() && p->List1->count() == 81);
      p->List1->setCurrentRow(keypad ? 2 : 1);
      QVERIFY(press(p->btnSlok, keypad) && !p->isVisible());
      QCOMPARE(*module->BirthYear, keypad ? 2002.0 : 2001.0);
    }

    Click(w->btnpop);
    frmpop01* pop = w->popupWindow();
    Activate(pop);
    Key(Qt::Key_Escape);
    QVERIFY(!pop->isVisible() && w->popupWindow() == pop);
    Click(w->btnmap);
    frmjpmap* map = w->mapWindow();
    Activate(map);
    QSignalSpy decided(map, &frmjpmap::decided), unloaded(map, &frmjpmap::unloaded);
    QTest::mouseClick(map->findChild<QWidget*>("Picture1"), Qt::LeftButton, {}, QPoint(200, 200));
    QCOMPARE(map->pointFixed, 1);
    Key(Qt::Key_Escape);
    QVERIFY(!map->isVisible() && decided.isEmpty() && unloaded.isEmpty());
    QCOMPARE(w->txtJisahun->text() + '/' + w->txtJisabyo->text(), "0/0");

    QVERIFY(press(w->endbtn, false));
    QCOMPARE(endStatus, 0);
  }

  // Alt and the letter shown in a menu's caption open it, F10 the first;
  // the Ctrl shortcuts run their commands, Ctrl+V pasting inside a text box;
  // F1 opens the user guide with its pictures.
  void menusAndShortcuts() {
    const struct { Qt::Key key; Qt::KeyboardModifier modifier; QMenu* menu; const char* caption; } menus[] = {
        {Qt::Key_F, Qt::AltModifier, w->menufile, "ファイル（Ｆ）"}, {Qt::Key_E, Qt::AltModifier, w->menuedit, "編集（Ｅ）"},
        {Qt::Key_T, Qt::AltModifier, w->menutool, "ツール（Ｔ）"},   {Qt::Key_H, Qt::AltModifier, w->menuhelp, "ヘルプ（Ｈ）"},
        {Qt::Key_F10, Qt::NoModifier, w->menufile, "ファイル（Ｆ）"}};
    for (const auto& r : menus) {
      QCOMPARE(QString(r.menu->title()).remove('&'), QString(r.caption));
      Activate(w.get());
      QTest::keyClick(w.get(), r.key, r.modifier);
      QTRY_VERIFY2(r.menu->isVisible(), r.caption);
      QTest::keyClick(r.menu, Qt::Key_Escape);
      QTRY_VERIFY(!r.menu->isVisible());
      w->menuBar()->setActiveAction(nullptr);
    }

    auto press = [this](Qt::Key key) {
      Activate(w.get());
      w->yearInput->setFocus(Qt::MouseFocusReason);
      Key(key, Qt::ControlModifier);
    };
    w->txtJisahun->setText("-18"), w->txtJisabyo->setText("30");
    press(Qt::Key_J);  // 時差ゼロ
    QCOMPARE(w->txtJisahun->text() + w->txtJisabyo->text(), QStringLiteral("00"));
    press(Qt::Key_P);  // nothing before the first chart
    QVERIFY(!w->popupWindow());
    press(Qt::Key_M);
    QVERIFY(w->mapWindow() && w->mapWindow()->isVisible());
    EnterBirth(1988, 8, 8, "8", "8");
    Click(w->fInput);
    press(Qt::Key_P);
    QVERIFY(w->popupWindow() && w->popupWindow()->isVisible());
    QCOMPARE(w->popupWindow()->txtMW->text(), QStringLiteral("女"));
    CountingSound sound;
    w->notifySound = &sound;
    QGuiApplication::clipboard()->setText("-13");
    {
      ModalCatcher catcher;
      Activate(w.get());
      w->txtJisahun->setFocus(Qt::MouseFocusReason);
      w->txtJisahun->selectAll();
      Key(Qt::Key_V, Qt::ControlModifier);
      QCOMPARE(w->txtJisahun->text() + catcher.title, "-13");
    }
    {
      ModalCatcher catcher;
      press(Qt::Key_V);
      QCOMPARE(catcher.title + QString::number(sound.plays), QStringLiteral("バージョン情報1"));
    }

    QCOMPARE(w->menuguide->text() + w->menuguide->shortcut().toString(), "使い方F1");
    QVERIFY(w->menuhelp->actions().contains(w->menuguide));
    Activate(w.get());
    QTest::keyClick(w.get(), Qt::Key_F1);
    auto shownGuide = [] {
      for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "GuideWindow" && top->isVisible()) return top;
      return static_cast<QWidget*>(nullptr);
    };
    QWidget* guide = shownGuide();
    auto* text = guide ? guide->findChild<QTextBrowser*>("txtGuide") : nullptr;
    QVERIFY(text);
    for (const char* term : {"八字表示", "真太陽時", "均時差", "視黄経", "大運交替", "交替年月", "旺", "POP", "時差",
                             "Ctrl+E", "F1", "torvela-cli"})
      QVERIFY2(text->toPlainText().contains(QString::fromUtf8(term)), term);
    int pictures = 0;  // each found and readable
    for (QTextBlock b = text->document()->begin(); b.isValid(); b = b.next())
      for (auto it = b.begin(); !it.atEnd(); ++it)
        if (const QTextCharFormat f = it.fragment().charFormat(); f.isImageFormat() && ++pictures) {
          const QVariant v = text->document()->resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name()));
          QVERIFY2(!(v.canConvert<QImage>() ? v.value<QImage>() : QImage::fromData(v.toByteArray())).isNull(),
                   qPrintable(f.toImageFormat().name()));
        }
    QVERIFY(pictures >= 3);
    // F1 again brings the same window back; Escape closes it.
    guide->hide();
    Activate(w.get());
    QTest::keyClick(w.get(), Qt::Key_F1);
    QCOMPARE(shownGuide(), guide);
    Activate(guide);
    Key(Qt::Key_Escape);
    QVERIFY(!shownGuide());
  }

  // The guide beside the program in a build tree comes first, then the
  // installed one in <prefix>/share/doc/torvela/docs for a program in <prefix>/bin.
  void guideLookup() {
    QTemporaryDir root;
    const QString bin = root.filePath("usr/bin"), installed = root.filePath("usr/share/doc/torvela/docs");
    auto make = [](const QString& dir) {
      QDir().mkpath(dir);
      QFile f(dir + '/' + torvela::ui::GuideFileName());
      return f.open(QIODevice::WriteOnly) ? QFileInfo(f).absoluteFilePath() : QString();
    };
    QDir().mkpath(bin);
    QCOMPARE(torvela::ui::GuideFile(bin), QString());
    const QString installedGuide = make(installed);
    QCOMPARE(torvela::ui::GuideFile(bin), installedGuide);
    const QString besideGuide = make(bin + "/docs");  // before the lookup, whatever the compiler's order
    QCOMPARE(torvela::ui::GuideFile(bin), besideGuide);
  }

  // 終了, the menu, the close box (even under the year picker) and Ctrl+E
  // from any window or text box end the program and close every window.
  void everyEndClosesEveryWindow_data() {
    QTest::addColumn<QString>("how");
    for (const char* how : {"button", "menu", "close box", "Ctrl+E in a time-difference box",
                            "Ctrl+E in a result box", "Ctrl+E in the popup", "Ctrl+E in the map",
                            "Ctrl+E in the year picker"})
      QTest::newRow(how) << QString(how);
  }
  void everyEndClosesEveryWindow() {
    QFETCH(QString, how);
    EnterBirth(1960, 1, 1, "1", "1");
    for (QWidget* b : std::initializer_list<QWidget*>{w->fInput, w->btnpop, w->btnmap})
      Click(b);
    QVERIFY(w->popupWindow()->isVisible() && w->mapWindow()->isVisible());
    if (how.contains("year picker") || how == "close box") {
      Click(w->yearInput);
      QVERIFY(w->yearPicker()->isVisible());
    }
    ClaimsCtrl claimsCtrlE(Qt::Key_E);
    if (how == "button") {
      Click(w->endbtn);
    } else if (how == "menu") {
      w->endkolvan->trigger();
    } else if (how == "close box") {
      w->close();
    } else {
      QWidget* focus = how.contains("time-difference") ? w->txtJisahun
                       : how.contains("result")        ? w->chartView->txtKoukei
                       : how.contains("popup")         ? w->popupWindow()->txtBirthday
                                                       : nullptr;
      Activate(how.contains("map") ? w->mapWindow() : how.contains("picker") ? w->yearPicker() : focus->window());
      if (focus) {
        focus->setFocus(Qt::MouseFocusReason);
        focus->installEventFilter(&claimsCtrlE);
      }
      Key(Qt::Key_E, Qt::ControlModifier);
    }
    QCOMPARE(endStatus, 0);
    for (QWidget* top : QApplication::topLevelWidgets()) QVERIFY2(!top->isVisible(), qPrintable(top->objectName()));
  }

  // The ツール settings apply to the chart in view at once (the soak checks
  // every pick against ComputeBirth): the summer-time correction shows in
  // 真太陽時 while 誕生日 keeps what was entered; with it off, or before 1888
  // by JST, the chart is exactly today's; each group has one item checked.
  void chartFollowsTheMomentSettings() {
    const Birth summer{1949, 7, 1, "10", "0", "19"}, old{1870, 3, 3, "9", "0", "19"};
    auto todays = [&](const Birth& b) {
      return w->chartView->texts() == chart::MakeChartTexts(chart::ComputeChart(InputOf(b), tables, kNow), tables);
    };
    auto notices = [&] { return ShownNotices(*w->chartView->noticeArea); };
    MomentSettingsMenu* m = w->momentMenu;
    Show(summer);  // Tokyo, when the clocks ran at UTC+10
    CompareWithReport(Report(InputOf(summer)));
    QCOMPARE(w->txtBirthday->text() + ' ' + w->chartView->txtShin->text(), "1949年7月1日10時0分 1949年7月1日9時15.4分");
    QVERIFY(notices().value(0).startsWith("夏時刻：") && !todays(summer));
    m->mnuDst->trigger();
    chart::MomentSettings s{chart::DstMode::Off, chart::Before1888::Jst, 30};
    CompareWithReport(Report(InputOf(summer), s));
    QCOMPARE(w->chartView->txtShin->text(), "1949年7月1日10時15.4分");
    QVERIFY(notices().value(0).contains("補正しない設定") && todays(summer) && !w->chartView->outOfDate());

    Show(old);
    QVERIFY(notices().value(0).startsWith("1888年より前は日本に標準時がありません。") && todays(old));
    m->mnuBefore1888Solar->trigger();
    m->mnuMargin60->trigger();
    s.before1888 = chart::Before1888::TrueSolar, s.marginMinutes = 60;
    const auto is = m->settings();
    QVERIFY(is.dst == s.dst && is.before1888 == s.before1888 && is.marginMinutes == s.marginMinutes);
    for (const auto& group : {std::vector{m->mnuBefore1888Jst, m->mnuBefore1888Lmt, m->mnuBefore1888Solar},
                              std::vector{m->mnuMargin10, m->mnuMargin30, m->mnuMargin60}})
      QCOMPARE(std::count_if(group.begin(), group.end(), [](QAction* a) { return a->isChecked(); }), 1);
    CompareWithReport(Report(InputOf(old), s));
    QVERIFY(!todays(old));
  }

  // A kept setting is read back; one that cannot be read is the default.
  void settingsPersist() {
    settingsFile = settingsDir.filePath("kept.ini");
    Unload();
    Load();
    w->momentMenu->mnuBefore1888Solar->trigger();
    Unload();
    QSettings file(settingsFile, QSettings::IniFormat);
    QCOMPARE(file.value("moment/before1888").toString(), "solar");
    file.setValue("moment/dst", "maybe"), file.setValue("moment/before1888", 3), file.setValue("moment/margin", 45);
    file.sync();
    Load();
    settingsFile.clear();
    const auto s = w->momentMenu->settings();
    QVERIFY(s.dst == chart::DstMode::Auto && s.before1888 == chart::Before1888::Jst && s.marginMinutes == 30);
    QVERIFY(w->momentMenu->mnuMargin30->isChecked() && w->momentMenu->mnuBefore1888Jst->isChecked());
  }

  // 命式詳細 by Ctrl+D even from a text box shows the reading of the chart in
  // view (the soak follows it through settings and popups); three notices
  // leave the main window and the popup their size, wrapped and scrolled.
  void detailWindowAndNotices() {
    Show({1975, 3, 5, "14", "30", "-13"});
    Click(w->btnpop);
    frmpop01* pop = w->popupWindow();
    const QSize mainSize = w->size(), popupSize = pop->size();
    Show({1870, 3, 3, "9", "0", "19"});
    Click(w->btnpop);
    for (ChartView* view : {w->chartView, pop->chartView}) QCOMPARE(ShownNotices(*view->noticeArea).size(), 3);
    QVERIFY(w->size() == mainSize && pop->size() == popupSize);
    const auto& area = *w->chartView->noticeArea;
    QVERIFY(area.lblNotices->wordWrap() && area.lblNotices->width() <= area.scrNotices->viewport()->width());
    QVERIFY(area.lblNotices->height() > area.scrNotices->viewport()->height());  // scrolls

    // 9:30 in summer time: 8:45 true solar time corrected (辰).
    const Birth summer{1949, 7, 1, "9", "30", "19"};
    Show(summer);
    ClaimsCtrl claimsCtrlD(Qt::Key_D);
    Activate(w.get());
    w->txtJisahun->setFocus(Qt::MouseFocusReason);
    w->txtJisahun->installEventFilter(&claimsCtrlD);
    QTest::keyClick(w->txtJisahun, Qt::Key_D, Qt::ControlModifier);
    DetailWindow* detail = w->detailWindow();
    QVERIFY(detail && detail->isVisible());
    QCOMPARE(DetailShown(*detail), Reading(summer));
    QCOMPARE(detail->windowTitle(), "命式詳細　1949年7月1日9時30分・男");
    Activate(detail);
    Key(Qt::Key_Escape);
    QVERIFY(!detail->isVisible());
  }

  // The popup shows the copy it is given (never the owner's controls of the
  // same names) with its birth, birthplace, notes and reading as values;
  // POP again refreshes it where the user put it without growing, Close
  // hides it in place, the close box discards it and the next is centred.
  void popupKeepsItsCopy() {
    // Every text is `tag` and the control's name; column `bold` is the current one.
    auto texts = [](const std::string& tag, int bold) {
      chart::ChartTexts t;
      chart::ForEachTextField(t, [&](const char* name, auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>)
          field = tag + name;
        else
          for (std::size_t i = 0; i < field.size(); ++i) field[i] = tag + name + "_" + std::to_string(i);
      });
      t.bold = bold;
      return t;
    };
    auto check = [&](const frmpop01& pop, const std::string& tag, int bold) {
      const ChartView& v = *pop.chartView;
      QVERIFY(v.texts() == texts(tag, bold));
      QCOMPARE(v.yKan->text() + v.sai1[9]->text(), QString::fromStdString(tag + "yKan" + tag + "sai1_9"));
      for (const char* absent : {"txtweek", "txtKinjisa", "txtShin"}) QVERIFY(!pop.findChild<QWidget*>(absent));
      for (int i = 0; i < 11; ++i)
        QVERIFY(v.dun_kan[i]->font().bold() == (i == bold) && v.dun_shi[i]->font().bold() == (i == bold));
    };
    auto nearCentre = [](const QWidget& p) {
      return (p.frameGeometry().center() - p.screen()->availableGeometry().center()).manhattanLength() <= 1;
    };
    const Birth owned{1975, 3, 5, "14", "30", "-13"};
    Show(owned);  // the owner has a chart of its own
    ChartNotes notes{"節入り：A", "次の節：A", {"注意一", "注意二"}, w->chartView->notes().reading};
    const QString longest = "神奈川県横浜市保土ケ谷区";
    QPointer<frmpop01> pop;
    frmpop01* first = ShowPopup(pop, *w, texts("A", 3), {"A-birthday", true, "-13", "14", longest}, notes);
    QVERIFY(QTest::qWaitForWindowExposed(first) && nearCentre(*first));
    notes.notices.clear(), notes.prevTerm = "節入り：B", notes.reading.reset();  // the copy is its own
    check(*first, "A", 3);
    QCOMPARE(first->txtBirthday->text() + first->txtMW->text() + first->txtPlace->text(), "A-birthday男" + longest);
    QVERIFY(first->txtPlace->fontMetrics().horizontalAdvance(longest) < first->txtPlace->contentsRect().width());
    const auto& area = *first->chartView->noticeArea;
    QCOMPARE(area.lblPrevTerm->text() + area.lblNextTerm->text() + ShownNotices(area).join('/'),
             "節入り：A次の節：A注意一/注意二");
    Click(first->btnDetail);
    DetailWindow* detail = first->detailWindow();
    QVERIFY(detail && detail->isVisible());
    QCOMPARE(DetailShown(*detail), Reading(owned));
    QCOMPARE(detail->windowTitle(), "命式詳細（POP）　A-birthday・男・" + longest);

    const QSize size = first->size();
    first->move(40, 50);
    const QPoint placed = first->pos();
    const std::string longer = "a much longer text than any chart holds ";
    QCOMPARE(ShowPopup(pop, *w, texts(longer, -1), {"B", false, "0", "0", ""}, notes), first);
    QVERIFY(first->size() == size && first->pos() == placed);
    check(*first, longer, -1);
    QCOMPARE(first->txtMW->text() + first->txtPlace->text(), "女");
    QVERIFY(!first->btnDetail->isEnabled() && !detail->isVisible() && area.lblNotices->text().isEmpty());
    Click(first->Command1);
    QVERIFY(!first->isVisible() && pop);
    QCOMPARE(ShowPopup(pop, *w, texts("C", 7), {"C", true, "0", "0", ""}), first);
    QVERIFY(first->isVisible() && first->pos() == placed);
    QVERIFY(first->close());
    QTRY_VERIFY(pop.isNull());
    frmpop01* second = ShowPopup(pop, *w, texts("C", 7), {"C", true, "0", "0", ""});
    QVERIFY(QTest::qWaitForWindowExposed(second) && nearCentre(*second));
    check(*second, "C", 7);
  }
};

QTEST_MAIN(TestMainForm)
#include "test_mainform.moc"
