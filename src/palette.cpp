#include "palette.h"

#include <iterator>

#include "random_lvl_function.h"

basic_colour block_colour(int number) {
  static constexpr basic_colour blocker_colours[] = {basic_colour::green, basic_colour::yellow,
                                                     basic_colour::blue, basic_colour::magenta,
                                                     basic_colour::cyan};
  if (number == prisoner_number) {
    return basic_colour::red;
  }
  return blocker_colours[(number - 1) % std::size(blocker_colours)];
}
