// Random actions of a person on the real windows, checking after each one
// that the windows still agree with each other and with the chart
// computation. TORVELA_SOAK_SEED and TORVELA_SOAK_ACTIONS replay a run; the
// last actions are printed with any failure.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <QWindow>
#include <chrono>
#include <deque>
#include <optional>
#include <random>

#include "InputLogic.h"
#include "MapPicture.h"
#include "UpDown.h"
#include "mainform01.h"
#include "yInput.h"

using torvela::Module2;
using torvela::chart::LocalTime;
using namespace torvela::ui;

namespace {

constexpr quint64 kDefaultSeed = 20261206;
// Under AddressSanitizer with slow unwinding every allocation of a repaint
// costs dearly (about 25 actions/s against 1000), so its default is smaller.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kDefaultActions = 2500;
#else
constexpr int kDefaultActions = 10000;
#endif

quint64 EnvNumber(const char* name, quint64 fallback) {
  bool ok = false;
  const quint64 v = qEnvironmentVariable(name).toULongLong(&ok);
  return ok ? v : fallback;
}

class CountingSound : public NotifySound {
 public:
  void PlaySync() override { ++plays; }
  int plays = 0;
};

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int MonthLength(int year, int month) {
  static constexpr int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && LeapYear(year) ? 29 : kDays[month];
}

QString Shown(const QWidget* w) {
  if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
  return static_cast<const QLineEdit*>(w)->text();
}

// The chart's controls, resolved once per window.
struct ChartControls {
  std::vector<std::pair<QString, QWidget*>> items;
  std::array<QLabel*, 11> kan{}, shi{};
};

}  // namespace

// Two warnings would drown the report: the offscreen platform cannot raise
// windows, and Qt Test notes every key a (disabled) widget ignores.
static QtMessageHandler previousHandler = nullptr;
static void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("does not support raise()")) ||
      message.contains(QLatin1String("not accepted by receiving widget")) ||
      message.contains(QLatin1String("does not support propagateSizeHints()")))
    return;
  previousHandler(type, context, message);
}

class TestSoak : public QObject {
  Q_OBJECT

 private:
  std::mt19937_64 rng;
  std::deque<QString> log;  // the last actions, for a failure report
  int actionNo = 0;

  // One run of the program, from start-up to its end.
  std::unique_ptr<Module2> module;
  std::unique_ptr<mainform01> w;
  CountingSound sound;
  LocalTime now;
  ChartControls chart;
  std::optional<int> endStatus;
  std::optional<int> decidedYear;
  bool unknownHourPicked = false;  // "?" once picked keeps the display button on
  bool displayPressed = false, popupRefreshed = false;
  std::vector<QString> shownChart;  // the last chart's texts, in Items() order
  int shownBold = -1;
  std::vector<QString> popupCopy;
  int sessions = 0, charts = 0, popups = 0, versionBoxes = 0;
  int statDisabled = 0, statReady = 0, statActive = 0;

  int Rand(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; }
  template <typename T>
  T PickOne(const std::vector<T>& v) {
    return v[static_cast<std::size_t>(Rand(0, static_cast<int>(v.size()) - 1))];
  }

  void Note(const QString& what) {
    log.push_back(QStringLiteral("#%1 %2").arg(actionNo).arg(what));
    if (log.size() > 40) log.pop_front();
  }

  static void Settle() {
    QCoreApplication::processEvents();
    // Windows discarded by their close box go now, as between two real clicks.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  void StartSession() {
    w.reset();
    module = std::make_unique<Module2>();
    w = std::make_unique<mainform01>(*module);
    now = LocalTime{Rand(1990, 2080), Rand(1, 12), Rand(1, 28), Rand(0, 23), Rand(0, 59)};
    w->clock = [this] { return now; };
    endStatus.reset();
    w->endProgram = [this](int status) { endStatus = status; };
    w->notifySound = &sound;
    QString error;
    QVERIFY2(w->Form_Load(QCoreApplication::applicationDirPath().toStdString(), &error),
             qPrintable(error));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    decidedYear.reset();
    unknownHourPicked = false;
    shownChart.clear();
    popupCopy.clear();
    connect(w->fInput, &QPushButton::clicked, this, [this] { displayPressed = true; });
    connect(w->btnpop, &QPushButton::clicked, this, [this] { popupRefreshed = true; });
    connect(w->menupop, &QAction::triggered, this, [this] { popupRefreshed = true; });
    connect(w->yearPicker(), &yInput::decided, this, [this] {
      decidedYear = static_cast<int>(PickedValue(w->yearPicker()->lblSelect_y->text()));
    });
    chart = {};
    const torvela::chart::ChartTexts blank;
    for (const auto& [name, text] : blank.Items()) {
      const QString n = QString::fromStdString(name);
      QWidget* c = w->centralWidget()->findChild<QLabel*>(n);
      if (!c) c = w->centralWidget()->findChild<QLineEdit*>(n);
      QVERIFY2(c, qPrintable(n));
      chart.items.emplace_back(n, c);
      shownChart.push_back(Shown(c));
    }
    shownBold = -1;
    for (int i = 0; i <= 10; ++i) {
      chart.kan[i] = w->dun_kan[i];
      chart.shi[i] = w->dun_shi[i];
    }
    ++sessions;
  }

  // ---- random input ------------------------------------------------------

  QString RandomText() {
    static const QStringList pieces{
        QString(), QStringLiteral("0"), QStringLiteral("-0"), QStringLiteral("－１３"),
        QStringLiteral("１２"), QStringLiteral("😀"), QStringLiteral("\u3000"), QStringLiteral("-"),
        QStringLiteral("+5"), QStringLiteral("1e5"), QStringLiteral("12.5"), QStringLiteral("-49"),
        QStringLiteral("48"), QStringLiteral("59"), QStringLiteral("60"), QStringLiteral("-50"),
        QStringLiteral("99999999999999999999999"), QStringLiteral("-1e308"), QStringLiteral("abc"),
        QStringLiteral("NaN"), QStringLiteral("inf"), QStringLiteral(" 7"), QStringLiteral("--3"),
        QStringLiteral(".5"), QStringLiteral("-.5"), QStringLiteral("0x1F"), QStringLiteral("時差"),
        QString(QChar(0xD83D)), QStringLiteral("\t"), QStringLiteral("\u0000")};
    const int kind = Rand(0, 99);
    if (kind < 2) {
      QString huge;
      const QString unit = Chance(0.5) ? QStringLiteral("9") : PickOne(std::vector<QString>(pieces.begin(), pieces.end()));
      while (huge.size() < 10000) huge += unit.isEmpty() ? QStringLiteral("7") : unit;
      return huge.left(10000);
    }
    if (kind < 40) return QString::number(Rand(-120, 120));
    QString s;
    const int n = Rand(0, 3);
    for (int i = 0; i < n; ++i) {
      if (Chance(0.2))
        s += QChar(static_cast<char16_t>(Rand(1, 0xFFFF)));
      else
        s += pieces[Rand(0, static_cast<int>(pieces.size()) - 1)];
    }
    return s;
  }

  void Wheel(QWidget* target, int delta) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent e(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &e);
  }

  void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(target, key, mods);
  }

  // Where a person's key press goes: the focus of the active window.
  QWidget* KeyTarget() {
    QWidget* active = QApplication::activeWindow();
    if (!active) return w.get();
    QWidget* focus = active->focusWidget();
    return focus ? focus : active;
  }

  void CloseBox(QWidget* window) {
    // Through the window system, as the title bar's close box arrives.
    if (QWindow* handle = window->windowHandle())
      handle->close();
    else
      window->close();
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

  std::vector<QWidget*> VisibleWindows() {
    std::vector<QWidget*> v{w.get()};
    if (w->yearPicker()->isVisible()) v.push_back(w->yearPicker());
    if (w->mapWindow() && w->mapWindow()->isVisible()) v.push_back(w->mapWindow());
    if (w->popupWindow() && w->popupWindow()->isVisible()) v.push_back(w->popupWindow());
    return v;
  }

  // ---- actions -------------------------------------------------------------

  void ClickAnyButton() {
    std::vector<QAbstractButton*> buttons;
    for (QWidget* top : VisibleWindows())
      for (QAbstractButton* b : top->findChildren<QAbstractButton*>())
        if (b->isVisible() && b != w->endbtn) buttons.push_back(b);
    QAbstractButton* b = PickOne(buttons);
    Note(QStringLiteral("click %1/%2%3")
             .arg(b->window()->objectName(), b->objectName(),
                  b->isEnabled() ? QString() : QStringLiteral(" (disabled)")));
    Touch(b);
    QTest::mouseClick(b, Qt::LeftButton);
  }

  void PickFromList() {
    std::vector<QComboBox*> lists;
    for (QComboBox* c : {w->mSelect, w->dSelect, w->hSelect, w->mtSelect})
      if (c->isEnabled() && c->count() > 0) lists.push_back(c);
    if (lists.empty()) return ClickAnyButton();
    QComboBox* c = PickOne(lists);
    Touch(c);
    const int how = Rand(0, 9);
    if (how < 6) {
      const int i = Rand(0, c->count() - 1);
      Note(QStringLiteral("pick %1 %2").arg(c->objectName(), c->itemText(i)));
      c->setCurrentIndex(i);
      emit c->activated(i);
    } else if (how < 9) {
      static const std::vector<Qt::Key> keys{Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End,
                                             Qt::Key_PageDown, Qt::Key_PageUp};
      c->setFocus();
      if (Chance(0.3)) {
        const QString digit = QString::number(Rand(0, 9));
        Note(QStringLiteral("type %1 in %2").arg(digit, c->objectName()));
        QTest::keyClicks(c, digit);
      } else {
        const Qt::Key k = PickOne(keys);
        Note(QStringLiteral("key %1 in %2").arg(k, 0, 16).arg(c->objectName()));
        Key(c, k);
      }
    } else {
      const int delta = Chance(0.5) ? 120 : -120;
      Note(QStringLiteral("wheel %1 on %2").arg(delta).arg(c->objectName()));
      Wheel(c, delta);
    }
  }

  void UseYearPicker() {
    yInput* p = w->yearPicker();
    if (!p->isVisible()) {
      if (Chance(0.5)) return PickFromList();
      Note(QStringLiteral("click yearInput"));
      Touch(w.get());
      QTest::mouseClick(w->yearInput, Qt::LeftButton);
      return;
    }
    Touch(p);
    const int how = Rand(0, 19);
    if (how < 3) {
      QPushButton* b = PickOne(std::vector<QPushButton*>{p->y1800, p->y1900, p->y2000});
      Note(QStringLiteral("click %1").arg(b->objectName()));
      QTest::mouseClick(b, Qt::LeftButton);
    } else if (how < 9 && p->List1->count() > 0) {
      const int i = Rand(0, p->List1->count() - 1);
      Note(QStringLiteral("pick year %1").arg(p->List1->item(i)->text()));
      p->List1->setCurrentRow(i);
    } else if (how < 12) {
      static const std::vector<Qt::Key> keys{Qt::Key_Down, Qt::Key_Up,  Qt::Key_Left,
                                             Qt::Key_Right, Qt::Key_End, Qt::Key_PageDown};
      const Qt::Key k = PickOne(keys);
      Note(QStringLiteral("key %1 in List1").arg(k, 0, 16));
      Key(p->List1, k);
    } else if (how < 13 && p->List1->count() > 0) {
      QListWidgetItem* item = p->List1->item(Rand(0, p->List1->count() - 1));
      p->List1->scrollToItem(item);
      Note(QStringLiteral("double-click year %1").arg(item->text()));
      QTest::mouseDClick(p->List1->viewport(), Qt::LeftButton, {},
                         p->List1->visualItemRect(item).center());
    } else if (how < 16) {
      Note(QStringLiteral("click btnSlok"));
      QTest::mouseClick(p->btnSlok, Qt::LeftButton);
    } else if (how < 17) {
      const Qt::Key k = Chance(0.5) ? Qt::Key_Return : Qt::Key_Escape;
      Note(QStringLiteral("key %1 in yInput").arg(k, 0, 16));
      Key(p, k);
    } else {
      Note(QStringLiteral("close box of yInput"));
      CloseBox(p);
    }
  }

  void TypeTimeDifference() {
    QLineEdit* e = Chance(0.5) ? w->txtJisahun : w->txtJisabyo;
    if (!e->isEnabled()) return ClickAnyButton();
    Touch(e);
    const QString text = RandomText();
    const QString shown = text.size() > 20 ? QStringLiteral("<%1 chars>").arg(text.size()) : text;
    switch (Rand(0, 4)) {
      case 0:
      case 1:
        Note(QStringLiteral("setText %1 \"%2\"").arg(e->objectName(), shown));
        e->setText(text);
        break;
      case 2:
        e->setCursorPosition(Rand(0, static_cast<int>(e->text().size())));
        Note(QStringLiteral("insert %1 \"%2\"").arg(e->objectName(), shown));
        e->insert(text);
        break;
      case 3: {
        Note(QStringLiteral("input method %1 \"%2\"").arg(e->objectName(), shown));
        QInputMethodEvent ime;
        ime.setCommitString(text);
        QApplication::sendEvent(e, &ime);
        break;
      }
      default: {
        const Qt::Key k = PickOne(std::vector<Qt::Key>{Qt::Key_Backspace, Qt::Key_Delete,
                                                       Qt::Key_Minus, Qt::Key_5, Qt::Key_Home});
        Note(QStringLiteral("key %1 in %2").arg(k, 0, 16).arg(e->objectName()));
        Key(e, k);
      }
    }
  }

  // Returns the spin control stepped, so the caller can check its box.
  UpDown* StepSpin() {
    UpDown* ud = Chance(0.5) ? w->udJisahun : w->udJisabyo;
    Touch(ud);
    const int how = Rand(0, 5);
    if (how < 2) {
      auto* b = ud->findChild<QToolButton*>(how == 0 ? QStringLiteral("upButton")
                                                      : QStringLiteral("downButton"));
      Note(QStringLiteral("click %1/%2").arg(ud->objectName(), b->objectName()));
      QTest::mouseClick(b, Qt::LeftButton);
    } else if (how < 4) {
      const Qt::Key k = how == 2 ? Qt::Key_Up : Qt::Key_Down;
      Note(QStringLiteral("key %1 in %2").arg(k, 0, 16).arg(ud->buddy()->objectName()));
      Key(ud->buddy(), k);
    } else {
      const int delta = PickOne(std::vector<int>{120, -120, 240, -360, 40, -40, 60});
      QWidget* target = how == 4 ? static_cast<QWidget*>(ud) : ud->buddy();
      Note(QStringLiteral("wheel %1 on %2").arg(delta).arg(target->objectName()));
      Wheel(target, delta);
    }
    return ud;
  }

  void UseMap() {
    frmjpmap* m = w->mapWindow();
    if (!m || !m->isVisible()) {
      if (Chance(0.5)) {
        Note(QStringLiteral("click btnmap"));
        Touch(w.get());
        QTest::mouseClick(w->btnmap, Qt::LeftButton);
      } else {
        Note(QStringLiteral("Ctrl+M"));
        Key(KeyTarget(), Qt::Key_M, Qt::ControlModifier);
      }
      return;
    }
    auto* picture = m->findChild<MapPicture*>(QStringLiteral("Picture1"));
    const int how = Rand(0, 19);
    // Mostly inside the picture, sometimes on or past its edges.
    const QPointF at = Chance(0.9) ? QPointF(Rand(0, kMapSize * 100 - 1) / 100.0,
                                             Rand(0, kMapSize * 100 - 1) / 100.0)
                                   : QPointF(PickOne(std::vector<int>{-3, 0, 499, 500, 520}),
                                             PickOne(std::vector<int>{-3, 0, 499, 500, 520}));
    if (how < 8) {
      Note(QStringLiteral("map move %1,%2").arg(at.x()).arg(at.y()));
      QMouseEvent e(QEvent::MouseMove, at, picture->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                    Qt::NoModifier);
      QApplication::sendEvent(picture, &e);
    } else if (how < 13) {
      const Qt::MouseButton button = Chance(0.7) ? Qt::LeftButton : Qt::RightButton;
      Note(QStringLiteral("map click %1 at %2,%3").arg(button).arg(at.x()).arg(at.y()));
      Touch(m);
      QTest::mouseClick(picture, button, {}, at.toPoint());
    } else if (how < 19) {
      const char* name = PickOne(std::vector<const char*>{"btndecide", "btncancel", "btnClose"});
      Note(QStringLiteral("click frmjpmap/%1").arg(name));
      Touch(m);
      QTest::mouseClick(m->findChild<QPushButton*>(name), Qt::LeftButton);
    } else {
      Note(QStringLiteral("close box of frmjpmap"));
      CloseBox(m);
    }
  }

  void UsePopup() {
    const int how = Rand(0, 5);
    frmpop01* p = w->popupWindow();
    if (how < 2 || !p || !p->isVisible()) {
      if (Chance(0.5)) {
        Note(QStringLiteral("click btnpop"));
        Touch(w.get());
        QTest::mouseClick(w->btnpop, Qt::LeftButton);
      } else {
        Note(QStringLiteral("Ctrl+P"));
        Key(KeyTarget(), Qt::Key_P, Qt::ControlModifier);
      }
    } else if (how < 4) {
      Note(QStringLiteral("click frmpop01/Command1"));
      Touch(p);
      QTest::mouseClick(p->Command1, Qt::LeftButton);
    } else {
      Note(QStringLiteral("close box of frmpop01"));
      CloseBox(p);
    }
  }

  void PressShortcut() {
    const int how = Rand(0, 79);
    const Qt::Key k = how == 0    ? Qt::Key_E
                      : how < 20  ? Qt::Key_M
                      : how < 40  ? Qt::Key_P
                      : how < 60  ? Qt::Key_J
                                  : Qt::Key_V;
    QWidget* target = KeyTarget();
    Note(QStringLiteral("Ctrl+%1 to %2").arg(QChar(k)).arg(target->objectName()));
    if (k != Qt::Key_V) return Key(target, k, Qt::ControlModifier);
    // The version box is modal: close it from a timer while it runs.
    QString title;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&title] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        title = box->windowTitle();
        box->button(QMessageBox::Ok)->click();
      }
    });
    closer.start(0);
    const int before = sound.plays;
    Key(target, k, Qt::ControlModifier);
    closer.stop();
    if (!title.isEmpty()) {
      ++versionBoxes;
      Note(QStringLiteral("version box closed"));
      if (title != QStringLiteral("バージョン情報") || sound.plays != before + 1)
        Fail(QStringLiteral("version box: title %1, %2 sounds").arg(title).arg(sound.plays - before));
    }
  }

  void ToggleSex() {
    Touch(w.get());
    if (Chance(0.7)) {
      QRadioButton* b = Chance(0.5) ? w->optM : w->optW;
      Note(QStringLiteral("click %1").arg(b->objectName()));
      QTest::mouseClick(b, Qt::LeftButton);
    } else {
      QRadioButton* b = w->optM->isChecked() ? w->optM : w->optW;
      const Qt::Key k = Chance(0.5) ? Qt::Key_Left : Qt::Key_Right;
      Note(QStringLiteral("key %1 on %2").arg(k, 0, 16).arg(b->objectName()));
      b->setFocus();
      Key(b, k);
    }
  }

  void ActivateSomeWindow() {
    QWidget* top = PickOne(VisibleWindows());
    Note(QStringLiteral("activate %1").arg(top->objectName()));
    top->raise();
    top->activateWindow();
  }

  void EndProgram() {
    const int how = Rand(0, 2);
    if (how == 0) {
      Note(QStringLiteral("click endbtn"));
      Touch(w.get());
      QTest::mouseClick(w->endbtn, Qt::LeftButton);
    } else if (how == 1) {
      Note(QStringLiteral("Ctrl+E"));
      Key(KeyTarget(), Qt::Key_E, Qt::ControlModifier);
    } else {
      Note(QStringLiteral("close box of mainform01"));
      CloseBox(w.get());
    }
  }

  // ---- invariants ----------------------------------------------------------

  QString failure;
  void Fail(const QString& what) {
    if (failure.isEmpty()) failure = what;
  }

  void CheckChart() {
    const bool male = w->optM->isChecked();
    if (!decidedYear) return Fail(QStringLiteral("chart shown without a decided year"));
    Module2 copy = *module;
    const auto input = torvela::chart::InputFromTexts(
        *decidedYear, PickedValue(w->mSelect->currentText()), PickedValue(w->dSelect->currentText()),
        w->hSelect->currentText().toStdString(), w->mtSelect->currentText().toStdString(), male,
        w->txtJisahun->text().toStdString(), w->txtJisabyo->text().toStdString());
    const auto texts = torvela::chart::MakeChartTexts(torvela::chart::ComputeChart(input, copy, now), copy);
    const auto items = texts.Items();
    shownChart.clear();
    for (std::size_t i = 0; i < items.size(); ++i) shownChart.push_back(QString::fromStdString(items[i].second));
    shownBold = texts.bold;
    ++charts;
  }

  // The chart stays as the last display press left it, whatever else happens.
  void CheckChartShown() {
    for (std::size_t i = 0; i < chart.items.size(); ++i) {
      const QString is = Shown(chart.items[i].second);
      if (is != shownChart[i])
        return Fail(QStringLiteral("%1 shows \"%2\", expected \"%3\"")
                        .arg(chart.items[i].first, is, shownChart[i]));
    }
    for (int i = 0; i <= 10; ++i)
      if (chart.kan[i]->font().bold() != (i == shownBold) || chart.shi[i]->font().bold() != (i == shownBold))
        return Fail(QStringLiteral("great-luck column %1 bold wrongly (current %2)").arg(i).arg(shownBold));
  }

  std::vector<QString> PopupContents(const QWidget& from) {
    std::vector<QString> v;
    for (const char* name : {"txtBirthday", "txtKoutai", "txtKoutaiYM", "txtKoukei", "txtAge"}) {
      auto* e = from.findChild<QLineEdit*>(QString::fromLatin1(name));
      v.push_back(e ? e->text() : QStringLiteral("<missing %1>").arg(name));
    }
    for (const char* stem : {"yKan", "yShi", "mKan", "mShi", "dKan", "dShi", "hKan", "hShi", "lblOu"}) {
      auto* l = from.findChild<QLabel*>(QString::fromLatin1(stem));
      v.push_back(l ? l->text() : QStringLiteral("<missing %1>").arg(stem));
    }
    auto array = [&](const char* stem, int n, bool bold) {
      for (int i = 0; i < n; ++i) {
        const QString name = QStringLiteral("%1_%2").arg(QLatin1String(stem)).arg(i);
        auto* l = from.findChild<QLabel*>(name);
        v.push_back(!l ? QStringLiteral("<missing %1>").arg(name)
                       : bold ? l->text() + (l->font().bold() ? QStringLiteral("*") : QString())
                              : l->text());
      }
    };
    array("sai1", 10, false);
    array("sai2", 11, false);
    array("dun_kan", 11, true);
    array("dun_shi", 11, true);
    return v;
  }

  void CheckPopup() {
    frmpop01* p = w->popupWindow();
    if (!p) {
      popupCopy.clear();
      return;
    }
    if (popupRefreshed) {
      if (!p->isVisible()) return Fail(QStringLiteral("popup not shown after POP"));
      popupCopy = PopupContents(*w);
      popupCopy.push_back(w->optM->isChecked() ? QStringLiteral("男") : QStringLiteral("女"));
      ++popups;
    }
    if (popupCopy.empty()) return;  // the one shown before was discarded
    auto is = PopupContents(*p);
    is.push_back(p->txtMW->text());
    for (std::size_t i = 0; i < is.size(); ++i)
      if (is[i] != popupCopy[i])
        return Fail(QStringLiteral("popup item %1 shows \"%2\", expected \"%3\"").arg(i).arg(is[i], popupCopy[i]));
  }

  void CheckInputs() {
    const Module2& m = *module;
    if (!w->isEnabled() && !w->yearPicker()->isVisible())
      return Fail(QStringLiteral("main window left disabled"));
    if (m.BirthYear.has_value() != decidedYear.has_value() ||
        (decidedYear && *m.BirthYear != *decidedYear))
      return Fail(QStringLiteral("BirthYear %1, decided %2")
                      .arg(BirthPartText(m.BirthYear))
                      .arg(decidedYear ? *decidedYear : -1));
    const std::array<std::pair<QComboBox*, const std::optional<double>*>, 4> lists{
        {{w->mSelect, &m.BirthMonth}, {w->dSelect, &m.BirthDay}, {w->hSelect, &m.BirthHour},
         {w->mtSelect, &m.BirthMinute}}};
    for (const auto& [list, value] : lists) {
      const bool picked = list->currentIndex() >= 0;
      if (picked != value->has_value() || (picked && **value != PickedValue(list->currentText())))
        return Fail(QStringLiteral("%1 shows \"%2\", module holds %3")
                        .arg(list->objectName(), list->currentText(), BirthPartText(*value)));
    }
    if (m.BirthMonth) {
      const int length = MonthLength(*decidedYear, static_cast<int>(*m.BirthMonth));
      if (w->dSelect->count() != length)
        return Fail(QStringLiteral("day list has %1 days, month has %2").arg(w->dSelect->count()).arg(length));
    }
    // Unlocking: each list once the one before it has a pick.
    const bool unlock[4] = {decidedYear.has_value(), m.BirthMonth.has_value(), m.BirthDay.has_value(),
                            m.BirthHour.has_value() && w->hSelect->currentText() != QStringLiteral("?")};
    const QComboBox* order[4] = {w->mSelect, w->dSelect, w->hSelect, w->mtSelect};
    for (int i = 0; i < 4; ++i)
      if (order[i]->QWidget::isEnabledTo(w.get()) != unlock[i])
        return Fail(QStringLiteral("%1 enabled %2").arg(order[i]->objectName()).arg(!unlock[i]));
    if (w->hSelect->currentText() == QStringLiteral("?")) unknownHourPicked = true;
    // A chart can be computed once the hour is unknown or a minute is picked
    // (each implies a day after a month after a year); it then stays possible.
    const bool ready = unknownHourPicked || m.BirthMinute.has_value();
    if (w->fInput->isEnabledTo(w.get()) != ready)
      return Fail(QStringLiteral("display button enabled %1").arg(!ready));
    // The line is first written when a year is decided.
    const QString line = decidedYear ? BirthdayLine(m, w->hSelect->currentText(), w->mtSelect->currentText())
                                     : QString();
    if (w->txtBirthday->text() != line)
      return Fail(QStringLiteral("birthday line \"%1\", expected \"%2\"").arg(w->txtBirthday->text(), line));
    if (frmjpmap* map = w->mapWindow()) {
      const bool decide = map->findChild<QPushButton*>(QStringLiteral("btndecide"))->isEnabledTo(map);
      const bool cancel = map->findChild<QPushButton*>(QStringLiteral("btncancel"))->isEnabledTo(map);
      if (decide != cancel || decide != (map->pointFixed == 1))
        return Fail(QStringLiteral("map: decide %1, cancel %2, held %3").arg(decide).arg(cancel).arg(map->pointFixed));
    }
  }

  void CheckSpin(UpDown* ud, const QString& before, bool enabled) {
    const QString text = ud->buddy()->text();
    if (!enabled) {
      if (text != before) Fail(QStringLiteral("%1 stepped while disabled").arg(ud->objectName()));
      return;
    }
    bool ok = false;
    const int v = text.toInt(&ok);
    if (text != before && (!ok || v < ud->minimum() || v > ud->maximum()))
      Fail(QStringLiteral("%1 stepped to \"%2\"").arg(ud->objectName(), text));
  }

  void CheckEnded() {
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->isVisible()) return Fail(QStringLiteral("%1 still shown after the end").arg(top->objectName()));
    if (*endStatus != 0) Fail(QStringLiteral("ended with status %1").arg(*endStatus));
  }

  void OneAction() {
    displayPressed = popupRefreshed = false;
    UpDown* stepped = nullptr;
    QString spinBefore;
    bool spinEnabled = false;
    // While the picker is open the main window is locked: a person mostly
    // works in the picker then.
    const int r = w->yearPicker()->isVisible() && Chance(0.75) ? 400 : Rand(0, 999);
    if (r < 190) {
      ClickAnyButton();
    } else if (r < 360) {
      PickFromList();
    } else if (r < 480) {
      UseYearPicker();
    } else if (r < 570) {
      TypeTimeDifference();
    } else if (r < 650) {
      // Note both boxes; StepSpin picks one of them.
      const QString hun = w->txtJisahun->text(), byo = w->txtJisabyo->text();
      spinEnabled = w->isEnabled();
      stepped = StepSpin();
      spinBefore = stepped == w->udJisahun ? hun : byo;
    } else if (r < 760) {
      UseMap();
    } else if (r < 810) {
      UsePopup();
    } else if (r < 870) {
      PressShortcut();
    } else if (r < 905) {
      ToggleSex();
    } else if (r < 965) {
      Note(QStringLiteral("click fInput%1").arg(w->fInput->isEnabled() ? QString() : QStringLiteral(" (disabled)")));
      Touch(w.get());
      QTest::mouseClick(w->fInput, Qt::LeftButton);
    } else if (r < 998) {
      ActivateSomeWindow();
    } else {
      EndProgram();
    }
    Settle();

    if (endStatus) {
      CheckEnded();
      if (failure.isEmpty()) StartSession();
      if (QTest::currentTestFailed()) Fail(QStringLiteral("the program did not start again"));
      return;
    }
    if (stepped) CheckSpin(stepped, spinBefore, spinEnabled);
    if (displayPressed) CheckChart();
    if (!w->isEnabled()) ++statDisabled;
    if (w->fInput->isEnabled()) ++statReady;
    if (QApplication::activeWindow() == w.get()) ++statActive;
    CheckChartShown();
    CheckInputs();
    CheckPopup();
  }

 private slots:
  void initTestCase() { previousHandler = qInstallMessageHandler(QuietHandler); }

  void randomActions() {
    const quint64 seed = EnvNumber("TORVELA_SOAK_SEED", kDefaultSeed);
    const int actions = static_cast<int>(EnvNumber("TORVELA_SOAK_ACTIONS", kDefaultActions));
    qInfo("soak: seed %llu, %d actions (TORVELA_SOAK_SEED, TORVELA_SOAK_ACTIONS to replay)", seed,
          actions);
    rng.seed(seed);
    StartSession();
    if (QTest::currentTestFailed()) return;
    const auto start = std::chrono::steady_clock::now();
    for (actionNo = 1; actionNo <= actions; ++actionNo) {
      OneAction();
      if (!failure.isEmpty()) {
        QString report = QStringLiteral("seed %1, action %2: %3\nlast actions:\n").arg(seed).arg(actionNo).arg(failure);
        for (const QString& line : log) report += QStringLiteral("  ") + line + QLatin1Char('\n');
        QFAIL(qPrintable(report));
      }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    qInfo("soak: %d actions in %.1f s (%.0f/s); %d runs, %d charts, %d popups, %d version boxes; "
          "main window locked after %d, active after %d, ready to display after %d actions",
          actions, seconds, actions / seconds, sessions, charts, popups, versionBoxes, statDisabled,
          statActive, statReady);
    QVERIFY(charts > 0);
  }

  void cleanupTestCase() {
    w.reset();
    module.reset();
  }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
