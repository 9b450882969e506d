#include "game/play_screen.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "game/campaign.h"
#include "game/move_rules.h"
#include "search/fewest_moves.h"

namespace {

constexpr const char* unknown_key_text = "That key does nothing: press ? for the keys.";

void set_note(screen_game& game, note_kind kind, std::string text) {
  game.note_is = kind;
  game.note = std::move(text);
}

// The player's progress as last read; none when it is not kept.
const progress& known(const screen_game& game) {
  static const progress none;
  return game.session.setup.progress ? game.session.setup.progress->known : none;
}

// A move as the notes show it, e.g. "b up 2".
std::string move_words(const play_level& level, play_move move) {
  return std::string(1, block_letter(move.block)) + " " +
         direction_of(block_of(level, move.block), move.distance) + " " +
         std::to_string(std::abs(move.distance));
}

// Once the board shows the prisoner free, it starts on its way out.
void after_change(screen_game& game) {
  if (is_escaped(game.session)) {
    game.playing.clear();
    game.stage = screen_stage::escaping;
    game.escaped_cells = 0;
    set_note(game, note_kind::won, "The prisoner is free!");
  }
}

// The prisoner is out: keeps the escape, then shows its result and what can come next.
void finish_escape(screen_game& game) {
  game.result = keep_escape(game.session);
  const int number = campaign_number_of(progress_key(game.session.start));
  game.next_number =
      number > 0 && number < campaign_size() ? number + 1 : first_unsolved(known(game));
  game.stage = screen_stage::result;
  set_note(game, note_kind::info, "");
}

// Plays `offered` from its start in place of the game, keeping the way levels
// are made and escapes kept.
void begin_level(screen_game& game, const offered_level& offered) {
  game = start_screen(offered, game.rows, game.columns, std::move(game.session.setup));
}

const char* arrow_word(key_code arrow) {
  switch (arrow) {
    case key_code::left:
      return "left";
    case key_code::right:
      return "right";
    case key_code::up:
      return "up";
    default:
      return "down";
  }
}

// Slides the picked block one cell; the moves count what the board did.
void slide(screen_game& game, key_code arrow) {
  const bool across = arrow == key_code::left || arrow == key_code::right;
  const int step = arrow == key_code::left || arrow == key_code::up ? -1 : 1;
  const play_block& block = block_of(game.session.now, game.picked);
  if (across != block.horizontal) {
    set_note(game, note_kind::fault,
             line_fault(block, block_letter(game.picked), arrow_word(arrow)));
    return;
  }
  if (const result<> moved = make_move(game.session, {game.picked, step}); !moved) {
    set_note(game, note_kind::fault, moved.reason());
    return;
  }
  after_change(game);
}

void undo(screen_game& game) {
  const std::optional<play_move> last = undo_move(game.session);
  if (!last) {
    set_note(game, note_kind::fault, "There is no move to undo.");
    return;
  }
  game.picked = last->block;
  set_note(game, note_kind::info, "Took back " + move_words(game.session.now, *last) + ".");
}

// True when the key needs pressing again before it throws away the moves
// made: the first press only says so.
bool needs_confirming(screen_game& game, char letter, char confirmed, const std::string& what) {
  if (game.session.made.empty() || confirmed == letter) {
    return false;
  }
  game.confirming = letter;
  set_note(game, note_kind::info,
           std::string("Press ") + letter + " again " + what + ": the " +
               counted(game.session.made.size(), "move") + " made will be lost.");
  return true;
}

void restart(screen_game& game) {
  restart_level(game.session);
  set_note(game, note_kind::info, "Back at the start.");
}

// Shows the next move of a fewest solution.
void show_tip(screen_game& game) {
  game.tip = take_tip(game.session);
  if (!game.tip) {
    set_note(game, note_kind::fault, unsolvable_text);
    return;
  }
  game.picked = game.tip->block;
  set_note(game, note_kind::info,
           "Tip: " + move_words(game.session.now, *game.tip) +
               " (fewest from here: " + std::to_string(*game.session.fewest_from_here) + ").");
}

// Starts playing a fewest solution from here.
void play_solution(screen_game& game) {
  const std::optional<std::vector<play_move>> solution = take_solution(game.session);
  if (!solution) {
    set_note(game, note_kind::fault, unsolvable_text);
    return;
  }
  game.playing = *solution;
  set_note(
      game, note_kind::info,
      "Playing a fewest solution of " + counted(solution->size(), "move") + ". Any key stops it.");
}

// Shows or hides the fewest moves from here; showing them counts as help.
void toggle_fewest(screen_game& game) {
  game.showing_fewest = !game.showing_fewest;
  if (game.showing_fewest) {
    take_peek(game.session);
    set_note(game, note_kind::info, "The fewest moves from here are shown: that counts as help.");
  }
}

void open_list(screen_game& game) {
  game.left_for_list = game.stage;
  game.stage = screen_stage::level_list;
  const int number = campaign_number_of(progress_key(game.session.start));
  game.listed = number > 0 ? number : first_unsolved(known(game));
}

// A key in the level list: arrows pick, Enter plays, Escape or q goes back.
screen_action pick_from_list(screen_game& game, const screen_key& key) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(key.character)));
  if (key.code == key_code::up || key.code == key_code::down) {
    game.listed = std::clamp(game.listed + (key.code == key_code::up ? -1 : 1), 1, campaign_size());
  } else if (key.code == key_code::enter) {
    begin_level(game, campaign_level(game.listed));
  } else if (key.code == key_code::escape ||
             (key.code == key_code::character && (letter == 'q' || letter == 'l'))) {
    game.stage = game.left_for_list;
  }
  return screen_action::stay;
}

// A key after the result: Enter plays the next level, r this one again, l
// opens the level list, q or Escape quits.
screen_action choose_next(screen_game& game, const screen_key& key) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(key.character)));
  if (key.code == key_code::enter) {
    begin_level(game, campaign_level(game.next_number));
  } else if (key.code == key_code::escape || (key.code == key_code::character && letter == 'q')) {
    return screen_action::leave;
  } else if (key.code == key_code::character && letter == 'r') {
    begin_level(game, offered_level{game.session.start, game.session.about});
  } else if (key.code == key_code::character && letter == 'l') {
    open_list(game);
  }
  return screen_action::stay;
}

// A key while the board is not played: on the prisoner's way out, after the
// result, or in the level list.
screen_action press_off_board(screen_game& game, const screen_key& key) {
  switch (game.stage) {
    case screen_stage::escaping:
      finish_escape(game);  // any key skips the rest of the way out
      return screen_action::stay;
    case screen_stage::result:
      return choose_next(game, key);
    default:
      return pick_from_list(game, key);
  }
}

void pick_letter(screen_game& game, char letter) {
  const int blockers = static_cast<int>(game.session.now.blockers.size());
  if (letter == 'p') {
    game.picked = prisoner_number;
  } else if (letter >= 'a' && letter < 'a' + blockers) {
    game.picked = blocker_number(letter - 'a');
  } else if (letter >= 'a' && letter < 'a' + max_blockers) {
    set_note(game, note_kind::fault,
             std::string("There is no block ") + letter + " on this board.");
  } else {
    set_note(game, note_kind::fault, unknown_key_text);
  }
}

// Picks the block on the board cell clicked; the click is off the board when
// the cell is outside it.
void pick_on(screen_game& game, int x, int y) {
  const bool on_board = x >= 0 && x < board_size && y >= 0 && y < board_size;
  if (const int number = on_board ? block_at(game.session.now, x, y) : no_block;
      number != no_block) {
    game.picked = number;
  } else {
    set_note(game, note_kind::fault, "Click a block to pick it.");
  }
}

screen_action obey(screen_game& game, char typed, char confirmed) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(typed)));
  // l opens the level list on boards without a block l; L on every board.
  if (typed == 'L' ||
      (typed == 'l' && static_cast<int>(game.session.now.blockers.size()) <= 'l' - 'a')) {
    open_list(game);
    return screen_action::stay;
  }
  if (typed == '#') {
    toggle_fewest(game);
    return screen_action::stay;
  }
  switch (letter) {
    case 'q':
      return screen_action::leave;
    case 'u':
      undo(game);
      break;
    case 'r':
      if (!needs_confirming(game, 'r', confirmed, "to restart")) {
        restart(game);
      }
      break;
    case '?':
      game.showing_help = true;
      break;
    case 't':
      show_tip(game);
      break;
    case 's':
      play_solution(game);
      break;
    case 'n':
      if (!game.session.setup.new_level) {
        set_note(game, note_kind::fault, "New levels are not available here.");
      } else if (!needs_confirming(game, 'n', confirmed, "for a new level")) {
        game.making = level_wait{new_level_moves(game.session), 0};
      }
      break;
    case 'y':
      game.showing_command = true;
      break;
    default:
      pick_letter(game, letter);
  }
  return screen_action::stay;
}

// What a key does while the board does not take keys: on a terminal too
// small, while a level is made, off the board, while a solution plays, or
// over the help or the commands; nothing when the board takes it.
std::optional<screen_action> press_aside(screen_game& game, const screen_key& key) {
  if (game.rows < least_screen_rows || game.columns < least_screen_columns) {
    const bool quit = key.code == key_code::escape ||
                      (key.code == key_code::character &&
                       std::tolower(static_cast<unsigned char>(key.character)) == 'q');
    return quit ? screen_action::leave : screen_action::stay;
  }
  if (game.making) {
    game.making.reset();
    set_note(game, note_kind::info, "Stopped making a new level.");
    return screen_action::stay;
  }
  if (game.stage != screen_stage::playing) {
    return press_off_board(game, key);
  }
  if (!game.playing.empty()) {
    set_note(game, note_kind::info,
             "Stopped the solution with " + counted(game.playing.size(), "move") + " to go.");
    game.playing.clear();
    return screen_action::stay;
  }
  if (std::exchange(game.showing_help, false) || std::exchange(game.showing_command, false)) {
    return screen_action::stay;
  }
  return std::nullopt;
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
  after_change(game);
  if (offered.seed) {
    set_note(game, note_kind::info,
             "A new level of " + counted(game.session.fewest_from_start.value_or(0), "move") +
                 ": press y for the command that plays it again.");
  }
  return game;
}

screen_action press(screen_game& game, const screen_key& key) {
  if (key.code == key_code::resize) {
    game.rows = key.row;
    game.columns = key.column;
    return screen_action::stay;
  }
  if (const std::optional<screen_action> done = press_aside(game, key)) {
    return *done;
  }
  const char confirmed = std::exchange(game.confirming, 0);
  game.tip.reset();
  set_note(game, note_kind::info, "");
  const int count = block_count(game.session.now);
  switch (key.code) {
    case key_code::up:
    case key_code::down:
    case key_code::left:
    case key_code::right:
      slide(game, key.code);
      break;
    case key_code::tab:
      game.picked = (game.picked + 1) % count;
      break;
    case key_code::back_tab:
      game.picked = (game.picked + count - 1) % count;
      break;
    case key_code::escape:
      return screen_action::leave;
    case key_code::click:
      pick_on(game, key.column, key.row);
      break;
    case key_code::character:
      return obey(game, key.character, confirmed);
    default:
      set_note(game, note_kind::fault, unknown_key_text);
  }
  return screen_action::stay;
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
    return escape_step_ms;
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
  after_change(game);
}

std::string closing_line(const screen_game& game) {
  return game.result.empty() ? goodbye_text(game.session.made.size()) : game.result.front();
}
