#include "model/level_records.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/level_files.h"
#include "support/level_search.h"

TEST(LevelRecordsTest, ALevelConvertsToRecordsAndBackWithIdentifiersFromPositions) {
  const play_level level{{true, 2, 2, 3}, {{false, 3, 4, 1}, {true, 2, 0, 0}}};
  const level_records records = records_of(level);
  EXPECT_EQ(records.num_block, 2);
  EXPECT_EQ(encode_block(records.prisoner), encode_block(make_block(true, 2, 2, 3)));
  EXPECT_EQ(encode_block(records.blockers[0]), encode_block(make_block(false, 3, 4, 1)));
  EXPECT_EQ(encode_block(records.blockers[1]), encode_block(make_block(true, 2, 0, 0)));
  EXPECT_EQ(encode_block(records.blockers[2]), encode_block(BLOCK{}));
  EXPECT_EQ(std::count(&records.isblockthere[0][0],
                       &records.isblockthere[0][0] + board_size * board_size, true),
            7);
  EXPECT_TRUE(records.isblockthere[4][3] && records.isblockthere[1][0]);
  EXPECT_FALSE(records.isblockthere[4][4]);

  // A block moved after its identifier was set converts by its position alone.
  BLOCK moved = records.blockers[0];
  moved.moveblock(1);
  EXPECT_EQ(block_of_record(moved), (play_block{false, 3, 4, 2}));
  EXPECT_EQ(level_of_records(records.prisoner, records.blockers, records.num_block), level);
}
