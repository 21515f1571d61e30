// The map: the pictures against the window's pixel frame, pixel -> labels ->
// time difference, and the window driven with the mouse (checked on labels,
// buttons and the rendered picture).
#include <QSignalSpy>
#include <QTest>
#include <QtWidgets>

#include "MapLogic.h"
#include "MapPicture.h"
#include "frmjpmap.h"

using namespace torvela::ui;

namespace {

QImage Render(QWidget* picture) {
  QImage image(picture->size(), QImage::Format_RGB32);
  picture->render(&image, {}, {}, {});  // no background: the picture alone
  return image;
}

// The picture with one more XOR cross-hair at pixel p, crossing pixel once.
QImage WithCrossHair(QImage image, QPoint p) {
  const QRgb green = MapPicture::CrossHairColor().rgb() & 0x00ffffff;
  for (int i = 0; i < image.width(); ++i) {
    if (i != p.y()) image.setPixel(p.x(), i, image.pixel(p.x(), i) ^ green);
    image.setPixel(i, p.y(), image.pixel(i, p.y()) ^ green);
  }
  return image;
}

QPoint PixelOf(double lon, double lat) {
  const MapFrame f;
  return {MapPixel((lon - f.mapLonOrigin) / f.mapDegPerPixel),
          MapPixel((f.mapLatOrigin - lat) / f.mapDegPerPixel)};
}

// Classes by colour character rather than exact values, so a retouched
// palette still passes: Japan warm and tinted, neighbours neutral grey, sea
// light blue; every fill light enough for the XOR cross-hair. An islet far
// smaller than a pixel must still mark the sea around its pixel.
enum class Kind { Japan, Foreign, Sea, Water, Islet };

bool IsKind(const QImage& map, QPoint p, Kind kind) {
  const QColor c = map.pixelColor(p), sea = map.pixelColor(450, 350);
  const int hue = c.hsvHue(), sat = c.hsvSaturation(), val = c.value();
  const bool blue = hue >= 180 && hue <= 230;
  int strongest = 0;  // off the sea colour, over the 3x3 around p
  for (int d = 0; d < 9; ++d) {
    const QColor n = map.pixelColor(p + QPoint(d % 3 - 1, d / 3 - 1));
    strongest = std::max(strongest, std::abs(n.red() - sea.red()) + std::abs(n.green() - sea.green()) +
                                        std::abs(n.blue() - sea.blue()));
  }
  const bool is[] = {hue >= 20 && hue <= 70 && sat >= 20 && val >= 200, sat < 12 && val >= 200,
                     blue && val >= 230, blue, strongest >= 40};
  return is[int(kind)];
}

}  // namespace

class TestMapWindow : public QObject {
  Q_OBJECT

  frmjpmap* map = nullptr;
  MapPicture* picture = nullptr;
  QImage bare, map500, map1000;

  QStringList Labels(const QString& names) {
    QStringList texts;
    for (const QString& name : names.split(' ')) texts << map->findChild<QLabel*>(name)->text();
    return texts;
  }
  QStringList Longitude() { return Labels("lblkdo lblkhun lblkbyou"); }
  QPushButton* Button(const char* name) { return map->findChild<QPushButton*>(name); }
  // 1 held, 0 tracking, -1 when pointFixed and the two buttons disagree.
  int State() {
    const bool decide = Button("btndecide")->isEnabled(), cancel = Button("btncancel")->isEnabled();
    return decide == cancel && decide == (map->pointFixed == 1) ? int(decide) : -1;
  }
  void Click(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseClick(picture, b, {}, p); }
  static void Activate(QWidget* w) {
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
  }

 private slots:
  void initTestCase() {
    map500 = QImage(":/images/map500.png").convertToFormat(QImage::Format_RGB32);
    map1000 = QImage(":/images/map1000.png").convertToFormat(QImage::Format_RGB32);
    QVERIFY(map500.size() == QSize(500, 500) && map1000.size() == QSize(1000, 1000));
  }
  void init() {
    map = new frmjpmap;
    picture = map->findChild<MapPicture*>(QStringLiteral("Picture1"));
    map->show();
    Activate(map);
    bare = Render(picture);
  }
  void cleanup() { delete map; }

  // Cities on the coast: their pixel must still read as land.
  void places() {
    const struct { const char* name; QPoint pixel; Kind kind; } rows[] = {
        {"Tokyo", {355, 259}, Kind::Japan},
        {"Sapporo", {388, 115}, Kind::Japan},
        {"Osaka", PixelOf(135.5023, 34.6937), Kind::Japan},
        {"Nagoya", PixelOf(136.9066, 35.1815), Kind::Japan},
        {"Sendai", PixelOf(140.8694, 38.2682), Kind::Japan},
        {"Seoul", PixelOf(126.978, 37.5665), Kind::Foreign},
        {"Pacific", {450, 350}, Kind::Sea},
        {"Sea of Japan", {230, 200}, Kind::Sea},
        {"Lake Biwa", PixelOf(136.10, 35.35), Kind::Water},
        {"Chichi-jima", PixelOf(142.195, 27.08), Kind::Islet},
        {"Hateruma", PixelOf(123.78, 24.06), Kind::Islet},
        {"Minami-Daito", PixelOf(131.23, 25.83), Kind::Islet}};
    for (const auto& r : rows)
      QVERIFY2(IsKind(map500, r.pixel, r.kind), qPrintable(r.name + (' ' + map500.pixelColor(r.pixel).name())));
  }

  // The window draws the 135E line: over open sea the pictures must not.
  // Each 2x2 block of the 2x picture averages to the 1x pixel it covers; a
  // one-pixel slip shows as a much larger difference.
  void picturesShareTheFrame() {
    for (int y = 300; y < 500; ++y)
      for (int x = 263; x <= 265; ++x) QCOMPARE(map500.pixel(x, y), map500.pixel(450, 350));
    auto meanDifference = [this](int slip) {
      double sum = 0;
      for (int y = 2; y < 498; ++y)
        for (int x = 2; x < 498; ++x) {
          const int X = 2 * x + slip, Y = 2 * y;
          for (int shift : {16, 8, 0}) {
            auto ch = [shift](const QImage& im, int u, int v) { return int(im.pixel(u, v) >> shift & 0xff); };
            sum += std::abs((ch(map1000, X, Y) + ch(map1000, X + 1, Y) + ch(map1000, X, Y + 1) +
                             ch(map1000, X + 1, Y + 1)) / 4.0 - ch(map500, x, y));
          }
        }
      return sum / (496 * 496 * 3);
    };
    const double aligned = meanDifference(0);
    QVERIFY2(aligned < 0.25, qPrintable(QString::number(aligned)));
    QVERIFY(meanDifference(1) > 4 * aligned && meanDifference(-1) > 4 * aligned);
  }

  // Worked out by hand, latitudes in single precision (y = 123 and 232 read
  // one second less in double).
  void labelsAndDecision() {
    const struct { float x, y; const char* shown; } rows[] = {  // longitude; latitude; minutes seconds
        {300, 200, "136 50 19; 38 42 30; 7 21"},
        {200, 123, "131 41 30; 42 40 17; -13 14"},
        {262, 232, "134 52 58; 37 3 41; -0 28"},  // less than a minute west keeps its sign
        {264, 499, "134 59 9; 23 19 10; -0 3"},
        {265, 0, "135 2 14; 49 0 6; 0 8"}};
    for (const auto& r : rows) {
      const DmsTexts l = LongitudeTexts(MapLongitude(r.x)), b = LatitudeTexts(MapLatitude(r.y));
      const auto d = DecideTimeDifference(l.degrees.toDouble(), l.minutes.toDouble(), l.seconds.toDouble());
      QCOMPARE(QStringList({l.degrees, l.minutes, l.seconds + ';', b.degrees, b.minutes, b.seconds + ';',
                            d.minutes, d.seconds}).join(' '),
               QString(r.shown));
    }
  }

  void trackHoldReleaseAndCancel() {
    Click({300, 200}, Qt::RightButton);  // nothing to cancel yet
    QVERIFY(State() == 0 && Render(picture) == bare);

    // The pointer's pixel is the floor: rounding would show 136°50'19".
    const QPointF at(299.7, 200.2);
    QMouseEvent move(QEvent::MouseMove, at, picture->mapToGlobal(at), Qt::NoButton, {}, {});
    QApplication::sendEvent(picture, &move);
    QCOMPARE(Labels("lblkdo lblkhun lblkbyou lblido lblihun lblibyou").join(' '), "136 47 14 38 42 30");
    QCOMPARE(Render(picture), WithCrossHair(bare, {299, 200}));
    QTRY_COMPARE_WITH_TIMEOUT(Render(picture), bare, 2000);  // the flash goes by itself

    Click({300, 200});
    QTest::qWait(200);  // longer than any flash
    const QImage held = Render(picture);
    QCOMPARE(State(), 1);
    QCOMPARE(held, WithCrossHair(bare, {300, 200}));
    QCOMPARE(WithCrossHair(held, {300, 200}), bare);  // drawn twice restores the map

    // Held: moving and clicking elsewhere change nothing.
    QTest::mouseMove(picture, {100, 400});
    Click({120, 420});
    QCOMPARE(Longitude().join(' '), "136 50 19");
    QCOMPARE(Render(picture), held);

    Click({50, 50}, Qt::RightButton);
    QCOMPARE(State(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(Render(picture), bare, 2000);

    // Held again, then another window activated: released, the cross-hair stays.
    Click({300, 200});
    QTest::qWait(200);
    QWidget other;
    other.show();
    Activate(&other);
    Activate(map);
    QVERIFY(State() == 0 && Longitude() == QStringList(3, QString()) && Render(picture) == held);
    // A new point replaces the one left over; cancel clears the map.
    Click({100, 100});
    QTest::qWait(200);
    QCOMPARE(Render(picture), WithCrossHair(bare, {100, 100}));
    QTest::mouseClick(Button("btncancel"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(Render(picture), bare, 2000);
  }

  // Coming back from another application keeps the held point; coming from
  // another window of the program starts a fresh pick. Offscreen no other
  // application can take the focus, so its leaving is announced as the
  // platform does when it does.
  void resetsOnlyWhenActivatedFromWithinTheProgram() {
    QWidget other;  // another window of the program
    other.show();
    Click({300, 200});
    QTest::qWait(200);
    const QImage held = Render(picture);
    QCOMPARE(State(), 1);
    for (int round = 0; round < 2; ++round) {
      Activate(&other);
      emit qApp->focusWindowChanged(nullptr);  // the user went to another application
      Activate(map);
      QVERIFY(State() == 1 && Longitude() == QStringList({"136", "50", "19"}) && Render(picture) == held);
    }
    Activate(&other);
    Activate(map);
    QVERIFY(State() == 0 && Longitude() == QStringList(3, QString()) && Render(picture) == held);
  }

  // 決定 and Close hide the window; only 決定 decides, only the close box unloads.
  void decideAndClose() {
    QSignalSpy decided(map, &frmjpmap::decided), unloaded(map, &frmjpmap::unloaded);
    Click({200, 200});
    QTest::mouseClick(Button("btndecide"), Qt::LeftButton);
    QVERIFY(decided == QList<QVariantList>({{"-13", "14"}}) && !map->isVisible());
    map->show();
    QTest::mouseClick(Button("btnClose"), Qt::LeftButton);
    QVERIFY(!map->isVisible() && unloaded.isEmpty());
    map->show();
    QVERIFY(map->close() && !map->isVisible() && unloaded.count() == 1 && decided.count() == 1);
  }
};

QTEST_MAIN(TestMapWindow)
#include "test_mapwindow.moc"
