// escape_play's command line: which level to play, and whether on the whole
// terminal or one command a line.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "game/game_session.h"

// Plays a level on the whole terminal, with the player's progress and a maker
// of new levels for `n`; returns the exit status.
using full_screen_player = std::function<int(const offered_level&, session_setup)>;

// What escape_play's streams and surroundings allow.
struct play_setting {
  bool colour = false;             // line-mode boards in colour
  full_screen_player full_screen;  // none when the terminal cannot take the full-screen game
  bool error_is_terminal = false;  // standard error is a terminal: --new says there that it works
  std::filesystem::path progress_directory;  // where progress is kept; empty: nowhere
  std::string progress_not_kept;  // why there is no such place, said once; empty: none asked for
  std::optional<std::chrono::year_month_day> today;  // the UTC date; none: the clock's
  const play_clock* clock = nullptr;  // times the games; none: the system's steady clock
};

// Where the player's progress is kept, from the environment's XDG_STATE_HOME
// and HOME (null when unset): $XDG_STATE_HOME/escape-puzzle, else
// $HOME/.local/state/escape-puzzle; only absolute paths count. The reason
// when neither gives one.
result<std::filesystem::path> progress_directory(const char* state_home, const char* home);

// Runs escape_play with `arguments` (the program name left out): the game on
// `in` and `out` or on the whole terminal, or the progress list on `out`;
// usage errors on `err`. Returns the exit status: 0 when the game ends, 1 when
// there is no level to play or the list cannot be written, 2 for bad
// arguments or a text form that is no sound level.
int run_play_command(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                     std::ostream& err, const play_setting& setting);
