#include "program/levels_command.h"

#include <filesystem>
#include <iomanip>
#include <optional>
#include <random>
#include <sstream>
#include <string_view>

#include "game/level_picture.h"
#include "model/level_directory.h"
#include "model/level_text.h"
#include "program/command_line.h"
#include "program/status_line.h"
#include "search/level_maker.h"

namespace {

constexpr const char* usage =
    "usage: escape_levels --moves N [--lean] [--count K] [--seed S] [--seconds T] [--jobs J]\n"
    "                     [--out DIR]\n"
    "       escape_levels --hardest [--seconds T] [--seed S] [--jobs J] [--out DIR]\n";

constexpr const char* help_text =
    "Makes levels of the escape puzzle and prints each as a board, its text form,\n"
    "its fewest-move count, its seed and the time it took.\n"
    "  --moves N     levels whose fewest solution takes exactly N moves (0 to 50)\n"
    "  --lean        levels where every blocker matters: taking any away lowers the count\n"
    "  --count K     make K such levels (default 1), no two one puzzle or variants; each\n"
    "                from the first seed after the one before whose level is new\n"
    "  --hardest     the level needing the most moves found within the time\n"
    "  --seed S      the seed (default: a random one); the same seed gives the same level\n"
    "  --seconds T   search for at most T seconds a level (default 60, --hardest 10)\n"
    "  --jobs J      searches run at once (default 0: one on each core); the levels are\n"
    "                the same whatever J\n"
    "  --out DIR     also write level i as the six level files into DIR/i (from 1)\n"
    "  -h, --help    this list;  -V, --version  the version\n"
    "Exit status: 0 done, 1 no level found in time or a file not written, 2 bad arguments.\n";

constexpr int most_levels = 1000;
constexpr double most_seconds = 86400;

// What the command line asks for.
struct levels_request {
  std::optional<int> moves;  // --moves N
  bool hardest = false;      // --hardest
  std::optional<int> count;
  std::optional<std::uint64_t> seed;
  std::optional<double> seconds;
  std::optional<std::string> out;
  std::optional<int> jobs;
  bool lean = false;
  bool help = false;
  bool version = false;
};

// Reads the arguments into `request`, or says why they are not sound.
result<> read_request(const std::vector<std::string>& arguments, levels_request& request) {
  const result<command_words> words = read_command_line(
      arguments,
      {moves_option(request.moves), whole_number_option("--count", request.count, 1, most_levels),
       seed_option(request.seed), seconds_option("--seconds", request.seconds, most_seconds),
       text_option("--out", request.out, "a directory"), flag_option("--hardest", request.hardest),
       jobs_option(request.jobs), flag_option("--lean", request.lean)});
  if (!words) {
    return failure{words.reason()};
  }
  request.help = words->help;
  request.version = words->version;
  if (request.help || request.version) {
    return {};
  }
  if (request.hardest == request.moves.has_value()) {
    return failure{request.hardest ? "--moves and --hardest exclude each other"
                                   : "say what to make: --moves N or --hardest"};
  }
  if (request.hardest && (request.count || request.lean)) {
    return failure{std::string(request.count ? "--count" : "--lean") + " goes with --moves only"};
  }
  return {};
}

// What the maker calls while a search runs: the seconds and the hardest level
// so far on `line`, once the search has run `terminal.progress_after`
// seconds; nothing when standard error is no terminal.
maker_progress search_reporter(status_line& line, const levels_terminal& terminal) {
  if (!terminal.progress) {
    return {};
  }
  return [&line, after = terminal.progress_after](double seconds, int hardest) {
    if (seconds < after) {
      return;
    }
    std::ostringstream text;
    text << "searching: " << std::fixed << std::setprecision(1) << seconds
         << " s, the hardest so far needs " << hardest << " moves";
    line.show(text.str());
  };
}

// Prints a made level: its board, text form, fewest moves, the puzzles a
// search for the hardest met at its best counts, seed and time.
void print_level(const made_level& made, std::ostream& out, bool colour) {
  draw_board(made.level, out, colour);
  out << level_text(made.level) << '\n' << "fewest moves: " << made.moves << '\n';
  if (!made.met.empty()) {
    out << "different puzzles met:";
    for (const puzzles_met& met : made.met) {
      out << (&met == &made.met.front() ? " " : ", ") << met.puzzles << " of " << met.moves
          << " moves";
    }
    out << '\n';
  }
  out << "seed: " << made.seed << '\n'
      << "time: " << std::fixed << std::setprecision(2) << made.seconds << " s\n";
}

// Why no level of `moves` moves followed the `made` ones, the search having
// tried seeds from `seed` on for `seconds`: no other puzzle that the maker
// knows, or none found in time.
std::string why_none(int moves, int made, std::uint64_t seed, const puzzle_set& given,
                     double seconds) {
  std::ostringstream why;
  if (made > 0 && !knows_other_puzzle(moves, given)) {
    why << "the maker knows no other puzzle of " << moves << " moves than the " << made << " above";
    if (const std::optional<int> nearest = nearest_count_with_other(moves, given)) {
      why << "; --moves " << *nearest << " has more";
    }
  } else if (made > 0) {
    why << "no other puzzle of " << moves << " moves found in " << seconds << " s (seeds from "
        << seed << " on)";
  } else {
    why << "no level of " << moves << " moves found in " << seconds << " s (seed " << seed << ")";
  }
  return why.str();
}

// Makes, prints and writes the levels asked for; the exit status.
int make_levels(const levels_request& request, std::ostream& out, std::ostream& err,
                const levels_terminal& terminal) {
  const std::uint64_t seed = request.seed ? *request.seed : std::random_device{}();
  const maker_limits limits{request.seconds.value_or(request.hardest ? 10.0 : 60.0), 0,
                            request.jobs.value_or(0)};
  const int count = request.count.value_or(1);
  puzzle_set given;  // the puzzles of the levels made so far
  std::uint64_t level_seed = seed;
  for (int i = 0; i < count; ++i) {
    status_line line(err);
    const maker_progress progress = search_reporter(line, terminal);
    const std::optional<made_level> made =
        request.hardest
            ? make_hardest_level(level_seed, limits, progress)
            : make_new_level(*request.moves, level_seed, given, limits, progress, request.lean);
    line.clear();
    if (!made && request.hardest) {
      err << "escape_levels: no level found in " << limits.seconds << " s (seed " << level_seed
          << ")\n";
      return 1;
    }
    if (!made) {
      err << "escape_levels: " << why_none(*request.moves, i, level_seed, given, limits.seconds)
          << '\n';
      return 1;
    }
    remember_made(given, *made);
    level_seed = made->seed + 1;
    out << (i > 0 ? "\n" : "");
    print_level(*made, out, terminal.colour);
    result<> kept = flush_output(out);
    if (kept && request.out) {
      const result<written_level> written = write_level_directory(
          made->level, std::filesystem::path(*request.out) / std::to_string(i + 1));
      if (!written) {
        kept = failure{written.reason()};
      } else if (!written->note.empty()) {
        err << "escape_levels: " << written->note << '\n';
      }
    }
    if (!kept) {
      err << "escape_levels: " << kept.reason() << '\n';
      return 1;
    }
  }
  return 0;
}

}  // namespace

int run_levels_command(const std::vector<std::string>& arguments, std::ostream& out,
                       std::ostream& err, const levels_terminal& terminal) {
  levels_request request;
  if (const result<> read = read_request(arguments, request); !read) {
    err << "escape_levels: " << read.reason() << '\n' << usage;
    return 2;
  }
  if (request.help || request.version) {
    if (request.help) {
      out << usage << help_text;
    } else {
      out << version_line("escape_levels") << '\n';
    }
    if (const result<> shown = flush_output(out); !shown) {
      err << "escape_levels: " << shown.reason() << '\n';
      return 1;
    }
    return 0;
  }
  return make_levels(request, out, err, terminal);
}
