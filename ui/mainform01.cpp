#include "mainform01.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ControlNames.h"
#include "Fonts.h"
#include "InputLogic.h"
#include "UpDown.h"
#include "Version.h"
#include "VersionBox.h"
#include "frmjpmap.h"
#include "frmpop01.h"
#include "yInput.h"

namespace torvela::ui {

namespace {

chart::LocalTime SystemClock() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return {d.year(), d.month(), d.day(), t.hour(), t.minute()};
}

template <typename W>
W* Named(W* w, const QString& name) {
  w->setObjectName(name);
  return w;
}

}  // namespace

mainform01::mainform01(Module2& module, QWidget* parent)
    : QMainWindow(parent), clock(SystemClock), endProgram([](int code) { QCoreApplication::exit(code); }),
      module_(module) {
  setObjectName(QStringLiteral("mainform01"));
  setWindowTitle(MainWindowCaption());
  setFont(GothicFont(10));
  BuildControls();
  BuildMenus();
  yearPicker_ = std::make_unique<yInput>(module_, this);
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
  auto button = [central](const char* name, const QString& caption, const QString& tip) {
    auto* b = Named(new QPushButton(caption, central), QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
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
  // Read-only result boxes, sized for the longest text they show.
  auto resultBox = [central](const char* name, const QString& sample) {
    auto* e = Named(new QLineEdit(central), QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::ClickFocus);
    e->setMinimumWidth(QFontMetrics(e->font()).horizontalAdvance(sample) + 16);
    return e;
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

  auto* placeRow = new QHBoxLayout;
  placeRow->setSpacing(4);
  placeRow->addWidget(optM);
  placeRow->addSpacing(6);
  placeRow->addWidget(optW);
  placeRow->addSpacing(28);
  placeRow->addWidget(Label12);
  placeRow->addWidget(txtJisahun);
  placeRow->addWidget(udJisahun);
  placeRow->addWidget(lblhun);
  placeRow->addSpacing(8);
  placeRow->addWidget(txtJisabyo);
  placeRow->addWidget(udJisabyo);
  placeRow->addWidget(lblbyo);
  placeRow->addSpacing(8);
  placeRow->addWidget(btnmap);
  placeRow->addStretch(1);

  // Commands.
  fInput = button("fInput", QStringLiteral("八字表示"), QStringLiteral("Torvela"));
  btnpop = button("btnpop", QStringLiteral("POP"), QStringLiteral("現表示データをPOPUP"));
  endbtn = button("endbtn", QStringLiteral("終了"), QStringLiteral("おしまい"));
  fInput->setMinimumWidth(QFontMetrics(fInput->font()).horizontalAdvance(QStringLiteral("八字表示")) + 32);
  auto* commandRow = new QHBoxLayout;
  commandRow->addStretch(1);
  commandRow->addWidget(fInput);
  commandRow->addWidget(btnpop);
  commandRow->addSpacing(16);
  commandRow->addWidget(endbtn);

  auto* inputFrame = Named(new QFrame(central), QStringLiteral("inputFrame"));
  inputFrame->setFrameShape(QFrame::StyledPanel);
  auto* inputLayout = new QVBoxLayout(inputFrame);
  inputLayout->setContentsMargins(10, 10, 10, 10);
  inputLayout->setSpacing(8);
  inputLayout->addLayout(dateRow);
  inputLayout->addLayout(placeRow);
  inputLayout->addLayout(commandRow);

  // The birthday line follows the inputs, apart from the chart.
  Label7 = label("Label7", QStringLiteral("誕生日："));
  txtBirthday = resultBox("txtBirthday", QStringLiteral("2000年12月31日23時59分出生時間不明"));
  auto* birthdayRow = new QHBoxLayout;
  birthdayRow->setContentsMargins(4, 0, 4, 0);
  birthdayRow->addWidget(Label7);
  birthdayRow->addWidget(txtBirthday, 1);

  // The four pillars, right to left: year, month, day, hour; stem above branch.
  auto pillar = [&](const char* name) {
    auto* l = label(name, QString());
    l->setFont(PGothicFont(12, true));
    l->setAlignment(Qt::AlignCenter);
    const QFontMetrics fm(l->font());
    l->setMinimumSize(fm.horizontalAdvance(QStringLiteral("甲")) + 22, fm.height() + 12);
    // Each character on a light tile, as a written chart shows it.
    l->setStyleSheet(QStringLiteral("QLabel { background: palette(base); color: palette(text);"
                                    " border: 1px solid palette(mid); border-radius: 3px; }"));
    return l;
  };
  yKan = pillar("yKan");
  yShi = pillar("yShi");
  mKan = pillar("mKan");
  mShi = pillar("mShi");
  dKan = pillar("dKan");
  dShi = pillar("dShi");
  hKan = pillar("hKan");
  hShi = pillar("hShi");
  lblOu = label("lblOu", QString());
  lblOu->setMinimumWidth(QFontMetrics(lblOu->font()).horizontalAdvance(QStringLiteral("木")));
  Label11 = label("Label11", QStringLiteral("旺"));
  lblOu->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Label11->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  auto* pillars = new QGridLayout;
  pillars->setHorizontalSpacing(6);
  pillars->setVerticalSpacing(4);
  const std::array<std::pair<QLabel*, QLabel*>, 4> columns{
      {{hKan, hShi}, {dKan, dShi}, {mKan, mShi}, {yKan, yShi}}};
  for (int c = 0; c < 4; ++c) {
    pillars->addWidget(columns[c].first, 0, c);
    pillars->addWidget(columns[c].second, 1, c);
  }
  auto* ou = new QHBoxLayout;
  ou->setSpacing(0);
  ou->addStretch(1);
  ou->addWidget(lblOu);
  ou->addWidget(Label11);
  ou->addStretch(1);
  pillars->addLayout(ou, 2, 2);
  pillars->setRowStretch(3, 1);

  // The result boxes with their captions.
  Label14 = label("Label14", QStringLiteral("真太陽時："));
  Label13 = label("Label13", QStringLiteral("均時差："));
  Label9 = label("Label9", QStringLiteral("大運交替："));
  Label10 = label("Label10", QStringLiteral("交替年月："));
  Label16 = label("Label16", QStringLiteral("満"));
  Label15 = label("Label15", QStringLiteral("歳"));
  Label8 = label("Label8", QStringLiteral("視黄経："));
  txtShin = resultBox("txtShin", QStringLiteral("2000年12月31日23時59.9分"));
  txtKinjisa = resultBox("txtKinjisa", QStringLiteral("-14分15.2秒"));
  txtweek = resultBox("txtweek", QStringLiteral("水曜日"));
  txtKoutai = resultBox("txtKoutai", QStringLiteral("約10歳11カ月30日"));
  txtKoutaiYM = resultBox("txtKoutaiYM", QStringLiteral("甲年子月"));
  txtAge = resultBox("txtAge", QStringLiteral("100"));
  txtKoukei = resultBox("txtKoukei", QStringLiteral("359.999999999999"));
  txtAge->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  txtKinjisa->setFixedWidth(txtKinjisa->minimumWidth());
  txtAge->setFixedWidth(txtAge->minimumWidth());

  auto* values = new QGridLayout;
  values->setHorizontalSpacing(4);
  values->setVerticalSpacing(6);
  auto row = [values](int r, QLabel* caption, std::initializer_list<QWidget*> fields) {
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    values->addWidget(caption, r, 0);
    auto* line = new QHBoxLayout;
    line->setSpacing(4);
    for (QWidget* w : fields) line->addWidget(w);
    values->addLayout(line, r, 1);
  };
  row(0, Label14, {txtShin});
  row(1, Label13, {txtKinjisa, txtweek});
  row(2, Label9, {txtKoutai});
  row(3, Label10, {txtKoutaiYM, Label16, txtAge, Label15});
  row(4, Label8, {txtKoukei});
  values->setColumnStretch(1, 1);

  auto* upper = new QHBoxLayout;
  upper->setSpacing(24);
  upper->addLayout(pillars);
  upper->addLayout(values, 1);

  // Great luck: column 0 at the right end, 10 at the left, each with its
  // from-age, to-age, stem and branch; "大運" stands at the right.
  auto* luck = new QGridLayout;
  luck->setHorizontalSpacing(2);
  luck->setVerticalSpacing(2);
  const QFont ageFont = GothicFont(12);
  const QFont luckFont = PGothicFont(12);
  const int cellWidth = QFontMetrics(ageFont).horizontalAdvance(QStringLiteral("000")) + 10;
  auto cell = [&](const QString& name, const QFont& font) {
    auto* l = Named(new QLabel(central), name);
    l->setFont(font);
    l->setAlignment(Qt::AlignCenter);
    // Empty until the first chart, but the rows keep their height.
    l->setMinimumSize(cellWidth, QFontMetrics(font).height() + 2);
    return l;
  };
  for (int i = 0; i <= 10; ++i) {
    const int col = 10 - i;
    auto* pic = Named(new QLabel(central), QStringLiteral("Picture%1").arg(i + 1));
    pic->setFixedSize(17, 17);
    const QString image = QStringLiteral(":/images/deco%1.png").arg(i + 1, 2, 10, QLatin1Char('0'));
    // Through QIcon so that the @2x drawing is used on dense screens.
    if (QFile::exists(image)) pic->setPixmap(QIcon(image).pixmap(QSize(17, 17), devicePixelRatioF()));
    Picture[i] = pic;
    luck->addWidget(pic, 0, col, Qt::AlignCenter);
    if (i >= 1) {
      sai1[i - 1] = cell(Indexed("sai1", i - 1), ageFont);
      luck->addWidget(sai1[i - 1], 1, col);
    }
    sai2[i] = cell(Indexed("sai2", i), ageFont);
    dun_kan[i] = cell(Indexed("dun_kan", i), luckFont);
    dun_shi[i] = cell(Indexed("dun_shi", i), luckFont);
    luck->addWidget(sai2[i], 2, col);
    luck->addWidget(dun_kan[i], 3, col);
    luck->addWidget(dun_shi[i], 4, col);
  }
  Label2 = label("Label2", QStringLiteral("大"));
  Label3 = label("Label3", QStringLiteral("運"));
  for (QLabel* l : {Label2, Label3}) {
    l->setFont(PGothicFont(12, true));
    l->setAlignment(Qt::AlignCenter);
  }
  luck->addWidget(Label2, 3, 11);
  luck->addWidget(Label3, 4, 11);
  luck->setColumnMinimumWidth(11, 28);

  auto* rule = Named(new QFrame(central), QStringLiteral("resultRule"));
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);

  auto* resultFrame = Named(new QFrame(central), QStringLiteral("resultFrame"));
  resultFrame->setFrameShape(QFrame::StyledPanel);
  auto* resultLayout = new QVBoxLayout(resultFrame);
  resultLayout->setContentsMargins(14, 14, 14, 14);
  resultLayout->setSpacing(10);
  resultLayout->addLayout(upper);
  resultLayout->addWidget(rule);
  resultLayout->addLayout(luck);

  auto* page = new QVBoxLayout(central);
  page->setContentsMargins(10, 10, 10, 10);
  page->setSpacing(10);
  page->addWidget(inputFrame);
  page->addLayout(birthdayRow);
  page->addWidget(resultFrame, 1);

  connect(yearInput, &QPushButton::clicked, this, &mainform01::yearInput_Click);
  connect(mSelect, &QComboBox::activated, this, &mainform01::mSelect_Click);
  connect(dSelect, &QComboBox::activated, this, &mainform01::dSelect_Click);
  connect(hSelect, &QComboBox::activated, this, &mainform01::hSelect_Click);
  connect(mtSelect, &QComboBox::activated, this, &mainform01::mtSelect_Click);
  connect(fInput, &QPushButton::clicked, this, &mainform01::fInput_Click);
  connect(btnmap, &QPushButton::clicked, this, &mainform01::btnmap_Click);
  connect(btnpop, &QPushButton::clicked, this, &mainform01::btnpop_Click);
  connect(endbtn, &QPushButton::clicked, this, &mainform01::endbtn_Click);
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
  auto menu = [this](const char* name, const QString& caption) {
    auto* m = Named(new QMenu(caption, this), QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
    menuBar()->addMenu(m);
    return m;
  };

  menufile = menu("menufile", QStringLiteral("ファイル（Ｆ）"));
  endkolvan = item(menufile, "endkolvan", QStringLiteral("Torvela終了"), QKeySequence(Qt::CTRL | Qt::Key_E));
  menutool = menu("menutool", QStringLiteral("ツール（Ｔ）"));
  mnuMap = item(menutool, "mnuMap", QStringLiteral("日本地図表示（M)"), QKeySequence(Qt::CTRL | Qt::Key_M));
  menuLine02 = separator(menutool, "menuLine02");
  menupop = item(menutool, "menupop", QStringLiteral("ポップアップ（Ｐ）"), QKeySequence(Qt::CTRL | Qt::Key_P));
  mnuline03 = separator(menutool, "mnuline03");
  menujisa01 = item(menutool, "menujisa01", QStringLiteral("時差ゼロ"), QKeySequence(Qt::CTRL | Qt::Key_J));
  menuhelp = menu("menuhelp", QStringLiteral("ヘルプ（Ｈ）"));
  menuversion = item(menuhelp, "menuversion", QStringLiteral("バージョン情報（Ｖ）"), QKeySequence(Qt::CTRL | Qt::Key_V));

  connect(endkolvan, &QAction::triggered, this, &mainform01::endkolvan_Click);
  connect(mnuMap, &QAction::triggered, this, &mainform01::mnuMap_Click);
  connect(menupop, &QAction::triggered, this, &mainform01::menupop_Click);
  connect(menujisa01, &QAction::triggered, this, &mainform01::menujisa01_Click);
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
  return true;
}

void mainform01::birthday_data() {
  txtBirthday->setText(BirthdayLine(module_, hSelect->currentText(), mtSelect->currentText()));
}

void mainform01::yearInput_Click() {
  yearPicker_->Open();
  setEnabled(false);
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
  const chart::ChartInput input = chart::InputFromTexts(
      *module_.BirthYear, *module_.BirthMonth, *module_.BirthDay, hSelect->currentText().toStdString(),
      mtSelect->currentText().toStdString(), optM->isChecked(), txtJisahun->text().toStdString(),
      txtJisabyo->text().toStdString());
  result_ = chart::ComputeChart(input, module_.tables(), clock());
  const chart::ChartTexts texts = chart::MakeChartTexts(result_, module_.tables());
  ShowChart(texts);
  MarkCurrentLuckColumn(texts.bold);
}

void mainform01::ShowChart(const chart::ChartTexts& texts) {
  for (const auto& [name, text] : texts.Items()) {
    const QString objectName = QString::fromStdString(name);
    const QString value = QString::fromStdString(text);
    if (auto* l = centralWidget()->findChild<QLabel*>(objectName))
      l->setText(value);
    else if (auto* e = centralWidget()->findChild<QLineEdit*>(objectName))
      e->setText(value);
  }
}

void mainform01::MarkCurrentLuckColumn(int column) {
  for (int i = 0; i <= 10; ++i) {
    for (QLabel* l : {dun_kan[i], dun_shi[i]}) {
      QFont f = l->font();
      f.setBold(i == column);
      l->setFont(f);
    }
  }
}

void mainform01::btnmap_Click() {
  if (!map_) {
    map_ = new frmjpmap(this);
    connect(map_, &frmjpmap::decided, this, [this](const QString& minutes, const QString& seconds) {
      txtJisahun->setText(minutes);
      txtJisabyo->setText(seconds);
    });
    connect(map_, &frmjpmap::unloaded, this, [this] {
      show();
      raise();
      activateWindow();
    });
  }
  map_->show();
  map_->raise();
  map_->activateWindow();
}

void mainform01::mnuMap_Click() { btnmap_Click(); }

void mainform01::btnpop_Click() { ShowPopup(popup_, *this, optM->isChecked()); }

void mainform01::menupop_Click() { btnpop_Click(); }

void mainform01::menujisa01_Click() {
  txtJisahun->setText(QStringLiteral("0"));
  txtJisabyo->setText(QStringLiteral("0"));
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
