#include "search/level_maker.h"

#include <gtest/gtest.h>

#include <set>

#include "model/level_files.h"
#include "model/level_text.h"
#include "search/play_solver.h"
#include "search/puzzle_bank.h"
#include "search/puzzle_identity.h"
#include "search/slide_space.h"

namespace {

// A bound on layouts, so that the results never depend on the machine's
// speed, and a backstop of seconds that only a broken maker reaches.
constexpr maker_limits bounded(std::uint64_t layouts, int jobs = 0) {
  return maker_limits{60, layouts, jobs};
}

// Checks that the level keeps the generator's rules.
void expect_generator_rules(const play_level& level) {
  EXPECT_TRUE(level.prisoner.horizontal);
  EXPECT_EQ(level.prisoner.length, 2);
  EXPECT_EQ(level.prisoner.y, 3);
  EXPECT_GE(level.blockers.size(), 1u);
  EXPECT_LE(level.blockers.size(), static_cast<std::size_t>(max_blockers));
  cell_set taken = 0;
  for (int number = prisoner_number; number < block_count(level); ++number) {
    const play_block& block = block_of(level, number);
    EXPECT_TRUE(block.length == 2 || block.length == 3);
    EXPECT_FALSE(blocks_the_way_out_for_good(block, level.prisoner));
    const int along = position_along(block);
    ASSERT_TRUE(along >= 0 && along + block.length <= board_size);
    const cell_set cells = shape_of(block).at[along];
    EXPECT_EQ(cells & taken, 0u);
    taken |= cells;
  }
}

// The fewest moves that free the prisoner.
std::size_t fewest(const play_level& level) {
  return solve_level(level).value().size();
}

}  // namespace

TEST(LevelMakerTest, MadeLevelsNeedExactlyTheMovesAskedFor) {
  for (int moves = 0; moves <= 5; ++moves) {
    for (std::uint64_t seed = 0; seed < 36; ++seed) {
      const std::optional<made_level> made = make_level(moves, seed, bounded(1000));
      ASSERT_TRUE(made) << moves << " moves, seed " << seed;
      EXPECT_EQ(made->moves, moves);
      EXPECT_EQ(made->seed, seed);
      EXPECT_EQ(fewest(made->level), static_cast<std::size_t>(moves)) << level_text(made->level);
      expect_generator_rules(made->level);
    }
  }
}

TEST(LevelMakerTest, LeanLevelsHoldOnlyBlockersThatMatter) {
  for (const int moves : {0, 1, 6, 20}) {
    for (std::uint64_t seed = 0; seed < 4; ++seed) {
      const std::optional<made_level> lean = make_level(moves, seed, bounded(5000), {}, true);
      ASSERT_TRUE(lean) << moves << " moves, seed " << seed;
      const play_level& level = lean->level;
      EXPECT_EQ(fewest(level), static_cast<std::size_t>(moves)) << level_text(level);
      expect_generator_rules(level);
      if (moves == 0) {
        EXPECT_EQ(level.blockers.size(), 1u) << level_text(level);
      }
      for (std::size_t i = 0; i < level.blockers.size() && moves > 0; ++i) {
        play_level without = level;
        without.blockers.erase(without.blockers.begin() + static_cast<std::ptrdiff_t>(i));
        EXPECT_LT(fewest(without), static_cast<std::size_t>(moves)) << level_text(level) << i;
      }
      // The level the seed makes, with its blockers that do not matter taken away.
      const play_level full = make_level(moves, seed, bounded(5000)).value().level;
      EXPECT_EQ(full.prisoner.x, level.prisoner.x);
      for (const play_block& blocker : level.blockers) {
        ASSERT_NE(block_at(full, blocker.x, blocker.y), no_block);
        EXPECT_EQ(block_of(full, block_at(full, blocker.x, blocker.y)), blocker);
      }
    }
  }
}

TEST(LevelMakerTest, OneSeedMakesOneLevelWithAnyNumberOfJobs) {
  const struct {
    int moves;
    std::uint64_t seed;
    const char* text;
  } pinned[] = {
      {0, 1, "abcdd.abc..eabfggehhf.PPi.j..ki.jllk"},
      {5, 2, "..abcc..ab...dd.e.ffPPe.....e.ggghh."},
      {12, 3, "a...bba.ccc.ddde.fPP.egf.hiigf.hjjkk"},
      {20, 4, "aaabc..debc..deffgPPeh.gii.h.g..jjj."},
  };
  for (const auto& pin : pinned) {
    const std::optional<made_level> made = make_level(pin.moves, pin.seed, bounded(2000));
    ASSERT_TRUE(made) << pin.moves;
    EXPECT_EQ(level_text(made->level), pin.text) << pin.moves;
    EXPECT_EQ(fewest(made->level), static_cast<std::size_t>(pin.moves));
  }
  // The same with any number of jobs, found within as many layouts as it
  // took but not one fewer.
  const made_level deep = make_level(35, 3, bounded(5000, 1)).value();
  for (const int jobs : {2, 3}) {
    const std::optional<made_level> again = make_level(35, 3, bounded(deep.layouts, jobs));
    ASSERT_TRUE(again) << jobs;
    EXPECT_EQ(level_text(again->level), level_text(deep.level)) << jobs;
    EXPECT_EQ(again->layouts, deep.layouts);
  }
  EXPECT_EQ(make_level(35, 3, bounded(deep.layouts - 1, 2)), std::nullopt);
  // The hardest level within a bound of layouts long enough for climbs to stall.
  std::optional<made_level> hardest[2];
  for (const int jobs : {1, 3}) {
    hardest[jobs / 2] = make_hardest_level(6, bounded(700, jobs));
    ASSERT_TRUE(hardest[jobs / 2]);
    EXPECT_EQ(hardest[jobs / 2]->layouts, 700u);
    EXPECT_EQ(fewest(hardest[jobs / 2]->level), static_cast<std::size_t>(hardest[jobs / 2]->moves));
  }
  EXPECT_EQ(hardest[0]->moves, 46);
  // The different puzzles met at the best count and the two below, the best first.
  ASSERT_FALSE(hardest[0]->met.empty());
  EXPECT_EQ(hardest[0]->met.front().moves, 46);
  EXPECT_LE(hardest[0]->met.size(), 3u);
  EXPECT_GE(hardest[0]->met.back().moves, 44);
  for (const puzzles_met& met : hardest[0]->met) {
    EXPECT_GE(met.puzzles, 1) << met.moves;
  }
  EXPECT_EQ(hardest[1]->met, hardest[0]->met);
  EXPECT_EQ(level_text(hardest[0]->level), "aa.bccd..beedfffghd.PPghiij.ghkkjll.");
  EXPECT_EQ(level_text(hardest[1]->level), level_text(hardest[0]->level));
  // A count no level of this board needs is not found within the bound.
  EXPECT_EQ(make_level(90, 1, bounded(20)), std::nullopt);
  EXPECT_EQ(make_level(-1, 1, bounded(20)), std::nullopt);
}

TEST(LevelMakerTest, AStopFlagEndsTheSearchWithNothing) {
  std::atomic<bool> stop{true};
  maker_limits limits = bounded(3000, 2);
  limits.stop = &stop;
  EXPECT_EQ(make_level(3, 1, limits), std::nullopt);
  EXPECT_EQ(make_hardest_level(1, limits), std::nullopt);
  // Set while the search runs, from its progress report.
  for (const int jobs : {1, 2}) {
    stop = false;
    limits.jobs = jobs;
    int reports = 0;
    const auto stop_now = [&](double, int) {
      ++reports;
      stop = true;
    };
    EXPECT_EQ(make_level(60, 1, limits, stop_now), std::nullopt);
    EXPECT_EQ(reports, 1);
    stop = false;
    EXPECT_EQ(make_hardest_level(1, limits, stop_now), std::nullopt);
    EXPECT_EQ(reports, 2);
  }
}

TEST(LevelMakerTest, NewLevelsAreNeitherAPuzzleGivenBeforeNorAVariantOfOne) {
  const struct {
    int moves;
    bool lean;
  } asked[] = {{20, false}, {3, true}, {bank_serves_from, true}, {45, false}};
  for (const auto& [moves, lean] : asked) {
    SCOPED_TRACE(std::to_string(moves) + " moves");
    puzzle_set given;
    std::uint64_t seed = 1;
    std::set<std::size_t> bank_puzzles_used;
    for (int i = 0; i < 4; ++i) {
      const std::optional<made_level> made =
          make_new_level(moves, seed, given, bounded(20'000), {}, lean);
      ASSERT_TRUE(made) << i;
      EXPECT_EQ(fewest(made->level), static_cast<std::size_t>(moves)) << level_text(made->level);
      EXPECT_FALSE(given.holds_alike(identity_of(made->level))) << level_text(made->level);
      EXPECT_GE(made->seed, seed);
      // Its seed alone makes it again.
      EXPECT_EQ(level_text(make_level(moves, made->seed, bounded(20'000), {}, lean)->level),
                level_text(made->level));
      // Nor a level of a bank puzzle given before, made lean another way.
      EXPECT_EQ(made->bank_index.has_value(), moves >= bank_serves_from);
      EXPECT_TRUE(!made->bank_index || bank_puzzles_used.insert(*made->bank_index).second);
      remember_made(given, *made);
      EXPECT_TRUE(!made->bank_index || given.holds_alike(bank_identity(*made->bank_index)));
      seed = made->seed + 1;
    }
  }
  // The board holds one puzzle of 50 moves: once it was given, the maker
  // knows no other, and the nearest count with one is 49.
  puzzle_set given;
  ASSERT_TRUE(knows_other_puzzle(most_level_moves, given));
  remember_made(given, make_new_level(most_level_moves, 1, given, bounded(1)).value());
  EXPECT_FALSE(knows_other_puzzle(most_level_moves, given));
  EXPECT_EQ(make_new_level(most_level_moves, 2, given, bounded(1)), std::nullopt);
  EXPECT_EQ(nearest_count_with_other(most_level_moves, given), most_level_moves - 1);
  EXPECT_EQ(nearest_count_with_other(20, given), 20);
  // Two bank puzzles reach 49 moves: each gives one lean level, made lean
  // however its position allows, and then the maker knows no other.
  puzzle_set lean_given;
  std::set<std::size_t> sources;
  std::uint64_t lean_seed = 1;
  for (int i = 0; i < 2; ++i) {
    const std::optional<made_level> made =
        make_new_level(most_level_moves - 1, lean_seed, lean_given, bounded(1), {}, true);
    ASSERT_TRUE(made);
    EXPECT_TRUE(sources.insert(made->bank_index.value()).second);
    remember_made(lean_given, *made);
    lean_seed = made->seed + 1;
  }
  EXPECT_FALSE(knows_other_puzzle(most_level_moves - 1, lean_given));
  // Counts outside the board's range: none.
  EXPECT_TRUE(knows_other_puzzle(0, given));
  EXPECT_FALSE(knows_other_puzzle(-1, given));
  EXPECT_FALSE(knows_other_puzzle(most_level_moves + 1, given));
}
