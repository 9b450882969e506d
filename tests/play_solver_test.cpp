#include "play_solver.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <random>

#include "test_support.h"

// The solver's counts are meant to agree with calculate_num_moves on every
// level that the counter solves within its depth limit: compare
// solve_level(level)->size() with its result on random levels written with
// write_level.

namespace {

bool on_board(const BLOCK& block) {
  const int along = block.horizontal ? block.x : block.y;
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

// A plain search over whole block lists and the grid operations, to check the compact one against.
std::optional<std::size_t> reference_fewest(const play_level& level) {
  std::vector<BLOCK> start{level.prisoner};
  start.insert(start.end(), level.blockers.begin(), level.blockers.end());
  const auto key = [](const std::vector<BLOCK>& blocks) {
    std::vector<int> places;
    for (const BLOCK& block : blocks) {
      places.push_back(block.horizontal ? block.x : block.y);
    }
    return places;
  };
  std::map<std::vector<int>, std::size_t> depth{{key(start), 0}};
  std::deque<std::vector<BLOCK>> queue{start};
  while (!queue.empty()) {
    std::vector<BLOCK> blocks = queue.front();
    queue.pop_front();
    const std::size_t moves = depth[key(blocks)];
    bool isblockthere[board_size][board_size];
    mark_blocks(blocks[0], std::vector<BLOCK>(blocks.begin() + 1, blocks.end()), isblockthere);
    if (way_out_free(blocks[0], isblockthere)) {
      return moves;
    }
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      clean_block(blocks[i], isblockthere);
      for (const int step : {-1, 1}) {
        std::vector<BLOCK> next = blocks;
        for (next[i].moveblock(step);
             on_board(next[i]) && !does_the_block_overlap(next[i], isblockthere);
             next[i].moveblock(step)) {
          if (depth.emplace(key(next), moves + 1).second) {
            queue.push_back(next);
          }
        }
      }
      place_block(blocks[i], isblockthere);
    }
  }
  return std::nullopt;
}

// Plays the moves with the grid operations; true if each is a legal slide and
// the prisoner ends free.
bool frees_the_prisoner(const play_level& level, const std::vector<play_move>& moves) {
  std::vector<BLOCK> blocks{level.prisoner};
  blocks.insert(blocks.end(), level.blockers.begin(), level.blockers.end());
  bool isblockthere[board_size][board_size];
  mark_blocks(blocks[0], level.blockers, isblockthere);
  for (const play_move& move : moves) {
    if (move.distance == 0 ||
        !slide(blocks, static_cast<std::size_t>(move.block + 1), move.distance, isblockthere)) {
      return false;
    }
  }
  return way_out_free(blocks[0], isblockthere);
}

// A level with `count` blockers at random free places, none of them
// horizontal in the prisoner's row right of it, as the generator places them.
play_level random_level(std::mt19937& random, int count) {
  const auto draw = [&](int below) {
    return static_cast<int>(random() % static_cast<unsigned>(below));
  };
  play_level level{make_block(true, 2, draw(4), 3), {}};
  bool isblockthere[board_size][board_size];
  mark_blocks(level.prisoner, {}, isblockthere);
  for (int tries = 0; static_cast<int>(level.blockers.size()) < count && tries < 10'000; ++tries) {
    const bool horizontal = draw(2) == 1;
    const int length = 2 + draw(2);
    const int along = draw(board_size + 1 - length);
    const int across = draw(board_size);
    const BLOCK block = horizontal ? make_block(true, length, along, across)
                                   : make_block(false, length, across, along);
    if (is_block_legal(block, level.prisoner) && !does_the_block_overlap(block, isblockthere)) {
      place_block(block, isblockthere);
      level.blockers.push_back(block);
    }
  }
  return level;
}

TEST(PlaySolverTest, FreePrisonerNeedsNoMoveWhateverCoversItsLeft) {
  const BLOCK prisoner = make_block(true, 2, 2, 3);
  const std::vector<BLOCK> blockers = {make_block(true, 2, 0, 3), make_block(false, 3, 5, 0)};
  EXPECT_TRUE(is_prisoner_free(play_level{prisoner, blockers}));
  EXPECT_EQ(solve_level(play_level{prisoner, blockers}), std::vector<play_move>{});
  // At the far edge nothing is left to clear.
  EXPECT_EQ(solve_level(play_level{make_block(true, 2, 4, 3), {make_block(false, 2, 3, 3)}}),
            std::vector<play_move>{});
}

TEST(PlaySolverTest, LongSlideIsOneMove) {
  // The blocker must go from rows 3..5 to rows 0..2 in one slide of three cells.
  const play_level level{make_block(true, 2, 0, 3), {make_block(false, 3, 5, 3)}};
  EXPECT_FALSE(is_prisoner_free(level));
  EXPECT_EQ(solve_level(level), (std::vector<play_move>{{0, -3}}));
}

TEST(PlaySolverTest, ClearsAChainOfBlockersInOrder) {
  // c (column 5, rows 1..3) can only clear row 3 by going up, which b (row 0,
  // columns 3..5) prevents until it goes left, which a (column 2, rows 0..1)
  // prevents until it goes down without stopping in row 3.
  const play_level level{
      make_block(true, 2, 0, 3),
      {make_block(false, 2, 2, 0), make_block(true, 3, 3, 0), make_block(false, 3, 5, 1)}};
  const std::optional<std::vector<play_move>> solution = solve_level(level);
  ASSERT_TRUE(solution);
  ASSERT_EQ(solution->size(), 3u);
  EXPECT_EQ(solution->at(0).block, 0);
  EXPECT_NE(solution->at(0).distance, 2);
  EXPECT_EQ(solution->at(1), (play_move{1, -1}));
  EXPECT_EQ(solution->at(2), (play_move{2, -1}));
  EXPECT_TRUE(frees_the_prisoner(level, *solution));
}

TEST(PlaySolverTest, LockedLevelsHaveNoSolution) {
  // A horizontal blocker right of the prisoner in its own row never leaves the row.
  EXPECT_EQ(solve_level(play_level{make_block(true, 2, 0, 3), {make_block(true, 2, 3, 3)}}),
            std::nullopt);
  // Two blocks of three fill the last column.
  EXPECT_EQ(solve_level(play_level{make_block(true, 2, 1, 3),
                                   {make_block(false, 3, 5, 0), make_block(false, 3, 5, 3)}}),
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
    const std::optional<std::size_t> expected = reference_fewest(level);
    ASSERT_EQ(solution.has_value(), expected.has_value()) << "round " << round;
    if (solution) {
      ASSERT_EQ(solution->size(), *expected) << "round " << round;
      ASSERT_TRUE(frees_the_prisoner(level, *solution)) << "round " << round;
      longest = std::max(longest, solution->size());
      for (const play_move& move : *solution) {
        prisoner_moved = prisoner_moved || move.block == prisoner_block;
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

}  // namespace
