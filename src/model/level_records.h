// The one conversion between the playing model's level and the block records
// that the generator, the move counter and the level files keep.
#pragma once

#include "model/block_records.h"
#include "model/level.h"

// A level as the level files store it: the records of its blocks and its board grid.
struct level_records {
  BLOCK blockers[max_blockers] = {};               // entries 0 .. num_block - 1 carry meaning
  BLOCK prisoner = {};                             // the block that has to escape
  int num_block = 0;                               // number of blockers
  bool isblockthere[board_size][board_size] = {};  // exactly the cells of all blocks
};

// The record of a block, with its block_Id and occupied points set from its position.
BLOCK record_of(const play_block& block);
// The block a record describes; its block_Id and occupied points are dropped.
play_block block_of_record(const BLOCK& record);
// The records and grid of a level of at most max_blockers blockers.
level_records records_of(const play_level& level);
// The level of a prisoner record and the first `num_block` blocker records.
play_level level_of_records(const BLOCK& prisoner, const BLOCK* blockers, int num_block);
