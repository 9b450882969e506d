// The full-screen game without a terminal: the state of a game and what each
// key does to it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/game_session.h"

// The keys and events the game reacts to.
enum class key_code {
  character,  // a printable character
  up,
  down,
  left,
  right,
  tab,
  back_tab,  // Shift-Tab
  escape,
  enter,
  click,   // a mouse click on a cell of the board, or off it
  resize,  // the terminal has a new size
  other,   // any other key
};

// One key press or event.
struct screen_key {
  key_code code = key_code::other;
  char character = 0;  // the character, for key_code::character
  int row = 0;     // the board cell clicked (row y, column x; off the board when outside it), or
  int column = 0;  // the new number of rows and columns after a resize
};

// A new level being made for `n`: the moves it needs and the whole seconds waited so far.
struct level_wait {
  int moves = 0;
  int seconds = 0;

  bool operator==(const level_wait&) const = default;
};

// What the message line under the board reports.
enum class note_kind { info, fault, won };

// What the screen shows and the keys do.
enum class screen_stage {
  playing,     // the board: keys move blocks
  escaping,    // the prisoner slides out through the exit
  result,      // the result of the escape and the choice of what comes next
  level_list,  // the campaign's levels, one to pick
};

// A game on the screen: the level's session and how the screen serves the
// player. Change it only through the functions below.
struct screen_game {
  game_session session;
  int picked = prisoner_number;    // the block the arrow keys slide
  std::optional<play_move> tip;    // the next move of a fewest solution, while shown
  std::vector<play_move> playing;  // moves of a solution still to be played, the next first
  bool showing_help = false;
  std::string note;  // the message line
  note_kind note_is = note_kind::info;
  int rows = 0;  // the terminal's size
  int columns = 0;

  // How the screen serves the player.
  std::optional<level_wait> making;  // while the driver makes a level for `n`
  char confirming = 0;               // 'r' or 'n' pressed with moves made: again, it goes ahead
  bool showing_command = false;      // `y`: the command that plays this level again
  // The end of a level and the choice of the next.
  bool showing_fewest = false;                         // "fewest from here" is shown
  screen_stage stage = screen_stage::playing;          // what the screen shows
  int escaped_cells = 0;                               // how far the prisoner has slid out so far
  std::vector<std::string> result;                     // the lines that tell the escape's result
  int next_number = 1;                                 // the campaign level Enter plays after a win
  int listed = 1;                                      // the level picked in the level list
  screen_stage left_for_list = screen_stage::playing;  // where the list goes back to
};

// The smallest terminal the game is played on; on a smaller one every key but
// quit (q, Escape) is ignored.
inline constexpr int least_screen_rows = 11;
inline constexpr int least_screen_columns = 60;

// Time between two moves while a solution is played.
inline constexpr int play_step_ms = 300;
// Time between two steps of the prisoner on its way out.
inline constexpr int escape_step_ms = 60;

// What the driver does after a key.
enum class screen_action { stay, leave };

// A game of `offered` from its start, on a terminal of `rows` by `columns`;
// the message line says where the level comes from first, when it is said. A
// level the maker made says instead that `y` shows how to play it again.
screen_game start_screen(const offered_level& offered, int rows, int columns,
                         session_setup setup = {});

// Carries out one key or event; `leave` once the player quits. While a level
// is made for `n`, any key but a resize stops making it.
screen_action press(screen_game& game, const screen_key& key);

// Tells the game that a level has been made for `n` for `seconds` so far.
void wait_for_level(screen_game& game, int seconds);

// Hands the game the level made for `n` (nothing: none was found in time); a
// made level is played from its start.
void level_made(screen_game& game, std::optional<offered_level> made);

// The time until the game takes its next step by itself (a move of the
// solution being played, or the prisoner's next cell on its way out), or -1
// when it waits for a key.
int step_wait_ms(const screen_game& game);

// Takes that step, if there is one; the driver calls it when step_wait_ms
// has passed and no key came.
void play_step(screen_game& game);

// The line left on the terminal after the game: how it ended.
std::string closing_line(const screen_game& game);
