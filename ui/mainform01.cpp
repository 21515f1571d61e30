#include "mainform01.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QVBoxLayout>

#include "ChartNotes.h"
#include "DetailWindow.h"
#include "Fonts.h"
#include "GuideWindow.h"
#include "InputLogic.h"
#include "MomentSettingsMenu.h"
#include "MomentSettingsStore.h"
#include "place/NumberText.h"
#include "PlaceBox.h"
#include "UpDown.h"
#include "Version.h"
#include "VersionBox.h"
#include "chart/BirthMoment.h"
#include "chart/JapanTime.h"
#include "frmjpmap.h"
#include "frmpop01.h"
#include "yInput.h"

namespace torvela::ui {

namespace {

template <typename W>
W* Named(W* w, const QString& name) {
  w->setObjectName(name);
  return w;
}

}  // namespace

mainform01::mainform01(Module2& module, QWidget* parent)
    : QMainWindow(parent),
      clock([this] { return chart::JapanTimeAt(presentMoment()); }),
      endProgram([](int code) { QCoreApplication::exit(code); }),
      openSettings([] { return std::make_unique<QSettings>(); }),
      module_(module) {
  setObjectName(QStringLiteral("mainform01"));
  setWindowTitle(MainWindowCaption());
  setFont(GothicFont(10));
  BuildControls();
  BuildMenus();
  yearPicker_ = std::make_unique<yInput>(module_);
  // Ctrl+E in the picker too: it is no child of this window, whose menus
  // are locked while it is open.
  yearPicker_->addAction(endkolvan);
  // Text boxes claim Ctrl+E under X11's key bindings (end of line); ending
  // the program must win from anywhere.
  qApp->installEventFilter(this);
  connect(yearPicker_.get(), &yInput::released, this, [this] { LockInputs(false); });
  connect(yearPicker_.get(), &yInput::decided, this, &mainform01::yInput_Decided);
}

mainform01::~mainform01() = default;

void mainform01::BuildControls() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("centralWidget"));
  setCentralWidget(central);

  auto label = [central](const char* name, const QString& caption) {
    return Named(new QLabel(caption, central), QString::fromLatin1(name));
  };
  // Enter presses the focused button, as Space does.
  auto button = [central](const char* name, const QString& caption, const QString& tip) {
    auto* b = Named(new QPushButton(caption, central), QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAutoDefault(true);
    return b;
  };
  auto combo = [central](const char* name, const QString& tip, const QStringList& items) {
    auto* c = Named(new QComboBox(central), QString::fromLatin1(name));
    c->setToolTip(tip);
    c->setEditable(false);
    c->setMaxVisibleItems(16);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(3);
    c->setPlaceholderText(QStringLiteral(" "));
    c->addItems(items);
    c->setCurrentIndex(-1);
    return c;
  };

  // Birth date and time, in the order they unlock.
  yearInput = button("yearInput", QStringLiteral("年入力"), QStringLiteral("生年を入力"));
  mSelect = combo("mSelect", QStringLiteral("生月を入力"), NumberItems(1, 12));
  dSelect = combo("dSelect", QStringLiteral("生日を入力"), {});
  hSelect = combo("hSelect", QStringLiteral("生時を入力"), HourItems());
  mtSelect = combo("mtSelect", QStringLiteral("分数を入力"), MinuteItems());
  Label1 = label("Label1", QStringLiteral("月"));
  Label4 = label("Label4", QStringLiteral("日"));
  Label5 = label("Label5", QStringLiteral("時"));
  Label6 = label("Label6", QStringLiteral("分"));

  auto* dateRow = new QHBoxLayout;
  dateRow->setSpacing(4);
  dateRow->addWidget(yearInput);
  dateRow->addSpacing(8);
  for (auto [list, unit] : {std::pair{mSelect, Label1}, std::pair{dSelect, Label4},
                            std::pair{hSelect, Label5}, std::pair{mtSelect, Label6}}) {
    dateRow->addWidget(list);
    dateRow->addWidget(unit);
    dateRow->addSpacing(8);
  }
  dateRow->addStretch(1);

  // The birthplace found by name, above the time difference it writes;
  // created first, so Tab reaches it before the sex and time difference.
  lblPlace = label("lblPlace", QStringLiteral("出生地："));
  txtPlace = Named(new PlaceBox(central), QStringLiteral("txtPlace"));
  txtPlace->setToolTip(PlaceBoxTip());
  txtPlace->setPlaceholderText(QStringLiteral("地名で検索"));
  // Room for the longest prefecture and name.
  txtPlace->setFixedWidth(
      QFontMetrics(txtPlace->font()).horizontalAdvance(QStringLiteral("神奈川県横浜市保土ケ谷区")) + 14);
  lblPlacePoint = label("lblPlacePoint", QString());

  // Sex and the birthplace's time difference.
  optM = Named(new QRadioButton(QStringLiteral("男"), central), QStringLiteral("optM"));
  optW = Named(new QRadioButton(QStringLiteral("女"), central), QStringLiteral("optW"));
  optW->setChecked(true);

  Label12 = label("Label12", QStringLiteral("時差："));
  txtJisahun = Named(new QLineEdit(QStringLiteral("0"), central), QStringLiteral("txtJisahun"));
  txtJisabyo = Named(new QLineEdit(QStringLiteral("0"), central), QStringLiteral("txtJisabyo"));
  for (QLineEdit* e : {txtJisahun, txtJisabyo}) {
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    e->setFixedWidth(QFontMetrics(e->font()).horizontalAdvance(QStringLiteral("-000")) + 14);
  }
  udJisahun = Named(new UpDown(JisahunMin, JisahunMax, central), QStringLiteral("udJisahun"));
  udJisabyo = Named(new UpDown(JisabyoMin, JisabyoMax, central), QStringLiteral("udJisabyo"));
  udJisahun->setBuddy(txtJisahun);
  udJisabyo->setBuddy(txtJisabyo);
  udJisahun->setToolTip(QStringLiteral("時差の分数入力"));
  udJisabyo->setToolTip(QStringLiteral("時差の秒数入力"));
  lblhun = label("lblhun", QStringLiteral("分"));
  lblbyo = label("lblbyo", QStringLiteral("秒"));
  btnmap = button("btnmap", QStringLiteral("地図"), QStringLiteral("時差を地図で決定"));

  auto* sexRow = new QHBoxLayout;
  sexRow->setSpacing(4);
  sexRow->addWidget(optM);
  sexRow->addSpacing(6);
  sexRow->addWidget(optW);
  auto* timeRow = new QHBoxLayout;
  timeRow->setSpacing(4);
  timeRow->addWidget(txtJisahun);
  timeRow->addWidget(udJisahun);
  timeRow->addWidget(lblhun);
  timeRow->addSpacing(8);
  timeRow->addWidget(txtJisabyo);
  timeRow->addWidget(udJisabyo);
  timeRow->addWidget(lblbyo);
  timeRow->addSpacing(8);
  timeRow->addWidget(btnmap);
  timeRow->addStretch(1);
  auto* birthplaceRow = new QHBoxLayout;
  birthplaceRow->setSpacing(8);
  birthplaceRow->addWidget(txtPlace);
  birthplaceRow->addWidget(lblPlacePoint);
  birthplaceRow->addStretch(1);
  // Captions in one column, their colons aligned.
  auto* placeRows = new QGridLayout;
  placeRows->setHorizontalSpacing(4);
  placeRows->setVerticalSpacing(8);
  placeRows->addWidget(lblPlace, 0, 2, Qt::AlignRight);
  placeRows->addLayout(birthplaceRow, 0, 3);
  placeRows->addLayout(sexRow, 1, 0);
  placeRows->setColumnMinimumWidth(1, 24);
  placeRows->addWidget(Label12, 1, 2, Qt::AlignRight);
  placeRows->addLayout(timeRow, 1, 3);
  placeRows->setColumnStretch(3, 1);

  // What the time-difference boxes hold that the chart cannot read as meant;
  // under the boxes, where the command row has room.
  lblJisaHint = label("lblJisaHint", QString());
  QPalette red = lblJisaHint->palette();
  red.setColor(QPalette::WindowText, QColor(192, 0, 0));
  lblJisaHint->setPalette(red);
  lblJisaHint->setToolTip(QStringLiteral("時差は分（%1〜%2）と秒（%3〜%4）を数値で入れます。"
                                         "読めない文字は読まず、先頭の数値（なければ0）で計算します。")
                              .arg(JisahunMin).arg(JisahunMax).arg(JisabyoMin).arg(JisabyoMax));
  lblJisaHint->hide();

  // Commands.
  fInput = button("fInput", QStringLiteral("八字表示"), QStringLiteral("Torvela"));
  btnpop = button("btnpop", QStringLiteral("POP"), QStringLiteral("現表示データをPOPUP"));
  btnDetail = button("btnDetail", QStringLiteral("詳細"), QStringLiteral("命式詳細（通変星・蔵干・十二運・年運）"));
  endbtn = button("endbtn", QStringLiteral("終了"), QStringLiteral("おしまい"));
  fInput->setMinimumWidth(QFontMetrics(fInput->font()).horizontalAdvance(QStringLiteral("八字表示")) + 32);
  auto* commandRow = new QHBoxLayout;
  commandRow->addWidget(lblJisaHint);
  commandRow->addStretch(1);
  commandRow->addWidget(fInput);
  commandRow->addWidget(btnpop);
  commandRow->addWidget(btnDetail);
  commandRow->addSpacing(16);
  commandRow->addWidget(endbtn);

  auto* inputFrame = Named(new QFrame(central), QStringLiteral("inputFrame"));
  inputFrame->setFrameShape(QFrame::StyledPanel);
  auto* inputLayout = new QVBoxLayout(inputFrame);
  inputLayout->setContentsMargins(10, 10, 10, 10);
  inputLayout->setSpacing(8);
  inputLayout->addLayout(dateRow);
  inputLayout->addLayout(placeRows);
  inputLayout->addLayout(commandRow);

  // The birthday line follows the inputs, apart from the chart.
  Label7 = label("Label7", QStringLiteral("誕生日："));
  txtBirthday = ResultBox(central, QStringLiteral("txtBirthday"), QStringLiteral("2000年12月31日23時59分出生時間不明"));
  auto* birthdayRow = new QHBoxLayout;
  birthdayRow->setContentsMargins(4, 0, 4, 0);
  birthdayRow->addWidget(Label7);
  birthdayRow->addWidget(txtBirthday, 1);

  chartView = new ChartView(ChartView::Options{}, central);

  auto* page = new QVBoxLayout(central);
  page->setContentsMargins(10, 10, 10, 10);
  page->setSpacing(10);
  page->addWidget(inputFrame);
  page->addLayout(birthdayRow);
  page->addWidget(chartView, 1);

  connect(yearInput, &QPushButton::clicked, this, &mainform01::yearInput_Click);
  connect(mSelect, &QComboBox::activated, this, &mainform01::mSelect_Click);
  connect(dSelect, &QComboBox::activated, this, &mainform01::dSelect_Click);
  connect(hSelect, &QComboBox::activated, this, &mainform01::hSelect_Click);
  connect(mtSelect, &QComboBox::activated, this, &mainform01::mtSelect_Click);
  connect(fInput, &QPushButton::clicked, this, &mainform01::fInput_Click);
  connect(btnmap, &QPushButton::clicked, this, &mainform01::btnmap_Click);
  connect(btnpop, &QPushButton::clicked, this, &mainform01::btnpop_Click);
  connect(btnDetail, &QPushButton::clicked, this, &mainform01::btnDetail_Click);
  connect(endbtn, &QPushButton::clicked, this, &mainform01::endbtn_Click);
  // The birthday line follows the date inputs through birthday_data.
  connect(optM, &QRadioButton::toggled, this, &mainform01::InputsChanged);
  for (QLineEdit* box : {txtJisahun, txtJisabyo}) {
    connect(box, &QLineEdit::textChanged, this, &mainform01::InputsChanged);
    connect(box, &QLineEdit::textChanged, this, &mainform01::txtJisa_Change);
  }
  connect(txtPlace, &PlaceBox::placeChosen, this, &mainform01::txtPlace_PlaceChosen);
  connect(txtPlace, &PlaceBox::placeCleared, this, &mainform01::txtPlace_PlaceCleared);
}

void mainform01::BuildMenus() {
  auto item = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& key) {
    // Captions carry their letters as text; '&' would make an access key.
    QString text = caption;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    auto* a = Named(new QAction(text, this), QString::fromLatin1(name));
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    menu->addAction(a);
    return a;
  };
  auto separator = [this](QMenu* menu, const char* name) {
    auto* a = Named(new QAction(this), QString::fromLatin1(name));
    a->setSeparator(true);
    menu->addAction(a);
    return a;
  };
  // The letter in a menu's caption is its access key, underlined as shown
  // (full-width); Alt with the ASCII letter opens the menu, since Qt would
  // only match a full-width key.
  auto menu = [this](const char* name, const QString& caption, Qt::Key letter) {
    auto* m = Named(new QMenu(caption, this), QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
    menuBar()->addMenu(m);
    auto* open = new QShortcut(QKeySequence(Qt::ALT | letter), menuBar());
    connect(open, &QShortcut::activated, this, [this, m] { menuBar()->setActiveAction(m->menuAction()); });
    return m;
  };

  menufile = menu("menufile", QStringLiteral("ファイル（&Ｆ）"), Qt::Key_F);
  endkolvan = item(menufile, "endkolvan", QStringLiteral("Torvela終了"), QKeySequence(Qt::CTRL | Qt::Key_E));
  menutool = menu("menutool", QStringLiteral("ツール（&Ｔ）"), Qt::Key_T);
  mnuMap = item(menutool, "mnuMap", QStringLiteral("日本地図表示（M)"), QKeySequence(Qt::CTRL | Qt::Key_M));
  menuLine02 = separator(menutool, "menuLine02");
  menupop = item(menutool, "menupop", QStringLiteral("ポップアップ（Ｐ）"), QKeySequence(Qt::CTRL | Qt::Key_P));
  mnuDetail = item(menutool, "mnuDetail", QStringLiteral("命式詳細"), QKeySequence(Qt::CTRL | Qt::Key_D));
  mnuline03 = separator(menutool, "mnuline03");
  menujisa01 = item(menutool, "menujisa01", QStringLiteral("時差ゼロ"), QKeySequence(Qt::CTRL | Qt::Key_J));
  mnuline04 = separator(menutool, "mnuline04");
  momentMenu = new MomentSettingsMenu(menutool);
  menuhelp = menu("menuhelp", QStringLiteral("ヘルプ（&Ｈ）"), Qt::Key_H);
  menuguide = item(menuhelp, "menuguide", QStringLiteral("使い方"), QKeySequence(Qt::Key_F1));
  menuversion = item(menuhelp, "menuversion", QStringLiteral("バージョン情報（Ｖ）"), QKeySequence(Qt::CTRL | Qt::Key_V));

  // F10 opens the first menu, as in other desktop programs.
  auto* firstMenu = new QShortcut(QKeySequence(Qt::Key_F10), menuBar());
  connect(firstMenu, &QShortcut::activated, this,
          [this] { menuBar()->setActiveAction(menufile->menuAction()); });
  // Ending works from every window of the program, the year picker included.
  endkolvan->setShortcutContext(Qt::ApplicationShortcut);

  connect(endkolvan, &QAction::triggered, this, &mainform01::endkolvan_Click);
  connect(mnuMap, &QAction::triggered, this, &mainform01::mnuMap_Click);
  connect(menupop, &QAction::triggered, this, &mainform01::menupop_Click);
  connect(mnuDetail, &QAction::triggered, this, &mainform01::mnuDetail_Click);
  connect(momentMenu, &MomentSettingsMenu::changed, this, &mainform01::momentMenu_Change);
  connect(menujisa01, &QAction::triggered, this, &mainform01::menujisa01_Click);
  connect(menuguide, &QAction::triggered, this, &mainform01::menuguide_Click);
  connect(menuversion, &QAction::triggered, this, &mainform01::menuversion_Click);
}

bool mainform01::Form_Load(const std::filesystem::path& dataDir, QString* error) {
  // Settle the size first: centring uses it, and styled children only
  // report their size once polished.
  ensurePolished();
  for (QWidget* child : findChildren<QWidget*>()) child->ensurePolished();
  layout()->invalidate();
  layout()->activate();
  adjustSize();
  // The native window knows its frame, so the frame is what gets centred.
  winId();
  if (const QScreen* s = screen()) {
    QRect r = frameGeometry();
    r.moveCenter(s->availableGeometry().center());
    move(r.topLeft());
  }
  if (splash) {
    splash->close();
    splash->deleteLater();
  }
  for (QWidget* w : {static_cast<QWidget*>(mSelect), static_cast<QWidget*>(dSelect),
                     static_cast<QWidget*>(hSelect), static_cast<QWidget*>(mtSelect),
                     static_cast<QWidget*>(fInput)})
    w->setEnabled(false);
  try {
    module_.LoadTables(dataDir);
  } catch (const std::exception& e) {
    if (error) *error = QString::fromStdString(e.what());
    return false;
  }
  btnpop->setEnabled(false);
  menupop->setEnabled(false);
  // Without the gazetteer the time difference is still typed or taken from
  // the map; the box says why it is off.
  LoadedGazetteer loaded = LoadGazetteer(dataDir);
  gazetteer_ = std::move(loaded.gazetteer);
  const bool usable = loaded.error.isEmpty();
  txtPlace->setGazetteer(usable ? gazetteer_.get() : nullptr);
  txtPlace->setEnabled(usable);
  txtPlace->setPlaceholderText(usable ? QStringLiteral("地名で検索") : QStringLiteral("使えません"));
  for (QWidget* w : {static_cast<QWidget*>(lblPlace), static_cast<QWidget*>(txtPlace)})
    w->setToolTip(PlaceBoxTip(loaded.error));
  if (openSettings) momentMenu->SetSettings(ReadMomentSettings(*openSettings()));
  return true;
}

void mainform01::birthday_data() {
  txtBirthday->setText(BirthdayLine(module_, hSelect->currentText(), mtSelect->currentText()));
  InputsChanged();
}

ChartBirth mainform01::CurrentBirth() const {
  const place::Place* place = txtPlace->chosenPlace();
  return {txtBirthday->text(), optM->isChecked(), txtJisahun->text(), txtJisabyo->text(),
          place ? QString::fromStdString(place::QualifiedName(*place)) : QString()};
}

void mainform01::InputsChanged() {
  if (chartView->hasChart()) chartView->SetOutOfDate(CurrentBirth() != chartView->birth());
}

void mainform01::yearInput_Click() {
  yearPicker_->Open();
  LockInputs(true);
}

// The controls and menus, not the window: disabling the window would take
// its child windows, an open map or popup, along with it.
void mainform01::LockInputs(bool locked) {
  centralWidget()->setEnabled(!locked);
  menuBar()->setEnabled(!locked);
}

void mainform01::yInput_Decided() {
  birthday_data();
  mSelect->setEnabled(true);
  module_.SetMonthDays(static_cast<std::int64_t>(*module_.BirthYear));
  // The day list follows the decided year, so February offers 29 days only
  // in a leap year.
  if (module_.BirthMonth) FillDayList();
  ClampDay();
}

void mainform01::FillDayList() {
  const int shown = dSelect->currentIndex();
  const double month = module_.BirthMonth.value_or(0);
  const int length = month >= 1 && month <= 12 ? module_.MonthDays[static_cast<std::size_t>(month)] : 0;
  dSelect->clear();
  dSelect->addItems(NumberItems(1, length));
  dSelect->setCurrentIndex(shown < 0 ? -1 : std::min(shown, dSelect->count() - 1));
}

void mainform01::ClampDay() {
  if (dSelect->currentIndex() < 0) return;
  if (const auto day = ClampedDay(module_)) {
    module_.BirthDay = *day;
    dSelect->setCurrentIndex(dSelect->findText(QString::number(*day)));
  }
  birthday_data();
}

void mainform01::mSelect_Click() {
  module_.BirthMonth = PickedValue(mSelect->currentText());
  dSelect->setEnabled(true);
  FillDayList();
  birthday_data();
  ClampDay();
}

void mainform01::dSelect_Click() {
  module_.BirthDay = PickedValue(dSelect->currentText());
  birthday_data();
  hSelect->setEnabled(true);
}

void mainform01::hSelect_Click() {
  mtSelect->setEnabled(true);
  module_.BirthHour = PickedValue(hSelect->currentText());
  birthday_data();
  if (hSelect->currentText() == QStringLiteral("?")) {
    fInput->setEnabled(true);
    mtSelect->setEnabled(false);
  }
}

void mainform01::mtSelect_Click() {
  module_.BirthMinute = PickedValue(mtSelect->currentText());
  fInput->setEnabled(true);
  birthday_data();
}

void mainform01::fInput_Click() {
  if (!module_.BirthYear || !module_.BirthMonth || !module_.BirthDay) return;
  btnpop->setEnabled(true);
  menupop->setEnabled(true);
  entered_ = chart::InputFromTexts(
      *module_.BirthYear, *module_.BirthMonth, *module_.BirthDay, hSelect->currentText().toStdString(),
      mtSelect->currentText().toStdString(), optM->isChecked(),
      HalfWidthNumberText(txtJisahun->text()).toStdString(),
      HalfWidthNumberText(txtJisabyo->text()).toStdString());
  ShowBirth(CurrentBirth());
}

void mainform01::ShowBirth(const ChartBirth& birth) {
  const Tables& tables = module_.tables();
  const chart::LocalTime now = clock();
  const chart::BirthReport report = chart::ComputeBirth(*entered_, momentMenu->settings(), tables, now);
  chartView->Show(chart::MakeChartTexts(report.chart, tables), birth, MakeChartNotes(report, tables, now));
  // Shown for its own birth, the chart may still differ from the inputs.
  InputsChanged();
  if (detail_) FillDetail();
}

// A setting applies to the chart in view at once: it is recomputed for the
// birth it shows (not for inputs changed since), so a greyed chart stays
// greyed. A copy in the popup keeps what it was computed with.
void mainform01::momentMenu_Change() {
  if (openSettings) WriteMomentSettings(*openSettings(), momentMenu->settings());
  if (entered_ && chartView->hasChart()) {
    const ChartBirth shown = chartView->birth();
    ShowBirth(shown);
  }
}

void mainform01::btnmap_Click() {
  if (!map_) {
    map_ = new frmjpmap(this);
    connect(map_, &frmjpmap::decided, this, [this](const QString& minutes, const QString& seconds) {
      // Deciding the chosen place's own point keeps the place.
      if (!map_->placeHeld()) ForgetPlace();
      txtJisahun->setText(minutes);
      txtJisabyo->setText(seconds);
    });
    connect(map_, &frmjpmap::unloaded, this, [this] {
      show();
      raise();
      activateWindow();
    });
    const place::Place* place = txtPlace->chosenPlace();
    map_->SetPlace(place ? std::optional<place::Place>(*place) : std::nullopt);
  }
  map_->show();
  map_->raise();
  map_->activateWindow();
}

void mainform01::mnuMap_Click() { btnmap_Click(); }

// The popup gets a copy of the chart with the birth it was computed for,
// whatever the inputs say now, and with its notes and reading.
void mainform01::btnpop_Click() {
  ShowPopup(popup_, *this, chartView->texts(), chartView->birth(), chartView->notes());
}

void mainform01::menupop_Click() { btnpop_Click(); }

// Open before the first chart too: the window then stands blank and fills
// at the next 八字表示.
void mainform01::btnDetail_Click() {
  if (!detail_) detail_ = new DetailWindow(this);
  FillDetail();
  detail_->show();
  detail_->raise();
  detail_->activateWindow();
}

void mainform01::mnuDetail_Click() { btnDetail_Click(); }

void mainform01::FillDetail() {
  const std::optional<reading::ReadingTexts>& reading = chartView->notes().reading;
  if (chartView->hasChart() && reading) {
    detail_->Show(*reading);
    const ChartBirth& birth = chartView->birth();
    detail_->setWindowTitle(DetailWindowTitle(birth.birthday, birth.male, birth.place, false));
  } else {
    detail_->Clear();
    detail_->setWindowTitle(QString::fromUtf8(reading::DetailTitle.data(), qsizetype(reading::DetailTitle.size())));
  }
}

void mainform01::txtJisa_Change() {
  // Any other time difference than the chosen place's gives the place up,
  // however it came: typed, stepped, zeroed or decided on the map.
  const place::Place* place = txtPlace->chosenPlace();
  if (place && !writingPlace_ && !HoldsTimeDifferenceOf(*place, txtJisahun->text(), txtJisabyo->text()))
    ForgetPlace();
  const QString hint = TimeDifferenceHint(txtJisahun->text(), txtJisabyo->text());
  lblJisaHint->setText(hint);
  lblJisaHint->setVisible(!hint.isEmpty());
}

void mainform01::menujisa01_Click() {
  ForgetPlace();
  txtJisahun->setText(QStringLiteral("0"));
  txtJisabyo->setText(QStringLiteral("0"));
}

void mainform01::txtPlace_PlaceChosen(const place::Place& place) {
  const chart::TimeDifferenceTexts texts = place::TimeDifferenceOf(place);
  writingPlace_ = true;
  txtJisahun->setText(QString::fromStdString(texts.minutes));
  txtJisabyo->setText(QString::fromStdString(texts.seconds));
  writingPlace_ = false;
  lblPlacePoint->setText(PlacePointText(place));
  lblPlacePoint->setToolTip(PlacePointText(place, true));
  if (map_) map_->SetPlace(place);
  // The place is part of the birth even where the time difference was
  // already the same.
  InputsChanged();
}

void mainform01::txtPlace_PlaceCleared() {
  lblPlacePoint->clear();
  lblPlacePoint->setToolTip(QString());
  if (map_) map_->SetPlace(std::nullopt);
  InputsChanged();
}

void mainform01::ForgetPlace() {
  if (!txtPlace->chosenPlace()) return;
  txtPlace->clearPlace();
  txtPlace_PlaceCleared();
}

void mainform01::menuguide_Click() {
  if (!guide_) guide_ = new GuideWindow(GuideFile(QCoreApplication::applicationDirPath()), this);
  guide_->show();
  guide_->raise();
  guide_->activateWindow();
}

void mainform01::menuversion_Click() {
  if (!notifySound) {
    ownSound_ = MakeSystemNotifySound();
    notifySound = ownSound_.get();
  }
  ShowVersionBox(this, *notifySound);
}

void mainform01::UnloadOtherWindows() {
  if (yearPicker_) yearPicker_->close();
  if (map_) map_->close();
  if (popup_) popup_->close();
  if (guide_) guide_->close();
  if (detail_) detail_->close();
}

bool mainform01::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    const QKeyCombination key = static_cast<QKeyEvent*>(event)->keyCombination();
    // Ctrl+D (delete a character under X11's key bindings) opens 命式詳細
    // from this window's text boxes as from anywhere else in it.
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (key == endkolvan->shortcut()[0] ||
        (key == mnuDetail->shortcut()[0] && widget && widget->window() == this)) {
      event->ignore();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void mainform01::endbtn_Click() {
  UnloadOtherWindows();
  close();
}

void mainform01::endkolvan_Click() {
  UnloadOtherWindows();
  close();
}

void mainform01::closeEvent(QCloseEvent* event) {
  UnloadOtherWindows();
  event->accept();
  if (endProgram) endProgram(0);
}

}  // namespace torvela::ui
