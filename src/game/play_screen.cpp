#include "game/play_screen.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "game/board_keys.h"
#include "game/campaign.h"
#include "game/move_rules.h"

namespace {

constexpr const char* resume_text = "Press Enter to go on from here, or f to start afresh.";

// The prisoner is out: keeps the escape, then shows its result and what can come next.
void finish_escape(screen_game& game) {
  game.result = keep_escape(game.session);
  const int number = campaign_number_of(progress_key(game.session.offered.level));
  game.next_number =
      number > 0 && number < campaign_size() ? number + 1 : first_unsolved(known_progress(game));
  game.stage = screen_stage::result;
  set_note(game, note_kind::info, "");
}

// Plays `offered` in place of the game, keeping the way levels are made and
// escapes kept; the attempt left, if any, is kept to go on with later.
void begin_level(screen_game& game, const offered_level& offered) {
  leave_game(game);
  game = start_screen(offered, game.rows, game.columns, std::move(game.session.setup));
}

// Levels a page of the list moves.
int list_page(const screen_game& game) {
  return std::max(1, game.rows - 5);
}

// A key in the level list: it moves the selection, Enter plays, Escape, q or
// l goes back.
void pick_from_list(screen_game& game, const screen_key& key) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(key.character)));
  if (move_in_list(game.list, key, list_page(game))) {
    return;
  }
  if (key.code == key_code::enter) {
    begin_level(game, campaign_level(game.list.listed));
  } else if (key.code == key_code::escape ||
             (key.code == key_code::character && (letter == 'q' || letter == 'l'))) {
    game.stage = game.left_for_list;
  }
}

// A key after the result: Enter plays the next level, r this one again, l
// opens the level list, q quits.
screen_action choose_next(screen_game& game, const screen_key& key) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(key.character)));
  if (key.code == key_code::enter) {
    begin_level(game, campaign_level(game.next_number));
  } else if (key.code == key_code::character && letter == 'q') {
    return screen_action::leave;
  } else if (key.code == key_code::character && letter == 'r') {
    begin_level(game, game.session.offered);
  } else if (key.code == key_code::character && letter == 'l') {
    open_level_list(game);
  }
  return screen_action::stay;
}

// A key while an unfinished attempt is offered: Enter goes on with it, f
// starts afresh, q quits.
screen_action choose_resume(screen_game& game, const screen_key& key) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(key.character)));
  if (key.code == key_code::enter) {
    game.stage = screen_stage::playing;
    set_note(game, note_kind::info, "Going on from where you left.");
  } else if (key.code == key_code::character && letter == 'f') {
    const std::optional<std::string> kept = forget_kept_attempt(game.session);
    game.session = start_session(game.session.offered, std::move(game.session.setup));
    game.stage = screen_stage::playing;
    set_note(game, note_kind::info, "Afresh from the start.");
    say_kept(game, kept);
  } else if (key.code == key_code::character && letter == 'q') {
    return screen_action::leave;
  } else if (key.code != key_code::drag && key.code != key_code::release) {
    set_note(game, note_kind::fault, resume_text);
  }
  return screen_action::stay;
}

// A key while the board is not played: an unfinished attempt offered, the
// prisoner on its way out, the result, or the level list.
screen_action press_off_board(screen_game& game, const screen_key& key) {
  switch (game.stage) {
    case screen_stage::resuming:
      return choose_resume(game, key);
    case screen_stage::escaping:
      finish_escape(game);  // any key skips the rest of the way out
      return screen_action::stay;
    case screen_stage::result:
      return choose_next(game, key);
    default:
      pick_from_list(game, key);
      return screen_action::stay;
  }
}

// What a key does while the board does not take keys: on a terminal too
// small, while a level is made, off the board, while a solution plays, or
// over the help or the commands; nothing when the board takes it.
std::optional<screen_action> press_aside(screen_game& game, const screen_key& key) {
  if (game.rows < least_screen_rows || game.columns < least_screen_columns) {
    const bool quit = key.code == key_code::character &&
                      std::tolower(static_cast<unsigned char>(key.character)) == 'q';
    return quit ? screen_action::leave : screen_action::stay;
  }
  if (game.stage != screen_stage::playing) {
    return press_off_board(game, key);
  }
  if (key.code == key_code::drag || key.code == key_code::release) {
    if (key.code == key_code::drag && game.grabbed && game.playing.empty() && !game.making) {
      drag_to(game, key.column, key.row);
    } else {
      game.grabbed.reset();
    }
    return screen_action::stay;
  }
  if (game.making) {
    game.making.reset();
    set_note(game, note_kind::info, "Stopped making a new level.");
  } else if (!game.playing.empty()) {
    set_note(game, note_kind::info,
             "Stopped the solution with " + counted(game.playing.size(), "move") + " to go.");
    game.playing.clear();
  } else if (!std::exchange(game.showing_help, false) &&
             !std::exchange(game.showing_command, false)) {
    return std::nullopt;
  }
  return screen_action::stay;
}

// Runs the game's clock while the board is in view, and stops it while it is not.
void follow_clock(screen_game& game) {
  if (board_in_view(game)) {
    start_clock(game.session);
  } else {
    stop_clock(game.session);
  }
}

}  // namespace

screen_game start_screen(const offered_level& offered, int rows, int columns, session_setup setup) {
  screen_game game;
  game.session = start_session(offered, std::move(setup));
  game.rows = rows;
  game.columns = columns;
  // A campaign level's line is short: there is room to say where the keys are.
  const std::string& about = offered.about;
  const bool in_campaign = campaign_number_of(progress_key(offered.level)) > 0;
  set_note(game, note_kind::info,
           about.empty() ? "Free the prisoner P: clear its row to the exit. Press ? for the keys."
           : in_campaign ? about + " Press ? for the keys."
                         : about);
  after_board_change(game);
  if (offered.seed) {
    set_note(game, note_kind::info,
             offered.notice + "A new level of " +
                 counted(game.session.fewest_from_start.value_or(0), "move") +
                 ": press y for the command that plays it again.");
  }
  if (const std::optional<unfinished_attempt> left = kept_attempt(game.session);
      left && game.stage == screen_stage::playing && resume_attempt(game.session, *left)) {
    game.stage = screen_stage::resuming;
    set_note(game, note_kind::info,
             "You left this level after " + counted(game.session.made.size(), "move") + " in " +
                 clock_text(time_played(game.session)) + ". " + resume_text);
  }
  follow_clock(game);
  return game;
}

screen_action press(screen_game& game, const screen_key& key) {
  screen_action action = screen_action::stay;
  if (key.code == key_code::resize) {
    game.rows = key.row;
    game.columns = key.column;
  } else if (const std::optional<screen_action> done = press_aside(game, key)) {
    action = *done;
  } else {
    action = press_board(game, key);
  }
  follow_clock(game);
  return action;
}

void wait_for_level(screen_game& game, int seconds) {
  if (game.making) {
    game.making->seconds = seconds;
  }
}

void level_made(screen_game& game, std::optional<offered_level> made) {
  if (!game.making) {
    return;
  }
  game.making.reset();
  if (!made) {
    set_note(game, note_kind::fault, "No new level could be made.");
    return;
  }
  begin_level(game, *made);
}

int step_wait_ms(const screen_game& game) {
  if (game.stage == screen_stage::escaping) {
    return escape_ms / (board_size - position_along(game.session.now.prisoner));
  }
  return game.playing.empty() ? -1 : play_step_ms;
}

void play_step(screen_game& game) {
  if (game.stage == screen_stage::escaping) {
    if (position_along(game.session.now.prisoner) + ++game.escaped_cells >= board_size) {
      finish_escape(game);
    }
    return;
  }
  if (game.playing.empty()) {
    return;
  }
  const play_move move = game.playing.front();
  game.playing.erase(game.playing.begin());
  static_cast<void>(make_move(game.session, move));  // a move of a fewest solution is allowed
  game.picked = move.block;
  set_note(game, note_kind::info,
           "Playing a fewest solution: " + counted(game.playing.size(), "move") +
               " to go. Any key stops it.");
  after_board_change(game);
}

void leave_game(screen_game& game) {
  if (game.stage == screen_stage::escaping) {
    finish_escape(game);
  } else {
    static_cast<void>(keep_unfinished(game.session));
  }
}

std::string closing_line(const screen_game& game) {
  return game.result.empty() ? goodbye_text(game.session.made.size()) : game.result.front();
}
