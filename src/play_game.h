// The game: a person plays the level in the working directory, one command a
// line, on a board drawn in text.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "play_solver.h"

// Makes a new level of `moves` moves, or nothing when none was found in time.
using level_maker_for = std::function<std::optional<offered_level>(int moves)>;

// A count and what it counts: "1 cell", "2 cells", "1 move" ...
std::string counted(std::size_t count, const char* thing);

// The way block goes for the sign of `distance`: "left", "right", "up" or "down".
const char* direction_of(const BLOCK& block, int distance);

// Why the move cannot be made, e.g. "c cannot move 2 cells down: b is in the
// way.", or an empty text when the block can slide that far.
std::string move_fault(const play_level& level, play_move move);

// Why `block`, named by `letter`, cannot move `direction` (left, right, up or
// down) off its own line, e.g. "a cannot move left: it lies upright and moves
// only up or down."
std::string line_fault(const BLOCK& block, char letter, std::string_view direction);

// Said when no moves free the prisoner from a position.
inline constexpr const char* unsolvable_text =
    "No moves free the prisoner: this level cannot be solved.";

// The end of a game won in `moves` moves, compared with the fewest (none when
// unsolvable), e.g. "The prisoner is free! Moves used: 3, fewest possible: 3. A perfect escape."
std::string escape_text(std::size_t moves, std::optional<std::size_t> fewest);

// The end of a game left before the prisoner is free, e.g.
// "Left the game after 2 moves. The prisoner is still in."
std::string goodbye_text(std::size_t moves);

// How the line game runs.
struct line_options {
  bool colour = false;        // boards coloured with terminal escapes
  level_maker_for new_level;  // makes levels for `new`; none when new levels are not available
};

// Plays `offered` one command a line: commands from `in`, boards and answers to
// `out`. Returns the exit status: 0 once the prisoner is free or the player
// leaves (quit, end of input).
int play_lines(const offered_level& offered, std::istream& in, std::ostream& out,
               const line_options& options);
