// Makes the campaign's data file (src/game/campaign_levels.inc) again from the
// move counts and seeds pinned below, the same on every machine with any
// number of jobs: each level is the level maker's lean level of its moves from
// its seed, where every blocker matters (taking it away lowers the fewest
// moves).

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "game/campaign.h"
#include "model/level_text.h"
#include "program/command_line.h"
#include "search/level_maker.h"

namespace {

constexpr const char* usage = "usage: make_campaign [--out FILE] [--jobs J]\n";

constexpr const char* help_text =
    "Makes the campaign's levels from their pinned move counts and seeds and writes\n"
    "them as the data file that escape_play is built with, to FILE (written whole or\n"
    "not at all) or to standard output. Each level is the level maker's lean level\n"
    "of its moves from its seed: every blocker matters. The same on any machine\n"
    "with any number of jobs.\n"
    "  --out FILE  where to write, e.g. src/game/campaign_levels.inc\n"
    "  --jobs J    searches run at once (default 0: one on each core)\n";

// One planned level: its fewest moves and the maker's seed.
struct planned_level {
  int moves;
  std::uint64_t seed;
};

// The campaign, level 1 first; the seed is the level's number unless that
// seed's level is one that an earlier level already is.
constexpr planned_level plan[] = {
    {1, 1},   {2, 2},   {3, 3},   {4, 4},   {5, 5},   {5, 6},   {6, 7},   {6, 8},   {7, 9},
    {8, 10},  {9, 11},  {10, 12}, {11, 13}, {12, 14}, {13, 15}, {14, 16}, {15, 17}, {16, 18},
    {16, 19}, {17, 20}, {18, 21}, {18, 22}, {19, 23}, {20, 24}, {21, 25}, {22, 26}, {23, 27},
    {24, 28}, {25, 29}, {26, 30}, {26, 31}, {27, 32}, {28, 33}, {28, 34}, {29, 35}, {30, 36},
    {31, 37}, {32, 38}, {33, 39}, {34, 40}, {35, 41}, {36, 42}, {36, 43}, {37, 44}, {38, 45},
    {38, 46}, {39, 47}, {40, 48}, {41, 49}, {42, 50}, {43, 51}, {44, 52}, {45, 53}, {46, 54},
    {46, 55}, {47, 56}, {48, 57}, {48, 58}, {49, 59}, {50, 60}};

// The data file's text, made with `jobs` searches at once, or nothing after
// saying on standard error why not.
std::optional<std::string> make_data(int jobs) {
  std::string data =
      "// The campaign's levels: tier, fewest moves, the level maker's seed, text form.\n"
      "// Made by tools/make_campaign.cpp; do not edit. To make it again:\n"
      "//   cmake --build build --target make_campaign\n"
      "//   build/make_campaign --out src/game/campaign_levels.inc\n";
  std::map<std::string, int> made;  // text form -> level number
  for (std::size_t i = 0; i < std::size(plan); ++i) {
    const int number = static_cast<int>(i) + 1;
    const auto [moves, seed] = plan[i];
    // No time bound that could end a search early, so the seed alone decides the level.
    const std::optional<made_level> level =
        make_level(moves, seed, maker_limits{86400, 0, jobs, nullptr}, {}, true);
    const campaign_tier* tier = tier_for(moves);
    if (!level || tier == nullptr) {
      std::cerr << "make_campaign: no level " << number << " of " << moves << " moves\n";
      return std::nullopt;
    }
    const std::string text = level_text(level->level);
    if (const auto [other, fresh] = made.emplace(text, number); !fresh) {
      std::cerr << "make_campaign: levels " << other->second << " and " << number
                << " are the same board; give level " << number << " another seed\n";
      return std::nullopt;
    }
    std::cerr << "level " << number << ": " << moves << " moves, seed " << seed << ", "
              << level->seconds << " s\n";
    data += "{\"" + std::string(tier->name) + "\", " + std::to_string(moves) + ", " +
            std::to_string(seed) + ", \"" + text + "\"},\n";
  }
  return data;
}

// Writes the text to `file` through a temporary file renamed into place.
bool write_whole(const std::string& file, const std::string& text) {
  const std::string partial = file + ".partial";
  std::ofstream out(partial, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out || std::rename(partial.c_str(), file.c_str()) != 0) {
    std::remove(partial.c_str());
    std::cerr << "make_campaign: cannot write " << file << '\n';
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::string> out;
  std::optional<int> jobs;
  const result<command_words> words =
      read_command_line(std::vector<std::string>(argv + 1, argv + argc),
                        {text_option("--out", out, "a file name"), jobs_option(jobs)});
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
  const std::optional<std::string> data = make_data(jobs.value_or(0));
  if (!data) {
    return 1;
  }
  if (!out) {
    std::cout << *data;
    return flush_output(std::cout) ? 0 : 1;
  }
  return write_whole(*out, *data) ? 0 : 1;
}
