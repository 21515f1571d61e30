#include "cli/ChartIo.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <utility>

#include "calc/Numeric.h"
#include "chart/ChartFields.h"

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

using OrderedJson = nlohmann::ordered_json;

// Output never fails on bytes that are not UTF-8: they become U+FFFD.
// Japanese stays as it is rather than \u-escaped.
std::string Dump(const OrderedJson& j) {
  return j.dump(-1, ' ', false, OrderedJson::error_handler_t::replace);
}

// Sets a value in place: no allocation once the value has its type.
void Put(OrderedJson& j, const std::string& s) { j.get_ref<std::string&>() = s; }
void Put(OrderedJson& j, std::int64_t n) {
  if (j.is_number_integer() && !j.is_number_unsigned())
    j.get_ref<OrderedJson::number_integer_t&>() = n;
  else
    j = n;
}
void Put(OrderedJson& j, int n) { Put(j, std::int64_t{n}); }
void Put(OrderedJson& j, bool b) {
  if (j.is_boolean()) j.get_ref<bool&>() = b;
  else j = b;
}
// Whole values are written as integers (2461381, not 2461381.0); both read
// back to the same double. -0 keeps its sign as a float.
void Put(OrderedJson& j, double x) {
  if (x == std::trunc(x) && std::fabs(x) < 0x1p53 && !(x == 0 && std::signbit(x)))
    Put(j, static_cast<std::int64_t>(x));
  else if (j.is_number_float())
    j.get_ref<double&>() = x;
  else
    j = x;
}
template <typename T, std::size_t N>
void Put(OrderedJson& j, const std::array<T, N>& a) {
  for (std::size_t i = 0; i < N; ++i) Put(j[i], a[i]);
}

// A value of the field's JSON type, for the first build.
OrderedJson Blank(const std::string&) { return std::string(); }
template <typename T>
OrderedJson Blank(const T& v) {
  OrderedJson j;
  Put(j, v);
  return j;
}
template <typename T, std::size_t N>
OrderedJson Blank(const std::array<T, N>& a) {
  OrderedJson j = OrderedJson::array();
  for (const T& v : a) j.push_back(Blank(v));
  return j;
}

// Writes the chart objects member by member into the output line. The
// member names are rendered once and the values are refilled in place for
// each chart: a batch writes thousands, and building a document for each
// would allocate every key and value again. The values go through the
// serializer that dump() uses, straight into the caller's buffer.
class ChartJson {
 public:
  ChartJson() {
    const chart::ChartTexts t;
    const chart::ChartResult r;
    chart::ForEachTextField(t, [&](const char* name, const auto& f) { Add(texts_, name, f); });
    chart::ForEachResultField(r, [&](const char* name, const auto& f) { Add(result_, name, f); });
  }
  ChartJson(const ChartJson&) = delete;
  ChartJson& operator=(const ChartJson&) = delete;

  void Append(std::string& out, long line, const chart::ChartTexts& t,
              const chart::ChartResult& r) {
    nlohmann::detail::serializer<OrderedJson> writer(
        nlohmann::detail::output_adapter<char>(out), ' ', OrderedJson::error_handler_t::replace);
    auto write = [&](const OrderedJson& value) { writer.dump(value, false, false, 0); };
    out += '{';
    if (line > 0) {
      out += "\"line\":";
      write(line);
      out += ',';
    }
    out += "\"texts\":";
    std::size_t i = 0;
    auto member = [&](std::vector<Member>& members, const auto& field) {
      Member& m = members[i++];
      Put(m.value, field);
      out += m.name;
      write(m.value);
    };
    chart::ForEachTextField(t, [&](const char*, const auto& f) { member(texts_, f); });
    out += "},\"bold\":";
    write(t.bold);
    out += ",\"result\":";
    i = 0;
    chart::ForEachResultField(r, [&](const char*, const auto& f) { member(result_, f); });
    out += "}}";
  }

 private:
  struct Member {
    std::string name;  // rendered with the separator before it: {"name": or ,"name":
    OrderedJson value;
  };

  template <typename T>
  static void Add(std::vector<Member>& members, const char* name, const T& field) {
    members.push_back({(members.empty() ? "{" : ",") + Dump(name) + ":", Blank(field)});
  }

  std::vector<Member> texts_, result_;
};

}  // namespace

void AppendChartJson(std::string& out, long line, const chart::ChartTexts& t,
                     const chart::ChartResult& r) {
  thread_local ChartJson writer;
  writer.Append(out, line, t, r);
}

void AppendErrorJson(std::string& out, long line, std::string_view message) {
  out += Dump(OrderedJson{{"line", line}, {"error", std::string(message)}});
  out += '\n';
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

// One top-level member of a batch line as far as the checks need it.
struct Member {
  enum class Kind { Missing, Number, String, Other } kind = Kind::Missing;
  double number = 0;
  std::string text;
};

enum Key { Year, Month, Day, Hour, Minute, Sex, Jisahun, Jisabyo, Now, KeyCount };
constexpr std::string_view KeyNames[KeyCount] = {"year",  "month",   "day",     "hour", "minute",
                                                 "sex",   "jisahun", "jisabyo", "now"};

// Reads a batch line through nlohmann's event parser, keeping only the
// members the chart needs (the last one when a key repeats). Nothing is
// built for other keys or nested values, and nesting is capped, so a hostile
// line costs neither memory nor stack.
class LineFields {
 public:
  using Json = nlohmann::json;
  std::array<Member, KeyCount> members;
  bool object = false;
  std::string error;

  bool null() { return Scalar(); }
  bool boolean(bool) { return Scalar(); }
  bool number_integer(Json::number_integer_t n) { return Number(static_cast<double>(n)); }
  bool number_unsigned(Json::number_unsigned_t n) { return Number(static_cast<double>(n)); }
  bool number_float(Json::number_float_t x, const Json::string_t&) { return Number(x); }
  bool string(Json::string_t& s) {
    if (Member* m = Target()) {
      m->kind = Member::Kind::String;
      m->text = std::move(s);
    }
    return true;
  }
  bool binary(Json::binary_t&) { return Scalar(); }
  bool start_object(std::size_t) { return Open(true); }
  bool start_array(std::size_t) { return Open(false); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }
  bool key(Json::string_t& k) {
    if (depth_ == 1) {
      current_ = KeyCount;
      for (int i = 0; i < KeyCount; ++i)
        if (k == KeyNames[i]) current_ = i;
    }
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) {
    // "[json.exception.parse_error.101] parse error at line 1, column 2: ..."
    std::string_view what = e.what();
    if (const auto close = what.find("] "); close != what.npos) what.remove_prefix(close + 2);
    // The last token read can be most of the line.
    constexpr std::size_t Longest = 200;
    error = what.substr(0, Longest);
    if (what.size() > Longest) error += "...";
    return false;
  }

 private:
  // The member a value at this point belongs to, if it is one we keep.
  Member* Target() { return depth_ == 1 && current_ < KeyCount ? &members[current_] : nullptr; }
  bool Scalar() {
    if (Member* m = Target()) m->kind = Member::Kind::Other;
    return true;
  }
  bool Number(double x) {
    if (Member* m = Target()) {
      m->kind = Member::Kind::Number;
      m->number = x;
    }
    return true;
  }
  bool Open(bool isObject) {
    if (depth_ == 0) object = isObject;
    Scalar();
    if (++depth_ > MaxJsonDepth) {
      error = "nesting deeper than " + std::to_string(MaxJsonDepth);
      return false;
    }
    current_ = KeyCount;
    return true;
  }
  bool Close() {
    --depth_;
    return true;
  }

  int depth_ = 0;
  int current_ = KeyCount;
};

bool WholeNumber(const Member& m, double lo, double hi, int& out) {
  if (m.kind != Member::Kind::Number) return false;
  const double x = m.number;
  if (x != Int(x) || x < lo || x > hi) return false;
  out = static_cast<int>(x);
  return true;
}

// A list text field: "?" or digits 0..max; a whole JSON number is taken too.
bool ListField(const Member& m, int max, std::string& out) {
  if (m.kind == Member::Kind::String) {
    if (!IsListText(m.text, max)) return false;
    out = m.text;
    return true;
  }
  int n;
  if (!WholeNumber(m, 0, max, n)) return false;
  out = std::to_string(n);
  return true;
}

}  // namespace

bool ReadBatchLine(std::string_view line, Birth& b, chart::LocalTime& now, std::string& error) {
  LineFields in;
  if (!nlohmann::json::sax_parse(line.begin(), line.end(), &in)) {
    error = "JSON として読めません (invalid JSON: " + in.error + ")";
    return false;
  }
  if (!in.object) {
    error = "オブジェクトではありません (not a JSON object)";
    return false;
  }
  const auto& m = in.members;
  auto fail = [&](Key key, const char* what) {
    if (m[key].kind == Member::Kind::Missing) what = "ありません (missing field)";
    error = std::string(KeyNames[key]) + ": " + what;
    return false;
  };
  if (!WholeNumber(m[Year], FirstYear, LastYear, b.date.year))
    return fail(Year, "1800〜2080 の整数が必要です (a whole number 1800..2080 is required)");
  if (!WholeNumber(m[Month], 1, 12, b.date.month))
    return fail(Month, "1〜12 の整数が必要です (a whole number 1..12 is required)");
  if (!WholeNumber(m[Day], 1, 31, b.date.day) ||
      !ValidDate(b.date.year, b.date.month, b.date.day))
    return fail(Day, "暦にない日付です (date not in the calendar)");
  if (!ListField(m[Hour], 23, b.hour))
    return fail(Hour, "\"?\" か 0〜23 が必要です (\"?\" or 0..23 is required)");
  if (!ListField(m[Minute], 59, b.minute))
    return fail(Minute, "\"?\" か 0〜59 が必要です (\"?\" or 0..59 is required)");
  const Member& sex = m[Sex];
  if (sex.kind != Member::Kind::String || (sex.text != "男" && sex.text != "女"))
    return fail(Sex, "\"男\" か \"女\" が必要です (\"男\" or \"女\" is required)");
  b.male = sex.text == "男";
  for (auto [key, target] : {std::pair{Jisahun, &b.jisahun}, std::pair{Jisabyo, &b.jisabyo}}) {
    if (m[key].kind != Member::Kind::String)
      return fail(key, "時差の文字列が必要です (the time-difference text is required)");
    *target = m[key].text;
  }
  if (m[Now].kind != Member::Kind::Missing) {
    std::optional<chart::LocalTime> t;
    if (m[Now].kind == Member::Kind::String) t = ParseLocalTime(m[Now].text);
    if (!t) return fail(Now, "YYYY-MM-DDTHH:MM の形式が必要です (YYYY-MM-DDTHH:MM is required)");
    now = *t;
  }
  return true;
}

bool BatchLine(std::string_view line, long lineNumber, const Tables& tables,
               const chart::LocalTime& defaultNow, std::string& out) {
  Birth b;
  chart::LocalTime now = defaultNow;
  std::string error;
  if (!ReadBatchLine(line, b, now, error)) {
    AppendErrorJson(out, lineNumber, error);
    return false;
  }
  const chart::ChartResult r = chart::ComputeChart(InputOf(b), tables, now);
  AppendChartJson(out, lineNumber, chart::MakeChartTexts(r, tables), r);
  out += '\n';
  return true;
}

}  // namespace torvela::cli
