// Makes the puzzle bank's data file (src/search/puzzle_bank.inc) again. It
// runs the level maker's climbs 0 to pinned_climbs - 1 (each a pure function
// of the seed and its number), then floods the layouts around the hard ones
// they met: every layout one change (a piece added, taken away, or replaced)
// from a layout of flood_least_moves moves or more is measured, as long as
// new such layouts turn up. It keeps every puzzle of bank_least_moves moves or
// more of those layouts: the same bytes on every machine with any number of
// jobs.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "model/level_text.h"
#include "program/command_line.h"
#include "search/fewest_moves.h"
#include "search/layout_climb.h"
#include "search/position_table.h"
#include "search/puzzle_identity.h"
#include "tools/data_file.h"

namespace {

constexpr const char* usage = "usage: make_puzzle_bank [--out FILE] [--jobs J] [--climbs K]\n";

constexpr const char* help_text =
    "Runs the pinned climbs of the level maker, floods the layouts around the hard ones\n"
    "they met, and writes every puzzle of 36 moves or more of those layouts as the data\n"
    "file of the puzzle bank, to FILE (written whole or not at all) or to standard\n"
    "output. The same on any machine with any number of jobs. Says on standard error\n"
    "how it goes and how many puzzles of each count it keeps.\n"
    "  --out FILE   where to write, e.g. src/search/puzzle_bank.inc\n"
    "  --jobs J     layouts measured at once (default 0: one on each core)\n"
    "  --climbs K   run K climbs instead of the pinned number, to try\n";

// The seed of the climbs, how many run, and the layouts each measures at most.
constexpr std::uint64_t climb_seed = 25;
constexpr int pinned_climbs = 10;
constexpr std::uint64_t layouts_per_climb = 30'000;
// The flood goes on from layouts whose hardest positions need this many moves or more.
constexpr int flood_least_moves = 31;
// The bank keeps the puzzles whose hardest positions need this many moves or more.
constexpr int bank_least_moves = 36;

// A layout: the pieces of its blockers in increasing order.
using layout_pieces = std::vector<piece_code>;

// The layout of `pieces`, each at the start of its line.
play_level layout_of(const layout_pieces& pieces) {
  play_level layout;
  layout.prisoner = block_on_line<play_block>(true, 2, prisoner_row, 0);
  for (const piece_code piece : pieces) {
    layout.blockers.push_back(
        block_on_line<play_block>(piece >= 12, piece % 12 >= 6 ? 3 : 2, piece % 6, 0));
  }
  return layout;
}

// The pieces of `layout` in increasing order.
layout_pieces pieces_of(const play_level& layout) {
  layout_pieces pieces;
  for (const play_block& blocker : layout.blockers) {
    pieces.push_back(piece_of(blocker));
  }
  std::sort(pieces.begin(), pieces.end());
  return pieces;
}

// The seconds since the tool began.
double seconds() {
  static const auto began = std::chrono::steady_clock::now();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

// Calls work(i) for every i from 0 to count - 1 on `jobs` threads.
template <class job>
void on_threads(std::size_t count, int jobs, const job& work) {
  std::atomic<std::size_t> next{0};
  std::vector<std::thread> threads;
  for (int j = 0; j < jobs; ++j) {
    threads.emplace_back([&] {
      for (std::size_t i; (i = next++) < count;) {
        work(i);
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
}

// The layouts of flood_least_moves moves or more that climb `number` measured.
std::set<layout_pieces> hard_layouts_of_climb(std::uint64_t number) {
  climb live(climb_seed, number, hardest_wanted);
  position_table measured;
  fewest_moves_map map;
  std::set<layout_pieces> hard;
  for (std::uint64_t k = 0; k < layouts_per_climb; ++k) {
    const std::optional<drawn_layout> drawn =
        live.draw([&](std::uint64_t digest) { return measured.number_of(digest).has_value(); });
    if (!drawn) {
      break;
    }
    const int tried = map.measure(drawn->layout, most_positions) ? map.farthest() : -1;
    measured.add(drawn->digest);
    if (tried >= flood_least_moves) {
      hard.insert(pieces_of(drawn->layout));
    }
    if (live.changed_by(*drawn, tried)) {
      (void)live.take(*drawn, tried, [&]() -> const fewest_moves_map& { return map; });
    }
  }
  return hard;
}

// Every layout one change from `pieces`.
std::set<layout_pieces> neighbours_of(const layout_pieces& pieces) {
  std::set<layout_pieces> near;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    layout_pieces fewer = pieces;
    fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(i));
    if (!fewer.empty()) {
      near.insert(fewer);
    }
    for (piece_code other = 0; other < 24; ++other) {
      layout_pieces changed = pieces;
      changed[i] = other;
      std::sort(changed.begin(), changed.end());
      near.insert(changed);
    }
  }
  for (piece_code added = 0; added < 24 && pieces.size() < max_blockers; ++added) {
    layout_pieces more = pieces;
    more.push_back(added);
    std::sort(more.begin(), more.end());
    near.insert(more);
  }
  near.erase(pieces);
  return near;
}

// The hard layouts of the climbs and of the flood around them.
std::set<layout_pieces> hard_layouts(int climbs, int jobs) {
  std::vector<std::set<layout_pieces>> of_climb(static_cast<std::size_t>(climbs));
  on_threads(of_climb.size(), jobs, [&](std::size_t i) { of_climb[i] = hard_layouts_of_climb(i); });
  std::set<layout_pieces> hard;
  for (const std::set<layout_pieces>& layouts : of_climb) {
    hard.insert(layouts.begin(), layouts.end());
  }
  std::cerr << climbs << " climbs: " << hard.size() << " hard layouts, " << seconds() << " s\n";
  std::set<layout_pieces> seen = hard;
  std::vector<layout_pieces> frontier(hard.begin(), hard.end());
  while (!frontier.empty()) {
    std::vector<layout_pieces> near;
    for (const layout_pieces& pieces : frontier) {
      for (const layout_pieces& other : neighbours_of(pieces)) {
        if (seen.insert(other).second) {
          near.push_back(other);
        }
      }
    }
    std::vector<int> tried(near.size());
    on_threads(near.size(), jobs, [&](std::size_t i) {
      fewest_moves_map map;
      tried[i] = map.measure(layout_of(near[i]), most_positions) ? map.farthest() : -1;
    });
    frontier.clear();
    for (std::size_t i = 0; i < near.size(); ++i) {
      if (tried[i] >= flood_least_moves) {
        frontier.push_back(near[i]);
        hard.insert(near[i]);
      }
    }
    std::cerr << "flood: " << near.size() << " layouts measured, " << frontier.size() << " hard, "
              << seconds() << " s\n";
  }
  return hard;
}

// Every puzzle of bank_least_moves moves or more of the layouts once, hardest first, then by
// identity.
std::vector<held_puzzle> bank_of(const std::set<layout_pieces>& layouts, int jobs) {
  const std::vector<layout_pieces> all(layouts.begin(), layouts.end());
  std::vector<std::vector<held_puzzle>> held(all.size());
  on_threads(all.size(), jobs, [&](std::size_t i) {
    held[i] = puzzles_of(layout_of(all[i]), bank_least_moves, most_positions);
  });
  std::map<puzzle_identity, held_puzzle> unique;
  for (std::vector<held_puzzle>& puzzles : held) {
    for (held_puzzle& puzzle : puzzles) {
      unique.emplace(puzzle.identity, std::move(puzzle));
    }
  }
  std::vector<held_puzzle> bank;
  for (auto& [identity, puzzle] : unique) {
    bank.push_back(std::move(puzzle));
  }
  std::stable_sort(bank.begin(), bank.end(),
                   [](const held_puzzle& a, const held_puzzle& b) { return a.moves > b.moves; });
  std::map<int, int> per_count;
  for (const held_puzzle& puzzle : bank) {
    ++per_count[puzzle.moves];
  }
  for (const auto& [moves, count] : per_count) {
    std::cerr << moves << " moves: " << count << " puzzles\n";
  }
  return bank;
}

// The position's text form with its blockers lettered in reading order.
std::string reading_text(play_level level) {
  std::sort(
      level.blockers.begin(), level.blockers.end(),
      [](const play_block& a, const play_block& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  return level_text(level);
}

// The data file's text.
std::string data_of(const std::vector<held_puzzle>& bank) {
  std::string data =
      "// The puzzle bank: the fewest moves of each puzzle's hardest positions and the\n"
      "// least of them. Made by tools/make_puzzle_bank.cpp; do not edit. To make it again:\n"
      "//   cmake --build build --target make_puzzle_bank\n"
      "//   build/make_puzzle_bank --out src/search/puzzle_bank.inc\n";
  for (const held_puzzle& puzzle : bank) {
    data += "{" + std::to_string(puzzle.moves) + ", \"" + reading_text(puzzle.hardest) + "\"},\n";
  }
  return data;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::string> out;
  std::optional<int> jobs;
  std::optional<int> climbs;
  const result<command_words> words =
      read_command_line(std::vector<std::string>(argv + 1, argv + argc),
                        {text_option("--out", out, "a file name"), jobs_option(jobs),
                         whole_number_option("--climbs", climbs, 1, 100'000)});
  if (!words) {
    std::cerr << "make_puzzle_bank: " << words.reason() << '\n' << usage;
    return 2;
  }
  if (words->help) {
    std::cout << usage << help_text;
    return flush_output(std::cout) ? 0 : 1;
  }
  if (words->version) {
    std::cout << version_line("make_puzzle_bank") << '\n';
    return flush_output(std::cout) ? 0 : 1;
  }
  seconds();  // the clock starts
  const int threads = jobs.value_or(0) > 0
                          ? *jobs
                          : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  const std::string data =
      data_of(bank_of(hard_layouts(climbs.value_or(pinned_climbs), threads), threads));
  if (!out) {
    std::cout << data;
    return flush_output(std::cout) ? 0 : 1;
  }
  return write_data_file("make_puzzle_bank", *out, data) ? 0 : 1;
}
