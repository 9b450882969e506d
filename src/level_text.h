// How a level is shown as text: the letters that name its blocks, the board
// picture the game draws and the one-line text form.
#pragma once

#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "level.h"

// Draws the board in a frame with the exit gap at the right end of the
// prisoner's row; blocks coloured with terminal escapes when `colour`.
void draw_board(const play_level& level, std::ostream& out, bool colour);

// The level's text form: 36 characters, rows 0 to 5, each from x = 0 to 5:
// '.' a free cell, 'P' the prisoner, block_letter for the blockers.
std::string level_text(const play_level& level);

// What reading a text form gives: the level, or one line saying what is wrong.
struct level_reading {
  std::optional<play_level> level;  // set when the text is a sound level
  std::string error;                // why it is not, when it is not
};

// Reads a text form: 36 cells, optionally split into rows by '/'; any of the
// letters a to m names one blocker, blockers in alphabetical order. The level
// must follow the generator's rules; every block gets its block_Id.
level_reading read_level_text(std::string_view text);
