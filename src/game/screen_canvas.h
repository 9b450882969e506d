// The full screen as text: a look for every character, and the grid the
// screen is drawn on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/board.h"

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

// A rows by columns grid of characters and looks; writes outside it are dropped.
class canvas {
 public:
  canvas(int rows, int columns);

  void put(int row, int column, char c, screen_look look = {});
  void write(int row, int column, std::string_view text, screen_look look = {});
  void fill(int row, int column, int height, int width, char c, screen_look look);

  // The picture with the trailing spaces of every line taken off.
  screen_picture finish();

 private:
  int rows_;
  int columns_;
  screen_picture picture_;
};

// The text broken into lines of at most `width` characters at spaces.
std::vector<std::string> wrapped(const std::string& text, int width);
