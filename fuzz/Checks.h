// Invariants the fuzz targets assert. A violation prints what failed and
// aborts, which libFuzzer reports as a crash with the input that caused it.
#pragma once

#include <string>
#include <string_view>

#include "calc/Module2.h"
#include "chart/Chart.h"

#define FUZZ_CHECK(cond)                                                  \
  do {                                                                    \
    if (!(cond)) ::torvela::fuzz::Violated(#cond, __FILE__, __LINE__);    \
  } while (0)

namespace torvela::fuzz {

[[noreturn]] void Violated(const char* what, const char* file, int line);

bool ValidUtf8(std::string_view s);

// The shipped data files' contents, read once.
const std::string& ShippedPlanetText();
const std::string& ShippedLatitudeText();
// The tables loaded from the shipped files, for targets that need them.
const Tables& ShippedTables();
// Where the shipped gazetteer is.
std::string ShippedGazetteerPath();

// A data-file error as the user would see it: it names one of the two files,
// and, for a file that could be opened, the record and field.
void CheckDataFileError(const DataFileError& e);

// Every value and text of a chart is well formed and consistent with the
// birth it was computed for.
void CheckChart(const chart::ChartInput& in, const chart::ChartResult& r,
                const chart::ChartTexts& t, const Tables& m);

}  // namespace torvela::fuzz
