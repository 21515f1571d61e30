// The map window: pixel -> labels -> time difference, then the window driven
// with the mouse as a person would (checked on labels, buttons and the
// rendered picture), and a decision carried into the main window's chart.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "MapLogic.h"
#include "MapPicture.h"
#include "frmjpmap.h"
#include "mainform01.h"
#include "yInput.h"

using namespace torvela::ui;

namespace {

QImage Render(QWidget* picture, qreal ratio = 1.0) {
  QImage image(picture->size() * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  picture->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
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

std::filesystem::path DataDir() { return QCoreApplication::applicationDirPath().toStdString(); }

// A user's pick: the shown text changes, then the activation follows.
void Pick(QComboBox* list, int value) {
  const int index = list->findText(QString::number(value));
  QVERIFY(index >= 0);
  list->setCurrentIndex(index);
  emit list->activated(index);
}

}  // namespace

class TestMapWindow : public QObject {
  Q_OBJECT

  frmjpmap* map = nullptr;
  MapPicture* picture = nullptr;
  QImage bare;

  QStringList Labels(std::initializer_list<const char*> names) {
    QStringList texts;
    for (const char* name : names) texts << map->findChild<QLabel*>(name)->text();
    return texts;
  }
  QStringList Longitude() { return Labels({"lblkdo", "lblkhun", "lblkbyou"}); }
  QStringList Latitude() { return Labels({"lblido", "lblihun", "lblibyou"}); }
  QPushButton* Button(const char* name) { return map->findChild<QPushButton*>(name); }
  // 1 held, 0 tracking, -1 when pointFixed and the two buttons disagree.
  int State() {
    const bool decide = Button("btndecide")->isEnabled();
    const bool cancel = Button("btncancel")->isEnabled();
    return decide == cancel && decide == (map->pointFixed == 1) ? int(decide) : -1;
  }
  void Click(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(picture, button, Qt::NoModifier, p);
  }
  static void Activate(QWidget* w) {
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
  }

 private slots:
  void init() {
    map = new frmjpmap;
    picture = map->findChild<MapPicture*>(QStringLiteral("Picture1"));
    map->show();
    Activate(map);
    bare = Render(picture);
  }
  void cleanup() { delete map; }

  // Expected values worked out by hand, latitudes in single precision (y =
  // 123 and 232 read one second less in double).
  void labelsAndDecision_data() {
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<QStringList>("lon");
    QTest::addColumn<QStringList>("lat");
    QTest::addColumn<QStringList>("decided");
    auto row = [](const char* name, float x, float y, QStringList lon, QStringList lat,
                  QStringList decided) { QTest::newRow(name) << x << y << lon << lat << decided; };
    row("east", 300, 200, {"136", "50", "19"}, {"38", "42", "30"}, {"7", "21"});
    row("west", 200, 123, {"131", "41", "30"}, {"42", "40", "17"}, {"-13", "14"});
    // Less than a minute west keeps its sign as "-0".
    row("just west", 262, 232, {"134", "52", "58"}, {"37", "3", "41"}, {"-0", "28"});
    row("nearest west", 264, 499, {"134", "59", "9"}, {"23", "19", "10"}, {"-0", "3"});
    row("nearest east", 265, 0, {"135", "2", "14"}, {"49", "0", "6"}, {"0", "8"});
  }
  void labelsAndDecision() {
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(QStringList, lon);
    QFETCH(QStringList, lat);
    QFETCH(QStringList, decided);
    const DmsTexts l = LongitudeTexts(MapLongitude(x));
    QCOMPARE(QStringList({l.degrees, l.minutes, l.seconds}), lon);
    const DmsTexts b = LatitudeTexts(MapLatitude(y));
    QCOMPARE(QStringList({b.degrees, b.minutes, b.seconds}), lat);
    const TimeDifferenceTexts d =
        DecideTimeDifference(lon[0].toDouble(), lon[1].toDouble(), lon[2].toDouble());
    QCOMPARE(QStringList({d.minutes, d.seconds}), decided);
  }

  void trackHoldAndCancel() {
    Click({300, 200}, Qt::RightButton);  // nothing to cancel yet
    QCOMPARE(State(), 0);
    QCOMPARE(Render(picture), bare);

    // The pointer's pixel is the floor: rounding would show 136°50'19".
    const QPointF at(299.7, 200.2);
    QMouseEvent move(QEvent::MouseMove, at, picture->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(picture, &move);
    QCOMPARE(Longitude(), QStringList({"136", "47", "14"}));
    QCOMPARE(Latitude(), QStringList({"38", "42", "30"}));
    QCOMPARE(Render(picture), WithCrossHair(bare, {299, 200}));
    QTRY_COMPARE_WITH_TIMEOUT(Render(picture), bare, 2000);  // the flash goes by itself

    Click({300, 200});
    QCOMPARE(State(), 1);
    QTest::qWait(200);  // longer than any flash
    const QImage held = Render(picture);
    QCOMPARE(held, WithCrossHair(bare, {300, 200}));
    QCOMPARE(WithCrossHair(held, {300, 200}), bare);

    QTest::mouseMove(picture, {100, 400});
    Click({120, 420});
    QCOMPARE(Longitude(), QStringList({"136", "50", "19"}));
    QCOMPARE(Render(picture), held);

    Click({50, 50}, Qt::RightButton);
    QCOMPARE(State(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(Render(picture), bare, 2000);
  }

  void reactivationReleasesButKeepsCrossHair() {
    Click({300, 200});
    QTest::qWait(200);
    const QImage held = Render(picture);
    QWidget other;
    other.show();
    Activate(&other);
    map->setWindowTitle(QString());
    map->move(0, 0);
    Activate(map);
    QCOMPARE(map->windowTitle(), QStringLiteral("日本地図"));
    QCOMPARE(map->frameGeometry().center(), map->screen()->availableGeometry().center());
    QCOMPARE(State(), 0);
    QCOMPARE(Longitude() + Latitude(), QStringList(6, QString()));
    QCOMPARE(Render(picture), held);

    // A new point replaces the one left over; cancel clears the map.
    Click({100, 100});
    QTest::qWait(200);
    QCOMPARE(Render(picture), WithCrossHair(bare, {100, 100}));
    QTest::mouseClick(Button("btncancel"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(Render(picture), bare, 2000);
  }

  void decideAndClose() {
    QSignalSpy decided(map, &frmjpmap::decided);
    QSignalSpy unloaded(map, &frmjpmap::unloaded);
    Click({200, 200});
    QTest::mouseClick(Button("btndecide"), Qt::LeftButton);
    QCOMPARE(decided.count(), 1);
    QCOMPARE(decided.at(0), QVariantList({"-13", "14"}));
    QVERIFY(!map->isVisible());
    QCOMPARE(map->pointFixed, short(1));
    QCOMPARE(picture->HeldCrossHair(), std::optional<QPoint>(QPoint(200, 200)));

    map->show();
    Activate(map);
    QTest::mouseClick(Button("btnClose"), Qt::LeftButton);
    QVERIFY(!map->isVisible());
    map->show();
    QVERIFY(map->close());
    QVERIFY(!map->isVisible());
    QCOMPARE(unloaded.count(), 1);
    QCOMPARE(decided.count(), 1);
  }

  void meridianLineAtEveryPixelRatio() {
    // x = 264.275 lies in pixel 264: device column 264 at ratio 1, 529 at 2.
    for (const auto& [ratio, column] : {std::pair{1.0, 264}, std::pair{2.0, 529}}) {
      const QImage image = Render(picture, ratio);
      const QRgb line = image.pixel(column, 10);
      QCOMPARE(image.pixel(column, int(499 * ratio)), line);
      QVERIFY(image.pixel(column - 1, 10) != line && image.pixel(column + 1, 10) != line);
    }
  }

  void chartUsesTheDecidedDifference_data() {
    QTest::addColumn<int>("x");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::newRow("east") << 300 << "7"
                          << "21";
    QTest::newRow("just west") << 262 << "-0"
                               << "28";
  }
  void chartUsesTheDecidedDifference() {
    QFETCH(int, x);
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    const torvela::chart::LocalTime now{2026, 12, 6, 12, 0};
    torvela::Module2 module;
    mainform01 w(module);
    w.clock = [now] { return now; };
    QString error;
    QVERIFY2(w.Form_Load(DataDir(), &error), qPrintable(error));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    QTest::mouseClick(w.yearInput, Qt::LeftButton);
    QTest::mouseClick(w.yearPicker()->y1900, Qt::LeftButton);
    w.yearPicker()->List1->setCurrentItem(
        w.yearPicker()->List1->findItems("1990", Qt::MatchExactly).value(0));
    QTest::mouseClick(w.yearPicker()->btnSlok, Qt::LeftButton);
    Pick(w.mSelect, 5);
    Pick(w.dSelect, 15);
    Pick(w.hSelect, 12);
    Pick(w.mtSelect, 30);

    QTest::mouseClick(w.btnmap, Qt::LeftButton);
    frmjpmap* shown = w.mapWindow();
    QTest::mouseClick(shown->findChild<MapPicture*>("Picture1"), Qt::LeftButton, {},
                      QPoint(x, 200));
    QTest::mouseClick(shown->findChild<QPushButton*>("btndecide"), Qt::LeftButton);
    QCOMPARE(w.txtJisahun->text(), minutes);
    QCOMPARE(w.txtJisabyo->text(), seconds);

    QTest::mouseClick(w.fInput, Qt::LeftButton);
    const auto trueSolarTime = [&](const QString& jisahun) {
      torvela::Module2 reference;
      reference.LoadTables(DataDir());
      reference.SetMonthDays(1990);
      const auto input =
          torvela::chart::InputFromTexts(1990, 5, 15, "12", "30", w.optM->isChecked(),
                                         jisahun.toStdString(), seconds.toStdString());
      const auto result = torvela::chart::ComputeChart(input, reference, now);
      return QString::fromStdString(torvela::chart::MakeChartTexts(result, reference).txtShin);
    };
    QCOMPARE(w.txtShin->text(), trueSolarTime(minutes));
    // West of 135°E the seconds are subtracted (12:33.2 rather than 12:34.1).
    if (minutes.startsWith(QLatin1Char('-')))
      QVERIFY(w.txtShin->text() != trueSolarTime(minutes.mid(1)));
  }
};

QTEST_MAIN(TestMapWindow)
#include "test_mapwindow.moc"
