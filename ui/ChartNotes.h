// What goes with a chart beside its texts: the sectional terms on either
// side of the birth, the notices about the moment it was computed for, and
// its reading (the 命式詳細 table). A window keeps them with the chart and
// hands them on with it, so a copied chart keeps its notices and reading.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "calc/Module2.h"
#include "chart/BirthMoment.h"
#include "reading/ReadingTexts.h"

namespace torvela::ui {

struct ChartNotes {
  // "節入り：立春 …（…前）" and "次の節：啓蟄 …（…後）"; empty when not found.
  QString prevTerm, nextTerm;
  // Plain Japanese, in reading order; none when there is nothing to say.
  QStringList notices;
  // The reading of the chart; none for a chart given without one.
  std::optional<reading::ReadingTexts> reading;
};

// The notes of a computed birth. now is the moment the chart was computed
// for (it marks the current year of the yearly luck).
ChartNotes MakeChartNotes(const chart::BirthReport& report, const Tables& tables,
                          const chart::LocalTime& now);

}  // namespace torvela::ui
