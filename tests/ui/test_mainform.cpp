// The main window driven as a person would: the inputs unlock in order and
// keep the birthday line and the day list right, the chart shows exactly the
// computed texts, the time-difference fields step and zero, the menus carry
// their shortcuts, and every way out closes every window.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <optional>

#include "Fonts.h"
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

class RecordingSound : public NotifySound {
 public:
  void PlaySync() override {
    ++plays;
    boxOpenWhilePlaying = QApplication::activeModalWidget() != nullptr;
  }
  int plays = 0;
  bool boxOpenWhilePlaying = false;
};

// Clicks OK on the next modal box that appears and remembers its texts.
class ModalCatcher : public QObject {
 public:
  ModalCatcher() {
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      title = box->windowTitle();
      text = box->text();
      timer_.stop();
      box->accept();
    });
    timer_.start(10);
  }
  QString title, text;

 private:
  QTimer timer_;
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

  void unknownHourReadiesTheDisplayAtOnce() {
    DecideYear(*w, 1990);
    Pick(w->mSelect, QStringLiteral("7"));
    Pick(w->dSelect, QStringLiteral("1"));
    QVERIFY(!w->fInput->isEnabled());
    Pick(w->hSelect, QStringLiteral("?"));
    QVERIFY(w->fInput->isEnabled());
    QVERIFY(!w->mtSelect->isEnabled());
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1990年7月1日出生時間不明"));
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
    DecideYear(*w, 1975);
    Pick(w->mSelect, QStringLiteral("1"));
    Pick(w->dSelect, QStringLiteral("31"));
    Pick(w->mSelect, QStringLiteral("4"));
    QCOMPARE(*module->BirthDay, 30.0);
    QCOMPARE(w->dSelect->currentText(), QStringLiteral("30"));
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年4月30日時頃"));
    // A day that fits stays as picked.
    Pick(w->dSelect, QStringLiteral("12"));
    Pick(w->mSelect, QStringLiteral("2"));
    QCOMPARE(*module->BirthDay, 12.0);
    QCOMPARE(w->dSelect->currentText(), QStringLiteral("12"));
  }

  void leapDayIsClampedByANewYear() {
    DecideYear(*w, 2000);
    Pick(w->mSelect, QStringLiteral("2"));
    Pick(w->dSelect, QStringLiteral("29"));
    Pick(w->hSelect, QStringLiteral("6"));
    DecideYear(*w, 2001);
    QCOMPARE(*module->BirthDay, 28.0);
    QCOMPARE(w->dSelect->currentText(), QStringLiteral("28"));
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("2001年2月28日6時頃"));
    // The list offers only the days 2001 has.
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

  void chartForABirthLaterTodayShowsNoAge() {
    w->clock = [] { return LocalTime{2026, 12, 6, 9, 0}; };
    EnterBirth(2026, 12, 6, QStringLiteral("18"), QStringLiteral("0"));
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QCOMPARE(w->txtAge->text(), QStringLiteral("-"));
  }

  void timeDifferenceSteps() {
    QCOMPARE(w->txtJisahun->text(), QStringLiteral("0"));
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("0"));
    QCOMPARE(w->udJisahun->toolTip(), QStringLiteral("時差の分数入力"));
    QCOMPARE(w->udJisabyo->toolTip(), QStringLiteral("時差の秒数入力"));
    auto* hunDown = w->udJisahun->findChild<QToolButton*>(QStringLiteral("downButton"));
    auto* hunUp = w->udJisahun->findChild<QToolButton*>(QStringLiteral("upButton"));
    auto* byoDown = w->udJisabyo->findChild<QToolButton*>(QStringLiteral("downButton"));
    auto* byoUp = w->udJisabyo->findChild<QToolButton*>(QStringLiteral("upButton"));
    QVERIFY(hunDown && hunUp && byoDown && byoUp);

    QTest::mouseClick(hunDown, Qt::LeftButton);
    QCOMPARE(w->txtJisahun->text(), QStringLiteral("-1"));
    for (int i = 0; i < 60; ++i) QTest::mouseClick(hunDown, Qt::LeftButton);
    QCOMPARE(w->txtJisahun->text(), QStringLiteral("-49"));
    for (int i = 0; i < 120; ++i) QTest::mouseClick(hunUp, Qt::LeftButton);
    QCOMPARE(w->txtJisahun->text(), QStringLiteral("48"));
    QTest::mouseClick(byoDown, Qt::LeftButton);
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("0"));
    for (int i = 0; i < 70; ++i) QTest::mouseClick(byoUp, Qt::LeftButton);
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("59"));

    // A typed value is where the next step starts.
    w->txtJisahun->setText(QStringLiteral("-13"));
    QTest::mouseClick(hunUp, Qt::LeftButton);
    QCOMPARE(w->txtJisahun->text(), QStringLiteral("-12"));
    w->txtJisabyo->setText(QStringLiteral("20秒"));
    QTest::mouseClick(byoDown, Qt::LeftButton);
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("19"));
    w->txtJisahun->setText(QStringLiteral("abc"));
    QTest::mouseClick(hunDown, Qt::LeftButton);
    QCOMPARE(w->txtJisahun->text(), QStringLiteral("-1"));
    w->txtJisahun->setText(QStringLiteral("300"));
    QTest::mouseClick(hunDown, Qt::LeftButton);
    QCOMPARE(w->txtJisahun->text(), QStringLiteral("48"));

    // The arrow keys in the box and the wheel step as well.
    w->txtJisabyo->setText(QStringLiteral("30"));
    QTest::keyClick(w->txtJisabyo, Qt::Key_Up);
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("31"));
    QTest::keyClick(w->txtJisabyo, Qt::Key_Down);
    QTest::keyClick(w->txtJisabyo, Qt::Key_Down);
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("29"));
    const QPoint centre = w->txtJisabyo->rect().center();
    QWheelEvent wheel(centre, w->txtJisabyo->mapToGlobal(centre), QPoint(), QPoint(0, -240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->txtJisabyo, &wheel);
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("27"));

    // Typing is free; nothing reformats it.
    w->txtJisahun->clear();
    QTest::keyClicks(w->txtJisahun, QStringLiteral("-5x"));
    QCOMPARE(w->txtJisahun->text(), QStringLiteral("-5x"));
  }

  void menusAndShortcuts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::newRow("endkolvan") << "endkolvan" << "Torvela終了" << "Ctrl+E";
    QTest::newRow("mnuMap") << "mnuMap" << "日本地図表示（M)" << "Ctrl+M";
    QTest::newRow("menupop") << "menupop" << "ポップアップ（Ｐ）" << "Ctrl+P";
    QTest::newRow("menujisa01") << "menujisa01" << "時差ゼロ" << "Ctrl+J";
    QTest::newRow("menuversion") << "menuversion" << "バージョン情報（Ｖ）" << "Ctrl+V";
  }
  void menusAndShortcuts() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    auto* action = w->findChild<QAction*>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), QKeySequence(shortcut));
  }

  void menuBarLayout() {
    QStringList titles;
    for (QAction* a : w->menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, (QStringList{"ファイル（Ｆ）", "ツール（Ｔ）", "ヘルプ（Ｈ）"}));
    QStringList tools;
    for (QAction* a : w->menutool->actions()) tools << (a->isSeparator() ? "-" : a->objectName());
    QCOMPARE(tools, (QStringList{"mnuMap", "-", "menupop", "-", "menujisa01"}));
    QCOMPARE(w->menuLine02->isSeparator(), true);
    QCOMPARE(w->mnuline03->isSeparator(), true);
    QCOMPARE(w->menufile->objectName(), QStringLiteral("menufile"));
    QCOMPARE(w->menuhelp->actions(), (QList<QAction*>{w->menuversion}));
  }

  void shortcutsRunTheirCommands() {
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));

    w->txtJisahun->setText(QStringLiteral("-18"));
    w->txtJisabyo->setText(QStringLiteral("30"));
    QTest::keyClick(w.get(), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(w->txtJisahun->text(), QStringLiteral("0"));
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("0"));

    // The popup command does nothing before the first chart.
    QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(!w->popupWindow());

    QTest::keyClick(w.get(), Qt::Key_M, Qt::ControlModifier);
    QVERIFY(w->mapWindow() && w->mapWindow()->isVisible());
    w->mapWindow()->hide();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));

    EnterBirth(1988, 8, 8, QStringLiteral("8"), QStringLiteral("8"));
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(w->popupWindow() && w->popupWindow()->isVisible());
    QCOMPARE(w->popupWindow()->findChild<QLabel*>(QStringLiteral("yKan"))->text(), w->yKan->text());
    QCOMPARE(w->popupWindow()->txtMW->text(), QStringLiteral("女"));
    w->popupWindow()->hide();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));

    RecordingSound sound;
    w->notifySound = &sound;
    {
      ModalCatcher catcher;
      QTest::keyClick(w.get(), Qt::Key_V, Qt::ControlModifier);
      QCOMPARE(catcher.title, QStringLiteral("バージョン情報"));
    }
    QCOMPARE(sound.plays, 1);
    QVERIFY(!sound.boxOpenWhilePlaying);

    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_E, Qt::ControlModifier);
    QVERIFY(endStatus == 0);
    QVERIFY(!w->isVisible());
  }

  void mapDecisionFillsTheTimeDifference() {
    QTest::mouseClick(w->btnmap, Qt::LeftButton);
    QVERIFY(w->mapWindow()->isVisible());
    QVERIFY(w->isEnabled());
    emit w->mapWindow()->decided(QStringLiteral("-18"), QStringLiteral("41"));
    QCOMPARE(w->txtJisahun->text(), QStringLiteral("-18"));
    QCOMPARE(w->txtJisabyo->text(), QStringLiteral("41"));
    // The same window is shown again, not a new one.
    auto* first = w->mapWindow();
    w->mnuMap_Click();
    QCOMPARE(w->mapWindow(), first);
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
