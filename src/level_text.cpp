#include "level_text.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

// A character as a message shows it: 'x' when it is printable, its code otherwise.
std::string quoted(char c) {
  const auto code = static_cast<unsigned char>(c);
  if (code >= ' ' && code < 0x7F) {
    return std::string("'") + c + "'";
  }
  static constexpr char digits[] = "0123456789ABCDEF";
  return std::string("the byte 0x") + digits[code >> 4] + digits[code & 0xF];
}

constexpr const char* colour_reset = "\x1b[0m";
constexpr char free_cell = '.';
constexpr char row_separator = '/';
constexpr std::size_t cell_count = board_size * board_size;

// The prisoner white on red, the blockers in turn in five plain colours.
const char* colour_of(int number) {
  static constexpr const char* blocker_colours[] = {"\x1b[32m", "\x1b[33m", "\x1b[34m", "\x1b[35m",
                                                    "\x1b[36m"};
  return number == prisoner_number ? "\x1b[1;37;41m" : blocker_colours[(number - 1) % 5];
}

// The cells of a text form, row 0 first, with the row separators taken out;
// an error text when they are not six rows of six.
std::string cells_of_text(std::string_view text, std::string& cells) {
  if (text.find(row_separator) == std::string_view::npos) {
    cells = text;
    if (cells.size() != cell_count) {
      return "the level text has " + std::to_string(cells.size()) + " cells, expected " +
             std::to_string(cell_count);
    }
    return {};
  }
  int rows = 0;
  for (std::size_t begin = 0; begin <= text.size(); ++rows) {
    const std::size_t end = std::min(text.find(row_separator, begin), text.size());
    if (end - begin != board_size) {
      return "row " + std::to_string(rows) + " of the level text has " +
             std::to_string(end - begin) + " cells, expected " + std::to_string(board_size);
    }
    cells += text.substr(begin, end - begin);
    begin = end + 1;
  }
  if (rows != board_size) {
    return "the level text has " + std::to_string(rows) + " rows, expected " +
           std::to_string(board_size);
  }
  return {};
}

// The block on exactly these cells (in reading order), or nothing when they are
// not two or three neighbouring cells in one row or column.
std::optional<BLOCK> block_on_cells(const std::vector<cell>& cells) {
  const int length = static_cast<int>(cells.size());
  if (length < 2 || length > 3) {
    return std::nullopt;
  }
  const bool horizontal = cells[0].y == cells[1].y;
  BLOCK block = block_on_line(horizontal, length, horizontal ? cells[0].y : cells[0].x,
                              horizontal ? cells[0].x : cells[0].y);
  for (int k = 0; k < length; ++k) {
    if (cell_of(block, k) != cells[static_cast<std::size_t>(k)]) {
      return std::nullopt;
    }
  }
  block.define_block_Id();
  return block;
}

// The name of a block's letter in messages.
std::string letter_name(int number) {
  return number == prisoner_number ? "the prisoner P"
                                   : std::string("blocker ") + block_letter(number);
}

// Checks the rules the generator keeps: the prisoner in its row, at least one
// blocker and none that locks the prisoner in.
std::string rule_fault(const play_level& level) {
  if (level.prisoner.y != 3) {
    return "the prisoner P is in row " + std::to_string(level.prisoner.y) + ", expected row 3";
  }
  if (level.blockers.empty()) {
    return "the level has no blockers, expected 1 to " + std::to_string(max_blockers);
  }
  for (const BLOCK& blocker : level.blockers) {
    if (!is_block_legal(blocker, level.prisoner)) {
      return "a blocker lies right of the prisoner in its own row, where it can never leave";
    }
  }
  return {};
}

}  // namespace

void draw_board(const play_level& level, std::ostream& out, bool colour) {
  std::string edge(2 * board_size + 3, '-');
  edge.front() = edge.back() = '+';
  out << edge << '\n';
  for (int y = 0; y < board_size; ++y) {
    out << '|';
    for (int x = 0; x < board_size; ++x) {
      out << ' ';
      const int number = block_at(level, x, y);
      if (number == no_block) {
        out << '.';
      } else if (colour) {
        out << colour_of(number) << block_letter(number) << colour_reset;
      } else {
        out << block_letter(number);
      }
    }
    // The opening at the right end of the prisoner's row.
    out << (y == level.prisoner.y ? "    exit" : " |") << '\n';
  }
  out << edge << '\n';
}

std::string level_text(const play_level& level) {
  std::string text;
  for (int y = 0; y < board_size; ++y) {
    for (int x = 0; x < board_size; ++x) {
      const int number = block_at(level, x, y);
      text += number == no_block ? free_cell : block_letter(number);
    }
  }
  return text;
}

level_reading read_level_text(std::string_view text) {
  std::string cells;
  if (std::string fault = cells_of_text(text, cells); !fault.empty()) {
    return {std::nullopt, fault};
  }
  // The cells of the prisoner (entry 0) and of the letters a to m, in reading order.
  std::array<std::vector<cell>, max_blocks> cells_of;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const char c = cells[i];
    const cell at{static_cast<int>(i % board_size), static_cast<int>(i / board_size)};
    if (c == block_letter(prisoner_number)) {
      cells_of[prisoner_number].push_back(at);
    } else if (c >= block_letter(blocker_number(0)) && c < block_letter(max_blocks)) {
      cells_of[static_cast<std::size_t>(blocker_number(c - block_letter(blocker_number(0))))]
          .push_back(at);
    } else if (c != free_cell) {
      return {std::nullopt, "the level text holds " + quoted(c) + " at row " +
                                std::to_string(at.y) + ", column " + std::to_string(at.x) +
                                "; expected '.', 'P' or a letter a to m"};
    }
  }
  if (cells_of[prisoner_number].empty()) {
    return {std::nullopt, "the level text has no prisoner P"};
  }
  play_level level;
  for (int number = prisoner_number; number < max_blocks; ++number) {
    const std::vector<cell>& covered = cells_of[static_cast<std::size_t>(number)];
    if (covered.empty()) {
      continue;
    }
    const std::optional<BLOCK> block = block_on_cells(covered);
    if (!block || (number == prisoner_number && (!block->horizontal || block->length != 2))) {
      return {std::nullopt, letter_name(number) + (number == prisoner_number
                                                       ? " is not two cells side by side in a row"
                                                       : " is not two or three cells in a row "
                                                         "or column")};
    }
    (number == prisoner_number ? level.prisoner : level.blockers.emplace_back()) = *block;
  }
  if (std::string fault = rule_fault(level); !fault.empty()) {
    return {std::nullopt, fault};
  }
  return {level, {}};
}
