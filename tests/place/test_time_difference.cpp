// The longitude → time-difference rule the map and the gazetteer share: whole
// degrees, minutes and seconds by floor, then minutes of time from 135°E
// truncated, "-0" for less than a minute west.
#include <gtest/gtest.h>

#include <string>

#include "chart/TimeDifference.h"
#include "place/Gazetteer.h"

namespace torvela::place {
namespace {

struct Case {
  const char* what;
  double longitude;
  const char* minutes;
  const char* seconds;
};

TEST(TimeDifference, WestAndEastOf135) {
  const Case cases[] = {
      {"on the meridian", 135.0, "0", "0"},
      {"西脇市, 14 s of arc west", 134.99626, "-0", "0"},
      {"明石市, 134°56'51\" E", 134.94769, "-0", "12"},
      {"134°45'15\" E, one second of time short of a minute west", 134.0 + 45.0 / 60 + 15.5 / 3600, "-0", "59"},
      {"exactly one minute west", 134.75, "-1", "0"},
      {"加東市, 135°0'28\" E", 135.00780, "0", "1"},
      {"府中市 of 東京都, 139°28'24\" E", 139.47345, "17", "53"},
      {"那覇市, 127°40'44\" E", 127.67915, "-29", "17"},
      {"南鳥島 far east", 153.98, "75", "55"},
  };
  for (const Case& c : cases) {
    const chart::TimeDifferenceTexts t = chart::TimeDifferenceAt(c.longitude);
    EXPECT_EQ(t.minutes, c.minutes) << c.what;
    EXPECT_EQ(t.seconds, c.seconds) << c.what;
  }
}

TEST(TimeDifference, SplitTruncatesEachStep) {
  // 134°59'59.99": neither the seconds nor the minutes round up.
  const chart::DmsParts d = chart::SplitDms(135.0 - 0.01 / 3600);
  EXPECT_EQ(d.degrees, 134);
  EXPECT_EQ(d.minutes, 59);
  EXPECT_EQ(d.seconds, 59);
  const chart::DmsParts f = chart::SplitDms(35.5f);
  EXPECT_EQ(f.degrees, 35);
  EXPECT_EQ(f.minutes, 30);
  EXPECT_EQ(f.seconds, 0);
}

TEST(TimeDifference, OfAPlaceIsTheRuleAtItsLongitude) {
  Place p;
  p.longitude = 134.94769;
  const auto t = TimeDifferenceOf(p);
  EXPECT_EQ(t.minutes + "/" + t.seconds, "-0/12");
}

}  // namespace
}  // namespace torvela::place
