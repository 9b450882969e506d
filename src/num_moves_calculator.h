// The copy operations of the configuration record, the move analysis and the
// breadth-first move counter.
#pragma once

#include <iostream>

#include "random_lvl_function.h"

// Copies horizontal, length, x, y and block_Id of the first `num_blocks` source
// entries into the destination; other fields and entries are left alone.
void array_copy(BLOCK* blockers1, const BLOCK* blockers2, int num_blocks);
// Copies all 36 cells of grid `b` into grid `a`.
void isblockthere_copy(bool (*a)[board_size], const bool (*b)[board_size]);
