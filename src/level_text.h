// How a level is shown as text: the letters that name its blocks and the
// board picture the game draws.
#pragma once

#include <iostream>

#include "play_solver.h"

// The letter that names a block on the board and in commands: P for the
// prisoner, a, b, c ... for the blockers in their order.
char block_letter(int number);

// Draws the board in a frame with the exit gap at the right end of the
// prisoner's row; blocks coloured with terminal escapes when `colour`.
void draw_board(const play_level& level, std::ostream& out, bool colour);
