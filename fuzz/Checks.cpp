#include "fuzz/Checks.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace torvela::fuzz {

void Violated(const char* what, const char* file, int line) {
  std::fprintf(stderr, "invariant violated: %s (%s:%d)\n", what, file, line);
  std::abort();
}

bool ValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t len = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) {
      len = 1;
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      len = 2;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > s.size()) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8.
    static constexpr std::uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return false;
    i += len;
  }
  return true;
}

namespace {

std::string ReadWhole(const char* name) {
  std::ifstream in(std::string(TORVELA_DATA_DIR) + "/" + name, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s from %s\n", name, TORVELA_DATA_DIR);
    std::abort();
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads texts such as "1980年2月29日23時40.0分" piece by piece.
struct Scanner {
  std::string_view s;

  bool Literal(std::string_view lit) {
    if (s.substr(0, lit.size()) != lit) return false;
    s.remove_prefix(lit.size());
    return true;
  }
  // Plain decimal digits, no sign, no leading zeros except "0" itself.
  bool Whole(long& out) {
    std::size_t n = 0;
    while (n < s.size() && n < 9 && s[n] >= '0' && s[n] <= '9') ++n;
    if (n == 0 || (n > 1 && s[0] == '0')) return false;
    out = std::stol(std::string(s.substr(0, n)));
    s.remove_prefix(n);
    return true;
  }
  // One of the names of table[from..], returning its index.
  template <std::size_t N>
  bool Name(const std::array<std::string, N>& table, std::size_t from, int& index) {
    for (std::size_t i = from; i < N; ++i) {
      if (!table[i].empty() && Literal(table[i])) {
        index = static_cast<int>(i);
        return true;
      }
    }
    return false;
  }
  bool End() const { return s.empty(); }
};

bool IsWholeText(std::string_view s) {
  Scanner sc{s};
  long v;
  return sc.Whole(v) && sc.End();
}

template <std::size_t N>
int IndexOf(const std::array<std::string, N>& table, std::string_view name) {
  for (std::size_t i = 0; i < N; ++i)
    if (table[i] == name) return static_cast<int>(i);
  return -1;
}

// A pillar shown as stem and branch: both real names, and of the same
// polarity, as every member of the sexagenary cycle is.
void CheckPair(const Tables& m, const std::string& stem, const std::string& branch) {
  const int s = IndexOf(m.StemNames, stem), b = IndexOf(m.BranchNames, branch);
  FUZZ_CHECK(s >= 1 && s <= 10);
  FUZZ_CHECK(b >= 1 && b <= 12);
  FUZZ_CHECK(s % 2 == b % 2);
}

bool WholeValue(double x) { return std::isfinite(x) && x == std::trunc(x); }

}  // namespace

const std::string& ShippedPlanetText() {
  static const std::string text = ReadWhole("planet.txt");
  return text;
}

const std::string& ShippedLatitudeText() {
  static const std::string text = ReadWhole("latitude.txt");
  return text;
}

std::string ShippedGazetteerPath() { return std::string(TORVELA_DATA_DIR) + "/places.txt"; }

const Tables& ShippedTables() {
  static const Tables tables = LoadTablesFromText(ShippedPlanetText(), ShippedLatitudeText());
  return tables;
}

void CheckDataFileError(const DataFileError& e) {
  const std::string what = e.what();
  FUZZ_CHECK(e.file() == "planet.txt" || e.file() == "latitude.txt");
  FUZZ_CHECK(what.find("データファイル " + e.file()) != std::string::npos);
  FUZZ_CHECK(ValidUtf8(what));
  FUZZ_CHECK(what.size() < 1000);
  const int records = e.file() == "planet.txt" ? PlanetTermCount : LatitudeTermCount;
  const int fields = e.file() == "planet.txt" ? 7 : 5;
  FUZZ_CHECK(e.record() >= 1 && e.record() <= records);
  FUZZ_CHECK(e.field() >= 1 && e.field() <= fields);
  const std::string where = "第 " + std::to_string(e.record()) + " レコード第 " +
                            std::to_string(e.field()) + " 項目";
  FUZZ_CHECK(what.find(where) != std::string::npos);
}

void CheckChart(const chart::ChartInput& in, const chart::ChartResult& r,
                const chart::ChartTexts& t, const Tables& m) {
  for (const auto& [name, text] : t.Items()) FUZZ_CHECK(ValidUtf8(text));

  // The true-solar moment is a real calendar moment near the entered one.
  FUZZ_CHECK(WholeValue(r.solarYear) && std::fabs(r.solarYear - in.year) <= 1);
  FUZZ_CHECK(WholeValue(r.solarMonth) && r.solarMonth >= 1 && r.solarMonth <= 12);
  const int monthDays = MonthLengths(static_cast<std::int64_t>(r.solarYear))
                            [static_cast<std::size_t>(r.solarMonth)];
  FUZZ_CHECK(WholeValue(r.solarDay) && r.solarDay >= 1 && r.solarDay <= monthDays);
  FUZZ_CHECK(WholeValue(r.solarHour) && r.solarHour >= 0 && r.solarHour <= 23);
  FUZZ_CHECK(r.solarMinute >= 0 && r.solarMinute < 60);
  FUZZ_CHECK(r.pillarYear == r.solarYear || r.pillarYear == r.solarYear - 1);
  FUZZ_CHECK(r.sunLongitude >= 0 && r.sunLongitude < 360);

  // 真太陽時 reads back to the same moment.
  {
    Scanner sc{t.txtShin};
    long y, mo, d, h, mi, tenth;
    FUZZ_CHECK(sc.Whole(y) && sc.Literal("年") && sc.Whole(mo) && sc.Literal("月") &&
               sc.Whole(d) && sc.Literal("日"));
    FUZZ_CHECK(y == r.solarYear && mo == r.solarMonth && d == r.solarDay);
    if (r.hourUnknown) {
      FUZZ_CHECK(sc.Literal("確定不能") && sc.End());
    } else {
      FUZZ_CHECK(sc.Whole(h) && sc.Literal("時") && sc.Whole(mi) && sc.Literal(".") &&
                 sc.s.size() > 0 && sc.s[0] >= '0' && sc.s[0] <= '9');
      tenth = sc.s[0] - '0';
      sc.s.remove_prefix(1);
      FUZZ_CHECK(sc.Literal("分") && sc.End());
      FUZZ_CHECK(h == r.solarHour);
      // One decimal, rounded, except that the last twentieth of a minute
      // stays at 59.9 rather than showing 60.0.
      FUZZ_CHECK(mi <= 59);
      const double shown = static_cast<double>(mi) + tenth / 10.0;
      FUZZ_CHECK(std::fabs(shown - r.solarMinute) <= 0.05 + 1e-9 ||
                 (shown == 59.9 && r.solarMinute >= 59.95 - 1e-9));
    }
  }

  // Pillars. The hour shows "□" exactly when the hour is unknown.
  CheckPair(m, t.yKan, t.yShi);
  CheckPair(m, t.mKan, t.mShi);
  CheckPair(m, t.dKan, t.dShi);
  if (in.hourUnknown) {
    FUZZ_CHECK(t.hKan == "□" && t.hShi == "□");
  } else {
    CheckPair(m, t.hKan, t.hShi);
  }
  FUZZ_CHECK(t.lblOu == "木" || t.lblOu == "火" || t.lblOu == "土" || t.lblOu == "金" ||
             t.lblOu == "水");

  // Great luck: starts at the month pillar and steps one way through the cycle.
  FUZZ_CHECK(t.dun_kan[0] == t.mKan && t.dun_shi[0] == t.mShi);
  for (int i = 0; i <= 10; ++i) {
    CheckPair(m, t.dun_kan[i], t.dun_shi[i]);
    if (i == 0) continue;
    const int step = r.forward ? 1 : -1;
    const int s0 = IndexOf(m.StemNames, t.dun_kan[i - 1]), s1 = IndexOf(m.StemNames, t.dun_kan[i]);
    const int b0 = IndexOf(m.BranchNames, t.dun_shi[i - 1]),
              b1 = IndexOf(m.BranchNames, t.dun_shi[i]);
    FUZZ_CHECK((s0 - 1 + step + 10) % 10 == s1 - 1);
    FUZZ_CHECK((b0 - 1 + step + 12) % 12 == b1 - 1);
  }
  for (int i = 0; i < 10; ++i) FUZZ_CHECK(IsWholeText(t.sai1[i]));
  for (int i = 0; i <= 10; ++i) FUZZ_CHECK(IsWholeText(t.sai2[i]));
  for (int i = 0; i < 10; ++i) {
    FUZZ_CHECK(r.toAges[i + 1] == r.fromAges[i] + 9);
    FUZZ_CHECK(r.fromAges[i] == r.toAges[i] + 1 || (i == 0 && r.fromAges[0] == 0));
  }
  {
    Scanner sc{t.txtKoutai};
    long y, mo, d;
    FUZZ_CHECK(sc.Literal("約") && sc.Whole(y) && sc.Literal("歳") && sc.Whole(mo) &&
               sc.Literal("カ月") && sc.Whole(d) && sc.Literal("日") && sc.End());
    FUZZ_CHECK(y <= 10 && mo <= 11 && d <= 29);
  }
  {
    Scanner sc{t.txtKoutaiYM};
    int s, b;
    FUZZ_CHECK(sc.Name(m.StemNames, 1, s) && sc.Literal("年") && sc.Name(m.BranchNames, 1, b) &&
               sc.Literal("月") && sc.End());
  }

  // Age, weekday, equation of time, longitude.
  FUZZ_CHECK(t.txtAge == "-" || IsWholeText(t.txtAge));
  {
    Scanner sc{t.txtweek};
    int w;
    FUZZ_CHECK(sc.Name(m.WeekdayNames, 1, w) && sc.Literal("曜日") && sc.End());
  }
  {
    Scanner sc{t.txtKinjisa};
    long mi, s;
    FUZZ_CHECK((sc.Literal("+") || sc.Literal("-")) && sc.Whole(mi) && sc.Literal("分") &&
               sc.Whole(s) && sc.Literal(".") && !sc.s.empty() && sc.s[0] >= '0' &&
               sc.s[0] <= '9');
    sc.s.remove_prefix(1);
    FUZZ_CHECK(sc.Literal("秒") && sc.End());
    FUZZ_CHECK(mi <= 17 && s <= 60);
  }
  {
    char* end = nullptr;
    const std::string k = t.txtKoukei;
    const double v = std::strtod(k.c_str(), &end);
    FUZZ_CHECK(!k.empty() && end == k.c_str() + k.size());
    FUZZ_CHECK(std::fabs(v - r.sunLongitude) <= 1e-12 * 360);
  }

  // No column is marked for a birth later than now.
  FUZZ_CHECK(t.bold >= -1 && t.bold <= 10 && t.bold == r.currentColumn);
  if (r.nowJD + r.timeDiffDays < r.localBirthJD) FUZZ_CHECK(t.bold == -1);
}

}  // namespace torvela::fuzz
