#include <cstdint>
#include <type_traits>

#include "calc/Numeric.h"
#include "chart/Chart.h"
#include "chart/ChartFields.h"

namespace torvela::chart {

namespace {

// Name of entry i of a name table; out-of-range numbers show the "□" of entry 0.
template <std::size_t N>
const std::string& NameOf(const std::array<std::string, N>& table, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < N ? table[i] : table[0];
}

std::string Whole(double x) { return WholeText(static_cast<std::int64_t>(x)); }

}  // namespace

ChartTexts MakeChartTexts(const ChartResult& r, const Tables& m) {
  ChartTexts t;
  t.txtAge = r.ageText;
  t.txtweek = NameOf(m.WeekdayNames, r.weekday) + "曜日";
  t.txtKinjisa = r.eotMinutesText + "分" + r.eotSecondsText + "秒";
  t.txtShin = Whole(r.solarYear) + "年" + Whole(r.solarMonth) + "月" + Whole(r.solarDay) + "日";
  if (r.hourUnknown) {
    t.txtShin += "確定不能";
  } else {
    // Rounding would write 59.95.. as "60.0", a minute no clock shows, next
    // to an hour and pillar that are still this hour's; keep it at 59.9.
    std::string minute = OneDecimalText(r.solarMinute);
    if (minute == "60.0") minute = "59.9";
    t.txtShin += Whole(r.solarHour) + "時" + minute + "分";
  }
  t.txtKoukei = GeneralText(r.sunLongitude);
  t.yKan = NameOf(m.StemNames, r.yearStem);
  t.yShi = NameOf(m.BranchNames, r.yearBranch);
  t.mKan = NameOf(m.StemNames, r.monthStem);
  t.mShi = NameOf(m.BranchNames, r.monthBranch);
  t.dKan = NameOf(m.StemNames, r.dayStem);
  t.dShi = NameOf(m.BranchNames, r.dayBranch);
  t.hKan = NameOf(m.StemNames, r.hourStem);
  t.hShi = NameOf(m.BranchNames, r.hourBranch);
  t.txtKoutai = "約" + WholeText(r.startYears) + "歳" + WholeText(r.startMonths) + "カ月" +
                WholeText(r.startDays) + "日";
  t.txtKoutaiYM = NameOf(m.StemNames, r.changeYearStem) + "年" +
                  NameOf(m.BranchNames, r.changeMonthBranch) + "月";
  t.lblOu = r.seasonElement;
  for (int i = 0; i <= 10; ++i) {
    t.dun_kan[i] = NameOf(m.StemNames, r.luckStems[i]);
    t.dun_shi[i] = NameOf(m.BranchNames, r.luckBranches[i]);
    t.sai2[i] = WholeText(r.toAges[i]);
  }
  for (int i = 0; i < 10; ++i) t.sai1[i] = WholeText(r.fromAges[i]);
  t.bold = r.currentColumn;
  return t;
}

std::vector<std::pair<std::string, std::string>> ChartTexts::Items() const {
  std::vector<std::pair<std::string, std::string>> items;
  items.reserve(59);
  const auto add = [&items](const char* name, const auto& field) {
    if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>) {
      items.emplace_back(name, field);
    } else {
      for (std::size_t i = 0; i < field.size(); ++i)
        items.emplace_back(std::string(name) + "_" + std::to_string(i), field[i]);
    }
  };
  ForEachTextField(*this, add);
  return items;
}

}  // namespace torvela::chart
