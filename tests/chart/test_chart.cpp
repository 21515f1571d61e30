// Whole charts with the real planet tables: known charts, births at the
// edges of the year range, the marked great-luck column, digests that
// keep every chart bit-identical, and Japan's clock as "now". Expected
// pillars are counted independently from 2000-01-01 = 戊午 and 1984 = 甲子.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <random>

#include "calc/Numeric.h"
#include "chart/BirthMoment.h"
#include "chart/JapanTime.h"
#include "chart/SolarTerms.h"
#include "tests/chart/ChartTestSupport.h"

namespace torvela::chart {
namespace {

using namespace test;
using sv = std::string_view;

ChartResult Compute(double y, double mo, double d, sv hour, sv minute, sv jisahun = "0",
                    sv jisabyo = "0", const LocalTime& now = kNow) {
  return ComputeChart(InputFromTexts(y, mo, d, hour, minute, true, jisahun, jisabyo),
                      ShippedTables(), now);
}
// Clock minutes counted from 00:00 on day d.
ChartResult At(double y, double mo, double d, int minutes, sv jisahun,
               const LocalTime& now = kNow) {
  return Compute(y, mo, d + minutes / 1440, std::to_string(minutes % 1440 / 60),
                 std::to_string(minutes % 60), jisahun, "0", now);
}
ChartTexts Texts(const ChartResult& r) { return MakeChartTexts(r, ShippedTables()); }
// The clock reading at or before a Julian day.
LocalTime ReadingAt(double jd) {
  return ReadingOfMinute(static_cast<std::int64_t>(std::floor((jd - 2440587.5) * 1440)));
}

TEST(Chart, KnownCharts) {
  struct Case {
    double y, mo, d;
    const char *hour, *minute, *jisahun, *jisabyo;
    std::string shin;     // true solar time up to the hour, or all of it
    double firstMinute;   // clock minute +60 per borrow, -60 per carry; NAN: shin is all
    const char *pillars, *week, *age;  // "": not checked
  } const cases[] = {
      // Into a leap day; the weekday stays the clock date's.
      {1980, 3, 1, "0", "10", "-18", "30", "1980年2月29日23時", 70, "庚申戊寅壬申壬子", "土曜日", ""},
      // -49 min and -3.5 min of equation of time: back into 1799.
      {1800, 1, 1, "0", "0", "-49", "0", "1799年12月31日23時", 60, "己未丙子己丑丙子", "水曜日", "226"},
      // On into 2081, still the 庚子 year before 立春; not born yet.
      {2080, 12, 31, "23", "59", "48", "0", "2081年1月1日0時", -1, "庚子戊子甲子甲子", "火曜日", "-"},
      {2000, 2, 29, "23", "50", "30", "0", "2000年3月1日0時", -10, "庚辰戊寅戊午壬子", "", ""},
      {2000, 3, 1, "0", "5", "-30", "0", "2000年2月29日23時", 65, "庚辰戊寅丁巳壬子", "", ""},
      {1904, 2, 29, "23", "50", "30", "0", "1904年3月1日0時", -10, "甲辰丙寅甲午甲子", "", ""},
      {1904, 3, 1, "0", "5", "-30", "0", "1904年2月29日23時", 65, "甲辰丙寅癸巳甲子", "", ""},
      {1900, 3, 1, "0", "5", "-30", "0", "1900年2月28日23時", 65, "庚子戊寅壬申壬子", "", ""},
      // A 29 February that never was reads as the last day of the month.
      {1900, 2, 29, "12", "0", "0", "0", "1900年2月28日11時", 60, "", "", ""},
      // Over an hour back from midnight: two borrows, the 亥 hour.
      {2026, 2, 10, "0", "0", "-48", "0", "2026年2月9日22時", 120, "丙午庚寅甲寅乙亥", "", ""},
      // Before 小寒: month 12 of 1999.
      {2000, 1, 1, "12", "0", "0", "0", "2000年1月1日11時", 60, "己卯丙子戊午戊午", "土曜日", "26"},
      {1975, 8, 20, "?", "?", "0", "0", "1975年8月20日確定不能", NAN, "乙卯甲申戊戌□□", "", ""},
      // A minute of 59.95 or more stays in its hour, as the hour pillar does.
      {2000, 6, 1, "12", "30", "27", "51", "2000年6月1日12時59.9分", NAN, "庚辰辛巳庚寅壬午", "", ""},
      {2026, 12, 6, "13", "0", "0", "0", "", NAN, "", "", "-"},
      {2026, 12, 6, "11", "0", "0", "0", "", NAN, "", "", "0"},
      {2000, 12, 6, "11", "0", "0", "0", "", NAN, "", "", "26"},
      {2000, 12, 6, "13", "0", "0", "0", "", NAN, "", "", "25"},
      {1900, 1, 1, "0", "0", "0", "0", "", NAN, "", "", "126"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.y << "-" << c.mo << "-" << c.d << " " << c.hour << "時");
    const ChartResult r = Compute(c.y, c.mo, c.d, c.hour, c.minute, c.jisahun, c.jisabyo);
    const ChartTexts t = Texts(r);
    EXPECT_TRUE(r.solarMinute >= 0 && r.solarMinute < 60) << r.solarMinute;
    if (std::isnan(c.firstMinute))
      EXPECT_EQ(t.txtShin.substr(0, c.shin.size()), c.shin);
    else
      EXPECT_EQ(t.txtShin, c.shin + OneDecimalText(c.firstMinute + r.correctionMinutes) + "分");
    const std::string pillars =
        t.yKan + t.yShi + t.mKan + t.mShi + t.dKan + t.dShi + t.hKan + t.hShi;
    EXPECT_EQ((*c.pillars ? pillars : "") + "/" + (*c.week ? t.txtweek : "") + "/" +
                  (*c.age ? r.ageText : ""), std::string(c.pillars) + "/" + c.week + "/" + c.age);
    EXPECT_TRUE(std::string(c.age) != "-" || t.bold == -1);
  }
}

TEST(Chart, TimeDifferenceSignsAndUnknownTimes) {
  // "-0" minutes means west; the minutes carry the sign for the seconds.
  const std::tuple<const char*, const char*, double> cases[] = {
      {"-0", "28", -28}, {"0", "28", 28}, {"-13", "14", -794}, {"13", "-14", 766}, {"abc", "", 0}};
  for (const auto& [min, sec, seconds] : cases)
    EXPECT_DOUBLE_EQ(Compute(2000, 6, 1, "12", "0", min, sec).timeDiffDays, seconds / 86400)
        << min << " " << sec;
  // An unknown time computes noon; an unknown minute, minute zero.
  const ChartResult noon = Compute(1975, 8, 20, "12", "0");
  EXPECT_EQ(Compute(1975, 8, 20, "?", "?").eotMinutes, noon.eotMinutes);
  EXPECT_EQ(Compute(1975, 8, 20, "?", "45").sunLongitude, noon.sunLongitude);
  EXPECT_EQ(Compute(1975, 8, 20, "9", "?").solarDayFraction,
            Compute(1975, 8, 20, "9", "0").solarDayFraction);
}

TEST(Chart, GreatLuckAndTexts) {
  const ChartResult r = Compute(2000, 1, 1, "12", "0");
  const ChartTexts t = Texts(r);
  EXPECT_TRUE(t.lblOu == "水" && t.txtKoukei == GeneralText(r.sunLongitude));
  // 己 is yin: a man runs backwards, the first column after 丙子 is 乙亥.
  EXPECT_FALSE(r.forward);
  EXPECT_EQ(t.dun_kan[0] + t.dun_shi[0] + t.dun_kan[1] + t.dun_shi[1], "丙子乙亥");
  EXPECT_EQ(t.sai1[0] + "/" + t.sai2[10],
            std::to_string(r.fromAges[0]) + "/" + std::to_string(r.toAges[10]));
  EXPECT_TRUE(t.bold == r.currentColumn && r.currentColumn >= 1);  // 26 years on
  EXPECT_EQ(Texts(Compute(2000, 2, 11, "12", "0")).txtKinjisa, "-14分16.5秒");
  // Every control once by its object name: 16 single ones, 11 + 11 + 10 + 11 in arrays.
  std::set<std::string> names;
  for (const auto& item : t.Items()) names.insert(item.first);
  EXPECT_TRUE(names.size() == 16u + 11 + 11 + 10 + 11 && names.count("sai1_9") && !names.count("sai1_10"));
}

// The marked column against a present far from the birth: none before the
// birth, then one per ten years, none from a hundred years after the first change.
TEST(Chart, PresentBeforeBirthAndAfterTheLastPeriod) {
  const ChartResult birth = At(1950, 6, 15, 12 * 60, "-30");
  ASSERT_GT(birth.startAge, 1);
  const double born = birth.localBirthJD - birth.timeDiffDays, minute = 1.0 / 1440;
  const double first = born + birth.startAge * 365.2422, limit = first + 36524.22;
  const std::pair<double, int> cases[] = {
      {born - 36524, -1},        {born - 2 * minute, -1},   {born + 2 * minute, 0},
      {first - 2 * minute, 0},   {first + 2 * minute, 1},   {limit - 2 * minute, 10},
      {limit + 2 * minute, -1},  {limit + 36524, -1},
  };
  for (const auto& [jd, column] : cases) {
    const ChartResult r = At(1950, 6, 15, 12 * 60, "-30", ReadingAt(jd));
    EXPECT_TRUE(r.currentColumn == column && Texts(r).bold == column) << jd - born;
    EXPECT_EQ(r.ageText == "-", jd < born) << jd - born;
  }
}

TEST(Chart, ImpossibleInputStillGivesAChart) {
  const ChartInput in{.year = 1990, .month = 13, .day = 40, .hour = 99, .minute = -5,
                      .diffMinutes = 1e300, .diffSeconds = NAN};
  const ChartResult r = ComputeChart(in, ShippedTables(), {2026, 1, 1, 0, 0});
  EXPECT_TRUE(r.solarMinute >= 0 && r.solarMinute < 60 && r.solarMonthNumber >= 1 &&
              r.solarMonthNumber <= 12 && Texts(r).txtShin.find("年") != std::string::npos);
}

// Charts outside the new cases stay what they were to the last bit: digests
// (FNV-1a over every result field) of 4000 random charts, 1700..2199, with
// unknown hours and minutes, west and east, "-0" minutes with seconds and
// now before and after the birth, recorded before the clock shift and the
// clock basis were added to the computation. The birth gives the same
// chart for every fourth of them: under any settings for a standard-time
// reading, with summer time off and JST before 1888 in any year.
TEST(ChartIdentity, RandomChartsAsRecordedAndAsTheBirthGivesThem) {
  const std::uint64_t recorded[] = {
      0xe22b027259d0dd7aull, 0xc064d81edb57003dull, 0xf68aa48b15eff838ull, 0x07b6aae315f37ccaull,
      0xf35b12ce41f78332ull, 0x9620ffd922822b4dull, 0x325b264435015129ull, 0x6ea913200dae4b73ull};
  std::mt19937_64 rng(20240613);
  const auto pick = [&rng](int n) {
    return static_cast<int>(rng() % static_cast<std::uint64_t>(n));
  };
  for (std::size_t g = 0; g < 8; ++g) {
    std::uint64_t group = Fnv({});
    for (int i = 0; i < 500; ++i) {
      ChartInput in;
      in.year = 1700 + pick(500);
      in.month = 1 + pick(12);
      in.day =
          1 + pick(MonthLengths(static_cast<std::int64_t>(in.year))[static_cast<int>(in.month)]);
      in.hourUnknown = pick(10) == 0;
      in.minuteUnknown = !in.hourUnknown && pick(10) == 0;
      in.hour = in.hourUnknown ? 0 : pick(24);
      in.minute = in.hourUnknown || in.minuteUnknown ? 0 : pick(60);
      in.male = pick(2) == 0;
      in.female = !in.male;
      const int m = pick(81) - 40;
      in.diffMinutes = m == 0 && pick(2) == 0 ? -0.0 : m;
      in.diffSeconds = pick(60);
      const LocalTime now{1900 + pick(200), 1 + pick(12), 1 + pick(28), pick(24), pick(60)};
      const ChartResult chart = ComputeChart(in, ShippedTables(), now);
      std::uint64_t h = Fnv({});
      for (const auto& field : FieldBytes(chart)) h = Fnv(field.second, h);
      group = Fnv({reinterpret_cast<const char*>(&h), sizeof h}, group);
      if (i % 4 != 0) continue;
      const bool standard = in.year >= 1888 && (in.year < 1948 || in.year > 1951);
      const MomentSettings s{standard && i % 8 ? DstMode::Auto : DstMode::Off,
                             standard ? static_cast<Before1888>(i % 3) : Before1888::Jst};
      EXPECT_EQ(FirstDifference(ComputeBirth(in, s, ShippedTables(), now).chart, chart), "")
          << in.year;
    }
    EXPECT_EQ(group, recorded[g]) << "group " << g;
  }
}

// "Now" is Japan's clock wherever the computer is: a moment reads the same
// under any local time zone, across day, year and leap-day changes and a
// summer-time change abroad (the window test shows the age that follows).
TEST(JapanTime, SameReadingUnderAnyLocalZone) {
  using namespace std::chrono;
  const std::pair<sys_seconds, const char*> rows[] = {
      {sys_days{2026y / May / 4} + 15h + 30min + 45s, "2026-05-05T00:30"},  // Japan's day already next
      {sys_days{2026y / December / 31} + 15h, "2027-01-01T00:00"},
      {sys_days{2024y / February / 28} + 15h, "2024-02-29T00:00"},
      {sys_days{2026y / March / 8} + 10h + 30min, "2026-03-08T19:30"},  // summer time starts in Los Angeles
      {sys_days{1970y / January / 1}, "1970-01-01T09:00"},
      {sys_days{2038y / January / 19} + 3h + 14min + 8s, "2038-01-19T12:14"}};
  const char* saved = std::getenv("TZ");
  const std::string savedZone = saved ? saved : "";
  for (const char* zone : {"America/Los_Angeles", "Asia/Tokyo", "UTC", "Europe/London"}) {
    ::setenv("TZ", zone, 1);  // as a user's TZ does
    ::tzset();
    for (const auto& [moment, japan] : rows)
      EXPECT_EQ(IsoMinuteText(JapanTimeAt(system_clock::time_point(moment))), japan) << zone;
  }
  saved ? ::setenv("TZ", savedZone.c_str(), 1) : ::unsetenv("TZ");
  ::tzset();
}

}  // namespace
}  // namespace torvela::chart
