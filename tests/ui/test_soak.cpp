// Random actions of a person on the real windows, checking after each one
// that the windows still agree with each other and with the birth
// computation under the settings picked in ツール, which outlive each run of
// the program. Charts are kept in a 名簿 of the soak's own and opened again.
// TORVELA_SOAK_SEED and TORVELA_SOAK_ACTIONS replay a run; the
// last actions are printed with any failure.
#include <deque>
#include <random>

#include "BirthPlace.h"
#include "InputLogic.h"
#include "Keeping.h"
#include "MomentSettingsMenu.h"
#include "place/NumberText.h"
#include "PersonDialog.h"
#include "PlaceBox.h"
#include "UiTestSupport.h"
#include "chart/BirthMoment.h"
#include "reading/Reading.h"

using torvela::chart::LocalTime;
using namespace torvela::ui;
using namespace uitest;

namespace {

quint64 EnvNumber(const char* name, quint64 fallback) {
  bool ok = false;
  const quint64 v = qEnvironmentVariable(name).toULongLong(&ok);
  return ok ? v : fallback;
}

// Controls found by name once (looking them up after every action would
// dominate the run), read as texts with the bold great-luck column marked
// "*" and the notices as plain text.
struct Controls {
  QStringList names;
  std::vector<const QWidget*> found;
  void Find(const QWidget& window, const QStringList& n) {
    names = n, found.clear();
    for (const QString& name : n) found.push_back(window.findChild<QWidget*>(name));
  }
  QStringList Texts() const {
    QStringList v;
    for (const QWidget* c : found) {
      const auto* l = qobject_cast<const QLabel*>(c);
      if (l && l->objectName() == QLatin1String("lblNotices")) v << ShownNotices(*l).join('\n');
      else if (l) v << l->text() + (l->objectName().startsWith("dun_") && l->font().bold() ? "*" : "");
      else v << (c ? c->property("text").toString() : "<missing>");
    }
    return v;
  }
};

// The terms and notices under a chart.
const QStringList kNoteNames{"lblPrevTerm", "lblNextTerm", "lblNotices"};

// What the popup copies from the main window.
QStringList PopupNames() {
  QStringList n = QString("txtBirthday txtKoutai txtKoutaiYM txtKoukei txtAge "
                          "yKan yShi mKan mShi dKan dShi hKan hShi lblOu").split(' ');
  for (int i = 0; i <= 10; ++i)
    n << QString("sai1_%1 sai2_%1 dun_kan_%1 dun_shi_%1").arg(i).split(' ').mid(i == 10);
  return n << kNoteNames;
}

bool Same(const torvela::chart::MomentSettings& a, const torvela::chart::MomentSettings& b) {
  return a.dst == b.dst && a.before1888 == b.before1888 && a.marginMinutes == b.marginMinutes;
}

// Offscreen windows cannot be raised nor popups grab the keyboard, keys to
// disabled widgets are noted and random text lacks glyphs: all would drown
// the report.
QtMessageHandler previousHandler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  for (const char* noise : {"does not support raise()", "not accepted by receiving widget",
                            "does not support propagateSizeHints()",
                            "does not support grabbing the keyboard", "OpenType support missing"})
    if (message.contains(QLatin1String(noise))) return;
  previousHandler(type, context, message);
}

}  // namespace

class TestSoak : public MainWindowTest {
  Q_OBJECT

  std::mt19937_64 rng;
  std::deque<QString> log;  // the last actions, for a failure report
  int actionNo = 0, sessions = 0, charts = 0, popups = 0, placesChosen = 0, saves = 0, opens = 0;
  QTemporaryDir peopleDir;  // the soak's 名簿, across runs of the program
  QString failure;
  CountingSound sound;
  LocalTime now;
  std::optional<double> decidedYear;
  bool unknownHourPicked = false;  // "?" once picked keeps the display button on
  bool displayPressed = false, popupRefreshed = false;
  Controls chart, popupSource, popupShown;
  QStringList shownChart;  // what the chart must show, in Items() order
  std::optional<ChartBirth> chartBirth;  // the inputs of the last display press
  std::optional<torvela::chart::ChartInput> chartInput;  // and as the chart reads them
  QStringList popupCopy;   // what the popup must show, txtMW and txtPlace last
  torvela::chart::MomentSettings picked;  // the ツール settings, across runs of the program
  std::map<qint64, std::pair<ChartBirth, torvela::chart::MomentSettings>> kept;  // by person id
  std::unique_ptr<DetailWindow> reference;  // shows what a 命式詳細 must show
  QStringList detailBlank, detailShown, popupDetail;  // popupDetail: of the popup's copy

  int Rand(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; }
  template <typename T>
  T PickOne(const std::vector<T>& v) { return v[std::size_t(Rand(0, int(v.size()) - 1))]; }
  void Note(const QString& what) {
    log.push_back(QStringLiteral("#%1 %2").arg(actionNo).arg(what));
    if (log.size() > 40) log.pop_front();
  }
  void Fail(const QString& what) { if (failure.isEmpty()) failure = what; }

  void StartSession() {
    Unload();  // the old window goes before the module it refers to
    Load();
    if (QTest::currentTestFailed()) return;
    now = LocalTime{Rand(1990, 2080), Rand(1, 12), Rand(1, 28), Rand(0, 23), Rand(0, 59)};
    w->clock = [this] { return now; };
    w->notifySound = &sound;
    decidedYear.reset(), unknownHourPicked = false, popupCopy.clear(), chartBirth.reset();
    chartInput.reset(), popupDetail.clear(), detailShown = detailBlank;
    if (!Same(picked, w->momentMenu->settings())) Fail("settings not read back at start");
    w->OpenPeople(peopleDir.filePath(QStringLiteral("soak.sqlite")));
    if (!w->people()) Fail("名簿 not opened: " + w->peopleProblem());
    connect(w->fInput, &QPushButton::clicked, this, [this] { displayPressed = true; });
    connect(w->btnpop, &QPushButton::clicked, this, [this] { popupRefreshed = true; });
    connect(w->txtPlace, &PlaceBox::placeChosen, this, [this] { ++placesChosen; });
    connect(w->menupop, &QAction::triggered, this, [this] { popupRefreshed = true; });
    connect(w->yearPicker(), &yInput::decided, this,
            [this] { decidedYear = PickedValue(w->yearPicker()->lblSelect_y->text()); });
    QStringList names;
    for (const auto& item : torvela::chart::ChartTexts().Items()) names << QString::fromStdString(item.first);
    chart.Find(*w->centralWidget(), names << kNoteNames);
    popupSource.Find(*w, PopupNames());
    shownChart = chart.Texts();
    ++sessions;
  }

  // A click or key into a window makes it the active one first, as a window
  // manager does; a disabled window stays inactive.
  static void Touch(QWidget* widget) {
    QWidget* top = widget->window();
    if (top->isEnabled() && QApplication::activeWindow() != top) {
      top->activateWindow();
      QCoreApplication::processEvents();
    }
  }
  void Click(QWidget* target, Qt::MouseButton button = Qt::LeftButton, std::optional<QPoint> at = {}) {
    Note("click " + target->window()->objectName() + '/' + target->objectName() +
         (at ? QStringLiteral(" at %1,%2 button %3").arg(at->x()).arg(at->y()).arg(button) : QString()));
    Touch(target);
    QTest::mouseClick(target, button, {}, at.value_or(QPoint()));
  }
  // Through the window system, as the title bar's close box arrives.
  void CloseBox(QWidget* window) {
    Note(QStringLiteral("close box of %1").arg(window->objectName()));
    window->windowHandle()->close();
  }
  // Keys go where a person's keys go: the focus of the active window.
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& name) {
    QWidget* target = QApplication::activeWindow() ? QApplication::activeWindow() : w.get();
    if (target->focusWidget()) target = target->focusWidget();
    Note(QStringLiteral("%1 to %2/%3").arg(name, target->window()->objectName(), target->objectName()));
    QTest::keyClick(target, key, modifiers);
  }
  void Shortcut(Qt::Key key) { Key(key, Qt::ControlModifier, QStringLiteral("Ctrl+") + QChar(key)); }

  // Any enabled button of a shown window, the spin arrows and 男/女 included.
  void ClickAnyButton() {
    std::vector<QAbstractButton*> buttons;
    frmpop01* pop = w->popupWindow();
    for (QWidget* top : std::vector<QWidget*>{w.get(), w->yearPicker(), w->mapWindow(), pop, w->detailWindow(),
                                              pop ? pop->detailWindow() : nullptr})
      if (top && top->isVisible())
        for (QAbstractButton* b : top->findChildren<QAbstractButton*>())
          if (b->isVisible() && b->isEnabled() && b != w->endbtn) buttons.push_back(b);
    if (!buttons.empty()) Click(PickOne(buttons));
  }
  void ClickSex() { Click(Chance(0.5) ? w->optM : w->optW); }
  void ClickDisplay() { Click(w->fInput); }
  void EndProgram() { Chance(0.5) ? Click(w->endbtn) : CloseBox(w.get()); }  // Ctrl+E is a shortcut

  void PickFromList() {
    std::vector<QComboBox*> lists;
    for (QComboBox* c : {w->mSelect, w->dSelect, w->hSelect, w->mtSelect})
      if (c->isEnabled() && c->count() > 0) lists.push_back(c);
    if (lists.empty()) return ClickAnyButton();
    QComboBox* c = PickOne(lists);
    const QString item = c->itemText(Rand(0, c->count() - 1));
    Note(QStringLiteral("pick %1 %2").arg(c->objectName(), item));
    Touch(c);
    Pick(c, item);
  }

  void UseYearPicker() {
    yInput* p = w->yearPicker();
    if (!p->isVisible()) return Chance(0.5) ? PickFromList() : Click(w->yearInput);
    const int how = Rand(0, 19);
    if (how < 3) return Click(PickOne(std::vector<QPushButton*>{p->y1800, p->y1900, p->y2000}));
    if (how < 14 && p->List1->count() > 0) {
      const int i = Rand(0, p->List1->count() - 1);
      Note("pick year " + p->List1->item(i)->text());
      return p->List1->setCurrentRow(i);
    }
    how < 18 ? Click(p->btnSlok) : CloseBox(p);
  }

  QString RandomText() {
    static const QStringList pieces{QString(), "－１３", "１２", "😀", "\u3000", "-", "+5", "1e5", "12.5",
                                    " 7", "--3", "0x1F", "時差", "\t", QString(QChar(0xD83D)),
                                    "99999999999999999999999"};
    auto piece = [&] { return pieces[Rand(0, int(pieces.size()) - 1)]; };
    if (Chance(0.02)) {
      const QString unit = Chance(0.5) ? QStringLiteral("9") : piece() + QStringLiteral("7");
      return unit.repeated(10000 / int(unit.size()) + 1).left(10000);
    }
    if (Chance(0.4)) return QString::number(Rand(-120, 120));
    QString s;
    for (int n = Rand(0, 3); n > 0; --n)
      s += Chance(0.2) ? QString(QChar(char16_t(Rand(1, 0xFFFF)))) : piece();
    return s;
  }

  void TypeTimeDifference() {
    QLineEdit* e = Chance(0.5) ? w->txtJisahun : w->txtJisabyo;
    if (!e->isEnabled()) return ClickAnyButton();
    const QString text = RandomText();
    Note("type into " + e->objectName() + (text.size() > 20 ? QStringLiteral(" <%1 chars>").arg(text.size())
                                                             : " \"" + text + '"'));
    Touch(e);
    e->setText(text);
  }

  void WheelSpin() {
    QWidget* box = Chance(0.5) ? w->txtJisahun : w->txtJisabyo;
    const int delta = Chance(0.5) ? 120 : -120;
    Note(QStringLiteral("wheel %1 on %2").arg(delta).arg(box->objectName()));
    const QPointF at(box->width() / 2.0, box->height() / 2.0);
    QWheelEvent e(at, box->mapToGlobal(at), {}, {0, delta}, {}, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &e);
  }

  void UseMap() {
    frmjpmap* m = w->mapWindow();
    if (!m || !m->isVisible()) return Click(w->btnmap);
    auto* picture = m->findChild<QWidget*>(QStringLiteral("Picture1"));
    // Mostly inside the picture, sometimes on or past its edges.
    const QPoint at(Rand(-5, kMapSize + 5), Rand(-5, kMapSize + 5));
    const int how = Rand(0, 19);
    if (how >= 19) return CloseBox(m);
    if (how >= 13)
      return Click(m->findChild<QPushButton*>(PickOne(std::vector<QString>{"btndecide", "btncancel",
                                                                           "btnClose"})));
    if (how >= 8) return Click(picture, Chance(0.7) ? Qt::LeftButton : Qt::RightButton, at);
    Note(QStringLiteral("map move %1,%2").arg(at.x()).arg(at.y()));
    QMouseEvent e(QEvent::MouseMove, at, picture->mapToGlobal(at), Qt::NoButton, {}, {});
    QApplication::sendEvent(picture, &e);
  }

  // A setting picked from ツール, as a click on the item does; not while the
  // year picker locks the menus.
  void UseSettings() {
    if (!w->menuBar()->isEnabled()) return UseYearPicker();
    MomentSettingsMenu* m = w->momentMenu;
    QAction* item = PickOne(std::vector<QAction*>{m->mnuDst, m->mnuBefore1888Jst, m->mnuBefore1888Lmt,
                                                  m->mnuBefore1888Solar, m->mnuMargin10, m->mnuMargin30,
                                                  m->mnuMargin60});
    Note("menu " + item->objectName());
    item->trigger();
  }

  // 名簿に保存 (a new person, or over the one open), or 名簿を開く and a
  // random person chosen with Enter; not while the year picker locks the
  // menus. A person opened is typed back as the chart kept was, settings
  // included, and shown.
  void UsePeople() {
    if (!w->menuBar()->isEnabled()) return UseYearPicker();
    if (w->mnuSave->isEnabled() && (Chance(0.5) || kept.empty())) {
      const QString name = QStringLiteral("人%1").arg(saves);
      const bool over = w->openPerson() && Chance(0.5);
      Note(QStringLiteral("save %1 %2").arg(over ? "over" : "new", name));
      QTimer answer;
      connect(&answer, &QTimer::timeout, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) return box->defaultButton()->click();
        auto* d = qobject_cast<PersonDialog*>(modal);
        if (!d) return;
        d->txtName->setText(name);
        (over && d->btnUpdate ? d->btnUpdate : d->btnAdd)->click();
      });
      answer.start(5);
      Touch(w.get());
      Shortcut(Qt::Key_S);
      const auto person = w->openPerson() ? w->people()->Get(w->openPerson()->id) : w->people()->Get(-1);
      if (!person || person->name != name || !chartBirth) return Fail("not kept: " + name);
      kept[person->id] = {*chartBirth, picked};
      ++saves;
      return;
    }
    if (kept.empty()) return ClickAnyButton();
    Touch(w.get());
    Shortcut(Qt::Key_O);
    PeopleWindow* list = w->peopleWindow();
    if (!list || !list->isVisible()) return Fail("名簿 window not shown");
    const int row = Rand(0, list->model()->rowCount() - 1);
    list->lstPeople->setCurrentIndex(list->model()->index(row, 0));
    const torvela::store::Person person = list->model()->PersonAt(row);
    Note("open " + person.name);
    QTest::keyClick(list->lstPeople, Qt::Key_Return);
    ++opens;
    displayPressed = true;
    const auto& [birth, settings] = kept[person.id];
    // A lone surrogate typed in is not kept as it was (SQLite holds UTF-8).
    const bool exact = birth.jisahun.isValidUtf16() && birth.jisabyo.isValidUtf16();
    if ((exact && birth != CurrentBirth()) || !Same(settings, w->momentMenu->settings()))
      Fail("opened " + person.name + " with other inputs");
  }

  // 命式詳細 of the main window (its button or Ctrl+D) or of the popup,
  // and putting one away.
  void UseDetail() {
    frmpop01* p = w->popupWindow();
    const int how = Rand(0, 9);
    if (how < 3) return Click(w->btnDetail);
    if (how < 5) return Shortcut(Qt::Key_D);
    if (how < 7 && p && p->isVisible()) return Click(p->btnDetail);
    DetailWindow* d = Chance(0.5) || !p ? w->detailWindow() : p->detailWindow();
    if (!d || !d->isVisible()) return Click(w->btnDetail);
    Chance(0.5) ? Click(d->btnClose) : CloseBox(d);
  }

  // A birthplace looked up by its rōmaji and picked with the keys or the
  // mouse, or given up, or its name edited.
  void UsePlaceBox() {
    PlaceBox* box = w->txtPlace;
    if (!box->isEnabled()) return ClickAnyButton();
    QTreeWidget* list = box->lstPlaces;
    const int how = Rand(0, 9);
    if (how < 6 || !list->isVisible()) {
      const QString query = PickOne(std::vector<QString>{"sapporo", "akashi", "fuchuu", "naha", "osaka ",
                                                         "kyouto", "ou", "x", "hokkaidou kita"});
      Note("type place \"" + query + '"');
      Touch(box);
      box->setFocus();
      QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(box, query);
      for (int n = Rand(0, 3); n > 0; --n) QTest::keyClick(box, Qt::Key_Down);
      if (Chance(0.5)) return;  // the next action decides
    }
    QWidget* target = how == 9 ? static_cast<QWidget*>(box) : list;
    if (how != 9 && !list->isVisible()) return;
    if (how == 9 || Chance(0.2)) {
      Note(how == 9 ? "Backspace in the place box" : "Escape in the place list");
      return QTest::keyClick(target, how == 9 ? Qt::Key_Backspace : Qt::Key_Escape);
    }
    if (Chance(0.3) && list->topLevelItemCount() > 0) {
      QTreeWidgetItem* item = list->topLevelItem(Rand(0, list->topLevelItemCount() - 1));
      Note("click place " + item->text(0));
      return QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }
    Note("Enter in the place box");
    QTest::keyClick(box, Qt::Key_Return);
  }

  void UsePopup() {
    frmpop01* p = w->popupWindow();
    const int how = Rand(0, 5);
    if (how < 2 || !p || !p->isVisible()) return Click(w->btnpop);
    if (how < 4) return Click(p->Command1);
    CloseBox(p);
  }

  // Enter presses a focused button or decides a year; Escape puts the
  // popup, the map or the year picker away; the version box is modal and
  // the catcher closes it; ending the program is rarer.
  void PressShortcut() {
    const int how = Rand(0, 79);
    if (how < 20) {
      const int k = Rand(0, 2);
      return Key(std::array{Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}[k],
                 k == 1 ? Qt::KeypadModifier : Qt::NoModifier, std::array{"Return", "Enter", "Escape"}[k]);
    }
    if (how < 60)
      return Shortcut(how == 20 ? Qt::Key_E : PickOne(std::vector{Qt::Key_M, Qt::Key_P, Qt::Key_J, Qt::Key_D}));
    ModalCatcher catcher;
    Shortcut(Qt::Key_V);
  }

  // What a display press must show: the chart computed from the controls.
  void ExpectChart() {
    if (!decidedYear) return Fail("chart shown without a decided year");
    chartInput = torvela::chart::InputFromTexts(
        *decidedYear, PickedValue(w->mSelect->currentText()), PickedValue(w->dSelect->currentText()),
        w->hSelect->currentText().toStdString(), w->mtSelect->currentText().toStdString(),
        w->optM->isChecked(), torvela::HalfWidthNumberText(w->txtJisahun->text()).toStdString(),
        torvela::HalfWidthNumberText(w->txtJisabyo->text()).toStdString());
    chartBirth = CurrentBirth();
    ExpectReport();
    ++charts;
  }

  // The chart of the last display press under the picked settings, with its
  // terms, notices and reading.
  void ExpectReport() {
    using namespace torvela;
    const Tables& tables = module->tables();
    const auto report = chart::ComputeBirth(*chartInput, picked, tables, now);
    const auto texts = chart::MakeChartTexts(report.chart, tables);
    shownChart.clear();
    for (const auto& [name, text] : texts.Items()) {
      const QString n = QString::fromStdString(name);
      const bool bold = n.startsWith(QLatin1String("dun_")) && n.section(u'_', 2).toInt() == texts.bold;
      shownChart << QString::fromStdString(text) + (bold ? "*" : "");
    }
    QStringList notices;
    for (const std::string& n : report.notices) notices << QString::fromStdString(n);
    shownChart << QString::fromStdString(chart::TermLineText(report.prevTerm, false))
               << QString::fromStdString(chart::TermLineText(report.nextTerm, true)) << notices.join('\n');
    reference->Show(reading::MakeReadingTexts(
        reading::Read(report.chart, static_cast<int>(chartInput->year), now), tables));
    detailShown = DetailShown(*reference);
  }

  void Compare(const char* where, const Controls& c, const QStringList& is, const QStringList& expected) {
    for (int i = 0; i < is.size(); ++i)
      if (is[i] != expected[i])
        return Fail(QStringLiteral("%1 %2 shows \"%3\", expected \"%4\"")
                        .arg(where, c.names.value(i, i == c.names.size() ? "txtMW" : "txtPlace"), is[i],
                             expected[i]));
  }

  ChartBirth CurrentBirth() const {
    const torvela::place::Place* place = w->txtPlace->chosenPlace();
    return {w->txtBirthday->text(), w->optM->isChecked(), w->txtJisahun->text(), w->txtJisabyo->text(),
            place ? QString::fromStdString(torvela::place::QualifiedName(*place)) : QString()};
  }

  // After every action the windows agree with each other and with the model.
  void CheckWindows() {
    // The chart stays as the last display press left it, under the settings
    // now picked, and says it is out of date exactly while the inputs
    // describe another birth.
    Compare("chart", chart, chart.Texts(), shownChart);
    if (w->chartView->lblOutOfDate->isVisible() != (chartBirth && *chartBirth != CurrentBirth()))
      return Fail("chart marked out of date wrongly");

    // Controls and menus lock together, only while the year picker is open;
    // the module holds what the lists show; the chart can be asked for once
    // the hour is unknown or a minute picked, and stays so.
    const Module2& m = *module;
    const bool locked = !w->centralWidget()->isEnabled();
    if (locked != !w->menuBar()->isEnabled() || (locked && !w->yearPicker()->isVisible()))
      return Fail("main window locked wrongly");
    if (m.BirthYear != decidedYear)
      return Fail("BirthYear " + BirthPartText(m.BirthYear) + ", decided " + BirthPartText(decidedYear));
    const std::pair<QComboBox*, const std::optional<double>*> lists[] = {{w->mSelect, &m.BirthMonth},
        {w->dSelect, &m.BirthDay}, {w->hSelect, &m.BirthHour}, {w->mtSelect, &m.BirthMinute}};
    for (const auto& [list, value] : lists) {
      const bool isPicked = list->currentIndex() >= 0;
      if (isPicked != value->has_value() || (isPicked && **value != PickedValue(list->currentText())))
        return Fail(list->objectName() + " shows " + list->currentText() + ", module " + BirthPartText(*value));
    }
    unknownHourPicked |= w->hSelect->currentText() == "?";
    if (w->fInput->isEnabledTo(w->centralWidget()) != (unknownHourPicked || m.BirthMinute.has_value()))
      return Fail("display button on or off wrongly");

    // The popup copies the chart with the birth line and sex of its display
    // press, and its notes; each 命式詳細 shows the reading of its chart.
    if (frmpop01* p = w->popupWindow(); !p) {
      popupCopy.clear(), popupDetail.clear();  // the one shown before was discarded
    } else {
      if (popupRefreshed) {
        if (!p->isVisible() || !chartBirth) return Fail("popup not shown after POP, or before a chart");
        popupCopy = popupSource.Texts() << QString(chartBirth->male ? u'男' : u'女') << chartBirth->place;
        popupCopy[0] = chartBirth->birthday;  // txtBirthday
        popupShown.Find(*p, popupSource.names);
        popupDetail = detailShown;
        ++popups;
      }
      if (!popupCopy.isEmpty())
        Compare("popup", popupShown, popupShown.Texts() << p->txtMW->text() << p->txtPlace->text(), popupCopy);
      if (const DetailWindow* d = p->detailWindow(); d && DetailShown(*d) != popupDetail)
        return Fail("the popup's 命式詳細 shows another reading than its copy's");
    }
    if (const DetailWindow* d = w->detailWindow(); d && DetailShown(*d) != detailShown)
      return Fail("命式詳細 shows another reading than the chart's");

    // A chosen place is shown with its point and holds the time difference
    // it wrote; the map holds no place the main window has given up.
    const torvela::place::Place* place = w->txtPlace->chosenPlace();
    if (!place && (!w->lblPlacePoint->text().isEmpty() || (w->mapWindow() && w->mapWindow()->placeHeld())))
      return Fail("point shown or place held on the map without a place");
    if (place && (!HoldsTimeDifferenceOf(*place, w->txtJisahun->text(), w->txtJisabyo->text()) ||
                  w->txtPlace->text() != QString::fromStdString(torvela::place::QualifiedName(*place)) ||
                  w->lblPlacePoint->text() != PlacePointText(*place)))
      Fail("chosen place not shown, or kept with another time difference");
  }

  void OneAction() {
    displayPressed = popupRefreshed = false;
    using Action = void (TestSoak::*)();
    // Weights in thousandths.
    static const std::pair<int, Action> actions[] = {
        {40, &TestSoak::UsePlaceBox},   {150, &TestSoak::ClickAnyButton},    {170, &TestSoak::PickFromList},
        {120, &TestSoak::UseYearPicker}, {90, &TestSoak::TypeTimeDifference}, {80, &TestSoak::WheelSpin},
        {110, &TestSoak::UseMap},       {30, &TestSoak::UsePopup},           {25, &TestSoak::UseSettings},
        {20, &TestSoak::UseDetail},     {10, &TestSoak::UsePeople},          {25, &TestSoak::PressShortcut},
        {35, &TestSoak::ClickSex},      {93, &TestSoak::ClickDisplay},       {2, &TestSoak::EndProgram}};
    // While the picker is open the main window is locked: a person mostly
    // works in the picker then.
    int r = w->yearPicker()->isVisible() && Chance(0.75) ? 400 : Rand(0, 999);
    for (const auto& [weight, action] : actions)
      if ((r -= weight) < 0) {
        (this->*action)();
        break;
      }
    // Windows discarded by their close box go now, as between two real clicks.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    if (endStatus) {
      for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible()) return Fail(top->objectName() + " still shown after the end");
      if (*endStatus != 0) return Fail(QStringLiteral("ended with status %1").arg(*endStatus));
      StartSession();
      if (QTest::currentTestFailed()) Fail("the program did not start again");
      return;
    }
    const bool settingsChanged = !Same(picked, w->momentMenu->settings());
    picked = w->momentMenu->settings();
    if (displayPressed) ExpectChart();
    else if (settingsChanged && chartInput) ExpectReport();  // the chart in view follows
    CheckWindows();
  }

 private slots:
  void initTestCase() {
    previousHandler = qInstallMessageHandler(QuietHandler);
    // One settings file for every run of the program within the soak.
    settingsFile = settingsDir.filePath(QStringLiteral("soak.ini"));
    reference = std::make_unique<DetailWindow>();
    detailBlank = DetailShown(*reference);
  }

  void randomActions() {
    const quint64 seed = EnvNumber("TORVELA_SOAK_SEED", 20261206);
    const int actions = static_cast<int>(EnvNumber("TORVELA_SOAK_ACTIONS", 10000));
    qInfo("soak: seed %llu, %d actions (TORVELA_SOAK_SEED, TORVELA_SOAK_ACTIONS to replay)", seed, actions);
    rng.seed(seed);
    StartSession();
    if (QTest::currentTestFailed()) return;
    for (actionNo = 1; actionNo <= actions; ++actionNo) {
      OneAction();
      if (failure.isEmpty()) continue;
      QString report = QStringLiteral("seed %1, action %2: %3\nlast actions:\n").arg(seed).arg(actionNo).arg(failure);
      for (const QString& line : log) report += "  " + line + '\n';
      QFAIL(qPrintable(report));
    }
    qInfo("soak: %d runs, %d charts, %d popups, %d places chosen, %d saved, %d opened", sessions, charts, popups,
          placesChosen, saves, opens);
    QVERIFY(charts > 0 && placesChosen > 0 && saves > 0 && opens > 0);
  }

  void cleanupTestCase() {
    Unload();
    reference.reset();
  }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
