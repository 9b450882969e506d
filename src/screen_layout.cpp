#include "screen_layout.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <utility>

#include "move_rules.h"

namespace {

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
  const std::string note = game.making
                               ? making_text(game.making->moves) + " " +
                                     std::to_string(game.making->seconds) + " s. Any key stops it."
                               : game.note;
  for (const std::string& line : wrapped(note, width)) {
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

std::optional<cell> board_cell_at(const screen_game& game, int row, int column) {
  const std::optional<cell_shape> shape = fitting_shape(game.rows, game.columns);
  const int across = column - board_left - 1;
  const int down = row - 1;
  if (!shape || across < 0 || down < 0 || across >= board_size * shape->width ||
      down >= board_size * shape->height) {
    return std::nullopt;
  }
  return cell{across / shape->width, down / shape->height};
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
