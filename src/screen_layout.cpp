#include "screen_layout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <utility>

#include "campaign.h"
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
  const std::string status =
      "Moves made: " + std::to_string(game.made.size()) +
      ". Fewest: " + count_text(game.fewest_from_start) + " from the start" +
      (game.showing_fewest ? ", " + count_text(game.fewest_from_here) + " from here." : ".");
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
    "#             show the fewest moves from here (counts as help)",
    "l             the level list (L where a block is named l)",
    "?             this help",
    "q, Escape     quit",
    "",
    "Press any key to go back to the board.",
};

// The prisoner on its way out, `escaped_cells` right of its place: its place
// left free, its cells past the board's edge drawn through the exit.
void draw_escape(canvas& screen, const screen_game& game, cell_shape shape) {
  const BLOCK& prisoner = game.now.prisoner;
  const int line = line_of(prisoner);
  const int top = 1 + line * shape.height;
  const int height = shape.height == 1 ? 1 : shape.height - 1;
  for (int k = 0; k < prisoner.length; ++k) {
    const int left = board_left + 1 + (position_along(prisoner) + k) * shape.width;
    screen.fill(top, left, height, shape.width, ' ', {});
    screen.put(top + (shape.height - 1) / 2, left + (shape.width - 1) / 2, '.');
  }
  for (int k = 0; k < prisoner.length; ++k) {
    const int x = position_along(prisoner) + game.escaped_cells + k;
    screen.fill(top, board_left + 1 + x * shape.width, height,
                k + 1 < prisoner.length ? shape.width : shape.width - 1,
                block_letter(prisoner_number), {look_kind::block, prisoner_number});
  }
}

// The result of the escape and the keys that choose what comes next.
void draw_result(canvas& screen, const screen_game& game) {
  const int width = game.columns - board_left;
  int row = 0;
  for (std::size_t i = 0; i < game.result.size(); ++i) {
    for (const std::string& line : wrapped(game.result[i], width)) {
      screen.write(row++, board_left, line, {i == 0 ? look_kind::won : look_kind::plain});
    }
  }
  const std::string choices[] = {"Enter  the next level: " + campaign_title(game.next_number),
                                 "r      play this level again", "l      the level list",
                                 "q      quit"};
  ++row;
  for (const std::string& choice : choices) {
    screen.write(row++, board_left, choice);
  }
}

// The campaign's levels around the one picked, each with its tier, its
// fewest moves and, once escaped, the best moves and stars.
void draw_level_list(canvas& screen, const screen_game& game) {
  screen.write(0, board_left, "Levels: arrow keys pick, Enter plays, Escape goes back.");
  const progress none;
  const progress& known = game.progress ? game.progress->known : none;
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
    screen.write(2 + number - first, board_left, line,
                 {number == game.listed ? look_kind::picked : look_kind::plain});
  }
}

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
  } else if (game.stage == screen_stage::result) {
    draw_result(screen, game);
  } else if (game.stage == screen_stage::level_list) {
    draw_level_list(screen, game);
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
    if (game.stage == screen_stage::escaping) {
      draw_escape(screen, game, *shape);
    }
    draw_text(screen, game, frame_rows(*shape), game.columns);
  }
  return screen.finish();
}
