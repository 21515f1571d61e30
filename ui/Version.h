// The program's version and maker texts, one source each: the version comes
// from the CMake project version.
#pragma once

#include <QString>

namespace torvela::ui {

// "1.1.12": major, minor and revision as plain decimal numbers.
QString VersionText();
// The maker's name that follows the program name in the main window's caption.
QString MakerName();
// "Torvela（一般用）" followed directly by the maker's name.
QString MainWindowCaption();

}  // namespace torvela::ui
