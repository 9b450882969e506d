#include "model/block_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "model/level_files.h"
#include "support/level_search.h"

namespace {

using grid = bool[board_size][board_size];
using position = std::pair<int, int>;

int marked_cells(const grid& g) {
  return static_cast<int>(std::count(&g[0][0], &g[0][0] + board_size * board_size, true));
}

// The occupied points a block records, `count` entries.
std::vector<position> recorded_points(const BLOCK& b, int count) {
  std::vector<position> points;
  for (int k = 0; k < count; ++k) {
    points.emplace_back(b.occupied_points_x[k], b.occupied_points_y[k]);
  }
  return points;
}

}  // namespace

TEST(BlockRecordsTest, IdentifierAndPointsComeFromThePositionAndSurviveMoves) {
  BLOCK h = make_block(true, 2, 2, 3);
  h.occupied_points_x[2] = h.occupied_points_y[2] = 77;
  h.define_block_Id();
  EXPECT_EQ(h.block_Id, 6);
  EXPECT_EQ(recorded_points(h, 3), (std::vector<position>{{2, 3}, {3, 3}, {77, 77}}));
  EXPECT_EQ(make_block(false, 3, 4, 1).block_Id, 10);
  EXPECT_EQ(recorded_points(make_block(false, 3, 4, 1), 3),
            (std::vector<position>{{4, 1}, {4, 2}, {4, 3}}));
  EXPECT_EQ(make_block(false, 3, 0, 3).block_Id, 8);
  EXPECT_EQ(recorded_points(make_block(false, 3, 0, 3), 3),
            (std::vector<position>{{0, 3}, {0, 4}, {0, 5}}));
  EXPECT_EQ(make_block(true, 2, 0, 0).block_Id, 7);
  EXPECT_EQ(make_block(true, 2, 3, 3).block_Id, 7);
  EXPECT_EQ(make_block(false, 2, 2, 5).block_Id, 0);
  EXPECT_EQ(make_block(false, 2, 5, 2).block_Id, 14);

  BLOCK v = make_block(false, 3, 4, 3);
  const block_image before = encode_block(v);
  v.moveblock(0);
  EXPECT_EQ(encode_block(v), before);
  v.moveblock(-2);
  EXPECT_EQ(v.y, 1);
  v.y = 3;  // nothing else moved: x, identifier and points are as they were
  EXPECT_EQ(encode_block(v), before);
  h.moveblock(2);
  EXPECT_EQ(position(h.x, h.y), position(4, 3));
  EXPECT_EQ(h.block_Id, 6);
}

TEST(BlockRecordsTest, PlaceCleanAndOverlapTouchExactlyTheBlockCells) {
  grid g{};
  for (bool horizontal : {true, false}) {
    for (int length : {2, 3}) {
      for (int across = 0; across < board_size; ++across) {
        for (int along = 0; along + length <= board_size; ++along) {
          EXPECT_FALSE(
              does_the_block_overlap(block_on_line<BLOCK>(horizontal, length, across, along), g));
        }
      }
    }
  }
  const BLOCK h = make_block(true, 3, 1, 4);
  const BLOCK v = make_block(false, 2, 5, 0);
  place_block(h, g);
  place_block(v, g);
  EXPECT_EQ(marked_cells(g), 5);
  EXPECT_TRUE(g[1][4] && g[2][4] && g[3][4] && g[5][0] && g[5][1]);
  EXPECT_TRUE(does_the_block_overlap(h, g));                           // itself
  EXPECT_FALSE(does_the_block_overlap(make_block(true, 2, 4, 4), g));  // beside it
  EXPECT_TRUE(does_the_block_overlap(make_block(false, 3, 3, 2), g));  // its last cell hits

  clean_block(h, g);
  EXPECT_EQ(marked_cells(g), 2);
  clean_block(v, g);
  EXPECT_EQ(marked_cells(g), 0);

  // Cleaning frees a shared cell whatever else covered it.
  place_block(h, g);
  const BLOCK crossing = make_block(false, 2, 2, 3);
  place_block(crossing, g);
  clean_block(crossing, g);
  EXPECT_FALSE(g[2][4]);
  EXPECT_TRUE(g[1][4] && g[3][4]);
}
