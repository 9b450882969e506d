#include "game/daily_level.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "game/campaign.h"
#include "model/level_text.h"
#include "search/play_solver.h"
#include "search/puzzle_identity.h"

namespace {

// The fewest moves that free the prisoner; -1 when none do.
int fewest_moves(const play_level& level) {
  const auto solution = solve_level(level);
  return solution ? static_cast<int>(solution->size()) : -1;
}

}  // namespace

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

TEST(DailyLevelTest, EveryLevelOfTheDayIsWhatItsLineSays) {
  std::map<int, int> per_count;
  for (const daily_entry& entry : daily_entries()) {
    SCOPED_TRACE(entry.text);
    const play_level level = *read_level_text(entry.text);
    EXPECT_EQ(fewest_moves(level), entry.moves);
    ++per_count[entry.moves];
    // Every blocker matters: without it the prisoner gets out sooner.
    for (std::size_t i = 0; i < level.blockers.size(); ++i) {
      play_level fewer = level;
      fewer.blockers.erase(fewer.blockers.begin() + static_cast<std::ptrdiff_t>(i));
      EXPECT_LT(fewest_moves(fewer), entry.moves) << "blocker " << i;
    }
  }
  for (int weekday = 0; weekday < 7; ++weekday) {
    EXPECT_GE(per_count[daily_moves_of_weekday(weekday)], 53) << weekday;
  }
  EXPECT_EQ(per_count.size(), 7u);
}

TEST(DailyLevelTest, EasierEarlyInTheWeekAndNoPuzzleTwiceInAYear) {
  // 2024-06-03 was a Monday.
  EXPECT_EQ(daily_moves(*read_date("2024-06-03")), 10);
  EXPECT_EQ(daily_moves(*read_date("2024-06-08")), 35);
  EXPECT_EQ(daily_moves(*read_date("2024-06-09")), 40);
  const offered_level monday = daily_level(*read_date("2024-06-03"));
  EXPECT_EQ(monday.about, "The level of 2024-06-03, a Monday: 10 moves at best.");
  EXPECT_EQ(level_text(monday.level), daily_entry_of(*read_date("2024-06-03")).text);

  puzzle_set campaign;
  std::set<puzzle_identity> campaign_puzzles;
  for (int number = 1; number <= campaign_size(); ++number) {
    campaign.add(identity_of(campaign_level(number).level));
    campaign_puzzles.insert(campaign.puzzles().back());
  }
  // Every day of a leap year, from its first to its last: no puzzle twice,
  // none of the campaign. Variants of a level played before (this year or in
  // the campaign) only on Sundays: the board holds too few puzzles of 40 moves.
  using namespace std::chrono;
  std::set<puzzle_identity> seen;
  puzzle_set before = campaign;
  int variants = 0;
  for (sys_days day = sys_days(2028y / 1 / 1); day <= sys_days(2028y / 12 / 31); day += days(1)) {
    const year_month_day date(day);
    const daily_entry& entry = daily_entry_of(date);
    EXPECT_EQ(entry.moves, daily_moves(date));
    const puzzle_identity puzzle = identity_of(*read_level_text(entry.text));
    EXPECT_TRUE(seen.insert(puzzle).second) << date_text(date) << " " << entry.text;
    EXPECT_FALSE(campaign_puzzles.contains(puzzle)) << date_text(date) << " " << entry.text;
    if (before.holds_alike(puzzle)) {
      ++variants;
      EXPECT_EQ(entry.moves, 40) << date_text(date) << " " << entry.text;
    }
    before.add(puzzle);
  }
  EXPECT_EQ(seen.size(), 366u);
  EXPECT_LE(variants, 30);
  // Another year, another order: the first Mondays of 2027 and 2028.
  EXPECT_NE(std::string(daily_entry_of(2027y / 1 / 4).text), daily_entry_of(2028y / 1 / 3).text);
}
