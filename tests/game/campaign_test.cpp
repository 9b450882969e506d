#include "game/campaign.h"

#include <gtest/gtest.h>

#include <map>

#include "model/level_text.h"
#include "search/play_solver.h"
#include "search/puzzle_identity.h"

namespace {

int fewest_moves(const play_level& level) {
  const auto solution = solve_level(level);
  return solution ? static_cast<int>(solution->size()) : -1;
}

}  // namespace

TEST(CampaignTest, EveryLevelIsWhatItsLineSays) {
  ASSERT_GE(campaign_size(), 60);
  EXPECT_GE(campaign_entries().front().moves, 1);
  EXPECT_LE(campaign_entries().front().moves, 3);
  EXPECT_GE(campaign_entries().back().moves, 45);
  EXPECT_LE(campaign_entries().back().moves, 50);
  puzzle_set puzzles;
  int moves_before = 0;
  std::map<std::string, int> per_tier;
  for (int number = 1; number <= campaign_size(); ++number) {
    const campaign_entry& entry = campaign_entries()[static_cast<std::size_t>(number - 1)];
    SCOPED_TRACE("level " + std::to_string(number) + ": " + entry.text);
    const play_level level = campaign_level(number).level;
    EXPECT_EQ(progress_key(level), entry.text);
    // No two levels one puzzle, nor variants.
    const puzzle_identity puzzle = identity_of(level);
    EXPECT_FALSE(puzzles.holds_alike(puzzle)) << "one puzzle with or a variant of a level before";
    puzzles.add(puzzle);
    EXPECT_EQ(fewest_moves(level), entry.moves);
    EXPECT_GE(entry.moves, moves_before) << "easier than the level before";
    moves_before = entry.moves;
    const campaign_tier* tier = tier_for(entry.moves);
    ASSERT_NE(tier, nullptr);
    EXPECT_STREQ(entry.tier, tier->name);
    ++per_tier[entry.tier];
    // Every blocker matters: without it the prisoner gets out sooner.
    for (std::size_t i = 0; i < level.blockers.size(); ++i) {
      play_level fewer = level;
      fewer.blockers.erase(fewer.blockers.begin() + static_cast<std::ptrdiff_t>(i));
      EXPECT_LT(fewest_moves(fewer), entry.moves) << "blocker " << block_letter(blocker_number(i));
    }
  }
  for (const campaign_tier& tier : campaign_tiers) {
    EXPECT_EQ(per_tier[tier.name], 12) << tier.name;
  }
}

TEST(CampaignTest, TiersLevelNumbersAndTheFirstUnsolved) {
  EXPECT_EQ(tier_for(0), nullptr);
  EXPECT_STREQ(tier_for(1)->name, "Beginner");
  EXPECT_STREQ(tier_for(10)->name, "Beginner");
  EXPECT_STREQ(tier_for(11)->name, "Intermediate");
  EXPECT_STREQ(tier_for(50)->name, "Grand master");
  EXPECT_EQ(tier_for(51), nullptr);

  const std::string second = campaign_entries()[1].text;
  EXPECT_EQ(campaign_number_of(second), 2);
  EXPECT_EQ(campaign_number_of(std::string(36, '.')), 0);
  EXPECT_EQ(campaign_level(2).about,
            "Level 2 of " + std::to_string(campaign_size()) + ", Beginner.");

  EXPECT_EQ(campaign_level(2).replay, "--campaign 2");

  progress kept;
  EXPECT_EQ(first_unsolved(kept), 1);
  kept[campaign_entries()[0].text] = level_best{1, 3, 0, 0, 0, "2024-06-01"};
  kept[second] = kept.begin()->second;
  kept[campaign_entries()[2].text].attempts = 2;  // tried, not escaped
  EXPECT_EQ(first_unsolved(kept), 3);
  EXPECT_EQ(totals_line(kept), "Solved 2 of " + std::to_string(campaign_size()) + " levels, 6 of " +
                                   std::to_string(3 * campaign_size()) + " stars.");
  kept[second] = level_best{2, 1, 1, 0, 0, "2024-06-01"};
  const campaign_totals first_three = totals_of(kept, 1, 3);
  EXPECT_EQ(first_three.levels, 3);
  EXPECT_EQ(first_three.solved, 2);
  EXPECT_EQ(first_three.aided, 1);
  EXPECT_EQ(first_three.stars, 4);
  EXPECT_TRUE(totals_line(kept).starts_with("Solved 2 of " + std::to_string(campaign_size()) +
                                            " levels (1 aided), 4 of "));
  for (const campaign_entry& entry : campaign_entries()) {
    kept[entry.text] = kept.begin()->second;
  }
  EXPECT_EQ(first_unsolved(kept), 1);
}
