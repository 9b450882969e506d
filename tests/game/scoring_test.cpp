#include "game/scoring.h"

#include <gtest/gtest.h>

TEST(ScoringTest, StarsForTheFewestForHalfAsManyAgainAndForAnyEscape) {
  EXPECT_EQ(stars_for(4, 4, {}), 3);
  EXPECT_EQ(stars_for(5, 4, {}), 2);
  EXPECT_EQ(stars_for(6, 4, {}), 2);
  EXPECT_EQ(stars_for(7, 4, {}), 1);
  EXPECT_EQ(stars_for(2, 1, {}), 1);
  // Any help leaves one star.
  for (const help_taken help : {help_taken{1, 0, 0}, help_taken{0, 1, 0}, help_taken{0, 0, 1}}) {
    EXPECT_TRUE(was_aided(help));
    EXPECT_EQ(stars_for(4, 4, help), 1);
  }
  EXPECT_FALSE(was_aided({}));
  EXPECT_EQ(scored_escape(5, 4, {2, 1, 0}), (level_best{5, 1, 2, 1, 0, ""}));
}

TEST(ScoringTest, TheResultSaysTheStarsTheHelpAndTheBest) {
  EXPECT_EQ(escape_text(3, 3),
            "The prisoner is free! Moves used: 3, fewest possible: 3. A perfect escape.");
  EXPECT_EQ(escape_text(4, 3), "The prisoner is free! Moves used: 4, fewest possible: 3.");
  EXPECT_EQ(escape_text(3, 3, {1, 0, 0}),
            "The prisoner is free! Moves used: 3, fewest possible: 3.");

  const level_best unaided{4, 2, 0, 0, 0, ""};
  EXPECT_EQ(result_lines(unaided, 3, {std::nullopt, true, std::nullopt, false, std::nullopt},
                         std::chrono::seconds(75)),
            (std::vector<std::string>{escape_text(4, 3), "Stars: ** (2 of 3).", "Time: 1:15.",
                                      "A new best on this level: your first escape from it."}));
  const level_best aided{3, 1, 2, 1, 1, ""};
  const std::vector<std::string> lines = result_lines(
      aided, 3, {unaided, false, 30, false, "The save failed."}, std::chrono::seconds(12));
  EXPECT_EQ(lines.at(1),
            "Stars: * (1 of 3), at most one when aided: 2 tips, 1 solution and 1 look at the "
            "fewest from here.");
  EXPECT_EQ(lines.at(2), "Time: 0:12 (only an escape without help sets the fastest time).");
  EXPECT_EQ(lines.at(3), "Your best on this level: 4 moves, 2 stars.");
  EXPECT_EQ(lines.at(4), "The save failed.");
  const std::vector<std::string> faster =
      result_lines(unaided, 3, {aided, true, 30, true, std::nullopt}, std::chrono::seconds(29));
  EXPECT_EQ(faster.at(2), "Time: 0:29, a new fastest on this level! Before: 0:30.");
  EXPECT_EQ(faster.at(3), "A new best on this level! Before: 3 moves, 1 star.");
  EXPECT_EQ(result_lines(unaided, 3, {aided, false, 30, false, std::nullopt},
                         std::chrono::milliseconds(30999))
                .at(2),
            "Time: 0:30. Your fastest on this level: 0:30.");
}

TEST(ScoringTest, TheClockShowsMinutesAndSecondsAndHoursPastOne) {
  using std::chrono::milliseconds;
  EXPECT_EQ(clock_text(milliseconds(0)), "0:00");
  EXPECT_EQ(clock_text(milliseconds(59999)), "0:59");
  EXPECT_EQ(clock_text(milliseconds(60000)), "1:00");
  EXPECT_EQ(clock_text(milliseconds(3599999)), "59:59");
  EXPECT_EQ(clock_text(milliseconds(3600000)), "1:00:00");
  EXPECT_EQ(clock_text(milliseconds(45296000)), "12:34:56");
}
