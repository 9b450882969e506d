#include "game/palette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "model/board.h"

namespace {

// The relative luminance of a colour of the terminal's 6x6x6 cube (indices 16 to 231).
double luminance(int index) {
  constexpr int levels[] = {0, 95, 135, 175, 215, 255};
  const int cube = index - 16;
  const auto linear = [&](int level) {
    const double c = levels[level] / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(cube / 36) + 0.7152 * linear(cube / 6 % 6) + 0.0722 * linear(cube % 6);
}

// How much lighter the lighter of two luminances is, as a ratio of 1 to 21.
double contrast(double a, double b) {
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

}  // namespace

TEST(PaletteTest, EveryBlockHasAColourOfItsOwnThatReadsOnDarkAndLight) {
  std::set<int> seen;
  for (int number = prisoner_number; number < max_blocks; ++number) {
    const int colour = block_colour_256(number);
    ASSERT_TRUE(colour >= 16 && colour <= 231) << number;  // the cube's colours
    seen.insert(colour);
    const double light = luminance(colour);
    EXPECT_GE(contrast(light, luminance(letter_colour_256(number))), 4.5) << number;
    // The block on a black and on a white background.
    EXPECT_GE(contrast(light, 0.0), 3.0) << number;
    EXPECT_GE(contrast(light, 1.0), 3.0) << number;
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(max_blocks));
}
