// The game's exact solver: a breadth-first search over compact positions for
// the fewest moves that free the prisoner, with no depth limit.
#pragma once

#include <optional>
#include <vector>

#include "random_lvl_function.h"

// The blocks of a level: the prisoner and the blockers in the level's array order.
struct play_level {
  BLOCK prisoner;
  std::vector<BLOCK> blockers;
};

// One move: a block slid any number of free cells along its own line.
struct play_move {
  int block = prisoner_number;  // the block's number: 0 the prisoner, i + 1 blocker i
  int distance = 0;             // cells; negative towards index 0 (left or up)

  bool operator==(const play_move&) const = default;
};

// The number of blocks in the level, the prisoner included.
int block_count(const play_level& level);
// Block `number` of the level.
BLOCK& block_of(play_level& level, int number);
const BLOCK& block_of(const play_level& level, int number);

// The number of the block that covers cell (x, y), or no_block when the cell is free.
int block_at(const play_level& level, int x, int y);

// True if every cell right of the prisoner in its row is free.
bool is_prisoner_free(const play_level& level);

// A fewest-move solution, first move first (empty when the prisoner is free
// already), or nothing when no sequence of moves frees the prisoner. Its size
// is the move counter's count for levels within its depth limit whose blocks
// all have different identifiers.
std::optional<std::vector<play_move>> solve_level(const play_level& level);
