#include "model/block_records.h"

void BLOCK::define_block_Id() {
  block_Id = (x ^ 2) + (y ^ 5);
  for (int k = 0; k < length; ++k) {
    const cell c = cell_of(*this, k);
    occupied_points_x[k] = c.x;
    occupied_points_y[k] = c.y;
  }
}

void BLOCK::moveblock(int dist) {
  if (horizontal) {
    x += dist;
  } else {
    y += dist;
  }
}

BLOCK& block_of(config& configuration, int number) {
  return number == prisoner_number ? configuration.prisoner : configuration.blockers[number - 1];
}

const BLOCK& block_of(const config& configuration, int number) {
  return number == prisoner_number ? configuration.prisoner : configuration.blockers[number - 1];
}

namespace {

// Sets every cell of `block` to `covered`.
void mark_cells(const BLOCK& block, bool (*isblockthere)[board_size], bool covered) {
  for (int k = 0; k < block.length; ++k) {
    const cell c = cell_of(block, k);
    isblockthere[c.x][c.y] = covered;
  }
}

}  // namespace

void place_block(BLOCK block, bool (&isblockthere)[board_size][board_size]) {
  mark_cells(block, isblockthere, true);
}

void clean_block(BLOCK block, bool (*isblockthere)[board_size]) {
  mark_cells(block, isblockthere, false);
}

bool does_the_block_overlap(BLOCK block, bool (&isblockthere)[board_size][board_size]) {
  for (int k = 0; k < block.length; ++k) {
    const cell c = cell_of(block, k);
    if (isblockthere[c.x][c.y]) {
      return true;
    }
  }
  return false;
}
