// Under a chart: the sectional terms before and after the birth, and the
// notices about its moment (summer time, no standard time yet, a pillar
// that changes within the margin). The notices take a fixed room that
// wraps long lines and scrolls beyond it, so a window keeps its size
// whatever chart it shows; the room is blank when there is nothing to say.
//
// Object names: lblPrevTerm, lblNextTerm, scrNotices, lblNotices.
#pragma once

#include <QFrame>

#include "ChartNotes.h"

class QLabel;
class QScrollArea;

namespace torvela::ui {

class NoticeArea : public QFrame {
  Q_OBJECT

 public:
  // Lines of notice text shown without scrolling.
  static constexpr int VisibleLines = 4;

  explicit NoticeArea(QWidget* parent = nullptr);

  // Writes the terms and the notices of one chart.
  void Show(const ChartNotes& notes);
  // Empties every line, as before the first chart.
  void Clear();

  QLabel *lblPrevTerm, *lblNextTerm;
  QScrollArea* scrNotices;
  QLabel* lblNotices;  // one notice a paragraph
};

}  // namespace torvela::ui
