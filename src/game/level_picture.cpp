#include "game/level_picture.h"

#include <string>

#include "game/palette.h"

namespace {

constexpr const char* colour_reset = "\x1b[0m";

// The escape that colours block `number`: the prisoner bold white on its
// colour, a blocker's letter in its colour.
std::string colour_escape(int number) {
  const std::string code = std::to_string(static_cast<int>(block_colour(number)));
  return number == prisoner_number ? "\x1b[1;37;4" + code + "m" : "\x1b[3" + code + "m";
}

}  // namespace

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
        out << colour_escape(number) << block_letter(number) << colour_reset;
      } else {
        out << block_letter(number);
      }
    }
    // The opening at the right end of the prisoner's row.
    out << (y == level.prisoner.y ? "    exit" : " |") << '\n';
  }
  out << edge << '\n';
}
