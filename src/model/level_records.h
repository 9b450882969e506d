// The one conversion between the playing model's level and the block records
// that the generator, the move counter and the level files keep.
#pragma once

#include "model/block_records.h"
#include "model/level.h"

// The record of a block, with its block_Id and occupied points set from its position.
BLOCK record_of(const play_block& block);
// The block a record describes; its block_Id and occupied points are dropped.
play_block block_of_record(const BLOCK& record);
// The records and grid of a level of at most max_blockers blockers.
level_records records_of(const play_level& level);
// The level of a prisoner record and the first `num_block` blocker records.
play_level level_of_records(const BLOCK& prisoner, const BLOCK* blockers, int num_block);
