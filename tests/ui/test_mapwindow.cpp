// The map window driven with the mouse as a person would: tracking, holding,
// cancelling, re-activation, decide and close, checked on the labels, the
// buttons and the rendered picture.
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "MapPicture.h"
#include "frmjpmap.h"

using namespace torvela::ui;

namespace {

QImage Render(QWidget* picture, qreal ratio = 1.0) {
  QImage image(picture->size() * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::black);
  picture->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
  return image;
}

// What the bare picture looks like with one XOR cross-hair at pixel p.
QImage WithCrossHair(QImage image, QPoint p) {
  const QRgb green = MapPicture::CrossHairColor().rgb() & 0x00ffffff;
  for (int i = 0; i < image.width(); ++i) {
    if (i != p.y()) image.setPixel(p.x(), i, image.pixel(p.x(), i) ^ green);
    image.setPixel(i, p.y(), image.pixel(i, p.y()) ^ green);
  }
  return image;
}

}  // namespace

class TestMapWindow : public QObject {
  Q_OBJECT

 private:
  frmjpmap* map = nullptr;
  MapPicture* picture = nullptr;
  QImage bare;

  QString Text(const char* name) { return map->findChild<QLabel*>(name)->text(); }
  QStringList Longitude() { return {Text("lblkdo"), Text("lblkhun"), Text("lblkbyou")}; }
  QStringList Latitude() { return {Text("lblido"), Text("lblihun"), Text("lblibyou")}; }
  QPushButton* Button(const char* name) { return map->findChild<QPushButton*>(name); }
  bool HeldButtonsEnabled() {
    const bool decide = Button("btndecide")->isEnabled();
    const bool cancel = Button("btncancel")->isEnabled();
    return decide && cancel;
  }
  void Move(QPoint p) { QTest::mouseMove(picture, p); }
  void Click(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(picture, button, Qt::NoModifier, p);
  }
  void Activate(QWidget* w) {
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
  }

 private slots:
  void init();
  void cleanup();
  void activationResetsCaptionAndCentres();
  void trackingShowsPointAndFlashesCrossHair();
  void fractionalPointerTakesTheFloor();
  void leftClickHoldsAndXorsOnce();
  void movementWhileHeldChangesNothing();
  void rightClickCancelsOnlyWhenHeld();
  void reactivationReleasesButKeepsCrossHair();
  void decideEmitsTextsAndHides_data();
  void decideEmitsTextsAndHides();
  void closeButtonAndCloseBox();
  void meridianLineAtEveryPixelRatio();
};

void TestMapWindow::init() {
  map = new frmjpmap;
  picture = map->findChild<MapPicture*>(QStringLiteral("Picture1"));
  QVERIFY(picture);
  QCOMPARE(picture->size(), QSize(500, 500));
  map->show();
  Activate(map);
  bare = Render(picture);
}

void TestMapWindow::cleanup() {
  delete map;
  map = nullptr;
}

void TestMapWindow::activationResetsCaptionAndCentres() {
  QCOMPARE(map->windowTitle(), QStringLiteral("日本地図"));
  QCOMPARE(map->frameGeometry().center(), map->screen()->availableGeometry().center());
  QCOMPARE(Longitude(), QStringList({"", "", ""}));
  QVERIFY(!Button("btndecide")->isEnabled());
  QVERIFY(!Button("btncancel")->isEnabled());
}

void TestMapWindow::trackingShowsPointAndFlashesCrossHair() {
  Move({300, 200});
  QCOMPARE(Longitude(), QStringList({"136", "50", "19"}));
  QCOMPARE(Latitude(), QStringList({"38", "42", "30"}));
  QCOMPARE(map->pointFixed, short(0));
  QVERIFY(!HeldButtonsEnabled());
  QCOMPARE(Render(picture), WithCrossHair(bare, {300, 200}));
  // The flash removes itself without further input.
  QTRY_COMPARE_WITH_TIMEOUT(Render(picture), bare, 2000);
}

void TestMapWindow::fractionalPointerTakesTheFloor() {
  // Rounding would show pixel 300 (136°50'19").
  const QPointF at(299.7, 200.2);
  QMouseEvent move(QEvent::MouseMove, at, picture->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(picture, &move);
  QCOMPARE(Longitude(), QStringList({"136", "47", "14"}));
  QCOMPARE(Latitude(), QStringList({"38", "42", "30"}));
}

void TestMapWindow::leftClickHoldsAndXorsOnce() {
  Click({300, 200});
  QCOMPARE(map->pointFixed, short(1));
  QVERIFY(HeldButtonsEnabled());
  QCOMPARE(Longitude(), QStringList({"136", "50", "19"}));
  // Every cross-hair pixel, the crossing included, is XOR-ed exactly once;
  // XOR-ing the same cross again gives back the map.
  QTest::qWait(200);  // longer than any flash
  const QImage held = Render(picture);
  QCOMPARE(held, WithCrossHair(bare, {300, 200}));
  QCOMPARE(WithCrossHair(held, {300, 200}), bare);
}

void TestMapWindow::movementWhileHeldChangesNothing() {
  Click({300, 200});
  const QImage held = Render(picture);
  Move({100, 400});
  Click({120, 420});
  QCOMPARE(Longitude(), QStringList({"136", "50", "19"}));
  QCOMPARE(Latitude(), QStringList({"38", "42", "30"}));
  QCOMPARE(Render(picture), held);
}

void TestMapWindow::rightClickCancelsOnlyWhenHeld() {
  Click({300, 200}, Qt::RightButton);
  QCOMPARE(map->pointFixed, short(0));
  QVERIFY(!HeldButtonsEnabled());
  QVERIFY(!picture->HeldCrossHair());

  Click({300, 200});
  Click({50, 50}, Qt::RightButton);
  QCOMPARE(map->pointFixed, short(0));
  QVERIFY(!Button("btndecide")->isEnabled());
  QVERIFY(!Button("btncancel")->isEnabled());
  QTRY_COMPARE_WITH_TIMEOUT(Render(picture), bare, 2000);
}

void TestMapWindow::reactivationReleasesButKeepsCrossHair() {
  Click({300, 200});
  QTest::qWait(200);
  const QImage held = Render(picture);

  QWidget other;
  other.show();
  Activate(&other);
  Activate(map);
  QCOMPARE(map->pointFixed, short(0));
  QCOMPARE(Longitude(), QStringList({"", "", ""}));
  QCOMPARE(Latitude(), QStringList({"", "", ""}));
  QVERIFY(!HeldButtonsEnabled());
  QCOMPARE(Render(picture), held);

  // A new point replaces the one left over; cancelling clears the map.
  Click({100, 100});
  QTest::qWait(200);
  QCOMPARE(Render(picture), WithCrossHair(bare, {100, 100}));
  QTest::mouseClick(Button("btncancel"), Qt::LeftButton);
  QTRY_COMPARE_WITH_TIMEOUT(Render(picture), bare, 2000);
}

void TestMapWindow::decideEmitsTextsAndHides_data() {
  QTest::addColumn<QPoint>("point");
  QTest::addColumn<QString>("minutes");
  QTest::addColumn<QString>("seconds");
  QTest::newRow("east") << QPoint(300, 200) << "7" << "21";
  QTest::newRow("west") << QPoint(200, 200) << "-13" << "14";
  QTest::newRow("just west") << QPoint(262, 278) << "-0" << "28";
}

void TestMapWindow::decideEmitsTextsAndHides() {
  QFETCH(QPoint, point);
  QFETCH(QString, minutes);
  QFETCH(QString, seconds);
  QSignalSpy decided(map, &frmjpmap::decided);
  Click(point);
  QTest::mouseClick(Button("btndecide"), Qt::LeftButton);
  QCOMPARE(decided.count(), 1);
  QCOMPARE(decided.at(0).at(0).toString(), minutes);
  QCOMPARE(decided.at(0).at(1).toString(), seconds);
  QVERIFY(!map->isVisible());
  QCOMPARE(map->pointFixed, short(1));
  QCOMPARE(picture->HeldCrossHair(), std::optional<QPoint>(point));
}

void TestMapWindow::closeButtonAndCloseBox() {
  QSignalSpy decided(map, &frmjpmap::decided);
  QSignalSpy unloaded(map, &frmjpmap::unloaded);
  Click({300, 200});
  QTest::mouseClick(Button("btnClose"), Qt::LeftButton);
  QVERIFY(!map->isVisible());
  QCOMPARE(unloaded.count(), 0);

  map->show();
  Activate(map);
  QVERIFY(map->close());
  QVERIFY(!map->isVisible());
  QCOMPARE(unloaded.count(), 1);
  QCOMPARE(decided.count(), 0);
}

void TestMapWindow::meridianLineAtEveryPixelRatio() {
  // 135°E lies in pixel 264 (x = 264.275): device column 264 at ratio 1,
  // column 529 at ratio 2.
  for (const auto& [ratio, column] : {std::pair{1.0, 264}, std::pair{2.0, 529}}) {
    const QImage image = Render(picture, ratio);
    const QRgb line = image.pixel(column, 10);
    for (int row : {0, 300, int(499 * ratio)}) QCOMPARE(image.pixel(column, row), line);
    QVERIFY(image.pixel(column - 1, 10) != line);
    QVERIFY(image.pixel(column + 1, 10) != line);
  }
}

QTEST_MAIN(TestMapWindow)
#include "test_mapwindow.moc"
