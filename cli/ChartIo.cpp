#include "cli/ChartIo.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <nlohmann/json.hpp>
#include <type_traits>
#include <utility>
#include <vector>

#include "calc/Numeric.h"
#include "chart/Birthday.h"
#include "chart/ChartFields.h"
#include "place/NumberText.h"
#include "reading/Reading.h"
#include "reading/ReadingFields.h"

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
  // Digits and minus typed full-width ("－１３") count as their half-width forms.
  return chart::InputFromTexts(b.date.year, b.date.month, b.date.day, b.hour, b.minute, b.male,
                               HalfWidthNumberText(b.jisahun), HalfWidthNumberText(b.jisabyo));
}

std::string BirthdayOf(const Birth& b) {
  const auto part = [](const std::string& text) -> std::optional<double> {
    if (text == "?" || text.empty()) return std::nullopt;
    return Digits(text);
  };
  const chart::BirthParts parts{b.date.year, b.date.month, b.date.day, part(b.hour),
                                part(b.minute)};
  return chart::BirthdayLine(parts, b.hour, b.minute);
}

std::optional<Fields> ParseFields(std::string_view text) {
  Fields f = ChartOnly;
  bool seen[4] = {};
  for (;;) {
    const std::size_t comma = text.find(',');
    const std::string_view name = text.substr(0, comma);
    int i = 0;
    if (name == "chart") i = 0;
    else if (name == "moment") f.moment = true, i = 1;
    else if (name == "reading") f.reading = true, i = 2;
    else if (name == "place") f.place = true, i = 3;
    else return std::nullopt;
    if (seen[i]) return std::nullopt;
    seen[i] = true;
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return f;
}

ChartRecord ComputeRecord(const Birth& b, const Tables& tables, const chart::LocalTime& now,
                          const Fields& fields) {
  ChartRecord r;
  const chart::ChartInput input = InputOf(b);
  r.birth = fields.moment ? chart::ComputeBirth(input, b.moment, tables, now)
                          : chart::ComputeBirthChart(input, b.moment, tables, now);
  r.texts = chart::MakeChartTexts(r.birth.chart, tables);
  if (fields.reading)
    r.reading = reading::MakeReadingTexts(
        reading::Read(r.birth.chart, static_cast<int>(r.birth.input.year), now), tables);
  r.place = b.place;
  return r;
}

reading::ChartTextContent TextContentOf(const Birth& b, const std::string& name,
                                        const std::string& placeName,
                                        const chart::BirthReport& report, const Tables& tables,
                                        const chart::LocalTime& now) {
  reading::ChartTextContent c;
  c.name = name;
  c.birthday = BirthdayOf(b);
  c.male = b.male;
  c.jisahun = b.jisahun;
  c.jisabyo = b.jisabyo;
  c.birthplace = b.place ? place::QualifiedName(*b.place) : placeName;
  reading::SetBirth(c, report, tables, now);
  return c;
}

struct PlaceBook::State {
  std::filesystem::path file;
  std::once_flag once;
  place::Gazetteer gazetteer;
  bool loaded = false;
  std::string error;
};

PlaceBook::PlaceBook(std::filesystem::path file) : state_(std::make_unique<State>()) {
  state_->file = std::move(file);
}

PlaceBook::~PlaceBook() = default;

const place::Gazetteer* PlaceBook::Get(std::string& error) const {
  State& s = *state_;
  std::call_once(s.once, [&s] {
    try {
      s.gazetteer = place::Gazetteer::Load(s.file);
      s.loaded = true;
    } catch (const DataFileError& e) {
      s.error = e.what();
    }
  });
  if (!s.loaded) error = s.error;
  return s.loaded ? &s.gazetteer : nullptr;
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

// Appends s as a JSON string, as the serializer would write it, when it is
// valid UTF-8 with nothing to escape (every text of a chart and a reading);
// false, with nothing appended, otherwise. Much cheaper than the serializer,
// which a batch line calls some two hundred times.
bool AppendPlain(std::string& out, std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* end = p + s.size();
  const auto cont = [&](int n, unsigned char lo, unsigned char hi) {
    if (end - p <= n || p[1] < lo || p[1] > hi) return false;
    for (int k = 2; k <= n; ++k)
      if ((p[k] & 0xC0) != 0x80) return false;
    p += n + 1;
    return true;
  };
  while (p < end) {
    const unsigned char c = *p;
    bool ok;
    if (c < 0x80) {
      ok = c >= 0x20 && c != '"' && c != '\\';
      ++p;
    } else if (c >= 0xC2 && c <= 0xDF) {
      ok = cont(1, 0x80, 0xBF);
    } else if (c == 0xE0) {
      ok = cont(2, 0xA0, 0xBF);
    } else if (c == 0xED) {  // not the surrogates
      ok = cont(2, 0x80, 0x9F);
    } else if (c >= 0xE1 && c <= 0xEF) {
      ok = cont(2, 0x80, 0xBF);
    } else if (c == 0xF0) {
      ok = cont(3, 0x90, 0xBF);
    } else if (c >= 0xF1 && c <= 0xF3) {
      ok = cont(3, 0x80, 0xBF);
    } else {
      ok = c == 0xF4 && cont(3, 0x80, 0x8F);  // up to U+10FFFF
    }
    if (!ok) return false;
  }
  out += '"';
  out += s;
  out += '"';
  return true;
}

template <typename T>
struct IsVector : std::false_type {};
template <typename T>
struct IsVector<std::vector<T>> : std::true_type {};

// type: std::string for an array of texts.
template <typename T>
struct IsTextArray {
  using type = void;
};
template <std::size_t N>
struct IsTextArray<std::array<std::string, N>> {
  using type = std::string;
};

// Writes the chart objects member by member into the output line. The
// member names are rendered once and the values are refilled in place for
// each chart: a batch writes thousands, and building a document for each
// would allocate every key and value again. The values go through the
// serializer that dump() uses, straight into the caller's buffer.
class RecordJson {
 public:
  RecordJson() {
    const chart::ChartTexts t;
    const chart::ChartResult r;
    chart::ForEachTextField(t, [&](const char* name, const auto& f) { Add(texts_, name, f); });
    chart::ForEachResultField(r, [&](const char* name, const auto& f) { Add(result_, name, f); });
  }
  RecordJson(const RecordJson&) = delete;
  RecordJson& operator=(const RecordJson&) = delete;

  // The chart's object without its closing brace.
  void Chart(std::string& out, long line, const chart::ChartTexts& t,
             const chart::ChartResult& r) {
    Writer w(out);
    out += '{';
    if (line > 0) {
      out += "\"line\":";
      w.Write(line);
      out += ',';
    }
    out += "\"texts\":";
    std::size_t i = 0;
    auto member = [&](std::vector<Member>& members, const auto& field) {
      Member& m = members[i++];
      out += m.name;
      using T = std::remove_cvref_t<decltype(field)>;
      if constexpr (std::is_same_v<T, std::string>) {
        if (AppendPlain(out, field)) return;
      } else if constexpr (std::is_same_v<typename IsTextArray<T>::type, std::string>) {
        const std::size_t mark = out.size();
        char separator = '[';
        bool plain = true;
        for (const std::string& text : field) {
          out += separator;
          separator = ',';
          if (!(plain = AppendPlain(out, text))) break;
        }
        if (plain) {
          out += ']';
          return;
        }
        out.resize(mark);
      }
      Put(m.value, field);
      w.Write(m.value);
    };
    chart::ForEachTextField(t, [&](const char*, const auto& f) { member(texts_, f); });
    out += "},\"bold\":";
    w.Write(t.bold);
    out += ",\"result\":";
    i = 0;
    chart::ForEachResultField(r, [&](const char*, const auto& f) { member(result_, f); });
    out += '}';
  }

  // The fields after the chart, each with the comma before it.
  void Extras(std::string& out, const ChartRecord& rec, const Fields& fields) {
    Writer w(out);
    if (fields.moment) {
      const chart::BirthReport& b = rec.birth;
      Key(out, "clockShiftMinutes");
      Scalar(w, b.clockShiftMinutes);
      Key(out, "notices");
      Value(out, w, b.notices);
      for (const auto& [key, term] : {std::pair("prevTerm", &b.prevTerm),
                                      std::pair("nextTerm", &b.nextTerm)}) {
        Key(out, key);
        if (term->name.empty()) {
          out += "null";
          continue;
        }
        out += "{\"name\":";
        Scalar(w, term->name);
        out += ",\"trueSolar\":";
        Scalar(w, chart::IsoMinuteText(term->trueSolar));
        out += '}';
      }
      Key(out, "boundaries");
      out += '[';
      for (std::size_t k = 0; k < b.boundaries.size(); ++k) {
        const chart::Boundary& x = b.boundaries[k];
        out += k ? ",{\"pillar\":" : "{\"pillar\":";
        Scalar(w, x.pillar);
        out += ",\"clock\":";
        Scalar(w, chart::IsoMinuteText(x.clock));
        out += ",\"to\":";
        Scalar(w, x.to);
        out += '}';
      }
      out += ']';
    }
    if (fields.reading && rec.reading) {
      Key(out, "reading");
      Value(out, w, *rec.reading);
    }
    if (fields.place && rec.place) {
      const place::Place& p = *rec.place;
      Key(out, "place");
      out += "{\"code\":";
      Scalar(w, p.code);
      out += ",\"prefecture\":";
      Scalar(w, p.prefecture);
      out += ",\"name\":";
      Scalar(w, p.name);
      out += ",\"longitude\":";
      Scalar(w, p.longitude);
      out += ",\"latitude\":";
      Scalar(w, p.latitude);
      out += '}';
    }
  }

 private:
  struct Member {
    std::string name;  // rendered with the separator before it: {"name": or ,"name":
    OrderedJson value;
  };

  // Writes values through nlohmann's serializer into out.
  struct Writer {
    explicit Writer(std::string& o)
        : out(o),
          serializer(nlohmann::detail::output_adapter<char>(o), ' ',
                     OrderedJson::error_handler_t::replace) {}
    void Write(const OrderedJson& value) { serializer.dump(value, false, false, 0); }
    std::string& out;
    nlohmann::detail::serializer<OrderedJson> serializer;
  };

  template <typename T>
  static void Add(std::vector<Member>& members, const char* name, const T& field) {
    members.push_back({(members.empty() ? "{" : ",") + Dump(name) + ":", Blank(field)});
  }

  // Keys here are our own plain ASCII names: nothing to escape.
  static void Key(std::string& out, const char* name) {
    out += ",\"";
    out += name;
    out += "\":";
  }

  // One value through a scratch value of its type, refilled in place.
  void Scalar(Writer& w, const std::string& v) {
    if (!AppendPlain(w.out, v)) Refill(text_, v, w);
  }
  void Scalar(Writer& w, int v) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    w.out.append(digits, end);
  }
  void Scalar(Writer& w, bool v) { w.out += v ? "true" : "false"; }
  void Scalar(Writer& w, double v) {
    OrderedJson j;
    Put(j, v);
    w.Write(j);
  }
  template <typename T>
  static void Refill(OrderedJson& scratch, const T& v, Writer& w) {
    Put(scratch, v);
    w.Write(scratch);
  }

  // A value of a reading: a scalar, a list, or a record as a nested object.
  template <typename T>
  void Value(std::string& out, Writer& w, const T& v) {
    if constexpr (IsVector<T>::value) {
      out += '[';
      for (std::size_t k = 0; k < v.size(); ++k) {
        if (k) out += ',';
        Value(out, w, v[k]);
      }
      out += ']';
    } else if constexpr (reading::Record<T>) {
      char separator = '{';
      ForEachField(v, [&](const char* name, const auto& field) {
        out += separator;
        separator = ',';
        out += '"';
        out += name;
        out += "\":";
        Value(out, w, field);
      });
      out += separator == '{' ? "{}" : "}";
    } else {
      Scalar(w, v);
    }
  }

  std::vector<Member> texts_, result_;
  OrderedJson text_ = std::string();
};

RecordJson& Writer() {
  thread_local RecordJson writer;
  return writer;
}

}  // namespace

void AppendChartJson(std::string& out, long line, const chart::ChartTexts& t,
                     const chart::ChartResult& r) {
  Writer().Chart(out, line, t, r);
  out += '}';
}

void AppendRecordJson(std::string& out, long line, const ChartRecord& record,
                      const Fields& fields) {
  RecordJson& writer = Writer();
  writer.Chart(out, line, record.texts, record.birth.chart);
  writer.Extras(out, record, fields);
  out += '}';
}

void AppendErrorJson(std::string& out, long line, std::string_view message) {
  out += Dump(OrderedJson{{"line", line}, {"error", std::string(message)}});
  out += '\n';
}

namespace {

// One top-level member of a batch line as far as the checks need it.
struct Member {
  enum class Kind { Missing, Number, String, Other } kind = Kind::Missing;
  double number = 0;
  std::string text;
};

enum Key {
  Year, Month, Day, Hour, Minute, Sex, Jisahun, Jisabyo, Now, Dst, Before1888, Margin, Place,
  KeyCount
};
constexpr std::string_view KeyNames[KeyCount] = {
    "year", "month", "day", "hour", "minute", "sex", "jisahun", "jisabyo", "now",
    "dst",  "before1888", "margin", "place"};

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

bool ReadBatchLine(std::string_view line, const BatchContext& context, Birth& b,
                   chart::LocalTime& now, std::string& error) {
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
  auto fail = [&](Key key, const std::string& what) {
    error = std::string(KeyNames[key]) + ": " +
            (m[key].kind == Member::Kind::Missing ? "ありません (missing field)" : what);
    return false;
  };
  auto given = [&](Key key) { return m[key].kind != Member::Kind::Missing; };
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
  const bool byPlace = given(Place);
  if (byPlace && (given(Jisahun) || given(Jisabyo)))
    return fail(Place, "時差 (jisahun, jisabyo) と一緒には指定できません "
                       "(a place takes no time difference)");
  if (byPlace && (m[Place].kind != Member::Kind::String || m[Place].text.empty()))
    return fail(Place, "地名の文字列が必要です (a place name is required)");
  if (!byPlace) {
    for (auto [key, target] : {std::pair{Jisahun, &b.jisahun}, std::pair{Jisabyo, &b.jisabyo}}) {
      if (m[key].kind != Member::Kind::String)
        return fail(key, "時差の文字列が必要です (the time-difference text is required)");
      *target = m[key].text;
    }
  }
  if (given(Now)) {
    std::optional<chart::LocalTime> t;
    if (m[Now].kind == Member::Kind::String) t = ParseLocalTime(m[Now].text);
    if (!t) return fail(Now, "YYYY-MM-DDTHH:MM の形式が必要です (YYYY-MM-DDTHH:MM is required)");
    now = *t;
  }
  b.moment = context.moment;
  if (given(Dst)) {
    const auto v = m[Dst].kind == Member::Kind::String ? chart::ParseDstMode(m[Dst].text)
                                                       : std::nullopt;
    if (!v) return fail(Dst, "\"auto\" か \"off\" が必要です (\"auto\" or \"off\" is required)");
    b.moment.dst = *v;
  }
  if (given(Before1888)) {
    const auto v = m[Before1888].kind == Member::Kind::String
                       ? chart::ParseBefore1888(m[Before1888].text)
                       : std::nullopt;
    if (!v)
      return fail(Before1888, "\"jst\"・\"lmt\"・\"solar\" のどれかが必要です "
                              "(\"jst\", \"lmt\" or \"solar\" is required)");
    b.moment.before1888 = *v;
  }
  if (given(Margin)) {
    std::optional<int> v;
    int n = 0;
    if (m[Margin].kind == Member::Kind::String) v = chart::ParseMargin(m[Margin].text);
    else if (WholeNumber(m[Margin], 0, 60, n) && chart::IsMarginAllowed(n)) v = n;
    if (!v) return fail(Margin, "10・30・60 のどれかが必要です (10, 30 or 60 is required)");
    b.moment.marginMinutes = *v;
  }
  b.place = nullptr;
  if (byPlace) {
    // Last: the search is the dearest step of the line.
    std::string why;
    const place::Gazetteer* gazetteer = context.places ? context.places->Get(why) : nullptr;
    if (!gazetteer) return fail(Place, why.empty() ? "地名表がありません (no gazetteer)" : why);
    const place::Resolution r = gazetteer->Resolve(m[Place].text);
    if (!r.place) return fail(Place, place::ResolutionMessage(m[Place].text, r));
    const chart::TimeDifferenceTexts diff = place::TimeDifferenceOf(*r.place);
    b.jisahun = diff.minutes;
    b.jisabyo = diff.seconds;
    b.place = r.place;
  }
  return true;
}

bool BatchLine(std::string_view line, long lineNumber, const BatchContext& context,
               std::string& out) {
  Birth b;
  chart::LocalTime now = context.now;
  std::string error;
  if (!ReadBatchLine(line, context, b, now, error)) {
    AppendErrorJson(out, lineNumber, error);
    return false;
  }
  AppendRecordJson(out, lineNumber, ComputeRecord(b, context.tables, now, context.fields),
                   context.fields);
  out += '\n';
  return true;
}

}  // namespace torvela::cli
