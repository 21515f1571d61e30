#include "chart/BirthMoment.h"

#include <cctz/civil_time.h>
#include <cctz/time_zone.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <tuple>
#include <utility>

#include "calc/Numeric.h"
#include "chart/Pillars.h"
#include "chart/SolarTerms.h"
#include "chart/TrueSolarTime.h"

namespace torvela::chart {

namespace {

constexpr int kJstOffsetSeconds = 9 * 3600;  // Japan Standard Time is UTC+9

// The zone, read once; nullptr when the database is not there.
const cctz::time_zone* TokyoZone() {
  static const std::optional<cctz::time_zone> zone = [] {
    cctz::time_zone tz;
    return cctz::load_time_zone("Asia/Tokyo", &tz) ? std::optional(tz) : std::nullopt;
  }();
  return zone ? &*zone : nullptr;
}

LocalTime LocalOf(const cctz::civil_second& c) {
  return {static_cast<int>(c.year()), c.month(), c.day(), c.hour(), c.minute()};
}

bool Earlier(const LocalTime& t, int year, int month, int day) {
  return std::tuple(t.year, t.month, t.day) < std::tuple(year, month, day);
}

// Minutes that take a reading at UTC offset `offset` (seconds) to JST.
int ShiftTo(int offset) { return (kJstOffsetSeconds - offset) / 60; }

// ---------------------------------------------------------------------------
// Texts

std::string TimeText(int hour, int minute) {
  char text[32];
  std::snprintf(text, sizeof text, "%d時%02d分", hour, minute);
  return text;
}

std::string DateText(const LocalTime& t) {
  return std::to_string(t.year) + "年" + std::to_string(t.month) + "月" + std::to_string(t.day) +
         "日";
}

// The clock time alone when it falls on the entered date, else with its date.
std::string ClockText(const LocalTime& t, const LocalTime& entered) {
  const bool sameDate = t.year == entered.year && t.month == entered.month && t.day == entered.day;
  return (sameDate ? std::string() : DateText(t)) + TimeText(t.hour, t.minute);
}

std::string PillarName(const Tables& tables, int sexagenaryIndex) {
  return tables.StemNames[StemOf(sexagenaryIndex)] + tables.BranchNames[BranchOf(sexagenaryIndex)];
}

// ---------------------------------------------------------------------------
// Boundary search

enum Kind { kYear, kMonth, kDay, kHour };
constexpr const char* kKindKeys[] = {"year", "month", "day", "hour"};
constexpr const char* kKindNames[] = {"年柱", "月柱", "日柱", "時柱"};

int PillarOf(const PillarIndices& p, int kind) {
  switch (kind) {
    case kYear: return p.year;
    case kMonth: return p.month;
    case kDay: return p.day;
    default: return p.hour;
  }
}

// The chart's pillars at any clock minute near the birth, each minute
// computed once. The true-solar step is the chart's own; the month decision
// comes from the term instants already confirmed when the reading lies
// clearly on one side of them, and from the sun otherwise.
class PillarProbe {
 public:
  PillarProbe(const ChartInput& entered, const MomentSettings& settings, const Tables& tables,
              const TermPair& terms)
      : entered_(entered), settings_(settings), tables_(tables), terms_(terms) {}

  PillarIndices At(std::int64_t clockMinute) {
    for (const auto& [m, p] : done_)
      if (m == clockMinute) return p;
    const ChartInput in = SanitisedInput(InputAtClockMinute(entered_, clockMinute, settings_));
    ChartResult r;
    TrueSolarStep(in, r);
    const CalendarMoment solar{r.solarYear, r.solarMonth, r.solarDay, r.solarHour, r.solarMinute};
    const PillarIndices p = PillarsOf(MonthOf(solar, in.year), r.solarYear, r.solarMonth,
                                      r.solarDay, r.solarHour, false);
    done_.emplace_back(clockMinute, p);
    return p;
  }

 private:
  SolarMonth MonthOf(const CalendarMoment& solar, double year) const {
    // A hundredth of a minute is some 4e-6 degrees of the sun, far beyond
    // the rounding of its longitude: readings that far past a confirmed
    // minute are on that minute's side.
    constexpr double margin = 0.01;
    const TermInstant& prev = terms_.previous;
    const TermInstant& next = terms_.next;
    if (prev.opens != 0 && next.opens != 0) {
      const double m = MinuteNumber(solar);
      if (m >= next.minute + margin) return next.after;
      if (m >= prev.minute + margin && m <= next.minute - 1 - margin) return prev.after;
      if (m <= prev.minute - 1 - margin) return prev.before;
    }
    return MonthAt(tables_, solar, year);
  }

  ChartInput entered_;
  const MomentSettings& settings_;
  const Tables& tables_;
  const TermPair& terms_;
  std::vector<std::pair<std::int64_t, PillarIndices>> done_;
};

// Finds the first clock minute in (a, b] with the pillar of b, given that a
// and b differ and the pillar changes once between them. guess: the minute
// the known boundary predicts; the plain bisection runs only when the
// prediction does not hold.
std::int64_t FindChange(PillarProbe& probe, int kind, std::int64_t a, std::int64_t b,
                        std::int64_t guess) {
  const int va = PillarOf(probe.At(a), kind);
  const int vb = PillarOf(probe.At(b), kind);
  for (const std::int64_t c : {guess, guess - 1, guess + 1}) {
    if (c <= a || c > b) continue;
    if (PillarOf(probe.At(c), kind) == vb && PillarOf(probe.At(c - 1), kind) == va) return c;
  }
  while (b - a > 1) {
    const std::int64_t mid = a + (b - a) / 2;
    (PillarOf(probe.At(mid), kind) == va ? a : b) = mid;
  }
  return b;
}

// The true-solar minute (with the fraction of the birth's reading) at which
// a pillar of the given kind next changes after (ahead) or last changed at
// or before (behind) the reading.
double PredictedChange(int kind, bool ahead, double reading, const TermPair& terms) {
  switch (kind) {
    case kYear:
    case kMonth: {
      const TermInstant& t = ahead ? terms.next : terms.previous;
      return t.opens != 0 ? static_cast<double>(t.minute) : reading;
    }
    case kDay: {
      const double midnight = std::floor(reading / 1440) * 1440;
      return ahead ? midnight + 1440 : midnight;
    }
    default: {
      // The hour pillar turns at the odd hours of true solar time.
      double h = std::floor(reading / 60);
      const bool odd = std::fmod(std::fabs(h), 2) == 1;
      if (ahead) {
        h += odd ? 2 : 1;
      } else if (!odd) {
        h -= 1;
      }
      return h * 60;
    }
  }
}

std::vector<Boundary> SearchBoundaries(const ChartInput& entered, const LocalTime& clock,
                                       const MomentSettings& settings, const Tables& tables,
                                       const ChartResult& chart, const TermPair& terms) {
  std::vector<Boundary> found;
  const int margin = std::clamp(settings.marginMinutes, 0, 60);
  if (margin == 0) return found;

  // The window of clock minutes: the whole date when the hour is unknown
  // (only the year and the month can change within it), the hour widened by
  // the margin when the minute is unknown.
  const std::int64_t birth = MinuteNumber(clock);
  std::int64_t lo = birth - margin, hi = birth + margin;
  int kinds = 4;
  if (entered.hourUnknown) {
    lo = MinuteNumber(LocalTime{clock.year, clock.month, clock.day, 0, 0});
    hi = lo + 1439;
    kinds = 2;
  } else if (entered.minuteUnknown) {
    hi = birth + 59 + margin;
  }

  PillarProbe probe(entered, settings, tables, terms);
  const double reading = MinuteNumber(CalendarMoment{
      chart.solarYear, chart.solarMonth, chart.solarDay, chart.solarHour, chart.solarMinute});
  // True-solar minutes ahead of the clock at the birth; the guesses assume
  // it holds across the window.
  const double offset = reading - static_cast<double>(birth);
  // Across a summer-time change or the start of standard time the clock
  // jumps: one minute on the clock is not a minute of real time later than
  // the one before, and a pillar may change there and change back. The
  // window is cut at that minute (at most one in a window; the stretches on
  // either side each run forward in time) and at the birth, and each
  // stretch is searched on its own.
  const auto regime = [&](std::int64_t m) {
    const ClockReading c = ReadClock(ReadingOfMinute(m), settings);
    return std::pair(c.shiftMinutes, c.basis);
  };
  std::int64_t jump = hi + 1;  // first minute of the new regime; none when past hi
  if (const auto first = regime(lo); first != regime(hi)) {
    std::int64_t a = lo, b = hi;
    while (b - a > 1) {
      const std::int64_t mid = a + (b - a) / 2;
      (regime(mid) == first ? a : b) = mid;
    }
    jump = b;
  }
  std::vector<std::pair<std::int64_t, std::int64_t>> stretches;
  for (const auto& [a, b] : {std::pair(lo, birth), std::pair(birth, hi)}) {
    if (a < jump && jump <= b) {
      if (a < jump - 1) stretches.emplace_back(a, jump - 1);
      if (jump < b) stretches.emplace_back(jump, b);
    } else if (a < b) {
      stretches.emplace_back(a, b);
    }
  }

  const auto record = [&](int kind, std::int64_t m) {
    const bool before = m <= birth;
    const int to = PillarOf(probe.At(before ? m - 1 : m), kind);
    found.push_back({kKindKeys[kind], ReadingOfMinute(m), PillarName(tables, to), before});
  };
  for (const auto& [a, b] : stretches) {
    const bool ahead = a >= birth;
    for (int kind = 0; kind < kinds; ++kind) {
      if (PillarOf(probe.At(a), kind) == PillarOf(probe.At(b), kind)) continue;
      const double target = PredictedChange(kind, ahead, reading, terms);
      const auto guess = static_cast<std::int64_t>(std::ceil(target - offset));
      record(kind, FindChange(probe, kind, a, b, guess));
    }
  }
  if (jump > lo && jump <= hi) {
    for (int kind = 0; kind < kinds; ++kind)
      if (PillarOf(probe.At(jump - 1), kind) != PillarOf(probe.At(jump), kind)) record(kind, jump);
  }
  std::stable_sort(found.begin(), found.end(), [](const Boundary& x, const Boundary& y) {
    return MinuteNumber(x.clock) < MinuteNumber(y.clock);
  });
  return found;
}

// ---------------------------------------------------------------------------
// Notices

std::string ClockNotice(const ClockReading& c, const LocalTime& clock, bool hourUnknown,
                        const MomentSettings& settings) {
  if (c.zoneMissing) {
    return "タイムゾーン情報（tzdata）を読めないため、"
           "夏時刻かどうかを確かめずに日本標準時として計算しました。";
  }
  if (c.kind == ClockKind::Standard) return {};
  const bool corrected = settings.dst == DstMode::Auto;
  const std::string reading =
      DateText(clock) +
      (hourUnknown ? std::string("（時刻不明のため正午）") : TimeText(clock.hour, clock.minute));
  const std::string jst =
      "1時間引いた日本標準時の" +
      ClockText(ReadingOfMinute(MinuteNumber(clock) + c.shiftMinutes), clock) + "で計算しました。";
  const std::string hour = DateText(c.hourFirst) + TimeText(c.hourFirst.hour, c.hourFirst.minute) +
                           "〜" + TimeText(c.hourLast.hour, c.hourLast.minute);
  switch (c.kind) {
    case ClockKind::Summer:
      if (corrected) return "夏時刻：" + reading + "は夏時刻（UTC+10）の時計とみなし、" + jst;
      return "夏時刻：" + reading + "は夏時刻の期間ですが、" +
             "補正しない設定のため日本標準時として計算しました。";
    case ClockKind::Skipped:
      return "存在しない時刻：" + hour + "は夏時刻の始まりで時計が1時間進められ、" +
             "実在しない時刻です。日本標準時として計算しました。";
    case ClockKind::Repeated:
      if (corrected)
        return "二度あった時刻：" + hour + "は夏時刻の終わりで二度ありました。" +
               "一度目（夏時刻）とみなし、" + jst;
      return "二度あった時刻：" + hour + "は夏時刻の終わりで二度ありました。" +
             "補正しない設定のため二度目（日本標準時）として計算しました。";
    case ClockKind::NoStandardTime: {
      std::string text = "1888年より前は日本に標準時がありません。";
      switch (settings.before1888) {
        case Before1888::Jst: text += "時刻は日本標準時とみなして計算しました。"; break;
        case Before1888::LocalMean:
          text += "時刻は出生地の地方平均時とみなし、時差は加えず均時差だけを加えました。";
          break;
        case Before1888::TrueSolar:
          text += "時刻は真太陽時とみなし、時差も均時差も加えていません。";
          break;
      }
      return text;
    }
    case ClockKind::Standard: break;
  }
  return {};
}

// One notice per clock time: the pillars that differ on its far side.
std::vector<std::string> BoundaryNotices(const std::vector<Boundary>& boundaries,
                                         const LocalTime& clock, bool hourUnknown, int margin,
                                         const TermPair& terms) {
  std::vector<std::string> notices;
  const std::string range =
      hourUnknown ? "時刻不明のためこの日のうち" : "入力の±" + std::to_string(margin) + "分以内";
  for (std::size_t i = 0; i < boundaries.size();) {
    const Boundary& first = boundaries[i];
    std::string pillars, term;
    for (;
         i < boundaries.size() && MinuteNumber(boundaries[i].clock) == MinuteNumber(first.clock) &&
         boundaries[i].before == first.before;
         ++i) {
      const Boundary& b = boundaries[i];
      const int kind = static_cast<int>(
          std::find(std::begin(kKindKeys), std::end(kKindKeys), b.pillar) - std::begin(kKindKeys));
      if (!pillars.empty()) pillars += "、";
      pillars += std::string(kKindNames[kind]) + "は" + b.to;
      if (kind == kMonth) {
        const TermInstant& t = b.before ? terms.previous : terms.next;
        term = std::string(SectionalTermName(t.opens));
      }
    }
    notices.push_back("境界注意：出生時刻が" + ClockText(first.clock, clock) +
                      (first.before ? "より前" : "以降") + "なら" + pillars + "になります（" +
                      (term.empty() ? std::string() : term + "の節入り、") + range + "）。");
  }
  return notices;
}

TermReport TermReportOf(const TermInstant& t, double birthMinute, bool next) {
  TermReport r;
  if (t.opens == 0) return r;
  r.name = std::string(SectionalTermName(t.opens));
  r.trueSolar = t.trueSolar;
  const double gap = next ? static_cast<double>(t.minute) - birthMinute
                          : birthMinute - static_cast<double>(t.minute);
  const auto minutes = static_cast<std::int64_t>(std::max(0.0, std::floor(gap)));
  r.days = static_cast<int>(minutes / 1440);
  r.hours = static_cast<int>(minutes % 1440 / 60);
  return r;
}

}  // namespace

// ---------------------------------------------------------------------------

std::optional<DstMode> ParseDstMode(std::string_view text) {
  if (text == "auto") return DstMode::Auto;
  if (text == "off") return DstMode::Off;
  return std::nullopt;
}

std::optional<Before1888> ParseBefore1888(std::string_view text) {
  if (text == "jst") return Before1888::Jst;
  if (text == "lmt") return Before1888::LocalMean;
  if (text == "solar") return Before1888::TrueSolar;
  return std::nullopt;
}

bool IsMarginAllowed(int minutes) { return minutes == 10 || minutes == 30 || minutes == 60; }

std::optional<int> ParseMargin(std::string_view text) {
  if (text == "10") return 10;
  if (text == "30") return 30;
  if (text == "60") return 60;
  return std::nullopt;
}

std::string_view DstModeName(DstMode mode) { return mode == DstMode::Off ? "off" : "auto"; }

std::string_view Before1888Name(Before1888 mode) {
  switch (mode) {
    case Before1888::LocalMean: return "lmt";
    case Before1888::TrueSolar: return "solar";
    case Before1888::Jst: break;
  }
  return "jst";
}

ClockReading ReadClock(const LocalTime& clock, const MomentSettings& settings) {
  ClockReading r;
  if (Earlier(clock, 1888, 1, 1)) {
    r.kind = ClockKind::NoStandardTime;
    r.basis = settings.before1888 == Before1888::LocalMean   ? ClockBasis::LocalMean
              : settings.before1888 == Before1888::TrueSolar ? ClockBasis::TrueSolar
                                                             : ClockBasis::Jst;
    return r;
  }
  const cctz::time_zone* zone = TokyoZone();
  if (zone == nullptr) {
    r.zoneMissing = settings.dst == DstMode::Auto;
    return r;
  }
  const cctz::civil_second cs(clock.year, clock.month, clock.day, clock.hour, clock.minute, 0);
  const cctz::time_zone::civil_lookup cl = zone->lookup(cs);
  const bool apply = settings.dst == DstMode::Auto;
  // The hour around a transition, as the clocks showed it.
  const auto oddHour = [&] {
    cctz::time_zone::civil_transition tr;
    if (zone->next_transition(cl.trans - std::chrono::seconds(1), &tr)) {
      const cctz::civil_second first = std::min(tr.from, tr.to), last = std::max(tr.from, tr.to);
      r.hourFirst = LocalOf(first);
      r.hourLast = LocalOf(last - 60);
    }
  };
  switch (cl.kind) {
    case cctz::time_zone::civil_lookup::UNIQUE: {
      const auto at = zone->lookup(cl.pre);
      if (at.is_dst) {
        r.kind = ClockKind::Summer;
        if (apply) r.shiftMinutes = ShiftTo(at.offset);
      }
      break;
    }
    case cctz::time_zone::civil_lookup::SKIPPED: {
      // Read on the clock that was not summer time (before the jump).
      const auto before = zone->lookup(cl.trans - std::chrono::seconds(1));
      const auto after = zone->lookup(cl.trans);
      if (before.is_dst || after.is_dst) {
        r.kind = ClockKind::Skipped;
        if (apply) r.shiftMinutes = ShiftTo(before.is_dst ? after.offset : before.offset);
        oddHour();
      }
      break;
    }
    case cctz::time_zone::civil_lookup::REPEATED: {
      // Read as the first occurrence.
      const auto first = zone->lookup(cl.pre);
      const auto second = zone->lookup(cl.post);
      if (first.is_dst || second.is_dst) {
        r.kind = ClockKind::Repeated;
        if (apply) r.shiftMinutes = ShiftTo(first.offset);
        oddHour();
      }
      break;
    }
  }
  return r;
}

ChartInput InputAtClockMinute(const ChartInput& entered, std::int64_t clockMinute,
                              const MomentSettings& settings) {
  const LocalTime t = ReadingOfMinute(clockMinute);
  ChartInput in = entered;
  in.year = t.year;
  in.month = t.month;
  in.day = t.day;
  in.hour = t.hour;
  in.minute = t.minute;
  in.hourUnknown = in.minuteUnknown = false;
  const ClockReading clock = ReadClock(t, settings);
  in.clockShiftMinutes = clock.shiftMinutes;
  in.clockBasis = clock.basis;
  return in;
}

namespace {

// The reading the chart is computed for: noon when the hour is unknown.
LocalTime ClockOf(const ChartInput& in) {
  return {static_cast<int>(in.year), static_cast<int>(in.month), static_cast<int>(in.day),
          in.hourUnknown ? 12 : static_cast<int>(in.hour),
          in.hourUnknown || in.minuteUnknown ? 0 : static_cast<int>(in.minute)};
}

}  // namespace

BirthReport ComputeBirthChart(const ChartInput& entered, const MomentSettings& settings,
                              const Tables& tables, const LocalTime& now) {
  BirthReport report;
  ChartInput in = entered;
  in.clockShiftMinutes = 0;
  in.clockBasis = ClockBasis::Jst;
  in = SanitisedInput(in);
  report.clock = ReadClock(ClockOf(in), settings);
  in.clockShiftMinutes = report.clock.shiftMinutes;
  in.clockBasis = report.clock.basis;
  report.input = in;
  report.clockShiftMinutes = report.clock.shiftMinutes;
  report.chart = ComputeChart(in, tables, now);
  return report;
}

BirthReport ComputeBirth(const ChartInput& entered, const MomentSettings& settings,
                         const Tables& tables, const LocalTime& now) {
  BirthReport report = ComputeBirthChart(entered, settings, tables, now);
  const ChartInput& in = report.input;
  const LocalTime clock = ClockOf(in);

  const TermPair terms = FindTerms(tables, report.chart, in.year);
  const double birthMinute = MinuteNumber(
      CalendarMoment{report.chart.solarYear, report.chart.solarMonth, report.chart.solarDay,
                     report.chart.solarHour, report.chart.solarMinute});
  report.prevTerm = TermReportOf(terms.previous, birthMinute, false);
  report.nextTerm = TermReportOf(terms.next, birthMinute, true);
  report.boundaries = SearchBoundaries(in, clock, settings, tables, report.chart, terms);

  if (std::string text = ClockNotice(report.clock, clock, in.hourUnknown, settings); !text.empty())
    report.notices.push_back(std::move(text));
  if (Earlier(clock, 1873, 1, 1))
    report.notices.push_back(
        "1873年（明治6年）より前の日付は、旧暦ではなくグレゴリオ暦で入力してください"
        "（旧暦の日付は換算していません）。");
  for (std::string& text : BoundaryNotices(report.boundaries, clock, in.hourUnknown,
                                           std::clamp(settings.marginMinutes, 0, 60), terms))
    report.notices.push_back(std::move(text));
  return report;
}

std::string IsoMinuteText(const LocalTime& t) {
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute);
  return text;
}

std::string DateTimeText(const LocalTime& t) { return DateText(t) + TimeText(t.hour, t.minute); }

std::string TermLineText(const TermReport& term, bool next) {
  if (term.name.empty()) return {};
  return std::string(next ? "次の節：" : "節入り：") + term.name + " " +
         DateTimeText(term.trueSolar) + "（" + std::to_string(term.days) + "日" +
         std::to_string(term.hours) + "時間" + (next ? "後" : "前") + "）";
}

}  // namespace torvela::chart
