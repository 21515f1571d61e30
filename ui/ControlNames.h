// Object names of controls. A control's object name is its name in the
// program, so tests find it with findChild. The elements of a control array
// are named "dun_kan_3", "sai1_0"; the chart texts use the same form
// (ChartTexts::Items), so the windows find each element by the name the chart
// gives it.
#pragma once

#include <QString>

namespace torvela::ui {

// The object, named; for building controls in one expression.
template <typename T>
T* Named(T* object, const QString& name) {
  object->setObjectName(name);
  return object;
}
template <typename T>
T* Named(T* object, const char* name) {
  return Named(object, QString::fromLatin1(name));
}

inline QString Indexed(const char* stem, int i) {
  return QString::fromLatin1(stem) + QLatin1Char('_') + QString::number(i);
}

}  // namespace torvela::ui
