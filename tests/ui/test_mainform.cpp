// The main window and its year picker driven as a person would: the inputs
// unlock in order and keep the birthday line and the day list right, the
// chart shows exactly the computed texts, the time-difference fields step
// and zero, the shortcuts run their commands, and every way out closes
// every window.
#include <QAction>
#include <QRadioButton>
#include <QToolButton>

#include "UiTestSupport.h"
#include "UpDown.h"

using namespace uitest;
using torvela::ui::NotifySound;

namespace {

QStringList Items(const QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

}  // namespace

class TestMainForm : public MainWindowTest {
  Q_OBJECT

  // Every chart text equals the computation's for these inputs; only the
  // current great-luck column is bold. *bold is left alone on a mismatch.
  void CompareChart(int year, int month, int day, const QString& hour, bool male, const char* jisahun,
                    const char* jisabyo, int* bold) {
    Module2 m;
    m.LoadTables(DataDir());
    m.SetMonthDays(year);
    const auto input =
        torvela::chart::InputFromTexts(year, month, day, hour.toStdString(), "30", male, jisahun, jisabyo);
    const auto expected = torvela::chart::MakeChartTexts(torvela::chart::ComputeChart(input, m, kNow), m);
    for (const auto& [name, text] : expected.Items()) {
      auto* l = w->findChild<QLabel*>(QString::fromStdString(name));
      auto* e = w->findChild<QLineEdit*>(QString::fromStdString(name));
      QCOMPARE(l ? l->text() : e ? e->text() : "<missing " + QString::fromStdString(name) + '>',
               QString::fromStdString(text));
    }
    for (int i = 0; i <= 10; ++i) {
      QCOMPARE(w->dun_kan[i]->font().bold(), i == expected.bold);
      QCOMPARE(w->dun_shi[i]->font().bold(), i == expected.bold);
    }
    *bold = expected.bold;
  }

 private slots:
  void init() { Load(); }
  void cleanup() { Unload(); }

  void unlocksInOrder() {
    auto enabled = [this] {
      return QList<bool>{w->yearInput->isEnabled(), w->mSelect->isEnabled(), w->dSelect->isEnabled(),
                         w->hSelect->isEnabled(),   w->mtSelect->isEnabled(), w->fInput->isEnabled(),
                         w->btnpop->isEnabled(),    w->menupop->isEnabled()};
    };
    QCOMPARE(enabled(), (QList<bool>{1, 0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(w->txtJisahun->text() + '/' + w->txtJisabyo->text(), QStringLiteral("0/0"));
    DecideYear(1975);
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年月日時頃"));
    QCOMPARE(enabled(), (QList<bool>{1, 1, 0, 0, 0, 0, 0, 0}));
    Pick(w->mSelect, "3");
    QCOMPARE(enabled(), (QList<bool>{1, 1, 1, 0, 0, 0, 0, 0}));
    Pick(w->dSelect, "5");
    QCOMPARE(enabled(), (QList<bool>{1, 1, 1, 1, 0, 0, 0, 0}));
    Pick(w->hSelect, "14");
    QCOMPARE(enabled(), (QList<bool>{1, 1, 1, 1, 1, 0, 0, 0}));
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年3月5日14時頃"));
    Pick(w->mtSelect, "5");
    QCOMPARE(enabled(), (QList<bool>{1, 1, 1, 1, 1, 1, 0, 0}));
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年3月5日14時5分"));
    // An unknown hour needs no minute; a known hour brings the minute back.
    Pick(w->hSelect, "?");
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年3月5日出生時間不明"));
    QCOMPARE(enabled(), (QList<bool>{1, 1, 1, 1, 0, 1, 0, 0}));
    Pick(w->hSelect, "0");
    QCOMPARE(enabled(), (QList<bool>{1, 1, 1, 1, 1, 1, 0, 0}));
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QCOMPARE(enabled(), (QList<bool>{1, 1, 1, 1, 1, 1, 1, 1}));
  }

  // A re-picked month or year replaces the day list and clamps the day.
  void dayListAndClamp_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");  // 0: none picked
    QTest::addColumn<int>("thenYear");
    QTest::addColumn<int>("thenMonth");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("dayAfter");
    QTest::newRow("2000-02 leap") << 2000 << 2 << 0 << 2000 << 2 << 29 << 0;
    QTest::newRow("1900-02 not leap") << 1900 << 2 << 0 << 1900 << 2 << 28 << 0;
    QTest::newRow("January then February") << 1975 << 1 << 0 << 1975 << 2 << 28 << 0;
    QTest::newRow("31 Jan then April") << 2000 << 1 << 31 << 2000 << 4 << 30 << 30;
    QTest::newRow("29 Feb 2000 then 2001") << 2000 << 2 << 29 << 2001 << 2 << 28 << 28;
  }
  void dayListAndClamp() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, thenYear);
    QFETCH(int, thenMonth);
    QFETCH(int, days);
    QFETCH(int, dayAfter);
    DecideYear(year);
    Pick(w->mSelect, QString::number(month));
    if (day) Pick(w->dSelect, QString::number(day));
    if (thenYear != year) DecideYear(thenYear);
    if (thenMonth != month) Pick(w->mSelect, QString::number(thenMonth));
    QCOMPARE(Items(w->dSelect), Numbers(1, days));
    QCOMPARE(w->dSelect->currentText(), dayAfter ? QString::number(dayAfter) : QString());
    if (dayAfter) {
      QCOMPARE(*module->BirthDay, double(dayAfter));
      QCOMPARE(w->txtBirthday->text(),
               QStringLiteral("%1年%2月%3日時頃").arg(thenYear).arg(thenMonth).arg(dayAfter));
    }
  }

  // The time difference is decided on the map, as a user sets it; "-0"
  // (just west of 135E) must reach the chart as west.
  void chartShowsTheComputedTexts() {
    auto decideOnMap = [this](int x) {
      QTest::mouseClick(w->btnmap, Qt::LeftButton);
      auto* map = w->mapWindow();
      // A point held from before is let go first (offscreen activation
      // does not always reach the map to release it).
      if (map->pointFixed) QTest::mouseClick(map->findChild<QPushButton*>("btncancel"), Qt::LeftButton);
      QTest::mouseClick(map->findChild<QWidget*>("Picture1"), Qt::LeftButton, {}, QPoint(x, 200));
      QTest::mouseClick(map->findChild<QPushButton*>("btndecide"), Qt::LeftButton);
      return w->txtJisahun->text() + '/' + w->txtJisabyo->text();
    };
    EnterBirth(1975, 3, 5, "14", "30");
    QTest::mouseClick(w->optM, Qt::LeftButton);
    QCOMPARE(decideOnMap(200), QStringLiteral("-13/14"));
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    int firstBold = -2, secondBold = -2;
    CompareChart(1975, 3, 5, "14", true, "-13", "14", &firstBold);
    QVERIFY(firstBold >= 0);

    // Other inputs: every text is replaced and the bold column moves.
    DecideYear(2000);
    Pick(w->mSelect, "2");
    Pick(w->dSelect, "29");
    Pick(w->hSelect, "?");
    QTest::mouseClick(w->optW, Qt::LeftButton);
    QCOMPARE(decideOnMap(262), QStringLiteral("-0/28"));
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    CompareChart(2000, 2, 29, "?", false, "-0", "28", &secondBold);
    QVERIFY(secondBold != firstBold && secondBold != -2);
  }

  void timeDifferenceSteps_data() {
    QTest::addColumn<bool>("minutes");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("times");
    QTest::addColumn<QString>("shown");
    QTest::newRow("minutes stop at -49") << true << "-1" << "downButton" << 60 << "-49";
    QTest::newRow("minutes stop at 48") << true << "-49" << "upButton" << 120 << "48";
    QTest::newRow("typed value followed") << true << "-13" << "upButton" << 1 << "-12";
    QTest::newRow("out of range clamps") << true << "300" << "downButton" << 1 << "48";
    QTest::newRow("seconds stop at 0") << false << "0" << "downButton" << 1 << "0";
    QTest::newRow("seconds stop at 59") << false << "0" << "upButton" << 70 << "59";
  }
  void timeDifferenceSteps() {
    QFETCH(bool, minutes);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(int, times);
    QFETCH(QString, shown);
    QLineEdit* box = minutes ? w->txtJisahun : w->txtJisabyo;
    auto* b = (minutes ? w->udJisahun : w->udJisabyo)->findChild<QToolButton*>(button);
    QVERIFY(b);
    box->setText(typed);
    for (int i = 0; i < times; ++i) QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(box->text(), shown);
  }

  void shortcutsRunTheirCommands() {
    auto press = [this](Qt::Key key) {
      w->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(w.get()));
      QTest::keyClick(w.get(), key, Qt::ControlModifier);
    };
    w->txtJisahun->setText("-18");
    w->txtJisabyo->setText("30");
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

    struct : NotifySound {
      void PlaySync() override { ++plays; }
      int plays = 0;
    } sound;
    w->notifySound = &sound;
    {
      ModalCatcher catcher;
      press(Qt::Key_V);
      QCOMPARE(catcher.title, QStringLiteral("バージョン情報"));
    }
    QCOMPARE(sound.plays, 1);
    press(Qt::Key_E);
    QVERIFY(endStatus == 0);
    QVERIFY(!w->isVisible());
  }

  void everyEndClosesEveryWindow_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("button") << "button";
    QTest::newRow("menu") << "menu";
    QTest::newRow("close box") << "close box";
  }
  void everyEndClosesEveryWindow() {
    QFETCH(QString, how);
    EnterBirth(1960, 1, 1, "1", "1");
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    QTest::mouseClick(w->btnmap, Qt::LeftButton);
    QVERIFY(w->popupWindow()->isVisible() && w->mapWindow()->isVisible());
    if (how == "button") {
      QTest::mouseClick(w->endbtn, Qt::LeftButton);
    } else if (how == "menu") {
      w->endkolvan->trigger();
    } else {
      // The close box works even while the year picker holds the window.
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
    auto years = [&] {
      QStringList texts;
      for (int i = 0; i < picker->List1->count(); ++i) texts << picker->List1->item(i)->text();
      return texts;
    };
    auto open = [&] {
      QTest::mouseClick(w->yearInput, Qt::LeftButton);
      QVERIFY(QTest::qWaitForWindowExposed(picker));
      QVERIFY(!w->isEnabled());
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
    QVERIFY(picker->isVisible() && w->isEnabled());
    QVERIFY(!module->BirthYear);
    QVERIFY(!w->mSelect->isEnabled());

    picker->close();
    DecideYear(1975);
    // Opened again: the decided year and the century last listed.
    open();
    QCOMPARE(picker->lblSelect_y->text(), QStringLiteral("1975"));
    QCOMPARE(years(), Numbers(1900, 1999));
    // The close box cancels a new pick and frees the window.
    QTest::mouseClick(picker->y1800, Qt::LeftButton);
    picker->List1->setCurrentItem(picker->List1->item(50));
    picker->close();
    QVERIFY(w->isEnabled());
    QCOMPARE(*module->BirthYear, 1975.0);
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年月日時頃"));
  }
};

QTEST_MAIN(TestMainForm)
#include "test_mainform.moc"
