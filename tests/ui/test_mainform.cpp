// The main window and its year picker driven as a person would: the inputs
// unlock in order and keep the birthday line and the day list right, the
// chart shows exactly the computed texts and says when the inputs have moved
// on from it, the time-difference fields step, zero, read full-width digits
// and point out what they cannot read, the shortcuts run their commands, and
// every way out closes every window.
#include "UiTestSupport.h"
#include "UpDown.h"

using namespace uitest;

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

}  // namespace

class TestMainForm : public MainWindowTest {
  Q_OBJECT

  // Every chart text equals the computation's for these inputs and only the
  // current great-luck column, put in bold, is bold.
  void CompareChart(int year, int month, int day, const char* hour, bool male, const char* jisahun,
                    const char* jisabyo, int& bold) {
    const torvela::Tables m = torvela::LoadTables(DataDir());
    const auto input = torvela::chart::InputFromTexts(year, month, day, hour, "30", male, jisahun, jisabyo);
    const auto expected = torvela::chart::MakeChartTexts(torvela::chart::ComputeChart(input, m, kNow), m);
    bold = expected.bold;
    for (const auto& [name, text] : expected.Items()) {
      const QWidget* c = w->findChild<QWidget*>(QString::fromStdString(name));
      QCOMPARE(c ? c->property("text").toString() : "<missing>", QString::fromStdString(text));
    }
    for (int i = 0; i <= 10; ++i)
      QVERIFY(w->chartView->dun_kan[i]->font().bold() == (i == expected.bold) &&
              w->chartView->dun_shi[i]->font().bold() == (i == expected.bold));
    QVERIFY(w->chartView->texts() == expected);  // what POP hands on
  }

 private slots:
  void init() { Load(); }
  void cleanup() { Unload(); }

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
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    check("11111111");
  }

  // A re-picked month or year replaces the day list and clamps the day.
  void dayListAndClamp_data() {
    QTest::addColumn<QList<int>>("r");  // year, month, day (0: none), then year, then month, days, day
    QTest::newRow("2000-02 leap") << QList<int>{2000, 2, 0, 2000, 2, 29, 0};
    QTest::newRow("1900-02 not leap") << QList<int>{1900, 2, 0, 1900, 2, 28, 0};
    QTest::newRow("January then February") << QList<int>{1975, 1, 0, 1975, 2, 28, 0};
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

  // The time difference is decided on the map, as a user sets it; "-0"
  // (just west of 135E) must reach the chart as west. A second display
  // replaces every text and moves the bold column.
  void chartShowsTheComputedTexts() {
    auto decideOnMap = [this](int x) {
      QTest::mouseClick(w->btnmap, Qt::LeftButton);
      auto* map = w->mapWindow();
      // Offscreen activation does not always release a point held from before.
      if (map->pointFixed) QTest::mouseClick(map->findChild<QPushButton*>("btncancel"), Qt::LeftButton);
      QTest::mouseClick(map->findChild<QWidget*>("Picture1"), Qt::LeftButton, {}, QPoint(x, 200));
      QTest::mouseClick(map->findChild<QPushButton*>("btndecide"), Qt::LeftButton);
      return w->txtJisahun->text() + '/' + w->txtJisabyo->text();
    };
    EnterBirth(1975, 3, 5, "14");
    QTest::mouseClick(w->optM, Qt::LeftButton);
    QCOMPARE(decideOnMap(200), QStringLiteral("-13/14"));
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    int firstBold = -1, secondBold = -1;
    CompareChart(1975, 3, 5, "14", true, "-13", "14", firstBold);
    QVERIFY(firstBold >= 0);
    EnterBirth(2000, 2, 29, "?");
    QTest::mouseClick(w->optW, Qt::LeftButton);
    QCOMPARE(decideOnMap(262), QStringLiteral("-0/28"));
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    CompareChart(2000, 2, 29, "?", false, "-0", "28", secondBold);
    QCOMPARE_NE(secondBold, firstBold);
  }

  void timeDifferenceSteps() {
    const struct { bool minutes; const char *typed, *button; int times; const char* shown; } rows[] = {
        {true, "-1", "downButton", 60, "-49"},  {true, "-49", "upButton", 120, "48"},
        {true, "-13", "upButton", 1, "-12"},    {true, "300", "downButton", 1, "48"},
        {false, "0", "downButton", 1, "0"},     {false, "0", "upButton", 70, "59"},
        {true, "－１３", "upButton", 1, "-12"}, {false, "５８", "upButton", 1, "59"}};
    for (const auto& r : rows) {
      QLineEdit* box = r.minutes ? w->txtJisahun : w->txtJisabyo;
      auto* b = (r.minutes ? w->udJisahun : w->udJisabyo)->findChild<QToolButton*>(r.button);
      box->setText(r.typed);
      for (int i = 0; i < r.times; ++i) QTest::mouseClick(b, Qt::LeftButton);
      QVERIFY2(box->text() == r.shown, qPrintable(QStringLiteral("%1 %2×%3: %4")
                                                      .arg(r.typed, r.button).arg(r.times).arg(box->text())));
    }
  }

  void shortcutsRunTheirCommands() {
    auto press = [this](Qt::Key key) {
      w->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(w.get()));
      QTest::keyClick(w.get(), key, Qt::ControlModifier);
    };
    w->txtJisahun->setText("-18"), w->txtJisabyo->setText("30");
    press(Qt::Key_J);  // 時差ゼロ
    QCOMPARE(w->txtJisahun->text() + w->txtJisabyo->text(), QStringLiteral("00"));
    press(Qt::Key_P);  // nothing before the first chart
    QVERIFY(!w->popupWindow());
    press(Qt::Key_M);
    QVERIFY(w->mapWindow() && w->mapWindow()->isVisible());
    EnterBirth(1988, 8, 8, "8", "8");
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    press(Qt::Key_P);
    QVERIFY(w->popupWindow() && w->popupWindow()->isVisible());
    QCOMPARE(w->popupWindow()->txtMW->text(), QStringLiteral("女"));
    CountingSound sound;
    w->notifySound = &sound;
    ModalCatcher catcher;
    press(Qt::Key_V);
    QCOMPARE(catcher.title + QString::number(sound.plays), QStringLiteral("バージョン情報1"));
    press(Qt::Key_E);
    QVERIFY(endStatus == 0 && !w->isVisible());
  }

  void everyEndClosesEveryWindow_data() {
    QTest::addColumn<QString>("how");
    for (const char* how : {"button", "menu", "close box"}) QTest::newRow(how) << QString(how);
  }
  void everyEndClosesEveryWindow() {
    QFETCH(QString, how);
    EnterBirth(1960, 1, 1, "1", "1");
    for (QWidget* b : std::initializer_list<QWidget*>{w->fInput, w->btnpop, w->btnmap})
      QTest::mouseClick(b, Qt::LeftButton);
    QVERIFY(w->popupWindow()->isVisible() && w->mapWindow()->isVisible());
    if (how == "button") {
      QTest::mouseClick(w->endbtn, Qt::LeftButton);
    } else if (how == "menu") {
      w->endkolvan->trigger();
    } else {  // even while the year picker holds the window
      QTest::mouseClick(w->yearInput, Qt::LeftButton);
      QVERIFY(w->yearPicker()->isVisible());
      w->close();
    }
    QVERIFY(endStatus == 0);
    for (QWidget* top : QApplication::topLevelWidgets())
      QVERIFY2(!top->isVisible(), qPrintable(top->objectName()));
  }

  void yearPicker() {
    auto* picker = w->yearPicker();
    auto years = [&] { return Items(picker->List1->model()); };
    auto open = [&] {
      QTest::mouseClick(w->yearInput, Qt::LeftButton);
      QVERIFY(QTest::qWaitForWindowExposed(picker) && !w->centralWidget()->isEnabled() &&
              !w->menuBar()->isEnabled());
    };
    open();
    QCOMPARE(years(), Numbers(1900, 1999));
    QCOMPARE(picker->lblSelect_y->text(), QString());
    // Three columns: ascending along each row, the fourth year under the first.
    auto rect = [&](int i) { return picker->List1->visualRect(picker->List1->model()->index(i, 0)); };
    QVERIFY(rect(0).left() < rect(1).left() && rect(1).left() < rect(2).left());
    QVERIFY(rect(2).top() == rect(0).top() && rect(3).left() == rect(0).left());
    QVERIFY(rect(2).right() <= picker->List1->viewport()->width());
    QTest::mouseClick(picker->y2000, Qt::LeftButton);
    QCOMPARE(years(), Numbers(2000, 2080));
    // Deciding with no year picked keeps the picker but frees the window.
    QTest::mouseClick(picker->btnSlok, Qt::LeftButton);
    QVERIFY(picker->isVisible() && w->centralWidget()->isEnabled() && !module->BirthYear &&
            !w->mSelect->isEnabled());
    picker->close();
    DecideYear(1975);
    open();  // again: the decided year and the century last listed
    QCOMPARE(picker->lblSelect_y->text(), QStringLiteral("1975"));
    QCOMPARE(years(), Numbers(1900, 1999));
    // The close box cancels a new pick and frees the window.
    QTest::mouseClick(picker->y1800, Qt::LeftButton);
    picker->List1->setCurrentItem(picker->List1->item(50));
    picker->close();
    QVERIFY(w->centralWidget()->isEnabled() && w->menuBar()->isEnabled() && *module->BirthYear == 1975.0);
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年月日時頃"));
  }

  // The year picker locks the main window only: an open popup or map stays
  // usable meanwhile.
  void yearPickerLocksOnlyTheMainWindow() {
    EnterBirth(1985, 5, 5, "14");
    for (QWidget* b : std::initializer_list<QWidget*>{w->fInput, w->btnpop, w->btnmap})
      QTest::mouseClick(b, Qt::LeftButton);
    QTest::mouseClick(w->yearInput, Qt::LeftButton);
    QVERIFY(w->yearPicker()->isVisible() && !w->fInput->isEnabled() && !w->menuBar()->isEnabled());
    frmpop01* pop = w->popupWindow();
    frmjpmap* map = w->mapWindow();
    QVERIFY(pop->isEnabled() && map->isEnabled());
    QTest::mouseClick(pop->Command1, Qt::LeftButton);
    QTest::mouseClick(map->findChild<QPushButton*>("btnClose"), Qt::LeftButton);
    QVERIFY(!pop->isVisible() && !map->isVisible() && w->yearPicker()->isVisible());
    DecideYear(1986);
    QVERIFY(w->fInput->isEnabled() && w->menuBar()->isEnabled());
  }

  // From the moment an input differs from the birth the chart was computed
  // for, the chart area says so, greyed, until 八字表示; the birthday line
  // follows the inputs at once. POP copies the chart with its own birth and
  // sex, never the new inputs.
  void changedInputsMarkTheChartOutOfDate() {
    EnterBirth(1985, 5, 5, "14");
    QTest::mouseClick(w->optM, Qt::LeftButton);
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    const auto chart = w->chartView->texts();
    const QString line = w->txtBirthday->text();
    auto* mark = w->chartView->findChild<QLabel*>("lblOutOfDate");
    QVERIFY(mark);
    const int inked = Darkest(w->chartView, w->chartView->dun_kan[10]);
    QVERIFY(!RectIn(mark, w->chartView).intersects(RectIn(w->chartView->dun_kan[10], w->chartView)));
    auto upDown = [this](const char* box, const char* button) {
      QTest::mouseClick(w->findChild<QWidget*>(box)->findChild<QToolButton*>(button), Qt::LeftButton);
    };
    // Each change, and whether the chart is out of date after it.
    const std::pair<std::function<void()>, bool> steps[] = {
        {[&] { DecideYear(2000); }, true},
        {[&] { DecideYear(1985); }, false},  // the chart's birth again
        {[&] { QTest::mouseClick(w->optW, Qt::LeftButton); }, true},
        {[&] { QTest::mouseClick(w->optM, Qt::LeftButton); }, false},
        {[&] { Commit(w->txtJisahun, "19"); }, true},
        {[&] { w->menujisa01->trigger(); }, false},
        {[&] { upDown("udJisabyo", "upButton"); }, true},
        {[&] { upDown("udJisabyo", "downButton"); }, false},
        {[&] { Pick(w->hSelect, "?"); }, true},
        {[&] { Pick(w->hSelect, "14"); }, false},
        {[&] { Pick(w->mtSelect, "31"); }, true},
        {[&] { Pick(w->mtSelect, "30"); }, false},
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
    QTest::mouseClick(w->optW, Qt::LeftButton);
    Commit(w->txtJisahun, "-13");
    QCOMPARE(w->txtBirthday->text(), "2000年5月6日14時30分");
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    frmpop01* pop = w->popupWindow();
    QCOMPARE(pop->txtBirthday->text(), line);
    QCOMPARE(pop->txtMW->text(), "男");
    QVERIFY(pop->chartView->texts() == chart);

    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QVERIFY(!mark->isVisible() && w->chartView->texts() != chart);
    QCOMPARE(Darkest(w->chartView, w->chartView->dun_kan[10]), inked);
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    QCOMPARE(pop->txtBirthday->text(), "2000年5月6日14時30分");
    QCOMPARE(pop->txtMW->text(), "女");
  }

  // Digits, minus, point and blank typed with the input method on read as
  // their half-width forms, giving the chart of the half-width text.
  void fullWidthTimeDifference() {
    EnterBirth(1985, 5, 5, "14");
    auto chartFor = [this](const QString& minutes, const QString& seconds) {
      Commit(w->txtJisahun, minutes);
      Commit(w->txtJisabyo, seconds);
      QTest::mouseClick(w->fInput, Qt::LeftButton);
      return w->chartView->texts();
    };
    const auto none = chartFor("0", "0");
    const char* rows[][4] = {{"－１３", "１４", "-13", "14"},  {"１９", "３０", "19", "30"},
                             {"＋７", "５", "+7", "5"},       {"－０", "２８", "-0", "28"},
                             {"　１２．５", "７", "12.5", "7"}, {"ー１８", "３０", "-18", "30"},
                             {"−５", "０", "-5", "0"}};
    for (const auto& r : rows) {
      const auto half = chartFor(r[2], r[3]);
      QVERIFY2(half != none, r[2]);
      QVERIFY2(chartFor(QString::fromUtf8(r[0]), QString::fromUtf8(r[1])) == half, r[0]);
    }
  }

  // A time difference that is no number, or none a place in Japan needs,
  // gets a red note beside the boxes; the chart is computed as before.
  void timeDifferenceHint() {
    auto* hint = w->findChild<QLabel*>("lblJisaHint");
    QVERIFY(hint);
    const struct { const char *minutes, *seconds; bool shown; } rows[] = {
        {"0", "0", false},   {"-49", "0", false},   {"48", "59", false}, {"-0", "28", false},
        {"", "", false},     {"－１３", "１４", false}, {"12.5", "7.5", false},
        {"abc", "0", true},  {"12abc", "0", true},  {"-", "0", true},    {"0", "x", true},
        {"-50", "0", true},  {"49", "0", true},     {"0", "60", true},   {"0", "-1", true},
        {"300", "0", true},  {"13", "-14", true}};
    for (const auto& r : rows) {
      Commit(w->txtJisahun, QString::fromUtf8(r.minutes));
      Commit(w->txtJisabyo, QString::fromUtf8(r.seconds));
      const QString row = QStringLiteral("%1/%2: \"%3\"").arg(r.minutes, r.seconds, hint->text());
      QVERIFY2(hint->isVisible() == r.shown && hint->text().isEmpty() != r.shown, qPrintable(row));
    }
    const QColor ink = hint->palette().color(hint->foregroundRole());
    QVERIFY(ink.red() > 150 && ink.green() < 80 && ink.blue() < 80);
    // Next to the boxes: in the row under them, reaching under the group.
    const QRect box = RectIn(w->txtJisahun, w.get()), note = RectIn(hint, w.get());
    QVERIFY(note.top() > box.bottom() && note.top() < box.bottom() + box.height() + 16);
    QVERIFY(note.left() < RectIn(w->lblbyo, w.get()).right());
    EnterBirth(1975, 3, 5, "14");
    Commit(w->txtJisahun, "12abc");
    Commit(w->txtJisabyo, "75");
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    int bold = -1;
    CompareChart(1975, 3, 5, "14", false, "12abc", "75", bold);
  }

  // Headings over the four pillars and labels for the two age rows of the
  // great luck, in the main window and in the popup.
  void headingsOverThePillars() {
    EnterBirth(1985, 5, 5, "14");
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
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
      for (auto [name, row] :
           {std::pair{"lblFromAge", view->sai1[0]}, std::pair{"lblToAge", view->sai2[0]}}) {
        auto* l = view->findChild<QLabel*>(name);
        QVERIFY2(l && l->isVisible() && !l->text().isEmpty(), name);
        const QRect r = RectIn(l, view), ages = RectIn(row, view);
        QVERIFY2(std::abs(r.center().y() - ages.center().y()) <= 1, name);
        QVERIFY2(r.left() > RectIn(view->sai2[0], view).right(), name);  // right of column 0
      }
    }
  }
};

QTEST_MAIN(TestMainForm)
#include "test_mainform.moc"
