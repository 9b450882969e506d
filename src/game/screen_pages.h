// The full screen's pages other than the board: the keys, the commands that
// play the level again, the result of an escape and the level list.
#pragma once

#include "game/play_screen.h"
#include "game/screen_canvas.h"

// The list of keys, centred: in one column where it fits, else in two.
void draw_help(canvas& screen, int rows, int columns);

// The commands that play the level again, each on a line of its own from
// the left edge, so that they can be selected and copied.
void draw_commands(canvas& screen, const screen_game& game);

// The result of the escape and the keys that choose what comes next, centred.
void draw_result(canvas& screen, const screen_game& game);

// The campaign's levels by tier around the one picked, with the player's
// results, under two lines that say the keys and over the totals; centred.
void draw_level_list(canvas& screen, const screen_game& game);
