#include "game/fresh_levels.h"

#include <gtest/gtest.h>

#include "game/campaign.h"
#include "model/level_text.h"
#include "search/play_solver.h"

TEST(FreshLevelsTest, NeverThePuzzlePlayedAVariantOfItOneBeforeOrOfTheCampaign) {
  const play_level first = *read_level_text("aaabc..debc..deffgPPeh.gii.h.g..jjj.");
  fresh_levels fresh(first);
  puzzle_set campaign;
  for (int number = 1; number <= campaign_size(); ++number) {
    campaign.add(identity_of(campaign_level(number).level));
  }
  puzzle_set played = campaign;
  played.add(identity_of(first));
  for (const int moves : {20, 20, 20, 44, 44}) {
    const std::optional<offered_level> offered = fresh.make(moves, 3);
    ASSERT_TRUE(offered) << moves;
    EXPECT_EQ(solve_level(offered->level)->size(), static_cast<std::size_t>(moves));
    EXPECT_FALSE(played.holds_alike(identity_of(offered->level))) << level_text(offered->level);
    played.add(identity_of(offered->level));
    EXPECT_EQ(offered->about, "A level of " + std::to_string(moves) + " moves, seed " +
                                  std::to_string(*offered->seed) + ": escape_play --new --moves " +
                                  std::to_string(moves) + " --seed " +
                                  std::to_string(*offered->seed) + " plays it again.");
  }

  // The only puzzle of 50 moves is the campaign's last level, and the
  // campaign's levels of 46 to 49 moves and their variants are all the
  // maker knows of those counts: the nearest count with another instead.
  const std::optional<offered_level> instead = fresh_levels(campaign_level(60).level).make(50, 1);
  ASSERT_TRUE(instead);
  EXPECT_EQ(solve_level(instead->level)->size(), 45u);
  EXPECT_FALSE(campaign.holds_alike(identity_of(instead->level)));
  EXPECT_TRUE(instead->about.starts_with(
      "The maker knows no other puzzle of 46 to 50 moves. A level of 45 moves, seed "))
      << instead->about;
  EXPECT_EQ(instead->notice, "The maker knows no other puzzle of 46 to 50 moves. ");
  // Asked again and again for 45 moves, until the maker knows no other puzzle of 45.
  fresh_levels again(first);
  std::string said;
  for (int tries = 0; tries < 20 && said.empty(); ++tries) {
    const std::optional<offered_level> offered = again.make(45, 1);
    ASSERT_TRUE(offered);
    if (offered->about.starts_with("The maker")) {
      said = offered->about;
      EXPECT_NE(solve_level(offered->level)->size(), 45u);
    } else {
      EXPECT_EQ(solve_level(offered->level)->size(), 45u);
    }
  }
  EXPECT_TRUE(said.starts_with("The maker knows no other puzzle of 45 moves. A level of 44 moves"))
      << said;
}
