// The popup copies what the main window shows and keeps it until the next
// POP; Close hides it in place, the close box discards it.
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "frmpop01.h"

using torvela::ui::frmpop01;
using torvela::ui::ShowPopup;

namespace {

QStringList ChartNames() {
  QStringList names = {"txtBirthday", "txtKoutai", "txtKoutaiYM", "txtKoukei", "txtAge", "yKan", "yShi",
                       "mKan", "mShi", "dKan", "dShi", "hKan", "hShi", "lblOu"};
  for (int i = 0; i < 11; ++i) {
    if (i < 10) names << QStringLiteral("sai1_%1").arg(i);
    names << QStringLiteral("sai2_%1").arg(i) << QStringLiteral("dun_kan_%1").arg(i)
          << QStringLiteral("dun_shi_%1").arg(i);
  }
  return names;
}

void SetBold(QLabel* label, bool bold) {
  QFont f = label->font();
  f.setBold(bold);
  label->setFont(f);
}

// A stand-in for the main window: the chart controls by name, a level down
// as in a real window; `skip` names one it lacks.
class FakeMain : public QWidget {
 public:
  explicit FakeMain(const QString& skip = {}) : area(new QWidget(this)) {
    for (const QString& name : ChartNames()) {
      if (name == skip) continue;
      QWidget* w = name.startsWith("txt") ? static_cast<QWidget*>(new QLineEdit(area)) : new QLabel(area);
      w->setObjectName(name);
    }
    Fill("A", 3);
  }
  // Every text is `tag` and the control's name; column `bold` (none for -1)
  // is bold, as the main window marks the current great-luck period.
  void Fill(const QString& tag, int bold) {
    for (auto* box : findChildren<QLineEdit*>()) box->setText(tag + box->objectName());
    for (auto* label : findChildren<QLabel*>()) {
      label->setText(tag + label->objectName());
      SetBold(label, label->objectName().endsWith(QStringLiteral("_%1").arg(bold)) &&
                         label->objectName().startsWith("dun_"));
    }
  }
  QWidget* area;
};

QString Shown(const frmpop01& pop, const QString& name) {
  if (auto* box = pop.findChild<QLineEdit*>(name)) return box->text();
  if (auto* label = pop.findChild<QLabel*>(name)) return label->text();
  return QStringLiteral("<missing>");
}

void CheckBoldColumn(const frmpop01& pop, int bold) {
  for (int i = 0; i < 11; ++i) {
    QCOMPARE(pop.dun_kan[i]->font().bold(), i == bold);
    QCOMPARE(pop.dun_shi[i]->font().bold(), i == bold);
  }
}

bool NearCentre(const QWidget& w) {
  return (w.frameGeometry().center() - w.screen()->availableGeometry().center()).manhattanLength() <= 1;
}

}  // namespace

class TestPopup : public QObject {
  Q_OBJECT

 private slots:
  void readsLikeTheMainWindow() {
    frmpop01 pop;
    pop.show();
    QCOMPARE(pop.windowTitle(), QStringLiteral("TorvelaPopUp"));
    QCOMPARE(pop.Command1->text(), QStringLiteral("Close"));
    QCOMPARE(pop.findChild<QLabel*>("Picture11")->size(), QSize(17, 17));
    // Pillars right to left, year first; stems above branches; great luck
    // from column 0 at the right end.
    QVERIFY(pop.yKan->x() > pop.mKan->x() && pop.mKan->x() > pop.dKan->x() && pop.dKan->x() > pop.hKan->x());
    QVERIFY(pop.yShi->y() > pop.yKan->y());
    QVERIFY(pop.dun_kan[0]->x() > pop.dun_kan[1]->x() && pop.dun_kan[1]->x() > pop.dun_kan[10]->x());
    QCOMPARE(pop.sai1[0]->x(), pop.sai2[1]->x());  // column 1 runs from sai1(0) to sai2(1)
  }

  void copiesEveryTextAndTheBoldColumn_data() {
    QTest::addColumn<bool>("male");
    QTest::addColumn<QString>("sex");
    QTest::newRow("男") << true << QStringLiteral("男");
    QTest::newRow("女") << false << QStringLiteral("女");
  }
  void copiesEveryTextAndTheBoldColumn() {
    QFETCH(bool, male);
    QFETCH(QString, sex);
    FakeMain main;
    frmpop01 pop;
    pop.CopyFrom(main, male);
    for (const QString& name : ChartNames()) QCOMPARE(Shown(pop, name), "A" + name);
    QCOMPARE(pop.txtMW->text(), sex);
    CheckBoldColumn(pop, 3);
    // The next copy moves the marking, or clears it; only the weight changes.
    main.Fill("B", 7);
    pop.CopyFrom(main, male);
    CheckBoldColumn(pop, 7);
    main.Fill("C", -1);
    pop.CopyFrom(main, male);
    CheckBoldColumn(pop, -1);
    QCOMPARE(pop.dun_kan[7]->font(), pop.dun_kan[0]->font());
  }

  void missingSourceLeavesItsCopyAlone() {
    FakeMain full;
    frmpop01 pop;
    pop.CopyFrom(full, true);
    FakeMain partial(QStringLiteral("dun_kan_3"));
    partial.Fill("B", 5);
    pop.CopyFrom(partial, false);
    QCOMPARE(Shown(pop, "dun_kan_3"), QStringLiteral("Adun_kan_3"));
    QCOMPARE(Shown(pop, "dun_shi_3"), QStringLiteral("Bdun_shi_3"));
    QWidget empty;
    pop.CopyFrom(empty, true);
    QCOMPARE(pop.txtMW->text(), QStringLiteral("男"));
  }

  // The popup lives below the main window with controls of the same names;
  // they must never stand in for the main window's own.
  void copiesFromTheMainWindowNotFromItself() {
    FakeMain main;
    QPointer<frmpop01> pop;
    ShowPopup(pop, main, true);
    delete main.findChild<QLabel*>("yKan");
    auto* yKan = new QLabel(QStringLiteral("壬"), new QWidget(&main));  // searched after the popup
    yKan->setObjectName(QStringLiteral("yKan"));
    QCOMPARE(main.findChild<QLabel*>("yKan"), pop->yKan);  // the trap is set
    ShowPopup(pop, main, true);
    QCOMPARE(pop->yKan->text(), QStringLiteral("壬"));
  }

  void popCloseAndCloseBoxLifecycle() {
    FakeMain main;
    QPointer<frmpop01> pop;
    frmpop01* first = ShowPopup(pop, main, true);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    QVERIFY(NearCentre(*first));

    // Any chart leaves the window its size, so it never creeps; POP again
    // keeps the window where the user put it and refreshes it.
    const QSize size = first->size();
    first->move(40, 50);
    const QPoint placed = first->pos();
    main.Fill("a much longer text than any chart holds ", 1);
    QCOMPARE(ShowPopup(pop, main, false), first);
    QCOMPARE(first->size(), size);
    QCOMPARE(first->pos(), placed);
    QCOMPARE(first->txtMW->text(), QStringLiteral("女"));

    // Close hides in place; POP brings it back there, refreshed.
    QTest::mouseClick(first->Command1, Qt::LeftButton);
    QVERIFY(!first->isVisible() && pop);
    main.Fill("C", 2);
    QCOMPARE(ShowPopup(pop, main, true), first);
    QVERIFY(first->isVisible());
    QCOMPARE(first->pos(), placed);
    QCOMPARE(first->yKan->text(), QStringLiteral("CyKan"));
    CheckBoldColumn(*first, 2);

    // The close box discards it; the next POP makes a new one, centred.
    QVERIFY(first->close());
    QTRY_VERIFY(pop.isNull());
    frmpop01* second = ShowPopup(pop, main, true);
    QVERIFY(QTest::qWaitForWindowExposed(second));
    QVERIFY(NearCentre(*second));
    QCOMPARE(second->yKan->text(), QStringLiteral("CyKan"));
  }
};

QTEST_MAIN(TestPopup)
#include "test_popup.moc"
