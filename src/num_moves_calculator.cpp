#include "num_moves_calculator.h"

void array_copy(BLOCK* blockers1, const BLOCK* blockers2, int num_blocks) {
  for (int i = 0; i < num_blocks; ++i) {
    blockers1[i].horizontal = blockers2[i].horizontal;
    blockers1[i].length = blockers2[i].length;
    blockers1[i].x = blockers2[i].x;
    blockers1[i].y = blockers2[i].y;
    blockers1[i].block_Id = blockers2[i].block_Id;
  }
}

void isblockthere_copy(bool (*a)[board_size], const bool (*b)[board_size]) {
  for (int x = 0; x < board_size; ++x) {
    for (int y = 0; y < board_size; ++y) {
      a[x][y] = b[x][y];
    }
  }
}
