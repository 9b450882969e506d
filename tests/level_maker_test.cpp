#include "level_maker.h"

#include <gtest/gtest.h>

#include "level_text.h"
#include "play_solver.h"
#include "slide_space.h"

namespace {

// A bound on layouts alone, so that the results never depend on the machine's speed.
constexpr maker_limits layouts_only(std::uint64_t layouts) {
  return maker_limits{1e9, layouts};
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
    BLOCK block = block_of(level, number);
    EXPECT_TRUE(block.length == 2 || block.length == 3);
    EXPECT_TRUE(is_block_legal(block, level.prisoner));
    const int along = position_along(block);
    ASSERT_TRUE(along >= 0 && along + block.length <= board_size);
    const cell_set cells = shape_of(block).at[along];
    EXPECT_EQ(cells & taken, 0u);
    taken |= cells;
    const BLOCK as_stored = block;
    block.define_block_Id();
    EXPECT_EQ(block.block_Id, as_stored.block_Id);
    EXPECT_EQ(block.occupied_points_x[block.length - 1],
              as_stored.occupied_points_x[block.length - 1]);
  }
}

}  // namespace

TEST(LevelMakerTest, MadeLevelsNeedExactlyTheMovesAskedFor) {
  for (int moves = 0; moves <= 5; ++moves) {
    for (std::uint64_t seed = 0; seed < 36; ++seed) {
      const std::optional<made_level> made = make_level(moves, seed, layouts_only(1000));
      ASSERT_TRUE(made) << moves << " moves, seed " << seed;
      EXPECT_EQ(made->moves, moves);
      EXPECT_EQ(made->seed, seed);
      const std::optional<std::vector<play_move>> solution = solve_level(made->level);
      ASSERT_TRUE(solution) << level_text(made->level);
      EXPECT_EQ(static_cast<int>(solution->size()), moves) << level_text(made->level);
      expect_generator_rules(made->level);
    }
  }
}

TEST(LevelMakerTest, OneSeedMakesOneLevelEverywhere) {
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
    const std::optional<made_level> made = make_level(pin.moves, pin.seed, layouts_only(10000));
    ASSERT_TRUE(made) << pin.moves;
    EXPECT_EQ(level_text(made->level), pin.text) << pin.moves;
    EXPECT_EQ(solve_level(made->level).value().size(), static_cast<std::size_t>(pin.moves));
  }
  const made_level hardest = make_hardest_level(6, layouts_only(100));
  EXPECT_EQ(hardest.layouts, 100u);
  EXPECT_EQ(hardest.moves, 27);
  EXPECT_EQ(level_text(hardest.level), ".abccd.abeedfffghdiPPgh.i..j..i..jkk");
  EXPECT_EQ(solve_level(hardest.level).value().size(), 27u);
  // A count no level of this board needs is not found within the bound.
  EXPECT_EQ(make_level(90, 1, layouts_only(20)), std::nullopt);
  EXPECT_EQ(make_level(-1, 1, layouts_only(20)), std::nullopt);
  // A search told to stop ends at once, even before any layout frees the prisoner.
  const std::atomic<bool> stop = true;
  EXPECT_EQ(make_level(0, 1, {1e9, 0, &stop}), std::nullopt);
}
