#include "Fonts.h"

#include "report/Style.h"

namespace torvela::ui {

QFont GothicFont(int pointSize, bool bold) { return report::GothicFont(pointSize, bold); }

QFont PGothicFont(int pointSize, bool bold) { return report::PGothicFont(pointSize, bold); }

}  // namespace torvela::ui
