// The main window driven as a person would: the inputs unlock in order and
// keep the birthday line and the day list right, the chart shows exactly the
// computed texts, the time-difference fields step and zero, the menus carry
// their shortcuts, and every way out closes every window.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <optional>

#include "Fonts.h"
#include "ModalCatcher.h"
#include "UpDown.h"
#include "mainform01.h"
#include "yInput.h"

using torvela::Module2;
using torvela::chart::LocalTime;
using torvela::ui::mainform01;
using torvela::ui::NotifySound;

namespace {

const LocalTime kNow{2026, 12, 6, 12, 0};

std::filesystem::path DataDir() { return QCoreApplication::applicationDirPath().toStdString(); }

// Picks an item the way a user's pick arrives: the shown text changes, then
// the activation follows.
void Pick(QComboBox* list, const QString& text) {
  const int index = list->findText(text);
  QVERIFY2(index >= 0, qPrintable(list->objectName() + QStringLiteral(": no item ") + text));
  QVERIFY(list->isEnabled());
  list->setCurrentIndex(index);
  emit list->activated(index);
}

void DecideYear(mainform01& w, int year) {
  QTest::mouseClick(w.yearInput, Qt::LeftButton);
  auto* picker = w.yearPicker();
  QVERIFY(picker->isVisible());
  QPushButton* century = year >= 2000 ? picker->y2000 : year >= 1900 ? picker->y1900 : picker->y1800;
  QTest::mouseClick(century, Qt::LeftButton);
  const auto items = picker->List1->findItems(QString::number(year), Qt::MatchExactly);
  QCOMPARE(items.size(), 1);
  picker->List1->setCurrentItem(items.front());
  QTest::mouseClick(picker->btnSlok, Qt::LeftButton);
  QVERIFY(!picker->isVisible());
  QVERIFY(w.isEnabled());
}

QStringList Items(const QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

QStringList Numbers(int first, int last) {
  QStringList items;
  for (int n = first; n <= last; ++n) items << QString::number(n);
  return items;
}

class CountingSound : public NotifySound {
 public:
  void PlaySync() override { ++plays; }
  int plays = 0;
};

}  // namespace

class TestMainForm : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Module2> module;
  std::unique_ptr<mainform01> w;
  std::optional<int> endStatus;

  void Load() {
    module = std::make_unique<Module2>();
    w = std::make_unique<mainform01>(*module);
    w->clock = [] { return kNow; };
    endStatus.reset();
    w->endProgram = [this](int status) { endStatus = status; };
    QString error;
    QVERIFY2(w->Form_Load(DataDir(), &error), qPrintable(error));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }

  // Year, month, day, hour and minute picked in order ("?" allowed).
  void EnterBirth(int year, int month, int day, const QString& hour, const QString& minute) {
    DecideYear(*w, year);
    Pick(w->mSelect, QString::number(month));
    Pick(w->dSelect, QString::number(day));
    Pick(w->hSelect, hour);
    if (hour != QStringLiteral("?")) Pick(w->mtSelect, minute);
  }

  // The texts the chart computation gives for the window's present inputs.
  torvela::chart::ChartTexts Expected(int year, int month, int day, const QString& hour,
                                      const QString& minute, bool male, const QString& jisahun,
                                      const QString& jisabyo) {
    Module2 m;
    m.LoadTables(DataDir());
    m.SetMonthDays(year);
    const auto input = torvela::chart::InputFromTexts(year, month, day, hour.toStdString(),
                                                      minute.toStdString(), male,
                                                      jisahun.toStdString(), jisabyo.toStdString());
    return torvela::chart::MakeChartTexts(torvela::chart::ComputeChart(input, m, kNow), m);
  }

  void CompareChart(const torvela::chart::ChartTexts& expected) {
    for (const auto& [name, text] : expected.Items()) {
      const QString objectName = QString::fromStdString(name);
      QString shown;
      if (auto* l = w->findChild<QLabel*>(objectName))
        shown = l->text();
      else if (auto* e = w->findChild<QLineEdit*>(objectName))
        shown = e->text();
      else
        QFAIL(qPrintable(QStringLiteral("no control ") + objectName));
      QCOMPARE(shown, QString::fromStdString(text));
    }
    for (int i = 0; i <= 10; ++i) {
      QCOMPARE(w->dun_kan[i]->font().bold(), i == expected.bold);
      QCOMPARE(w->dun_shi[i]->font().bold(), i == expected.bold);
      // Bolding changes nothing else about the face.
      QCOMPARE(w->dun_kan[i]->font().pointSize(), 12);
      QCOMPARE(w->dun_kan[i]->font().families(), torvela::ui::PGothicFont(12).families());
    }
  }

 private slots:
  void init() { Load(); }
  void cleanup() {
    w.reset();
    module.reset();
  }

  void unlocksInOrder() {
    auto enabled = [this] {
      return QList<bool>{w->yearInput->isEnabled(), w->mSelect->isEnabled(), w->dSelect->isEnabled(),
                         w->hSelect->isEnabled(),   w->mtSelect->isEnabled(), w->fInput->isEnabled()};
    };
    QCOMPARE(enabled(), (QList<bool>{true, false, false, false, false, false}));
    QVERIFY(!w->btnpop->isEnabled());
    QVERIFY(!w->menupop->isEnabled());
    QVERIFY(w->optW->isChecked());
    for (QComboBox* list : {w->mSelect, w->dSelect, w->hSelect, w->mtSelect})
      QCOMPARE(list->currentText(), QString());

    DecideYear(*w, 1975);
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年月日時頃"));
    QCOMPARE(enabled(), (QList<bool>{true, true, false, false, false, false}));
    Pick(w->mSelect, QStringLiteral("3"));
    QCOMPARE(enabled(), (QList<bool>{true, true, true, false, false, false}));
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年3月日時頃"));
    Pick(w->dSelect, QStringLiteral("5"));
    QCOMPARE(enabled(), (QList<bool>{true, true, true, true, false, false}));
    Pick(w->hSelect, QStringLiteral("14"));
    QCOMPARE(enabled(), (QList<bool>{true, true, true, true, true, false}));
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年3月5日14時頃"));
    Pick(w->mtSelect, QStringLiteral("?"));
    QCOMPARE(enabled(), (QList<bool>{true, true, true, true, true, true}));
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年3月5日14時頃"));
    Pick(w->mtSelect, QStringLiteral("5"));
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年3月5日14時5分"));
    QCOMPARE(*module->BirthMinute, 5.0);

    // An unknown hour needs no minute; a known hour brings the minute back.
    Pick(w->hSelect, QStringLiteral("?"));
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年3月5日出生時間不明"));
    QVERIFY(!w->mtSelect->isEnabled());
    QVERIFY(w->fInput->isEnabled());
    QCOMPARE(*module->BirthHour, 0.0);
    Pick(w->hSelect, QStringLiteral("0"));
    QVERIFY(w->mtSelect->isEnabled());
    QVERIFY(w->fInput->isEnabled());
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年3月5日0時5分"));
  }

  void unknownHourNeedsNoMinute() {
    DecideYear(*w, 1990);
    Pick(w->mSelect, QStringLiteral("7"));
    Pick(w->dSelect, QStringLiteral("1"));
    Pick(w->hSelect, QStringLiteral("?"));
    QVERIFY(w->fInput->isEnabled());
    QVERIFY(!w->mtSelect->isEnabled());
  }

  void dayListFollowsTheMonth_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<QStringList>("months");  // picked in turn; the last counts
    QTest::addColumn<int>("days");
    QTest::newRow("2000-02 leap") << 2000 << QStringList{"2"} << 29;
    QTest::newRow("1900-02 not leap") << 1900 << QStringList{"2"} << 28;
    QTest::newRow("1975-04") << 1975 << QStringList{"4"} << 30;
    QTest::newRow("1975-01 then 02") << 1975 << QStringList{"1", "2"} << 28;
    QTest::newRow("2000-01 then 02 then 12") << 2000 << QStringList{"1", "2", "12"} << 31;
  }
  void dayListFollowsTheMonth() {
    QFETCH(int, year);
    QFETCH(QStringList, months);
    QFETCH(int, days);
    DecideYear(*w, year);
    for (const QString& m : months) Pick(w->mSelect, m);
    QCOMPARE(Items(w->dSelect), Numbers(1, days));
    QCOMPARE(w->dSelect->currentText(), QString());
  }

  void dayIsClampedToShorterMonths() {
    DecideYear(*w, 2000);
    Pick(w->mSelect, QStringLiteral("1"));
    Pick(w->dSelect, QStringLiteral("31"));
    Pick(w->mSelect, QStringLiteral("4"));
    QCOMPARE(*module->BirthDay, 30.0);
    QCOMPARE(w->dSelect->currentText(), QStringLiteral("30"));
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("2000年4月30日時頃"));
    Pick(w->mSelect, QStringLiteral("2"));
    Pick(w->dSelect, QStringLiteral("29"));
    Pick(w->hSelect, QStringLiteral("6"));
    // A common year after 29 February: the day and the day list follow it.
    DecideYear(*w, 2001);
    QCOMPARE(*module->BirthDay, 28.0);
    QCOMPARE(w->dSelect->currentText(), QStringLiteral("28"));
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("2001年2月28日6時頃"));
    QCOMPARE(Items(w->dSelect), Numbers(1, 28));
    DecideYear(*w, 2004);
    QCOMPARE(Items(w->dSelect), Numbers(1, 29));
    QCOMPARE(w->dSelect->currentText(), QStringLiteral("28"));
  }

  void chartShowsTheComputedTexts() {
    EnterBirth(1975, 3, 5, QStringLiteral("14"), QStringLiteral("30"));
    QTest::mouseClick(w->optM, Qt::LeftButton);
    w->txtJisahun->setText(QStringLiteral("-13"));
    w->txtJisabyo->setText(QStringLiteral("14"));
    const QString birthday = w->txtBirthday->text();
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    const auto first = Expected(1975, 3, 5, QStringLiteral("14"), QStringLiteral("30"), true,
                                QStringLiteral("-13"), QStringLiteral("14"));
    QVERIFY(first.bold >= 0);
    CompareChart(first);
    QCOMPARE(w->txtBirthday->text(), birthday);
    QVERIFY(w->btnpop->isEnabled());
    QVERIFY(w->menupop->isEnabled());
    QCOMPARE(w->yKan->font().bold(), true);
    QCOMPARE(w->yKan->font().pointSize(), 12);

    // Other inputs: every text is replaced and the bold column moves.
    DecideYear(*w, 2000);
    Pick(w->mSelect, QStringLiteral("2"));
    Pick(w->dSelect, QStringLiteral("29"));
    Pick(w->hSelect, QStringLiteral("?"));
    QTest::mouseClick(w->optW, Qt::LeftButton);
    w->menujisa01_Click();
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    const auto second = Expected(2000, 2, 29, QStringLiteral("?"), QStringLiteral("30"), false,
                                 QStringLiteral("0"), QStringLiteral("0"));
    QVERIFY(second.bold != first.bold);
    CompareChart(second);
    QVERIFY(w->txtShin->text().endsWith(QStringLiteral("確定不能")));
    QCOMPARE(w->hKan->text(), QStringLiteral("□"));
  }

  void timeDifferenceSteps() {
    QCOMPARE(w->txtJisahun->text(), QStringLiteral("0"));
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("0"));
    QCOMPARE(w->udJisahun->toolTip(), QStringLiteral("時差の分数入力"));
    QCOMPARE(w->udJisabyo->toolTip(), QStringLiteral("時差の秒数入力"));
    auto click = [](torvela::ui::UpDown* ud, const char* which, int times) {
      auto* b = ud->findChild<QToolButton*>(QLatin1String(which));
      QVERIFY(b);
      for (int i = 0; i < times; ++i) QTest::mouseClick(b, Qt::LeftButton);
    };
    auto minutesAfter = [&](const QString& typed, const char* which, int times) {
      w->txtJisahun->setText(typed);
      click(w->udJisahun, which, times);
      return w->txtJisahun->text();
    };
    QCOMPARE(minutesAfter("0", "downButton", 1), QStringLiteral("-1"));
    QCOMPARE(minutesAfter("-1", "downButton", 60), QStringLiteral("-49"));
    QCOMPARE(minutesAfter("-49", "upButton", 120), QStringLiteral("48"));
    QCOMPARE(minutesAfter("-13", "upButton", 1), QStringLiteral("-12"));  // typed value followed
    QCOMPARE(minutesAfter("abc", "downButton", 1), QStringLiteral("-1"));
    QCOMPARE(minutesAfter("300", "downButton", 1), QStringLiteral("48"));
    click(w->udJisabyo, "downButton", 1);
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("0"));
    click(w->udJisabyo, "upButton", 70);
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("59"));

    // The arrow keys in the box and the wheel step as well.
    w->txtJisabyo->setText(QStringLiteral("30秒"));
    QTest::keyClick(w->txtJisabyo, Qt::Key_Up);
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("31"));
    QTest::keyClick(w->txtJisabyo, Qt::Key_Down);
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("30"));
    const QPoint centre = w->txtJisabyo->rect().center();
    QWheelEvent wheel(centre, w->txtJisabyo->mapToGlobal(centre), QPoint(), QPoint(0, -240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->txtJisabyo, &wheel);
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("28"));
  }

  void menus() {
    QStringList titles;
    for (QAction* a : w->menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, (QStringList{"ファイル（Ｆ）", "ツール（Ｔ）", "ヘルプ（Ｈ）"}));
    auto entries = [](QMenu* menu) {
      QStringList list;
      for (QAction* a : menu->actions())
        list << (a->isSeparator() ? QStringLiteral("-")
                                  : a->objectName() + ' ' + a->text() + ' ' + a->shortcut().toString());
      return list;
    };
    QCOMPARE(entries(w->menufile), (QStringList{"endkolvan Torvela終了 Ctrl+E"}));
    QCOMPARE(entries(w->menutool), (QStringList{"mnuMap 日本地図表示（M) Ctrl+M", "-",
                                                "menupop ポップアップ（Ｐ） Ctrl+P", "-",
                                                "menujisa01 時差ゼロ Ctrl+J"}));
    QCOMPARE(entries(w->menuhelp), (QStringList{"menuversion バージョン情報（Ｖ） Ctrl+V"}));
    QCOMPARE(w->menutool->actions().at(1), w->menuLine02);
    QCOMPARE(w->menutool->actions().at(3), w->mnuline03);
  }

  void shortcutsRunTheirCommands() {
    auto press = [this](Qt::Key key) {
      w->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(w.get()));
      QTest::keyClick(w.get(), key, Qt::ControlModifier);
    };
    w->txtJisahun->setText(QStringLiteral("-18"));
    w->txtJisabyo->setText(QStringLiteral("30"));
    press(Qt::Key_J);
    QCOMPARE(w->txtJisahun->text() + w->txtJisabyo->text(), QStringLiteral("00"));

    press(Qt::Key_P);  // nothing before the first chart
    QVERIFY(!w->popupWindow());
    press(Qt::Key_M);
    QVERIFY(w->mapWindow() && w->mapWindow()->isVisible());

    EnterBirth(1988, 8, 8, QStringLiteral("8"), QStringLiteral("8"));
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    press(Qt::Key_P);
    QVERIFY(w->popupWindow() && w->popupWindow()->isVisible());
    QCOMPARE(w->popupWindow()->txtMW->text(), QStringLiteral("女"));

    CountingSound sound;
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

  void mapDecisionFillsTheTimeDifference() {
    QTest::mouseClick(w->btnmap, Qt::LeftButton);
    QVERIFY(w->mapWindow()->isVisible());
    emit w->mapWindow()->decided(QStringLiteral("-18"), QStringLiteral("41"));
    QCOMPARE(w->txtJisahun->text(), QStringLiteral("-18"));
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("41"));
  }

  void everyEndClosesEveryWindow_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("button") << "button";
    QTest::newRow("menu") << "menu";
    QTest::newRow("close box") << "close box";
  }
  void everyEndClosesEveryWindow() {
    QFETCH(QString, how);
    EnterBirth(1960, 1, 1, QStringLiteral("1"), QStringLiteral("1"));
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    QTest::mouseClick(w->btnmap, Qt::LeftButton);
    QVERIFY(w->popupWindow()->isVisible());
    QVERIFY(w->mapWindow()->isVisible());
    if (how == QStringLiteral("button")) {
      QTest::mouseClick(w->endbtn, Qt::LeftButton);
    } else if (how == QStringLiteral("menu")) {
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
};

QTEST_MAIN(TestMainForm)
#include "test_mainform.moc"
