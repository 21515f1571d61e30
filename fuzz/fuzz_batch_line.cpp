// One torvela-cli --batch line over arbitrary bytes: the function the CLI
// calls for each line. Its output is one JSON line that reads back, carries
// the line number, and either an error or a well-formed chart.
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/ChartIo.h"
#include "cli/Json.h"
#include "fuzz/Checks.h"

namespace {

using torvela::cli::JsonValue;

std::string Text(const JsonValue& obj, const char* key) {
  const JsonValue* v = obj.Find(key);
  FUZZ_CHECK(v && v->kind == JsonValue::Kind::String);
  return v->text;
}

double Number(const JsonValue& obj, const char* key) {
  const JsonValue* v = obj.Find(key);
  FUZZ_CHECK(v && v->kind == JsonValue::Kind::Number);
  return v->number;
}

template <std::size_t N>
void Texts(const JsonValue& obj, const char* key, std::array<std::string, N>& out) {
  const JsonValue* v = obj.Find(key);
  FUZZ_CHECK(v && v->kind == JsonValue::Kind::Array && v->items.size() == N);
  for (std::size_t i = 0; i < N; ++i) {
    FUZZ_CHECK(v->items[i].kind == JsonValue::Kind::String);
    out[i] = v->items[i].text;
  }
}

template <std::size_t N>
void Numbers(const JsonValue& obj, const char* key, std::array<int, N>& out) {
  const JsonValue* v = obj.Find(key);
  FUZZ_CHECK(v && v->kind == JsonValue::Kind::Array && v->items.size() == N);
  for (std::size_t i = 0; i < N; ++i) {
    FUZZ_CHECK(v->items[i].kind == JsonValue::Kind::Number);
    out[i] = static_cast<int>(v->items[i].number);
  }
}

// The chart as written to the output line, read back into the chart types
// so that the same checks apply as to a chart computed directly.
void CheckChartJson(const JsonValue& out, const JsonValue& line) {
  using namespace torvela::chart;
  const JsonValue* texts = out.Find("texts");
  const JsonValue* result = out.Find("result");
  FUZZ_CHECK(texts && texts->kind == JsonValue::Kind::Object);
  FUZZ_CHECK(result && result->kind == JsonValue::Kind::Object);

  ChartTexts t;
  for (auto [key, field] : {std::pair{"txtAge", &t.txtAge}, {"txtweek", &t.txtweek},
                            {"txtKinjisa", &t.txtKinjisa}, {"txtShin", &t.txtShin},
                            {"txtKoukei", &t.txtKoukei}, {"yKan", &t.yKan}, {"yShi", &t.yShi},
                            {"mKan", &t.mKan}, {"mShi", &t.mShi}, {"dKan", &t.dKan},
                            {"dShi", &t.dShi}, {"hKan", &t.hKan}, {"hShi", &t.hShi},
                            {"txtKoutai", &t.txtKoutai}, {"txtKoutaiYM", &t.txtKoutaiYM},
                            {"lblOu", &t.lblOu}})
    *field = Text(*texts, key);
  Texts(*texts, "dun_kan", t.dun_kan);
  Texts(*texts, "dun_shi", t.dun_shi);
  Texts(*texts, "sai1", t.sai1);
  Texts(*texts, "sai2", t.sai2);
  t.bold = static_cast<int>(Number(out, "bold"));

  ChartResult r;
  for (auto [key, field] :
       {std::pair{"solarYear", &r.solarYear}, {"solarMonth", &r.solarMonth},
        {"solarDay", &r.solarDay}, {"solarHour", &r.solarHour}, {"solarMinute", &r.solarMinute},
        {"sunLongitude", &r.sunLongitude}, {"pillarYear", &r.pillarYear},
        {"nowJD", &r.nowJD}, {"timeDiffDays", &r.timeDiffDays},
        {"localBirthJD", &r.localBirthJD}})
    *field = Number(*result, key);
  const JsonValue* unknown = result->Find("hourUnknown");
  const JsonValue* forward = result->Find("forward");
  FUZZ_CHECK(unknown && unknown->kind == JsonValue::Kind::Bool);
  FUZZ_CHECK(forward && forward->kind == JsonValue::Kind::Bool);
  r.hourUnknown = unknown->boolean;
  r.forward = forward->boolean;
  Numbers(*result, "fromAges", r.fromAges);
  Numbers(*result, "toAges", r.toAges);
  r.currentColumn = static_cast<int>(Number(*result, "currentColumn"));

  ChartInput in;
  in.year = Number(line, "year");
  in.hourUnknown = r.hourUnknown;
  torvela::fuzz::CheckChart(in, r, t, torvela::fuzz::ShippedModule());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvela;
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  constexpr long kLine = 42;
  std::string out;
  const bool ok = cli::BatchLine(line, kLine, fuzz::ShippedModule(), {2026, 5, 1, 12, 0}, out);

  FUZZ_CHECK(!out.empty() && out.find('\n') == out.size() - 1);
  FUZZ_CHECK(fuzz::ValidUtf8(out));
  JsonValue v;
  std::string error;
  FUZZ_CHECK(cli::ParseJson(std::string_view(out).substr(0, out.size() - 1), v, error));
  FUZZ_CHECK(v.kind == JsonValue::Kind::Object);
  const JsonValue* n = v.Find("line");
  FUZZ_CHECK(n && n->kind == JsonValue::Kind::Number && n->number == kLine);
  const JsonValue* e = v.Find("error");
  FUZZ_CHECK(ok == (e == nullptr));
  if (!ok) {
    FUZZ_CHECK(e->kind == JsonValue::Kind::String && !e->text.empty());
    return 0;
  }
  // A line the CLI accepted is a JSON object with a year of 1800..2080.
  JsonValue in;
  FUZZ_CHECK(cli::ParseJson(line, in, error) && in.kind == JsonValue::Kind::Object);
  CheckChartJson(v, in);
  return 0;
}
