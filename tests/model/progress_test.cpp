#include "model/progress.h"

#include <gtest/gtest.h>

#include "support/level_search.h"

namespace {

const level_best three_stars{2, 3, 0, 0, 0, "2024-05-06"};
const level_best one_star{9, 1, 1, 0, 0, "2024-05-07"};

TEST(ProgressTest, MoreStarsThenFewerMovesThenLessHelpIsBetter) {
  EXPECT_TRUE(is_better(three_stars, one_star));
  EXPECT_FALSE(is_better(one_star, three_stars));
  EXPECT_TRUE(is_better({5, 1, 0, 0, 0, ""}, {6, 1, 0, 0, 0, ""}));
  EXPECT_TRUE(is_better({5, 1, 0, 0, 0, ""}, {5, 1, 0, 1, 0, ""}));
  EXPECT_FALSE(is_better(one_star, one_star));
}

TEST(ProgressTest, ABoardHasOneKeyHoweverItsBlockersAreLettered) {
  play_level level = two_move_level();
  const std::string key = progress_key(level);
  EXPECT_EQ(key_numbers(level), (std::vector<int>{0, 2, 4, 3, 1}));
  std::swap(level.blockers[0], level.blockers[3]);
  EXPECT_EQ(progress_key(level), key);
  EXPECT_EQ(key, "aaa......b.....b.c.PPb.c..........dd");
  // Block n of the level is lettered key_numbers[n] in the key.
  EXPECT_EQ(key_numbers(level), (std::vector<int>{0, 1, 4, 3, 2}));
  // Blockers in one place keep their order.
  const play_level twins{play_block{true, 2, 0, 3},
                         {play_block{false, 2, 5, 4}, play_block{false, 2, 1, 0}}};
  EXPECT_EQ(key_numbers(twins), (std::vector<int>{0, 2, 1}));
}

}  // namespace
