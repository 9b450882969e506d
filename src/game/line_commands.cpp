#include "game/line_commands.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <limits>

#include "game/move_rules.h"

namespace {

// The block a move command names by its first letter, or no_block after saying there is none.
int parse_block(const play_level& level, char typed, std::ostream& out) {
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(typed)));
  if (letter == std::tolower(block_letter(prisoner_number))) {
    return prisoner_number;
  }
  if (letter >= 'a' && letter < 'a' + static_cast<int>(level.blockers.size())) {
    return blocker_number(letter - 'a');
  }
  out << "There is no block " << typed << " on this board.\n";
  return no_block;
}

// The cells a number of digits stands for, leading zeros allowed, or nothing
// after saying why it is no distance.
std::optional<int> parse_cells(std::string_view digits, char shown, std::ostream& out) {
  digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
  if (digits.size() > 2) {
    out << shown << " cannot move that far: it would leave the board.\n";
    return std::nullopt;
  }
  const int cells = digits.empty() ? 0 : std::stoi(std::string(digits));
  if (cells == 0) {
    out << "A move of 0 cells changes nothing.\n";
    return std::nullopt;
  }
  return cells;
}

// Reads the distance of a move command after its letter, spaces removed and
// lower case: a sign or a direction word, then the number of cells. Says why
// when it is no distance.
std::optional<int> parse_distance(const play_block& block, char shown, std::string_view rest,
                                  std::ostream& out) {
  const auto ask_distance = [&] {
    out << "Say how far " << shown << " should move: " << shown << " -1, " << shown << " +2 or "
        << shown << (block.horizontal ? " left 1.\n" : " up 1.\n");
    return std::nullopt;
  };
  int sign = 1;
  std::string_view count = rest;
  if (count.starts_with('+') || count.starts_with('-')) {
    sign = count[0] == '-' ? -1 : 1;
    count.remove_prefix(1);
  } else if (!count.empty() && std::isalpha(static_cast<unsigned char>(count[0]))) {
    const std::string_view word = count.substr(0, count.find_first_of("0123456789"));
    if (word != "left" && word != "right" && word != "up" && word != "down") {
      return ask_distance();
    }
    if ((word == "left" || word == "right") != block.horizontal) {
      out << line_fault(block, shown, word) << '\n';
      return std::nullopt;
    }
    sign = word == "left" || word == "up" ? -1 : 1;
    count.remove_prefix(word.size());
    if (count.empty()) {
      count = "1";
    }
  }
  if (count.empty() || count.find_first_not_of("0123456789") != std::string_view::npos) {
    return ask_distance();
  }
  const std::optional<int> cells = parse_cells(count, shown, out);
  return cells ? std::optional<int>(sign * *cells) : std::nullopt;
}

}  // namespace

std::optional<play_move> parse_move(const play_level& level, std::string_view line,
                                    std::ostream& out) {
  const int number = parse_block(level, line[0], out);
  if (number == no_block) {
    return std::nullopt;
  }
  std::string rest;
  for (const char c : lower(line.substr(1))) {
    if (!std::isspace(static_cast<unsigned char>(c))) {
      rest += c;
    }
  }
  const std::optional<int> distance =
      parse_distance(block_of(level, number), block_letter(number), rest, out);
  if (!distance) {
    return std::nullopt;
  }
  return play_move{number, *distance};
}

std::string move_text(play_move move) {
  return std::string(1, block_letter(move.block)) + (move.distance < 0 ? " -" : " +") +
         std::to_string(std::abs(move.distance));
}

std::string lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return result;
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

command_read read_command(std::istream& in, std::string& line) {
  char buffer[longest_command + 1];
  in.getline(buffer, sizeof buffer);
  if (in.gcount() == 0 && in.eof()) {
    return command_read::end_of_input;
  }
  if (in.fail() && !in.eof()) {
    in.clear();
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return command_read::too_long;
  }
  // The count includes the line break, when there was one.
  const auto length = static_cast<std::size_t>(in.gcount()) - (in.eof() ? 0 : 1);
  in.clear(in.rdstate() & std::ios::eofbit);
  line.assign(buffer, length);
  return line.find('\0') == std::string::npos ? command_read::command : command_read::holds_nul;
}
