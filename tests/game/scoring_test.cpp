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
  EXPECT_EQ(result_lines(unaided, 3, {std::nullopt, true, std::nullopt}),
            (std::vector<std::string>{escape_text(4, 3), "Stars: ** (2 of 3).",
                                      "A new best on this level: your first escape from it."}));
  const level_best aided{3, 1, 2, 1, 1, ""};
  const std::vector<std::string> lines =
      result_lines(aided, 3, {unaided, false, "The save failed."});
  EXPECT_EQ(lines.at(1),
            "Stars: * (1 of 3), at most one when aided: 2 tips, 1 solution and 1 look at the "
            "fewest from here.");
  EXPECT_EQ(lines.at(2), "Your best on this level: 4 moves, 2 stars.");
  EXPECT_EQ(lines.at(3), "The save failed.");
  EXPECT_EQ(result_lines(unaided, 3, {aided, true, std::nullopt}).at(2),
            "A new best on this level! Before: 3 moves, 1 star.");
}
