#include "mainform01.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "Ask.h"
#include "ChartImage.h"
#include "ChartNotes.h"
#include "ControlNames.h"
#include "DetailWindow.h"
#include "Fonts.h"
#include "GuideWindow.h"
#include "InputLogic.h"
#include "Keeping.h"
#include "MomentSettingsMenu.h"
#include "MomentSettingsStore.h"
#include "PeopleWindow.h"
#include "PersonDialog.h"
#include "place/NumberText.h"
#include "PlaceBox.h"
#include "UpDown.h"
#include "Version.h"
#include "VersionBox.h"
#include "chart/BirthMoment.h"
#include "chart/JapanTime.h"
#include "reading/ChartText.h"
#include "store/Csv.h"
#include "frmjpmap.h"
#include "frmpop01.h"
#include "yInput.h"

namespace torvela::ui {

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

// The 名簿 window goes first: it refers to the 名簿, which goes with this.
mainform01::~mainform01() { delete peopleWindow_.data(); }

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
  mnuSave = item(menufile, "mnuSave", QStringLiteral("名簿に保存"), QKeySequence(Qt::CTRL | Qt::Key_S));
  mnuOpen = item(menufile, "mnuOpen", QStringLiteral("名簿を開く"), QKeySequence(Qt::CTRL | Qt::Key_O));
  mnuline05 = separator(menufile, "mnuline05");
  mnuExport = item(menufile, "mnuExport", QStringLiteral("名簿の書き出し…"), {});
  mnuImport = item(menufile, "mnuImport", QStringLiteral("名簿の読み込み…"), {});
  mnuline06 = separator(menufile, "mnuline06");
  mnuPrint = item(menufile, "mnuPrint", QStringLiteral("印刷…"), {});
  mnuPdf = item(menufile, "mnuPdf", QStringLiteral("PDFに保存…"), {});
  mnuImage = item(menufile, "mnuImage", QStringLiteral("画像として保存…"), {});
  mnuline07 = separator(menufile, "mnuline07");
  endkolvan = item(menufile, "endkolvan", QStringLiteral("Torvela終了"), QKeySequence(Qt::CTRL | Qt::Key_E));
  // Alt+E opens 編集; Ctrl+E still ends the program.
  menuedit = menu("menuedit", QStringLiteral("編集（&Ｅ）"), Qt::Key_E);
  mnuCopy = item(menuedit, "mnuCopy", QStringLiteral("命式をコピー"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  // Each command that is off says why in its tip.
  menufile->setToolTipsVisible(true);
  menuedit->setToolTipsVisible(true);
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
  connect(mnuSave, &QAction::triggered, this, &mainform01::mnuSave_Click);
  connect(mnuOpen, &QAction::triggered, this, &mainform01::mnuOpen_Click);
  connect(mnuExport, &QAction::triggered, this, &mainform01::mnuExport_Click);
  connect(mnuImport, &QAction::triggered, this, &mainform01::mnuImport_Click);
  connect(mnuPrint, &QAction::triggered, this, &mainform01::mnuPrint_Click);
  connect(mnuPdf, &QAction::triggered, this, &mainform01::mnuPdf_Click);
  connect(mnuImage, &QAction::triggered, this, &mainform01::mnuImage_Click);
  connect(mnuCopy, &QAction::triggered, this, &mainform01::mnuCopy_Click);
  peopleProblem_ = QStringLiteral("名簿が開かれていません。");
  UpdateCommands();
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
  shownInputs_ = InputsNow();
  UpdateCommands();
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
    shownInputs_.moment = KeptMoment(momentMenu->settings());
    UpdateCommands();
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
  if (peopleWindow_) peopleWindow_->close();
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

// ---- The 名簿, the printed page, the picture and the copied text ----

void mainform01::OpenPeople(const QString& path) {
  if (store_) return;
  auto opened = store::Store::Open(path.isEmpty() ? store::DefaultDatabasePath() : path);
  if (opened) {
    store_.emplace(std::move(*opened));
    peopleProblem_.clear();
  } else {
    peopleProblem_ = opened.error().message;
  }
  if (peopleWindow_) peopleWindow_->SetStore(people(), peopleProblem_);
  UpdateCommands();
}

void mainform01::ShowPeopleProblem() {
  if (store_) return;
  QMessageBox box(QMessageBox::Warning, QStringLiteral("名簿"), peopleProblem_, QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("peopleProblem"));
  box.setInformativeText(QStringLiteral("名簿を使わずに続けます。命式の表示、印刷、PDF、画像、コピーは使えます。"));
  box.exec();
}

store::BirthInputs mainform01::InputsNow() const {
  store::BirthInputs in;
  in.year = static_cast<int>(module_.BirthYear.value_or(0));
  in.month = static_cast<int>(module_.BirthMonth.value_or(0));
  in.day = static_cast<int>(module_.BirthDay.value_or(0));
  in.hour = hSelect->currentText();
  in.minute = mtSelect->currentText();
  in.sex = optM->isChecked() ? store::Sex::Male : store::Sex::Female;
  in.jisahun = txtJisahun->text();
  in.jisabyo = txtJisabyo->text();
  if (const place::Place* place = txtPlace->chosenPlace()) {
    in.placeCode = QString::fromStdString(place->code);
    in.placeName = QString::fromStdString(place::QualifiedName(*place));
  }
  in.moment = KeptMoment(momentMenu->settings());
  return in;
}

bool mainform01::FillInputs(const store::BirthInputs& in) {
  yearPicker_->Decide(in.year);
  if (!module_.BirthYear || static_cast<int>(*module_.BirthYear) != in.year) return false;
  const auto pick = [this](QComboBox* list, const QString& text, void (mainform01::*picked)()) {
    const int index = list->findText(text);
    if (index < 0 || !list->isEnabled()) return false;
    list->setCurrentIndex(index);
    (this->*picked)();
    return true;
  };
  if (!pick(mSelect, QString::number(in.month), &mainform01::mSelect_Click) ||
      !pick(dSelect, QString::number(in.day), &mainform01::dSelect_Click) ||
      !pick(hSelect, in.hour, &mainform01::hSelect_Click))
    return false;
  if (in.hour != QStringLiteral("?")) {
    if (!pick(mtSelect, in.minute, &mainform01::mtSelect_Click)) return false;
  } else {
    // After an unknown hour the minute list is off and shows what it held.
    mtSelect->setCurrentIndex(mtSelect->findText(in.minute));
    module_.BirthMinute = mtSelect->currentIndex() < 0 ? std::nullopt
                                                       : std::optional<double>(PickedValue(in.minute));
    birthday_data();
  }
  (in.sex == store::Sex::Male ? optM : optW)->setChecked(true);
  // The place writes its time difference; the kept texts follow, and give
  // the place up only where they differ from it.
  const place::Place* place = nullptr;
  if (!in.placeCode.isEmpty() && txtPlace->isEnabled() && gazetteer_) {
    const auto found = gazetteer_->FindExact(in.placeCode.toStdString());
    if (found.size() == 1) place = found.front();
  }
  ForgetPlace();
  txtPlace->clearPlace();
  if (place) txtPlace->choosePlace(*place);
  txtJisahun->setText(in.jisahun);
  txtJisabyo->setText(in.jisabyo);
  // The person's settings, as if picked in ツール (and so kept for the next run).
  const chart::MomentSettings moment = MomentOf(in.moment);
  if (KeptMoment(moment) != KeptMoment(momentMenu->settings())) {
    momentMenu->SetSettings(moment);
    if (openSettings) WriteMomentSettings(*openSettings(), moment);
  }
  return fInput->isEnabled();
}

QString mainform01::ShownName() const {
  return person_ && personChart_ && chartView->hasChart() && *personChart_ == shownInputs_ ? person_->name
                                                                                         : QString();
}

report::PageContent mainform01::ShownPage() const {
  const chart::LocalTime now = clock();
  return PageOf(chartView->birth(), chartView->texts(), chartView->notes(), ShownName(),
                QDate(now.year, now.month, now.day));
}

QString mainform01::ShownText() const {
  return QString::fromStdString(
      reading::ChartPlainText(TextOf(chartView->birth(), chartView->texts(), chartView->notes(), ShownName())));
}

void mainform01::UpdateCommands() {
  const bool kept = store_.has_value(), shown = chartView->hasChart();
  const QString noChart = QStringLiteral("八字表示で命式を出すと使えます。");
  for (QAction* a : {mnuOpen, mnuExport, mnuImport}) {
    a->setEnabled(kept);
    a->setToolTip(kept ? a->text() : peopleProblem_);
  }
  mnuSave->setEnabled(kept && shown);
  mnuSave->setToolTip(!kept ? peopleProblem_ : !shown ? noChart : QStringLiteral("表示中の命式の入力を名簿に保存します。"));
  for (QAction* a : {mnuPrint, mnuPdf, mnuImage, mnuCopy}) {
    a->setEnabled(shown);
    a->setToolTip(shown ? a->text() : noChart);
  }
  const QString name = person_ ? person_->name : QString();
  setWindowTitle(MainWindowTitle(name, person_ && ShownName().isEmpty()));
}

void mainform01::Warn(const QString& title, const QString& text) {
  QMessageBox::warning(this, title, text);
}

QString mainform01::Suggested(const QString& fileName) const {
  const QString folder = !folder_.isEmpty() ? folder_
                                            : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return fileName.isEmpty() ? folder : QDir(folder).filePath(fileName);
}

QString mainform01::AskFile(const FileQuestion& q) {
  QString path;
  if (askFile) {
    path = askFile(q);
  } else {
    QFileDialog dialog(this, q.caption, q.suggested, q.filter);
    dialog.setAcceptMode(q.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(q.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(q.suffix);
    if (q.save) dialog.selectFile(q.suggested);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) path = dialog.selectedFiles().front();
  }
  if (!path.isEmpty()) folder_ = QFileInfo(path).absolutePath();
  return path;
}

void mainform01::mnuSave_Click() {
  if (!store_ || !chartView->hasChart()) return;
  const store::Person draft = person_.value_or(store::Person{});
  PersonDialog dialog(draft, person_.has_value(), BirthSummary(chartView->birth()), this);
  if (dialog.exec() != QDialog::Accepted || dialog.choice() == PersonDialog::Cancel) return;
  store::Person person = draft;
  person.name = dialog.name();
  person.reading = dialog.reading();
  person.memo = dialog.memo();
  person.inputs = shownInputs_;
  std::optional<store::Expected<store::Person>> saved;
  if (dialog.choice() == PersonDialog::Update) {
    saved = store_->Update(person);
    // Deleted meanwhile: kept again as a new person.
    if (!*saved && saved->error().problem == store::Problem::NotFound) saved.reset();
  } else {
    auto same = store_->FindByName(person.name);
    if (same && !same->empty()) {
      if (!Ask(this, {.objectName = QStringLiteral("askSameName"),
                      .title = QStringLiteral("名簿"),
                      .text = QStringLiteral("名簿にはもう「%1」がいます。同じ名前でもう一人追加しますか？").arg(person.name),
                      .informative = {},
                      .detailed = {},
                      .yes = QStringLiteral("追加する"),
                      .no = QStringLiteral("やめる"),
                      .yesRole = QMessageBox::AcceptRole}))
        return;
    }
  }
  if (!saved) {
    person.id = 0;
    person.created = person.updated = QDateTime();
    saved = store_->Add(person);
  }
  if (!*saved) return Warn(QStringLiteral("名簿"), saved->error().message);
  person_ = saved->value();
  personChart_ = shownInputs_;
  UpdateCommands();
  if (peopleWindow_) peopleWindow_->Reload();
}

void mainform01::mnuOpen_Click() {
  if (!store_) return;
  if (!peopleWindow_) {
    peopleWindow_ = new PeopleWindow(this);
    connect(peopleWindow_, &PeopleWindow::personChosen, this, &mainform01::PeopleWindow_PersonChosen);
    peopleWindow_->SetStore(people(), peopleProblem_);
  } else {
    peopleWindow_->Reload();
  }
  peopleWindow_->show();
  peopleWindow_->raise();
  peopleWindow_->activateWindow();
}

void mainform01::PeopleWindow_PersonChosen(const store::Person& person) {
  if (const QString why = store::CheckPerson(person); !why.isEmpty())
    return Warn(QStringLiteral("名簿"), QStringLiteral("「%1」の命式は出せません：%2").arg(person.name, why));
  if (!FillInputs(person.inputs))
    return Warn(QStringLiteral("名簿"), QStringLiteral("「%1」の入力を入れ直せませんでした。").arg(person.name));
  fInput_Click();
  person_ = person;
  personChart_ = shownInputs_;
  UpdateCommands();
  show();
  raise();
  activateWindow();
}

void mainform01::mnuExport_Click() {
  if (!store_) return;
  const QString path = AskFile({true, QStringLiteral("名簿の書き出し"), Suggested(QStringLiteral("名簿.csv")),
                                QStringLiteral("CSV (*.csv)"), QStringLiteral("csv")});
  if (path.isEmpty()) return;
  const auto written = store::ExportCsvFile(*store_, path);
  if (!written) return Warn(QStringLiteral("名簿の書き出し"), written.error().message);
  QMessageBox::information(this, QStringLiteral("名簿の書き出し"),
                           QStringLiteral("%1人を書き出しました。\n%2").arg(*written).arg(QDir::toNativeSeparators(path)));
}

void mainform01::mnuImport_Click() {
  if (!store_) return;
  const QString title = QStringLiteral("名簿の読み込み");
  const QString path = AskFile({false, title, Suggested({}),
                                QStringLiteral("CSV (*.csv);;すべてのファイル (*)"), QStringLiteral("csv")});
  if (path.isEmpty()) return;
  const auto contents = store::ReadCsvFile(path);
  if (!contents) return Warn(title, contents.error().message);
  const int good = static_cast<int>(contents->good.size()), bad = static_cast<int>(contents->bad.size());
  if (good == 0 && bad == 0) {
    QMessageBox::information(this, title, QStringLiteral("このファイルには人がいません。"));
    return;
  }
  if (bad > 0) {
    if (good == 0)
      return Warn(title, QStringLiteral("読み込める行がありません。何も追加しませんでした。\n\n") + CsvProblemsText(contents->bad));
    if (!Ask(this, {.objectName = QStringLiteral("askBadRows"),
                    .title = title,
                    .text = QStringLiteral("読み込めない行が%1行あります。読み込める%2人だけを追加しますか？").arg(bad).arg(good),
                    .informative = CsvProblemsText(contents->bad),
                    .detailed = bad > 10 ? CsvProblemsText(contents->bad, bad) : QString(),
                    .yes = QStringLiteral("%1人を追加する").arg(good),
                    .no = QStringLiteral("追加しない"),
                    .yesRole = QMessageBox::AcceptRole}))
      return;
  }
  const auto added = store::AddCsvRows(*store_, *contents);
  if (!added) return Warn(title, added.error().message + QStringLiteral("\n何も追加しませんでした。"));
  if (peopleWindow_) peopleWindow_->Reload();
  QMessageBox::information(this, title, QStringLiteral("%1人を名簿に追加しました。").arg(*added));
}

void mainform01::mnuPrint_Click() {
  if (!chartView->hasChart()) return;
  const report::PageContent page = ShownPage();
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setDocName(report::PageTitle(page));
  // The page keeps its own margins: paint on the whole sheet.
  printer.setFullPage(true);
  bool go = false;
  if (askPrinter) {
    go = askPrinter(printer);
  } else {
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("印刷"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    go = dialog.exec() == QDialog::Accepted;
  }
  if (!go) return;
  QPainter painter;
  if (!painter.begin(&printer))
    return Warn(QStringLiteral("印刷"), QStringLiteral("印刷を始められません。プリンターの設定を確かめてください。"));
  report::PaintPage(painter, QRectF(QPointF(0, 0), printer.paperRect(QPrinter::DevicePixel).size()), page);
  if (!painter.end()) Warn(QStringLiteral("印刷"), QStringLiteral("印刷を終えられませんでした。"));
}

void mainform01::mnuPdf_Click() {
  if (!chartView->hasChart()) return;
  const report::PageContent page = ShownPage();
  const QString path = AskFile({true, QStringLiteral("PDFに保存"), Suggested(SuggestedFileName(page.name, "pdf")),
                                QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf")});
  if (path.isEmpty()) return;
  QString error;
  if (!report::WritePdf(path, page, &error)) Warn(QStringLiteral("PDFに保存"), error);
}

void mainform01::mnuImage_Click() {
  if (!chartView->hasChart()) return;
  const QString path = AskFile({true, QStringLiteral("画像として保存"),
                                Suggested(SuggestedFileName(ShownName(), "png")), QStringLiteral("PNG (*.png)"),
                                QStringLiteral("png")});
  if (path.isEmpty()) return;
  // The picture is of the chart, not of the grey that says the inputs moved on.
  const bool outOfDate = chartView->outOfDate();
  chartView->SetOutOfDate(false);
  QString error;
  const bool saved = SaveChartPng(*chartView, path, &error);
  chartView->SetOutOfDate(outOfDate);
  if (!saved) Warn(QStringLiteral("画像として保存"), error);
}

void mainform01::mnuCopy_Click() {
  if (!chartView->hasChart()) return;
  QGuiApplication::clipboard()->setText(ShownText());
}

}  // namespace torvela::ui
