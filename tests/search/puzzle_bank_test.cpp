#include "search/puzzle_bank.h"

#include <gtest/gtest.h>

#include <set>

#include "model/level_text.h"
#include "search/layout_climb.h"
#include "search/play_solver.h"

TEST(PuzzleBankTest, EveryPuzzleIsWhatItsLineSays) {
  ASSERT_FALSE(bank_puzzles().empty());
  EXPECT_EQ(bank_puzzles().front().moves, most_level_moves);
  std::set<puzzle_identity> seen;
  int moves_before = most_level_moves;
  for (std::size_t index = 0; index < bank_puzzles().size(); ++index) {
    const bank_puzzle& puzzle = bank_puzzles()[index];
    SCOPED_TRACE(puzzle.text);
    const play_level level = *read_level_text(puzzle.text);
    EXPECT_EQ(solve_level(level)->size(), static_cast<std::size_t>(puzzle.moves));
    EXPECT_LE(puzzle.moves, moves_before) << "harder than the one before";
    EXPECT_GE(puzzle.moves, bank_serves_from);
    moves_before = puzzle.moves;
    EXPECT_EQ(bank_identity(index), identity_of(level));
    EXPECT_TRUE(seen.insert(bank_identity(index)).second) << "one puzzle with another";
    // No position of the puzzle needs more moves.
    const std::vector<held_puzzle> held = puzzles_of(level, puzzle.moves, most_positions);
    EXPECT_EQ(std::count_if(held.begin(), held.end(),
                            [&](const held_puzzle& h) {
                              return h.identity == bank_identity(index) && h.moves == puzzle.moves;
                            }),
              1);
  }
}

TEST(PuzzleBankTest, ASeedPicksAPuzzleAndOneOfItsPositionsOfExactlyTheMoves) {
  EXPECT_FALSE(bank_serves(bank_serves_from - 1));
  EXPECT_TRUE(bank_serves(bank_serves_from));
  EXPECT_TRUE(bank_serves(most_level_moves));
  EXPECT_FALSE(bank_serves(most_level_moves + 1));
  EXPECT_EQ(bank_puzzles_reaching(bank_serves_from), bank_puzzles().size());
  EXPECT_EQ(bank_puzzles_reaching(most_level_moves + 1), 0u);
  for (const int moves : {bank_serves_from, 43, most_level_moves}) {
    std::set<std::size_t> picked;
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
      const play_level level = bank_level(moves, seed);
      SCOPED_TRACE(level_text(level));
      EXPECT_EQ(solve_level(level)->size(), static_cast<std::size_t>(moves));
      const std::size_t index = bank_pick(moves, seed);
      EXPECT_LT(index, bank_puzzles_reaching(moves));
      EXPECT_EQ(identity_of(level), bank_identity(index));
      EXPECT_EQ(level_text(bank_level(moves, seed)), level_text(level));
      picked.insert(index);
    }
    EXPECT_GE(picked.size(), moves == most_level_moves ? 1u : 3u);
  }
}
