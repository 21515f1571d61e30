// The windows beside the main one, each driven on its own: the map (its
// pictures, pixel -> labels -> time difference, the mouse), the 命式詳細
// (the table in the usual arrangement, the element bars, the yearly luck)
// and the 名簿 (search, sort, choice, deletion, a 名簿 that fails).
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "DriveSupport.h"
#include "ElementBars.h"
#include "Fonts.h"
#include "MapLogic.h"
#include "PeopleWindow.h"
#include "UiTestSupport.h"
#include "reading/Reading.h"
#include "reading/ReadingTexts.h"

using namespace uitest;
using namespace torvela::ui;
using torvela::store::Person, torvela::store::Store;
namespace reading = torvela::reading;

namespace {

// ---- the map ----

QPoint PixelOf(double lon, double lat) {
  const MapFrame f;
  return {MapPixel((lon - f.mapLonOrigin) / f.mapDegPerPixel), MapPixel((f.mapLatOrigin - lat) / f.mapDegPerPixel)};
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

// ---- the 命式詳細 ----

// A reading of pillars given as stem and branch numbers (0, 0 for "?"), the
// great-luck columns from age a, today (`now`) in column `current`.
reading::ReadingTexts ReadingOf(std::array<int, 8> sb, int a, int current, int born, torvela::chart::LocalTime now) {
  torvela::chart::ChartResult r;
  r.yearStem = sb[0], r.yearBranch = sb[1], r.monthStem = sb[2], r.monthBranch = sb[3];
  r.dayStem = sb[4], r.dayBranch = sb[5], r.hourStem = sb[6], r.hourBranch = sb[7];
  r.hourUnknown = sb[6] == 0;
  for (int i = 0; i < 10; ++i) r.fromAges[i] = a + 10 * i;
  for (int i = 0; i <= 10; ++i) r.toAges[i] = a - 1 + 10 * i;
  r.currentColumn = current;
  return reading::MakeReadingTexts(reading::Read(r, born, now), torvela::NameTables());
}

QStringList Row(const DetailWindow& w, const char* name) {
  QStringList texts;
  for (int c = 0; c < 4; ++c) texts << w.findChild<QLabel*>(QStringLiteral("%1_%2").arg(name).arg(c))->text();
  return texts;
}

// A row of the yearly luck, "*" after it when the whole row is bold.
QString YearRow(const QTableWidget* t, int r) {
  QStringList texts;
  bool bold = true;
  for (int c = 0; c < t->columnCount(); ++c) {
    texts << t->item(r, c)->text();
    bold = bold && t->item(r, c)->font().bold();
  }
  return texts.join(' ') + (bold ? "*" : "");
}

void ExpectBlank(const DetailWindow& w) {
  for (const char* name : {"lblTenGod", "lblStem", "lblBranch", "lblVoid", "lblHidden", "lblHiddenTenGod", "lblStage",
                           "lblNayin"})
    QCOMPARE(Row(w, name).join(QString()), QString());
  QCOMPARE(Row(w, "lblHeading"), QStringList({"時柱", "日柱", "月柱", "年柱"}));
  QVERIFY(w.lblDayMaster->text().isEmpty() && w.lblDayVoid->text().isEmpty() && w.lblYearVoid->text().isEmpty() &&
          w.lblYinYang->text().isEmpty());
  QVERIFY(w.picElements->isBlank());
  QCOMPARE(w.tblYearLuck->rowCount(), 0);
  QCOMPARE(w.grpYearLuck->title(), "年運");
}

// How many pixels of the element's full colour the bars take (the names
// along the bottom, drawn in the colours too, left out).
int BarPixelsOf(ElementBars* bars, int element) {
  QImage image(bars->size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  bars->render(&image, {}, {}, QWidget::RenderFlags());
  const QRgb want = ElementColor(element).rgb();
  const int bottom = image.height() - bars->fontMetrics().height() - 4;
  int n = 0;
  for (int y = 0; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == want;
  return n;
}

// ---- the 名簿 ----

Person Make(const char* name, const char* reading, int year, const char* hour, const char* updated) {
  Person p;
  p.name = QString::fromUtf8(name), p.reading = QString::fromUtf8(reading);
  p.inputs = {year, 3, 5, QString::fromUtf8(hour), "5", torvela::store::Sex::Male, "0", "0", {}, {}, std::nullopt};
  p.created = p.updated = torvela::store::UtcFromText(QString::fromLatin1(updated));
  return p;
}

QStringList Column(const PeopleWindow& w, int column) {
  QStringList texts;
  for (int r = 0; r < w.model()->rowCount(); ++r) texts << w.model()->index(r, column).data().toString();
  return texts;
}

// Clicks the button of this text in the next modal box, noting its text.
struct Answer : QObject {
  explicit Answer(QString button) : button(std::move(button)) {
    connect(&timer, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      text = box->text();
      for (QAbstractButton* b : box->buttons()) {
        buttons << b->text();
        if (b->text() == this->button) b->click();
      }
    });
    timer.start(10);
  }
  QString button, text;
  QStringList buttons;
  QTimer timer;
};

}  // namespace

class TestSubwindows : public QObject {
  Q_OBJECT

  // The map window under test.
  std::unique_ptr<frmjpmap> map;
  MapPicture* picture = nullptr;
  QString Longitude() {
    QStringList texts;
    for (const char* name : {"lblkdo", "lblkhun", "lblkbyou"}) texts << map->findChild<QLabel*>(name)->text();
    return texts.join(' ');
  }
  QPushButton* Button(const char* name) { return map->findChild<QPushButton*>(name); }
  // 1 held, 0 tracking, -1 when pointFixed and the two buttons disagree.
  int State() {
    const bool decide = Button("btndecide")->isEnabled(), cancel = Button("btncancel")->isEnabled();
    return decide == cancel && decide == (map->pointFixed == 1) ? int(decide) : -1;
  }
  void Click(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseClick(picture, b, {}, p); }

  // A 名簿 of three people and its window, shown.
  QTemporaryDir dir;
  std::optional<Store> store;
  std::unique_ptr<PeopleWindow> people;
  QString Path() const { return dir.filePath("torvela.sqlite"); }
  void OpenPeople() {
    torvela::store::OpenOptions options;
    options.busyTimeoutMs = 200;
    auto opened = Store::Open(Path(), options);
    QVERIFY2(opened, qPrintable(opened.error().message));
    store.emplace(std::move(*opened));
    QVERIFY(store->AddAll({Make("山田 太郎", "やまだ たろう", 1975, "14", "2026-01-03T00:00:00Z"),
                           Make("ヤマモト花子", "", 1990, "?", "2026-01-01T00:00:00Z"),
                           Make("佐藤 一", "さとう はじめ", 1960, "3", "2026-01-02T00:00:00Z")}));
    people = std::make_unique<PeopleWindow>();
    people->SetStore(&*store);
    people->show();
    QVERIFY(QTest::qWaitForWindowExposed(people.get()));
  }

 private slots:
  void cleanup() {
    map.reset(), people.reset(), store.reset();
    QFile::remove(Path());
  }

  // Cities on the coast read as land, islets mark their sea; the window
  // draws the 135°E line, so over open sea the pictures must not. Each 2x2
  // block of the 2x picture averages to the 1x pixel it covers; a one-pixel
  // slip shows as a much larger difference.
  void mapPictures() {
    const QImage map500 = QImage(":/images/map500.png").convertToFormat(QImage::Format_RGB32);
    const QImage map1000 = QImage(":/images/map1000.png").convertToFormat(QImage::Format_RGB32);
    QVERIFY(map500.size() == QSize(500, 500) && map1000.size() == QSize(1000, 1000));
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

    for (int y = 300; y < 500; ++y)
      for (int x = 263; x <= 265; ++x) QCOMPARE(map500.pixel(x, y), map500.pixel(450, 350));
    auto meanDifference = [&](int slip) {
      auto ch = [](const QImage& im, int u, int v, int shift) { return int(im.pixel(u, v) >> shift & 0xff); };
      double sum = 0;
      for (int y = 2; y < 498; ++y)
        for (int x = 2; x < 498; ++x)
          for (int shift : {16, 8, 0}) {
            const int X = 2 * x + slip, Y = 2 * y;
            sum += std::abs((ch(map1000, X, Y, shift) + ch(map1000, X + 1, Y, shift) + ch(map1000, X, Y + 1, shift) +
                             ch(map1000, X + 1, Y + 1, shift)) / 4.0 - ch(map500, x, y, shift));
          }
      return sum / (496 * 496 * 3);
    };
    const double aligned = meanDifference(0);
    QVERIFY2(aligned < 0.25, qPrintable(QString::number(aligned)));
    QVERIFY(meanDifference(1) > 4 * aligned && meanDifference(-1) > 4 * aligned);
  }

  // Worked out by hand, latitudes in single precision (y = 123 and 232 read
  // one second less in double); less than a minute west keeps its sign.
  void mapLabelsAndDecision() {
    const struct { float x, y; const char* shown; } rows[] = {  // longitude; latitude; minutes seconds
        {300, 200, "136 50 19; 38 42 30; 7 21"},  {200, 123, "131 41 30; 42 40 17; -13 14"},
        {262, 232, "134 52 58; 37 3 41; -0 28"},  {264, 499, "134 59 9; 23 19 10; -0 3"},
        {265, 0, "135 2 14; 49 0 6; 0 8"}};
    for (const auto& r : rows) {
      const DmsTexts l = LongitudeTexts(MapLongitude(r.x)), b = LatitudeTexts(MapLatitude(r.y));
      const auto d = DecideTimeDifference(l.degrees.toDouble(), l.minutes.toDouble(), l.seconds.toDouble());
      QCOMPARE(QStringList({l.degrees, l.minutes, l.seconds + ';', b.degrees, b.minutes, b.seconds + ';', d.minutes,
                            d.seconds}).join(' '),
               QString(r.shown));
    }
  }

  // Tracking, holding, releasing and cancelling with the mouse; activation
  // from another window of the program starts a fresh pick, coming back from
  // another application keeps the held point; 決定 and Close hide the window,
  // only 決定 decides, only the close box unloads.
  void mapWindowByTheMouse() {
    map = std::make_unique<frmjpmap>();
    picture = map->findChild<MapPicture*>("Picture1");
    map->show();
    Activate(map.get());
    const QImage bare = Render(picture);
    Click({300, 200}, Qt::RightButton);  // nothing to cancel yet
    QVERIFY(State() == 0 && Render(picture) == bare);

    // The pointer's pixel is the floor: rounding would show 136°50'19".
    const QPointF at(299.7, 200.2);
    QMouseEvent move(QEvent::MouseMove, at, picture->mapToGlobal(at), Qt::NoButton, {}, {});
    QApplication::sendEvent(picture, &move);
    QStringList latitude;
    for (const char* name : {"lblido", "lblihun", "lblibyou"}) latitude << map->findChild<QLabel*>(name)->text();
    QCOMPARE(Longitude() + ' ' + latitude.join(' '), "136 47 14 38 42 30");
    QCOMPARE(Render(picture), WithCrossHair(bare, {299, 200}));
    QTRY_COMPARE_WITH_TIMEOUT(Render(picture), bare, 2000);  // the flash goes by itself

    Click({300, 200});
    QTest::qWait(200);  // longer than any flash
    const QImage held = Render(picture);
    QCOMPARE(State(), 1);
    QCOMPARE(held, WithCrossHair(bare, {300, 200}));
    QCOMPARE(WithCrossHair(held, {300, 200}), bare);  // drawn twice restores the map
    // Held: moving and clicking elsewhere change nothing; the right button frees.
    QTest::mouseMove(picture, {100, 400});
    Click({120, 420});
    QVERIFY(Longitude() == "136 50 19" && Render(picture) == held);
    Click({50, 50}, Qt::RightButton);
    QCOMPARE(State(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(Render(picture), bare, 2000);

    // Held again; Offscreen no other application can take the focus, so its
    // leaving is announced as the platform does.
    Click({300, 200});
    QTest::qWait(200);
    QWidget other;  // another window of the program
    other.show();
    for (int round = 0; round < 2; ++round) {
      Activate(&other);
      emit qApp->focusWindowChanged(nullptr);  // the user went to another application
      Activate(map.get());
      QVERIFY(State() == 1 && Longitude() == "136 50 19" && Render(picture) == held);
    }
    Activate(&other);
    Activate(map.get());  // released, the cross-hair left over
    QVERIFY(State() == 0 && Longitude() == "  " && Render(picture) == held);
    Click({100, 100});  // a new point replaces it
    QTest::qWait(200);
    QCOMPARE(Render(picture), WithCrossHair(bare, {100, 100}));
    QTest::mouseClick(Button("btncancel"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(Render(picture), bare, 2000);

    QSignalSpy decided(map.get(), &frmjpmap::decided), unloaded(map.get(), &frmjpmap::unloaded);
    Click({200, 200});
    QTest::mouseClick(Button("btndecide"), Qt::LeftButton);
    QVERIFY(decided == QList<QVariantList>({{"-13", "14"}}) && !map->isVisible());
    map->show();
    QTest::mouseClick(Button("btnClose"), Qt::LeftButton);
    QVERIFY(!map->isVisible() && unloaded.isEmpty());
    map->show();
    QVERIFY(map->close() && !map->isVisible() && unloaded.count() == 1 && decided.count() == 1);
  }

  // Blank before a chart; a reading in the usual arrangement (時 at the
  // left), 空亡 marked, the element bars in their colours, the yearly luck
  // with the current year bold; a second reading, hour unknown, replaces the
  // first completely at the same size; Clear blanks it again.
  void detailWindowShowsAReading() {
    DetailWindow w;
    QCOMPARE(w.objectName(), "DetailWindow");
    QCOMPARE(w.windowTitle(), "命式詳細");
    ExpectBlank(w);
    QCOMPARE(w.lblStem[0]->font().families(), PGothicFont().families());
    QCOMPARE(w.lblTenGod[0]->font().families(), GothicFont().families());

    // 甲子 丙寅 戊午 壬子, born 1984, today 2026 in column 4 (ages 33..42).
    w.Show(ReadingOf({1, 1, 3, 3, 5, 7, 9, 1}, 3, 4, 1984, kNow));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QSize size = w.size();
    QCOMPARE(w.lblDayMaster->text(), "日主　戊");
    QCOMPARE(Row(w, "lblTenGod"), QStringList({"偏財", "日主", "偏印", "偏官"}));
    QCOMPARE(Row(w, "lblStem"), QStringList({"壬", "戊", "丙", "甲"}));
    QCOMPARE(Row(w, "lblBranch"), QStringList({"子", "午", "寅", "子"}));
    QCOMPARE(Row(w, "lblVoid"), QStringList({"空亡", "", "", "空亡"}));
    QCOMPARE(Row(w, "lblHidden"), QStringList({"癸", "丁\n己", "甲\n丙\n戊", "癸"}));
    QCOMPARE(Row(w, "lblHiddenTenGod"), QStringList({"正財", "印綬\n劫財", "偏官\n偏印\n比肩", "正財"}));
    QCOMPARE(Row(w, "lblStage"), QStringList({"胎", "帝旺", "長生", "胎"}));
    QCOMPARE(Row(w, "lblNayin"), QStringList({"桑柘木", "天上火", "炉中火", "海中金"}));
    QCOMPARE(w.lblDayVoid->text() + ' ' + w.lblYearVoid->text(), "日柱空亡　子丑 年柱空亡　戌亥");
    QCOMPARE(w.lblYinYang->text(), "陰陽　陽8・陰0");
    const QTableWidget* t = w.tblYearLuck;
    QCOMPARE(w.grpYearLuck->title(), "年運（33〜42歳）");
    QCOMPARE(t->rowCount(), 10);
    QCOMPARE(YearRow(t, 0), "2017年 丁酉 印綬 死 33歳");
    QCOMPARE(YearRow(t, 9), "2026年 丙午 偏印 帝旺 42歳*");
    for (int r = 1; r < 9; ++r) QVERIFY(!YearRow(t, r).endsWith('*'));
    // A bar of each element present, none of 金, whose count is 0, and more
    // 水 than 土 is a taller bar.
    QCOMPARE(w.picElements->eightCounts(), (std::array<int, 5>{2, 2, 1, 0, 3}));
    QCOMPARE(w.picElements->withMainCounts(), (std::array<int, 5>{3, 3, 1, 0, 5}));
    for (int e : {0, 1, 2, 4}) QVERIFY2(BarPixelsOf(w.picElements, e) > 0, qPrintable(QString::number(e)));
    QCOMPARE(BarPixelsOf(w.picElements, 3), 0);
    QVERIFY(BarPixelsOf(w.picElements, 4) > BarPixelsOf(w.picElements, 2));

    // 庚午 辛巳 甲戌, hour unknown, born 1990, today 1993 in column 0 (ages 0..6).
    w.Show(ReadingOf({7, 7, 8, 6, 1, 11, 0, 0}, 7, 0, 1990, {1993, 1, 1, 0, 0}));
    QCOMPARE(w.size(), size);  // fixed cells: the window keeps its size
    QCOMPARE(Row(w, "lblTenGod"), QStringList({"□", "日主", "正官", "偏官"}));
    QCOMPARE(Row(w, "lblStem"), QStringList({"□", "甲", "辛", "庚"}));
    QCOMPARE(Row(w, "lblHidden"), QStringList({"□", "戊\n辛\n丁", "丙\n庚\n戊", "丁\n己"}));
    QCOMPARE(Row(w, "lblVoid").join(QString()), QString());
    QCOMPARE(w.picElements->eightCounts(), (std::array<int, 5>{1, 2, 1, 2, 0}));
    QCOMPARE(t->rowCount(), 7);
    QCOMPARE(YearRow(t, 3), "1993年 癸酉 印綬 胎 3歳*");
    QCOMPARE(YearRow(t, 6), "1996年 丙子 食神 沐浴 6歳");
    for (int r : {0, 1, 2, 4, 5}) QVERIFY(!YearRow(t, r).endsWith('*'));

    w.Clear();
    ExpectBlank(w);
    for (int e = 0; e < 5; ++e) QCOMPARE(BarPixelsOf(w.picElements, e), 0);
    QTest::mouseClick(w.btnClose, Qt::LeftButton);
    QVERIFY(!w.isVisible());
  }

  // Typing narrows the list (half-width kana find the reading and the
  // name), Enter or a double-click hands the person over, a header click
  // sorts, 削除 asks first and fails safely while another program writes.
  void peopleWindowFindsSortsHandsOverAndDeletes() {
    OpenPeople();
    PeopleWindow* w = people.get();
    QCOMPARE(Column(*w, PeopleModel::Name), QStringList({"佐藤 一", "山田 太郎", "ヤマモト花子"}));
    QCOMPARE(w->lblStatus->text(), "3人");
    Type(w->txtSearch, "ﾔ");
    QCOMPARE(Column(*w, PeopleModel::Name), QStringList({"山田 太郎", "ヤマモト花子"}));
    Type(w->txtSearch, "ﾏﾀﾞ");
    QCOMPARE(Column(*w, PeopleModel::Name), QStringList{"山田 太郎"});
    QCOMPARE(w->lblStatus->text(), "3人中 1人");
    QCOMPARE(w->lstPeople->currentIndex().row(), 0);  // Enter takes the one found
    w->txtSearch->clear();
    QCOMPARE(w->model()->rowCount(), 3);

    QSignalSpy chosen(w, &PeopleWindow::personChosen);
    Type(w->txtSearch, "さとう");
    QTest::keyClick(w->txtSearch, Qt::Key_Return);
    QCOMPARE(chosen.size(), 1);
    const auto person = chosen.at(0).at(0).value<Person>();
    QCOMPARE(person, *store->Get(person.id));
    QVERIFY(person.name == "佐藤 一" && !w->isVisible());
    w->txtSearch->clear();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QRect cell = w->lstPeople->visualRect(w->model()->index(1, PeopleModel::Birth));
    // A double-click arrives as a click, then the double-click event.
    QTest::mouseClick(w->lstPeople->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(chosen.size(), 1);  // a single click only selects
    QTest::mouseDClick(w->lstPeople->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(chosen.size(), 2);
    QCOMPARE(chosen.at(1).at(0).value<Person>().name, "山田 太郎");
    w->show();
    w->lstPeople->setFocus();
    QTest::keyClick(w->lstPeople, Qt::Key_Down);
    QTest::keyClick(w->lstPeople, Qt::Key_Enter);
    QCOMPARE(chosen.size(), 3);
    QCOMPARE(chosen.at(2).at(0).value<Person>().name, "ヤマモト花子");

    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    auto* header = w->lstPeople->horizontalHeader();
    auto sortBy = [&](int column) {
      const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };
    sortBy(PeopleModel::Birth);
    QCOMPARE(Column(*w, PeopleModel::Birth),
             QStringList({"1960年3月5日3時5分", "1975年3月5日14時5分", "1990年3月5日出生時間不明"}));
    sortBy(PeopleModel::Birth);
    QCOMPARE(Column(*w, PeopleModel::Name), QStringList({"ヤマモト花子", "山田 太郎", "佐藤 一"}));
    sortBy(PeopleModel::Updated);
    QCOMPARE(Column(*w, PeopleModel::Name), QStringList({"ヤマモト花子", "佐藤 一", "山田 太郎"}));

    w->lstPeople->setCurrentIndex(w->model()->index(1, 0));  // 佐藤 一
    {
      Answer no("やめる");
      QTest::mouseClick(w->btnDelete, Qt::LeftButton);
      QVERIFY(no.text.contains("「佐藤 一」を名簿から削除しますか"));
      no.buttons.sort();
      QCOMPARE(no.buttons, QStringList({"やめる", "削除する"}));
    }
    QCOMPARE(store->List()->size(), 3u);
    {
      Answer yes("削除する");
      QTest::keyClick(w->lstPeople, Qt::Key_Delete);
      QVERIFY(!yes.text.isEmpty());
    }
    QCOMPARE(store->List()->size(), 2u);
    QCOMPARE(Column(*w, PeopleModel::Name), QStringList({"ヤマモト花子", "山田 太郎"}));
    QCOMPARE(w->lstPeople->currentIndex().row(), 1);  // the next takes its place

    // Another program holds the write lock: the deletion is reported, the
    // person stays, the window goes on.
    {
      QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
      other.setDatabaseName(Path());
      QVERIFY(other.open());
      QSqlQuery hold(other);
      QVERIFY(hold.exec("BEGIN IMMEDIATE"));
      Answer yes("削除する"), ok("OK");
      QTest::mouseClick(w->btnDelete, Qt::LeftButton);
      QVERIFY2(ok.text.contains("書き込み中"), qPrintable(ok.text));
      hold.exec("ROLLBACK");
    }
    QSqlDatabase::removeDatabase("other");
    QCOMPARE(w->model()->rowCount(), 2);
    QCOMPARE(store->List()->size(), 2u);
    QTest::mouseClick(w->btnClose, Qt::LeftButton);
    QVERIFY(!w->isVisible());
  }
};

QTEST_MAIN(TestSubwindows)
#include "test_subwindows.moc"
