#include "game/daily_level.h"

#include <gtest/gtest.h>

#include "model/level_text.h"
#include "search/level_maker.h"
#include "search/play_solver.h"

TEST(DailyLevelTest, ReadsOnlyDatesOfTheCalendar) {
  for (const char* date : {"2024-02-29", "0001-01-01", "9999-12-31"}) {
    ASSERT_TRUE(read_date(date)) << date;
    EXPECT_EQ(date_text(*read_date(date)), date);
  }
  for (const char* no_date : {"2023-02-29", "2024-13-01", "2024-00-10", "2024-04-31", "2024-4-01",
                              "24-04-01", "2024/04/01", "2024-04-01x", "+024-04-01", ""}) {
    EXPECT_FALSE(read_date(no_date)) << no_date;
  }
  using namespace std::chrono;
  EXPECT_EQ(utc_date(sys_days(2024y / 3 / 9) + hours(23) + minutes(59)), 2024y / 3 / 9);
}

TEST(DailyLevelTest, EasierEarlyInTheWeekAndTheSameLevelEverywhere) {
  // 2024-06-03 was a Monday.
  EXPECT_EQ(daily_moves(*read_date("2024-06-03")), 10);
  EXPECT_EQ(daily_moves(*read_date("2024-06-08")), 35);
  EXPECT_EQ(daily_moves(*read_date("2024-06-09")), 40);
  EXPECT_EQ(daily_seed(*read_date("2024-06-09")), 20240609u);

  const std::optional<offered_level> monday = daily_level(*read_date("2024-06-03"));
  ASSERT_TRUE(monday);
  EXPECT_EQ(monday->about, "The level of 2024-06-03, a Monday: 10 moves at best.");
  EXPECT_EQ(solve_level(monday->level)->size(), 10u);
  // The maker's level of the day's moves and seed: the same on every machine.
  EXPECT_EQ(level_text(monday->level), level_text(make_level(10, 20240603, {}, {}, true)->level));
}
