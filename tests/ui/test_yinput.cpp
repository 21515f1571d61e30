// The year picker: its centuries, its three-column list, deciding with and
// without a year, and what it shows when it is opened again.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "mainform01.h"
#include "yInput.h"

using torvela::Module2;
using torvela::ui::mainform01;
using torvela::ui::yInput;

namespace {

QStringList ListTexts(const QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
  return texts;
}

QStringList Years(int first, int last) {
  QStringList years;
  for (int y = first; y <= last; ++y) years << QString::number(y);
  return years;
}

// Clicks a year in the list; returns where it is shown.
QPoint PickYear(yInput* picker, const QString& year) {
  const auto items = picker->List1->findItems(year, Qt::MatchExactly);
  if (items.size() != 1) return {-1, -1};
  picker->List1->scrollToItem(items.front());
  const QPoint at = picker->List1->visualItemRect(items.front()).center();
  QTest::mouseClick(picker->List1->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  return at;
}

}  // namespace

class TestYearPicker : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Module2> module;
  std::unique_ptr<mainform01> w;
  yInput* picker = nullptr;

  void Open() {
    QTest::mouseClick(w->yearInput, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(picker));
    QVERIFY(!w->isEnabled());
  }

 private slots:
  void init() {
    module = std::make_unique<Module2>();
    w = std::make_unique<mainform01>(*module);
    w->endProgram = [](int) {};
    QString error;
    QVERIFY2(w->Form_Load(QCoreApplication::applicationDirPath().toStdString(), &error),
             qPrintable(error));
    w->show();
    picker = w->yearPicker();
  }
  void cleanup() {
    w.reset();
    module.reset();
  }

  void firstOpening() {
    QVERIFY(!picker->loaded());
    Open();
    QCOMPARE(picker->windowTitle(), QStringLiteral("年入力"));
    QCOMPARE(ListTexts(picker->List1), Years(1900, 1999));
    QCOMPARE(picker->lblSelect_y->text(), QString());
    QCOMPARE(picker->lstSelyear->text(), QStringLiteral("年"));
    // Three columns: ascending along each row, the fourth year under the first.
    auto rect = [this](int i) { return picker->List1->visualRect(picker->List1->model()->index(i, 0)); };
    QVERIFY(rect(0).left() < rect(1).left() && rect(1).left() < rect(2).left());
    QCOMPARE(rect(1).top(), rect(0).top());
    QCOMPARE(rect(2).top(), rect(0).top());
    QCOMPARE(rect(3).left(), rect(0).left());
    QVERIFY(rect(3).top() > rect(0).top());
    QVERIFY(rect(2).right() <= picker->List1->viewport()->width());

    QTest::mouseClick(picker->y2000, Qt::LeftButton);
    QCOMPARE(ListTexts(picker->List1), Years(2000, 2080));
    QTest::mouseClick(picker->y1800, Qt::LeftButton);
    QCOMPARE(ListTexts(picker->List1), Years(1800, 1899));
  }

  void decidingWithoutAYear() {
    Open();
    QTest::mouseClick(picker->btnSlok, Qt::LeftButton);
    QVERIFY(picker->isVisible());
    QVERIFY(w->isEnabled());
    QVERIFY(!module->BirthYear);
    QVERIFY(!w->mSelect->isEnabled());
  }

  void decidingAndReopening() {
    Open();
    QTest::mouseClick(picker->y1800, Qt::LeftButton);
    QTest::mouseClick(picker->y1900, Qt::LeftButton);
    PickYear(picker, QStringLiteral("1975"));
    QTest::mouseClick(picker->btnSlok, Qt::LeftButton);
    QVERIFY(!picker->isVisible());
    QVERIFY(w->isEnabled());
    QCOMPARE(*module->BirthYear, 1975.0);
    QCOMPARE(module->MonthDays[2], 28);
    QVERIFY(w->mSelect->isEnabled());
    QCOMPARE(w->txtBirthday->text(), QStringLiteral("1975年月日時頃"));

    // Opened again: the decided year and the century last listed.
    Open();
    QCOMPARE(picker->lblSelect_y->text(), QStringLiteral("1975"));
    QCOMPARE(ListTexts(picker->List1), Years(1900, 1999));
    QTest::mouseClick(picker->y2000, Qt::LeftButton);
    QCOMPARE(picker->lblSelect_y->text(), QStringLiteral("1975"));  // a century keeps the year
    PickYear(picker, QStringLiteral("2080"));
    QTest::mouseClick(picker->btnSlok, Qt::LeftButton);
    QCOMPARE(*module->BirthYear, 2080.0);
    QCOMPARE(module->MonthDays[2], 29);
    Open();
    QCOMPARE(ListTexts(picker->List1).first(), QStringLiteral("2000"));
    QCOMPARE(picker->lblSelect_y->text(), QStringLiteral("2080"));
  }

  void decideByDoubleClickOrReturn() {
    Open();
    const QPoint at = PickYear(picker, QStringLiteral("1999"));
    QTest::mouseDClick(picker->List1->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(!picker->isVisible());
    QCOMPARE(*module->BirthYear, 1999.0);
    Open();
    PickYear(picker, QStringLiteral("1980"));
    QTest::keyClick(picker->List1, Qt::Key_Return);
    QVERIFY(!picker->isVisible());
    QCOMPARE(*module->BirthYear, 1980.0);
  }

  // Closing without deciding must not leave the main window disabled.
  void cancelling_data() {
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("close box") << true;
    QTest::newRow("Escape") << false;
  }
  void cancelling() {
    QFETCH(bool, closeBox);
    Open();
    PickYear(picker, QStringLiteral("1950"));
    if (closeBox)
      picker->close();
    else
      QTest::keyClick(picker->List1, Qt::Key_Escape);
    QVERIFY(!picker->isVisible());
    QVERIFY(w->isEnabled());
    QVERIFY(!module->BirthYear);
    QVERIFY(!w->mSelect->isEnabled());
    Open();  // the same picker, as it was left
    QCOMPARE(picker->lblSelect_y->text(), QStringLiteral("1950"));
  }
};

QTEST_MAIN(TestYearPicker)
#include "test_yinput.moc"
