#include "cli/ChartIo.h"

#include <charconv>
#include <cstdint>

#include "calc/Numeric.h"
#include "cli/Json.h"

namespace torvela::cli {

namespace {

// Whole number from exactly the digits of text, or -1.
int Digits(std::string_view text) {
  if (text.empty() || text.size() > 4) return -1;
  int value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || text[0] == '-' ||
      text[0] == '+')
    return -1;
  return value;
}

bool ValidDate(int y, int m, int d) {
  return m >= 1 && m <= 12 && d >= 1 && d <= MonthLengths(y)[m];
}

}  // namespace

std::optional<Date> ParseDate(std::string_view t) {
  if (t.size() < 8 || t[4] != '-') return std::nullopt;
  const std::size_t dash = t.find('-', 5);
  if (dash == std::string_view::npos) return std::nullopt;
  const int y = Digits(t.substr(0, 4)), m = Digits(t.substr(5, dash - 5)),
            d = Digits(t.substr(dash + 1));
  if (y < FirstYear || y > LastYear || !ValidDate(y, m, d)) return std::nullopt;
  return Date{y, m, d};
}

std::optional<chart::LocalTime> ParseLocalTime(std::string_view t) {
  if (t.size() != 16 || t[4] != '-' || t[7] != '-' || (t[10] != 'T' && t[10] != ' ') ||
      t[13] != ':')
    return std::nullopt;
  const int y = Digits(t.substr(0, 4)), mo = Digits(t.substr(5, 2)), d = Digits(t.substr(8, 2)),
            h = Digits(t.substr(11, 2)), mi = Digits(t.substr(14, 2));
  if (y < 1 || !ValidDate(y, mo, d) || h < 0 || h > 23 || mi < 0 || mi > 59) return std::nullopt;
  return chart::LocalTime{y, mo, d, h, mi};
}

bool IsListText(std::string_view text, int max) {
  if (text == "?") return true;
  if (text.size() > 2) return false;
  const int v = Digits(text);
  return v >= 0 && v <= max;
}

chart::ChartInput InputOf(const Birth& b) {
  return chart::InputFromTexts(b.date.year, b.date.month, b.date.day, b.hour, b.minute, b.male,
                               b.jisahun, b.jisabyo);
}

namespace {

template <std::size_t N>
void AppendTextArray(std::string& out, const char* name, const std::array<std::string, N>& a) {
  out += ",\"";
  out += name;
  out += "\":[";
  for (std::size_t i = 0; i < N; ++i) {
    if (i) out += ',';
    AppendJsonString(out, a[i]);
  }
  out += ']';
}

template <std::size_t N>
void AppendIntArray(std::string& out, const char* name, const std::array<int, N>& a) {
  out += ",\"";
  out += name;
  out += "\":[";
  for (std::size_t i = 0; i < N; ++i) {
    if (i) out += ',';
    AppendJsonInt(out, a[i]);
  }
  out += ']';
}

// Writes ,"name":value for the result's fields.
struct Fields {
  std::string& out;
  bool first = true;
  void Key(const char* name) {
    if (!first) out += ',';
    first = false;
    out += '"';
    out += name;
    out += "\":";
  }
  void Number(const char* name, double x) {
    Key(name);
    AppendJsonNumber(out, x);
  }
  void Int(const char* name, std::int64_t n) {
    Key(name);
    AppendJsonInt(out, n);
  }
  void Bool(const char* name, bool b) {
    Key(name);
    out += b ? "true" : "false";
  }
  void Text(const char* name, std::string_view s) {
    Key(name);
    AppendJsonString(out, s);
  }
};

void AppendResult(std::string& out, const chart::ChartResult& r) {
  out += '{';
  Fields f{out};
  f.Number("birthDateJD", r.birthDateJD);
  f.Number("clockDayFraction", r.clockDayFraction);
  f.Number("timeDiffDays", r.timeDiffDays);
  f.Number("localBirthJD", r.localBirthJD);
  f.Number("nowJD", r.nowJD);
  f.Number("birthdayThisYearJD", r.birthdayThisYearJD);
  f.Text("ageText", r.ageText);
  f.Int("weekday", r.weekday);
  f.Number("eotMinutes", r.eotMinutes);
  f.Text("eotMinutesText", r.eotMinutesText);
  f.Text("eotSecondsText", r.eotSecondsText);
  f.Number("correctionMinutes", r.correctionMinutes);
  f.Number("solarYear", r.solarYear);
  f.Number("solarMonth", r.solarMonth);
  f.Number("solarDay", r.solarDay);
  f.Number("solarHour", r.solarHour);
  f.Number("solarMinute", r.solarMinute);
  f.Number("solarDayFraction", r.solarDayFraction);
  f.Number("lightTimeDays", r.lightTimeDays);
  f.Number("sunLongitude", r.sunLongitude);
  f.Int("solarMonthNumber", r.solarMonthNumber);
  f.Number("pillarYear", r.pillarYear);
  f.Int("yearParity", r.yearParity);
  f.Int("yearStem", r.yearStem);
  f.Int("yearBranch", r.yearBranch);
  f.Int("monthStem", r.monthStem);
  f.Int("monthBranch", r.monthBranch);
  f.Int("dayStem", r.dayStem);
  f.Int("dayBranch", r.dayBranch);
  f.Int("hourStem", r.hourStem);
  f.Int("hourBranch", r.hourBranch);
  f.Text("seasonElement", r.seasonElement);
  f.Bool("hourUnknown", r.hourUnknown);
  f.Bool("forward", r.forward);
  f.Number("startAge", r.startAge);
  f.Int("startYears", r.startYears);
  f.Int("startMonths", r.startMonths);
  f.Int("startDays", r.startDays);
  AppendIntArray(out, "luckStems", r.luckStems);
  AppendIntArray(out, "luckBranches", r.luckBranches);
  AppendIntArray(out, "fromAges", r.fromAges);
  AppendIntArray(out, "toAges", r.toAges);
  f.Int("changeYearStem", r.changeYearStem);
  f.Int("changeMonthBranch", r.changeMonthBranch);
  f.Int("currentColumn", r.currentColumn);
  out += '}';
}

}  // namespace

void AppendChartJson(std::string& out, long line, const chart::ChartTexts& t,
                     const chart::ChartResult& r) {
  out += '{';
  if (line > 0) {
    out += "\"line\":";
    AppendJsonInt(out, line);
    out += ',';
  }
  out += "\"texts\":{";
  Fields f{out};
  const std::pair<const char*, const std::string*> scalars[] = {
      {"txtAge", &t.txtAge},   {"txtweek", &t.txtweek},     {"txtKinjisa", &t.txtKinjisa},
      {"txtShin", &t.txtShin}, {"txtKoukei", &t.txtKoukei}, {"yKan", &t.yKan},
      {"yShi", &t.yShi},       {"mKan", &t.mKan},           {"mShi", &t.mShi},
      {"dKan", &t.dKan},       {"dShi", &t.dShi},           {"hKan", &t.hKan},
      {"hShi", &t.hShi},       {"txtKoutai", &t.txtKoutai}, {"txtKoutaiYM", &t.txtKoutaiYM},
      {"lblOu", &t.lblOu}};
  for (const auto& [name, text] : scalars) f.Text(name, *text);
  AppendTextArray(out, "dun_kan", t.dun_kan);
  AppendTextArray(out, "dun_shi", t.dun_shi);
  AppendTextArray(out, "sai1", t.sai1);
  AppendTextArray(out, "sai2", t.sai2);
  out += "},\"bold\":";
  AppendJsonInt(out, t.bold);
  out += ",\"result\":";
  AppendResult(out, r);
  out += '}';
}

namespace {

// Right-aligns a plain ASCII text to width cells.
std::string Pad(const std::string& s, std::size_t width) {
  return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

// A name of one double-width character in a cell of width cells.
std::string Cell(const std::string& name, std::size_t width) {
  return std::string(width - 2, ' ') + name;
}

}  // namespace

std::string ChartPlainText(const Birth& b, const chart::ChartTexts& t) {
  std::string s;
  s += "生年月日：" + std::to_string(b.date.year) + "年" + std::to_string(b.date.month) + "月" +
       std::to_string(b.date.day) + "日 ";
  if (b.hour == "?") {
    s += "時刻不明";
  } else {
    s += b.hour + "時" + (b.minute == "?" ? std::string("?") : b.minute) + "分";
  }
  s += "　" + std::string(b.male ? "男" : "女") + "　時差：" + b.jisahun + "分" + b.jisabyo + "秒\n\n";
  s += "真太陽時：" + t.txtShin + "\n";
  s += "均時差　：" + t.txtKinjisa + "　" + t.txtweek + "\n";
  s += "視黄経　：" + t.txtKoukei + "\n";
  s += "大運交替：" + t.txtKoutai + "\n";
  s += "交替年月：" + t.txtKoutaiYM + "　満" + t.txtAge + "歳\n\n";

  // Pillars right to left: year, month, day, hour, as in the window.
  s += "      " + Cell("時", 6) + Cell("日", 6) + Cell("月", 6) + Cell("年", 6) + "\n";
  s += "天干  " + Cell(t.hKan, 6) + Cell(t.dKan, 6) + Cell(t.mKan, 6) + Cell(t.yKan, 6) + "\n";
  s += "地支  " + Cell(t.hShi, 6) + Cell(t.dShi, 6) + Cell(t.mShi, 6) + Cell(t.yShi, 6) + "\n";
  s += "      " + std::string(12, ' ') + "  " + t.lblOu + "旺\n\n";

  // Great-luck columns, 10 at the left end and 0 (the month pillar) at the right.
  constexpr std::size_t w = 5;
  std::string from = "大運  ", to = "      ", kan = "      ", shi = "      ", mark = "      ";
  for (int i = 10; i >= 0; --i) {
    from += Pad(i > 0 ? t.sai1[i - 1] : std::string(), w);
    to += Pad(t.sai2[i], w);
    kan += Cell(t.dun_kan[i], w);
    shi += Cell(t.dun_shi[i], w);
    mark += i == t.bold ? std::string(" 現在") : std::string(w, ' ');
  }
  for (std::string* row : {&from, &to, &kan, &shi, &mark}) {
    while (!row->empty() && row->back() == ' ') row->pop_back();
    if (!row->empty()) s += *row + "\n";
  }
  return s;
}

namespace {

bool WholeNumber(const JsonValue* v, double lo, double hi, int& out) {
  if (!v || v->kind != JsonValue::Kind::Number) return false;
  const double x = v->number;
  if (x != Int(x) || x < lo || x > hi) return false;
  out = static_cast<int>(x);
  return true;
}

void AppendError(std::string& out, long line, std::string_view message) {
  out += "{\"line\":";
  AppendJsonInt(out, line);
  out += ",\"error\":";
  AppendJsonString(out, message);
  out += "}\n";
}

// A list text field: "?" or digits 0..max; a whole JSON number is taken too.
bool ListField(const JsonValue& obj, const char* key, int max, std::string& out) {
  const JsonValue* v = obj.Find(key);
  if (!v) return false;
  if (v->kind == JsonValue::Kind::String) {
    if (!IsListText(v->text, max)) return false;
    out = v->text;
    return true;
  }
  int n;
  if (!WholeNumber(v, 0, max, n)) return false;
  out = std::to_string(n);
  return true;
}

}  // namespace

bool BatchLine(std::string_view line, long lineNumber, const Tables& tables,
               const chart::LocalTime& defaultNow, std::string& out) {
  JsonValue obj;
  std::string error;
  if (!ParseJson(line, obj, error)) {
    AppendError(out, lineNumber, "JSON として読めません (invalid JSON: " + error + ")");
    return false;
  }
  if (obj.kind != JsonValue::Kind::Object) {
    AppendError(out, lineNumber, "オブジェクトではありません (not a JSON object)");
    return false;
  }
  auto fail = [&](const char* field, const char* what) {
    if (!obj.Find(field)) what = "ありません (missing field)";
    AppendError(out, lineNumber, std::string(field) + ": " + what);
    return false;
  };
  Birth b;
  if (!WholeNumber(obj.Find("year"), FirstYear, LastYear, b.date.year))
    return fail("year", "1800〜2080 の整数が必要です (a whole number 1800..2080 is required)");
  if (!WholeNumber(obj.Find("month"), 1, 12, b.date.month))
    return fail("month", "1〜12 の整数が必要です (a whole number 1..12 is required)");
  if (!WholeNumber(obj.Find("day"), 1, 31, b.date.day) ||
      !ValidDate(b.date.year, b.date.month, b.date.day))
    return fail("day", "暦にない日付です (date not in the calendar)");
  if (!ListField(obj, "hour", 23, b.hour))
    return fail("hour", "\"?\" か 0〜23 が必要です (\"?\" or 0..23 is required)");
  if (!ListField(obj, "minute", 59, b.minute))
    return fail("minute", "\"?\" か 0〜59 が必要です (\"?\" or 0..59 is required)");
  const JsonValue* sex = obj.Find("sex");
  if (!sex || sex->kind != JsonValue::Kind::String || (sex->text != "男" && sex->text != "女"))
    return fail("sex", "\"男\" か \"女\" が必要です (\"男\" or \"女\" is required)");
  b.male = sex->text == "男";
  for (auto [key, target] : {std::pair{"jisahun", &b.jisahun}, std::pair{"jisabyo", &b.jisabyo}}) {
    const JsonValue* v = obj.Find(key);
    if (!v || v->kind != JsonValue::Kind::String)
      return fail(key, "時差の文字列が必要です (the time-difference text is required)");
    *target = v->text;
  }
  chart::LocalTime now = defaultNow;
  if (const JsonValue* v = obj.Find("now")) {
    std::optional<chart::LocalTime> t;
    if (v->kind == JsonValue::Kind::String) t = ParseLocalTime(v->text);
    if (!t) return fail("now", "YYYY-MM-DDTHH:MM の形式が必要です (YYYY-MM-DDTHH:MM is required)");
    now = *t;
  }
  const chart::ChartResult r = chart::ComputeChart(InputOf(b), tables, now);
  AppendChartJson(out, lineNumber, chart::MakeChartTexts(r, tables), r);
  out += '\n';
  return true;
}

}  // namespace torvela::cli
