// The copy operations of the configuration record, the move analysis and the
// breadth-first move counter.
#pragma once

#include <iostream>

#include "model/block_records.h"

// Copies horizontal, length, x, y and block_Id of the first `num_blocks` source
// entries into the destination; other fields and entries are left alone.
void array_copy(BLOCK* blockers1, const BLOCK* blockers2, int num_blocks);
// Copies all 36 cells of grid `b` into grid `a`.
void isblockthere_copy(bool (*a)[board_size], const bool (*b)[board_size]);

// True if every cell of the prisoner's row beyond its far end is free.
bool can_prisoner_escape(BLOCK prisoner, const bool (*isblockthere)[board_size]);
// True if the block can slide at least one cell either way; reads only cells on the board.
bool can_block_be_moved(BLOCK block, const bool (*isblockthere)[board_size]);
// Writes all four entries of the distances list: the slides towards index 0,
// farthest first, then those towards index 5, farthest first, then zeros.
void distances_that_block_can_move(BLOCK block, const bool (*isblockthere)[board_size],
                                   int* distances);

// Reads the level files, prints the board twice, writes the snapshot and
// searches breadth first for the fewest moves that free the prisoner, printing
// a progress line for every configuration examined. Returns the count, or -1
// when the level cannot be read, the snapshot cannot be written, no
// configuration is left to examine, or freeing the prisoner needs more than 19
// moves. Lets std::bad_alloc through after releasing the search's memory.
int calculate_num_moves(std::ostream& out = std::cout);
