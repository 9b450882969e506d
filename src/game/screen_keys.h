// The keys and events the full-screen game reacts to, as the terminal driver
// reports them.
#pragma once

// The keys and events the game reacts to.
enum class key_code {
  character,  // a printable character
  up,
  down,
  left,
  right,
  tab,
  back_tab,  // Shift-Tab
  escape,    // Escape alone
  enter,
  backspace,
  home,
  end,
  page_up,
  page_down,
  redo,     // Ctrl-R
  click,    // a mouse button pressed on a cell of the board, or off it
  drag,     // the mouse moved to a cell with the button held
  release,  // the mouse button let go
  resize,   // the terminal has a new size
  other,    // any other key: Alt and a key, a sequence the game does not know
};

// One key press or event.
struct screen_key {
  key_code code = key_code::other;
  char character = 0;  // the character, for key_code::character
  int row = 0;     // the board cell under the mouse (row y, column x; off the board when outside
  int column = 0;  // it), or the new number of rows and columns after a resize
};
