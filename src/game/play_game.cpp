#include "game/play_game.h"

#include <atomic>
#include <cctype>
#include <charconv>
#include <string>
#include <string_view>

#include "game/level_picture.h"
#include "game/line_commands.h"
#include "game/move_rules.h"
#include "model/level_directory.h"
#include "model/level_text.h"
#include "model/printable.h"

namespace {

const char* help_text =
    "Free the prisoner P: clear its row to the exit on the right.\n"
    "  b -2, B+1    slide block b: a minus goes left or up, a plus right or down\n"
    "  b up 2       the same with left, right, up or down (1 cell if no number)\n"
    "  hint         the block to move next; again: where it goes\n"
    "  solve        a whole fewest-move solution from here\n"
    "  undo, redo   take back the last move; play again the move taken back\n"
    "  restart      back to the start position\n"
    "  resume       go on with the attempt left unfinished on this level\n"
    "  new, new 20  a new level of as many moves as this one, or of 20 moves\n"
    "  show         the text form of the board as it is now\n"
    "  save DIR     write the start position as the six level files into DIR\n"
    "  help         this list\n"
    "  quit         leave the game (so does the end of input)\n";

struct game {
  std::ostream& out;
  bool colour = false;
  game_session session;
  // The attempt left unfinished on this level, offered until it is resumed or a move is made.
  std::optional<unfinished_attempt> left;
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

// Says the line the keeping of the progress had to say, if any.
void say_kept(const game& g, const std::optional<std::string>& note) {
  if (note) {
    g.out << *note << '\n';
  }
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

// Leaves the game: the attempt is kept to go on with later.
void say_goodbye(game& g) {
  say_kept(g, keep_unfinished(g.session));
  g.out << goodbye_text(g.session.made.size()) << std::endl;
}

// A hint in two steps (the block of the next move of a fewest solution, then
// the move) or a whole solution, counted as help.
void give_hint(game& g, bool whole) {
  if (!whole) {
    if (const std::optional<tip_given> tip = take_tip(g.session); !tip) {
      g.out << unsolvable_text << '\n';
    } else if (tip->shows_move) {
      g.out << "Hint: " << move_text(tip->move)
            << " (fewest from here: " << *g.session.fewest_from_here << ").\n";
    } else {
      g.out << "Hint: move " << block_letter(tip->move.block)
            << " next (fewest from here: " << *g.session.fewest_from_here
            << "). Type hint again for where.\n";
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

// Starts the game over on `offered`: says where it comes from, and offers the
// attempt left unfinished on it, if any.
void begin(game& g, const offered_level& offered) {
  g.session = start_session(offered, std::move(g.session.setup));
  g.left = kept_attempt(g.session);
  if (!offered.about.empty()) {
    g.out << offered.about << '\n';
  }
}

// Says how to go on with the attempt left unfinished, when there is one.
void offer_left(const game& g) {
  if (g.left) {
    g.out << "You left this level after " << counted(g.left->moves.size(), "move") << " in "
          << clock_text(std::chrono::seconds(g.left->seconds))
          << ": type resume to go on from there.\n";
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
  say_kept(g, keep_unfinished(g.session));
  begin(g, *offered);
  show(g);
  offer_left(g);
  return announce_escape(g);
}

// `save DIR`: writes the start position as the level files into DIR.
void save_start(const game& g, std::string_view directory) {
  if (directory.empty()) {
    g.out << "Say where to save the level: save DIR.\n";
  } else if (const result<written_level> saved =
                 write_level_directory(g.session.offered.level, std::filesystem::path(directory));
             !saved) {
    g.out << saved.reason() << '\n';
  } else {
    g.out << (saved->note.empty() ? "" : saved->note + '\n')
          << "Saved the start position as level files in " << printable(directory) << ".\n";
  }
}

// `undo`, `redo`, `restart` and `resume`: the board goes to another position.
void go_back_or_on(game& g, const std::string& word) {
  if (word == "undo" || word == "redo") {
    if (!(word == "undo" ? undo_move(g.session) : redo_move(g.session))) {
      g.out << "There is no move to " << word << ".\n";
      return;
    }
  } else if (word == "restart") {
    say_kept(g, restart_level(g.session));
  } else if (!g.left || !resume_attempt(g.session, *g.left)) {
    g.out << "There is no attempt left unfinished here to go on with.\n";
    return;
  }
  g.left.reset();
  show(g);
}

// A move command; true when it frees the prisoner.
bool move_block(game& g, std::string_view line) {
  const std::optional<play_move> move = parse_move(g.session.now, line, g.out);
  if (!move) {
    return false;
  }
  if (const result<> moved = make_move(g.session, *move); !moved) {
    g.out << moved.reason() << '\n';
    return false;
  }
  g.left.reset();
  show(g);
  return announce_escape(g);
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
  } else if (word == "undo" || word == "redo" || word == "restart" || word == "resume") {
    go_back_or_on(g, word);
  } else if (word == "show") {
    g.out << level_text(g.session.now) << '\n';
  } else if (word == "new" || word.starts_with("new ")) {
    return start_new_level(g, trimmed(line.substr(3)));
  } else if (word == "save" || word.starts_with("save ")) {
    save_start(g, trimmed(line.substr(4)));
  } else if (std::isalpha(static_cast<unsigned char>(line[0])) &&
             (line.size() == 1 || !std::isalpha(static_cast<unsigned char>(line[1])))) {
    return move_block(g, line);
  } else {
    g.out << "Unknown command \"" << printable(line) << "\": type help for the list.\n";
  }
  return false;
}

// Reads and carries out command lines until the game is over; the exit status.
int command_loop(game& g, std::istream& in) {
  std::string line;
  while (g.out) {
    g.out << "> " << std::flush;
    const command_read read = read_command(in, line);
    if (read == command_read::end_of_input) {
      g.out << '\n';
      say_goodbye(g);
      return g.out ? 0 : 1;
    }
    if (read == command_read::too_long) {
      g.out << "That line is too long: a command has at most " << longest_command
            << " characters.\n";
      continue;
    }
    if (read == command_read::holds_nul) {
      g.out << "That line holds a NUL byte (\\x00), which no command takes: " << printable(line)
            << '\n';
      continue;
    }
    const std::string_view command = trimmed(line);
    if (!command.empty() && obey(g, command)) {
      g.out << std::flush;
      return g.out ? 0 : 1;
    }
  }
  static_cast<void>(keep_unfinished(g.session));
  return 1;
}

}  // namespace

int play_lines(const offered_level& offered, std::istream& in, std::ostream& out,
               const line_options& options) {
  game g{out, options.colour, {}, std::nullopt};
  g.session.setup = options.setup;
  begin(g, offered);
  out << "Free the prisoner P: clear its row to the exit. Type help for the commands.\n";
  show(g);
  offer_left(g);
  if (announce_escape(g)) {
    return out.flush() ? 0 : 1;
  }
  return command_loop(g, in);
}
