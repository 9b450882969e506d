#include "game/screen_layout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <sstream>
#include <string_view>
#include <utility>

#include "game/campaign.h"
#include "game/move_rules.h"
#include "model/level_text.h"

namespace {

constexpr std::string_view exit_label = " exit";
// The text beside or below the board is at least this wide, so that a level's
// text form fits on one line, and at most this wide, so that lines stay short.
constexpr int least_text_width = 36;
constexpr int most_text_width = 64;
// The text below the board is this wide where the board is narrower.
constexpr int text_width_below = least_screen_columns;
// Rows kept under the board for the text when it goes there: the moves, the
// picked block, the level and the messages.
constexpr int text_rows_below = 6;

// The size of one board cell on the screen: twice as wide as high, which looks square.
struct cell_shape {
  int width = 0;
  int height = 0;
};

// The board with its frame and exit label.
int board_rows(cell_shape shape) {
  return board_size * shape.height + 2;
}
int board_columns(cell_shape shape) {
  return board_size * shape.width + 2 + static_cast<int>(exit_label.size());
}

// Where the board and its text go on the screen.
struct screen_plan {
  cell_shape shape;
  int top = 0;  // the board's frame
  int left = 0;
  int text_top = 0;  // the text beside or below it
  int text_left = 0;
  int text_width = 0;
};

// The board with cells of `height` rows and the text beside it, centred, when they fit.
std::optional<screen_plan> plan_beside(int rows, int columns, int height) {
  const cell_shape shape{2 * height, height};
  const int board = board_columns(shape);
  const int gap = columns >= board + 2 + least_text_width ? 2 : 1;
  if (board_rows(shape) > rows || board + gap + least_text_width > columns) {
    return std::nullopt;
  }
  const int text_width = std::min(columns - board - gap, most_text_width);
  const int left = (columns - board - gap - text_width) / 2;
  const int top = (rows - board_rows(shape)) / 2;
  return screen_plan{shape, top, left, top, left + board + gap, text_width};
}

// The board with cells of `height` rows and the text below it, centred, when they fit.
std::optional<screen_plan> plan_below(int rows, int columns, int height) {
  const cell_shape shape{2 * height, height};
  const int board = board_columns(shape);
  const int width = std::max(board, text_width_below);
  if (board_rows(shape) + text_rows_below > rows || width > columns) {
    return std::nullopt;
  }
  const int left = (columns - width) / 2;
  const int top = (rows - board_rows(shape) - text_rows_below) / 2;
  return screen_plan{shape, top, left, top + board_rows(shape), left, width};
}

// The largest cells that fit the terminal, with the text below the board
// or, where that lets the cells be larger, beside it; nothing when the
// terminal is smaller than the game needs.
std::optional<screen_plan> plan_screen(int rows, int columns) {
  if (rows < least_screen_rows || columns < least_screen_columns) {
    return std::nullopt;
  }
  for (int height = rows / board_size; height >= 1; --height) {
    if (const auto below = plan_below(rows, columns, height)) {
      return below;
    }
    if (const auto beside = plan_beside(rows, columns, height)) {
      return beside;
    }
  }
  return std::nullopt;
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

  int rows() const {
    return rows_;
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

void draw_frame(canvas& screen, const screen_plan& plan, int exit_line) {
  const screen_look frame{look_kind::frame};
  const cell_shape shape = plan.shape;
  const int top = plan.top;
  const int bottom = top + board_rows(shape) - 1;
  const int left = plan.left;
  const int right = left + board_size * shape.width + 1;
  screen.fill(top, left, 1, right - left + 1, '-', frame);
  screen.fill(bottom, left, 1, right - left + 1, '-', frame);
  for (const int row : {top, bottom}) {
    screen.put(row, left, '+', frame);
    screen.put(row, right, '+', frame);
  }
  screen.fill(top + 1, left, bottom - top - 1, 1, '|', frame);
  for (int row = top + 1; row < bottom; ++row) {
    // The opening at the prisoner's row.
    if ((row - top - 1) / shape.height != exit_line) {
      screen.put(row, right, '|', frame);
    }
  }
  screen.write(top + 1 + exit_line * shape.height + (shape.height - 1) / 2, right + 1, exit_label,
               {look_kind::exit});
}

screen_look look_of_block(const screen_game& game, int number) {
  if (game.tip && game.tip->block == number) {
    return {look_kind::tip, number};
  }
  return {number == game.picked ? look_kind::picked : look_kind::block, number};
}

// The top left terminal cell of board cell `at`.
std::pair<int, int> corner_of(const screen_plan& plan, cell at) {
  return {plan.top + 1 + at.y * plan.shape.height, plan.left + 1 + at.x * plan.shape.width};
}

// Board cell (x, y): a dot when free, else its block's letter over the whole
// cell, less a gap on the sides where the block ends.
void draw_cell(canvas& screen, const screen_game& game, const screen_plan& plan, cell at) {
  const cell_shape shape = plan.shape;
  const auto [top, left] = corner_of(plan, at);
  const int number = block_at(game.session.now, at.x, at.y);
  if (number == no_block) {
    screen.put(top + (shape.height - 1) / 2, left + (shape.width - 1) / 2, '.');
    return;
  }
  const bool joins_right =
      at.x + 1 < board_size && block_at(game.session.now, at.x + 1, at.y) == number;
  const bool joins_below =
      at.y + 1 < board_size && block_at(game.session.now, at.x, at.y + 1) == number;
  const int height = joins_below || shape.height == 1 ? shape.height : shape.height - 1;
  screen.fill(top, left, height, joins_right ? shape.width : shape.width - 1, block_letter(number),
              look_of_block(game, number));
}

// Arrows on the cells the tip's block slides into.
void draw_tip(canvas& screen, const screen_game& game, const screen_plan& plan) {
  const play_move move = *game.tip;
  const play_block& block = block_of(game.session.now, move.block);
  const char arrow =
      block.horizontal ? (move.distance < 0 ? '<' : '>') : (move.distance < 0 ? '^' : 'v');
  for (int step = 1; step <= std::abs(move.distance); ++step) {
    const auto [top, left] =
        corner_of(plan, cell_on_line(block, entered_along(block, move.distance, step)));
    screen.fill(top, left, std::max(1, plan.shape.height - 1), plan.shape.width - 1, arrow,
                {look_kind::tip, move.block});
  }
}

std::string count_text(std::optional<std::size_t> count) {
  return count ? std::to_string(*count) : "none";
}

// The picked block and the ways it moves, e.g. "Picked: g (up/down).".
std::string picked_text(const screen_game& game) {
  const bool across = block_of(game.session.now, game.picked).horizontal;
  return std::string("Picked: ") + block_letter(game.picked) +
         (across ? " (left/right)." : " (up/down).");
}

// The level's text form, and the maker's seed when it made the level.
std::string level_line(const screen_game& game) {
  return "Level: " + level_text(game.session.start) +
         (game.session.seed ? " (seed " + std::to_string(*game.session.seed) + ")" : "");
}

// The message line: the wait for a new level while there is one, else the note.
std::string note_of(const screen_game& game) {
  if (game.making) {
    return making_text(game.making->moves) + " " + std::to_string(game.making->seconds) +
           " s. Any key stops it.";
  }
  return game.note;
}

// The moves, the picked block, the level and, after an empty line, the
// message, each wrapped to the plan's text width, from its text top down.
void draw_text(canvas& screen, const screen_game& game, const screen_plan& plan) {
  const std::string status =
      "Moves made: " + std::to_string(game.session.made.size()) +
      ". Fewest: " + count_text(game.session.fewest_from_start) + " from the start" +
      (game.showing_fewest ? ", " + count_text(game.session.fewest_from_here) + " from here."
                           : ".");
  std::vector<std::string> lines;
  for (const std::string& part : {status, picked_text(game), level_line(game)}) {
    for (std::string& line : wrapped(part, plan.text_width)) {
      lines.push_back(std::move(line));
    }
  }
  lines.emplace_back();
  int row = plan.text_top;
  for (const std::string& line : lines) {
    screen.write(row++, plan.text_left, line);
  }
  const look_kind note_look = game.making                        ? look_kind::plain
                              : game.note_is == note_kind::fault ? look_kind::fault
                              : game.note_is == note_kind::won   ? look_kind::won
                                                                 : look_kind::plain;
  for (const std::string& line : wrapped(note_of(game), plan.text_width)) {
    screen.write(row++, plan.text_left, line, {note_look});
  }
}

// The keys, for terminals of at least 19 rows by 66 columns.
constexpr const char* long_help[] = {
    "Free the prisoner P: clear its row to the exit on the right.",
    "",
    "a .. m, p     pick a blocker, or the prisoner P",
    "Tab           pick the next block (Shift-Tab: the one before)",
    "arrow keys    slide the picked block one cell; presses in one",
    "              direction make one move, however far it goes",
    "mouse         click a block to pick it",
    "u             undo the last move",
    "r             restart from the start (press twice after moves)",
    "t             tip: the next move of a fewest-move solution",
    "s             solve: play a fewest-move solution (any key stops)",
    "n             a new level of as many moves (any key stops it)",
    "y             the command that plays this level again",
    "#             show the fewest moves from here (counts as help)",
    "l             the level list (L where a block is named l)",
    "?             this help",
    "q, Escape     quit",
    "",
    "Press any key to go back to the board.",
};

// The keys in two columns, for every terminal the game is played on.
constexpr const char* short_help_title = "Free the prisoner P: clear its row to the exit.";
constexpr const char* short_help[][2] = {
    {"a-m, p  pick a block", "t       tip: the next move"},
    {"Tab     next (S-Tab: back)", "s       solve (a key stops)"},
    {"arrows  slide the picked one", "n       a new level"},
    {"click   pick a block", "y       command to play it"},
    {"u       undo a move", "l, L    the level list"},
    {"r       restart", "?       this help"},
    {"#       fewest from here", "q, Esc  quit"},
};
constexpr const char* short_help_end = "Any key goes back to the board.";
constexpr int short_help_column = 31;  // where the second column starts

int widest(std::span<const char* const> lines) {
  std::size_t most = 0;
  for (const char* line : lines) {
    most = std::max(most, std::string_view(line).size());
  }
  return static_cast<int>(most);
}

// The list of keys, centred: in one column where it fits, else in two.
void draw_help(canvas& screen, int rows, int columns) {
  const int long_width = widest(long_help);
  const int long_rows = static_cast<int>(std::size(long_help));
  if (rows >= long_rows && columns >= long_width + 2) {
    const int top = (rows - long_rows) / 2;
    for (int row = 0; row < long_rows; ++row) {
      screen.write(top + row, (columns - long_width) / 2, long_help[row]);
    }
    return;
  }
  const int short_rows = static_cast<int>(std::size(short_help)) + 4;
  const int top = (rows - short_rows) / 2;
  const int left = (columns - least_screen_columns) / 2;
  screen.write(top, left, short_help_title);
  for (std::size_t row = 0; row < std::size(short_help); ++row) {
    screen.write(top + 2 + static_cast<int>(row), left, short_help[row][0]);
    screen.write(top + 2 + static_cast<int>(row), left + short_help_column, short_help[row][1]);
  }
  screen.write(top + short_rows - 1, left, short_help_end);
}

// The commands that play the level again, each on a line of its own from
// the left edge, so that they can be selected and copied.
void draw_commands(canvas& screen, const screen_game& game) {
  const std::vector<std::string> commands = replay_commands(game.session);
  std::vector<std::string> lines = {"This command plays the level again:", "", commands[0], ""};
  if (commands.size() > 1) {
    lines.insert(lines.end(),
                 {"and this one makes it again with the level maker:", "", commands[1], ""});
  }
  lines.insert(lines.end(), {"Select one with the mouse to copy it.", short_help_end});
  for (std::size_t row = 0; row < lines.size(); ++row) {
    screen.write(static_cast<int>(row), 0, lines[row]);
  }
}

// The left margin of the result and of the level list.
constexpr int text_margin = 2;

// The prisoner on its way out, `escaped_cells` right of its place: its place
// left free, its cells past the board's edge drawn through the exit as far as
// the exit's label reaches.
void draw_escape(canvas& screen, const screen_game& game, const screen_plan& plan) {
  const play_block& prisoner = game.session.now.prisoner;
  const cell_shape shape = plan.shape;
  const int height = shape.height == 1 ? 1 : shape.height - 1;
  const int limit = plan.left + board_columns(shape);
  for (int k = 0; k < prisoner.length; ++k) {
    const auto [top, left] = corner_of(plan, cell_of(prisoner, k));
    screen.fill(top, left, height, shape.width, ' ', {});
    screen.put(top + (shape.height - 1) / 2, left + (shape.width - 1) / 2, '.');
  }
  for (int k = 0; k < prisoner.length; ++k) {
    const auto [top, left] = corner_of(plan, cell{prisoner.x + game.escaped_cells + k, prisoner.y});
    const int width = k + 1 < prisoner.length ? shape.width : shape.width - 1;
    screen.fill(top, left, height, std::min(width, limit - left), block_letter(prisoner_number),
                {look_kind::block, prisoner_number});
  }
}

// The result of the escape and the keys that choose what comes next.
void draw_result(canvas& screen, const screen_game& game) {
  const int width = game.columns - text_margin;
  int row = 0;
  for (std::size_t i = 0; i < game.result.size(); ++i) {
    for (const std::string& line : wrapped(game.result[i], width)) {
      screen.write(row++, text_margin, line, {i == 0 ? look_kind::won : look_kind::plain});
    }
  }
  const std::string choices[] = {"Enter  the next level: " + campaign_title(game.next_number),
                                 "r      play this level again", "l      the level list",
                                 "q      quit"};
  ++row;
  for (const std::string& choice : choices) {
    screen.write(row++, text_margin, choice);
  }
}

// The campaign's levels around the one picked, each with its tier, its
// fewest moves and, once escaped, the best moves and stars.
void draw_level_list(canvas& screen, const screen_game& game) {
  screen.write(0, text_margin, "Levels: arrow keys pick, Enter plays, Escape goes back.");
  const progress none;
  const progress& known = game.session.setup.progress ? game.session.setup.progress->known : none;
  const int shown = std::max(1, game.rows - 2);
  const int first =
      std::clamp(game.listed - shown / 2, 1, std::max(1, campaign_size() - shown + 1));
  for (int number = first; number < first + shown && number <= campaign_size(); ++number) {
    const campaign_entry& entry = campaign_entries()[static_cast<std::size_t>(number - 1)];
    const auto best = known.find(entry.text);
    std::string mark;
    if (best != known.end()) {
      mark = "best " + std::to_string(best->second.moves) + " " +
             std::string(static_cast<std::size_t>(best->second.stars), '*');
    }
    char line[96];
    std::snprintf(line, sizeof line, "%c %2d  %-12s  %2d move%c  %s",
                  number == game.listed ? '>' : ' ', number, entry.tier, entry.moves,
                  entry.moves == 1 ? ' ' : 's', mark.c_str());
    screen.write(2 + number - first, text_margin, line,
                 {number == game.listed ? look_kind::picked : look_kind::plain});
  }
}

}  // namespace

std::optional<cell> board_cell_at(const screen_game& game, int row, int column) {
  const std::optional<screen_plan> plan = plan_screen(game.rows, game.columns);
  if (!plan) {
    return std::nullopt;
  }
  const int across = column - plan->left - 1;
  const int down = row - plan->top - 1;
  if (across < 0 || down < 0 || across >= board_size * plan->shape.width ||
      down >= board_size * plan->shape.height) {
    return std::nullopt;
  }
  return cell{across / plan->shape.width, down / plan->shape.height};
}

screen_picture lay_out(const screen_game& game) {
  canvas screen(game.rows, game.columns);
  const std::optional<screen_plan> plan = plan_screen(game.rows, game.columns);
  if (!plan) {
    const std::string ask = "Terminal too small (needs " + std::to_string(least_screen_columns) +
                            "x" + std::to_string(least_screen_rows) + ").";
    int row = 0;
    for (const std::string& line : wrapped(ask, game.columns)) {
      screen.write(row++, 0, line);
    }
  } else if (game.stage == screen_stage::result) {
    draw_result(screen, game);
  } else if (game.stage == screen_stage::level_list) {
    draw_level_list(screen, game);
  } else if (game.stage == screen_stage::result) {
    draw_result(screen, game);
  } else if (game.stage == screen_stage::level_list) {
    draw_level_list(screen, game);
  } else if (game.showing_help) {
    draw_help(screen, game.rows, game.columns);
  } else if (game.showing_command) {
    draw_commands(screen, game);
  } else {
    draw_frame(screen, *plan, line_of(game.session.now.prisoner));
    for (int y = 0; y < board_size; ++y) {
      for (int x = 0; x < board_size; ++x) {
        draw_cell(screen, game, *plan, cell{x, y});
      }
    }
    if (game.tip) {
      draw_tip(screen, game, *plan);
    }
    if (game.stage == screen_stage::escaping) {
      draw_escape(screen, game, *plan);
    }
    draw_text(screen, game, *plan);
  }
  return screen.finish();
}
