#include "program/terminal.h"

#include <gtest/gtest.h>

TEST(TerminalTest, ColourOnATerminalUnlessNoColourIsSet) {
  EXPECT_TRUE(wants_colour(true, nullptr));
  EXPECT_TRUE(wants_colour(true, ""));
  EXPECT_FALSE(wants_colour(true, "1"));
  EXPECT_FALSE(wants_colour(false, nullptr));
}
