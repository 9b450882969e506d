#include "play_screen.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <utility>

#include "move_rules.h"
#include "play_solver.h"

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

// Counts the fewest moves from here again after the board changed, and says
// so once the prisoner is free.
void after_change(screen_game& game) {
  const auto solution = solve_level(game.now);
  game.fewest_from_here = solution ? std::optional(solution->size()) : std::nullopt;
  if (is_prisoner_free(game.now)) {
    game.playing.clear();
    set_note(game, note_kind::won,
             escape_text(game.made.size(), game.fewest_from_start) + " Press any key to leave.");
  }
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

// Slides the picked block one cell; a press that goes on with the slide just
// made lengthens that move instead of making another.
void slide(screen_game& game, key_code arrow, bool was_sliding) {
  const bool across = arrow == key_code::left || arrow == key_code::right;
  const int step = arrow == key_code::left || arrow == key_code::up ? -1 : 1;
  const BLOCK& block = block_of(game.now, game.picked);
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
  if (was_sliding && (game.made.back().distance < 0) == (step < 0)) {
    game.made.back().distance += step;
  } else {
    game.made.push_back(move);
  }
  game.sliding = true;
  after_change(game);
}

void undo(screen_game& game) {
  if (game.made.empty()) {
    set_note(game, note_kind::fault, "There is no move to undo.");
    return;
  }
  const play_move last = game.made.back();
  game.made.pop_back();
  apply_move(game.now, play_move{last.block, -last.distance});
  game.picked = last.block;
  set_note(game, note_kind::info, "Took back " + move_words(game.now, last) + ".");
  after_change(game);
}

void restart(screen_game& game) {
  game.now = game.start;
  game.made.clear();
  set_note(game, note_kind::info, "Back at the start.");
  after_change(game);
}

// Shows the next move of a fewest solution, or starts playing a whole one.
void use_solution(screen_game& game, bool play) {
  const auto solution = solve_level(game.now);
  if (!solution) {
    set_note(game, note_kind::fault, unsolvable_text);
  } else if (play) {
    game.playing = *solution;
    set_note(game, note_kind::info,
             "Playing a fewest solution of " + counted(solution->size(), "move") +
                 ". Any key stops it.");
  } else {
    game.tip = solution->front();
    game.picked = game.tip->block;
    set_note(game, note_kind::info,
             "Tip: " + move_words(game.now, *game.tip) +
                 " (fewest from here: " + std::to_string(solution->size()) + ").");
  }
}

void next_level(screen_game& game) {
  if (!game.new_level) {
    set_note(game, note_kind::fault, "New levels are not available here.");
    return;
  }
  const std::optional<offered_level> offered = game.new_level();
  if (!offered) {
    set_note(game, note_kind::fault, "No new level could be made.");
    return;
  }
  game = start_screen(offered->level, game.rows, game.columns, std::move(game.new_level),
                      offered->about);
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

screen_action obey(screen_game& game, char typed) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(typed)));
  switch (letter) {
    case 'q':
      return screen_action::leave;
    case 'u':
      undo(game);
      break;
    case 'r':
      restart(game);
      break;
    case '?':
      game.showing_help = true;
      break;
    case 't':
    case 's':
      use_solution(game, letter == 's');
      break;
    case 'n':
      next_level(game);
      break;
    default:
      pick_letter(game, letter);
  }
  return screen_action::stay;
}

// ---- the picture ----

// Rows under the board for the status and message lines.
constexpr int text_rows = 3;
// The status and messages need this many columns, whatever the board's size.
constexpr int least_text_columns = 60;
// The column of the board's left frame.
constexpr int board_left = 2;
constexpr std::string_view exit_label = " exit";

// The size of one board cell on the screen.
struct cell_shape {
  int width = 0;
  int height = 0;
};

// The cell sizes tried, largest first.
constexpr cell_shape cell_shapes[] = {{6, 3}, {4, 2}, {2, 1}};

int frame_rows(cell_shape shape) {
  return board_size * shape.height + 2;
}

int needed_columns(cell_shape shape) {
  const int board = board_left + board_size * shape.width + 2 + static_cast<int>(exit_label.size());
  return std::max(board, least_text_columns);
}

// The largest cell shape whose board and text fit the terminal.
std::optional<cell_shape> fitting_shape(int rows, int columns) {
  for (const cell_shape shape : cell_shapes) {
    if (rows >= frame_rows(shape) + text_rows && columns >= needed_columns(shape)) {
      return shape;
    }
  }
  return std::nullopt;
}

// The block under the terminal cell (row, column), if any.
int block_under(const screen_game& game, int row, int column) {
  const std::optional<cell_shape> shape = fitting_shape(game.rows, game.columns);
  const int across = column - board_left - 1;
  const int down = row - 1;
  if (!shape || across < 0 || down < 0 || across >= board_size * shape->width ||
      down >= board_size * shape->height) {
    return no_block;
  }
  return block_at(game.now, across / shape->width, down / shape->height);
}

void pick_under(screen_game& game, int row, int column) {
  if (const int number = block_under(game, row, column); number != no_block) {
    game.picked = number;
  } else {
    set_note(game, note_kind::fault, "Click a block to pick it.");
  }
}

// A rows by columns grid of characters and looks; writes outside it are dropped.
class canvas {
 public:
  canvas(int rows, int columns) : rows_(rows), columns_(columns) {
    picture_.text.assign(static_cast<std::size_t>(rows),
                         std::string(static_cast<std::size_t>(columns), ' '));
    picture_.looks.assign(static_cast<std::size_t>(rows),
                          std::vector<screen_look>(static_cast<std::size_t>(columns)));
  }

  void put(int row, int column, char c, screen_look look = {}) {
    if (row >= 0 && row < rows_ && column >= 0 && column < columns_) {
      picture_.text[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = c;
      picture_.looks[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = look;
    }
  }

  void write(int row, int column, std::string_view text, screen_look look = {}) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      put(row, column + static_cast<int>(i), text[i], look);
    }
  }

  void fill(int row, int column, int height, int width, char c, screen_look look) {
    for (int r = row; r < row + height; ++r) {
      for (int k = column; k < column + width; ++k) {
        put(r, k, c, look);
      }
    }
  }

  // The picture with the trailing spaces of every line taken off.
  screen_picture finish() {
    for (std::size_t row = 0; row < picture_.text.size(); ++row) {
      std::string& text = picture_.text[row];
      text.erase(text.find_last_not_of(' ') + 1);
      picture_.looks[row].resize(text.size());
    }
    return std::move(picture_);
  }

 private:
  int rows_;
  int columns_;
  screen_picture picture_;
};

// The text broken into lines of at most `width` characters at spaces.
std::vector<std::string> wrapped(const std::string& text, int width) {
  std::vector<std::string> lines;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    if (!lines.empty() && static_cast<int>(lines.back().size() + 1 + word.size()) <= width) {
      lines.back() += ' ' + word;
    } else {
      lines.push_back(word);
    }
  }
  return lines;
}

void draw_frame(canvas& screen, cell_shape shape, int exit_line) {
  const screen_look frame{look_kind::frame};
  const int bottom = frame_rows(shape) - 1;
  const int right = board_left + board_size * shape.width + 1;
  screen.fill(0, board_left, 1, right - board_left + 1, '-', frame);
  screen.fill(bottom, board_left, 1, right - board_left + 1, '-', frame);
  for (const int row : {0, bottom}) {
    screen.put(row, board_left, '+', frame);
    screen.put(row, right, '+', frame);
  }
  screen.fill(1, board_left, bottom - 1, 1, '|', frame);
  for (int row = 1; row < bottom; ++row) {
    // The opening at the prisoner's row.
    if ((row - 1) / shape.height != exit_line) {
      screen.put(row, right, '|', frame);
    }
  }
  screen.write(1 + exit_line * shape.height + (shape.height - 1) / 2, right + 1, exit_label,
               {look_kind::exit});
}

screen_look look_of_block(const screen_game& game, int number) {
  if (game.tip && game.tip->block == number) {
    return {look_kind::tip, number};
  }
  return {number == game.picked ? look_kind::picked : look_kind::block, number};
}

// Board cell (x, y): a dot when free, else its block's letter over the whole
// cell, less a gap on the sides where the block ends.
void draw_cell(canvas& screen, const screen_game& game, cell_shape shape, cell at) {
  const int top = 1 + at.y * shape.height;
  const int left = board_left + 1 + at.x * shape.width;
  const int number = block_at(game.now, at.x, at.y);
  if (number == no_block) {
    screen.put(top + (shape.height - 1) / 2, left + (shape.width - 1) / 2, '.');
    return;
  }
  const bool joins_right = at.x + 1 < board_size && block_at(game.now, at.x + 1, at.y) == number;
  const bool joins_below = at.y + 1 < board_size && block_at(game.now, at.x, at.y + 1) == number;
  const int height = joins_below || shape.height == 1 ? shape.height : shape.height - 1;
  screen.fill(top, left, height, joins_right ? shape.width : shape.width - 1, block_letter(number),
              look_of_block(game, number));
}

// Arrows on the cells the tip's block slides into.
void draw_tip(canvas& screen, const screen_game& game, cell_shape shape) {
  const play_move move = *game.tip;
  const BLOCK& block = block_of(game.now, move.block);
  const char arrow =
      block.horizontal ? (move.distance < 0 ? '<' : '>') : (move.distance < 0 ? '^' : 'v');
  for (int step = 1; step <= std::abs(move.distance); ++step) {
    const cell to = cell_on_line(block, entered_along(block, move.distance, step));
    screen.fill(1 + to.y * shape.height, board_left + 1 + to.x * shape.width,
                std::max(1, shape.height - 1), shape.width - 1, arrow,
                {look_kind::tip, move.block});
  }
}

std::string count_text(std::optional<std::size_t> count) {
  return count ? std::to_string(*count) : "none";
}

void draw_text(canvas& screen, const screen_game& game, int first_row, int columns) {
  const std::string status = "Moves made: " + std::to_string(game.made.size()) +
                             ". Fewest: " + count_text(game.fewest_from_start) +
                             " from the start, " + count_text(game.fewest_from_here) +
                             " from here.";
  const int width = columns - board_left;
  int row = first_row;
  for (const std::string& line : wrapped(status, width)) {
    screen.write(row++, board_left, line);
  }
  const look_kind note_look = game.note_is == note_kind::fault ? look_kind::fault
                              : game.note_is == note_kind::won ? look_kind::won
                                                               : look_kind::plain;
  for (const std::string& line : wrapped(game.note, width)) {
    screen.write(row++, board_left, line, {note_look});
  }
}

constexpr const char* help_lines[] = {
    "Free the prisoner P: clear its row to the exit on the right.",
    "",
    "a .. m, p     pick a blocker, or the prisoner P",
    "Tab           pick the next block (Shift-Tab: the one before)",
    "arrow keys    slide the picked block one cell; presses in one",
    "              direction make one move, however far it goes",
    "mouse         click a block to pick it",
    "u             undo the last move",
    "r             restart from the start position",
    "t             tip: the next move of a fewest-move solution",
    "s             solve: play a fewest-move solution (any key stops)",
    "n             a new level of the same number of moves",
    "?             this help",
    "q, Escape     quit",
    "",
    "Press any key to go back to the board.",
};

}  // namespace

screen_game start_screen(const play_level& level, int rows, int columns, level_source new_level,
                         const std::string& about) {
  screen_game game;
  game.start = game.now = level;
  game.rows = rows;
  game.columns = columns;
  game.new_level = std::move(new_level);
  set_note(game, note_kind::info,
           about.empty() ? "Free the prisoner P: clear its row to the exit. Press ? for the keys."
                         : about);
  after_change(game);
  game.fewest_from_start = game.fewest_from_here;
  if (is_prisoner_free(game.now)) {
    after_change(game);  // the note compares with the fewest from the start, known now
  }
  return game;
}

screen_action press(screen_game& game, const screen_key& key) {
  if (key.code == key_code::resize) {
    game.rows = key.row;
    game.columns = key.column;
    return screen_action::stay;
  }
  if (is_prisoner_free(game.now)) {
    return screen_action::leave;
  }
  if (!game.playing.empty()) {
    set_note(game, note_kind::info,
             "Stopped the solution with " + counted(game.playing.size(), "move") + " to go.");
    game.playing.clear();
    return screen_action::stay;
  }
  if (std::exchange(game.showing_help, false)) {
    return screen_action::stay;
  }
  const bool was_sliding = std::exchange(game.sliding, false);
  game.tip.reset();
  set_note(game, note_kind::info, "");
  const int count = block_count(game.now);
  switch (key.code) {
    case key_code::up:
    case key_code::down:
    case key_code::left:
    case key_code::right:
      slide(game, key.code, was_sliding);
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
      pick_under(game, key.row, key.column);
      break;
    case key_code::character:
      return obey(game, key.character);
    default:
      set_note(game, note_kind::fault, unknown_key_text);
  }
  return screen_action::stay;
}

void play_step(screen_game& game) {
  if (game.playing.empty()) {
    return;
  }
  const play_move move = game.playing.front();
  game.playing.erase(game.playing.begin());
  apply_move(game.now, move);
  game.made.push_back(move);
  game.picked = move.block;
  game.sliding = false;
  set_note(game, note_kind::info,
           "Playing a fewest solution: " + counted(game.playing.size(), "move") +
               " to go. Any key stops it.");
  after_change(game);
}

std::string closing_line(const screen_game& game) {
  return is_prisoner_free(game.now) ? escape_text(game.made.size(), game.fewest_from_start)
                                    : goodbye_text(game.made.size());
}

screen_picture lay_out(const screen_game& game) {
  canvas screen(game.rows, game.columns);
  const std::optional<cell_shape> shape = fitting_shape(game.rows, game.columns);
  if (!shape) {
    const cell_shape least = cell_shapes[std::size(cell_shapes) - 1];
    const std::string ask = "Terminal too small (needs " + std::to_string(needed_columns(least)) +
                            "x" + std::to_string(frame_rows(least) + text_rows) + ").";
    int row = 0;
    for (const std::string& line : wrapped(ask, game.columns)) {
      screen.write(row++, 0, line);
    }
  } else if (game.showing_help) {
    for (std::size_t row = 0; row < std::size(help_lines); ++row) {
      screen.write(static_cast<int>(row), board_left, help_lines[row]);
    }
  } else {
    draw_frame(screen, *shape, line_of(game.now.prisoner));
    for (int y = 0; y < board_size; ++y) {
      for (int x = 0; x < board_size; ++x) {
        draw_cell(screen, game, *shape, cell{x, y});
      }
    }
    if (game.tip) {
      draw_tip(screen, game, *shape);
    }
    draw_text(screen, game, frame_rows(*shape), game.columns);
  }
  return screen.finish();
}
