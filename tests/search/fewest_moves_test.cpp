#include "search/fewest_moves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "model/level_text.h"
#include "search/play_solver.h"
#include "support/level_corpus.h"
#include "support/level_search.h"

namespace {

// The solver's count for the level, or nothing when it cannot be freed.
std::optional<int> solved_count(const play_level& level) {
  const std::optional<std::vector<play_move>> solution = solve_level(level);
  return solution ? std::optional<int>(static_cast<int>(solution->size())) : std::nullopt;
}

// Checks the map against the solver at the level's start and at positions a
// few random slides away, and plays the map's next moves to freedom.
void expect_solver_counts(const play_level& level, std::mt19937& random) {
  const fewest_moves_map map(level);
  play_level position = level;
  for (int slide = 0; slide < 6; ++slide) {
    ASSERT_EQ(map.fewest(position), solved_count(position)) << level_text(position);
    const std::vector<std::uint64_t> next = neighbours(level, pack_positions(position));
    if (next.empty()) {
      break;
    }
    position = at_positions(level, next[random() % next.size()]);
  }
  const std::optional<int> start = map.fewest(level);
  position = level;
  for (int left = start.value_or(0); left > 0; --left) {
    const std::optional<play_move> move = map.next_move(position);
    ASSERT_TRUE(move) << level_text(position);
    const std::vector<std::uint64_t> next = neighbours(level, pack_positions(position));
    slide_block(position, move->block, move->distance);
    ASSERT_NE(std::find(next.begin(), next.end(), pack_positions(position)), next.end());
    ASSERT_EQ(map.fewest(position), left - 1) << level_text(position);
  }
  EXPECT_EQ(is_prisoner_free(position), start.has_value()) << level_text(level);
  EXPECT_EQ(map.next_move(position), std::nullopt);
}

}  // namespace

TEST(FewestMovesTest, EveryPositionsCountAndNextMoveAsTheSolverFinds) {
  std::mt19937 random(5);
  for (const corpus_level& entry : level_corpus()) {
    play_level level = parse_level(entry.picture);
    expect_solver_counts(level, random);
    // Blockers stored in another order, alike ones included.
    std::reverse(level.blockers.begin(), level.blockers.end());
    expect_solver_counts(level, random);
  }
  for (int draw = 0; draw < 60; ++draw) {
    play_level level = random_level(random, 8 + draw % 6);
    std::shuffle(level.blockers.begin(), level.blockers.end(), random);
    expect_solver_counts(level, random);
  }
}

TEST(FewestMovesTest, AlikeBlocksAnswerInWhicheverOrderTheyLie) {
  // a and b are alike (two cells, row 0), a right of b; c and d in column 5, d above c.
  const play_level level = parse_level(
      "bb.aad\n"
      ".....d\n"
      ".....c\n"
      "PP...c\n"
      "......\n"
      "......\n");
  const fewest_moves_map map(level);
  EXPECT_EQ(map.fewest(level), 1);  // c down 2
  // The same board with a and b, and c and d, taking each other's places.
  play_level swapped = level;
  swapped.blockers = {level.blockers[1], level.blockers[0], level.blockers[3], level.blockers[2]};
  EXPECT_EQ(map.fewest(swapped), 1);
  EXPECT_EQ(map.next_move(swapped), (play_move{blocker_number(3), 2}));
  EXPECT_EQ(map.next_move(level), (play_move{blocker_number(2), 2}));
}

TEST(FewestMovesTest, MeasuresWithinItsBoundsInLayers) {
  const play_level level = parse_level(corpus_level_named("dense10_15").picture);
  fewest_moves_map map;
  EXPECT_EQ(map.fewest(level), std::nullopt);
  ASSERT_TRUE(map.measure(level));
  const std::uint32_t size = map.size();
  const int farthest = map.farthest();
  for (int moves = 0; moves <= farthest; moves += 5) {
    for (std::uint32_t i = 0; i < map.count_at(moves); i += 97) {
      EXPECT_EQ(map.fewest(map.position_at(moves, i)), moves);
    }
  }
  EXPECT_TRUE(map.measure(level, size));
  EXPECT_FALSE(map.measure(level, size - 1));
  ASSERT_TRUE(map.measure(level, size, 15));
  EXPECT_EQ(map.farthest(), 15);
  EXPECT_EQ(map.fewest(level), 15);
  ASSERT_TRUE(map.measure(level, size, 14));
  EXPECT_EQ(map.farthest(), 14);
  EXPECT_EQ(map.fewest(level), std::nullopt);
}
