#include "search/play_solver.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "search/num_moves_calculator.h"
#include "support/level_search.h"
#include "support/scratch_dir.h"

namespace {

bool on_board(const BLOCK& block) {
  const int along = position_along(block);
  return along >= 0 && along + block.length <= board_size;
}

bool way_out_free(const BLOCK& prisoner, bool (&isblockthere)[board_size][board_size]) {
  for (int x = prisoner.x + prisoner.length; x < board_size; ++x) {
    if (isblockthere[x][prisoner.y]) {
      return false;
    }
  }
  return true;
}

// Slides blocks[index] one cell at a time on the grid; false, with the block
// and grid as they were, when a cell on the way is covered or off the board.
bool slide(std::vector<BLOCK>& blocks, std::size_t index, int distance,
           bool (&isblockthere)[board_size][board_size]) {
  BLOCK block = blocks[index];
  clean_block(block, isblockthere);
  for (int s = 0; s < std::abs(distance); ++s) {
    block.moveblock(distance < 0 ? -1 : 1);
    if (!on_board(block) || does_the_block_overlap(block, isblockthere)) {
      place_block(blocks[index], isblockthere);
      return false;
    }
  }
  blocks[index] = block;
  place_block(block, isblockthere);
  return true;
}

// Plays the moves with the grid operations; true if each is a legal slide and
// the prisoner ends free.
bool frees_the_prisoner(const play_level& level, const std::vector<play_move>& moves) {
  const record_level records = as_records(level);
  std::vector<BLOCK> blocks{records.prisoner};
  blocks.insert(blocks.end(), records.blockers.begin(), records.blockers.end());
  bool isblockthere[board_size][board_size];
  mark_blocks(records.prisoner, records.blockers, isblockthere);
  for (const play_move& move : moves) {
    if (move.distance == 0 ||
        !slide(blocks, static_cast<std::size_t>(move.block), move.distance, isblockthere)) {
      return false;
    }
  }
  return way_out_free(blocks[0], isblockthere);
}

}  // namespace

TEST(PlaySolverTest, FreePrisonerNeedsNoMoveWhateverCoversItsLeft) {
  const play_block prisoner{true, 2, 2, 3};
  const std::vector<play_block> blockers = {{true, 2, 0, 3}, {false, 3, 5, 0}};
  EXPECT_TRUE(is_prisoner_free(play_level{prisoner, blockers}));
  EXPECT_EQ(solve_level(play_level{prisoner, blockers}), std::vector<play_move>{});
  // At the far edge nothing is left to clear.
  EXPECT_EQ(solve_level(play_level{play_block{true, 2, 4, 3}, {play_block{false, 2, 3, 3}}}),
            std::vector<play_move>{});
}

TEST(PlaySolverTest, LongSlideIsOneMove) {
  // The blocker must go from rows 3..5 to rows 0..2 in one slide of three cells.
  const play_level level{play_block{true, 2, 0, 3}, {play_block{false, 3, 5, 3}}};
  EXPECT_FALSE(is_prisoner_free(level));
  EXPECT_EQ(solve_level(level), (std::vector<play_move>{{1, -3}}));
}

TEST(PlaySolverTest, ClearsAChainOfBlockersInOrder) {
  // c (column 5, rows 1..3) can only clear row 3 by going up, which b (row 0,
  // columns 3..5) prevents until it goes left, which a (column 2, rows 0..1)
  // prevents until it goes down without stopping in row 3.
  const play_level level{
      play_block{true, 2, 0, 3},
      {play_block{false, 2, 2, 0}, play_block{true, 3, 3, 0}, play_block{false, 3, 5, 1}}};
  const std::optional<std::vector<play_move>> solution = solve_level(level);
  ASSERT_TRUE(solution);
  ASSERT_EQ(solution->size(), 3u);
  EXPECT_EQ(solution->at(0).block, 1);
  EXPECT_NE(solution->at(0).distance, 2);
  EXPECT_EQ(solution->at(1), (play_move{2, -1}));
  EXPECT_EQ(solution->at(2), (play_move{3, -1}));
  EXPECT_TRUE(frees_the_prisoner(level, *solution));
}

TEST(PlaySolverTest, LockedLevelsHaveNoSolution) {
  // A horizontal blocker right of the prisoner in its own row never leaves the row.
  EXPECT_EQ(solve_level(play_level{play_block{true, 2, 0, 3}, {play_block{true, 2, 3, 3}}}),
            std::nullopt);
  // Two blocks of three fill the last column.
  EXPECT_EQ(solve_level(play_level{play_block{true, 2, 1, 3},
                                   {play_block{false, 3, 5, 0}, play_block{false, 3, 5, 3}}}),
            std::nullopt);
}

TEST(PlaySolverTest, AgreesWithAPlainSearchOnRandomLevels) {
  std::mt19937 random(20261207);
  int solved = 0;
  int unsolved = 0;
  std::size_t longest = 0;
  bool prisoner_moved = false;
  for (int round = 0; round < 150; ++round) {
    const play_level level = random_level(random, 3 + round % 11);
    const std::optional<std::vector<play_move>> solution = solve_level(level);
    const int expected = fewest_moves(level, 1000);
    ASSERT_EQ(solution.has_value(), expected >= 0) << "round " << round;
    if (solution) {
      ASSERT_EQ(static_cast<int>(solution->size()), expected) << "round " << round;
      ASSERT_TRUE(frees_the_prisoner(level, *solution)) << "round " << round;
      longest = std::max(longest, solution->size());
      for (const play_move& move : *solution) {
        prisoner_moved = prisoner_moved || move.block == prisoner_number;
      }
      ++solved;
    } else {
      ++unsolved;
    }
  }
  // The corpus must hold both kinds, long solutions and prisoner moves to mean anything.
  EXPECT_GT(solved, 50);
  EXPECT_GT(unsolved, 5);
  EXPECT_GE(longest, 6u);
  EXPECT_TRUE(prisoner_moved);
}

TEST(PlaySolverTest, AgreesWithTheMoveCounterWithinItsDepthLimit) {
  scoped_temp_dir dir;
  std::mt19937 random(41);
  int compared = 0;
  int collided = 0;
  for (int round = 0; round < 400; ++round) {
    const play_level level = random_level(random, 1 + round % 9);
    write_level(level);
    std::ostringstream progress;
    const int counted = calculate_num_moves(progress);
    const std::optional<std::vector<play_move>> solution = solve_level(level);

    // The counter tells blocks apart only by block_Id; with no two alike it finds the fewest.
    const record_level records = as_records(level);
    std::set<int> ids{records.prisoner.block_Id};
    for (const BLOCK& blocker : records.blockers) {
      ids.insert(blocker.block_Id);
    }
    const bool ids_distinct = ids.size() == level.blockers.size() + 1;
    if (!solution || solution->size() > 19) {
      EXPECT_EQ(counted, -1) << "round " << round;
    } else if (ids_distinct) {
      EXPECT_EQ(counted, static_cast<int>(solution->size())) << "round " << round;
      ++compared;
    } else {
      // Blocks that share a block_Id may hide the fewest moves from the counter, never beat them.
      EXPECT_TRUE(counted == -1 || counted >= static_cast<int>(solution->size())) << round;
      ++collided;
    }
  }
  EXPECT_GT(compared, 150);
  EXPECT_GT(collided, 20);
}
