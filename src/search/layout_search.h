// The level maker's search: climbs run one after another, the layouts each
// draws measured on several threads at once, with the result a single thread
// gives.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "model/level.h"
#include "search/fewest_moves.h"
#include "search/layout_climb.h"
#include "search/measuring_pool.h"
#include "search/position_table.h"
#include "search/puzzle_identity.h"

// How a search runs and when it gives up. A search is a row of climbs numbered
// 0, 1, 2 ..., each a pure function of the seed and its number, run one after
// another; the layouts a climb draws are measured on `jobs` threads at once,
// and the result is the one a single thread gives.
struct maker_limits {
  // Seconds of the clock before the search gives up; a search goes on at
  // least until some layout lets the prisoner out.
  double seconds = 60;
  // Layouts (sets of pieces on their rows and columns) measured before the
  // search gives up, counted climb after climb in the order each climb drew
  // them; 0: no bound.
  std::uint64_t layouts = 0;
  // Threads that measure layouts; 0: one for each core.
  int jobs = 0;
  // When set (it may be set from another thread), the search returns nothing
  // within about a tenth of a second.
  const std::atomic<bool>* stop = nullptr;
};

// Told the seconds spent and the most moves any level found so far needs,
// whenever that grows and about ten times a second while a search runs, on
// the thread that called the maker.
using maker_progress = std::function<void(double seconds, int hardest)>;

// How many different puzzles a search for the hardest level met whose
// hardest positions need `moves` moves.
struct puzzles_met {
  int moves = 0;
  int puzzles = 0;

  bool operator==(const puzzles_met&) const = default;
};

// What a search found.
struct search_result {
  climb_find find;
  std::uint64_t climb = 0;    // the number of the climb that found it
  std::uint64_t layouts = 0;  // layouts measured up to it, or in all
  // For the hardest level: the puzzles met at the most moves found and the
  // two counts below, the most first.
  std::vector<puzzles_met> met;
};

// A search: climbs 0, 1, 2 ... one after another, each climb's layouts
// measured on every job at once, ahead of the climb's decisions. A climb
// decides on its layouts in the order it drew them; when a layout changes
// it, the layouts drawn after it are thrown away and drawn again, so the
// result is the one a single job gives.
class layout_search {
 public:
  // A search with this seed for a level of `wanted` moves, or for
  // hardest_wanted the hardest; its clock starts now.
  layout_search(std::uint64_t seed, int wanted, const maker_limits& limits,
                const maker_progress& progress);

  // Runs climbs until one finds its level (make_level) or the limits end the
  // search; the level, or for hardest_wanted the hardest level found first.
  // Nothing when stopped, or when no climb found a level.
  std::optional<search_result> run();

  // Seconds since the search began.
  double seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began_).count();
  }
  // Positions explored by every job, those thrown away included.
  std::uint64_t positions() {
    return pool_.positions();
  }

 private:
  // A layout drawn, the climb as it was just after drawing it, and its measurement.
  struct pending_layout {
    drawn_layout drawn;
    climb after;
    std::shared_ptr<measurement> measured;
  };

  // Runs climb `number`; false when the search ends with it.
  bool run_climb(std::uint64_t number);
  // Draws layouts to measure until the window is full; false at the climb's end.
  bool draw_ahead(climb& live);
  // The first pending layout's measurement; nothing when the search must end.
  std::optional<measurement> first_measured();
  // Reports progress; true when the search must end now.
  bool out_of_limits();
  // Drops every pending layout, measured or not.
  void drop_all();
  // Keeps the puzzles a search for the hardest level met in `measured`.
  void count_met(const measurement& measured);

  std::uint64_t seed_;
  int wanted_;
  int deepest_;
  maker_limits limits_;
  maker_progress progress_;
  int jobs_;
  std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
  measuring_pool pool_;
  std::deque<pending_layout> pending_;
  position_table measured_;  // the digests of the layouts the climb measured
  fewest_moves_map found_map_;
  std::uint64_t layouts_ = 0;  // measured in climb order
  int hardest_ = -1;           // of all layouts measured
  int told_ = -1;
  double told_at_ = 0;
  bool stopped_ = false;
  std::optional<search_result> best_;
  // The puzzles met at the best counts, by their hardest positions' moves.
  std::map<int, std::set<puzzle_identity>> met_;
};
