// The popup copies what the main window shows and keeps it until the next
// POP; Close hides it in place, the close box discards it.
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

#include "frmpop01.h"

using torvela::ui::frmpop01;
using torvela::ui::ShowPopup;

namespace {

const char* const kBoxes[] = {"txtBirthday", "txtKoutai", "txtKoutaiYM", "txtKoukei", "txtAge"};
const char* const kPillars[] = {"yKan", "yShi", "mKan", "mShi", "dKan", "dShi", "hKan", "hShi", "lblOu"};

QString Name(const char* base, int i) { return QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(i); }

// A stand-in for the main window: only the chart controls, by name, nested
// a level down as in a real window. `skip` names a control it lacks.
class FakeMain : public QWidget {
 public:
  explicit FakeMain(const QString& skip = {}) {
    area = new QWidget(this);
    new QVBoxLayout(area);
    for (const char* name : kBoxes) Add<QLineEdit>(name, skip);
    for (const char* name : kPillars) Add<QLabel>(name, skip);
    for (int i = 0; i < 10; ++i) Add<QLabel>(Name("sai1", i), skip);
    for (int i = 0; i < 11; ++i) {
      Add<QLabel>(Name("sai2", i), skip);
      Add<QLabel>(Name("dun_kan", i), skip);
      Add<QLabel>(Name("dun_shi", i), skip);
    }
    Fill(QStringLiteral("A"), 3);
  }

  // Writes a recognisable chart: every text starts with `tag`; column
  // `bold` (or none when -1) is bold, as the main window marks it.
  void Fill(const QString& tag, int bold) {
    for (auto* box : findChildren<QLineEdit*>()) box->setText(tag + box->objectName());
    for (auto* label : findChildren<QLabel*>()) {
      label->setText(tag + label->objectName());
      QFont f = label->font();
      f.setBold(false);
      label->setFont(f);
    }
    if (bold >= 0) {
      for (const char* base : {"dun_kan", "dun_shi"}) {
        auto* label = findChild<QLabel*>(Name(base, bold));
        if (!label) continue;
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
      }
    }
  }

  QWidget* area;

 private:
  template <typename T>
  void Add(const QString& name, const QString& skip) {
    if (name == skip) return;
    auto* w = new T(area);
    w->setObjectName(name);
    area->layout()->addWidget(w);
  }
};

QStringList AllNames() {
  QStringList names;
  for (const char* n : kBoxes) names << QLatin1String(n);
  for (const char* n : kPillars) names << QLatin1String(n);
  for (int i = 0; i < 10; ++i) names << Name("sai1", i);
  for (int i = 0; i < 11; ++i) names << Name("sai2", i) << Name("dun_kan", i) << Name("dun_shi", i);
  return names;
}

QString Shown(const frmpop01& pop, const QString& name) {
  if (auto* box = pop.findChild<QLineEdit*>(name)) return box->text();
  if (auto* label = pop.findChild<QLabel*>(name)) return label->text();
  return QStringLiteral("<missing>");
}

bool Bold(const frmpop01& pop, const char* base, int i) {
  return pop.findChild<QLabel*>(Name(base, i))->font().bold();
}

}  // namespace

class TestPopup : public QObject {
  Q_OBJECT

 private slots:
  void controlsCarryTheirNames() {
    frmpop01 pop;
    QCOMPARE(pop.windowTitle(), QStringLiteral("TorvelaPopUp"));
    for (const QString& name : AllNames()) QVERIFY2(Shown(pop, name) != "<missing>", qPrintable(name));
    QVERIFY(pop.findChild<QLineEdit*>("txtMW"));
    QCOMPARE(pop.findChild<QPushButton*>("Command1")->text(), QStringLiteral("Close"));
    QCOMPARE(pop.findChild<QLabel*>("Label9")->text(), QStringLiteral("大運交替："));
    for (int n = 1; n <= 11; ++n) {
      auto* picture = pop.findChild<QLabel*>(QStringLiteral("Picture%1").arg(n));
      QVERIFY(picture);
      QCOMPARE(picture->size(), QSize(17, 17));
    }
    // Great luck reads right to left: column 0 at the right end.
    pop.show();
    QVERIFY(pop.dun_kan[0]->x() > pop.dun_kan[1]->x());
    QVERIFY(pop.dun_kan[1]->x() > pop.dun_kan[10]->x());
    QVERIFY(pop.yKan->x() > pop.mKan->x() && pop.dKan->x() > pop.hKan->x());
    QVERIFY(pop.yShi->y() > pop.yKan->y());
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
    for (const QString& name : AllNames()) QCOMPARE(Shown(pop, name), QStringLiteral("A") + name);
    QCOMPARE(pop.txtMW->text(), sex);
    for (int i = 0; i < 11; ++i) {
      QCOMPARE(Bold(pop, "dun_kan", i), i == 3);
      QCOMPARE(Bold(pop, "dun_shi", i), i == 3);
    }
  }

  void nextCopyMovesOrClearsTheBoldColumn() {
    FakeMain main;
    frmpop01 pop;
    pop.CopyFrom(main, true);
    main.Fill(QStringLiteral("B"), 7);
    pop.CopyFrom(main, true);
    QCOMPARE(Shown(pop, "dun_kan_7"), QStringLiteral("Bdun_kan_7"));
    for (int i = 0; i < 11; ++i) QCOMPARE(Bold(pop, "dun_kan", i), i == 7);
    main.Fill(QStringLiteral("C"), -1);
    pop.CopyFrom(main, true);
    for (int i = 0; i < 11; ++i) QVERIFY(!Bold(pop, "dun_shi", i));
    // Only the weight changes, never the face or size.
    QCOMPARE(pop.dun_kan[7]->font().pointSize(), 12);
    QCOMPARE(pop.dun_kan[7]->font().family(), pop.dun_kan[0]->font().family());
  }

  void missingSourceLeavesItsCopyAlone() {
    FakeMain full;
    frmpop01 pop;
    pop.CopyFrom(full, true);
    FakeMain partial(QStringLiteral("dun_kan_3"));
    partial.Fill(QStringLiteral("B"), 5);
    pop.CopyFrom(partial, false);
    QCOMPARE(Shown(pop, "dun_kan_3"), QStringLiteral("Adun_kan_3"));
    QCOMPARE(Shown(pop, "dun_shi_3"), QStringLiteral("Bdun_shi_3"));
    QCOMPARE(Shown(pop, "txtAge"), QStringLiteral("BtxtAge"));
    QWidget empty;
    pop.CopyFrom(empty, true);
    QCOMPARE(pop.txtMW->text(), QStringLiteral("男"));
  }

  // The popup lives below the main window and has controls of the same
  // names; they must never stand in for the main window's own.
  void copiesFromTheMainWindowNotFromItself() {
    FakeMain main;
    QPointer<frmpop01> pop;
    ShowPopup(pop, main, true);
    auto* later = new QWidget(&main);  // searched after the popup
    auto* yKan = new QLabel(QStringLiteral("壬"), later);
    yKan->setObjectName(QStringLiteral("yKan"));
    delete main.findChild<QLabel*>("yKan");
    QCOMPARE(main.findChild<QLabel*>("yKan"), pop->yKan);  // the trap is set
    ShowPopup(pop, main, true);
    QCOMPARE(pop->yKan->text(), QStringLiteral("壬"));
  }

  void popCloseAndCloseBoxLifecycle() {
    FakeMain main;
    QPointer<frmpop01> pop;
    frmpop01* first = ShowPopup(pop, main, true);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    QVERIFY(first->isWindow());
    const QPoint centre = first->screen()->availableGeometry().center();
    QVERIFY((first->frameGeometry().center() - centre).manhattanLength() <= 1);

    // A chart of any length leaves the window its size, so it never creeps.
    const QSize size = first->size();
    main.Fill(QStringLiteral("a much longer text than any chart holds "), 0);
    ShowPopup(pop, main, true);
    QCOMPARE(first->size(), size);

    // POP again: same window, same place, fresh contents.
    first->move(40, 50);
    const QPoint placed = first->pos();
    main.Fill(QStringLiteral("B"), 1);
    QCOMPARE(ShowPopup(pop, main, false), first);
    QCOMPARE(first->pos(), placed);
    QCOMPARE(first->txtKoukei->text(), QStringLiteral("BtxtKoukei"));
    QCOMPARE(first->txtMW->text(), QStringLiteral("女"));

    // Close hides in place; POP brings it back there, refreshed.
    QTest::mouseClick(first->Command1, Qt::LeftButton);
    QVERIFY(!first->isVisible());
    QVERIFY(!pop.isNull());
    main.Fill(QStringLiteral("C"), 2);
    QCOMPARE(ShowPopup(pop, main, true), first);
    QVERIFY(first->isVisible());
    QCOMPARE(first->pos(), placed);
    QCOMPARE(first->yKan->text(), QStringLiteral("CyKan"));
    QVERIFY(first->dun_kan[2]->font().bold() && !first->dun_kan[1]->font().bold());

    // The close box discards it; the next POP makes a new one, centred.
    QVERIFY(first->close());
    QTRY_VERIFY(pop.isNull());
    frmpop01* second = ShowPopup(pop, main, true);
    QVERIFY(QTest::qWaitForWindowExposed(second));
    QVERIFY((second->frameGeometry().center() - centre).manhattanLength() <= 1);
    QCOMPARE(second->yKan->text(), QStringLiteral("CyKan"));
  }
};

QTEST_MAIN(TestPopup)
#include "test_popup.moc"
