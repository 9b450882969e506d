#include "model/level_images.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/level_search.h"

TEST(LevelImagesTest, BlockImageMatchesTheWorkedExampleByteForByte) {
  BLOCK block = make_block(true, 2, 1, 3);
  block.occupied_points_x[2] = 77;  // an unset entry, which the writer zeroes
  const block_image image = encode_block(block);
  const unsigned char expected[44] = {1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0,  //
                                      1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0,              //
                                      3, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0,              //
                                      9, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(image.data(), expected, sizeof expected));

  const std::optional<BLOCK> decoded = decode_block(image);
  ASSERT_TRUE(decoded);
  EXPECT_TRUE(decoded->horizontal);
  EXPECT_EQ(decoded->block_Id, 9);
  EXPECT_EQ(decoded->occupied_points_x[1], 2);

  block_image negative = encode_block(make_block(false, 2, 0, 0));
  negative[8] = 0xFE;  // x = -2
  negative[9] = negative[10] = negative[11] = 0xFF;
  EXPECT_EQ(decode_block(negative)->x, -2);

  block_image bad = image;
  bad[0] = 2;
  EXPECT_FALSE(decode_block(bad)) << "a byte other than 0 or 1 must not become a bool";
}

TEST(LevelImagesTest, GridImagePutsCellXYAtSixXPlusY) {
  bool grid[board_size][board_size] = {};
  place_block(make_block(true, 2, 2, 3), grid);
  const grid_image image = encode_grid(grid);
  for (std::size_t i = 0; i < image.size(); ++i) {
    EXPECT_EQ(image[i], (i == 15 || i == 21) ? 1 : 0) << "byte " << i;
  }

  bool decoded[board_size][board_size] = {};
  ASSERT_TRUE(decode_grid(image, decoded));
  EXPECT_TRUE(decoded[2][3] && decoded[3][3]);
  EXPECT_FALSE(decoded[3][2]);

  grid_image bad = image;
  bad[35] = 0xFF;
  EXPECT_FALSE(decode_grid(bad, decoded));
}

TEST(LevelImagesTest, ConfigImageHoldsEveryFieldAtItsOffset) {
  config c;
  c.Id = 0x01020304;
  c.isblockthere[2][3] = true;
  c.blockers[0] = make_block(true, 3, 1, 0);
  c.blockers[12] = make_block(false, 2, 5, 4);
  c.prisoner = make_block(true, 2, 3, 3);
  c.num_block = 13;
  c.config_creating_move = -2;
  c.Id_block_moved = 14;
  const config_image image = encode_config(c);

  EXPECT_EQ(config_image_size, 668u);  // the size is part of the stored format
  EXPECT_EQ(image[0], 0x04);
  EXPECT_EQ(image[3], 0x01);
  EXPECT_EQ(image[19], 1);  // cell (2, 3)
  EXPECT_EQ(image[40], 1);  // blocker 0 horizontal
  EXPECT_EQ(image[44], 3);  // blocker 0 length
  EXPECT_EQ(image[568], 0);
  EXPECT_EQ(image[568 + 4], 2);  // blocker 12 length
  EXPECT_EQ(image[620], 3);      // prisoner x
  EXPECT_EQ(image[656], 13);
  const unsigned char minus_two[4] = {0xFE, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(0, std::memcmp(&image[660], minus_two, 4));
  EXPECT_EQ(image[664], 14);
  const block_image prisoner = encode_block(c.prisoner);
  EXPECT_EQ(0, std::memcmp(&image[612], prisoner.data(), 44));
}
