// The level as the games, the solver and the maker see it: the prisoner and
// the blockers as blocks, a move, and the letters that name the blocks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/board.h"

// One block of a level, as it lies on the board.
struct play_block {
  bool horizontal = false;  // lies along a row when true
  int length = 0;           // cells covered: 2 or 3
  int x = 0;                // column of its first (leftmost or topmost) cell
  int y = 0;                // row of its first cell

  bool operator==(const play_block&) const = default;
};

// The blocks of a level: the prisoner and the blockers in the level's array order.
struct play_level {
  play_block prisoner;
  std::vector<play_block> blockers;

  bool operator==(const play_level&) const = default;
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
play_block& block_of(play_level& level, int number);
const play_block& block_of(const play_level& level, int number);
// Slides block `number` `distance` cells along its own line.
void slide_block(play_level& level, int number, int distance);

// The number of the block that covers cell (x, y), or no_block when the cell is free.
int block_at(const play_level& level, int x, int y);

// True if every cell right of the prisoner in its row is free.
bool is_prisoner_free(const play_level& level);

// The letter that names a block on the board and in commands: P for the
// prisoner, a, b, c ... for the blockers in their order.
char block_letter(int number);

// A level to play and a line saying where it comes from (empty for a level
// read from level files).
struct offered_level {
  play_level level;
  std::string about;
  std::optional<std::uint64_t> seed = std::nullopt;  // the level maker's seed, for a level it made
  // The arguments of escape_play that play this level again, besides its
  // text form, e.g. "--daily 2024-06-03"; empty when only the text form does.
  std::string replay = {};
  // Why the level is not quite what was asked for, said first where it is
  // offered (it begins `about` too); empty when it is.
  std::string notice = {};
};

// The moves a new level needs when a player asks for one without a count.
inline constexpr int default_new_level_moves = 15;
// No level of this board needs more moves than this: complete searches of
// every layout of the board have shown it. A request for more is refused.
inline constexpr int most_level_moves = 50;
