// The map pictures checked against the window's pixel frame: places land on
// the right colour, outlying islets stay visible, lakes are holes, nothing of
// the program's own overlay is baked in, and the 2x picture shows the same
// frame as the 1x one.
#include <QColor>
#include <QImage>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

// The window's mapping: pixel i's centre is at x = i.
constexpr double kLonOrigin = 121.39834;
constexpr double kLatOrigin = 49.00194;
constexpr double kDegPerPixel = 0.0514679;

QPoint PixelOf(double lon, double lat) {
  return {static_cast<int>(std::floor((lon - kLonOrigin) / kDegPerPixel)),
          static_cast<int>(std::floor((kLatOrigin - lat) / kDegPerPixel))};
}

enum class Kind { Japan, Foreign, Sea, Water };

// Classes by colour rather than exact values, so a retouched palette still
// passes as long as it keeps its character: Japan warm and tinted (a shore
// pixel mixed with the coast line still counts), neighbours neutral grey,
// open sea light blue; every fill light enough for the XOR cross-hair.
bool IsKind(QColor c, Kind kind) {
  const int hue = c.hsvHue(), sat = c.hsvSaturation(), val = c.value();
  const bool blue = hue >= 180 && hue <= 230;
  switch (kind) {
    case Kind::Japan: return hue >= 20 && hue <= 70 && sat >= 20 && val >= 200;
    case Kind::Foreign: return sat < 12 && val >= 200;
    case Kind::Sea: return blue && val >= 230;
    case Kind::Water: return blue;
  }
  return false;
}

}  // namespace

Q_DECLARE_METATYPE(Kind)

class TestMapPicture : public QObject {
  Q_OBJECT

 private:
  QImage map500, map1000;
  QColor openSea() const { return map500.pixelColor(450, 350); }

 private slots:
  void initTestCase() {
    QVERIFY(map500.load(":/images/map500.png"));
    QVERIFY(map1000.load(":/images/map1000.png"));
    map500 = map500.convertToFormat(QImage::Format_RGB32);
    map1000 = map1000.convertToFormat(QImage::Format_RGB32);
  }

  void sizes() {
    QCOMPARE(map500.size(), QSize(500, 500));
    QCOMPARE(map1000.size(), QSize(1000, 1000));
  }

  void places_data() {
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<Kind>("kind");
    // Cities on the coast: their pixel must still read as land.
    QTest::newRow("Tokyo") << QPoint(355, 259) << Kind::Japan;
    QTest::newRow("Sapporo") << QPoint(388, 115) << Kind::Japan;
    QTest::newRow("Naha") << QPoint(122, 443) << Kind::Japan;
    QTest::newRow("Kagoshima") << QPoint(178, 338) << Kind::Japan;
    QTest::newRow("Osaka") << PixelOf(135.5023, 34.6937) << Kind::Japan;
    QTest::newRow("Nagoya") << PixelOf(136.9066, 35.1815) << Kind::Japan;
    QTest::newRow("Sendai") << PixelOf(140.8694, 38.2682) << Kind::Japan;
    QTest::newRow("Akashi, on 135E") << PixelOf(135.0, 34.65) << Kind::Japan;
    // Shown as Japan's although the source data count it as Russia's.
    QTest::newRow("Kunashiri") << PixelOf(145.85, 44.05) << Kind::Japan;
    QTest::newRow("Seoul") << PixelOf(126.978, 37.5665) << Kind::Foreign;
    QTest::newRow("Pyongyang") << PixelOf(125.7625, 39.0392) << Kind::Foreign;
    QTest::newRow("Jeju") << PixelOf(126.55, 33.38) << Kind::Foreign;
    QTest::newRow("Sakhalin") << PixelOf(142.7, 47.0) << Kind::Foreign;
    QTest::newRow("Manchuria") << PixelOf(125.0, 45.0) << Kind::Foreign;
    QTest::newRow("Pacific") << QPoint(450, 350) << Kind::Sea;
    QTest::newRow("Sea of Japan") << QPoint(230, 200) << Kind::Sea;
    QTest::newRow("East China Sea") << PixelOf(126.0, 30.0) << Kind::Sea;
    QTest::newRow("Sea of Okhotsk") << PixelOf(146.0, 47.5) << Kind::Sea;
    QTest::newRow("Lake Biwa") << PixelOf(136.10, 35.35) << Kind::Water;
  }

  void places() {
    QFETCH(QPoint, pixel);
    QFETCH(Kind, kind);
    const QColor c = map500.pixelColor(pixel);
    QVERIFY2(IsKind(c, kind), qPrintable(QStringLiteral("pixel (%1, %2) is %3")
                                             .arg(pixel.x())
                                             .arg(pixel.y())
                                             .arg(c.name())));
  }

  // Islands far smaller than a pixel must still leave a mark on the sea.
  void islets_data() {
    QTest::addColumn<double>("lon");
    QTest::addColumn<double>("lat");
    QTest::newRow("Chichi-jima") << 142.195 << 27.08;
    QTest::newRow("Hateruma") << 123.78 << 24.06;
    QTest::newRow("Minami-Daito") << 131.23 << 25.83;
    QTest::newRow("Torishima") << 140.30 << 30.48;
    QTest::newRow("Aogashima") << 139.76 << 32.46;
    QTest::newRow("Uotsuri-jima") << 123.47 << 25.74;
  }

  void islets() {
    QFETCH(double, lon);
    QFETCH(double, lat);
    const QPoint p = PixelOf(lon, lat);
    const QColor sea = openSea();
    int strongest = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const QColor c = map500.pixelColor(p + QPoint(dx, dy));
        const int d = std::abs(c.red() - sea.red()) + std::abs(c.green() - sea.green()) +
                      std::abs(c.blue() - sea.blue());
        strongest = std::max(strongest, d);
      }
    QVERIFY2(strongest >= 40, qPrintable(QString::number(strongest)));
  }

  // The 135E line is drawn by the window; over open sea its column must be
  // plain sea in the picture.
  void noMeridianBakedIn() {
    const QRgb sea = openSea().rgb();
    for (int y = 300; y < 500; ++y)
      for (int x = 263; x <= 265; ++x)
        QVERIFY2(map500.pixel(x, y) == sea, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
  }

  // Each 2x2 block of the 2x picture averages to the 1x pixel it covers; a
  // one-pixel slip of either picture shows as a much larger difference.
  void doubleSizeSharesTheFrame() {
    auto meanDifference = [this](int shift) {
      double sum = 0;
      int n = 0;
      for (int y = 2; y < 498; ++y)
        for (int x = 2; x < 498; ++x) {
          const int X = 2 * x + shift, Y = 2 * y;
          const QRgb a = map1000.pixel(X, Y), b = map1000.pixel(X + 1, Y),
                     c = map1000.pixel(X, Y + 1), d = map1000.pixel(X + 1, Y + 1);
          const QRgb p = map500.pixel(x, y);
          sum += std::abs((qRed(a) + qRed(b) + qRed(c) + qRed(d)) / 4.0 - qRed(p)) +
                 std::abs((qGreen(a) + qGreen(b) + qGreen(c) + qGreen(d)) / 4.0 - qGreen(p)) +
                 std::abs((qBlue(a) + qBlue(b) + qBlue(c) + qBlue(d)) / 4.0 - qBlue(p));
          n += 3;
        }
      return sum / n;
    };
    const double aligned = meanDifference(0);
    QVERIFY2(aligned < 0.25, qPrintable(QString::number(aligned)));
    QVERIFY(meanDifference(1) > 4 * aligned);
    QVERIFY(meanDifference(-1) > 4 * aligned);
  }
};

QTEST_MAIN(TestMapPicture)
#include "test_mappicture.moc"
