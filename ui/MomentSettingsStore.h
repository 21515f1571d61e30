// The birth-moment settings (summer time, readings before 1888, the
// boundary margin) as the program keeps them between runs: three keys of a
// QSettings group, spelt as the command line spells the values. QtCore only.
#pragma once

#include <QSettings>

#include "chart/BirthMoment.h"

namespace torvela::ui {

// The settings stored in `settings`; a missing or unreadable value is the
// default.
chart::MomentSettings ReadMomentSettings(QSettings& settings);

// Stores every value of `moment` in `settings`.
void WriteMomentSettings(QSettings& settings, const chart::MomentSettings& moment);

}  // namespace torvela::ui
