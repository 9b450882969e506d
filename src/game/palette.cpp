#include "game/palette.h"

#include <iterator>

#include "model/board.h"

basic_colour block_colour(int number) {
  static constexpr basic_colour blocker_colours[] = {basic_colour::green, basic_colour::yellow,
                                                     basic_colour::blue, basic_colour::magenta,
                                                     basic_colour::cyan};
  if (number == prisoner_number) {
    return basic_colour::red;
  }
  return blocker_colours[(number - 1) % std::size(blocker_colours)];
}

int block_colour_256(int number) {
  // Picked for the largest differences between any two of them among the
  // cube's colours of middle lightness, and ordered so that neighbouring
  // letters differ in hue: teal, ochre, blue, magenta, olive, violet, tan,
  // grey-teal, pink, periwinkle, rose, mauve, fuchsia.
  static constexpr int blocker_colours[] = {29, 136, 32,  163, 64,  135, 137,
                                            66, 198, 105, 168, 139, 201};
  static_assert(std::size(blocker_colours) == max_blockers);
  return number == prisoner_number ? 160 : blocker_colours[number - 1];
}

int letter_colour_256(int number) {
  return number == prisoner_number ? 231 : 16;
}
