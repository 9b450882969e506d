#include "model/level_text.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "model/printable.h"

namespace {

// A character of a text form as a message shows it: 'x' when it is one
// printable byte, its code when it is another byte, and printable otherwise.
std::string quoted(std::string_view character) {
  const auto code = static_cast<unsigned char>(character[0]);
  if (character.size() > 1 || (code >= ' ' && code < 0x7F)) {
    std::string shown(1, '\'');
    shown += printable(character);
    shown += '\'';
    return shown;
  }
  static constexpr char digits[] = "0123456789ABCDEF";
  return std::string("the byte 0x") + digits[code >> 4] + digits[code & 0xF];
}

constexpr char free_cell = '.';
constexpr std::string_view row_separator = "/";
constexpr std::size_t cell_count = board_size * board_size;

// The characters of a text form, one a cell, row 0 first, with the row
// separators taken out, or why they are not six rows of six.
result<std::vector<std::string_view>> cells_of_text(std::string_view text) {
  const std::vector<std::string_view> characters = characters_of(text);
  if (std::find(characters.begin(), characters.end(), row_separator) == characters.end()) {
    if (characters.size() != cell_count) {
      return failure{"the level text has " + std::to_string(characters.size()) +
                     " cells, expected " + std::to_string(cell_count)};
    }
    return characters;
  }
  std::vector<std::string_view> cells;
  int rows = 0;
  for (auto begin = characters.begin();; ++rows) {
    const auto end = std::find(begin, characters.end(), row_separator);
    if (end - begin != board_size) {
      return failure{"row " + std::to_string(rows) + " of the level text has " +
                     std::to_string(end - begin) + " cells, expected " +
                     std::to_string(board_size)};
    }
    cells.insert(cells.end(), begin, end);
    if (end == characters.end()) {
      break;
    }
    begin = end + 1;
  }
  if (++rows != board_size) {
    return failure{"the level text has " + std::to_string(rows) + " rows, expected " +
                   std::to_string(board_size)};
  }
  return cells;
}

// The block on exactly these cells (in reading order), or nothing when they are
// not two or three neighbouring cells in one row or column.
std::optional<play_block> block_on_cells(const std::vector<cell>& cells) {
  const int length = static_cast<int>(cells.size());
  if (length < 2 || length > 3) {
    return std::nullopt;
  }
  const bool horizontal = cells[0].y == cells[1].y;
  play_block block =
      block_on_line<play_block>(horizontal, length, horizontal ? cells[0].y : cells[0].x,
                                horizontal ? cells[0].x : cells[0].y);
  for (int k = 0; k < length; ++k) {
    if (cell_of(block, k) != cells[static_cast<std::size_t>(k)]) {
      return std::nullopt;
    }
  }
  return block;
}

// The name of a block's letter in messages.
std::string letter_name(int number) {
  return number == prisoner_number ? "the prisoner P"
                                   : std::string("blocker ") + block_letter(number);
}

// The level when it keeps the rules the generator keeps: the prisoner in its
// row, at least one blocker and none that locks the prisoner in.
result<play_level> keeping_the_rules(play_level level) {
  if (level.prisoner.y != prisoner_row) {
    return failure{"the prisoner P is in row " + std::to_string(level.prisoner.y) +
                   ", expected row " + std::to_string(prisoner_row)};
  }
  if (level.blockers.empty()) {
    return failure{"the level has no blockers, expected 1 to " + std::to_string(max_blockers)};
  }
  for (const play_block& blocker : level.blockers) {
    if (blocks_the_way_out_for_good(blocker, level.prisoner)) {
      return failure{
          "a blocker lies right of the prisoner in its own row, where it can never leave"};
    }
  }
  return level;
}

}  // namespace

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

result<play_level> read_level_text(std::string_view text) {
  const result<std::vector<std::string_view>> cells = cells_of_text(text);
  if (!cells) {
    return failure{cells.reason()};
  }
  // The cells of the prisoner (entry 0) and of the letters a to m, in reading order.
  std::array<std::vector<cell>, max_blocks> cells_of;
  for (std::size_t i = 0; i < cells->size(); ++i) {
    const std::string_view character = (*cells)[i];
    const char c = character.size() == 1 ? character[0] : '\0';
    const cell at{static_cast<int>(i % board_size), static_cast<int>(i / board_size)};
    if (c == block_letter(prisoner_number)) {
      cells_of[prisoner_number].push_back(at);
    } else if (c >= block_letter(blocker_number(0)) && c < block_letter(max_blocks)) {
      cells_of[static_cast<std::size_t>(blocker_number(c - block_letter(blocker_number(0))))]
          .push_back(at);
    } else if (c != free_cell) {
      std::string why = "the level text holds ";
      why += quoted(character);
      why += " at row " + std::to_string(at.y) + ", column " + std::to_string(at.x) +
             "; expected '.', 'P' or a letter a to m";
      return failure{why};
    }
  }
  if (cells_of[prisoner_number].empty()) {
    return failure{"the level text has no prisoner P"};
  }
  play_level level;
  for (int number = prisoner_number; number < max_blocks; ++number) {
    const std::vector<cell>& covered = cells_of[static_cast<std::size_t>(number)];
    if (covered.empty()) {
      continue;
    }
    const std::optional<play_block> block = block_on_cells(covered);
    if (!block || (number == prisoner_number && (!block->horizontal || block->length != 2))) {
      return failure{letter_name(number) + (number == prisoner_number
                                                ? " is not two cells side by side in a row"
                                                : " is not two or three cells in a row or column")};
    }
    (number == prisoner_number ? level.prisoner : level.blockers.emplace_back()) = *block;
  }
  return keeping_the_rules(std::move(level));
}
