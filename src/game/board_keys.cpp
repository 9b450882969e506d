#include "game/board_keys.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "game/move_rules.h"

namespace {

constexpr const char* unknown_key_text = "That key does nothing: press ? for the keys.";
constexpr const char* escape_key_text = "Escape does not quit: press q to quit.";

// A move as the notes show it, e.g. "b up 2".
std::string move_words(const play_level& level, play_move move) {
  return std::string(1, block_letter(move.block)) + " " +
         direction_of(block_of(level, move.block), move.distance) + " " +
         std::to_string(std::abs(move.distance));
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

// Why the picked block cannot slide one cell `step` along its line, e.g. "P
// cannot move right: a is in the way (press a to pick it)."; empty when it can.
std::string slide_fault(const screen_game& game, int step) {
  const play_block& block = block_of(game.session.now, game.picked);
  const std::string start = std::string(1, block_letter(game.picked)) + " cannot move " +
                            direction_of(block, step) + ": ";
  const int to = entered_along(block, step, 1);
  if (to < 0 || to >= board_size) {
    return start + "it would leave the board.";
  }
  const cell entered = cell_on_line(block, to);
  if (const int other = block_at(game.session.now, entered.x, entered.y); other != no_block) {
    const char letter = block_letter(other);
    const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    return start + letter + " is in the way (press " + key + " to pick it).";
  }
  return {};
}

// Slides the picked block one cell; the moves count what the board did.
void slide(screen_game& game, key_code arrow) {
  const bool across = arrow == key_code::left || arrow == key_code::right;
  const int step = arrow == key_code::left || arrow == key_code::up ? -1 : 1;
  const play_block& block = block_of(game.session.now, game.picked);
  if (across != block.horizontal) {
    set_note(game, note_kind::fault,
             line_fault(block, block_letter(game.picked), arrow_word(arrow)));
  } else if (const std::string fault = slide_fault(game, step); !fault.empty()) {
    set_note(game, note_kind::fault, fault);
  } else {
    static_cast<void>(make_move(game.session, {game.picked, step}));
    after_board_change(game);
  }
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

void redo(screen_game& game) {
  const std::optional<play_move> move = redo_move(game.session);
  if (!move) {
    set_note(game, note_kind::fault, "There is no move to redo: u takes one back.");
    return;
  }
  game.picked = move->block;
  set_note(game, note_kind::info, "Played " + move_words(game.session.now, *move) + " again.");
  after_board_change(game);
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
  set_note(game, note_kind::info, "Back at the start.");
  say_kept(game, restart_level(game.session));
}

// The first tip names the block of the next fewest move, the second shows where it goes.
void show_tip(screen_game& game) {
  game.tip = take_tip(game.session);
  if (!game.tip) {
    set_note(game, note_kind::fault, unsolvable_text);
    return;
  }
  const play_move move = game.tip->move;
  game.picked = move.block;
  const std::string fewest =
      " (fewest from here: " + std::to_string(*game.session.fewest_from_here) + ").";
  set_note(game, note_kind::info,
           game.tip->shows_move ? "Tip: " + move_words(game.session.now, move) + fewest
                                : std::string("Move ") + block_letter(move.block) + " next" +
                                      fewest + " Press t again for where to.");
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

void pick_letter(screen_game& game, char letter) {
  const int blockers = static_cast<int>(game.session.now.blockers.size());
  if (letter == 'p') {
    game.picked = prisoner_number;
  } else if (letter >= 'a' && letter < 'a' + blockers) {
    game.picked = blocker_number(letter - 'a');
  } else {
    set_note(game, note_kind::fault,
             std::string("There is no block ") + letter + " on this board.");
  }
}

// Picks the block on the board cell clicked and holds it for dragging; the
// click is off the board when the cell is outside it.
void pick_on(screen_game& game, int x, int y) {
  const bool on_board = x >= 0 && x < board_size && y >= 0 && y < board_size;
  const int number = on_board ? block_at(game.session.now, x, y) : no_block;
  if (number == no_block) {
    set_note(game, note_kind::fault, "Click a block to pick it.");
    return;
  }
  game.picked = number;
  const play_block& block = block_of(game.session.now, number);
  game.grabbed = (block.horizontal ? x : y) - position_along(block);
}

// True for a character that is one of the board's keys.
bool is_board_character(char typed) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(typed)));
  return (letter >= 'a' && letter < 'a' + max_blockers) ||
         std::string_view("pqurts?nyU#").find(typed) != std::string_view::npos ||
         std::string_view("pqurtsnyl").find(letter) != std::string_view::npos;
}

// True for a key the board does something with.
bool is_board_key(const screen_key& key) {
  switch (key.code) {
    case key_code::up:
    case key_code::down:
    case key_code::left:
    case key_code::right:
    case key_code::tab:
    case key_code::back_tab:
    case key_code::redo:
    case key_code::click:
      return true;
    case key_code::character:
      return is_board_character(key.character);
    default:
      return false;
  }
}

screen_action obey(screen_game& game, char typed, char confirmed) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(typed)));
  // l opens the level list on boards without a block l; L on every board.
  if (typed == 'L' ||
      (typed == 'l' && static_cast<int>(game.session.now.blockers.size()) <= 'l' - 'a')) {
    open_level_list(game);
  } else if (typed == '#') {
    toggle_fewest(game);
  } else if (typed == 'U') {
    redo(game);
  } else if (letter == 'q') {
    return screen_action::leave;
  } else if (letter == 'u') {
    undo(game);
  } else if (letter == 'r') {
    if (!needs_confirming(game, 'r', confirmed, "to restart")) {
      restart(game);
    }
  } else if (letter == '?') {
    game.showing_help = true;
  } else if (letter == 't') {
    show_tip(game);
  } else if (letter == 's') {
    play_solution(game);
  } else if (letter == 'n') {
    if (!game.session.setup.new_level) {
      set_note(game, note_kind::fault, "New levels are not available here.");
    } else if (game.session.setup.progress ||
               !needs_confirming(game, 'n', confirmed, "for a new level")) {
      game.making = level_wait{new_level_moves(game.session), 0};
    }
  } else if (letter == 'y') {
    game.showing_command = true;
  } else {
    pick_letter(game, letter);
  }
  return screen_action::stay;
}

}  // namespace

void drag_to(screen_game& game, int x, int y) {
  const play_block& block = block_of(game.session.now, game.picked);
  const int wanted =
      std::clamp((block.horizontal ? x : y) - *game.grabbed, 0, board_size - block.length);
  for (int along = position_along(block); along != wanted && !is_escaped(game.session);) {
    const int step = wanted < along ? -1 : 1;
    if (!make_move(game.session, {game.picked, step})) {
      break;
    }
    along += step;
  }
  after_board_change(game);
}

screen_action press_board(screen_game& game, const screen_key& key) {
  if (!is_board_key(key)) {
    set_note(game, note_kind::fault,
             key.code == key_code::escape ? escape_key_text : unknown_key_text);
    return screen_action::stay;
  }
  const char confirmed = std::exchange(game.confirming, 0);
  game.tip.reset();
  set_note(game, note_kind::info, "");
  const int count = block_count(game.session.now);
  switch (key.code) {
    case key_code::tab:
      game.picked = (game.picked + 1) % count;
      break;
    case key_code::back_tab:
      game.picked = (game.picked + count - 1) % count;
      break;
    case key_code::redo:
      redo(game);
      break;
    case key_code::click:
      pick_on(game, key.column, key.row);
      break;
    case key_code::character:
      return obey(game, key.character, confirmed);
    default:
      slide(game, key.code);
  }
  return screen_action::stay;
}
