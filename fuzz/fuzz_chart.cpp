// The whole chart over its input domain: any valid birth from 1800 to 2080,
// any hour and minute or "?", either sex, any time-difference texts and any
// present moment. Every value and text must come out well formed.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "calc/Module2.h"
#include "chart/Chart.h"
#include "fuzz/Checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvela;
  FuzzedDataProvider in(data, size);
  const int year = in.ConsumeIntegralInRange(1800, 2080);
  const int month = in.ConsumeIntegralInRange(1, 12);
  const int day = in.ConsumeIntegralInRange(1, MonthLengths(year)[static_cast<std::size_t>(month)]);
  const int hour = in.ConsumeIntegralInRange(0, 24);      // 24 stands for "?"
  const int minute = in.ConsumeIntegralInRange(0, 60);    // 60 stands for "?"
  const bool male = in.ConsumeBool();
  chart::LocalTime now;
  now.year = in.ConsumeIntegralInRange(1, 9999);
  now.month = in.ConsumeIntegralInRange(1, 12);
  now.day = in.ConsumeIntegralInRange(
      1, MonthLengths(now.year)[static_cast<std::size_t>(now.month)]);
  now.hour = in.ConsumeIntegralInRange(0, 23);
  now.minute = in.ConsumeIntegralInRange(0, 59);
  const std::string jisahun = in.ConsumeRandomLengthString(80);
  const std::string jisabyo = in.ConsumeRandomLengthString(80);

  const std::string hourText = hour == 24 ? "?" : std::to_string(hour);
  const std::string minuteText = minute == 60 ? "?" : std::to_string(minute);
  const chart::ChartInput input =
      chart::InputFromTexts(year, month, day, hourText, minuteText, male, jisahun, jisabyo);
  const Tables& tables = fuzz::ShippedTables();
  const chart::ChartResult r = chart::ComputeChart(input, tables, now);
  fuzz::CheckChart(input, r, chart::MakeChartTexts(r, tables), tables);
  return 0;
}
