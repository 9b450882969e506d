// The game's exact solver: a breadth-first search over compact positions for
// the fewest moves that free the prisoner, with no depth limit.
#pragma once

#include <optional>
#include <vector>

#include "model/level.h"

// A fewest-move solution, first move first (empty when the prisoner is free
// already), or nothing when no sequence of moves frees the prisoner. Its size
// is the move counter's count for levels within its depth limit whose blocks
// all have different identifiers.
std::optional<std::vector<play_move>> solve_level(const play_level& level);
