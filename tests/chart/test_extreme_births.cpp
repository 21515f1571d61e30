// Births at the edges: the first and last minutes the year picker offers,
// leap days, the minute around a sectional term or midnight, and a present
// far before or after the birth. Expected pillars are counted independently
// from 2000-01-01 = 戊午 and 1984 = 甲子.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "calc/Module2.h"
#include "calc/Numeric.h"
#include "chart/Chart.h"

namespace torvela::chart {
namespace {

class ExtremeBirths : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = new Module2;
    module_->LoadTables(TORVELA_TEST_DATA_DIR);
  }
  static void TearDownTestSuite() {
    delete module_;
    module_ = nullptr;
  }

  static ChartResult Compute(double y, double mo, double d, int hour, int minute, bool male,
                             std::string_view jisahun, LocalTime now = {2026, 12, 6, 12, 0}) {
    return ComputeChart(InputFromTexts(y, mo, d, std::to_string(hour), std::to_string(minute),
                                       male, jisahun, "0"),
                        *module_, now);
  }
  static ChartTexts Texts(const ChartResult& r) { return MakeChartTexts(r, *module_); }

  static Module2* module_;
};

Module2* ExtremeBirths::module_ = nullptr;

// Local time to the minute at or before a Julian day (Meeus, ch. 7).
LocalTime AtOrBefore(double jd) {
  const double z = std::floor(jd + 0.5), f = jd + 0.5 - z;
  const double alpha = std::floor((z - 1867216.25) / 36524.25);
  const double a = z + 1 + alpha - std::floor(alpha / 4);
  const double b = a + 1524, c = std::floor((b - 122.1) / 365.25);
  const double d = std::floor(365.25 * c), e = std::floor((b - d) / 30.6001);
  const int month = static_cast<int>(e < 14 ? e - 1 : e - 13);
  const int year = static_cast<int>(month > 2 ? c - 4716 : c - 4715);
  const int minutes = static_cast<int>(std::floor(f * 1440));
  return {year, month, static_cast<int>(b - d - std::floor(30.6001 * e)), minutes / 60,
          minutes % 60};
}

std::string Pillar(const std::string& stem, const std::string& branch) { return stem + branch; }

TEST_F(ExtremeBirths, FirstAndLastMinutesOfTheYearRange) {
  struct Case {
    const char* what;
    double y, mo, d;
    int hour, minute;
    const char* jisa;
    double solarY, solarMo, solarD, solarH;
    double firstMinute;  // clock minute less 60 on a carry, plus 60 on a borrow
    const char *year, *month, *day, *hour_, *week;
  } const cases[] = {
      // −49 min and about −3.5 min of equation of time: back into 1799, 己未.
      {"1800-01-01 00:00 at -49 min", 1800, 1, 1, 0, 0, "-49", 1799, 12, 31, 23, 60,
       "己未", "丙子", "己丑", "丙子", "水曜日"},
      // +48 min less about 3 min: on into 2081, still the 庚子 year before 立春.
      {"2080-12-31 23:59 at +48 min", 2080, 12, 31, 23, 59, "48", 2081, 1, 1, 0, -1,
       "庚子", "戊子", "甲子", "甲子", "火曜日"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ChartResult r = Compute(c.y, c.mo, c.d, c.hour, c.minute, true, c.jisa);
    const ChartTexts t = Texts(r);
    EXPECT_EQ(r.solarYear, c.solarY);
    EXPECT_EQ(r.solarMonth, c.solarMo);
    EXPECT_EQ(r.solarDay, c.solarD);
    EXPECT_EQ(r.solarHour, c.solarH);
    // A 23 h birth takes the 子 hour of the following day's group.
    EXPECT_EQ(t.txtShin, WholeText(static_cast<int>(c.solarY)) + "年" +
                             WholeText(static_cast<int>(c.solarMo)) + "月" +
                             WholeText(static_cast<int>(c.solarD)) + "日" +
                             WholeText(static_cast<int>(c.solarH)) + "時" +
                             OneDecimalText(c.firstMinute + r.correctionMinutes) + "分");
    EXPECT_EQ(r.solarMonthNumber, 12);
    EXPECT_EQ(Pillar(t.yKan, t.yShi), c.year);
    EXPECT_EQ(Pillar(t.mKan, t.mShi), c.month);
    EXPECT_EQ(Pillar(t.dKan, t.dShi), c.day);
    EXPECT_EQ(Pillar(t.hKan, t.hShi), c.hour_);
    EXPECT_EQ(t.txtweek, c.week);  // the weekday of the clock date
    EXPECT_EQ(t.lblOu, "水");
    EXPECT_EQ(t.bold, -1);  // 226 years on, and 54 years before
  }
  EXPECT_EQ(Compute(1800, 1, 1, 0, 0, true, "-49").ageText, "226");
  EXPECT_EQ(Compute(2080, 12, 31, 23, 59, true, "48").ageText, "-");
}

TEST_F(ExtremeBirths, LeapDaysAcrossTrueSolarMidnight) {
  struct Case {
    double y, mo, d;
    int hour, minute;
    const char* jisa;
    double solarMo, solarD, solarH;
    const char *day, *hour_;
  } const cases[] = {
      {2000, 2, 29, 23, 50, "30", 3, 1, 0, "戊午", "壬子"},
      {2000, 3, 1, 0, 5, "-30", 2, 29, 23, "丁巳", "壬子"},
      {1904, 2, 29, 23, 50, "30", 3, 1, 0, "甲午", "甲子"},
      {1904, 3, 1, 0, 5, "-30", 2, 29, 23, "癸巳", "甲子"},
      {1900, 3, 1, 0, 5, "-30", 2, 28, 23, "壬申", "壬子"},  // 1900 has no 29 February
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.y) + "-" + std::to_string(c.mo) + "-" + std::to_string(c.d));
    const ChartTexts t = Texts(Compute(c.y, c.mo, c.d, c.hour, c.minute, false, c.jisa));
    EXPECT_EQ(t.txtShin.substr(0, t.txtShin.find("時")),
              WholeText(static_cast<int>(c.y)) + "年" + WholeText(static_cast<int>(c.solarMo)) +
                  "月" + WholeText(static_cast<int>(c.solarD)) + "日" +
                  WholeText(static_cast<int>(c.solarH)));
    EXPECT_EQ(Pillar(t.dKan, t.dShi), c.day);
    EXPECT_EQ(Pillar(t.hKan, t.hShi), c.hour_);
  }
  // A 29 February that never was is read as the last day of the month.
  const ChartResult bad = Compute(1900, 2, 29, 12, 0, true, "0");
  const ChartResult last = Compute(1900, 2, 28, 12, 0, true, "0");
  EXPECT_EQ(Texts(bad).txtShin, Texts(last).txtShin);
  EXPECT_EQ(bad.birthDateJD, last.birthDateJD);
}

// Two births one clock minute apart on either side of a sectional term: the
// month steps on, and the start of great luck is the minute's arc, 約0歳0カ月0日.
TEST_F(ExtremeBirths, WithinAMinuteOfASectionalTerm) {
  struct Term {
    double longitude;
    double month;
    int firstDay;
  } const terms[] = {{285, 1, 3}, {345, 3, 3}, {255, 12, 4}};
  for (const Term& term : terms) {
    for (double year : {1801.0, 1950.0, 2079.0}) {
      for (const char* jisa : {"0", "-49"}) {
        SCOPED_TRACE(std::to_string(term.longitude) + " " + std::to_string(year) + " " + jisa);
        auto at = [&](int minutes, bool male) {
          return Compute(year, term.month, term.firstDay + minutes / 1440, minutes % 1440 / 60,
                         minutes % 60, male, jisa);
        };
        // The sun is at the term's longitude within this window of five days.
        auto past = [&](int minutes) {
          const double l = at(minutes, true).sunLongitude;
          return std::fmod(l - term.longitude + 360, 360) < 180;
        };
        int lo = 0, hi = 5 * 1440;
        ASSERT_FALSE(past(lo));
        ASSERT_TRUE(past(hi));
        while (hi - lo > 1) {
          const int mid = (lo + hi) / 2;
          (past(mid) ? hi : lo) = mid;
        }
        // Forwards before the term, backwards after it: both a tiny arc.
        const int parity = at(lo, true).yearParity;
        const ChartResult before = at(lo, parity == 0), after = at(hi, parity != 0);
        ASSERT_TRUE(before.forward);
        ASSERT_FALSE(after.forward);
        EXPECT_EQ(after.solarMonthNumber, before.solarMonthNumber % 12 + 1);
        EXPECT_EQ(after.monthBranch, before.monthBranch % 12 + 1);
        EXPECT_EQ(after.monthStem, before.monthStem % 10 + 1);
        EXPECT_EQ(after.pillarYear, before.pillarYear);
        for (const ChartResult* r : {&before, &after}) {
          const ChartTexts t = Texts(*r);
          EXPECT_EQ(t.txtKoutai, "約0歳0カ月0日");
          EXPECT_EQ(t.txtKoutaiYM, t.yKan + "年" + t.mShi + "月");
          EXPECT_EQ(t.sai2[0], "0");
          EXPECT_EQ(t.sai1[0], "0");
          EXPECT_EQ(t.sai2[1], "9");
        }
      }
    }
  }
}

// True-solar midnight within a minute: the day pillar steps on, the 子 hour
// pillar is the same on both sides.
TEST_F(ExtremeBirths, WithinAMinuteOfMidnight) {
  struct Case {
    double y, mo, d;
    const char* jisa;
  } const cases[] = {{1800, 1, 1, "-49"}, {1980, 11, 3, "25"}, {2080, 12, 30, "48"},
                     {2024, 2, 28, "-0"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.y) + "-" + std::to_string(c.mo) + "-" + std::to_string(c.d));
    // Clock minutes from 22:00 on the day to 02:00 on the next.
    auto at = [&](int minutes) {
      const int m = 22 * 60 + minutes;
      return Compute(c.y, c.mo, c.d + m / 1440, m % 1440 / 60, m % 60, true, c.jisa);
    };
    int lo = 0, hi = 4 * 60;
    ASSERT_EQ(at(lo).solarDay, c.d);
    ASSERT_NE(at(hi).solarDay, c.d);
    while (hi - lo > 1) {
      const int mid = (lo + hi) / 2;
      (at(mid).solarDay == c.d ? lo : hi) = mid;
    }
    const ChartResult before = at(lo), after = at(hi);
    EXPECT_EQ(before.solarHour, 23);
    EXPECT_GE(before.solarMinute, 59);
    EXPECT_EQ(after.solarHour, 0);
    EXPECT_LT(after.solarMinute, 1);
    EXPECT_EQ(after.dayStem, before.dayStem % 10 + 1);
    EXPECT_EQ(after.dayBranch, before.dayBranch % 12 + 1);
    EXPECT_EQ(before.hourBranch, 1);
    EXPECT_EQ(after.hourBranch, 1);
    EXPECT_EQ(after.hourStem, before.hourStem);
  }
}

// A true-solar minute of 59.95 or more would round to "60.0"; it stays in
// its hour, as the hour pillar does.
TEST_F(ExtremeBirths, TheLastTwentiethOfAMinuteStaysInItsHour) {
  const ChartResult r = ComputeChart(
      InputFromTexts(2000, 6, 1, "12", "30", true, "27", "51"), *module_, {2026, 12, 6, 12, 0});
  ASSERT_GE(r.solarMinute, 59.95);
  ASSERT_LT(r.solarMinute, 60);
  EXPECT_EQ(Texts(r).txtShin, "2000年6月1日12時59.9分");
  EXPECT_EQ(Texts(r).hShi, "午");
}

// The marked column against a present far from the birth: none before the
// birth, the first until the first change, then one per ten years, and none
// from a hundred years after the first change.
TEST_F(ExtremeBirths, PresentBeforeBirthAndAfterTheLastPeriod) {
  const ChartResult birth = Compute(1950, 6, 15, 12, 0, true, "-30");
  ASSERT_GT(birth.startAge, 1);  // so that the first column spans a while
  const double first = birth.localBirthJD + birth.startAge * 365.2422 - birth.timeDiffDays;
  const double limit = first + 36524.22;
  struct Case {
    const char* what;
    double jd;  // the present, on the clock
    int column;
  } const cases[] = {
      {"a century before", birth.localBirthJD - 36524, -1},
      {"a minute before the birth", birth.localBirthJD - birth.timeDiffDays - 2.0 / 1440, -1},
      {"just after the birth", birth.localBirthJD - birth.timeDiffDays + 2.0 / 1440, 0},
      {"just before the first change", first - 2.0 / 1440, 0},
      {"just after the first change", first + 2.0 / 1440, 1},
      {"just before the hundred years", limit - 2.0 / 1440, 10},
      {"just after the hundred years", limit + 2.0 / 1440, -1},
      {"two centuries on", limit + 36524, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const LocalTime now = AtOrBefore(c.jd);
    const ChartResult r = Compute(1950, 6, 15, 12, 0, true, "-30", now);
    EXPECT_EQ(r.currentColumn, c.column);
    EXPECT_EQ(Texts(r).bold, c.column);
  }
  EXPECT_EQ(Compute(1950, 6, 15, 12, 0, true, "-30", AtOrBefore(birth.localBirthJD - 36524)).ageText,
            "-");
}

}  // namespace
}  // namespace torvela::chart
