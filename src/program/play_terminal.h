// The full-screen game on a real terminal: draws the screen model with
// ncurses, turns the terminal's keys into the model's and runs its timer.
#pragma once

#include "game/play_screen.h"
#include "game/screen_layout.h"

// How the full-screen game runs.
struct full_screen_options {
  bool colour = true;   // colour where the terminal has colours
  session_setup setup;  // where escapes are kept and how `n` makes levels
};

// True when standard input and output are terminals and TERM names a terminal
// type, other than "dumb", that the screen library knows.
bool full_screen_available();

// Plays `offered` on the whole terminal until the player leaves, then prints how
// the game ended. The terminal is restored on every way out. Returns the exit
// status: 0 when the player leaves or frees the prisoner, 1 after an error
// (said on standard error). SIGINT and SIGTERM restore the terminal and then
// end the program by that signal.
int play_full_screen(const offered_level& offered, const full_screen_options& options);
