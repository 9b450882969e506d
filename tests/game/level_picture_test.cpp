#include "game/level_picture.h"

#include <gtest/gtest.h>

#include <sstream>

#include "game/palette.h"
#include "support/level_search.h"

TEST(LevelPictureTest, ColoursEachBlockOnlyWhenAskedFor) {
  const auto drawn = [](bool colour) {
    std::ostringstream out;
    draw_board(two_move_level(), out, colour);
    return out.str();
  };
  const std::string coloured = drawn(true);
  EXPECT_NE(coloured.find("\x1b[1;37;41mP\x1b[0m"), std::string::npos);
  EXPECT_NE(coloured.find("\x1b[32ma\x1b[0m"), std::string::npos);
  EXPECT_NE(coloured.find("\x1b[35md\x1b[0m"), std::string::npos);
  EXPECT_EQ(drawn(false).find('\x1b'), std::string::npos);
  // The fifth blocker's colour comes round again at the sixth.
  EXPECT_EQ(block_colour(blocker_number(5)), block_colour(blocker_number(0)));
}
