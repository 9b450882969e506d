// The line mode of the game: a person plays a level one command a line, on a
// board drawn in text.
#pragma once

#include <iostream>

#include "game/game_session.h"

// How the line game runs.
struct line_options {
  bool colour = false;  // boards coloured with terminal escapes
  session_setup setup;  // where escapes are kept and how `new` makes levels
};

// Plays `offered` one command a line: commands from `in`, boards and answers to
// `out`. Once the prisoner is free it prints the result and keeps it in the
// progress. Returns the exit status: 0 once the prisoner is free or the player
// leaves (quit, end of input).
int play_lines(const offered_level& offered, std::istream& in, std::ostream& out,
               const line_options& options);
