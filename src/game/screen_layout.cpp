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
#include "game/screen_pages.h"
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

// The board with its frame, and with its exit label.
int board_rows(cell_shape shape) {
  return board_size * shape.height + 2;
}
int frame_columns(cell_shape shape) {
  return board_size * shape.width + 2;
}
int board_columns(cell_shape shape) {
  return frame_columns(shape) + static_cast<int>(exit_label.size());
}

// The left column of the board's frame: centred on the screen, or as near as
// leaves `right` columns free right of the board and its exit label.
int board_left(int columns, cell_shape shape, int right) {
  return std::max(
      0, std::min((columns - frame_columns(shape)) / 2, columns - board_columns(shape) - right));
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

// The board with cells of `height` rows and the text beside it, when they
// fit: the board centred as far as the text leaves room.
std::optional<screen_plan> plan_beside(int rows, int columns, int height) {
  const cell_shape shape{2 * height, height};
  const int board = board_columns(shape);
  const int gap = columns >= board + 2 + least_text_width ? 2 : 1;
  if (board_rows(shape) > rows || board + gap + least_text_width > columns) {
    return std::nullopt;
  }
  const int left = board_left(columns, shape, gap + least_text_width);
  const int text_left = left + board + gap;
  const int top = (rows - board_rows(shape)) / 2;
  return screen_plan{shape, top,       left,
                     top,   text_left, std::min(columns - text_left, most_text_width)};
}

// The board with cells of `height` rows and the text below it, each centred,
// when they fit.
std::optional<screen_plan> plan_below(int rows, int columns, int height) {
  const cell_shape shape{2 * height, height};
  const int width = std::max(board_columns(shape), text_width_below);
  if (board_rows(shape) + text_rows_below > rows || width > columns) {
    return std::nullopt;
  }
  const int top = (rows - board_rows(shape) - text_rows_below) / 2;
  return screen_plan{
      shape, top, board_left(columns, shape, 0), top + board_rows(shape), (columns - width) / 2,
      width};
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

// The frame with its opening at the prisoner's row and, unless the prisoner
// is on its way through it, the exit's label.
void draw_frame(canvas& screen, const screen_plan& plan, int exit_line, bool label) {
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
  if (label) {
    screen.write(top + 1 + exit_line * shape.height + (shape.height - 1) / 2, right + 1, exit_label,
                 {look_kind::exit});
  }
}

screen_look look_of_block(const screen_game& game, int number) {
  if (game.tip && game.tip->move.block == number) {
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
  const play_move move = game.tip->move;
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
  return "Level: " + level_text(game.session.offered.level) +
         (game.session.offered.seed ? " (seed " + std::to_string(*game.session.offered.seed) + ")"
                                    : "");
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
      "Moves made: " + std::to_string(game.session.made.size()) + " in " +
      clock_text(time_played(game.session)) +
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

// The prisoner on its way out, `escaped_cells` right of its place: its place
// left free, its cells past the board's edge drawn through the exit as far as
// the exit's label would reach.
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

}  // namespace

std::optional<cell> board_position_at(const screen_game& game, int row, int column) {
  const std::optional<screen_plan> plan = plan_screen(game.rows, game.columns);
  if (!plan) {
    return std::nullopt;
  }
  const auto cells = [](int offset, int size) {
    return offset < 0 ? (offset + 1) / size - 1 : offset / size;
  };
  return cell{cells(column - plan->left - 1, plan->shape.width),
              cells(row - plan->top - 1, plan->shape.height)};
}

std::optional<cell> board_cell_at(const screen_game& game, int row, int column) {
  const std::optional<cell> at = board_position_at(game, row, column);
  if (!at || at->x < 0 || at->y < 0 || at->x >= board_size || at->y >= board_size) {
    return std::nullopt;
  }
  return at;
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
  } else if (game.showing_help) {
    draw_help(screen, game.rows, game.columns);
  } else if (game.showing_command) {
    draw_commands(screen, game);
  } else {
    draw_frame(screen, *plan, line_of(game.session.now.prisoner),
               game.stage != screen_stage::escaping);
    for (int y = 0; y < board_size; ++y) {
      for (int x = 0; x < board_size; ++x) {
        draw_cell(screen, game, *plan, cell{x, y});
      }
    }
    if (game.tip && game.tip->shows_move) {
      draw_tip(screen, game, *plan);
    }
    if (game.stage == screen_stage::escaping) {
      draw_escape(screen, game, *plan);
    }
    draw_text(screen, game, *plan);
  }
  return screen.finish();
}
