#include "game/screen_pages.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <utility>

#include "game/campaign.h"
#include "game/level_list.h"

namespace {

// The keys, for terminals of at least 19 rows by 66 columns.
constexpr const char* long_help[] = {
    "Free the prisoner P: clear its row to the exit on the right.",
    "",
    "a .. m, p     pick a blocker, or the prisoner P",
    "Tab           pick the next block (Shift-Tab: the one before)",
    "arrow keys    slide the picked block one cell; its slides in a row",
    "              make one move, and a move back to where it started",
    "              counts nothing",
    "mouse         click a block to pick it; drag it to slide it",
    "u, U          undo the last move; U (or Ctrl-R) plays it again",
    "r             restart from the start (press twice after moves)",
    "t             tip: the block to move next; again: where it goes",
    "s             solve: play a fewest-move solution (any key stops)",
    "n             a new level of as many moves (any key stops it)",
    "y             the commands that play this level again",
    "#             show the fewest moves from here",
    "l             the level list (L where a block is named l)",
    "?             this help",
    "q             quit; a level left unfinished is kept for later",
    "",
    "Tips, solutions and looks at the fewest leave one star.",
    "Press any key to go back to the board.",
};

// The keys in two columns, for every terminal the game is played on.
constexpr const char* short_help_title = "Free the prisoner P: clear its row to the exit.";
constexpr const char* short_help[][2] = {
    {"a-m, p  pick a block", "t       tip (twice: its move)"},
    {"Tab     next (S-Tab: back)", "s       solve (a key stops)"},
    {"arrows  slide the picked one", "n       a new level"},
    {"mouse   pick, drag to slide", "y       commands to play it"},
    {"u, U    undo, redo a move", "l, L    the level list"},
    {"r       restart", "?       this help"},
    {"#       fewest from here", "q       quit (moves kept)"},
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

// Lines written as a block centred on the screen, each with its look; the
// block is as wide as its widest line, or `width` when that is wider.
void write_centred(canvas& screen, int rows, int columns,
                   const std::vector<std::pair<std::string, screen_look>>& lines,
                   std::size_t width = 0) {
  for (const auto& line : lines) {
    width = std::max(width, line.first.size());
  }
  const int top = std::max(0, (rows - static_cast<int>(lines.size())) / 2);
  const int left = std::max(0, (columns - static_cast<int>(width)) / 2);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    screen.write(top + static_cast<int>(i), left, lines[i].first, lines[i].second);
  }
}

}  // namespace

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

void draw_commands(canvas& screen, const screen_game& game) {
  const std::vector<std::string> commands = replay_commands(game.session);
  const bool one = commands.size() == 1;
  std::vector<std::string> lines = {
      one ? "This command plays the level again:" : "These commands play the level again:", ""};
  for (const std::string& command : commands) {
    lines.insert(lines.end(), {command, ""});
  }
  lines.insert(lines.end(), {one ? "Select it with the mouse to copy it."
                                 : "Select one with the mouse to copy it.",
                             short_help_end});
  for (std::size_t row = 0; row < lines.size(); ++row) {
    screen.write(static_cast<int>(row), 0, lines[row]);
  }
}

void draw_result(canvas& screen, const screen_game& game) {
  std::vector<std::pair<std::string, screen_look>> lines;
  const int width = game.columns - 2;
  for (std::size_t i = 0; i < game.result.size(); ++i) {
    for (std::string& line : wrapped(game.result[i], width)) {
      lines.emplace_back(std::move(line), screen_look{i == 0 ? look_kind::won : look_kind::plain});
    }
  }
  lines.emplace_back("", screen_look{});
  for (std::string choice : {"Enter  the next level: " + campaign_title(game.next_number),
                             std::string("r      play this level again"),
                             std::string("l      the level list"), std::string("q      quit")}) {
    lines.emplace_back(std::move(choice), screen_look{});
  }
  write_centred(screen, game.rows, game.columns, lines);
}

void draw_level_list(canvas& screen, const screen_game& game) {
  const progress none;
  const progress& known = game.session.setup.progress ? game.session.setup.progress->known : none;
  const std::vector<list_row> rows = list_rows(known);
  std::vector<std::pair<std::string, screen_look>> lines = {
      {"Levels: Enter plays level " + std::to_string(game.list.listed) + ", Escape goes back.", {}},
      {"Pick with the arrows, PgUp/PgDn, Home/End or a number.", {}},
      {std::string("  ") + list_header, {}}};
  // Centred as a whole, so that it stays in place as it scrolls.
  std::size_t width = 0;
  for (const list_row& row : rows) {
    width = std::max(width, row.text.size() + 2);
  }
  const int shown = std::max(1, game.rows - 4);
  const int first = first_row_shown(rows, game.list.listed, shown);
  for (int i = first; i < first + shown && i < static_cast<int>(rows.size()); ++i) {
    const list_row& row = rows[static_cast<std::size_t>(i)];
    const bool picked = row.number == game.list.listed;
    lines.emplace_back((picked ? "> " : "  ") + row.text,
                       screen_look{picked ? look_kind::picked : look_kind::plain});
  }
  lines.emplace_back(totals_line(known), screen_look{});
  write_centred(screen, game.rows, game.columns, lines, width);
}
