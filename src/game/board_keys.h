// What the keys do on the board: slide and pick blocks, undo and redo,
// restart, tips, solutions, and the pages they open.
#pragma once

#include "game/screen_keys.h"
#include "game/screen_state.h"

// Carries out a key on the board; `leave` for q. A key the board does not
// know changes nothing but the message line, which says so (for Escape, that
// it does not quit).
screen_action press_board(screen_game& game, const screen_key& key);

// Slides the picked block, which the mouse holds (screen_game::grabbed), a cell
// at a time towards board cell (x, y) along its line, as far as the way is free.
void drag_to(screen_game& game, int x, int y);
