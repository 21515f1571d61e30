// Every field of a chart named once. The JSON writer and reader, the windows
// and the fuzz checks walk these lists instead of keeping lists of their own.
// f is called as f(name, field) with the field by reference; arrays are
// passed whole (std::array), the rest as std::string, double, int or bool.
#pragma once

#include "chart/Chart.h"

namespace torvela::chart {

// The texts of the chart controls, under the controls' names. Texts is
// ChartTexts or const ChartTexts.
template <typename Texts, typename F>
void ForEachTextField(Texts& t, F&& f) {
  f("txtAge", t.txtAge);
  f("txtweek", t.txtweek);
  f("txtKinjisa", t.txtKinjisa);
  f("txtShin", t.txtShin);
  f("txtKoukei", t.txtKoukei);
  f("yKan", t.yKan);
  f("yShi", t.yShi);
  f("mKan", t.mKan);
  f("mShi", t.mShi);
  f("dKan", t.dKan);
  f("dShi", t.dShi);
  f("hKan", t.hKan);
  f("hShi", t.hShi);
  f("txtKoutai", t.txtKoutai);
  f("txtKoutaiYM", t.txtKoutaiYM);
  f("lblOu", t.lblOu);
  f("dun_kan", t.dun_kan);
  f("dun_shi", t.dun_shi);
  f("sai1", t.sai1);
  f("sai2", t.sai2);
}

// The values of one computation under their design names. Result is
// ChartResult or const ChartResult.
template <typename Result, typename F>
void ForEachResultField(Result& r, F&& f) {
  f("birthDateJD", r.birthDateJD);
  f("clockDayFraction", r.clockDayFraction);
  f("timeDiffDays", r.timeDiffDays);
  f("localBirthJD", r.localBirthJD);
  f("nowJD", r.nowJD);
  f("birthdayThisYearJD", r.birthdayThisYearJD);
  f("ageText", r.ageText);
  f("weekday", r.weekday);
  f("eotMinutes", r.eotMinutes);
  f("eotMinutesText", r.eotMinutesText);
  f("eotSecondsText", r.eotSecondsText);
  f("correctionMinutes", r.correctionMinutes);
  f("solarYear", r.solarYear);
  f("solarMonth", r.solarMonth);
  f("solarDay", r.solarDay);
  f("solarHour", r.solarHour);
  f("solarMinute", r.solarMinute);
  f("solarDayFraction", r.solarDayFraction);
  f("lightTimeDays", r.lightTimeDays);
  f("sunLongitude", r.sunLongitude);
  f("solarMonthNumber", r.solarMonthNumber);
  f("pillarYear", r.pillarYear);
  f("yearParity", r.yearParity);
  f("yearStem", r.yearStem);
  f("yearBranch", r.yearBranch);
  f("monthStem", r.monthStem);
  f("monthBranch", r.monthBranch);
  f("dayStem", r.dayStem);
  f("dayBranch", r.dayBranch);
  f("hourStem", r.hourStem);
  f("hourBranch", r.hourBranch);
  f("seasonElement", r.seasonElement);
  f("hourUnknown", r.hourUnknown);
  f("forward", r.forward);
  f("startAge", r.startAge);
  f("startYears", r.startYears);
  f("startMonths", r.startMonths);
  f("startDays", r.startDays);
  f("luckStems", r.luckStems);
  f("luckBranches", r.luckBranches);
  f("fromAges", r.fromAges);
  f("toAges", r.toAges);
  f("changeYearStem", r.changeYearStem);
  f("changeMonthBranch", r.changeMonthBranch);
  f("currentColumn", r.currentColumn);
}

}  // namespace torvela::chart
