// The moment behind an entered birth: summer time 1948-1951 from the
// time-zone database, readings before 1888, the sectional terms against the
// chart's own month decision, and the boundary search against a scan of
// every clock minute of the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "calc/Module2.h"
#include "chart/BirthMoment.h"
#include "chart/Chart.h"
#include "chart/ChartFields.h"
#include "chart/SolarTerms.h"

namespace torvela::chart {
namespace {

constexpr LocalTime kNow{2026, 12, 6, 12, 0};

// Each field of a chart as bytes, doubles by their bit patterns.
std::vector<std::pair<std::string, std::string>> FieldBytes(const ChartResult& r) {
  std::vector<std::pair<std::string, std::string>> out;
  ForEachResultField(r, [&out](const char* name, const auto& field) {
    using T = std::decay_t<decltype(field)>;
    if constexpr (std::is_same_v<T, std::string>) {
      out.emplace_back(name, field);
    } else {
      std::string bytes(sizeof field, '\0');
      std::memcpy(bytes.data(), &field, sizeof field);
      out.emplace_back(name, bytes);
    }
  });
  return out;
}

// The first field in which two charts differ to the bit, "" when none;
// fields named in `skip` are not compared.
std::string FirstDifference(const ChartResult& a, const ChartResult& b,
                            const std::set<std::string>& skip = {}) {
  const auto fa = FieldBytes(a), fb = FieldBytes(b);
  for (std::size_t i = 0; i < fa.size(); ++i)
    if (!skip.count(fa[i].first) && fa[i].second != fb[i].second) return fa[i].first;
  return "";
}

// What belongs to the entered clock reading rather than to the moment.
const std::set<std::string> kEnteredFields = {"birthDateJD", "clockDayFraction",
                                              "birthdayThisYearJD", "ageText", "weekday"};

ChartInput Input(int y, int mo, int d, std::string_view hour, std::string_view minute,
                 std::string_view jisahun = "19", bool male = true) {
  return InputFromTexts(y, mo, d, hour, minute, male, jisahun, "0");
}

ChartInput Input(const LocalTime& t, std::string_view jisahun = "19") {
  return Input(t.year, t.month, t.day, std::to_string(t.hour), std::to_string(t.minute), jisahun);
}

MomentSettings Settings(DstMode dst, Before1888 before = Before1888::Jst, int margin = 30) {
  MomentSettings s;
  s.dst = dst;
  s.before1888 = before;
  s.marginMinutes = margin;
  return s;
}

bool Contains(const std::vector<std::string>& notices, std::string_view part) {
  return std::any_of(notices.begin(), notices.end(),
                     [&](const std::string& n) { return n.find(part) != std::string::npos; });
}

class BirthTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { tables_ = LoadTables(TORVELA_TEST_DATA_DIR); }

  static BirthReport Birth(const ChartInput& in, const MomentSettings& s = {}) {
    return ComputeBirth(in, s, tables_, kNow);
  }
  static ChartResult Chart(const ChartInput& in) { return ComputeChart(in, tables_, kNow); }

  // The chart of one clock minute, read the way ComputeBirth reads it.
  static ChartResult ChartAtClock(const ChartInput& entered, std::int64_t minute,
                                  const MomentSettings& s) {
    const LocalTime t = ReadingOfMinute(minute);
    ChartInput in = entered;
    in.year = t.year;
    in.month = t.month;
    in.day = t.day;
    in.hour = t.hour;
    in.minute = t.minute;
    in.hourUnknown = in.minuteUnknown = false;
    const ClockReading c = ReadClock(t, s);
    in.clockShiftMinutes = c.shiftMinutes;
    in.clockBasis = c.basis;
    return Chart(in);
  }

  static inline Tables tables_;
};

// ---------------------------------------------------------------------------
// Summer time

TEST_F(BirthTest, EverySummerTimeStartAndEnd) {
  // The first day of summer time and the day it ended, 1948-1951.
  const std::tuple<int, int, int, int, int> years[] = {
      {1948, 5, 2, 9, 12}, {1949, 4, 3, 9, 11}, {1950, 5, 7, 9, 10}, {1951, 5, 6, 9, 9}};
  for (const auto& [y, startMonth, startDay, endMonth, endDay] : years) {
    const LocalTime start{y, startMonth, startDay, 0, 0}, end{y, endMonth, endDay, 0, 0};
    const auto minute = [](const LocalTime& day, int offset) {
      return ReadingOfMinute(MinuteNumber(day) + offset);
    };
    struct Case {
      LocalTime clock;
      ClockKind kind;
      int shift;
    } const cases[] = {
        {minute(start, -30), ClockKind::Standard, 0},  // the hour before
        {minute(start, 0), ClockKind::Skipped, 0},     // never on a clock
        {minute(start, 59), ClockKind::Skipped, 0},
        {minute(start, 60), ClockKind::Summer, -60},  // the hour after
        {minute(end, -30), ClockKind::Summer, -60},   // the last summer hour
        {minute(end, 0), ClockKind::Repeated, -60},   // shown twice: the first time
        {minute(end, 59), ClockKind::Repeated, -60},
        {minute(end, 60), ClockKind::Standard, 0},  // the hour after
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(IsoMinuteText(c.clock));
      const ClockReading on = ReadClock(c.clock, Settings(DstMode::Auto));
      const ClockReading off = ReadClock(c.clock, Settings(DstMode::Off));
      EXPECT_EQ(on.kind, c.kind);
      EXPECT_EQ(on.shiftMinutes, c.shift);
      EXPECT_TRUE(off.kind == c.kind && off.shiftMinutes == 0);
      if (c.kind == ClockKind::Skipped || c.kind == ClockKind::Repeated) {
        const LocalTime first = c.kind == ClockKind::Skipped ? start : end;
        EXPECT_EQ(IsoMinuteText(on.hourFirst) + " " + IsoMinuteText(on.hourLast),
                  IsoMinuteText(first) + " " + IsoMinuteText(minute(first, 59)));
      }

      // The chart is that of the reading moved by the shift, and with the
      // correction off today's chart of the reading as entered.
      const BirthReport r = Birth(Input(c.clock));
      EXPECT_EQ(r.clockShiftMinutes, c.shift);
      const ChartInput jst = Input(minute(c.clock, c.shift));
      EXPECT_EQ(FirstDifference(r.chart, Chart(jst), kEnteredFields), "");
      EXPECT_EQ(FirstDifference(r.chart, Chart(Input(c.clock)), kEnteredFields).empty(),
                c.shift == 0);
      EXPECT_EQ(FirstDifference(Birth(Input(c.clock), Settings(DstMode::Off)).chart,
                                Chart(Input(c.clock))),
                "");
      EXPECT_EQ(Contains(r.notices, "夏時刻："), c.kind == ClockKind::Summer);
      EXPECT_EQ(Contains(r.notices, "存在しない時刻"), c.kind == ClockKind::Skipped);
      EXPECT_EQ(Contains(r.notices, "二度あった時刻"), c.kind == ClockKind::Repeated);
    }
  }
}

TEST_F(BirthTest, MidSummer1949WithAndWithoutTheCorrection) {
  // Tokyo, 1949-07-01 10:00 on the clock: summer time, so 09:00 JST.
  const ChartInput entered = Input(1949, 7, 1, "10", "0");
  const BirthReport on = Birth(entered);
  const BirthReport off = Birth(entered, Settings(DstMode::Off));
  EXPECT_EQ(on.clockShiftMinutes, -60);
  EXPECT_EQ(FirstDifference(on.chart, Chart(Input(1949, 7, 1, "9", "0")), kEnteredFields), "");
  // The entered date and clock stay those of the age and the weekday.
  const ChartResult asEntered = Chart(entered);
  EXPECT_TRUE(on.chart.birthDateJD == asEntered.birthDateJD &&
              on.chart.clockDayFraction == asEntered.clockDayFraction &&
              on.chart.birthdayThisYearJD == asEntered.birthdayThisYearJD &&
              on.chart.ageText == asEntered.ageText && on.chart.weekday == asEntered.weekday);
  EXPECT_EQ(MakeChartTexts(on.chart, tables_).txtShin.substr(0, 19), "1949年7月1日9時");
  ASSERT_FALSE(on.notices.empty());
  EXPECT_EQ(on.notices[0],
            "夏時刻：1949年7月1日10時00分は夏時刻（UTC+10）の時計とみなし、1時間引いた日本標準時の"
            "9時00分で計算しました。");
  // Off: today's chart to the bit, and a word that it was summer time.
  EXPECT_EQ(off.clockShiftMinutes, 0);
  EXPECT_EQ(FirstDifference(off.chart, Chart(entered)), "");
  EXPECT_TRUE(Contains(off.notices, "補正しない設定"));
  // An unknown hour is noon on the clock: 11:00 JST.
  const BirthReport noon = Birth(Input(1949, 7, 1, "?", "?"));
  EXPECT_EQ(FirstDifference(noon.chart, Chart(Input(1949, 7, 1, "11", "0")),
                            {"birthDateJD", "clockDayFraction", "birthdayThisYearJD", "ageText",
                             "weekday", "hourStem", "hourBranch", "hourUnknown"}),
            "");
}

// ---------------------------------------------------------------------------
// Before 1888

TEST_F(BirthTest, ThreeReadingsBeforeStandardTime) {
  // Kyoto, +3 minutes, 1880-06-10 10:00 on the clock.
  const ChartInput entered = Input(1880, 6, 10, "10", "0", "3");
  const BirthReport jst = Birth(entered, Settings(DstMode::Auto, Before1888::Jst));
  const BirthReport lmt = Birth(entered, Settings(DstMode::Auto, Before1888::LocalMean));
  const BirthReport solar = Birth(entered, Settings(DstMode::Auto, Before1888::TrueSolar));
  // JST: today's chart.
  EXPECT_EQ(FirstDifference(jst.chart, Chart(entered)), "");
  // Local mean time: the time difference is not added, the equation of time
  // is; the moment is that of a JST reading on the 135th meridian.
  EXPECT_EQ(lmt.chart.correctionMinutes, lmt.chart.eotMinutes);
  EXPECT_EQ(FirstDifference(lmt.chart, Chart(Input(1880, 6, 10, "10", "0", "0")),
                            {"timeDiffDays", "localBirthJD", "currentColumn"}),
            "");
  EXPECT_EQ(lmt.chart.localBirthJD, lmt.chart.birthDateJD + lmt.chart.clockDayFraction);
  // True solar time already: nothing is added.
  EXPECT_EQ(solar.chart.correctionMinutes, 0);
  EXPECT_TRUE(solar.chart.solarDay == 10 && solar.chart.solarHour == 10 &&
              solar.chart.solarMinute == 0);
  EXPECT_EQ(solar.chart.localBirthJD,
            solar.chart.birthDateJD + solar.chart.clockDayFraction - solar.chart.eotMinutes / 1440);
  for (const BirthReport* r : {&jst, &lmt, &solar}) {
    EXPECT_EQ(r->clockShiftMinutes, 0);
    EXPECT_TRUE(Contains(r->notices, "1888年より前は日本に標準時がありません。"));
    EXPECT_FALSE(Contains(r->notices, "グレゴリオ暦"));
  }
  EXPECT_TRUE(Contains(jst.notices, "日本標準時とみなして"));
  EXPECT_TRUE(Contains(lmt.notices, "地方平均時"));
  EXPECT_TRUE(Contains(solar.notices, "真太陽時とみなし"));

  // Before 1873 the date must be Gregorian; from 1888 on neither notice.
  EXPECT_TRUE(Contains(Birth(Input(1872, 12, 31, "23", "0")).notices, "グレゴリオ暦"));
  EXPECT_TRUE(
      Birth(Input(1888, 1, 1, "12", "0"), Settings(DstMode::Auto, Before1888::TrueSolar, 10))
          .notices.empty());
  EXPECT_TRUE(Contains(Birth(Input(1887, 12, 31, "23", "59")).notices, "1888年より前"));
}

// ---------------------------------------------------------------------------
// Sectional terms

// The terms of 2024 against the chart itself: a birth read as true solar
// time at the reported minute is in the new month, a minute earlier in the
// old one, a minute later still in the new.
TEST_F(BirthTest, TermsOfAWholeYearAgainstTheMonthDecision) {
  std::set<std::string> seen;
  for (int month = 1; month <= 11; ++month) {
    const BirthReport r = Birth(Input(2024, month, 20, "12", "0"));
    for (const auto& [term, next] : {std::pair(&r.prevTerm, false), std::pair(&r.nextTerm, true)}) {
      SCOPED_TRACE(term->name);
      seen.insert(term->name);
      const std::int64_t m = MinuteNumber(term->trueSolar);
      const auto monthAt = [&](std::int64_t minute) {
        ChartInput in = Input(ReadingOfMinute(minute));
        in.clockBasis = ClockBasis::TrueSolar;
        return Chart(in).solarMonthNumber;
      };
      const int opens = next ? r.chart.solarMonthNumber % 12 + 1 : r.chart.solarMonthNumber;
      EXPECT_EQ(term->name, SectionalTermName(opens));
      EXPECT_NE(monthAt(m - 1), opens);
      EXPECT_EQ(monthAt(m), opens);
      EXPECT_EQ(monthAt(m + 1), opens);
    }
    // The birth lies between the two, and the days and hours add up.
    const double birth =
        MinuteNumber(CalendarMoment{r.chart.solarYear, r.chart.solarMonth, r.chart.solarDay,
                                    r.chart.solarHour, r.chart.solarMinute});
    const auto since = birth - MinuteNumber(r.prevTerm.trueSolar);
    const auto until = MinuteNumber(r.nextTerm.trueSolar) - birth;
    EXPECT_TRUE(since > 0 && until > 0);
    EXPECT_EQ(r.prevTerm.days * 24 + r.prevTerm.hours, static_cast<int>(since / 60));
    EXPECT_EQ(r.nextTerm.days * 24 + r.nextTerm.hours, static_cast<int>(until / 60));
  }
  EXPECT_EQ(seen.size(), 12u);
}

TEST_F(BirthTest, TermTexts) {
  TermReport t;
  t.name = "啓蟄";
  t.trueSolar = {2024, 3, 5, 10, 3};
  t.days = 3;
  t.hours = 4;
  EXPECT_EQ(TermLineText(t, false), "節入り：啓蟄 2024年3月5日10時03分（3日4時間前）");
  EXPECT_EQ(TermLineText(t, true), "次の節：啓蟄 2024年3月5日10時03分（3日4時間後）");
  EXPECT_EQ(TermLineText(TermReport{}, true), "");
  EXPECT_EQ(IsoMinuteText({987, 1, 2, 3, 4}), "0987-01-02T03:04");
}

// ---------------------------------------------------------------------------
// Boundaries

TEST_F(BirthTest, BoundaryCases) {
  struct Case {
    const char* what;
    ChartInput in;
    std::vector<std::string> pillars;  // "year@clock>to" in clock order
  } const cases[] = {
      // 立春 2024 at 17:31 true solar time, 17:26 on a Tokyo clock.
      {"minutes before 立春",
       Input(2024, 2, 4, "17", "10"),
       {"hour@2024-02-04T16:55>庚申", "year@2024-02-04T17:26>甲辰", "month@2024-02-04T17:26>丙寅"}},
      // The 午 hour begins at 11:00 true solar time.
      {"before a 時辰", Input(2024, 6, 4, "10", "30"), {"hour@2024-06-04T10:40>庚午"}},
      // 23:30 on the clock at +10 minutes is 23:41.7 true solar time.
      {"before midnight", Input(2024, 6, 4, "23", "30", "10"), {"day@2024-06-04T23:49>庚子"}},
      // Hour unknown: the whole date.
      {"hour ? with 立春",
       Input(2024, 2, 4, "?", "?"),
       {"year@2024-02-04T17:26>甲辰", "month@2024-02-04T17:26>丙寅"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const BirthReport r = Birth(c.in);
    std::vector<std::string> got;
    for (const Boundary& b : r.boundaries)
      got.push_back(b.pillar + "@" + IsoMinuteText(b.clock) + ">" + b.to);
    EXPECT_EQ(got, c.pillars);
    EXPECT_EQ(std::count_if(r.notices.begin(), r.notices.end(),
                            [](const std::string& n) { return n.rfind("境界注意", 0) == 0; }) > 0,
              !c.pillars.empty());
  }
  const BirthReport risshun = Birth(Input(2024, 2, 4, "17", "10"));
  EXPECT_TRUE(Contains(risshun.notices,
                       "境界注意：出生時刻が17時26分以降なら年柱は甲辰、月柱は丙寅になります"
                       "（立春の節入り、入力の±30分以内）。"));
  EXPECT_TRUE(Contains(risshun.notices, "境界注意：出生時刻が16時55分より前なら時柱は庚申"));
  EXPECT_TRUE(Birth(Input(2024, 2, 4, "17", "10"), Settings(DstMode::Auto, Before1888::Jst, 0))
                  .boundaries.empty());
}

// Every boundary of a spread of births against the chart run at every clock
// minute of the window: births near terms, midnights and odd hours, in
// summer time and before 1888, with unknown hours and minutes.
TEST_F(BirthTest, BoundariesMatchAMinuteByMinuteScan) {
  std::mt19937_64 rng(7);
  const auto pick = [&rng](int n) {
    return static_cast<int>(rng() % static_cast<std::uint64_t>(n));
  };
  struct Draw {
    ChartInput in;
    MomentSettings settings;
  };
  std::vector<Draw> draws;
  for (int i = 0; i < 60; ++i) {
    const int y = i < 10 ? 1948 + pick(4) : i < 20 ? 1850 + pick(38) : 1800 + pick(280);
    MomentSettings s = Settings(pick(4) ? DstMode::Auto : DstMode::Off,
                                static_cast<Before1888>(pick(3)), std::array{10, 30, 60}[pick(3)]);
    const std::string jisa = std::to_string(pick(60) - 30);
    ChartInput in = Input(y, 1 + pick(12), 1 + pick(28), std::to_string(pick(24)),
                          std::to_string(pick(60)), jisa, pick(2));
    if (i % 3 == 0) {
      // Move the birth to within the margin of its next term on the clock.
      const BirthReport r = Birth(in, s);
      const LocalTime t =
          ReadingOfMinute(MinuteNumber(r.nextTerm.trueSolar) - pick(2 * s.marginMinutes) +
                          s.marginMinutes - pick(60) + 30);
      in = Input(t, jisa);
    }
    if (i % 10 == 4) in.hourUnknown = true;
    if (i % 10 == 7) in.minuteUnknown = true;
    draws.push_back({in, s});
  }
  // Within an hour and a half of the clocks' changes of summer time and of
  // the start of standard time.
  for (const LocalTime night :
       {LocalTime{1948, 5, 2, 0, 0}, LocalTime{1948, 9, 12, 0, 0}, LocalTime{1949, 4, 3, 0, 0},
        LocalTime{1951, 9, 9, 1, 0}, LocalTime{1888, 1, 1, 0, 0}}) {
    for (int i = 0; i < 6; ++i) {
      ChartInput in = Input(ReadingOfMinute(MinuteNumber(night) + pick(180) - 90),
                            std::to_string(pick(60) - 30));
      in.hourUnknown = i == 0;
      in.minuteUnknown = i == 1;
      draws.push_back({in, Settings(DstMode::Auto, static_cast<Before1888>(pick(3)),
                                    std::array{10, 30, 60}[pick(3)])});
    }
  }

  int withBoundary = 0;
  for (const Draw& d : draws) {
    const BirthReport r = Birth(d.in, d.settings);
    const ChartInput& in = r.input;
    SCOPED_TRACE(testing::Message()
                 << IsoMinuteText({static_cast<int>(in.year), static_cast<int>(in.month),
                                   static_cast<int>(in.day), static_cast<int>(in.hour),
                                   static_cast<int>(in.minute)})
                 << (in.hourUnknown     ? " ?"
                     : in.minuteUnknown ? " h:?"
                                        : ""));
    // The window as ComputeBirth takes it.
    const LocalTime clock{static_cast<int>(in.year), static_cast<int>(in.month),
                          static_cast<int>(in.day), in.hourUnknown ? 12 : static_cast<int>(in.hour),
                          in.hourUnknown || in.minuteUnknown ? 0 : static_cast<int>(in.minute)};
    const std::int64_t birth = MinuteNumber(clock), n = d.settings.marginMinutes;
    std::int64_t lo = birth - n, hi = birth + n;
    if (in.hourUnknown) {
      lo = birth - 720;
      hi = birth + 719;
    } else if (in.minuteUnknown) {
      hi = birth + 59 + n;
    }
    const int kinds = in.hourUnknown ? 2 : 4;
    std::vector<std::array<int, 4>> pillars;
    for (std::int64_t m = lo; m <= hi; ++m) {
      const ChartResult c = ChartAtClock(in, m, d.settings);
      pillars.push_back({c.yearStem * 100 + c.yearBranch, c.monthStem * 100 + c.monthBranch,
                         c.dayStem * 100 + c.dayBranch, c.hourStem * 100 + c.hourBranch});
    }
    const auto at = [&](std::int64_t m) { return pillars[static_cast<std::size_t>(m - lo)]; };
    std::multiset<std::string> expected, got;
    for (int kind = 0; kind < kinds; ++kind) {
      for (std::int64_t m = lo + 1; m <= hi; ++m) {
        if (at(m)[kind] == at(m - 1)[kind]) continue;
        const bool before = m <= birth;
        const int to = at(before ? m - 1 : m)[kind];
        expected.insert(std::string(std::array{"year", "month", "day", "hour"}[kind]) + "@" +
                        IsoMinuteText(ReadingOfMinute(m)) + ">" + std::to_string(to) +
                        (before ? "<" : ">"));
      }
    }
    for (const Boundary& b : r.boundaries) {
      // The pillar named "to" as stem*100+branch, found from its name.
      int to = 0;
      for (int s = 1; s <= 10; ++s)
        for (int br = 1; br <= 12; ++br)
          if (tables_.StemNames[s] + tables_.BranchNames[br] == b.to) to = s * 100 + br;
      got.insert(b.pillar + "@" + IsoMinuteText(b.clock) + ">" + std::to_string(to) +
                 (b.before ? "<" : ">"));
    }
    EXPECT_EQ(got, expected);
    withBoundary += !expected.empty();
  }
  EXPECT_GT(withBoundary, 40);
}

// ---------------------------------------------------------------------------

TEST_F(BirthTest, OutsideTheNewCasesTheChartIsToday) {
  std::mt19937_64 rng(11);
  const auto pick = [&rng](int n) {
    return static_cast<int>(rng() % static_cast<std::uint64_t>(n));
  };
  for (int i = 0; i < 300; ++i) {
    int y = 1888 + pick(200);
    if (y >= 1948 && y <= 1951) y += 10;
    const ChartInput in =
        Input(y, 1 + pick(12), 1 + pick(28), pick(10) ? std::to_string(pick(24)) : "?",
              std::to_string(pick(60)), std::to_string(pick(80) - 40), pick(2));
    // Any settings; and any year at all with summer time off and JST before 1888.
    const MomentSettings s =
        Settings(pick(2) ? DstMode::Auto : DstMode::Off, static_cast<Before1888>(pick(3)), 30);
    EXPECT_EQ(FirstDifference(Birth(in, s).chart, Chart(in)), "") << y;
    ChartInput any = in;
    any.year = 1700 + pick(400);
    EXPECT_EQ(FirstDifference(Birth(any, Settings(DstMode::Off)).chart, Chart(any)), "")
        << any.year;
  }
}

// The chart alone, as the command line computes it when the terms and the
// boundaries are not asked for: the same chart and clock as the whole birth.
TEST_F(BirthTest, ChartAloneIsTheChartOfTheWholeBirth) {
  const struct { ChartInput in; MomentSettings s; } cases[] = {
      {Input(1949, 7, 1, "10", "0"), Settings(DstMode::Auto)},
      {Input(1949, 7, 1, "10", "0"), Settings(DstMode::Off)},
      {Input(1948, 5, 2, "0", "30"), Settings(DstMode::Auto)},  // the skipped hour
      {Input(1880, 6, 10, "10", "0", "3"), Settings(DstMode::Auto, Before1888::LocalMean, 30)},
      {Input(1880, 6, 10, "?", "?", "3"), Settings(DstMode::Auto, Before1888::TrueSolar, 10)},
      {Input(1980, 3, 1, "0", "10", "-18"), Settings(DstMode::Auto)},
  };
  for (const auto& c : cases) {
    const BirthReport whole = Birth(c.in, c.s);
    const BirthReport alone = ComputeBirthChart(c.in, c.s, tables_, kNow);
    EXPECT_EQ(FirstDifference(alone.chart, whole.chart), "") << c.in.year;
    EXPECT_EQ(alone.clockShiftMinutes, whole.clockShiftMinutes);
    EXPECT_EQ(alone.clock.kind, whole.clock.kind);
    EXPECT_TRUE(alone.notices.empty() && alone.boundaries.empty() && alone.prevTerm.name.empty());
  }
}

TEST(MomentSettings, ParseAndNames) {
  EXPECT_EQ(ParseDstMode("auto"), DstMode::Auto);
  EXPECT_EQ(ParseDstMode("off"), DstMode::Off);
  EXPECT_EQ(ParseBefore1888("lmt"), Before1888::LocalMean);
  EXPECT_EQ(ParseBefore1888("solar"), Before1888::TrueSolar);
  EXPECT_EQ(ParseMargin("60"), 60);
  for (const char* bad : {"", "Auto", "on", "15", " 30", "jst "}) {
    EXPECT_FALSE(ParseDstMode(bad).has_value() || ParseMargin(bad).has_value() ||
                 ParseBefore1888(bad).has_value())
        << bad;
  }
  for (const Before1888 b : {Before1888::Jst, Before1888::LocalMean, Before1888::TrueSolar})
    EXPECT_EQ(ParseBefore1888(Before1888Name(b)), b);
  EXPECT_EQ(DstModeName(DstMode::Off), "off");
  EXPECT_TRUE(IsMarginAllowed(10) && !IsMarginAllowed(0) && !IsMarginAllowed(45));
}

}  // namespace
}  // namespace torvela::chart
