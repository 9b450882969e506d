#include "search/level_maker.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <memory>
#include <thread>
#include <utility>

#include "search/fewest_moves.h"
#include "search/layout_climb.h"
#include "search/measuring_pool.h"
#include "search/play_solver.h"
#include "search/position_table.h"

namespace {

// How often a search looks at its clock, its stop flag and its progress.
constexpr std::chrono::milliseconds look_interval{20};

using clock_type = std::chrono::steady_clock;

// What a search found.
struct search_result {
  climb_find find;
  std::uint64_t climb = 0;    // the number of the climb that found it
  std::uint64_t layouts = 0;  // layouts measured up to it, or in all
};

// A search: climbs 0, 1, 2 ... one after another, each climb's layouts
// measured on every job at once, ahead of the climb's decisions. A climb
// decides on its layouts in the order it drew them; when a layout changes
// it, the layouts drawn after it are thrown away and drawn again, so the
// result is the one a single job gives.
class layout_search {
 public:
  layout_search(std::uint64_t seed, int wanted, const maker_limits& limits,
                const maker_progress& progress)
      : seed_(seed),
        wanted_(wanted),
        deepest_(wanted == hardest_wanted ? fewest_moves_map::any_moves : wanted),
        limits_(limits),
        progress_(progress),
        jobs_(limits.jobs > 0 ? limits.jobs
                              : std::max(1, static_cast<int>(std::thread::hardware_concurrency()))),
        pool_(jobs_, most_positions) {}

  // Runs climbs until one finds its level (make_level) or the limits end the
  // search; the level, or for hardest_wanted the hardest level found first.
  // Nothing when stopped, or when no climb found a level.
  std::optional<search_result> run();

  double seconds() const {
    return std::chrono::duration<double>(clock_type::now() - began_).count();
  }
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

  std::uint64_t seed_;
  int wanted_;
  int deepest_;
  maker_limits limits_;
  maker_progress progress_;
  int jobs_;
  clock_type::time_point began_ = clock_type::now();
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
};

// Reports progress; true when the search must end now.
bool layout_search::out_of_limits() {
  if (limits_.stop != nullptr && limits_.stop->load()) {
    stopped_ = true;
    return true;
  }
  const double now = seconds();
  if (progress_ && hardest_ >= 0 && (hardest_ > told_ || now - told_at_ >= 0.1)) {
    told_ = hardest_;
    told_at_ = now;
    progress_(now, hardest_);
    if (limits_.stop != nullptr && limits_.stop->load()) {
      stopped_ = true;
      return true;
    }
  }
  return now >= limits_.seconds && hardest_ >= 0;
}

void layout_search::drop_all() {
  for (pending_layout& layout : pending_) {
    pool_.drop(*layout.measured);
  }
  pending_.clear();
}

// Draws layouts of `live` to measure until the window of pending layouts is
// full; false when the climb drew its last layout.
bool layout_search::draw_ahead(climb& live) {
  const std::size_t window = 2 * static_cast<std::size_t>(jobs_);
  const auto known = [&](std::uint64_t digest) {
    return measured_.number_of(digest) ||
           std::any_of(pending_.begin(), pending_.end(),
                       [&](const pending_layout& p) { return p.drawn.digest == digest; });
  };
  while (pending_.size() < window &&
         (limits_.layouts == 0 || layouts_ + pending_.size() < limits_.layouts)) {
    std::optional<drawn_layout> drawn = live.draw(known);
    if (!drawn) {
      return false;
    }
    std::shared_ptr<measurement> measured = pool_.measure(drawn->layout, deepest_);
    pending_.push_back({std::move(*drawn), live, std::move(measured)});
  }
  return true;
}

// The measurement of the first pending layout; nothing, with every pending
// layout dropped, when the search must end.
std::optional<measurement> layout_search::first_measured() {
  std::optional<measurement> first;
  while (!(first = pool_.wait_for(*pending_.front().measured, look_interval))) {
    if (out_of_limits()) {
      drop_all();
      return std::nullopt;
    }
  }
  if (out_of_limits()) {
    drop_all();
    return std::nullopt;
  }
  return first;
}

// Runs climb `number`; false when the search ends with it.
bool layout_search::run_climb(std::uint64_t number) {
  climb live(seed_, number, wanted_);
  measured_.clear();
  bool ended = false;  // the live climb drew its last layout
  for (;;) {
    if (!ended) {
      ended = !draw_ahead(live);
    }
    if (pending_.empty()) {
      return ended;  // its end, or the bound of layouts
    }
    const std::optional<measurement> front = first_measured();
    if (!front) {
      return false;
    }
    pending_layout& first = pending_.front();
    ++layouts_;
    hardest_ = std::max(hardest_, front->tried);
    const bool forgets = measured_.size() == most_remembered;
    if (forgets) {
      measured_.clear();
    }
    measured_.add(first.drawn.digest);
    if (!forgets && !first.after.changed_by(first.drawn, front->tried)) {
      pending_.pop_front();
      continue;
    }
    live = first.after;
    const std::optional<climb_find> found =
        live.take(first.drawn, front->tried, [&]() -> const fewest_moves_map& {
          found_map_.measure(first.drawn.layout, most_positions, deepest_);
          return found_map_;
        });
    drop_all();
    ended = false;
    if (found && (!best_ || found->moves > best_->find.moves)) {
      best_ = search_result{*found, number, layouts_};
      if (wanted_ != hardest_wanted) {
        return false;
      }
    }
  }
}

std::optional<search_result> layout_search::run() {
  for (std::uint64_t number = 0; run_climb(number); ++number) {
  }
  if (stopped_ || !best_) {
    return std::nullopt;
  }
  if (wanted_ == hardest_wanted) {
    best_->layouts = layouts_;
  }
  return best_;
}

// The level with each blocker that does not matter taken away, one after
// another in reading order; nothing when stopped. Once a blocker matters it
// goes on mattering as others that do not are taken away, so one pass does.
std::optional<play_level> lean_level(play_level level, int moves, const std::atomic<bool>* stop) {
  for (std::size_t i = 0; i < level.blockers.size() && level.blockers.size() > 1;) {
    if (stop != nullptr && stop->load()) {
      return std::nullopt;
    }
    play_level without = level;
    without.blockers.erase(without.blockers.begin() + static_cast<std::ptrdiff_t>(i));
    if (solve_level(without).value().size() == static_cast<std::size_t>(moves)) {
      level = std::move(without);
    } else {
      ++i;
    }
  }
  return level;
}

// The made level: blockers in reading order (lean when asked).
std::optional<made_level> finish(layout_search& search, const search_result& result,
                                 std::uint64_t seed, bool lean, const std::atomic<bool>* stop) {
  play_level level = result.find.level;
  std::sort(
      level.blockers.begin(), level.blockers.end(),
      [](const play_block& a, const play_block& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  if (lean) {
    std::optional<play_level> leaner = lean_level(std::move(level), result.find.moves, stop);
    if (!leaner) {
      return std::nullopt;
    }
    level = std::move(*leaner);
  }
  return made_level{std::move(level), result.find.moves,  seed,        search.seconds(),
                    result.layouts,   search.positions(), result.climb};
}

}  // namespace

std::optional<made_level> make_level(int moves, std::uint64_t seed, const maker_limits& limits,
                                     const maker_progress& progress, bool lean) {
  if (moves < 0) {
    return std::nullopt;
  }
  layout_search search(seed, moves, limits, progress);
  const std::optional<search_result> result = search.run();
  if (!result) {
    return std::nullopt;
  }
  return finish(search, *result, seed, lean, limits.stop);
}

std::optional<made_level> make_hardest_level(std::uint64_t seed, const maker_limits& limits,
                                             const maker_progress& progress) {
  layout_search search(seed, hardest_wanted, limits, progress);
  const std::optional<search_result> result = search.run();
  if (!result) {
    return std::nullopt;
  }
  return finish(search, *result, seed, false, limits.stop);
}
