// Object names of the elements of a control array: "dun_kan_3", "sai1_0".
// The chart texts use the same form (ChartTexts::Items), so the windows find
// each element by the name the chart gives it.
#pragma once

#include <QString>

namespace torvela::ui {

inline QString Indexed(const char* stem, int i) {
  return QString::fromLatin1(stem) + QLatin1Char('_') + QString::number(i);
}

}  // namespace torvela::ui
