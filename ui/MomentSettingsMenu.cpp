#include "MomentSettingsMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace torvela::ui {

namespace {

constexpr std::array<chart::Before1888, 3> kBefore1888 = {
    chart::Before1888::Jst, chart::Before1888::LocalMean, chart::Before1888::TrueSolar};
constexpr std::array<int, 3> kMargins = {10, 30, 60};

QAction* CheckItem(QObject* owner, const char* name, const QString& caption) {
  auto* a = new QAction(caption, owner);
  a->setObjectName(QString::fromLatin1(name));
  a->setCheckable(true);
  return a;
}

}  // namespace

MomentSettingsMenu::MomentSettingsMenu(QMenu* menu) : QObject(menu) {
  setObjectName(QStringLiteral("momentSettings"));
  mnuDst = CheckItem(menu, "mnuDst", QStringLiteral("夏時刻を補正"));
  menu->addAction(mnuDst);

  // One submenu of exclusive items per choice.
  auto choice = [&](const char* name, const QString& title, std::array<QAction*, 3> items) {
    auto* sub = new QMenu(title, menu);
    sub->setObjectName(QString::fromLatin1(name));
    sub->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
    auto* group = new QActionGroup(sub);
    group->setExclusive(true);
    for (QAction* a : items) {
      group->addAction(a);
      sub->addAction(a);
    }
    menu->addMenu(sub);
    return sub;
  };
  mnuBefore1888Jst = CheckItem(menu, "mnuBefore1888Jst", QStringLiteral("日本標準時として読む（既定）"));
  mnuBefore1888Lmt = CheckItem(menu, "mnuBefore1888Lmt",
                               QStringLiteral("出生地の地方平均時として読む（時差を加えない）"));
  mnuBefore1888Solar = CheckItem(menu, "mnuBefore1888Solar",
                                 QStringLiteral("真太陽時として読む（時差も均時差も加えない）"));
  menuBefore1888 = choice("menuBefore1888", QStringLiteral("1888年より前の時刻"), before1888());
  mnuMargin10 = CheckItem(menu, "mnuMargin10", QStringLiteral("±10分"));
  mnuMargin30 = CheckItem(menu, "mnuMargin30", QStringLiteral("±30分（既定）"));
  mnuMargin60 = CheckItem(menu, "mnuMargin60", QStringLiteral("±60分"));
  menuMargin = choice("menuMargin", QStringLiteral("境界注意の幅"), margins());

  SetSettings({});
  // triggered: a person's pick, never SetSettings.
  for (QAction* a : {mnuDst, mnuBefore1888Jst, mnuBefore1888Lmt, mnuBefore1888Solar, mnuMargin10,
                     mnuMargin30, mnuMargin60})
    connect(a, &QAction::triggered, this, &MomentSettingsMenu::changed);
}

std::array<QAction*, 3> MomentSettingsMenu::before1888() const {
  return {mnuBefore1888Jst, mnuBefore1888Lmt, mnuBefore1888Solar};
}

std::array<QAction*, 3> MomentSettingsMenu::margins() const {
  return {mnuMargin10, mnuMargin30, mnuMargin60};
}

chart::MomentSettings MomentSettingsMenu::settings() const {
  chart::MomentSettings s;
  s.dst = mnuDst->isChecked() ? chart::DstMode::Auto : chart::DstMode::Off;
  for (std::size_t i = 0; i < 3; ++i) {
    if (before1888()[i]->isChecked()) s.before1888 = kBefore1888[i];
    if (margins()[i]->isChecked()) s.marginMinutes = kMargins[i];
  }
  return s;
}

void MomentSettingsMenu::SetSettings(const chart::MomentSettings& s) {
  mnuDst->setChecked(s.dst == chart::DstMode::Auto);
  const chart::MomentSettings fallback;
  for (std::size_t i = 0; i < 3; ++i) {
    before1888()[i]->setChecked(kBefore1888[i] == s.before1888);
    // A margin the menu does not offer shows (and is) the default.
    margins()[i]->setChecked(kMargins[i] == (chart::IsMarginAllowed(s.marginMinutes)
                                                 ? s.marginMinutes
                                                 : fallback.marginMinutes));
  }
}

}  // namespace torvela::ui
