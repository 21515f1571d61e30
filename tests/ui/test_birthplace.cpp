// The birthplace in the windows: a place chosen in the main window's box, as
// a person types and picks it, writes the map's time difference for its
// longitude and is given up when the time difference is set another way; the
// map holds it at its pixel, the popup shows the place of its own chart, and
// a missing or broken gazetteer only turns the box off.
#include "MapPicture.h"
#include "PlaceBox.h"
#include "Startup.h"
#include "UiTestSupport.h"
#include "UpDown.h"

using namespace uitest;
using torvela::place::Place;
using torvela::ui::MapPicture, torvela::ui::PlaceBox, torvela::ui::DmsTexts;
using torvela::ui::DecideTimeDifference, torvela::ui::LongitudeTexts;

namespace {

void Commit(QLineEdit* box, const QString& text) {
  box->selectAll();
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(box, &commit);
}

QImage Render(QWidget* picture) {
  QImage image(picture->size(), QImage::Format_RGB32);
  picture->render(&image, {}, {}, {});
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

// The data files of the build with places.txt replaced: absent (lines < 0),
// or its first `lines` lines with field `field` of the last one spoilt.
bool MakeDataDir(const QTemporaryDir& dir, int lines, int field) {
  const QString from = QCoreApplication::applicationDirPath();
  if (!QFile::copy(from + "/planet.txt", dir.filePath("planet.txt")) ||
      !QFile::copy(from + "/latitude.txt", dir.filePath("latitude.txt")))
    return false;
  if (lines < 0) return true;
  QFile in(from + "/places.txt"), out(dir.filePath("places.txt"));
  if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) return false;
  for (int n = 1; n <= lines; ++n) {
    QByteArray line = in.readLine();
    if (n == lines) {
      QList<QByteArray> fields = line.trimmed().split('\t');
      fields[field - 1] = "x1";
      line = fields.join('\t') + '\n';
    }
    out.write(line);
  }
  return true;
}

}  // namespace

class TestBirthplace : public MainWindowTest {
  Q_OBJECT

  QTemporaryDir peopleDir;

  PlaceBox* box() { return w->txtPlace; }
  QString Jisa() { return w->txtJisahun->text() + '/' + w->txtJisabyo->text(); }
  // From the main window, as a person clicks into it.
  frmjpmap* OpenMap() {
    Activate(w.get());
    QTest::mouseClick(w->btnmap, Qt::LeftButton);
    frmjpmap* map = w->mapWindow();
    Activate(map);
    return map;
  }
  MapPicture* Picture() { return w->mapWindow()->findChild<MapPicture*>("Picture1"); }
  QPushButton* MapButton(const char* name) { return w->mapWindow()->findChild<QPushButton*>(name); }
  QString MapLabels() {
    QStringList texts;
    for (const char* name : {"lblkdo", "lblkhun", "lblkbyou", "lblido", "lblihun", "lblibyou"})
      texts << w->mapWindow()->findChild<QLabel*>(name)->text();
    return texts.join(' ');
  }

  // Types a query into the box as a person does (over what it holds), moves
  // down `downs` suggestions and presses Enter; the box then shows the place.
  void Choose(const char* query, int downs = 0) {
    box()->setFocus();
    QTest::keyClick(box(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box(), query);
    QVERIFY2(box()->lstPlaces->isVisible(), query);
    for (int i = 0; i < downs; ++i) QTest::keyClick(box(), Qt::Key_Down);
    QTest::keyClick(box(), Qt::Key_Return);
    QVERIFY2(box()->chosenPlace() && !box()->lstPlaces->isVisible(), query);
  }
  // No place chosen and none shown.
  bool NoPlace() {
    return !box()->chosenPlace() && box()->text().isEmpty() && w->lblPlacePoint->text().isEmpty();
  }

 private slots:
  // Started programs open a 名簿 of their own.
  void initTestCase() { UseTestPeople(peopleDir); }
  void init() { Load(); }
  void cleanup() { Unload(); }

  // East and west of 135°E, one less than a minute west ("-0"), and places
  // at the ends of the country: the boxes get the minutes and seconds the
  // map decides for the place's longitude (its labels, read back).
  void choosingWritesTheMapsTimeDifference_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("downs");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("jisa");
    QTest::addColumn<QString>("point");
    QTest::newRow("ward, east") << "sapporo" << 1 << "北海道札幌市中央区" << "25/24" << "東経141度21分15秒";
    QTest::newRow("Tokyo") << "chiyodaku" << 0 << "東京都千代田区" << "19/0" << "東経139度45分11秒";
    QTest::newRow("just west") << "akashi" << 0 << "兵庫県明石市" << "-0/12" << "東経134度56分51秒";
    QTest::newRow("shared name") << "fuchuu" << 1 << "広島県府中市" << "-7/3" << "東経133度14分11秒";
    QTest::newRow("far west") << "yonaguni" << 0 << "沖縄県与那国町" << "-48/1" << "東経122度59分33秒";
    QTest::newRow("far east") << "nemuro" << 0 << "北海道根室市" << "42/19" << "東経145度34分58秒";
  }
  void choosingWritesTheMapsTimeDifference() {
    QFETCH(QString, query);
    QFETCH(int, downs);
    Commit(w->txtJisahun, "abc");  // a hint to be taken away
    const int width = w->width();
    Choose(qPrintable(query), downs);
    const Place& place = *box()->chosenPlace();
    QTEST(box()->text(), "shown");
    QTEST(Jisa(), "jisa");
    const DmsTexts lon = LongitudeTexts(place.longitude);
    const auto map = DecideTimeDifference(lon.degrees.toDouble(), lon.minutes.toDouble(), lon.seconds.toDouble());
    QCOMPARE(Jisa(), map.minutes + '/' + map.seconds);
    QTEST(w->lblPlacePoint->text(), "point");
    QVERIFY(w->lblPlacePoint->toolTip().startsWith(w->lblPlacePoint->text() + " 北緯"));
    QVERIFY(!w->lblJisaHint->isVisible());
    // Beside the box, whole, inside the input frame; the window keeps its width.
    QTRY_VERIFY(w->lblPlacePoint->width() >= w->lblPlacePoint->sizeHint().width());
    const auto* frame = w->findChild<QWidget*>("inputFrame");
    const QRect point(w->lblPlacePoint->mapTo(frame, QPoint()), w->lblPlacePoint->size());
    QVERIFY(point.left() > box()->mapTo(frame, QPoint(box()->width(), 0)).x());
    QVERIFY(point.right() < frame->contentsRect().right());
    QCOMPARE(w->width(), width);
  }

  // However the time difference is then set, other than by deciding the
  // place's own point on the map, the place is given up and the boxes keep
  // the new value.
  void settingTheTimeDifferenceGivesUpThePlace_data() {
    QTest::addColumn<int>("how");
    QTest::addColumn<QString>("jisa");
    QTest::newRow("typed") << 0 << "19/5";
    QTest::newRow("input method") << 1 << "－１３/１４";
    QTest::newRow("spun") << 2 << "20/0";
    QTest::newRow("Down key") << 3 << "18/0";
    QTest::newRow("wheel") << 4 << "19/1";
    QTest::newRow("zeroed") << 5 << "0/0";
    QTest::newRow("map") << 6 << "-13/14";
    QTest::newRow("place edited") << 7 << "19/0";
  }
  void settingTheTimeDifferenceGivesUpThePlace() {
    QFETCH(int, how);
    Choose("chiyodaku");
    QCOMPARE(Jisa(), "19/0");
    if (how == 0) {
      w->txtJisabyo->setFocus();
      QTest::keyClick(w->txtJisabyo, Qt::Key_5);
      QTest::keyClick(w->txtJisabyo, Qt::Key_Home);
      QTest::keyClick(w->txtJisabyo, Qt::Key_Delete);
    } else if (how == 1) {
      Commit(w->txtJisahun, "－１３");
      Commit(w->txtJisabyo, "１４");
    } else if (how == 2) {
      QTest::mouseClick(w->udJisahun->findChild<QToolButton*>("upButton"), Qt::LeftButton);
    } else if (how == 3) {
      w->txtJisahun->setFocus();
      QTest::keyClick(w->txtJisahun, Qt::Key_Down);
    } else if (how == 4) {
      const QPointF at(w->txtJisabyo->width() / 2.0, w->txtJisabyo->height() / 2.0);
      QWheelEvent e(at, w->txtJisabyo->mapToGlobal(at), {}, {0, 120}, {}, {}, Qt::NoScrollPhase, false);
      QApplication::sendEvent(w->txtJisabyo, &e);
    } else if (how == 5) {
      w->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(w.get()));
      QTest::keyClick(w.get(), Qt::Key_J, Qt::ControlModifier);
    } else if (how == 6) {
      OpenMap();
      QTest::mouseClick(MapButton("btncancel"), Qt::LeftButton);
      QTest::mouseClick(Picture(), Qt::LeftButton, {}, QPoint(200, 200));
      QTest::mouseClick(MapButton("btndecide"), Qt::LeftButton);
    } else {  // the box keeps what is left of the name
      box()->setFocus();
      QTest::keyClick(box(), Qt::Key_Backspace);
      QVERIFY(!box()->chosenPlace() && w->lblPlacePoint->text().isEmpty());
      QCOMPARE(box()->text(), "東京都千代田");
      box()->clearPlace();
    }
    QTEST(Jisa(), "jisa");
    QVERIFY(NoPlace());
  }

  // Opened after a choice, the map holds the place: its cross-hair at the
  // place's pixel, its own longitude and latitude in the labels, its name in
  // the title. 決定 writes the same time difference and keeps the place;
  // 取消 frees the map for another point, whose decision gives the place up.
  void mapHoldsThePlace() {
    Choose("chiyodaku");
    frmjpmap* map = OpenMap();
    MapPicture* picture = Picture();
    QTRY_VERIFY(map->placeHeld());
    QCOMPARE(picture->HeldCrossHair(), std::optional<QPoint>(QPoint(356, 258)));
    QCOMPARE(MapLabels(), "139 45 11 35 41 37");
    QCOMPARE(map->windowTitle(), "日本地図（東京都千代田区）");
    QVERIFY(MapButton("btndecide")->isEnabled() && map->pointFixed == 1);
    const QImage held = Render(picture);
    // Pointing elsewhere changes nothing while the place is held.
    QTest::mouseMove(picture, {100, 400});
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(100, 400));
    QCOMPARE(MapLabels(), "139 45 11 35 41 37");
    QTest::mouseClick(MapButton("btndecide"), Qt::LeftButton);
    QVERIFY(!map->isVisible() && box()->chosenPlace());
    QCOMPARE(Jisa(), "19/0");

    // Again from the main window: held again; cancelled, the bare map shows.
    map = OpenMap();
    QTRY_VERIFY(map->placeHeld());
    QTest::mouseClick(MapButton("btncancel"), Qt::LeftButton);
    QVERIFY(!map->placeHeld() && map->pointFixed == 0 && !picture->HeldCrossHair());
    QTRY_COMPARE(WithCrossHair(Render(picture), {356, 258}), held);
    QCOMPARE(map->windowTitle(), "日本地図");
    QVERIFY(box()->chosenPlace());  // cancelling decides nothing

    // Chosen while the map is open, a place shows at once; given up, it goes.
    Choose("akashi");
    QVERIFY(map->placeHeld());
    QCOMPARE(picture->HeldCrossHair(), std::optional<QPoint>(QPoint(263, 278)));
    QCOMPARE(MapLabels(), "134 56 51 34 40 59");
    Commit(w->txtJisabyo, "13");
    QVERIFY(NoPlace() && !map->placeHeld() && !picture->HeldCrossHair() && map->pointFixed == 0);
    QCOMPARE(MapLabels(), "     ");
  }

  // East of the picture (the eastern Northern Territories): held with its
  // labels and time difference, without a cross-hair.
  void placeOffTheMap() {
    Choose("rubetsu");
    QCOMPARE(box()->text(), "北海道択捉郡留別村");
    QCOMPARE(Jisa(), "51/30");
    frmjpmap* map = OpenMap();
    QTRY_VERIFY(map->placeHeld());
    QVERIFY(!Picture()->HeldCrossHair());
    QCOMPARE(MapLabels(), "147 52 39 45 13 36");
    QTest::mouseClick(MapButton("btndecide"), Qt::LeftButton);
    QVERIFY(box()->chosenPlace());
    QCOMPARE(Jisa(), "51/30");
  }

  // The place is part of the birth a chart was computed for: choosing one
  // marks a shown chart out of date even where the time difference was the
  // same already, and POP shows the place of the chart, not of the inputs.
  void popupShowsThePlaceOfItsChart() {
    EnterBirth(1985, 5, 5, "14");
    Commit(w->txtJisahun, "-0");
    Commit(w->txtJisabyo, "12");
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    const auto typed = w->chartView->texts();
    Choose("akashi");
    QCOMPARE(Jisa(), "-0/12");
    QVERIFY(w->chartView->outOfDate());
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QVERIFY(!w->chartView->outOfDate() && w->chartView->texts() == typed);
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    frmpop01* pop = w->popupWindow();
    QCOMPARE(pop->txtPlace->text(), "兵庫県明石市");

    Choose("nahashi");
    QVERIFY(w->chartView->outOfDate());
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    QCOMPARE(pop->txtPlace->text(), "兵庫県明石市");
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    QCOMPARE(pop->txtPlace->text(), "沖縄県那覇市");
    QCOMPARE(pop->chartView->birth().jisahun + '/' + pop->chartView->birth().jisabyo, "-29/17");

    w->menujisa01->trigger();
    QVERIFY(w->chartView->outOfDate());
    QTest::mouseClick(w->fInput, Qt::LeftButton);
    QTest::mouseClick(w->btnpop, Qt::LeftButton);
    QCOMPARE(pop->txtPlace->text(), QString());
  }

  // A missing or broken gazetteer leaves the program running: the box is
  // off, its tooltip naming the file, the line and the field, and typed
  // input and the map still set the time difference.
  void unreadableGazetteer_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("field");
    QTest::addColumn<QStringList>("named");
    QTest::newRow("missing") << -1 << 0 << QStringList{"places.txt", "見つかりません"};
    QTest::newRow("bad longitude") << 200 << 6 << QStringList{"places.txt", "第 200 行", "第 6 項目（経度）"};
    QTest::newRow("bad code") << 9 << 1 << QStringList{"places.txt", "第 9 行", "第 1 項目（団体コード）"};
  }
  void unreadableGazetteer() {
    QFETCH(int, lines);
    QFETCH(int, field);
    QFETCH(QStringList, named);
    Unload();  // only the program's own window
    QTemporaryDir dir;
    QVERIFY(MakeDataDir(dir, lines, field));
    std::optional<bool> placeUsable;
    QString tip;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* m = qobject_cast<mainform01*>(top);
        if (!m || !m->isVisible() || placeUsable) continue;
        placeUsable = m->txtPlace->isEnabled();
        tip = m->txtPlace->toolTip();
        m->close();
      }
    });
    QTimer::singleShot(10000, &poll, [] { QCoreApplication::exit(-1); });
    poll.start(10);
    ModalCatcher noBox;
    QCOMPARE(torvela::ui::StartApplication(*qApp, dir.path().toStdString(), 20), 0);
    QCOMPARE(noBox.title, QString());
    QCOMPARE(placeUsable, std::optional<bool>(false));
    for (const QString& part : named) QVERIFY2(tip.contains(part), qPrintable(tip));

    // The window itself, driven: no suggestions; typing and the map work.
    module = std::make_unique<Module2>();
    w = std::make_unique<mainform01>(*module);
    w->clock = [] { return kNow; };
    w->endProgram = [](int) {};
    QString error;
    QVERIFY2(w->Form_Load(dir.path().toStdString(), &error), qPrintable(error));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(!box()->isEnabled() && box()->toolTip() == tip && w->lblPlace->toolTip() == tip);
    QTest::keyClicks(box(), "sapporo");
    QVERIFY(!box()->lstPlaces->isVisible());
    Commit(w->txtJisahun, "19");
    QCOMPARE(Jisa(), "19/0");
    OpenMap();
    QTest::mouseClick(Picture(), Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseClick(MapButton("btndecide"), Qt::LeftButton);
    QCOMPARE(Jisa(), "-13/14");
  }
};

QTEST_MAIN(TestBirthplace)
#include "test_birthplace.moc"
