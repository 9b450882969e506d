// The full-screen game's state without a terminal: what the screen shows,
// and the changes to it that the keys share.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/game_session.h"
#include "game/level_list.h"

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
  resuming,    // the position an unfinished attempt was left at: go on, or start afresh
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
  std::optional<tip_given> tip;    // the tip, while it shows
  std::optional<int> grabbed;      // while the mouse drags the picked block: the cell it holds,
                                   // counted along the block from its first
  std::vector<play_move> playing;  // moves of a solution still to be played, the next first
  std::string note;                // the message line
  note_kind note_is = note_kind::info;
  int rows = 0;  // the terminal's size
  int columns = 0;

  // How the screen serves the player.
  std::optional<level_wait> making;  // while the driver makes a level for `n`
  char confirming = 0;               // 'r' or 'n' pressed with moves to lose: again, it goes ahead
  bool showing_help = false;         // `?`: the keys
  bool showing_command = false;      // `y`: the commands that play this level again
  bool showing_fewest = false;       // `#`: "fewest from here" is shown
  // The end of a level and the choice of the next.
  screen_stage stage = screen_stage::playing;          // what the screen shows
  int escaped_cells = 0;                               // how far the prisoner has slid out so far
  std::vector<std::string> result;                     // the lines that tell the escape's result
  int next_number = 1;                                 // the campaign level Enter plays after a win
  list_choice list;                                    // the level picked in the level list
  screen_stage left_for_list = screen_stage::playing;  // where the list goes back to
};

// The smallest terminal the game is played on; on a smaller one every key but
// q is ignored.
inline constexpr int least_screen_rows = 11;
inline constexpr int least_screen_columns = 60;

// Time between two moves while a solution is played.
inline constexpr int play_step_ms = 300;
// The time the prisoner takes on its way out, a cell at a time.
inline constexpr int escape_ms = 500;

// What the driver does after a key.
enum class screen_action { stay, leave };

// Puts `text` on the message line, said as `kind`.
void set_note(screen_game& game, note_kind kind, std::string text);

// Puts the line the keeping of the progress had to say, if any, on the
// message line as a fault.
void say_kept(screen_game& game, const std::optional<std::string>& note);

// The player's progress as last read; none when it is not kept.
const progress& known_progress(const screen_game& game);

// Once the board shows the prisoner free, starts it on its way out.
void after_board_change(screen_game& game);

// Opens the level list at this level when it is the campaign's, else at the
// first unsolved; it goes back to what the screen shows now.
void open_level_list(screen_game& game);

// True while the board is on the screen and its clock runs.
bool board_in_view(const screen_game& game);
