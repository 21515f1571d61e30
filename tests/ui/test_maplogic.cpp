// Map pixel -> longitude/latitude labels -> time-difference texts. Expected
// values were worked out by hand (latitudes emulating single precision).
#include <QTest>

#include "MapLogic.h"

using namespace torvela::ui;

class TestMapLogic : public QObject {
  Q_OBJECT

 private slots:
  void longitudeAndDecision_data();
  void longitudeAndDecision();
  void latitudeLabels_data();
  void latitudeLabels();
  void pointerPixelIsTheFloor();
  void meridianLiesInPixel264();
  void decisionExactlyOnTheMeridian();
};

void TestMapLogic::longitudeAndDecision_data() {
  QTest::addColumn<float>("x");
  QTest::addColumn<QString>("deg");
  QTest::addColumn<QString>("min");
  QTest::addColumn<QString>("sec");
  QTest::addColumn<QString>("diffMinutes");
  QTest::addColumn<QString>("diffSeconds");
  QTest::newRow("x=300 east") << 300.f << "136" << "50" << "19" << "7" << "21";
  QTest::newRow("x=200 west") << 200.f << "131" << "41" << "30" << "-13" << "14";
  // Less than a minute west keeps its sign as "-0".
  QTest::newRow("x=262") << 262.f << "134" << "52" << "58" << "-0" << "28";
  QTest::newRow("x=263") << 263.f << "134" << "56" << "3" << "-0" << "15";
  QTest::newRow("x=264") << 264.f << "134" << "59" << "9" << "-0" << "3";
  QTest::newRow("x=265 under a minute east") << 265.f << "135" << "2" << "14" << "0" << "8";
  QTest::newRow("x=0 west edge") << 0.f << "121" << "23" << "54" << "-54" << "24";
  QTest::newRow("x=499 east edge") << 499.f << "147" << "4" << "50" << "48" << "19";
}

void TestMapLogic::longitudeAndDecision() {
  QFETCH(float, x);
  QFETCH(QString, deg);
  QFETCH(QString, min);
  QFETCH(QString, sec);
  QFETCH(QString, diffMinutes);
  QFETCH(QString, diffSeconds);

  const DmsTexts lon = LongitudeTexts(MapLongitude(x));
  QCOMPARE(lon.degrees, deg);
  QCOMPARE(lon.minutes, min);
  QCOMPARE(lon.seconds, sec);

  // The decision reads the labels as shown, not the exact longitude.
  const TimeDifferenceTexts diff =
      DecideTimeDifference(deg.toDouble(), min.toDouble(), sec.toDouble());
  QCOMPARE(diff.minutes, diffMinutes);
  QCOMPARE(diff.seconds, diffSeconds);
}

void TestMapLogic::latitudeLabels_data() {
  QTest::addColumn<float>("y");
  QTest::addColumn<QString>("deg");
  QTest::addColumn<QString>("min");
  QTest::addColumn<QString>("sec");
  QTest::newRow("y=0 top edge") << 0.f << "49" << "0" << "6";
  QTest::newRow("y=1") << 1.f << "48" << "57" << "1";
  QTest::newRow("y=200") << 200.f << "38" << "42" << "30";
  // The next two read one second less if worked in double precision.
  QTest::newRow("y=123") << 123.f << "42" << "40" << "17";
  QTest::newRow("y=232") << 232.f << "37" << "3" << "41";
  QTest::newRow("y=499 bottom edge") << 499.f << "23" << "19" << "10";
}

void TestMapLogic::latitudeLabels() {
  QFETCH(float, y);
  QFETCH(QString, deg);
  QFETCH(QString, min);
  QFETCH(QString, sec);
  const DmsTexts lat = LatitudeTexts(MapLatitude(y));
  QCOMPARE(lat.degrees, deg);
  QCOMPARE(lat.minutes, min);
  QCOMPARE(lat.seconds, sec);
}

void TestMapLogic::pointerPixelIsTheFloor() {
  QCOMPARE(MapPixel(299.7), 299);
  QCOMPARE(MapPixel(299.0), 299);
  QCOMPARE(MapPixel(0.49), 0);
  QCOMPARE(MapPixel(-0.25), -1);  // left of the picture, not pixel 0
}

void TestMapLogic::meridianLiesInPixel264() {
  // Pixel i spans [i - 0.5, i + 0.5).
  QVERIFY(MeridianX() > 264.27 && MeridianX() < 264.28);
  QCOMPARE(LongitudeTexts(MapLongitude(264)).degrees, QStringLiteral("134"));
  QCOMPARE(LongitudeTexts(MapLongitude(265)).degrees, QStringLiteral("135"));
}

void TestMapLogic::decisionExactlyOnTheMeridian() {
  const TimeDifferenceTexts diff = DecideTimeDifference(135, 0, 0);
  QCOMPARE(diff.minutes, QStringLiteral("0"));
  QCOMPARE(diff.seconds, QStringLiteral("0"));
}

QTEST_MAIN(TestMapLogic)
#include "test_maplogic.moc"
