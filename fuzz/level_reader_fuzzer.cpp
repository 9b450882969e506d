// Fuzzes the level reader alone: the input becomes the six level files, and a
// level the reader accepts must be sound.
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "level_input.h"
#include "model/level_files.h"

namespace {

// True if every accepted block lies on the board, no two share a cell and the
// grid marks exactly their cells, the prisoner horizontal in row 3.
bool is_sound(const BLOCK* blockers, const BLOCK& prisoner, int num_block,
              const bool (*isblockthere)[board_size]) {
  if (num_block < 0 || num_block > max_blockers || !prisoner.horizontal || prisoner.length != 2 ||
      prisoner.y != prisoner_row) {
    return false;
  }
  int covered[board_size][board_size] = {};
  for (int number = prisoner_number; number <= num_block; ++number) {
    const BLOCK& block = number == prisoner_number ? prisoner : blockers[number - 1];
    if ((block.length != 2 && block.length != 3) || line_of(block) < 0 ||
        line_of(block) >= board_size || position_along(block) < 0 ||
        position_along(block) > board_size - block.length) {
      return false;
    }
    for (int k = 0; k < block.length; ++k) {
      const cell c = cell_of(block, k);
      ++covered[c.x][c.y];
    }
  }
  for (int x = 0; x < board_size; ++x) {
    for (int y = 0; y < board_size; ++y) {
      if (covered[x][y] > 1 || isblockthere[x][y] != (covered[x][y] == 1)) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  enter_private_directory();
  write_level_input(split_level_input(data, size));
  BLOCK blockers[max_blockers];
  BLOCK prisoner;
  int num_block = -1;
  bool isblockthere[board_size][board_size] = {};
  std::ostringstream out;
  const bool read = read_level_files(blockers, prisoner, num_block, isblockthere, out);
  const std::string said = out.str();
  // One line on failure (two messages end without one), nothing on success.
  if (read ? !said.empty() || !is_sound(blockers, prisoner, num_block, isblockthere)
           : said.empty() || said.find('\n') < said.size() - 1) {
    std::abort();
  }
  return 0;
}
