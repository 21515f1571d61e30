// The keys a person reaches for: Enter presses the focused button, the menus
// open from the keyboard (Alt+E 編集, while Ctrl+E ends), Escape closes the popup and the map, Ctrl+E ends
// the program from any window and any text box while Ctrl+V still pastes
// into a text box, and tabbing into the year list picks no year.
#include <QSignalSpy>

#include "UiTestSupport.h"

using namespace uitest;

namespace {

// Keys go where a person's go: to the focus widget of the active window.
void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
  QVERIFY(target);
  QTest::keyClick(target, key, modifiers);
}

// Claims Ctrl+E for the text box, as QLineEdit does under X11's key
// bindings (end of line); offscreen the bindings are other ones.
struct TakesCtrlE : QObject {
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::ShortcutOverride) return false;
    const auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() != Qt::Key_E || k->modifiers() != Qt::ControlModifier) return false;
    e->accept();
    return true;
  }
};

}  // namespace

class TestKeyboard : public MainWindowTest {
  Q_OBJECT

  void ShowChart() {
    EnterBirth(1985, 5, 5, "14");
    QTest::mouseClick(w->fInput, Qt::LeftButton);
  }

 private slots:
  void init() { Load(); }
  void cleanup() { Unload(); }

  // Return and keypad Enter press the focused button as Space does; a
  // century button of the year picker only lists its years.
  void enterPressesTheFocusedButton() {
    EnterBirth(1985, 5, 5, "14");
    auto press = [](QAbstractButton* b, bool keypad) {
      Activate(b->window());
      b->setFocus(Qt::TabFocusReason);
      QSignalSpy clicked(b, &QAbstractButton::clicked);
      QTest::keyClick(b, keypad ? Qt::Key_Enter : Qt::Key_Return,
                      keypad ? Qt::KeypadModifier : Qt::NoModifier);
      return clicked.count() == 1;
    };
    for (bool keypad : {false, true}) {
      QVERIFY(press(w->fInput, keypad) && !w->chartView->texts().yKan.empty());
      QVERIFY(press(w->btnpop, keypad) && w->popupWindow()->isVisible());
      w->popupWindow()->hide();
      QVERIFY(press(w->btnmap, keypad) && w->mapWindow()->isVisible());
      w->mapWindow()->hide();
      QVERIFY(press(w->yearInput, keypad) && w->yearPicker()->isVisible());
      auto* p = w->yearPicker();
      QVERIFY(press(p->y1800, keypad));
      QVERIFY(p->isVisible() && p->List1->item(0)->text() == "1800");
      QVERIFY(press(p->y2000, keypad));
      QVERIFY(p->isVisible() && p->List1->count() == 81);
      p->List1->setCurrentRow(keypad ? 2 : 1);
      QVERIFY(press(p->btnSlok, keypad) && !p->isVisible());
      QCOMPARE(*module->BirthYear, keypad ? 2002.0 : 2001.0);
    }
    QVERIFY(press(w->endbtn, false));
    QCOMPARE(endStatus, 0);
  }

  // Alt and the letter shown in a menu's caption open it; F10 opens the first.
  void menusOpenFromTheKeyboard() {
    const struct { Qt::Key key; Qt::KeyboardModifier modifier; QMenu* menu; const char* caption; } rows[] = {
        {Qt::Key_F, Qt::AltModifier, w->menufile, "ファイル（Ｆ）"},
        {Qt::Key_E, Qt::AltModifier, w->menuedit, "編集（Ｅ）"},
        {Qt::Key_T, Qt::AltModifier, w->menutool, "ツール（Ｔ）"},
        {Qt::Key_H, Qt::AltModifier, w->menuhelp, "ヘルプ（Ｈ）"},
        {Qt::Key_F10, Qt::NoModifier, w->menufile, "ファイル（Ｆ）"}};
    for (const auto& r : rows) {
      QCOMPARE(QString(r.menu->title()).remove('&'), QString(r.caption));
      Activate(w.get());
      QTest::keyClick(w.get(), r.key, r.modifier);
      QTRY_VERIFY2(r.menu->isVisible(), r.caption);
      QTest::keyClick(r.menu, Qt::Key_Escape);
      QTRY_VERIFY(!r.menu->isVisible());
      w->menuBar()->setActiveAction(nullptr);
    }
  }

  // Escape hides the popup as its Close does, and the map as its Close
  // does: the held point is not decided.
  void escapeClosesPopupAndMap() {
    ShowChart();
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    frmpop01* pop = w->popupWindow();
    Activate(pop);
    Key(Qt::Key_Escape);
    QVERIFY(!pop->isVisible() && w->popupWindow() == pop);

    QTest::mouseClick(w->btnmap, Qt::LeftButton);
    frmjpmap* map = w->mapWindow();
    Activate(map);
    QSignalSpy decided(map, &frmjpmap::decided), unloaded(map, &frmjpmap::unloaded);
    QTest::mouseClick(map->findChild<QWidget*>("Picture1"), Qt::LeftButton, {}, QPoint(200, 200));
    QCOMPARE(map->pointFixed, 1);
    Key(Qt::Key_Escape);
    QVERIFY(!map->isVisible() && decided.isEmpty() && unloaded.isEmpty());
    QCOMPARE(w->txtJisahun->text() + '/' + w->txtJisabyo->text(), "0/0");
  }

  void ctrlEEndsFromAnywhere_data() {
    QTest::addColumn<QString>("where");
    for (const char* where : {"time-difference box", "result box", "popup", "map", "year picker"})
      QTest::newRow(where) << QString(where);
  }
  void ctrlEEndsFromAnywhere() {
    QFETCH(QString, where);
    ShowChart();
    TakesCtrlE takesCtrlE;
    QWidget* window = w.get();
    QWidget* focus = nullptr;
    if (where == "time-difference box") {
      focus = w->txtJisahun;
    } else if (where == "result box") {
      focus = w->chartView->txtKoukei;
    } else if (where == "popup") {
      QTest::mouseClick(w->btnpop, Qt::LeftButton);
      window = w->popupWindow();
      focus = w->popupWindow()->txtBirthday;
    } else if (where == "map") {
      QTest::mouseClick(w->btnmap, Qt::LeftButton);
      window = w->mapWindow();
    } else {
      QTest::mouseClick(w->yearInput, Qt::LeftButton);
      window = w->yearPicker();
    }
    Activate(window);
    if (focus) {
      focus->setFocus(Qt::MouseFocusReason);
      focus->installEventFilter(&takesCtrlE);
    }
    Key(Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(endStatus, 0);
    for (QWidget* top : QApplication::topLevelWidgets())
      QVERIFY2(!top->isVisible(), qPrintable(top->objectName()));
  }

  // In a text box Ctrl+V pastes; elsewhere it opens the version box.
  void ctrlVPastesInATextBoxElsewhereShowsTheVersion() {
    CountingSound sound;
    w->notifySound = &sound;
    QGuiApplication::clipboard()->setText("-13");
    Activate(w.get());
    w->txtJisahun->setFocus(Qt::MouseFocusReason);
    w->txtJisahun->selectAll();
    {
      ModalCatcher catcher;
      Key(Qt::Key_V, Qt::ControlModifier);
      QCOMPARE(w->txtJisahun->text(), "-13");
      QCOMPARE(catcher.title, QString());
    }
    w->yearInput->setFocus(Qt::MouseFocusReason);
    ModalCatcher catcher;
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(catcher.title, "バージョン情報");
    QCOMPARE(sound.plays, 1);
  }

  // Tabbing into the year list leaves the year unpicked; the arrow keys
  // pick one, as the label shows, and Enter decides it.
  void tabbingIntoTheYearListPicksNothing() {
    QTest::mouseClick(w->yearInput, Qt::LeftButton);
    yInput* p = w->yearPicker();
    Activate(p);
    p->y1800->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 6 && QApplication::focusWidget() != p->List1; ++i) Key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), p->List1);
    QCOMPARE(p->lblSelect_y->text(), QString());
    Key(Qt::Key_Return);  // nothing to decide: the picker stays
    QVERIFY(p->isVisible() && !module->BirthYear);
    Key(Qt::Key_Right);
    QVERIFY(p->List1->currentItem() && p->List1->currentItem()->isSelected());
    const QString picked = p->List1->currentItem()->text();
    QCOMPARE(p->lblSelect_y->text(), picked);
    Key(Qt::Key_Return);
    QVERIFY(!p->isVisible() && module->BirthYear == picked.toDouble());
  }
};

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
