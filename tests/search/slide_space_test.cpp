#include "search/slide_space.h"

#include <gtest/gtest.h>

#include <set>

#include "support/level_search.h"

TEST(SlideSpaceTest, SlidesEveryBlockAsFarAsItsLineIsFree) {
  // Prisoner at columns 0..1 of row 3; a at column 2, rows 2..3; b in row 0, columns 4..5.
  const play_level level{play_block{true, 2, 0, 3},
                         {play_block{false, 2, 2, 2}, play_block{true, 2, 4, 0}}};
  const slide_space space(level);
  EXPECT_EQ(space.blocks(), 3);
  EXPECT_EQ(position_in(space.start(), 1), 2);
  EXPECT_FALSE(space.is_free(space.start(), space.covered(space.start())));
  std::set<std::pair<int, int>> moves;
  space.for_each_slide(space.start(), [&](packed_positions next, play_move move, cell_set all) {
    EXPECT_EQ(next, with_position(space.start(), move.block,
                                  position_in(space.start(), move.block) + move.distance));
    EXPECT_EQ(all, space.covered(next));
    moves.insert({move.block, move.distance});
  });
  // The prisoner is stuck; a goes up 1 or 2 or down 1 or 2; b goes left up to 4.
  const std::set<std::pair<int, int>> expected{{1, -2}, {1, -1}, {1, 1},  {1, 2},
                                               {2, -4}, {2, -3}, {2, -2}, {2, -1}};
  EXPECT_EQ(moves, expected);
}
