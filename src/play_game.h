// The game: a person plays the level in the working directory, one command a
// line, on a board drawn in text.
#pragma once

#include <iostream>
#include <optional>
#include <string>

#include "play_solver.h"

// Why the move cannot be made, e.g. "c cannot move 2 cells down: b is in the
// way.", or an empty text when the block can slide that far.
std::string move_fault(const play_level& level, play_move move);

// True when the board should be coloured: output goes to a terminal and
// NO_COLOR (given as the variable's value, null when unset) is unset or empty.
bool wants_colour(bool stdout_is_terminal, const char* no_color);

// Plays the level in the working directory: commands from `in`, boards and
// answers to `out`, coloured with terminal escapes when `colour`. Returns the
// exit status: 0 once the prisoner is free or the player leaves (quit, end of
// input), 1 when the level cannot be read.
int play_game(std::istream& in, std::ostream& out, bool colour);
