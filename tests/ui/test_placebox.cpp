// The birthplace box: suggestions as the user types (keys and the input
// method), chosen with the keyboard or the mouse; and the time difference a
// chosen place writes, which must be the map's for the same longitude.
#include <QSignalSpy>
#include <QTest>
#include <QtWidgets>

#include "MapLogic.h"
#include "PlaceBox.h"
#include "place/Gazetteer.h"

using namespace torvela;
using torvela::ui::PlaceBox;

namespace {

// What the input method hands over when a conversion is committed.
void Commit(QWidget* target, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QCoreApplication::sendEvent(target, &event);
}

QStringList Row(QTreeWidget* list, int row) {
  const QTreeWidgetItem* item = list->topLevelItem(row);
  return item ? QStringList{item->text(0), item->text(1), item->text(2)} : QStringList{};
}

}  // namespace

class TestPlaceBox : public QObject {
  Q_OBJECT

  place::Gazetteer gazetteer;
  std::unique_ptr<QWidget> window;
  PlaceBox* box = nullptr;

  // The code of each place chosen, in order.
  QStringList chosen;

 private slots:
  void initTestCase() {
    gazetteer = place::Gazetteer::Load(QCoreApplication::applicationDirPath().toStdString() + "/places.txt");
  }

  void init() {
    window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    box = new PlaceBox(window.get());
    box->setObjectName(QStringLiteral("txtPlace"));
    box->setGazetteer(&gazetteer);
    layout->addWidget(box);
    layout->addStretch();
    window->resize(300, 200);
    chosen.clear();
    connect(box, &PlaceBox::placeChosen, this,
            [this](const place::Place& p) { chosen << QString::fromStdString(p.code); });
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    box->setFocus();
  }

  void cleanup() { window.reset(); }

  // Japanese arrives through the input method; each row shows name,
  // prefecture and reading; the best match is current.
  void inputMethodTextSuggests() {
    Commit(box, QStringLiteral("札幌"));
    QCOMPARE(box->text(), QStringLiteral("札幌"));
    QVERIFY(box->lstPlaces->isVisible());
    QCOMPARE(box->lstPlaces->topLevelItemCount(), 11);
    QCOMPARE(Row(box->lstPlaces, 0), QStringList({"札幌市", "北海道", "さっぽろし"}));
    QCOMPARE(Row(box->lstPlaces, 1), QStringList({"札幌市中央区", "北海道", "さっぽろしちゅうおうく"}));
    QCOMPARE(box->lstPlaces->currentItem(), box->lstPlaces->topLevelItem(0));
    // Below the box, at least as wide.
    QVERIFY(box->lstPlaces->geometry().top() >= box->mapToGlobal(QPoint(0, box->height())).y());
    QVERIFY(box->lstPlaces->width() >= box->width());
    // Another word narrows the list (an input method's space is full-width);
    // text that matches nothing closes it.
    Commit(box, QStringLiteral("　中央"));
    QCOMPARE(box->lstPlaces->topLevelItemCount(), 1);
    Commit(box, QStringLiteral("駅"));
    QVERIFY(!box->lstPlaces->isVisible());
  }

  // Arrows move, Enter chooses: the box shows prefecture and name.
  void arrowsAndEnterChoose() {
    QTest::keyClicks(box, "sapporo");
    QVERIFY(box->lstPlaces->isVisible());
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(box, Qt::Key_Up);
    QCOMPARE(box->lstPlaces->currentItem(), box->lstPlaces->topLevelItem(1));
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(chosen, QStringList{"011011"});
    QVERIFY(!box->lstPlaces->isVisible());
    QCOMPARE(box->text(), QStringLiteral("北海道札幌市中央区"));
    QVERIFY(box->chosenPlace() && box->chosenPlace()->code == "011011");
  }

  // While the list is open it has the keyboard: its own keys move and
  // choose, any other key and the input method's text edit the box.
  void keysReachingTheListAreShared() {
    Commit(box, QStringLiteral("府中"));
    QTest::keyClick(box->lstPlaces, Qt::Key_Down);
    QCOMPARE(box->lstPlaces->currentItem(), box->lstPlaces->topLevelItem(1));
    QTest::keyClick(box->lstPlaces, Qt::Key_Backspace);
    QCOMPARE(box->text(), QStringLiteral("府"));
    Commit(box->lstPlaces, QStringLiteral("中市"));
    QCOMPARE(box->text(), QStringLiteral("府中市"));
    QCOMPARE(Row(box->lstPlaces, 0), QStringList({"府中市", "東京都", "ふちゅうし"}));
    QCOMPARE(Row(box->lstPlaces, 1), QStringList({"府中市", "広島県", "ふちゅうし"}));
    QTest::keyClick(box->lstPlaces, Qt::Key_Down);
    QTest::keyClick(box->lstPlaces, Qt::Key_Enter);
    QCOMPARE(chosen, QStringList{"342084"});
    QCOMPARE(box->text(), QStringLiteral("広島県府中市"));
  }

  void escapeClosesWithoutChoosing() {
    QTest::keyClicks(box, "osaka");
    QVERIFY(box->lstPlaces->isVisible());
    QTest::keyClick(box->lstPlaces, Qt::Key_Escape);
    QVERIFY(!box->lstPlaces->isVisible());
    QVERIFY(chosen.isEmpty() && !box->chosenPlace());
    QCOMPARE(box->text(), QStringLiteral("osaka"));
    // Down opens the list again for the same text.
    QTest::keyClick(box, Qt::Key_Down);
    QVERIFY(box->lstPlaces->isVisible());
    QCOMPARE(Row(box->lstPlaces, 0).front(), QStringLiteral("大阪市"));
  }

  // The list is a window of its own; it must not outlive the box's window.
  void listGoesWithTheWindow() {
    QTest::keyClicks(box, "naha");
    QVERIFY(box->lstPlaces->isVisible());
    window->close();
    QVERIFY(!box->lstPlaces->isVisible());
  }

  // A click chooses the row clicked, not the current one.
  void clickChooses() {
    Commit(box, QStringLiteral("なは"));  // 奈半利町 (なはりちょう), then 那覇市
    QTreeWidget* list = box->lstPlaces;
    QTRY_VERIFY(list->isVisible());
    QCOMPARE(Row(list, 1).front(), QStringLiteral("那覇市"));
    const QRect row = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseMove(list->viewport(), row.center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(chosen, QStringList{"472018"});
    QCOMPARE(box->text(), QStringLiteral("沖縄県那覇市"));
  }

  // Editing a chosen place gives it up; the owner's clearPlace empties the box.
  void editingOrClearingGivesUpThePlace() {
    QSignalSpy cleared(box, &PlaceBox::placeCleared);
    Commit(box, QStringLiteral("那覇"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(box->chosenPlace());
    QTest::keyClick(box, Qt::Key_Backspace);
    QVERIFY(!box->chosenPlace());
    QCOMPARE(cleared.count(), 1);
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(box->chosenPlace());
    box->clearPlace();
    QVERIFY(!box->chosenPlace() && box->text().isEmpty() && !box->lstPlaces->isVisible());
    QCOMPARE(cleared.count(), 1);
  }

  // Without a gazetteer (the file could not be read) the box is plain.
  void withoutGazetteerNothingIsSuggested() {
    box->setGazetteer(nullptr);
    Commit(box, QStringLiteral("札幌"));
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(!box->lstPlaces->isVisible() && chosen.isEmpty());
    QCOMPARE(box->text(), QStringLiteral("札幌"));
  }

  // The minutes and seconds written for a place are what the map writes when
  // clicked at that longitude: its labels (LongitudeTexts) read back and
  // decided. Every place of the gazetteer, and one chosen in the box.
  void timeDifferenceEqualsTheMaps() {
    QCOMPARE(gazetteer.places().size(), std::size_t(1922));
    for (const place::Place& p : gazetteer.places()) {
      const ui::DmsTexts shown = ui::LongitudeTexts(p.longitude);
      const ui::TimeDifferenceTexts map =
          ui::DecideTimeDifference(shown.degrees.toDouble(), shown.minutes.toDouble(), shown.seconds.toDouble());
      const chart::TimeDifferenceTexts written = place::TimeDifferenceOf(p);
      QVERIFY2(map.minutes.toStdString() == written.minutes && map.seconds.toStdString() == written.seconds,
               p.name.c_str());
    }
    Commit(box, QStringLiteral("明石市"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(box->chosenPlace());
    const auto t = place::TimeDifferenceOf(*box->chosenPlace());
    QCOMPARE(QString::fromStdString(t.minutes + " " + t.seconds), QStringLiteral("-0 12"));
  }
};

QTEST_MAIN(TestPlaceBox)
#include "test_placebox.moc"
