#include "program/play_command.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <string_view>

#include "game/campaign.h"
#include "game/daily_level.h"
#include "game/fresh_levels.h"
#include "game/move_rules.h"
#include "game/play_game.h"
#include "model/level_directory.h"
#include "model/level_text.h"
#include "model/printable.h"
#include "program/command_line.h"
#include "program/status_line.h"
#include "search/level_maker.h"

namespace {

constexpr const char* usage =
    "usage: escape_play [--lines] [--no-save] [DIR | --campaign [K] | --daily [DATE]]\n"
    "       escape_play [--lines] [--no-save] --new [--moves N] [--seed S]\n"
    "       escape_play [--lines] [--no-save] --level TEXT\n"
    "       escape_play --progress\n";

constexpr const char* help_text =
    "Plays a level of the escape puzzle: on the whole terminal when it is one,\n"
    "otherwise (or with --lines) one typed command a line. With no level named it\n"
    "plays the level files here, or else the campaign's first unsolved level.\n"
    "  DIR             the level stored in DIR as six level files\n"
    "  --campaign [K]  level K of the campaign (default: the first unsolved)\n"
    "  --daily [DATE]  the level of the day, DATE as YYYY-MM-DD (default: today, UTC)\n"
    "  --new           a new level, made at once; its seed is shown to play it again\n"
    "  --moves N       the fewest moves the new level needs (0 to 50, default 15)\n"
    "  --seed S        the seed of the new level (default: a random one)\n"
    "  --level TEXT    the level in its text form, 36 cells in rows of six: . P a b ...\n"
    "  --progress      list the campaign's levels with your best results\n"
    "  --no-save       read and write no progress\n"
    "  --lines         one command a line, also on a terminal\n"
    "  -h, --help      this list;  -V, --version  the version\n"
    "Progress is kept in $XDG_STATE_HOME/escape-puzzle (~/.local/state/escape-puzzle).\n"
    "Exit status: 0 the game ended, 1 no level to play, 2 bad arguments.\n";

// What the command line asks for.
struct play_request {
  std::optional<std::string> directory;
  bool make_new = false;
  std::optional<int> moves;
  std::optional<std::uint64_t> seed;
  std::optional<std::string> text;
  bool campaign = false;
  std::optional<int> campaign_number;
  bool daily = false;
  std::optional<std::chrono::year_month_day> date;
  bool show_progress = false;
  bool no_save = false;
  bool lines = false;
  bool help = false;
  bool version = false;
};

// "--daily [DATE]": a word that begins with a digit is meant as the date.
option daily_option(play_request& request) {
  return {"--daily", true,
          [&request](std::string_view text) -> result<> {
            request.daily = true;
            if (text.empty()) {
              return {};
            }
            request.date = read_date(text);
            if (!request.date) {
              return failure{"--daily takes a date YYYY-MM-DD, not " + quoted_word(text)};
            }
            return {};
          },
          [](std::string_view word) { return !word.empty() && word[0] >= '0' && word[0] <= '9'; }};
}

// Says what is wrong with `word`, read as the directory to play: an empty
// name, or a word given with --campaign or --daily, meant as its value or one too many.
result<> check_directory_word(const play_request& request, const std::string& word) {
  if (word.empty()) {
    return failure{"DIR takes a directory, not an empty name"};
  }
  if (request.campaign && !request.campaign_number) {
    return failure{"--campaign takes a whole number from 1 to " + std::to_string(campaign_size()) +
                   ", not " + quoted_word(word)};
  }
  if (request.daily && !request.date) {
    return failure{"--daily takes a date YYYY-MM-DD, not " + quoted_word(word)};
  }
  if (request.campaign || request.daily) {
    return failure{quoted_word(word) + " is one word too many after " +
                   (request.campaign ? "--campaign " + std::to_string(*request.campaign_number)
                                     : "--daily " + date_text(*request.date))};
  }
  return {};
}

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
              }},
       optional_number_option("--campaign", request.campaign, request.campaign_number, 1,
                              campaign_size()),
       daily_option(request), flag_option("--progress", request.show_progress),
       flag_option("--no-save", request.no_save)},
      1);
  if (!words) {
    return failure{words.reason()};
  }
  request.help = words->help;
  request.version = words->version;
  if (request.help || request.version) {
    return {};
  }
  if (!words->operands.empty()) {
    request.directory = words->operands.front();
    if (const result<> named = check_directory_word(request, *request.directory); !named) {
      return named;
    }
  }
  if ((request.moves || request.seed) && !request.make_new) {
    return failure{"--moves and --seed go with --new"};
  }
  if (int{request.make_new} + int{request.text.has_value()} + int{request.directory.has_value()} +
          int{request.campaign} + int{request.daily} + int{request.show_progress} >
      1) {
    return failure{
        "play one level: a directory, --new, --level, --campaign or --daily; or ask for "
        "--progress alone"};
  }
  return {};
}

// A new level of `moves` moves, with the line that tells how to play it again.
std::optional<offered_level> make_offered_level(int moves, std::uint64_t seed,
                                                const maker_limits& limits = {},
                                                const maker_progress& progress = {}) {
  const std::optional<made_level> made = make_level(moves, seed, limits, progress);
  if (!made) {
    return std::nullopt;
  }
  return offer_made_level(*made);
}

// The directory as messages name it.
std::string directory_name(const std::filesystem::path& directory) {
  return directory.empty() ? "this directory" : quoted_path(directory);
}

// The level in `directory`; in a directory of numbered levels, as escape_levels
// --out writes them, the first of them, saying that the others are there.
result<offered_level> level_in_directory(const std::filesystem::path& directory) {
  const std::filesystem::path place = directory.empty() ? "." : directory;
  if (!holds_level_files(directory) && holds_level_files(place / "1")) {
    int count = 1;
    while (holds_level_files(place / std::to_string(count + 1))) {
      ++count;
    }
    const result<offered_level> first = level_in_directory(place / "1");
    if (!first || count == 1) {
      return first;
    }
    const std::string others = count == 2
                                   ? quoted_path(place / "2") + " holds one more level."
                                   : quoted_path(place / "2") + " to " +
                                         quoted_path(place / std::to_string(count)) + " hold " +
                                         std::to_string(count - 1) + " more levels.";
    return offered_level{first->level, "Playing " + quoted_path(place / "1") + "; " + others};
  }
  const result<play_level> level = read_level_directory(directory);
  if (!level) {
    return failure{"no level to play in " + directory_name(directory) + ": " + level.reason() +
                   ". Make one with escape_puzzle " +
                   (directory.empty() ? std::string("here") : "in " + quoted_path(directory)) +
                   ", or play a new one: escape_play --new, or escape_play --level TEXT."};
  }
  return offered_level{*level, {}};
}

// The new level the request asks for, or why there is none. While it is
// made, a line on `err` counts the seconds when `err_is_terminal`.
result<offered_level> new_level(const play_request& request, std::ostream& err,
                                bool err_is_terminal) {
  const int moves = request.moves.value_or(default_new_level_moves);
  std::optional<status_line> line;
  int shown = 0;
  maker_progress progress;
  if (err_is_terminal) {
    line.emplace(err).show(making_text(moves) + " 0 s");
    progress = [&](double seconds, int) {
      if (static_cast<int>(seconds) != shown) {
        shown = static_cast<int>(seconds);
        line->show(making_text(moves) + " " + std::to_string(shown) + " s");
      }
    };
  }
  std::optional<offered_level> made = make_offered_level(
      moves, request.seed ? *request.seed : std::random_device{}(), {}, progress);
  line.reset();
  if (!made) {
    return failure{"no level of " + std::to_string(moves) + " moves was found in time"};
  }
  return *made;
}

// The level the request asks for, or why there is none; `known` is the
// player's progress and `today` the date. While --new makes a level, a line
// on `err` says so when `err_is_terminal`.
result<offered_level> requested_level(const play_request& request, std::ostream& err,
                                      bool err_is_terminal, const progress& known,
                                      std::chrono::year_month_day today) {
  if (request.text) {
    const result<play_level> level = read_level_text(*request.text);
    if (!level) {
      return failure{level.reason()};
    }
    return offered_level{*level, {}};
  }
  if (request.make_new) {
    return new_level(request, err, err_is_terminal);
  }
  if (request.daily) {
    const std::chrono::year_month_day date = request.date.value_or(today);
    offered_level made = daily_level(date);
    made.replay = "--daily " + date_text(date);
    return made;
  }
  if (request.directory || (!request.campaign && holds_level_files(""))) {
    return level_in_directory(request.directory.value_or(""));
  }
  return campaign_level(request.campaign_number.value_or(first_unsolved(known)));
}

// One line a campaign level: its number, tier, fewest moves, the best moves
// or -, the stars, whether that escape was aided, the fastest unaided time,
// the attempts and the text form; then how many are solved.
void write_progress(const progress& known, std::ostream& out) {
  for (int number = 1; number <= campaign_size(); ++number) {
    const campaign_entry& entry = campaign_entries()[static_cast<std::size_t>(number - 1)];
    const level_record none;
    const level_record* found = record_of(known, number);
    const level_record& record = found != nullptr ? *found : none;
    const std::optional<level_best>& best = record.best;
    const bool aided = best && best->tips + best->solutions + best->peeks > 0;
    char line[192];
    std::snprintf(line, sizeof line,
                  "%2d  %-12s  fewest %2d  best %2s  %-3s  %-5s  fastest %7s  tries %2s  %s\n",
                  number, entry.tier, entry.moves, best ? std::to_string(best->moves).c_str() : "-",
                  best ? std::string(static_cast<std::size_t>(best->stars), '*').c_str() : "-",
                  aided ? "aided" : "-",
                  record.fastest ? clock_text(std::chrono::seconds(*record.fastest)).c_str() : "-",
                  record.attempts > 0 ? std::to_string(record.attempts).c_str() : "-", entry.text);
    out << line;
  }
  out << totals_line(known) << '\n';
}

// The exit status once `out` is flushed: `status`, or 1 after saying on
// `err` that standard output cannot be written.
int flushed(std::ostream& out, std::ostream& err, int status) {
  if (const result<> shown = flush_output(out); !shown) {
    err << "escape_play: " << shown.reason() << '\n';
    return 1;
  }
  return status;
}

}  // namespace

result<std::filesystem::path> progress_directory(const char* state_home, const char* home) {
  if (state_home != nullptr && std::filesystem::path(state_home).is_absolute()) {
    return std::filesystem::path(state_home) / "escape-puzzle";
  }
  if (home != nullptr && std::filesystem::path(home).is_absolute()) {
    return std::filesystem::path(home) / ".local" / "state" / "escape-puzzle";
  }
  return failure{"neither XDG_STATE_HOME nor HOME names an absolute directory"};
}

int run_play_command(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                     std::ostream& err, const play_setting& setting) {
  play_request request;
  if (const result<> read = read_request(arguments, request); !read) {
    err << "escape_play: " << read.reason() << '\n' << usage;
    return 2;
  }
  if (request.help || request.version) {
    if (request.help) {
      out << usage << help_text;
    } else {
      out << version_line("escape_play") << '\n';
    }
    return flushed(out, err, 0);
  }
  const std::chrono::year_month_day today =
      setting.today.value_or(utc_date(std::chrono::system_clock::now()));
  progress_store store{
      request.no_save ? "" : setting.progress_directory, date_text(today), {}, false};
  std::optional<std::string> loaded = load_progress(store);
  if (!request.no_save && store.directory.empty() && !setting.progress_not_kept.empty()) {
    loaded = "Progress is not kept: " + setting.progress_not_kept + ".";
  }
  if (request.show_progress) {
    if (loaded) {
      err << "escape_play: " << *loaded << '\n';
    }
    write_progress(store.known, out);
    return flushed(out, err, 0);
  }
  result<offered_level> level =
      requested_level(request, err, setting.error_is_terminal, store.known, today);
  if (!level) {
    // A text form that is no sound level is a bad argument, and gets the usage too.
    err << "escape_play: " << level.reason() << '\n' << (request.text ? usage : "");
    return request.text ? 2 : 1;
  }
  offered_level& offered = *level;
  if (loaded) {
    offered.about = *loaded + (offered.about.empty() ? "" : " " + offered.about);
  }
  // `n` and `new N` never give a puzzle played before in this game.
  const auto fresh = std::make_shared<fresh_levels>(offered.level);
  const session_setup setup{
      &store,
      [fresh](int moves, const std::atomic<bool>& stop) { return fresh->make(moves, &stop); },
      setting.clock};
  if (request.lines || !setting.full_screen) {
    return flushed(out, err, play_lines(offered, in, out, {setting.colour, setup}));
  }
  return setting.full_screen(offered, setup);
}
