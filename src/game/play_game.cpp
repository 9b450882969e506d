#include "game/play_game.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "game/level_picture.h"
#include "game/move_rules.h"
#include "model/level_directory.h"
#include "model/level_text.h"
#include "model/printable.h"

namespace {

// A move as it is typed, e.g. "b -2".
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

const char* help_text =
    "Free the prisoner P: clear its row to the exit on the right.\n"
    "  b -2, B+1    slide block b: a minus goes left or up, a plus right or down\n"
    "  b up 2       the same with left, right, up or down (1 cell if no number)\n"
    "  hint         the next move of a fewest-move solution\n"
    "  solve        a whole fewest-move solution from here\n"
    "  undo         take back the last move\n"
    "  restart      back to the start position\n"
    "  new, new 20  a new level of as many moves as this one, or of 20 moves\n"
    "  show         the text form of the board as it is now\n"
    "  save DIR     write the start position as the six level files into DIR\n"
    "  help         this list\n"
    "  quit         leave the game (so does the end of input)\n";

struct game {
  std::ostream& out;
  bool colour = false;
  game_session session;
};

void show(const game& g) {
  draw_board(g.session.now, g.out, g.colour);
  g.out << "Moves made: " << g.session.made.size() << ". Fewest from the start: ";
  if (g.session.fewest_from_start) {
    g.out << *g.session.fewest_from_start << ".\n";
  } else {
    g.out << "none, this level cannot be solved.\n";
  }
}

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

// Reads the block letter and distance of a move command, or says why it is no move.
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

// Says that the prisoner is free, when it is, with the result, and keeps the
// escape; true then.
bool announce_escape(game& g) {
  if (!is_escaped(g.session)) {
    return false;
  }
  for (const std::string& line : keep_escape(g.session)) {
    g.out << line << '\n';
  }
  return true;
}

void say_goodbye(const game& g) {
  g.out << goodbye_text(g.session.made.size()) << std::endl;
}

// A hint (the next move of a fewest solution) or a whole solution, counted as help.
void give_hint(game& g, bool whole) {
  if (!whole) {
    if (const std::optional<play_move> move = take_tip(g.session)) {
      g.out << "Hint: " << move_text(*move) << " (fewest from here: " << *g.session.fewest_from_here
            << ").\n";
    } else {
      g.out << unsolvable_text << '\n';
    }
    return;
  }
  const std::optional<std::vector<play_move>> solution = take_solution(g.session);
  if (!solution) {
    g.out << unsolvable_text << '\n';
    return;
  }
  g.out << "Fewest moves from here (" << solution->size() << "):";
  const char* separator = " ";
  for (const play_move& move : *solution) {
    g.out << separator << move_text(move);
    separator = ", ";
  }
  g.out << ".\n";
}

// The longest command line the game reads; the rest of a longer one is skipped unread.
constexpr std::size_t longest_command = 200;

enum class command_read { command, too_long, holds_nul, end_of_input };

// Reads one line of at most longest_command characters into `line`. A longer
// line is discarded as it is read, so that memory stays flat on any input; a
// line with a NUL byte, which would cut a name short, is refused whole.
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

// Starts the game over on `offered`: says where it comes from.
void begin(game& g, const offered_level& offered) {
  g.session = start_session(offered, std::move(g.session.setup));
  if (!offered.about.empty()) {
    g.out << offered.about << '\n';
  }
}

// `new` or `new N`: a new level of N moves, or of as many as this one; true
// when the game is over (the new level needs no move).
bool start_new_level(game& g, std::string_view argument) {
  if (!g.session.setup.new_level) {
    g.out << "New levels are not available here.\n";
    return false;
  }
  int moves = new_level_moves(g.session);
  if (!argument.empty()) {
    const auto [end, error] =
        std::from_chars(argument.data(), argument.data() + argument.size(), moves);
    if (error != std::errc{} || end != argument.data() + argument.size() || moves < 0) {
      g.out << "Say how many moves the new level needs, from 0 to " << most_level_moves
            << ": new 15.\n";
      return false;
    }
    if (moves > most_level_moves) {
      g.out << "No level of this board needs more than " << most_level_moves
            << " moves: say new 0 to new " << most_level_moves << ".\n";
      return false;
    }
  }
  g.out << making_text(moves) << " Ctrl-C ends the game." << std::endl;
  const std::atomic<bool> never_stopped = false;
  const std::optional<offered_level> offered = g.session.setup.new_level(moves, never_stopped);
  if (!offered) {
    g.out << "No level of " << counted(static_cast<std::size_t>(moves), "move")
          << " was found in time.\n";
    return false;
  }
  begin(g, *offered);
  show(g);
  return announce_escape(g);
}

// `save DIR`: writes the start position as the level files into DIR.
void save_start(const game& g, std::string_view directory) {
  if (directory.empty()) {
    g.out << "Say where to save the level: save DIR.\n";
  } else if (const result<written_level> saved =
                 write_level_directory(g.session.start, std::filesystem::path(directory));
             !saved) {
    g.out << saved.reason() << '\n';
  } else {
    g.out << (saved->note.empty() ? "" : saved->note + '\n')
          << "Saved the start position as level files in " << printable(directory) << ".\n";
  }
}

// Carries out one command line; true when the game is over.
bool obey(game& g, std::string_view line) {
  const std::string word = lower(line);
  if (word == "quit") {
    say_goodbye(g);
    return true;
  }
  if (word == "help") {
    g.out << help_text;
  } else if (word == "hint" || word == "solve") {
    give_hint(g, word == "solve");
  } else if (word == "undo") {
    if (!undo_move(g.session)) {
      g.out << "There is no move to undo.\n";
    } else {
      show(g);
    }
  } else if (word == "restart") {
    restart_level(g.session);
    show(g);
  } else if (word == "show") {
    g.out << level_text(g.session.now) << '\n';
  } else if (word == "new" || word.starts_with("new ")) {
    return start_new_level(g, trimmed(line.substr(3)));
  } else if (word == "save" || word.starts_with("save ")) {
    save_start(g, trimmed(line.substr(4)));
  } else if (std::isalpha(static_cast<unsigned char>(line[0])) &&
             (line.size() == 1 || !std::isalpha(static_cast<unsigned char>(line[1])))) {
    const std::optional<play_move> move = parse_move(g.session.now, line, g.out);
    if (!move) {
      return false;
    }
    if (const result<> moved = make_move(g.session, *move); !moved) {
      g.out << moved.reason() << '\n';
      return false;
    }
    show(g);
    return announce_escape(g);
  } else {
    g.out << "Unknown command \"" << printable(line) << "\": type help for the list.\n";
  }
  return false;
}

}  // namespace

int play_lines(const offered_level& offered, std::istream& in, std::ostream& out,
               const line_options& options) {
  game g{out, options.colour, {}};
  g.session.setup = options.setup;
  begin(g, offered);
  out << "Free the prisoner P: clear its row to the exit. Type help for the commands.\n";
  show(g);
  if (announce_escape(g)) {
    return 0;
  }
  std::string line;
  while (true) {
    out << "> " << std::flush;
    const command_read read = read_command(in, line);
    if (read == command_read::end_of_input) {
      out << '\n';
      say_goodbye(g);
      return 0;
    }
    if (read == command_read::too_long) {
      out << "That line is too long: a command has at most " << longest_command << " characters.\n";
      continue;
    }
    if (read == command_read::holds_nul) {
      out << "That line holds a NUL byte (\\x00), which no command takes: " << printable(line)
          << '\n';
      continue;
    }
    const std::string_view command = trimmed(line);
    if (!command.empty() && obey(g, command)) {
      out << std::flush;
      return 0;
    }
  }
}
