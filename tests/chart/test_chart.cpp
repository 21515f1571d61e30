// Whole charts with the real planet tables: the driver's order, the texts,
// and properties that tie the pillars to the sun.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "calc/Module2.h"
#include "calc/Numeric.h"
#include "chart/Chart.h"

namespace torvela::chart {
namespace {

class ChartTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = new Module2;
    module_->LoadTables(TORVELA_TEST_DATA_DIR);
  }
  static void TearDownTestSuite() {
    delete module_;
    module_ = nullptr;
  }

  static ChartResult Compute(double y, double mo, double d, std::string_view hour,
                             std::string_view minute, bool male = true,
                             std::string_view jisahun = "0", std::string_view jisabyo = "0",
                             LocalTime now = {2026, 12, 6, 12, 0}) {
    return ComputeChart(InputFromTexts(y, mo, d, hour, minute, male, jisahun, jisabyo), *module_,
                        now);
  }
  static ChartTexts Texts(const ChartResult& r) { return MakeChartTexts(r, *module_); }

  static Module2* module_;
};

Module2* ChartTest::module_ = nullptr;

TEST_F(ChartTest, TrueSolarTextAcrossLeapDayKeepsMonthDays) {
  // Whatever table the date inputs left behind, the carry uses the calendar.
  module_->SetMonthDays(1981);
  const auto before = module_->MonthDays;
  // 1980-03-01 00:10 at 135 deg E less 18 min 30 s: back into 29 February.
  const ChartResult r = Compute(1980, 3, 1, "0", "10", false, "-18", "30");
  EXPECT_EQ(module_->MonthDays, before);
  const std::string shin = Texts(r).txtShin;
  EXPECT_EQ(shin.rfind("1980年2月29日23時", 0), 0u) << shin;
  EXPECT_NEAR(r.correctionMinutes, -18.5 + r.eotMinutes, 1e-9);
  EXPECT_EQ(Texts(r).txtShin,
            "1980年2月29日23時" + OneDecimalText(10 + 60 + r.correctionMinutes) + "分");
  // The day pillar follows the true-solar date, the weekday the clock date.
  EXPECT_EQ(r.weekday, 7);  // 1980-03-01 was a Saturday
  EXPECT_EQ(Texts(r).txtweek, "土曜日");
  const ChartResult feb29 = Compute(1980, 2, 29, "12", "0");
  EXPECT_EQ(r.dayStem, feb29.dayStem);
  EXPECT_EQ(r.dayBranch, feb29.dayBranch);
}

TEST_F(ChartTest, MinusZeroMinutesIsWest) {
  const ChartResult west = Compute(2000, 6, 1, "12", "0", true, "-0", "28");
  const ChartResult east = Compute(2000, 6, 1, "12", "0", true, "0", "28");
  EXPECT_DOUBLE_EQ(west.timeDiffDays, -28.0 / 86400);
  EXPECT_DOUBLE_EQ(east.timeDiffDays, 28.0 / 86400);
  // Minutes carry the sign for the seconds; seconds keep their own otherwise.
  EXPECT_DOUBLE_EQ(Compute(2000, 6, 1, "12", "0", true, "-13", "14").timeDiffDays,
                   -(13 * 60 + 14) / 86400.0);
  EXPECT_DOUBLE_EQ(Compute(2000, 6, 1, "12", "0", true, "13", "-14").timeDiffDays,
                   (13 * 60 - 14) / 86400.0);
  EXPECT_DOUBLE_EQ(Compute(2000, 6, 1, "12", "0", true, "abc", "").timeDiffDays, 0);
}

TEST_F(ChartTest, LargeWesternCorrectionCarriesTwice) {
  // -48 min at the western end plus about -14 min of equation of time in
  // February: more than an hour back from midnight. One borrow per unit
  // would leave minute -2 at 23 h and take the 子 hour.
  const ChartResult r = Compute(2026, 2, 10, "0", "0", true, "-48", "0");
  ASSERT_LT(r.correctionMinutes, -60);
  EXPECT_EQ(r.solarDay, 9);
  EXPECT_EQ(r.solarHour, 22);
  EXPECT_GE(r.solarMinute, 0);
  EXPECT_LT(r.solarMinute, 60);
  EXPECT_NEAR(r.solarHour * 60 + r.solarMinute, 24 * 60 + r.correctionMinutes, 1e-9);
  // 22 h is the 亥 hour.
  EXPECT_EQ(r.hourBranch, 12);
}

TEST_F(ChartTest, UnknownHourIsNoonWithEmptyHourPillar) {
  const ChartResult unknown = Compute(1975, 8, 20, "?", "?");
  const ChartResult unknownAnyMinute = Compute(1975, 8, 20, "?", "45");
  const ChartResult noon = Compute(1975, 8, 20, "12", "0");
  EXPECT_EQ(unknown.eotMinutes, noon.eotMinutes);
  EXPECT_EQ(unknownAnyMinute.sunLongitude, noon.sunLongitude);
  EXPECT_EQ(unknown.dayStem, noon.dayStem);
  EXPECT_EQ(unknown.monthBranch, noon.monthBranch);
  const ChartTexts t = Texts(unknown);
  EXPECT_EQ(t.txtShin, "1975年8月20日確定不能");
  EXPECT_EQ(t.hKan, "□");
  EXPECT_EQ(t.hShi, "□");
  // Minute "?" alone computes minute 0.
  EXPECT_EQ(Compute(1975, 8, 20, "9", "?").solarDayFraction,
            Compute(1975, 8, 20, "9", "0").solarDayFraction);
}

TEST_F(ChartTest, AgeAgainstTheInjectedPresent) {
  const LocalTime now{2026, 12, 6, 12, 0};
  struct Case {
    double y, m, d;
    const char* hour;
    const char* age;
  } cases[] = {
      {2026, 12, 6, "13", "-"},  // later today: not born yet
      {2026, 12, 6, "11", "0"},  {2000, 12, 6, "11", "26"},
      {2000, 12, 6, "13", "25"}, {2000, 12, 7, "0", "25"}, {1900, 1, 1, "0", "126"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Compute(c.y, c.m, c.d, c.hour, "0", true, "0", "0", now).ageText, c.age)
        << c.y << "-" << c.m << "-" << c.d << " " << c.hour;
  const ChartResult future = Compute(2026, 12, 6, "13", "0", true, "0", "0", now);
  EXPECT_EQ(future.currentColumn, -1);
  EXPECT_EQ(Texts(future).bold, -1);
}

TEST_F(ChartTest, KnownPillarsAndTexts) {
  // 2000-01-01 noon at 135 deg E: day 戊午, before 小寒 so month 12 (子) of 1999 (己卯).
  const ChartResult r = Compute(2000, 1, 1, "12", "0", true, "0", "0", {2026, 12, 6, 12, 0});
  const ChartTexts t = Texts(r);
  EXPECT_EQ(t.dKan + t.dShi, "戊午");
  EXPECT_EQ(t.yKan + t.yShi, "己卯");
  EXPECT_EQ(r.solarMonthNumber, 12);
  EXPECT_EQ(t.mKan + t.mShi, "丙子");
  EXPECT_EQ(t.hKan + t.hShi, "戊午");  // noon on a 戊 day
  EXPECT_EQ(t.txtweek, "土曜日");
  EXPECT_EQ(t.lblOu, "水");
  EXPECT_EQ(t.txtKoukei, GeneralText(r.sunLongitude));
  // 己 is yin: a man runs backwards, the first column after 丙子 is 乙亥.
  EXPECT_FALSE(r.forward);
  EXPECT_EQ(t.dun_kan[0] + t.dun_shi[0], "丙子");
  EXPECT_EQ(t.dun_kan[1] + t.dun_shi[1], "乙亥");
  EXPECT_EQ(t.txtKoutai, "約" + std::to_string(r.startYears) + "歳" +
                             std::to_string(r.startMonths) + "カ月" +
                             std::to_string(r.startDays) + "日");
  EXPECT_EQ(t.sai1[0], std::to_string(r.fromAges[0]));
  EXPECT_EQ(t.sai2[10], std::to_string(r.toAges[10]));
  EXPECT_EQ(t.bold, r.currentColumn);
  EXPECT_GE(r.currentColumn, 1);  // 26 years on

  // 2000-02-11 noon at 135 deg E: the equation of time of day 11.5.
  EXPECT_EQ(Texts(Compute(2000, 2, 11, "12", "0")).txtKinjisa, "-14分16.5秒");

  const auto items = t.Items();
  EXPECT_EQ(items.size(), 16u + 11 + 11 + 10 + 11);
  std::set<std::string> names;
  for (const auto& item : items) names.insert(item.first);
  EXPECT_EQ(names.size(), items.size());
  for (const char* name : {"txtShin", "lblOu", "dun_kan_0", "dun_shi_10", "sai1_9", "sai2_10"})
    EXPECT_TRUE(names.count(name)) << name;
  EXPECT_FALSE(names.count("sai1_10"));
}

TEST_F(ChartTest, DayPillarsSixtyDaysApartAgree) {
  for (double jd = JulianDay(1800, 3, 1); jd < JulianDay(2080, 10, 1); jd += 3001) {
    // Calendar date of the day number via a chart-independent route.
    const auto date = [](double j) {
      // Meeus, Astronomical Algorithms ch. 7.
      const double z = std::floor(j + 0.5);
      const double alpha = std::floor((z - 1867216.25) / 36524.25);
      const double a = z + 1 + alpha - std::floor(alpha / 4);
      const double b = a + 1524, c = std::floor((b - 122.1) / 365.25);
      const double d = std::floor(365.25 * c), e = std::floor((b - d) / 30.6001);
      const double day = b - d - std::floor(30.6001 * e);
      const double month = e < 14 ? e - 1 : e - 13;
      return std::array<double, 3>{month > 2 ? c - 4716 : c - 4715, month, day};
    };
    const auto d1 = date(jd), d2 = date(jd + 60);
    const ChartResult a = Compute(d1[0], d1[1], d1[2], "12", "0");
    const ChartResult b = Compute(d2[0], d2[1], d2[2], "12", "0");
    EXPECT_EQ(a.dayStem, b.dayStem) << d1[0] << "-" << d1[1] << "-" << d1[2];
    EXPECT_EQ(a.dayBranch, b.dayBranch) << d1[0] << "-" << d1[1] << "-" << d1[2];
  }
}

TEST_F(ChartTest, YearPillarFlipsWhereTheSunCrosses315) {
  for (double year : {1801.0, 1900.0, 1955.0, 2000.0, 2024.0, 2080.0}) {
    for (const char* jisa : {"0", "-40", "25"}) {
      // Bisection on clock minutes from 1 February to 8 February.
      auto at = [&](int minutes) {
        const int day = 1 + minutes / 1440, hour = minutes % 1440 / 60, minute = minutes % 60;
        return Compute(year, 2, day, std::to_string(hour), std::to_string(minute), true, jisa);
      };
      int lo = 0, hi = 7 * 1440;
      ASSERT_LT(at(lo).sunLongitude, 315);
      ASSERT_GE(at(hi).sunLongitude, 315);
      while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        (at(mid).sunLongitude < 315 ? lo : hi) = mid;
      }
      const ChartResult before = at(lo), after = at(hi);
      EXPECT_EQ(before.pillarYear, year - 1) << year << " " << jisa;
      EXPECT_EQ(before.solarMonthNumber, 1);
      EXPECT_EQ(after.pillarYear, year);
      EXPECT_EQ(after.solarMonthNumber, 2);
      EXPECT_EQ(after.yearStem, before.yearStem % 10 + 1);
      EXPECT_EQ(after.yearBranch, before.yearBranch % 12 + 1);
      EXPECT_EQ(after.monthBranch, 3);  // 寅
      EXPECT_NE(before.seasonElement, after.seasonElement);  // 土 to 木
      EXPECT_EQ(after.seasonElement, "木");
    }
  }
}

TEST_F(ChartTest, ImpossibleInputStillGivesAChart) {
  ChartInput in;
  in.year = 1990;
  in.month = 13;
  in.day = 40;
  in.hour = 99;
  in.minute = -5;
  in.diffMinutes = 1e300;
  in.diffSeconds = std::nan("");
  const ChartResult r = ComputeChart(in, *module_, {2026, 1, 1, 0, 0});
  EXPECT_GE(r.solarMinute, 0);
  EXPECT_LT(r.solarMinute, 60);
  EXPECT_GE(r.solarMonthNumber, 1);
  EXPECT_LE(r.solarMonthNumber, 12);
  const ChartTexts t = Texts(r);
  EXPECT_NE(t.txtShin.find("年"), std::string::npos);
}

}  // namespace
}  // namespace torvela::chart
