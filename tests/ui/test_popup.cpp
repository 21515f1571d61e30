// The popup copies what the main window shows and keeps it until the next
// POP; Close hides it in place, the close box discards it.
#include <QTest>
#include <QtWidgets>

#include "frmpop01.h"

using torvela::ui::frmpop01, torvela::ui::ShowPopup;

namespace {

QStringList ChartNames() {
  QStringList names = QString("txtBirthday txtKoutai txtKoutaiYM txtKoukei txtAge yKan yShi mKan mShi "
                               "dKan dShi hKan hShi lblOu").split(' ');
  for (int i = 0; i < 11; ++i)
    names << QString("sai1_%1 sai2_%1 dun_kan_%1 dun_shi_%1").arg(i).split(' ').mid(i == 10);
  return names;
}

// A stand-in for the main window: the chart controls by name, a level down
// as in a real window.
struct FakeMain : QWidget {
  FakeMain() : area(new QWidget(this)) {
    for (const QString& name : ChartNames())
      (name.startsWith("txt") ? static_cast<QWidget*>(new QLineEdit(area)) : new QLabel(area))
          ->setObjectName(name);
  }
  // Every text is `tag` and the control's name, great-luck column `bold`
  // (none for -1) bold; the popup, a child too, is left alone.
  void Fill(const QString& tag, int bold) {
    for (auto* box : area->findChildren<QLineEdit*>()) box->setText(tag + box->objectName());
    for (auto* label : area->findChildren<QLabel*>()) {
      label->setText(tag + label->objectName());
      QFont f = label->font();
      const QString name = label->objectName();
      f.setBold(name.startsWith("dun_") && name.endsWith(QString("_%1").arg(bold)));
      label->setFont(f);
    }
  }
  QWidget* area;
};

void CheckCopy(const frmpop01& pop, const QString& tag, int bold) {
  for (const QString& name : ChartNames()) {
    const QWidget* c = pop.findChild<QWidget*>(name);
    QCOMPARE(c ? c->property("text").toString() : "<missing>", tag + name);
  }
  for (int i = 0; i < 11; ++i)
    QVERIFY(pop.dun_kan[i]->font().bold() == (i == bold) && pop.dun_shi[i]->font().bold() == (i == bold));
}

bool NearCentre(const QWidget& w) {
  return (w.frameGeometry().center() - w.screen()->availableGeometry().center()).manhattanLength() <= 1;
}

}  // namespace

class TestPopup : public QObject {
  Q_OBJECT

 private slots:
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
    main.Fill("A", 3);
    QPointer<frmpop01> pop;
    frmpop01* first = ShowPopup(pop, main, true);
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
    main.Fill("a much longer text than any chart holds ", -1);
    QCOMPARE(ShowPopup(pop, main, false), first);
    QVERIFY(first->size() == size && first->pos() == placed);
    CheckCopy(*first, "a much longer text than any chart holds ", -1);
    QCOMPARE(first->dun_kan[3]->font(), first->dun_kan[0]->font());
    QCOMPARE(first->txtMW->text(), "女");

    // Close hides in place; POP brings it back there, refreshed, with the
    // bold column moved.
    QTest::mouseClick(first->Command1, Qt::LeftButton);
    QVERIFY(!first->isVisible() && pop);
    main.Fill("C", 7);
    QCOMPARE(ShowPopup(pop, main, true), first);
    QVERIFY(first->isVisible() && first->pos() == placed);
    CheckCopy(*first, "C", 7);

    // The close box discards it; the next POP makes a new one, centred.
    QVERIFY(first->close());
    QTRY_VERIFY(pop.isNull());
    frmpop01* second = ShowPopup(pop, main, true);
    QVERIFY(QTest::qWaitForWindowExposed(second));
    QVERIFY(NearCentre(*second));
    CheckCopy(*second, "C", 7);
  }
};

QTEST_MAIN(TestPopup)
#include "test_popup.moc"
