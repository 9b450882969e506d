#include "play_command.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string_view>
#include <variant>

#include "command_line.h"
#include "level_files.h"
#include "level_maker.h"
#include "level_text.h"
#include "play_solver.h"

namespace {

constexpr const char* usage =
    "usage: escape_play [--lines] [DIR]\n"
    "       escape_play [--lines] --new [--moves N] [--seed S]\n"
    "       escape_play [--lines] --level TEXT\n";

constexpr const char* help_text =
    "Plays a level of the escape puzzle: on the whole terminal when it is one,\n"
    "otherwise (or with --lines) one typed command a line.\n"
    "  DIR           the level stored in DIR as six level files (default: here)\n"
    "  --new         a new level, made at once; its seed is shown to play it again\n"
    "  --moves N     the fewest moves the new level needs (0 to 50, default 15)\n"
    "  --seed S      the seed of the new level (default: a random one)\n"
    "  --level TEXT  the level in its text form, 36 cells in rows of six: . P a b ...\n"
    "  --lines       one command a line, also on a terminal\n"
    "Exit status: 0 the game ended, 1 no level to play, 2 bad arguments.\n";

// What the command line asks for.
struct play_request {
  std::optional<std::string> directory;
  bool make_new = false;
  std::optional<int> moves;
  std::optional<std::uint64_t> seed;
  std::optional<std::string> text;
  bool lines = false;
  bool help = false;
};

// Reads the arguments into `request`, or says why they are not sound.
result<> read_request(const std::vector<std::string>& arguments, play_request& request) {
  const result<command_words> words = read_command_line(
      arguments,
      {flag_option("--lines", request.lines), flag_option("--new", request.make_new),
       moves_option(request.moves), seed_option(request.seed),
       option{"--level", true,
              [&](std::string_view text) -> result<> {
                request.text = std::string(text);
                return {};
              }}},
      1);
  if (!words) {
    return failure{words.reason()};
  }
  request.help = words->help;
  if (request.help) {
    return {};
  }
  if (!words->operands.empty()) {
    request.directory = words->operands.front();
  }
  if ((request.moves || request.seed) && !request.make_new) {
    return failure{"--moves and --seed go with --new"};
  }
  if (int{request.make_new} + int{request.text.has_value()} + int{request.directory.has_value()} >
      1) {
    return failure{"play one level: a directory, --new or --level"};
  }
  return {};
}

// A new level of `moves` moves, with the line that tells how to play it again.
std::optional<offered_level> make_offered_level(int moves, std::uint64_t seed) {
  const std::optional<made_level> made = make_level(moves, seed, maker_limits{});
  if (!made) {
    return std::nullopt;
  }
  const std::string again =
      "--new --moves " + std::to_string(moves) + " --seed " + std::to_string(seed);
  return offered_level{made->level, "A level of " + std::to_string(moves) + " moves, seed " +
                                        std::to_string(seed) + ": escape_play " + again +
                                        " plays it again."};
}

// A new level of `moves` moves with a seed of chance.
std::optional<offered_level> make_any_level(int moves) {
  return make_offered_level(moves, std::random_device{}());
}

// The level the request asks for, or the exit status after saying why there is none.
std::variant<offered_level, int> requested_level(const play_request& request, std::ostream& out,
                                                 std::ostream& err) {
  if (request.text) {
    const result<play_level> level = read_level_text(*request.text);
    if (!level) {
      err << level.reason() << '\n';
      return 2;
    }
    return offered_level{*level, {}};
  }
  if (request.make_new) {
    const int moves = request.moves.value_or(default_new_level_moves);
    std::optional<offered_level> made =
        request.seed ? make_offered_level(moves, *request.seed) : make_any_level(moves);
    if (!made) {
      err << "No level of " << moves << " moves was found in time.\n";
      return 1;
    }
    return *made;
  }
  const std::string directory = request.directory.value_or("");
  const result<play_level> level = read_level_directory(directory);
  if (!level) {
    out << level.reason() << "\nCannot play: run escape_puzzle in "
        << (directory.empty() ? std::string("this directory") : directory)
        << " to make a new level." << std::endl;
    return 1;
  }
  return offered_level{*level, {}};
}

}  // namespace

int run_play_command(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                     std::ostream& err, const play_setting& setting) {
  play_request request;
  if (const result<> read = read_request(arguments, request); !read) {
    err << read.reason() << '\n' << usage;
    return 2;
  }
  if (request.help) {
    out << usage << help_text;
    return 0;
  }
  const std::variant<offered_level, int> level = requested_level(request, out, err);
  if (const int* status = std::get_if<int>(&level)) {
    return *status;
  }
  const offered_level& offered = std::get<offered_level>(level);
  if (request.lines || !setting.full_screen) {
    return play_lines(offered, in, out, {setting.colour, make_any_level});
  }
  // `n` makes levels of as many moves as this one needs.
  const std::optional<std::vector<play_move>> solution = solve_level(offered.level);
  const int moves = solution ? static_cast<int>(solution->size()) : default_new_level_moves;
  return setting.full_screen(offered, [moves] { return make_any_level(moves); });
}
