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

// A move as the notes show it, e.g. "b up 2".
std::string move_words(const play_level& level, play_move move) {
  return std::string(1, block_letter(move.block)) + " " +
         direction_of(block_of(level, move.block), move.distance) + " " +
         std::to_string(std::abs(move.distance));
}

// Counts the fewest moves from here again after the board changed; once the
// prisoner is free, it starts on its way out.
void after_change(screen_game& game) {
  const std::optional<int> fewest = game.fewest_map->fewest(game.now);
  game.fewest_from_here = fewest ? std::optional<std::size_t>(*fewest) : std::nullopt;
  if (is_prisoner_free(game.now)) {
    game.playing.clear();
    game.stage = screen_stage::escaping;
    game.escaped_cells = 0;
    set_note(game, note_kind::won, "The prisoner is free!");
  }
}

// The prisoner is out: keeps the escape, then shows its result and what can come next.
void finish_escape(screen_game& game) {
  const std::size_t fewest = game.fewest_from_start.value_or(game.made.size());
  const level_best escape = scored_escape(game.made.size(), fewest, game.help);
  progress_store unkept;
  progress_store& kept_in = game.progress ? *game.progress : unkept;
  const std::string key = progress_key(game.start);
  game.result = result_lines(escape, fewest, keep_result(kept_in, key, escape));
  const int number = campaign_number_of(key);
  game.next_number =
      number > 0 && number < campaign_size() ? number + 1 : first_unsolved(kept_in.known);
  game.stage = screen_stage::result;
  set_note(game, note_kind::info, "");
}

// Plays `offered` from its start in place of the game, keeping the way levels
// are made and escapes kept.
void begin_level(screen_game& game, const offered_level& offered) {
  game = start_screen(offered.level, game.rows, game.columns, std::move(game.new_level),
                      offered.about, offered.seed, game.progress);
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
  const play_block& block = block_of(game.now, game.picked);
  if (across != block.horizontal) {
    set_note(game, note_kind::fault,
             line_fault(block, block_letter(game.picked), arrow_word(arrow)));
    return;
  }
  const play_move move{game.picked, step};
  const result<play_level> moved = after_move(game.now, move);
  if (!moved) {
    set_note(game, note_kind::fault, moved.reason());
    return;
  }
  game.now = *moved;
  add_slide(game.made, move);
  after_change(game);
}

void undo(screen_game& game) {
  if (game.made.empty()) {
    set_note(game, note_kind::fault, "There is no move to undo.");
    return;
  }
  const play_move last = game.made.back();
  take_back(game.now, game.made);
  game.picked = last.block;
  set_note(game, note_kind::info, "Took back " + move_words(game.now, last) + ".");
  after_change(game);
}

// True when the key needs pressing again before it throws away the moves
// made: the first press only says so.
bool needs_confirming(screen_game& game, char letter, char confirmed, const std::string& what) {
  if (game.made.empty() || confirmed == letter) {
    return false;
  }
  game.confirming = letter;
  set_note(game, note_kind::info,
           std::string("Press ") + letter + " again " + what + ": the " +
               counted(game.made.size(), "move") + " made will be lost.");
  return true;
}

void restart(screen_game& game) {
  game.now = game.start;
  game.made.clear();
  set_note(game, note_kind::info, "Back at the start.");
  after_change(game);
}

// A fewest-move solution from here, move by move from the map; nothing when
// no moves free the prisoner.
std::optional<std::vector<play_move>> solution_from_here(const screen_game& game) {
  if (!game.fewest_from_here) {
    return std::nullopt;
  }
  std::vector<play_move> solution;
  play_level at = game.now;
  while (const std::optional<play_move> move = game.fewest_map->next_move(at)) {
    solution.push_back(*move);
    apply_move(at, *move);
  }
  return solution;
}

// Shows the next move of a fewest solution, or starts playing a whole one.
void use_solution(screen_game& game, bool play) {
  const auto solution = solution_from_here(game);
  if (!solution) {
    set_note(game, note_kind::fault, unsolvable_text);
  } else if (play) {
    ++game.help.solutions;
    game.playing = *solution;
    set_note(game, note_kind::info,
             "Playing a fewest solution of " + counted(solution->size(), "move") +
                 ". Any key stops it.");
  } else {
    ++game.help.tips;
    game.tip = solution->front();
    game.picked = game.tip->block;
    set_note(game, note_kind::info,
             "Tip: " + move_words(game.now, *game.tip) +
                 " (fewest from here: " + std::to_string(solution->size()) + ").");
  }
}

// Asks the driver for a new level of as many moves as this one needs.
void next_level(screen_game& game) {
  const std::size_t moves = game.fewest_from_start.value_or(default_new_level_moves);
  game.making = level_wait{static_cast<int>(moves), 0};
}

// Shows or hides the fewest moves from here; showing them counts as help.
void toggle_fewest(screen_game& game) {
  game.showing_fewest = !game.showing_fewest;
  if (game.showing_fewest) {
    ++game.help.peeks;
    set_note(game, note_kind::info, "The fewest moves from here are shown: that counts as help.");
  }
}

void open_list(screen_game& game) {
  game.left_for_list = game.stage;
  game.stage = screen_stage::level_list;
  const int number = campaign_number_of(progress_key(game.start));
  game.listed =
      number > 0 ? number : first_unsolved(game.progress ? game.progress->known : progress{});
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
    begin_level(game, offered_level{game.start, game.about});
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
  const int blockers = static_cast<int>(game.now.blockers.size());
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
  if (const int number = on_board ? block_at(game.now, x, y) : no_block; number != no_block) {
    game.picked = number;
  } else {
    set_note(game, note_kind::fault, "Click a block to pick it.");
  }
}

screen_action obey(screen_game& game, char typed, char confirmed) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(typed)));
  // l opens the level list on boards without a block l; L on every board.
  if (typed == 'L' || (typed == 'l' && static_cast<int>(game.now.blockers.size()) <= 'l' - 'a')) {
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
    case 's':
      use_solution(game, letter == 's');
      break;
    case 'n':
      if (!game.new_level) {
        set_note(game, note_kind::fault, "New levels are not available here.");
      } else if (!needs_confirming(game, 'n', confirmed, "for a new level")) {
        next_level(game);
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

screen_game start_screen(const play_level& level, int rows, int columns, level_source new_level,
                         const std::string& about, std::optional<std::uint64_t> seed,
                         progress_store* progress) {
  screen_game game;
  game.start = game.now = level;
  game.rows = rows;
  game.columns = columns;
  game.new_level = std::move(new_level);
  game.seed = seed;
  game.fewest_map = std::make_shared<const fewest_moves_map>(level);
  game.progress = progress;
  game.about = about;
  // A campaign level's line is short: there is room to say where the keys are.
  const bool in_campaign = campaign_number_of(progress_key(level)) > 0;
  set_note(game, note_kind::info,
           about.empty() ? "Free the prisoner P: clear its row to the exit. Press ? for the keys."
           : in_campaign ? about + " Press ? for the keys."
                         : about);
  after_change(game);
  if (seed) {
    set_note(game, note_kind::info,
             "A new level of " + counted(game.fewest_from_here.value_or(0), "move") +
                 ": press y for the command that plays it again.");
  }
  game.fewest_from_start = game.fewest_from_here;
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
  const int count = block_count(game.now);
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
    if (position_along(game.now.prisoner) + ++game.escaped_cells >= board_size) {
      finish_escape(game);
    }
    return;
  }
  if (game.playing.empty()) {
    return;
  }
  const play_move move = game.playing.front();
  game.playing.erase(game.playing.begin());
  apply_move(game.now, move);
  add_slide(game.made, move);
  game.picked = move.block;
  set_note(game, note_kind::info,
           "Playing a fewest solution: " + counted(game.playing.size(), "move") +
               " to go. Any key stops it.");
  after_change(game);
}

std::string closing_line(const screen_game& game) {
  return game.result.empty() ? goodbye_text(game.made.size()) : game.result.front();
}
