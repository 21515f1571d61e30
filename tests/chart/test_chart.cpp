// Whole charts with the real planet tables: texts, births at the edges of the
// year range, and properties tying the pillars to the sun. Expected pillars
// are counted independently from 2000-01-01 = 戊午 and 1984 = 甲子.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <set>

#include "calc/Module2.h"
#include "calc/Numeric.h"
#include "chart/Chart.h"

namespace torvela::chart {
namespace {

constexpr LocalTime kNow{2026, 12, 6, 12, 0};

// Local time to the minute at or before a Julian day (Meeus, ch. 7).
LocalTime CalendarOf(double jd) {
  const double z = std::floor(jd + 0.5), f = jd + 0.5 - z;
  const double alpha = std::floor((z - 1867216.25) / 36524.25);
  const double b = z + 1 + alpha - std::floor(alpha / 4) + 1524;
  const double c = std::floor((b - 122.1) / 365.25), d = std::floor(365.25 * c);
  const double e = std::floor((b - d) / 30.6001);
  const int month = static_cast<int>(e < 14 ? e - 1 : e - 13);
  const int minutes = static_cast<int>(std::floor(f * 1440));
  return {static_cast<int>(month > 2 ? c - 4716 : c - 4715), month,
          static_cast<int>(b - d - std::floor(30.6001 * e)), minutes / 60, minutes % 60};
}

// The first of lo..hi where pred holds; pred(lo) is false and pred(hi) true.
int FirstTrue(int lo, int hi, const std::function<bool(int)>& pred) {
  EXPECT_TRUE(!pred(lo) && pred(hi));
  for (int mid = (lo + hi) / 2; hi - lo > 1; mid = (lo + hi) / 2) (pred(mid) ? hi : lo) = mid;
  return hi;
}

class ChartTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { tables_ = LoadTables(TORVELA_TEST_DATA_DIR); }

  using sv = std::string_view;
  static ChartResult Compute(double y, double mo, double d, sv hour, sv minute, bool male = true,
                             sv jisahun = "0", sv jisabyo = "0", LocalTime now = kNow) {
    return ComputeChart(InputFromTexts(y, mo, d, hour, minute, male, jisahun, jisabyo), tables_,
                        now);
  }
  // Clock minutes counted from 00:00 on day d.
  static ChartResult At(double y, double mo, double d, int minutes, bool male,
                        std::string_view jisahun, LocalTime now = kNow) {
    return Compute(y, mo, d + minutes / 1440, std::to_string(minutes % 1440 / 60),
                   std::to_string(minutes % 60), male, jisahun, "0", now);
  }
  static ChartTexts Texts(const ChartResult& r) { return MakeChartTexts(r, tables_); }
  static std::string Pillars(const ChartTexts& t) {
    return t.yKan + t.yShi + t.mKan + t.mShi + t.dKan + t.dShi + t.hKan + t.hShi;
  }

  static inline Tables tables_;
};

TEST_F(ChartTest, KnownCharts) {
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
    const ChartResult r = Compute(c.y, c.mo, c.d, c.hour, c.minute, true, c.jisahun, c.jisabyo);
    const ChartTexts t = Texts(r);
    EXPECT_TRUE(r.solarMinute >= 0 && r.solarMinute < 60) << r.solarMinute;
    if (std::isnan(c.firstMinute))
      EXPECT_EQ(t.txtShin.substr(0, c.shin.size()), c.shin);
    else
      EXPECT_EQ(t.txtShin, c.shin + OneDecimalText(c.firstMinute + r.correctionMinutes) + "分");
    EXPECT_EQ((*c.pillars ? Pillars(t) : "") + "/" + (*c.week ? t.txtweek : "") + "/" +
                  (*c.age ? r.ageText : ""), std::string(c.pillars) + "/" + c.week + "/" + c.age);
    EXPECT_TRUE(std::string(c.age) != "-" || t.bold == -1);
  }
}

TEST_F(ChartTest, TimeDifferenceSignsAndUnknownTimes) {
  // "-0" minutes means west; the minutes carry the sign for the seconds.
  const std::tuple<const char*, const char*, double> cases[] = {
      {"-0", "28", -28}, {"0", "28", 28}, {"-13", "14", -794}, {"13", "-14", 766}, {"abc", "", 0}};
  for (const auto& [min, sec, seconds] : cases)
    EXPECT_DOUBLE_EQ(Compute(2000, 6, 1, "12", "0", true, min, sec).timeDiffDays, seconds / 86400)
        << min << " " << sec;
  // An unknown time computes noon; an unknown minute, minute zero.
  const ChartResult noon = Compute(1975, 8, 20, "12", "0");
  EXPECT_EQ(Compute(1975, 8, 20, "?", "?").eotMinutes, noon.eotMinutes);
  EXPECT_EQ(Compute(1975, 8, 20, "?", "45").sunLongitude, noon.sunLongitude);
  EXPECT_EQ(Compute(1975, 8, 20, "9", "?").solarDayFraction,
            Compute(1975, 8, 20, "9", "0").solarDayFraction);
}

TEST_F(ChartTest, GreatLuckAndTexts) {
  const ChartResult r = Compute(2000, 1, 1, "12", "0");
  const ChartTexts t = Texts(r);
  EXPECT_TRUE(t.lblOu == "水" && t.txtKoukei == GeneralText(r.sunLongitude));
  // 己 is yin: a man runs backwards, the first column after 丙子 is 乙亥.
  EXPECT_FALSE(r.forward);
  EXPECT_EQ(t.dun_kan[0] + t.dun_shi[0] + t.dun_kan[1] + t.dun_shi[1], "丙子乙亥");
  const auto n = [](int v) { return std::to_string(v); };
  EXPECT_EQ(t.txtKoutai,
            "約" + n(r.startYears) + "歳" + n(r.startMonths) + "カ月" + n(r.startDays) + "日");
  EXPECT_EQ(t.sai1[0] + "/" + t.sai2[10], n(r.fromAges[0]) + "/" + n(r.toAges[10]));
  EXPECT_TRUE(t.bold == r.currentColumn && r.currentColumn >= 1);  // 26 years on
  EXPECT_EQ(Texts(Compute(2000, 2, 11, "12", "0")).txtKinjisa, "-14分16.5秒");

  // Every control once by its object name: 16 single ones, 11 + 11 + 10 + 11 in arrays.
  std::set<std::string> names;
  for (const auto& item : t.Items()) names.insert(item.first);
  EXPECT_TRUE(names.size() == t.Items().size() && names.size() == 16u + 11 + 11 + 10 + 11);
  for (const char* name : {"txtShin", "lblOu", "dun_kan_0", "dun_shi_10", "sai1_9", "sai2_10"})
    EXPECT_TRUE(names.count(name)) << name;
  EXPECT_FALSE(names.count("sai1_10"));
}

// The marked column against a present far from the birth: none before the
// birth, then one per ten years, none from a hundred years after the first change.
TEST_F(ChartTest, PresentBeforeBirthAndAfterTheLastPeriod) {
  const ChartResult birth = At(1950, 6, 15, 12 * 60, true, "-30");
  ASSERT_GT(birth.startAge, 1);
  const double born = birth.localBirthJD - birth.timeDiffDays, minute = 1.0 / 1440;
  const double first = born + birth.startAge * 365.2422, limit = first + 36524.22;
  const std::pair<double, int> cases[] = {
      {born - 36524, -1},        {born - 2 * minute, -1},   {born + 2 * minute, 0},
      {first - 2 * minute, 0},   {first + 2 * minute, 1},   {limit - 2 * minute, 10},
      {limit + 2 * minute, -1},  {limit + 36524, -1},
  };
  for (const auto& [jd, column] : cases) {
    const ChartResult r = At(1950, 6, 15, 12 * 60, true, "-30", CalendarOf(jd));
    EXPECT_TRUE(r.currentColumn == column && Texts(r).bold == column) << jd - born;
    EXPECT_EQ(r.ageText == "-", jd < born) << jd - born;
  }
}

TEST_F(ChartTest, DayPillarsSixtyDaysApartAgree) {
  for (double jd = JulianDay(1800, 3, 1); jd < JulianDay(2080, 10, 1); jd += 3001) {
    const LocalTime a = CalendarOf(jd), b = CalendarOf(jd + 60);
    const ChartResult ra = Compute(a.year, a.month, a.day, "12", "0"),
                      rb = Compute(b.year, b.month, b.day, "12", "0");
    EXPECT_EQ(ra.dayStem * 100 + ra.dayBranch, rb.dayStem * 100 + rb.dayBranch)
        << a.year << "-" << a.month << "-" << a.day;
  }
}

// Two births one clock minute apart on either side of a sectional term: the
// month steps on (and at 315 degrees the year), and the start of great luck
// is the minute's arc, 約0歳0カ月0日, forwards before and backwards after.
TEST_F(ChartTest, WithinAMinuteOfASectionalTerm) {
  // Plain variables, not structured bindings: clang 14 cannot capture those.
  struct Term { double longitude, month; int firstDay; };
  for (const Term term : {Term{285, 1, 3}, Term{315, 2, 1}, Term{345, 3, 3}, Term{255, 12, 4}}) {
    const double longitude = term.longitude, month = term.month;
    const int firstDay = term.firstDay;
    for (double year : {1801.0, 1955.0, 2000.0, 2079.0}) {
      for (const char* jisa : {"0", "-49", "25"}) {
        SCOPED_TRACE(testing::Message() << longitude << " " << year << " " << jisa);
        const auto at = [&](int minutes, bool forward) {
          const bool yang = At(year, month, firstDay, minutes, true, jisa).yearParity == 0;
          return At(year, month, firstDay, minutes, yang == forward, jisa);
        };
        const int hi = FirstTrue(0, 5 * 1440, [&](int minutes) {
          return std::fmod(at(minutes, true).sunLongitude - longitude + 360, 360) < 180;
        });
        const ChartResult before = at(hi - 1, true), after = at(hi, false);
        const int y = longitude == 315;
        const ChartResult &a = after, &b = before;
        EXPECT_EQ((std::array<int, 5>{a.solarMonthNumber, a.monthBranch, a.monthStem, a.yearStem,
                                      a.yearBranch}),
                  (std::array<int, 5>{b.solarMonthNumber % 12 + 1, b.monthBranch % 12 + 1,
                                      b.monthStem % 10 + 1, (b.yearStem + y - 1) % 10 + 1,
                                      (b.yearBranch + y - 1) % 12 + 1}));
        EXPECT_EQ(a.pillarYear, b.pillarYear + y);
        if (y) { EXPECT_EQ(before.seasonElement + after.seasonElement, "土木"); }
        for (const ChartResult* r : {&before, &after}) {
          const ChartTexts t = Texts(*r);
          EXPECT_EQ(t.txtKoutai + t.txtKoutaiYM + t.sai1[0] + t.sai2[0] + t.sai2[1],
                    "約0歳0カ月0日" + t.yKan + "年" + t.mShi + "月009");
        }
      }
    }
  }
}

// True-solar midnight within a minute: the day pillar steps on, the 子 hour
// pillar is the same on both sides.
TEST_F(ChartTest, WithinAMinuteOfMidnight) {
  struct Day { double y, mo, d; const char* jisa; };
  for (const Day day : {Day{1800, 1, 1, "-49"}, Day{1980, 11, 3, "25"}, Day{2080, 12, 30, "48"},
                        Day{2024, 2, 28, "-0"}}) {
    const double y = day.y, mo = day.mo, d = day.d;
    const char* const jisa = day.jisa;
    SCOPED_TRACE(testing::Message() << y << "-" << mo << "-" << d);
    // Clock minutes from 22:00 on the day to 02:00 on the next.
    const auto at = [&](int minutes) { return At(y, mo, d, 22 * 60 + minutes, true, jisa); };
    const int hi = FirstTrue(0, 4 * 60, [&](int minutes) { return at(minutes).solarDay != d; });
    const ChartResult before = at(hi - 1), after = at(hi);
    EXPECT_TRUE(before.solarMinute >= 59 && before.solarHour == 23 && after.solarHour == 0 &&
                after.solarMinute < 1) << before.solarMinute << " " << after.solarMinute;
    EXPECT_EQ(after.dayStem * 100 + after.dayBranch,
              (before.dayStem % 10 + 1) * 100 + before.dayBranch % 12 + 1);
    EXPECT_EQ(before.hourStem * 100 + before.hourBranch, after.hourStem * 100 + 1);
  }
}

TEST_F(ChartTest, ImpossibleInputStillGivesAChart) {
  const ChartInput in{.year = 1990, .month = 13, .day = 40, .hour = 99, .minute = -5,
                      .diffMinutes = 1e300, .diffSeconds = NAN};
  const ChartResult r = ComputeChart(in, tables_, {2026, 1, 1, 0, 0});
  EXPECT_TRUE(r.solarMinute >= 0 && r.solarMinute < 60 && r.solarMonthNumber >= 1 &&
              r.solarMonthNumber <= 12 && Texts(r).txtShin.find("年") != std::string::npos);
}

}  // namespace
}  // namespace torvela::chart
