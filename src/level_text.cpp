#include "level_text.h"

#include <string>

namespace {

// Blockers take the letters from a on, which must stop short of the prisoner's.
static_assert('a' + max_blockers <= 'p');
constexpr const char* colour_reset = "\x1b[0m";

// The prisoner white on red, the blockers in turn in five plain colours.
const char* colour_of(int number) {
  static constexpr const char* blocker_colours[] = {"\x1b[32m", "\x1b[33m", "\x1b[34m", "\x1b[35m",
                                                    "\x1b[36m"};
  return number == prisoner_number ? "\x1b[1;37;41m" : blocker_colours[(number - 1) % 5];
}

}  // namespace

char block_letter(int number) {
  return number == prisoner_number ? 'P' : static_cast<char>('a' + number - 1);
}

void draw_board(const play_level& level, std::ostream& out, bool colour) {
  std::string edge(2 * board_size + 3, '-');
  edge.front() = edge.back() = '+';
  out << edge << '\n';
  for (int y = 0; y < board_size; ++y) {
    out << '|';
    for (int x = 0; x < board_size; ++x) {
      out << ' ';
      const int number = block_at(level, x, y);
      if (number == no_block) {
        out << '.';
      } else if (colour) {
        out << colour_of(number) << block_letter(number) << colour_reset;
      } else {
        out << block_letter(number);
      }
    }
    // The opening at the right end of the prisoner's row.
    out << (y == level.prisoner.y ? "    exit" : " |") << '\n';
  }
  out << edge << '\n';
}
