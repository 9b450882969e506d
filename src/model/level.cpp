#include "model/level.h"

// Blockers take the letters from a on, which must stop short of the prisoner's.
static_assert('a' + max_blockers <= 'p');

int block_count(const play_level& level) {
  return static_cast<int>(level.blockers.size()) + 1;
}

play_block& block_of(play_level& level, int number) {
  return number == prisoner_number ? level.prisoner
                                   : level.blockers[static_cast<std::size_t>(number - 1)];
}

const play_block& block_of(const play_level& level, int number) {
  return number == prisoner_number ? level.prisoner
                                   : level.blockers[static_cast<std::size_t>(number - 1)];
}

void slide_block(play_level& level, int number, int distance) {
  play_block& block = block_of(level, number);
  set_position_along(block, position_along(block) + distance);
}

int block_at(const play_level& level, int x, int y) {
  for (int number = prisoner_number; number < block_count(level); ++number) {
    const play_block& block = block_of(level, number);
    for (int k = 0; k < block.length; ++k) {
      if (cell_of(block, k) == cell{x, y}) {
        return number;
      }
    }
  }
  return no_block;
}

bool is_prisoner_free(const play_level& level) {
  bool free = true;
  for_each_way_out_cell(level.prisoner,
                        [&](cell c) { free = free && block_at(level, c.x, c.y) == no_block; });
  return free;
}

char block_letter(int number) {
  return number == prisoner_number ? 'P' : static_cast<char>('a' + number - 1);
}
