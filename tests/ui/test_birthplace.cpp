// The birthplace in the main window: suggestions as a person types and picks
// them; a chosen place writes the map's time difference for its longitude
// and is given up when the time difference is set another way; the map holds
// it at its pixel, the popup shows the place of its own chart, and a missing
// or broken gazetteer only turns the box off.
#include <QSignalSpy>

#include "DriveSupport.h"
#include "MapLogic.h"
#include "PlaceBox.h"
#include "Startup.h"
#include "UiTestSupport.h"
#include "UpDown.h"

using namespace uitest;
using torvela::place::Place;
using torvela::ui::MapPicture, torvela::ui::PlaceBox, torvela::ui::DmsTexts;
using torvela::ui::DecideTimeDifference, torvela::ui::LongitudeTexts;

namespace {

// Committed over what the box holds.
void Commit(QLineEdit* box, const QString& text) {
  box->selectAll();
  Type(box, text);
}

QStringList Row(QTreeWidget* list, int row) {
  const QTreeWidgetItem* item = list->topLevelItem(row);
  return item ? QStringList{item->text(0), item->text(1), item->text(2)} : QStringList{};
}

// The map's time difference for a longitude: its labels read back and decided.
QString MapJisa(double longitude) {
  const DmsTexts lon = LongitudeTexts(longitude);
  const auto d = DecideTimeDifference(lon.degrees.toDouble(), lon.minutes.toDouble(), lon.seconds.toDouble());
  return d.minutes + '/' + d.seconds;
}

// The data files of the build with places.txt absent (lines < 0), or its
// first `lines` lines with field `field` of the last one spoilt.
bool MakeDataDir(const QTemporaryDir& dir, int lines, int field) {
  const QString from = QCoreApplication::applicationDirPath();
  for (const char* name : {"/planet.txt", "/latitude.txt"})
    if (!QFile::copy(from + name, dir.path() + name)) return false;
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
  mainform01* m = nullptr;  // the window driven: the test's own, or a started program's

  PlaceBox* box() { return m->txtPlace; }
  QString Jisa() { return m->txtJisahun->text() + '/' + m->txtJisabyo->text(); }
  frmjpmap* OpenMap() {  // from the main window, as a person clicks into it
    Activate(m);
    QTest::mouseClick(m->btnmap, Qt::LeftButton);
    frmjpmap* map = m->mapWindow();
    Activate(map);
    return map;
  }
  MapPicture* Picture() { return m->mapWindow()->findChild<MapPicture*>("Picture1"); }
  void MapClick(const char* button) {
    QTest::mouseClick(m->mapWindow()->findChild<QPushButton*>(button), Qt::LeftButton);
  }
  QString MapLabels() {
    QStringList texts;
    for (const char* name : {"lblkdo", "lblkhun", "lblkbyou", "lblido", "lblihun", "lblibyou"})
      texts << m->mapWindow()->findChild<QLabel*>(name)->text();
    return texts.join(' ');
  }

  // Types a query over what the box holds, moves down `downs` suggestions
  // and presses Enter; the box then shows the place.
  void Choose(const char* query, int downs = 0) {
    box()->setFocus();
    QTest::keyClick(box(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box(), query);
    QVERIFY2(box()->lstPlaces->isVisible(), query);
    for (int i = 0; i < downs; ++i) QTest::keyClick(box(), Qt::Key_Down);
    QTest::keyClick(box(), Qt::Key_Return);
    QVERIFY2(box()->chosenPlace() && !box()->lstPlaces->isVisible(), query);
  }
  bool NoPlace() { return !box()->chosenPlace() && box()->text().isEmpty() && m->lblPlacePoint->text().isEmpty(); }

 private slots:
  // Started programs open a 名簿 of their own.
  void initTestCase() { UseTestPeople(peopleDir); }
  void init() { Load(), m = w.get(); }
  void cleanup() { Unload(); }

  // One person's typing: the input method's Japanese, more words, keys that
  // reach the open list, Escape, Down, a click; each row shows name,
  // prefecture and reading, and a name two prefectures share lists both.
  void suggestionsAsThePersonTypes() {
    QStringList chosen;
    connect(box(), &PlaceBox::placeChosen, this, [&](const Place& p) { chosen << QString::fromStdString(p.code); });
    QSignalSpy cleared(box(), &PlaceBox::placeCleared);
    QTreeWidget* list = box()->lstPlaces;
    box()->setFocus();
    Type(box(), "札幌");
    QVERIFY(list->isVisible());
    QCOMPARE(list->topLevelItemCount(), 11);
    QCOMPARE(Row(list, 0), QStringList({"札幌市", "北海道", "さっぽろし"}));
    QCOMPARE(Row(list, 1), QStringList({"札幌市中央区", "北海道", "さっぽろしちゅうおうく"}));
    QCOMPARE(list->currentItem(), list->topLevelItem(0));
    QVERIFY(list->geometry().top() >= box()->mapToGlobal(QPoint(0, box()->height())).y());
    QVERIFY(list->width() >= box()->width());
    Type(box(), "　中央");  // an input method's space is full-width
    QCOMPARE(list->topLevelItemCount(), 1);
    Type(box(), "駅");
    QVERIFY(!list->isVisible());

    // While open the list has the keyboard: its own keys move and choose,
    // any other key and the input method's text edit the box.
    Commit(box(), "府中");
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentItem(), list->topLevelItem(1));
    QTest::keyClick(list, Qt::Key_Backspace);
    QCOMPARE(box()->text(), "府");
    Type(list, "中市");
    QCOMPARE(Row(list, 0), QStringList({"府中市", "東京都", "ふちゅうし"}));
    QCOMPARE(Row(list, 1), QStringList({"府中市", "広島県", "ふちゅうし"}));
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Enter);
    QCOMPARE(chosen, QStringList{"342084"});
    QVERIFY(box()->text() == "広島県府中市" && !list->isVisible());
    QCOMPARE(Jisa(), "-7/3");

    // Edited, the place is given up once, the box and the time difference
    // kept; Escape closes without choosing and Down opens the list again.
    QTest::keyClick(box(), Qt::Key_Backspace);
    QVERIFY(!box()->chosenPlace() && m->lblPlacePoint->text().isEmpty());
    QVERIFY(box()->text() == "広島県府中" && Jisa() == "-7/3");
    QTest::keyClicks(box(), "x");
    QCOMPARE(cleared.count(), 1);
    QTest::keyClick(box(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box(), "osaka");
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(!list->isVisible() && !box()->chosenPlace());
    QCOMPARE(box()->text(), "osaka");
    QTest::keyClick(box(), Qt::Key_Down);
    QVERIFY(list->isVisible());
    QCOMPARE(Row(list, 0).front(), "大阪市");

    // A click chooses the row clicked.
    Commit(box(), "なは");  // 奈半利町 (なはりちょう), then 那覇市
    QTRY_VERIFY(list->isVisible());
    QCOMPARE(Row(list, 1).front(), "那覇市");
    const QRect row = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(chosen, QStringList({"342084", "472018"}));
    QCOMPARE(box()->text(), "沖縄県那覇市");

    // The list is a window of its own: it goes with the box's window.
    Commit(box(), "naha");
    QVERIFY(list->isVisible());
    m->hide();
    QVERIFY(!list->isVisible());
  }

  // East and west of 135°E, one less than a minute west ("-0"), and places
  // at the ends of the country: the boxes get the minutes and seconds the
  // map decides for the place's longitude, as for every other place.
  void choosingWritesTheMapsTimeDifference() {
    Commit(m->txtJisahun, "abc");  // a hint to be taken away
    const int width = m->width();
    const struct { const char* query; int downs; const char *shown, *jisa, *point; } rows[] = {
        {"sapporo", 1, "北海道札幌市中央区", "25/24", "東経141度21分15秒"},
        {"chiyodaku", 0, "東京都千代田区", "19/0", "東経139度45分11秒"},
        {"akashi", 0, "兵庫県明石市", "-0/12", "東経134度56分51秒"},
        {"fuchuu", 1, "広島県府中市", "-7/3", "東経133度14分11秒"},
        {"yonaguni", 0, "沖縄県与那国町", "-48/1", "東経122度59分33秒"},
        {"nemuro", 0, "北海道根室市", "42/19", "東経145度34分58秒"}};
    for (const auto& r : rows) {
      Choose(r.query, r.downs);
      QCOMPARE(box()->text(), r.shown);
      QCOMPARE(Jisa(), r.jisa);
      QCOMPARE(Jisa(), MapJisa(box()->chosenPlace()->longitude));
      QCOMPARE(m->lblPlacePoint->text(), r.point);
      QVERIFY(m->lblPlacePoint->toolTip().startsWith(m->lblPlacePoint->text() + " 北緯"));
      QVERIFY(!m->lblJisaHint->isVisible());
      // Beside the box, whole, inside the input frame; the window keeps its width.
      QTRY_VERIFY(m->lblPlacePoint->width() >= m->lblPlacePoint->sizeHint().width());
      const auto* frame = m->findChild<QWidget*>("inputFrame");
      const QRect point(m->lblPlacePoint->mapTo(frame, QPoint()), m->lblPlacePoint->size());
      QVERIFY(point.left() > box()->mapTo(frame, QPoint(box()->width(), 0)).x());
      QVERIFY(point.right() < frame->contentsRect().right());
      QCOMPARE(m->width(), width);
    }
    const auto gazetteer = torvela::place::Gazetteer::Load(DataDir() / "places.txt");
    QCOMPARE(gazetteer.places().size(), std::size_t(1922));
    for (const Place& p : gazetteer.places()) {
      const auto written = torvela::place::TimeDifferenceOf(p);
      QVERIFY2(QString::fromStdString(written.minutes + '/' + written.seconds) == MapJisa(p.longitude),
               p.name.c_str());
    }
  }

  // However the time difference is then set, other than by deciding the
  // place's own point on the map, the place is given up and the boxes keep
  // the new value.
  void settingTheTimeDifferenceGivesUpThePlace_data() {
    QTest::addColumn<int>("how");
    QTest::addColumn<QString>("jisa");
    const char* rows[][2] = {{"typed", "19/5"}, {"input method", "－１３/１４"}, {"spun", "20/0"},
                             {"Down key", "18/0"}, {"wheel", "19/1"}, {"zeroed", "0/0"}, {"map", "-13/14"}};
    for (int i = 0; i < 7; ++i) QTest::newRow(rows[i][0]) << i << QString(rows[i][1]);
  }
  void settingTheTimeDifferenceGivesUpThePlace() {
    QFETCH(int, how);
    Choose("chiyodaku");
    QCOMPARE(Jisa(), "19/0");
    switch (how) {
      case 0:
        m->txtJisabyo->setFocus();
        QTest::keyClick(m->txtJisabyo, Qt::Key_5);
        QTest::keyClick(m->txtJisabyo, Qt::Key_Home);
        QTest::keyClick(m->txtJisabyo, Qt::Key_Delete);
        break;
      case 1: Commit(m->txtJisahun, "－１３"), Commit(m->txtJisabyo, "１４"); break;
      case 2: QTest::mouseClick(m->udJisahun->findChild<QToolButton*>("upButton"), Qt::LeftButton); break;
      case 3: m->txtJisahun->setFocus(), QTest::keyClick(m->txtJisahun, Qt::Key_Down); break;
      case 4: {
        const QPointF at(m->txtJisabyo->width() / 2.0, m->txtJisabyo->height() / 2.0);
        QWheelEvent e(at, m->txtJisabyo->mapToGlobal(at), {}, {0, 120}, {}, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m->txtJisabyo, &e);
        break;
      }
      case 5: Activate(m), QTest::keyClick(m, Qt::Key_J, Qt::ControlModifier); break;
      default:
        OpenMap();
        MapClick("btncancel");
        QTest::mouseClick(Picture(), Qt::LeftButton, {}, QPoint(200, 200));
        MapClick("btndecide");
    }
    QTEST(Jisa(), "jisa");
    QVERIFY(NoPlace());
  }

  // Opened after a choice, the map holds the place: its cross-hair at the
  // place's pixel, its own longitude and latitude in the labels, its name in
  // the title. 決定 writes the same time difference and keeps the place;
  // 取消 frees the map for another point. A place east of the picture is
  // held without a cross-hair.
  void mapHoldsThePlace() {
    Choose("chiyodaku");
    frmjpmap* map = OpenMap();
    MapPicture* picture = Picture();
    QTRY_VERIFY(map->placeHeld());
    QCOMPARE(picture->HeldCrossHair(), std::optional<QPoint>(QPoint(356, 258)));
    QCOMPARE(MapLabels(), "139 45 11 35 41 37");
    QCOMPARE(map->windowTitle(), "日本地図（東京都千代田区）");
    QVERIFY(map->findChild<QPushButton*>("btndecide")->isEnabled() && map->pointFixed == 1);
    const QImage held = Render(picture);
    MapClick("btndecide");
    QVERIFY(!map->isVisible() && box()->chosenPlace());
    QCOMPARE(Jisa(), "19/0");

    // Again from the main window: held again; cancelled, the bare map shows.
    map = OpenMap();
    QTRY_VERIFY(map->placeHeld());
    MapClick("btncancel");
    QVERIFY(!map->placeHeld() && map->pointFixed == 0 && !picture->HeldCrossHair());
    QTRY_COMPARE(WithCrossHair(Render(picture), {356, 258}), held);
    QCOMPARE(map->windowTitle(), "日本地図");
    QVERIFY(box()->chosenPlace());  // cancelling decides nothing

    // Chosen while the map is open, a place shows at once; given up, it goes.
    Choose("akashi");
    QVERIFY(map->placeHeld());
    QCOMPARE(picture->HeldCrossHair(), std::optional<QPoint>(QPoint(263, 278)));
    QCOMPARE(MapLabels(), "134 56 51 34 40 59");
    Commit(m->txtJisabyo, "13");
    QVERIFY(NoPlace() && !map->placeHeld() && !picture->HeldCrossHair() && map->pointFixed == 0);
    QCOMPARE(MapLabels(), "     ");

    // East of the picture (the eastern Northern Territories).
    Choose("rubetsu");
    QCOMPARE(box()->text(), "北海道択捉郡留別村");
    QVERIFY(map->placeHeld() && !picture->HeldCrossHair());
    QCOMPARE(MapLabels(), "147 52 39 45 13 36");
    MapClick("btndecide");
    QVERIFY(box()->chosenPlace());
    QCOMPARE(Jisa(), "51/30");
  }

  // The place is part of the birth a chart was computed for: choosing one
  // marks a shown chart out of date even where the time difference was the
  // same already, and POP shows the place of the chart, not of the inputs.
  void popupShowsThePlaceOfItsChart() {
    EnterBirth(1985, 5, 5, "14");
    Commit(m->txtJisahun, "-0");
    Commit(m->txtJisabyo, "12");
    QTest::mouseClick(m->fInput, Qt::LeftButton);
    const auto typed = m->chartView->texts();
    Choose("akashi");
    QCOMPARE(Jisa(), "-0/12");
    QVERIFY(m->chartView->outOfDate());
    QTest::mouseClick(m->fInput, Qt::LeftButton);
    QVERIFY(!m->chartView->outOfDate() && m->chartView->texts() == typed);
    QTest::mouseClick(m->btnpop, Qt::LeftButton);
    frmpop01* pop = m->popupWindow();
    QCOMPARE(pop->txtPlace->text(), "兵庫県明石市");

    Choose("nahashi");
    QVERIFY(m->chartView->outOfDate());
    QTest::mouseClick(m->btnpop, Qt::LeftButton);
    QCOMPARE(pop->txtPlace->text(), "兵庫県明石市");
    QTest::mouseClick(m->fInput, Qt::LeftButton);
    QTest::mouseClick(m->btnpop, Qt::LeftButton);
    QCOMPARE(pop->txtPlace->text(), "沖縄県那覇市");
    QCOMPARE(pop->chartView->birth().jisahun + '/' + pop->chartView->birth().jisabyo, "-29/17");

    m->menujisa01->trigger();
    QVERIFY(m->chartView->outOfDate());
    QTest::mouseClick(m->fInput, Qt::LeftButton);
    QTest::mouseClick(m->btnpop, Qt::LeftButton);
    QCOMPARE(pop->txtPlace->text(), QString());
  }

  // A missing or broken gazetteer leaves the program starting without a
  // message: the box is off, its tooltip naming the file, the line and the
  // field, and typed input and the map still set the time difference.
  void unreadableGazetteer_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("field");
    QTest::addColumn<QStringList>("named");
    QTest::newRow("missing") << -1 << 0 << QStringList{"places.txt", "見つかりません"};
    QTest::newRow("bad longitude") << 200 << 6 << QStringList{"places.txt", "第 200 行", "第 6 項目（経度）"};
  }
  void unreadableGazetteer() {
    QFETCH(int, lines);
    QFETCH(int, field);
    QFETCH(QStringList, named);
    Unload();  // only the started program's window
    QTemporaryDir dir;
    QVERIFY(MakeDataDir(dir, lines, field));
    ModalCatcher noBox;
    torvela::ui::Startup program(dir.path().toStdString(), 20, peopleDir.filePath("torvela.sqlite"));
    program.endProgram = [](int) {};
    program.Begin();
    QTRY_VERIFY(program.mainWindow() || program.failed());
    m = program.mainWindow();
    QVERIFY(m && QTest::qWaitForWindowExposed(m));
    QCOMPARE(noBox.title, QString());
    const QString tip = box()->toolTip();
    for (const QString& part : named) QVERIFY2(tip.contains(part), qPrintable(tip));
    QVERIFY(!box()->isEnabled() && m->lblPlace->toolTip() == tip);
    QTest::keyClicks(box(), "sapporo");
    QVERIFY(!box()->lstPlaces->isVisible());
    Commit(m->txtJisahun, "19");
    QCOMPARE(Jisa(), "19/0");
    OpenMap();
    QTest::mouseClick(Picture(), Qt::LeftButton, {}, QPoint(200, 200));
    MapClick("btndecide");
    QCOMPARE(Jisa(), "-13/14");
  }
};

QTEST_MAIN(TestBirthplace)
#include "test_birthplace.moc"
