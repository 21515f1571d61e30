// The popup shows the copy of the chart it was given and keeps it until the
// next POP; Close hides it in place, the close box discards it.
#include <QTest>
#include <QtWidgets>

#include "chart/ChartFields.h"
#include "frmpop01.h"

using torvela::chart::ChartTexts;
using torvela::ui::frmpop01, torvela::ui::ShowPopup, torvela::ui::ChartBirth;

namespace {

// What the popup shows; it has no weekday, equation-of-time or
// true-solar-time box.
QStringList ChartNames() {
  QStringList names = QString("txtBirthday txtKoutai txtKoutaiYM txtKoukei txtAge yKan yShi mKan mShi "
                               "dKan dShi hKan hShi lblOu").split(' ');
  for (int i = 0; i < 11; ++i)
    names << QString("sai1_%1 sai2_%1 dun_kan_%1 dun_shi_%1").arg(i).split(' ').mid(i == 10);
  return names;
}

// Every text is `tag` and the control's name; great-luck column `bold`
// (none for -1) is the current one.
ChartTexts Texts(const std::string& tag, int bold) {
  ChartTexts t;
  torvela::chart::ForEachTextField(t, [&](const char* name, auto& field) {
    if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>) {
      field = tag + name;
    } else {
      for (std::size_t i = 0; i < field.size(); ++i) field[i] = tag + name + "_" + std::to_string(i);
    }
  });
  t.bold = bold;
  return t;
}

frmpop01* Pop(QPointer<frmpop01>& pop, QWidget& owner, const std::string& tag, int bold, bool male) {
  return ShowPopup(pop, owner, Texts(tag, bold),
                   {QString::fromStdString(tag) + "txtBirthday", male, "-13", "14"});
}

void CheckCopy(const frmpop01& pop, const QString& tag, int bold) {
  for (const QString& name : ChartNames()) {
    const QWidget* c = pop.findChild<QWidget*>(name);
    QCOMPARE(c ? c->property("text").toString() : "<missing>", tag + name);
  }
  for (const char* absent : {"txtweek", "txtKinjisa", "txtShin"}) QVERIFY(!pop.findChild<QWidget*>(absent));
  for (int i = 0; i < 11; ++i)
    QVERIFY(pop.chartView->dun_kan[i]->font().bold() == (i == bold) &&
            pop.chartView->dun_shi[i]->font().bold() == (i == bold));
}

bool NearCentre(const QWidget& w) {
  return (w.frameGeometry().center() - w.screen()->availableGeometry().center()).manhattanLength() <= 1;
}

}  // namespace

class TestPopup : public QObject {
  Q_OBJECT

 private slots:
  // The popup shows what it is given and keeps it as its own: neither the
  // caller's texts changing afterwards nor controls of the same names in the
  // owner reach it.
  void showsTheCopyItWasGiven() {
    QWidget owner;
    for (const QString& name : ChartNames()) (new QLabel(QStringLiteral("壬"), &owner))->setObjectName(name);
    ChartTexts texts = Texts("A", 3);
    QPointer<frmpop01> pop;
    ShowPopup(pop, owner, texts, {"A-birthday", true, "-13", "14"});
    const ChartTexts given = texts;
    texts = Texts("B", 5);
    QVERIFY(pop->chartView->texts() == given);
    QVERIFY(pop->chartView->birth() == ChartBirth({"A-birthday", true, "-13", "14"}));
    QCOMPARE(pop->chartView->yKan->text(), QStringLiteral("AyKan"));
    QCOMPARE(pop->chartView->sai1[9]->text(), QStringLiteral("Asai1_9"));
    QCOMPARE(pop->txtBirthday->text(), QStringLiteral("A-birthday"));
  }

  void popCloseAndCloseBoxLifecycle() {
    QWidget owner;
    QPointer<frmpop01> pop;
    frmpop01* first = Pop(pop, owner, "A", 3, true);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    QVERIFY(NearCentre(*first));
    CheckCopy(*first, "A", 3);
    QCOMPARE(first->txtMW->text(), "男");

    // POP again keeps the window where the user put it, at its size (a long
    // text must not make it creep), and refreshes it; the marking clears,
    // nothing but the weight ever changes.
    const QSize size = first->size();
    first->move(40, 50);
    const QPoint placed = first->pos();
    const std::string longer = "a much longer text than any chart holds ";
    QCOMPARE(Pop(pop, owner, longer, -1, false), first);
    QVERIFY(first->size() == size && first->pos() == placed);
    CheckCopy(*first, QString::fromStdString(longer), -1);
    QCOMPARE(first->chartView->dun_kan[3]->font(), first->chartView->dun_kan[0]->font());
    QCOMPARE(first->txtMW->text(), "女");

    // Close hides in place; POP brings it back there, refreshed, with the
    // bold column moved.
    QTest::mouseClick(first->Command1, Qt::LeftButton);
    QVERIFY(!first->isVisible() && pop);
    QCOMPARE(Pop(pop, owner, "C", 7, true), first);
    QVERIFY(first->isVisible() && first->pos() == placed);
    CheckCopy(*first, "C", 7);

    // The close box discards it; the next POP makes a new one, centred.
    QVERIFY(first->close());
    QTRY_VERIFY(pop.isNull());
    frmpop01* second = Pop(pop, owner, "C", 7, true);
    QVERIFY(QTest::qWaitForWindowExposed(second));
    QVERIFY(NearCentre(*second));
    CheckCopy(*second, "C", 7);
  }
};

QTEST_MAIN(TestPopup)
#include "test_popup.moc"
