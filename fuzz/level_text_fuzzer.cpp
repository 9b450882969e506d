// Fuzzes the reader of a level's text form: a text it accepts must be a sound
// level whose own text form reads back the same; a text it refuses gets one
// line saying why.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/level_text.h"

namespace {

// True if the level follows the generator's rules and its blocks lie on free cells of their own.
bool is_sound(const play_level& level) {
  const play_block& prisoner = level.prisoner;
  if (!prisoner.horizontal || prisoner.length != 2 || prisoner.y != prisoner_row ||
      level.blockers.empty() || level.blockers.size() > max_blockers) {
    return false;
  }
  int covered[board_size][board_size] = {};
  for (int number = prisoner_number; number < block_count(level); ++number) {
    const play_block& block = block_of(level, number);
    if (block.length < 2 || block.length > 3 || position_along(block) < 0 ||
        position_along(block) + block.length > board_size || line_of(block) < 0 ||
        line_of(block) >= board_size) {
      return false;
    }
    for (int k = 0; k < block.length; ++k) {
      const cell c = cell_of(block, k);
      if (++covered[c.x][c.y] > 1) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const result<play_level> reading = read_level_text(text);
  if (!reading) {
    for (const char c : reading.reason()) {
      if (static_cast<unsigned char>(c) < ' ') {
        std::abort();  // the reason is one printable line
      }
    }
    if (reading.reason().empty()) {
      std::abort();
    }
    return 0;
  }
  const std::string form = level_text(*reading);
  const result<play_level> again = read_level_text(form);
  if (!is_sound(*reading) || form.size() != 36 || !again || level_text(*again) != form) {
    std::abort();
  }
  return 0;
}
