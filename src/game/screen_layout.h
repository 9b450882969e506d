// The full-screen game's screen: the board, its status and messages, or the
// help, laid out as lines of text with a look per character.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/play_screen.h"

// How a character of the screen is drawn.
enum class look_kind {
  plain,
  frame,   // the board's frame
  exit,    // the exit's label
  block,   // a block that is not picked
  picked,  // the picked block
  tip,     // the tip's block and the cells it slides into
  fault,   // a message saying why a key did nothing
  won,     // the message that the prisoner is free
};

// The look of one character: its kind and, on the board, its block.
struct screen_look {
  look_kind kind = look_kind::plain;
  int block = no_block;

  bool operator==(const screen_look&) const = default;
};

// The screen: one text line a terminal row, top first, without trailing
// spaces, and the look of every character of those lines.
struct screen_picture {
  std::vector<std::string> text;
  std::vector<std::vector<screen_look>> looks;
};

// The screen for the game's terminal size: the board with its frame and exit,
// each cell several characters wide, the status and message lines below; or the
// help; or one line asking for a larger terminal when the board does not fit.
screen_picture lay_out(const screen_game& game);

// The board cell under the terminal cell (row, column) on the screen lay_out
// draws, or nothing when it is off the board.
std::optional<cell> board_cell_at(const screen_game& game, int row, int column);
