// The birth-moment settings as items of the ツール menu: 夏時刻を補正 (a check
// item), how a clock reading before 1888 is taken and the boundary margin
// (each a submenu of exclusive check items). The items are the settings'
// only state; the window stores them and computes with them.
//
// Object names: mnuDst; menuBefore1888 with mnuBefore1888Jst,
// mnuBefore1888Lmt, mnuBefore1888Solar; menuMargin with mnuMargin10,
// mnuMargin30, mnuMargin60.
#pragma once

#include <QObject>
#include <array>

#include "chart/BirthMoment.h"

class QAction;
class QActionGroup;
class QMenu;

namespace torvela::ui {

class MomentSettingsMenu : public QObject {
  Q_OBJECT

 public:
  // Adds the items at the end of `menu`, checked for the default settings.
  explicit MomentSettingsMenu(QMenu* menu);

  // The settings the items show.
  chart::MomentSettings settings() const;
  // Checks the items for `settings` without emitting changed.
  void SetSettings(const chart::MomentSettings& settings);

  QAction* mnuDst;
  QMenu* menuBefore1888;
  QAction *mnuBefore1888Jst, *mnuBefore1888Lmt, *mnuBefore1888Solar;
  QMenu* menuMargin;
  QAction *mnuMargin10, *mnuMargin30, *mnuMargin60;

 signals:
  // A person changed a setting through the menu.
  void changed();

 private:
  std::array<QAction*, 3> before1888() const;
  std::array<QAction*, 3> margins() const;
};

}  // namespace torvela::ui
