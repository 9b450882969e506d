// escape_levels: makes levels of an exact number of moves, or the hardest
// level found in a given time, and prints them (and writes them as level files).
#pragma once

#include <iostream>
#include <string>
#include <vector>

// How the program's streams are shown.
struct levels_terminal {
  bool colour = false;          // boards in colour: standard output is a terminal
  bool progress = false;        // the progress line: standard error is a terminal
  double progress_after = 1.0;  // seconds a search runs before the progress line shows
};

// Runs escape_levels with `arguments` (the program name left out): levels to
// `out`, messages and the progress line to `err`. Returns the exit status: 0
// done, 1 no level found in time or a level file not written, 2 bad arguments.
int run_levels_command(const std::vector<std::string>& arguments, std::ostream& out,
                       std::ostream& err, const levels_terminal& terminal);
