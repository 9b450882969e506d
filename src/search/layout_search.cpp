#include "search/layout_search.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace {

// How often a search looks at its clock, its stop flag and its progress.
constexpr std::chrono::milliseconds look_interval{20};
// A search for the hardest level counts the puzzles it met at the most moves
// it found and at this many counts below.
constexpr int counts_met_below = 2;

}  // namespace

layout_search::layout_search(std::uint64_t seed, int wanted, const maker_limits& limits,
                             const maker_progress& progress)
    : seed_(seed),
      wanted_(wanted),
      deepest_(wanted == hardest_wanted ? fewest_moves_map::any_moves : wanted),
      limits_(limits),
      progress_(progress),
      jobs_(limits.jobs > 0 ? limits.jobs
                            : std::max(1, static_cast<int>(std::thread::hardware_concurrency()))),
      pool_(jobs_, most_positions) {}

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

void layout_search::count_met(const measurement& measured) {
  for (const held_puzzle& puzzle : measured.puzzles) {
    met_[puzzle.moves].insert(puzzle.identity);
  }
  met_.erase(met_.begin(), met_.lower_bound(hardest_ - counts_met_below));
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
    const int puzzles_from =
        wanted_ == hardest_wanted ? std::max(1, hardest_ - counts_met_below) : -1;
    std::shared_ptr<measurement> measured = pool_.measure(drawn->layout, deepest_, puzzles_from);
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
    count_met(*front);
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
      best_ = search_result{*found, number, layouts_, {}};
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
    for (auto count = met_.rbegin(); count != met_.rend(); ++count) {
      best_->met.push_back({count->first, static_cast<int>(count->second.size())});
    }
  }
  return best_;
}
