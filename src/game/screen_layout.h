// The full-screen game's screen: the board, its status and messages, or the
// help, laid out as lines of text with a look per character.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/play_screen.h"
#include "game/screen_canvas.h"

// The screen for the game's terminal size: the board with its frame and exit,
// each cell several characters wide, the status and message lines below; or the
// help; or one line asking for a larger terminal when the board does not fit.
screen_picture lay_out(const screen_game& game);

// The board cell under the terminal cell (row, column) on the screen lay_out
// draws, or nothing when it is off the board.
std::optional<cell> board_cell_at(const screen_game& game, int row, int column);

// The same, counted on past the board's edges (the column left of the board
// is -1), for a mouse that drags a block; nothing when the board is not shown.
std::optional<cell> board_position_at(const screen_game& game, int row, int column);
