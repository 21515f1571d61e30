// The moment behind an entered birth: summer time 1948-1951 from the
// time-zone database, readings before 1888, the sectional terms against the
// chart's own month decision, the boundary search against a scan of every
// clock minute of the window, and the texts shown with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "chart/BirthMoment.h"
#include "chart/Birthday.h"
#include "chart/SolarTerms.h"
#include "tests/chart/ChartTestSupport.h"

namespace torvela::chart {
namespace {

using namespace test;

// What belongs to the entered clock reading rather than to the moment.
const std::set<std::string> kEnteredFields = {"birthDateJD", "clockDayFraction",
                                              "birthdayThisYearJD", "ageText", "weekday"};
const MomentSettings kOff{DstMode::Off};

ChartInput Input(int y, int mo, int d, std::string_view hour, std::string_view minute,
                 std::string_view jisahun = "19", bool male = true) {
  return InputFromTexts(y, mo, d, hour, minute, male, jisahun, "0");
}
ChartInput Input(const LocalTime& t, std::string_view jisahun = "19", bool male = true) {
  return Input(t.year, t.month, t.day, std::to_string(t.hour), std::to_string(t.minute), jisahun,
               male);
}
LocalTime Later(const LocalTime& t, std::int64_t minutes) {
  return ReadingOfMinute(MinuteNumber(t) + minutes);
}
BirthReport Birth(const ChartInput& in, const MomentSettings& s = {}) {
  return ComputeBirth(in, s, ShippedTables(), kNow);
}
ChartResult Chart(const ChartInput& in) { return ComputeChart(in, ShippedTables(), kNow); }
bool Contains(const std::vector<std::string>& notices, std::string_view part) {
  return std::any_of(notices.begin(), notices.end(),
                     [&](const std::string& n) { return n.find(part) != std::string::npos; });
}

TEST(BirthMoment, EverySummerTimeStartAndEnd) {
  // The first day of summer time and the day it ended, 1948-1951.
  const std::array<int, 5> years[] = {
      {1948, 5, 2, 9, 12}, {1949, 4, 3, 9, 11}, {1950, 5, 7, 9, 10}, {1951, 5, 6, 9, 9}};
  for (const auto& [y, startMonth, startDay, endMonth, endDay] : years) {
    const LocalTime start{y, startMonth, startDay, 0, 0}, end{y, endMonth, endDay, 0, 0};
    // The hour before, the hour that never was or was twice (read as summer
    // time, the first occurrence), the hour after.
    const struct { LocalTime clock; ClockKind kind; int shift; } cases[] = {
        {Later(start, -30), ClockKind::Standard, 0}, {start, ClockKind::Skipped, 0},
        {Later(start, 59), ClockKind::Skipped, 0},   {Later(start, 60), ClockKind::Summer, -60},
        {Later(end, -30), ClockKind::Summer, -60},   {end, ClockKind::Repeated, -60},
        {Later(end, 59), ClockKind::Repeated, -60},  {Later(end, 60), ClockKind::Standard, 0}};
    for (const auto& c : cases) {
      SCOPED_TRACE(IsoMinuteText(c.clock));
      const ClockReading on = ReadClock(c.clock, {}), off = ReadClock(c.clock, kOff);
      EXPECT_TRUE(on.kind == c.kind && on.shiftMinutes == c.shift) << on.shiftMinutes;
      EXPECT_TRUE(off.kind == c.kind && off.shiftMinutes == 0);
      if (c.kind == ClockKind::Skipped || c.kind == ClockKind::Repeated) {  // named in the notice
        const LocalTime hour = Later(c.clock, -c.clock.minute);
        EXPECT_EQ(IsoMinuteText(on.hourFirst) + IsoMinuteText(on.hourLast),
                  IsoMinuteText(hour) + IsoMinuteText(Later(hour, 59)));
      }
      // The chart is that of the reading moved by the shift, and with the
      // correction off today's chart of the reading as entered.
      const BirthReport r = Birth(Input(c.clock));
      EXPECT_EQ(r.clockShiftMinutes, c.shift);
      EXPECT_EQ(FirstDifference(r.chart, Chart(Input(Later(c.clock, c.shift))), kEnteredFields), "");
      EXPECT_EQ(FirstDifference(Birth(Input(c.clock), kOff).chart, Chart(Input(c.clock))), "");
      EXPECT_EQ((std::array{Contains(r.notices, "夏時刻："), Contains(r.notices, "存在しない時刻"),
                            Contains(r.notices, "二度あった時刻")}),
                (std::array{c.kind == ClockKind::Summer, c.kind == ClockKind::Skipped,
                            c.kind == ClockKind::Repeated}));
    }
  }
}

TEST(BirthMoment, MidSummer1949WithAndWithoutTheCorrection) {
  // Tokyo, 1949-07-01 10:00 on the clock: summer time, so 09:00 JST.
  const ChartInput entered = Input(1949, 7, 1, "10", "0");
  const BirthReport on = Birth(entered), off = Birth(entered, kOff);
  EXPECT_EQ(on.clockShiftMinutes, -60);
  EXPECT_EQ(FirstDifference(on.chart, Chart(Input(1949, 7, 1, "9", "0")), kEnteredFields), "");
  // The entered date and clock stay those of the age and the weekday.
  const auto shifted = FieldBytes(on.chart), asEntered = FieldBytes(Chart(entered));
  for (std::size_t i = 0; i < shifted.size(); ++i)
    if (kEnteredFields.count(shifted[i].first)) { EXPECT_EQ(shifted[i], asEntered[i]); }
  EXPECT_EQ(on.notices.at(0),
            "夏時刻：1949年7月1日10時00分は夏時刻（UTC+10）の時計とみなし、1時間引いた日本標準時の"
            "9時00分で計算しました。");
  // Off: today's chart to the bit, and a word that it was summer time.
  EXPECT_EQ(off.clockShiftMinutes, 0);
  EXPECT_EQ(FirstDifference(off.chart, Chart(entered)), "");
  EXPECT_TRUE(Contains(off.notices, "補正しない設定"));
  // An unknown hour is noon on the clock: 11:00 JST.
  std::set<std::string> skip = kEnteredFields;
  skip.insert({"hourStem", "hourBranch", "hourUnknown"});
  EXPECT_EQ(FirstDifference(Birth(Input(1949, 7, 1, "?", "?")).chart,
                            Chart(Input(1949, 7, 1, "11", "0")), skip), "");
}

TEST(BirthMoment, ThreeReadingsBeforeStandardTime) {
  // Kyoto, +3 minutes, 1880-06-10 10:00 on the clock.
  const ChartInput entered = Input(1880, 6, 10, "10", "0", "3");
  const BirthReport jst = Birth(entered),
                    lmt = Birth(entered, {DstMode::Auto, Before1888::LocalMean}),
                    solar = Birth(entered, {DstMode::Auto, Before1888::TrueSolar});
  EXPECT_EQ(FirstDifference(jst.chart, Chart(entered)), "");  // JST: today's chart
  // Local mean time: the equation of time is added, the time difference not;
  // the moment is that of a JST reading on the 135th meridian.
  const ChartResult &l = lmt.chart, &s = solar.chart;
  EXPECT_TRUE(l.correctionMinutes == l.eotMinutes &&
              l.localBirthJD == l.birthDateJD + l.clockDayFraction);
  EXPECT_EQ(FirstDifference(l, Chart(Input(1880, 6, 10, "10", "0", "0")),
                            {"timeDiffDays", "localBirthJD", "currentColumn"}), "");
  // True solar time already: nothing is added.
  EXPECT_TRUE(s.correctionMinutes == 0 && s.solarDay == 10 && s.solarHour == 10 &&
              s.solarMinute == 0 &&
              s.localBirthJD == s.birthDateJD + s.clockDayFraction - s.eotMinutes / 1440);
  const std::pair<const BirthReport*, const char*> notices[] = {
      {&jst, "日本標準時とみなして"}, {&lmt, "地方平均時"}, {&solar, "真太陽時とみなし"}};
  for (const auto& [r, words] : notices) {
    EXPECT_EQ(r->clockShiftMinutes, 0);
    EXPECT_TRUE(Contains(r->notices, "1888年より前は日本に標準時がありません。") &&
                Contains(r->notices, words) && !Contains(r->notices, "グレゴリオ暦")) << words;
  }
  // Before 1873 the date must be Gregorian; from 1888 on neither notice.
  EXPECT_TRUE(Contains(Birth(Input(1872, 12, 31, "23", "0")).notices, "グレゴリオ暦"));
  EXPECT_TRUE(Contains(Birth(Input(1887, 12, 31, "23", "59")).notices, "1888年より前"));
  EXPECT_TRUE(Birth(Input(1888, 1, 1, "12", "0"), {DstMode::Auto, Before1888::TrueSolar, 10})
                  .notices.empty());
}

// The terms of whole years against the chart itself. At the reported
// true-solar minute the month (at 立春 the year too) steps on by one from
// the minute before, the sun has just passed the term's longitude, and
// great luck starts at the minute's arc, 約0歳0カ月0日: forwards before the
// term, backwards from it.
TEST(BirthMoment, SectionalTermsAgainstTheMonthDecision) {
  for (const int year : {1801, 1955, 2024, 2079}) {
    std::set<std::string> seen;
    for (int month = 1; month <= 11; ++month) {
      const BirthReport r = Birth(Input(year, month, 20, "12", "0"));
      const double birth = MinuteNumber(CalendarMoment{r.chart.solarYear, r.chart.solarMonth,
                                                       r.chart.solarDay, r.chart.solarHour,
                                                       r.chart.solarMinute});
      for (const TermReport* term : {&r.prevTerm, &r.nextTerm}) {
        SCOPED_TRACE(testing::Message() << year << " " << term->name);
        seen.insert(term->name);
        const bool next = term == &r.nextTerm;
        const int opens = next ? r.chart.solarMonthNumber % 12 + 1 : r.chart.solarMonthNumber;
        EXPECT_EQ(term->name, SectionalTermName(opens));
        // Days and hours to or from the birth, which lies between the terms.
        const double gap = (MinuteNumber(term->trueSolar) - birth) * (next ? 1 : -1);
        EXPECT_TRUE(gap > 0 && term->days * 24 + term->hours == static_cast<int>(gap / 60)) << gap;
        // The chart at a true-solar minute, for whoever runs the wanted way.
        const auto at = [&](int offset, bool forward) {
          ChartInput in = Input(Later(term->trueSolar, offset));
          in.clockBasis = ClockBasis::TrueSolar;
          ChartResult c = Chart(in);
          if (c.forward != forward) {
            in.male = false, in.female = true;
            c = Chart(in);
          }
          return c;
        };
        const ChartResult b = at(-1, true), a = at(0, false);
        const int y = opens == 2;
        EXPECT_EQ((std::array{a.solarMonthNumber, b.solarMonthNumber % 12 + 1,
                              at(1, true).solarMonthNumber, a.monthStem, a.monthBranch,
                              a.yearStem, a.yearBranch, int(a.pillarYear)}),
                  (std::array{opens, opens, opens, b.monthStem % 10 + 1, b.monthBranch % 12 + 1,
                              (b.yearStem + y - 1) % 10 + 1, (b.yearBranch + y - 1) % 12 + 1,
                              int(b.pillarYear) + y}));
        const double longitude = std::fmod(255 + 30 * opens, 360);
        EXPECT_TRUE(std::remainder(b.sunLongitude - longitude, 360) < 0 &&
                    std::remainder(a.sunLongitude - longitude, 360) >= 0);
        if (y) { EXPECT_EQ(b.seasonElement + a.seasonElement, "土木"); }
        for (const ChartResult* c : {&b, &a}) {
          const ChartTexts t = MakeChartTexts(*c, ShippedTables());
          EXPECT_EQ(t.txtKoutai + t.txtKoutaiYM + t.sai1[0] + t.sai2[0] + t.sai2[1],
                    "約0歳0カ月0日" + t.yKan + "年" + t.mShi + "月009");
        }
      }
    }
    EXPECT_EQ(seen.size(), 12u) << year;
  }
}

TEST(BirthMoment, BoundaryCases) {
  const struct {
    ChartInput in;
    std::vector<std::string> pillars;  // "pillar@first clock minute>pillar there"
    const char* notice;
  } cases[] = {
      // Minutes before 立春 2024 (17:31 true solar time, 17:26 on a Tokyo clock).
      {Input(2024, 2, 4, "17", "10"),
       {"hour@2024-02-04T16:55>庚申", "year@2024-02-04T17:26>甲辰", "month@2024-02-04T17:26>丙寅"},
       "境界注意：出生時刻が17時26分以降なら年柱は甲辰、月柱は丙寅になります"
       "（立春の節入り、入力の±30分以内）。"},
      // Before a 時辰: the 午 hour begins at 11:00 true solar time.
      {Input(2024, 6, 4, "10", "30"), {"hour@2024-06-04T10:40>庚午"},
       "境界注意：出生時刻が10時40分以降なら時柱は庚午になります（入力の±30分以内）。"},
      // Before true-solar midnight: 23:30 on the clock at +10 minutes is 23:41.7.
      {Input(2024, 6, 4, "23", "30", "10"), {"day@2024-06-04T23:49>庚子"}, "23時49分以降なら日柱は庚子"},
      // Hour unknown on the day of 立春: the whole date.
      {Input(2024, 2, 4, "?", "?"), {"year@2024-02-04T17:26>甲辰", "month@2024-02-04T17:26>丙寅"},
       "時刻不明のためこの日のうち"},
  };
  for (const auto& c : cases) {
    const BirthReport r = Birth(c.in);
    std::vector<std::string> got;
    for (const Boundary& b : r.boundaries)
      got.push_back(b.pillar + "@" + IsoMinuteText(b.clock) + ">" + b.to);
    EXPECT_EQ(got, c.pillars) << c.notice;
    EXPECT_TRUE(Contains(r.notices, c.notice)) << c.notice;
  }
  EXPECT_TRUE(Contains(Birth(cases[0].in).notices, "16時55分より前なら時柱は庚申"));
  EXPECT_TRUE(Birth(cases[0].in, {DstMode::Auto, Before1888::Jst, 0}).boundaries.empty());
}

// A spread of births: near terms, midnights and odd hours, in summer time
// and before 1888, with unknown hours and minutes, and within an hour and a
// half of the clocks' changes of summer time and of the start of standard
// time. Every pick is its own statement, so that any compiler draws alike.
struct Draw {
  ChartInput in;
  MomentSettings settings;
};

std::vector<Draw> Draws() {
  std::mt19937_64 rng(7);
  const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<std::uint64_t>(n)); };
  const auto settings = [&pick](DstMode dst) {
    const auto before = static_cast<Before1888>(pick(3));
    return MomentSettings{dst, before, std::array{10, 30, 60}[pick(3)]};
  };
  std::vector<Draw> draws;
  for (int i = 0; i < 60; ++i) {
    const int y = i < 10 ? 1948 + pick(4) : i < 20 ? 1850 + pick(38) : 1800 + pick(280);
    const MomentSettings s = settings(pick(4) ? DstMode::Auto : DstMode::Off);
    const std::string jisa = std::to_string(pick(60) - 30);
    const LocalTime t{y, 1 + pick(12), 1 + pick(28), pick(24), pick(60)};
    ChartInput in = Input(t, jisa, pick(2));
    if (i % 3 == 0) {  // within the margin of its next term on the clock
      const std::int64_t term = MinuteNumber(Birth(in, s).nextTerm.trueSolar);
      const int offset = s.marginMinutes - pick(2 * s.marginMinutes);
      in = Input(ReadingOfMinute(term + offset - pick(60) + 30), jisa);
    }
    in.hourUnknown = i % 10 == 4, in.minuteUnknown = i % 10 == 7;
    draws.push_back({in, s});
  }
  for (const LocalTime night : {LocalTime{1948, 5, 2, 0, 0}, LocalTime{1948, 9, 12, 0, 0},
                                LocalTime{1949, 4, 3, 0, 0}, LocalTime{1951, 9, 9, 1, 0},
                                LocalTime{1888, 1, 1, 0, 0}}) {
    for (int i = 0; i < 6; ++i) {
      const LocalTime t = Later(night, pick(180) - 90);
      ChartInput in = Input(t, std::to_string(pick(60) - 30));
      in.hourUnknown = i == 0, in.minuteUnknown = i == 1;
      draws.push_back({in, settings(DstMode::Auto)});
    }
  }
  return draws;
}

// Every boundary of the spread against the chart run at every clock minute
// of the window.
TEST(BirthMoment, BoundariesMatchAMinuteByMinuteScan) {
  const Tables& tables = ShippedTables();
  const auto name = [&](int stem, int branch) {
    return tables.StemNames[stem] + tables.BranchNames[branch];
  };
  int withBoundary = 0;
  for (const Draw& d : Draws()) {
    const BirthReport r = Birth(d.in, d.settings);
    const ChartInput& in = r.input;
    // The window as ComputeBirth takes it: the whole date when the hour is
    // unknown, the hour widened by the margin when the minute is.
    const LocalTime clock{int(in.year), int(in.month), int(in.day),
                          in.hourUnknown ? 12 : int(in.hour),
                          in.hourUnknown || in.minuteUnknown ? 0 : int(in.minute)};
    SCOPED_TRACE(IsoMinuteText(clock) + (in.hourUnknown ? " ?" : in.minuteUnknown ? " h:?" : ""));
    const std::int64_t birth = MinuteNumber(clock), n = d.settings.marginMinutes;
    const std::int64_t lo = in.hourUnknown ? birth - 720 : birth - n;
    const std::int64_t hi = in.hourUnknown ? birth + 719 : birth + n + (in.minuteUnknown ? 59 : 0);
    std::vector<std::array<std::string, 4>> pillars;
    for (std::int64_t m = lo; m <= hi; ++m) {
      const ChartResult c = Chart(InputAtClockMinute(in, m, d.settings));
      pillars.push_back({name(c.yearStem, c.yearBranch), name(c.monthStem, c.monthBranch),
                         name(c.dayStem, c.dayBranch), name(c.hourStem, c.hourBranch)});
    }
    std::multiset<std::string> expected, got;
    for (int kind = 0; kind < (in.hourUnknown ? 2 : 4); ++kind) {
      for (std::int64_t m = lo + 1; m <= hi; ++m) {
        const std::string &was = pillars[m - 1 - lo][kind], &is = pillars[m - lo][kind];
        if (was != is)
          expected.insert(std::string(std::array{"year", "month", "day", "hour"}[kind]) + "@" +
                          IsoMinuteText(ReadingOfMinute(m)) + (m <= birth ? "<" + was : ">" + is));
      }
    }
    for (const Boundary& b : r.boundaries)
      got.insert(b.pillar + "@" + IsoMinuteText(b.clock) + (b.before ? "<" : ">") + b.to);
    EXPECT_EQ(got, expected);
    withBoundary += !expected.empty();
  }
  EXPECT_GT(withBoundary, 40);
}

// The chart alone, as the command line computes it when the terms and the
// boundaries are not asked for: the same chart and clock as the whole birth.
TEST(BirthMoment, ChartAloneIsTheChartOfTheWholeBirth) {
  for (const Draw& d : Draws()) {
    const BirthReport whole = Birth(d.in, d.settings),
                      alone = ComputeBirthChart(d.in, d.settings, ShippedTables(), kNow);
    EXPECT_EQ(FirstDifference(alone.chart, whole.chart), "") << d.in.year;
    EXPECT_TRUE(alone.clockShiftMinutes == whole.clockShiftMinutes &&
                alone.clock.kind == whole.clock.kind && alone.notices.empty() &&
                alone.boundaries.empty() && alone.prevTerm.name.empty()) << d.in.year;
  }
}

TEST(BirthTexts, TermLinesAndBirthdayLine) {
  const TermReport t{"啓蟄", {2024, 3, 5, 10, 3}, 3, 4};
  EXPECT_EQ(TermLineText(t, false) + TermLineText(t, true) + TermLineText(TermReport{}, true),
            "節入り：啓蟄 2024年3月5日10時03分（3日4時間前）次の節：啓蟄 2024年3月5日10時03分（3日4時間後）");
  EXPECT_EQ(IsoMinuteText({987, 1, 2, 3, 4}), "0987-01-02T03:04");
  // The 誕生日 line where the window test does not reach it.
  const struct { BirthParts birth; const char *hour, *minute, *line; } rows[] = {
      {{1975, 3, 5, 14, 30}, "14", "", "1975年3月5日14時頃"},
      {{1975, 3, 5, 14, 30}, "?", "", "1975年3月5日出生時間不明"},
      {{1975, 3, 5, 0, 5}, "0", "5", "1975年3月5日0時5分"},
      {{1800.0, 12, 31, 23.9, 59}, "23", "59", "1800年12月31日23時59分"}};
  for (const auto& r : rows) EXPECT_EQ(BirthdayLine(r.birth, r.hour, r.minute), r.line);
  EXPECT_EQ(BirthPartText(std::nullopt) + BirthPartText(-3.5), "-3");
}

}  // namespace
}  // namespace torvela::chart
