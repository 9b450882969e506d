// Makes the campaign's data file (src/game/campaign_levels.inc) and the
// levels of the day (src/game/daily_levels.inc) again from the move counts
// and seeds pinned below, the same on every machine with any number of jobs.
// Every level is the level maker's lean level (every blocker matters: taking
// it away lowers the fewest moves) of its moves from the first seed, from the
// pinned one on, whose level is neither one puzzle with nor a variant of any
// level made before it. The levels are made hardest first, so that the few
// puzzles of many moves go to the campaign.

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "game/campaign.h"
#include "game/daily_level.h"
#include "model/level_text.h"
#include "program/command_line.h"
#include "search/level_maker.h"
#include "tools/data_file.h"

namespace {

constexpr const char* usage = "usage: make_campaign [--out FILE] [--daily-out FILE] [--jobs J]\n";

constexpr const char* help_text =
    "Makes the campaign's levels from their pinned move counts and seeds, then the\n"
    "levels of the day, and writes them as the data files that escape_play is built\n"
    "with (each whole or not at all), or the campaign's to standard output. No two\n"
    "levels are one puzzle or variants, save where a count of the day has too few\n"
    "puzzles: then only variants, said on standard error. The same on any machine\n"
    "with any number of jobs.\n"
    "  --out FILE        the campaign's file, e.g. src/game/campaign_levels.inc\n"
    "  --daily-out FILE  the levels of the day, e.g. src/game/daily_levels.inc\n"
    "  --jobs J          searches run at once (default 0: one on each core)\n";

// One planned level: its fewest moves and the maker's first seed.
struct planned_level {
  int moves;
  std::uint64_t seed;
};

// The campaign, level 1 first; the seed is the level's number.
constexpr planned_level plan[] = {
    {1, 1},   {2, 2},   {3, 3},   {4, 4},   {5, 5},   {5, 6},   {6, 7},   {6, 8},   {7, 9},
    {8, 10},  {9, 11},  {10, 12}, {11, 13}, {12, 14}, {13, 15}, {14, 16}, {15, 17}, {16, 18},
    {16, 19}, {17, 20}, {18, 21}, {18, 22}, {19, 23}, {20, 24}, {21, 25}, {22, 26}, {23, 27},
    {24, 28}, {25, 29}, {26, 30}, {26, 31}, {27, 32}, {28, 33}, {28, 34}, {29, 35}, {30, 36},
    {31, 37}, {32, 38}, {33, 39}, {34, 40}, {35, 41}, {36, 42}, {36, 43}, {37, 44}, {38, 45},
    {38, 46}, {39, 47}, {40, 48}, {41, 49}, {42, 50}, {43, 51}, {44, 52}, {45, 53}, {46, 54},
    {46, 55}, {47, 56}, {48, 57}, {48, 58}, {49, 59}, {50, 60}};

// Levels of the day of each count: as many as this where the board holds
// enough different puzzles, and never fewer than a weekday has days in a year.
constexpr int daily_levels_per_count = 64;
constexpr int days_of_a_weekday = 53;
// The first seed of the levels of the day of `moves` moves.
constexpr std::uint64_t daily_first_seed(int moves) {
  return 100'000 * static_cast<std::uint64_t>(moves);
}

// A level made for a data file.
struct kept_level {
  int moves = 0;
  std::uint64_t seed = 0;
  std::string text;
};

// The levels made so far: none of them again, nor (in `strict`) a variant.
struct made_so_far {
  puzzle_set strict;
  puzzle_set loose{true};

  void add(const made_level& made) {
    remember_made(strict, made);
    remember_made(loose, made);
  }
};

// The lean level of `moves` moves from the first seed from `seed` on whose
// level is none of `made`; with `loose`, variants of them allowed.
std::optional<kept_level> make_one(int moves, std::uint64_t seed, made_so_far& made, bool loose,
                                   int jobs) {
  // No time bound that could end a search early, so the seeds alone decide the level.
  const std::optional<made_level> level =
      make_new_level(moves, seed, loose ? made.loose : made.strict,
                     maker_limits{86400, 0, jobs, nullptr}, {}, true);
  if (!level) {
    return std::nullopt;
  }
  made.add(*level);
  return kept_level{moves, level->seed, level_text(level->level)};
}

// The campaign's levels, level 1 first, or nothing after saying why not.
std::optional<std::vector<kept_level>> make_campaign_levels(made_so_far& made, int jobs) {
  std::vector<std::size_t> order(std::size(plan));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [](std::size_t a, std::size_t b) { return plan[a].moves > plan[b].moves; });
  std::vector<kept_level> levels(std::size(plan));
  for (const std::size_t i : order) {
    const std::optional<kept_level> level =
        make_one(plan[i].moves, plan[i].seed, made, false, jobs);
    if (!level || tier_for(plan[i].moves) == nullptr) {
      std::cerr << "make_campaign: no level " << i + 1 << " of " << plan[i].moves << " moves\n";
      return std::nullopt;
    }
    std::cerr << "level " << i + 1 << ": " << level->moves << " moves, seed " << level->seed
              << '\n';
    levels[i] = *level;
  }
  return levels;
}

// The levels of the day of each count, the hardest first, or nothing after
// saying why not. Where no other puzzle is left, a count takes variants of
// levels made before, as few as make up a year's days.
std::optional<std::vector<kept_level>> make_daily_levels(made_so_far& made, int jobs) {
  std::vector<kept_level> levels;
  for (int weekday = 6; weekday >= 0; --weekday) {
    const int moves = daily_moves_of_weekday(weekday);
    std::uint64_t seed = daily_first_seed(moves);
    int count = 0;
    int variants = 0;
    for (bool loose = false; count < daily_levels_per_count; ++count) {
      std::optional<kept_level> level;
      if (!loose && !(level = make_one(moves, seed, made, false, jobs))) {
        loose = true;
      }
      if (loose && count == days_of_a_weekday) {
        break;
      }
      if (loose && (level = make_one(moves, seed, made, true, jobs))) {
        ++variants;
      }
      if (!level) {
        std::cerr << "make_campaign: only " << count << " levels of the day of " << moves
                  << " moves\n";
        return std::nullopt;
      }
      seed = level->seed + 1;
      levels.push_back(*level);
    }
    std::cerr << "levels of the day of " << moves << " moves: " << count << ", " << variants
              << " of them variants of levels made before\n";
  }
  return levels;
}

// The text of a data file of `levels`, below the lines of `header`.
std::string data_of(const std::string& header, const std::vector<kept_level>& levels,
                    bool with_tier) {
  std::string data = header;
  for (const kept_level& level : levels) {
    data += "{" + (with_tier ? "\"" + std::string(tier_for(level.moves)->name) + "\", " : "") +
            std::to_string(level.moves) + ", " + std::to_string(level.seed) + ", \"" + level.text +
            "\"},\n";
  }
  return data;
}

const char* const campaign_header =
    "// The campaign's levels: tier, fewest moves, the level maker's seed, text form.\n"
    "// Made by tools/make_campaign.cpp; do not edit. To make it again:\n"
    "//   cmake --build build --target make_campaign\n"
    "//   build/make_campaign --out src/game/campaign_levels.inc "
    "--daily-out src/game/daily_levels.inc\n";

const char* const daily_header =
    "// The levels of the day: fewest moves, the level maker's seed, text form; at\n"
    "// least 53 of each count, Sunday's first. Made by tools/make_campaign.cpp with\n"
    "// the campaign's levels; do not edit.\n";

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::string> out;
  std::optional<std::string> daily_out;
  std::optional<int> jobs;
  const result<command_words> words =
      read_command_line(std::vector<std::string>(argv + 1, argv + argc),
                        {text_option("--out", out, "a file name"),
                         text_option("--daily-out", daily_out, "a file name"), jobs_option(jobs)});
  if (!words) {
    std::cerr << "make_campaign: " << words.reason() << '\n' << usage;
    return 2;
  }
  if (words->help) {
    std::cout << usage << help_text;
    return flush_output(std::cout) ? 0 : 1;
  }
  if (words->version) {
    std::cout << version_line("make_campaign") << '\n';
    return flush_output(std::cout) ? 0 : 1;
  }
  made_so_far made;
  const std::optional<std::vector<kept_level>> campaign =
      make_campaign_levels(made, jobs.value_or(0));
  if (!campaign) {
    return 1;
  }
  const std::string campaign_data = data_of(campaign_header, *campaign, true);
  if (!out) {
    std::cout << campaign_data;
    return flush_output(std::cout) ? 0 : 1;
  }
  if (daily_out) {
    const std::optional<std::vector<kept_level>> daily = make_daily_levels(made, jobs.value_or(0));
    if (!daily ||
        !write_data_file("make_campaign", *daily_out, data_of(daily_header, *daily, false))) {
      return 1;
    }
  }
  return write_data_file("make_campaign", *out, campaign_data) ? 0 : 1;
}
