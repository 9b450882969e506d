// The board drawn as text: the picture of a level that the line mode and
// escape_levels print.
#pragma once

#include <iostream>

#include "model/level.h"

// Draws the board in a frame with the exit gap at the right end of the
// prisoner's row; blocks coloured with terminal escapes when `colour`.
void draw_board(const play_level& level, std::ostream& out, bool colour);
