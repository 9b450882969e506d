// The line mode of the game: a person plays a level one command a line, on a
// board drawn in text.
#pragma once

#include <functional>
#include <iostream>
#include <optional>

#include "model/level.h"
#include "model/progress_store.h"

// Makes a new level of `moves` moves, or nothing when none was found in time.
using level_maker_for = std::function<std::optional<offered_level>(int moves)>;

// How the line game runs.
struct line_options {
  bool colour = false;        // boards coloured with terminal escapes
  level_maker_for new_level;  // makes levels for `new`; none when new levels are not available
  progress_store* progress = nullptr;  // where escapes are kept; none: they are not
};

// Plays `offered` one command a line: commands from `in`, boards and answers to
// `out`. Once the prisoner is free it prints the result and keeps it in the
// progress. Returns the exit status: 0 once the prisoner is free or the player
// leaves (quit, end of input).
int play_lines(const offered_level& offered, std::istream& in, std::ostream& out,
               const line_options& options);
