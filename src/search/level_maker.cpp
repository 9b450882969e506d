#include "search/level_maker.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "search/fewest_moves.h"
#include "search/play_solver.h"

namespace {

// xoshiro256** seeded through splitmix64: a fixed algorithm, so one seed draws
// the same numbers on every machine.
class random_source {
 public:
  explicit random_source(std::uint64_t seed) {
    for (std::uint64_t& word : state_) {
      seed += 0x9e3779b97f4a7c15u;
      std::uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
      z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
      word = z ^ (z >> 31);
    }
  }

  std::uint64_t next() {
    const std::uint64_t result = rotl(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotl(state_[3], 45);
    return result;
  }

  // A number from 0 to n - 1, for 1 <= n < 2^31.
  int below(int n) {
    return static_cast<int>(((next() >> 32) * static_cast<std::uint64_t>(n)) >> 32);
  }

  // True with probability `percent` in a hundred.
  bool chance(int percent) {
    return below(100) < percent;
  }

 private:
  static std::uint64_t rotl(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
  }

  std::uint64_t state_[4] = {};
};

// Layouts with more positions than this are too loose to be hard: a climb
// leaves them before measuring them all.
constexpr std::uint32_t most_positions = 50'000;
// A climb that found nothing harder in this many tries in a row has stalled.
constexpr int tries_before_stall = 200;
// A stalled climb goes back to the hardest layout it found and makes this
// many changes at once, and ends when it has done so this many times in a row
// without finding anything harder.
constexpr int changes_in_a_jump = 2;
constexpr int jumps_before_end = 100;
// A climb starts from this many random pieces, plus up to start_spread - 1 more.
constexpr int start_pieces = 9;
constexpr int start_spread = 5;
// A climb forgets the layouts it measured when it remembers this many.
constexpr std::uint32_t most_remembered = 1u << 22;
// One piece in three is three cells long.
constexpr int long_piece_percent = 33;
// How often a search looks at its clock, its stop flag and its progress.
constexpr std::chrono::milliseconds look_interval{20};

// A piece of random shape on a random line, at the line's start.
play_block random_piece(random_source& random) {
  const bool horizontal = random.chance(50);
  const int length = random.chance(long_piece_percent) ? 3 : 2;
  return block_on_line<play_block>(horizontal, length, random.below(board_size), 0);
}

// A random layout to start a climb from.
play_level random_layout(random_source& random) {
  play_level layout;
  layout.prisoner = block_on_line<play_block>(true, 2, prisoner_row, 0);
  const int count = start_pieces + random.below(start_spread);
  for (int i = 0; i < count; ++i) {
    layout.blockers.push_back(random_piece(random));
  }
  return layout;
}

// One random change of a layout: add or take away a piece, or move one to
// another line, change its length or turn it; false when the drawn change
// cannot be made.
bool change_layout(play_level& layout, random_source& random) {
  const int kind = random.below(5);
  const int count = static_cast<int>(layout.blockers.size());
  if (kind == 0) {
    if (count == max_blockers) {
      return false;
    }
    layout.blockers.push_back(random_piece(random));
    return true;
  }
  if (kind == 1) {
    if (count == 1) {
      return false;
    }
    layout.blockers.erase(layout.blockers.begin() + random.below(count));
    return true;
  }
  play_block& piece = layout.blockers[static_cast<std::size_t>(random.below(count))];
  const int line = random.below(board_size);
  if (kind == 2) {
    if (line == line_of(piece)) {
      return false;
    }
    piece = block_on_line<play_block>(piece.horizontal, piece.length, line, 0);
  } else if (kind == 3) {
    piece = block_on_line<play_block>(piece.horizontal, 5 - piece.length, line_of(piece), 0);
  } else {
    piece = block_on_line<play_block>(!piece.horizontal, piece.length, line, 0);
  }
  return true;
}

// A digest of a layout that does not depend on the order of its pieces; never all ones.
std::uint64_t digest_of(const play_level& layout) {
  std::vector<std::uint64_t> codes;
  for (const play_block& piece : layout.blockers) {
    codes.push_back((piece.horizontal ? 16u : 0u) + 8u * static_cast<unsigned>(piece.length - 2) +
                    static_cast<unsigned>(line_of(piece)));
  }
  std::sort(codes.begin(), codes.end());
  std::uint64_t digest = codes.size();
  for (const std::uint64_t code : codes) {
    digest = (digest ^ code) * 0x9e3779b97f4a7c15u;
    digest ^= digest >> 29;
  }
  return digest >> 1;
}

// The level with its blocks moved to `p`.
play_level at_position(play_level level, packed_positions p) {
  for (int number = prisoner_number; number < block_count(level); ++number) {
    set_position_along(block_of(level, number), position_in(p, number));
  }
  return level;
}

// A position of the layout that needs `moves` moves, drawn among all such.
play_level level_at(const fewest_moves_map& map, const play_level& layout, int moves,
                    random_source& random) {
  const int index = random.below(static_cast<int>(map.count_at(moves)));
  return at_position(layout, map.position_at(moves, static_cast<std::uint32_t>(index)));
}

// Marks a search for the hardest level: a climb looks for each layout harder
// than all it measured before.
constexpr int hardest_wanted = -1;

// A layout a climb drew to measure next.
struct drawn_layout {
  play_level layout;
  std::uint64_t digest = 0;
  bool jump = false;  // drawn by a jump
};

// A level a climb found.
struct climb_find {
  int moves = 0;
  play_level level;
};

// A climb: it changes a layout at random and keeps the change when the
// layout's hardest position needs at least as many moves, measuring each
// layout once. When it stalls it jumps: it goes back to the hardest layout it
// found and makes several changes at once, keeping them whatever the layout
// then needs. It ends when it has jumped `jumps_before_end` times in a row
// without finding anything harder (a search also ends it when it finds what
// it looks for). Everything it draws comes from its own random source,
// seeded from the search's seed and its number.
//
// A climb is a plain value: a copy taken after drawing a layout, told how
// that layout measured, goes on exactly as the climb would have.
class climb {
 public:
  // Climb `number` of a search with this seed, looking for a level of
  // `wanted` moves (or, for hardest_wanted, for each new most).
  climb(std::uint64_t seed, std::uint64_t number, int wanted)
      : random_(seed ^ (number * 0xd1b54a32d192ed03u)), wanted_(wanted) {}

  // The next layout to measure, passing over those known(digest) says were
  // measured before; nothing when the climb has ended.
  template <class known_test>
  std::optional<drawn_layout> draw(known_test&& known);

  // True if `drawn`, measured as needing `tried` moves (-1: none frees the
  // prisoner), changes the climb: only then must take() be told of it.
  bool changed_by(const drawn_layout& drawn, int tried) const {
    return tried > best_moves_ || (tried >= 0 && tried >= hardest_) || drawn.jump;
  }

  // Takes in a measurement that changes the climb; the level found when it is
  // one the climb looks for, drawn from the positions map() measured.
  template <class map_getter>
  std::optional<climb_find> take(const drawn_layout& drawn, int tried, map_getter&& map);

 private:
  std::optional<play_level> next_layout();

  random_source random_;
  int wanted_ = 0;
  play_level layout_;    // the layout changes start from
  int hardest_ = -1;     // the moves its hardest position needs; -1 before any
  int stale_ = 0;        // changes in a row that found nothing harder
  bool jumped_ = false;  // the layout drawn last is a jump
  play_level best_;      // the hardest layout measured
  int best_moves_ = -1;
  int jumps_ = 0;  // jumps since best_ was found
};

std::optional<play_level> climb::next_layout() {
  if (hardest_ < 0) {
    return random_layout(random_);  // until some layout lets the prisoner out
  }
  if (stale_ == tries_before_stall) {
    if (jumps_ == jumps_before_end) {
      return std::nullopt;
    }
    ++jumps_;
    stale_ = 0;
    play_level jump = best_;
    for (int changes = 0; changes < changes_in_a_jump;) {
      changes += change_layout(jump, random_) ? 1 : 0;
    }
    jumped_ = true;
    return jump;
  }
  play_level candidate = layout_;
  while (!change_layout(candidate, random_)) {
  }
  ++stale_;
  return candidate;
}

template <class known_test>
std::optional<drawn_layout> climb::draw(known_test&& known) {
  for (;;) {
    std::optional<play_level> layout = next_layout();
    if (!layout) {
      return std::nullopt;
    }
    const bool jump = std::exchange(jumped_, false);
    const std::uint64_t digest = digest_of(*layout);
    if (!known(digest)) {
      return drawn_layout{std::move(*layout), digest, jump};
    }
    stale_ = jump ? tries_before_stall : stale_;  // a jump to a known layout: jump again
  }
}

template <class map_getter>
std::optional<climb_find> climb::take(const drawn_layout& drawn, int tried, map_getter&& map) {
  std::optional<climb_find> found;
  if (tried > best_moves_) {
    if (wanted_ == hardest_wanted || tried >= wanted_) {
      const int moves = wanted_ == hardest_wanted ? tried : wanted_;
      found = climb_find{moves, level_at(map(), drawn.layout, moves, random_)};
    }
    best_ = drawn.layout;
    best_moves_ = tried;
    jumps_ = 0;
  }
  if (tried >= 0 && (tried >= hardest_ || drawn.jump)) {
    stale_ = tried > hardest_ ? 0 : stale_;
    layout_ = drawn.layout;
    hardest_ = tried;
  } else if (drawn.jump) {
    stale_ = tries_before_stall;  // a jump that lets nothing out: jump again
  }
  return found;
}

// One layout to measure, and what it measured.
struct measurement {
  play_level layout;
  int deepest = 0;
  int tried = -1;          // its hardest position's moves; -1: left, or none frees the prisoner
  std::uint32_t size = 0;  // positions measured
  bool done = false;
  bool dropped = false;  // no longer wanted
};

// Measures layouts on threads of its own, in the order they are given.
class measuring_pool {
 public:
  explicit measuring_pool(int jobs) {
    try {
      for (int i = 0; i < jobs; ++i) {
        threads_.emplace_back([this] { work(); });
      }
    } catch (...) {
      close();
      throw;
    }
  }
  ~measuring_pool() {
    close();
  }
  measuring_pool(const measuring_pool&) = delete;
  measuring_pool& operator=(const measuring_pool&) = delete;

  // Queues a layout to measure up to `deepest` moves.
  std::shared_ptr<measurement> measure(const play_level& layout, int deepest) {
    auto queued = std::make_shared<measurement>();
    queued->layout = layout;
    queued->deepest = deepest;
    {
      const std::lock_guard lock(mutex_);
      queue_.push_back(queued);
    }
    queued_.notify_one();
    return queued;
  }

  // Waits up to `wait` for `m` to be measured; a copy of it when it is.
  std::optional<measurement> wait_for(const measurement& m, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    measured_.wait_for(lock, wait, [&] { return m.done || failure_; });
    if (failure_) {
      std::rethrow_exception(failure_);
    }
    return m.done ? std::optional<measurement>(m) : std::nullopt;
  }

  // Marks `m` as no longer wanted: it is left unmeasured unless it has begun.
  void drop(measurement& m) {
    const std::lock_guard lock(mutex_);
    m.dropped = true;
  }

  // Positions measured in all.
  std::uint64_t positions() {
    const std::lock_guard lock(mutex_);
    return positions_;
  }

 private:
  // Ends the threads once they have measured what they are measuring.
  void close() {
    {
      const std::lock_guard lock(mutex_);
      closing_ = true;
    }
    queued_.notify_all();
    for (std::thread& thread : threads_) {
      thread.join();
    }
  }

  void work() {
    fewest_moves_map map;
    std::unique_lock lock(mutex_);
    for (;;) {
      queued_.wait(lock, [&] { return closing_ || !queue_.empty(); });
      if (closing_) {
        return;
      }
      const std::shared_ptr<measurement> m = std::move(queue_.front());
      queue_.pop_front();
      if (m->dropped) {
        continue;
      }
      lock.unlock();
      try {
        const bool whole = map.measure(m->layout, most_positions, m->deepest);
        lock.lock();
        m->tried = whole ? map.farthest() : -1;
        m->size = map.size();
        m->done = true;
        positions_ += map.size();
      } catch (...) {
        lock.lock();
        failure_ = std::current_exception();
      }
      measured_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable queued_;
  std::condition_variable measured_;
  std::deque<std::shared_ptr<measurement>> queue_;
  bool closing_ = false;
  std::uint64_t positions_ = 0;
  std::exception_ptr failure_;
  std::vector<std::thread> threads_;
};

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
        pool_(jobs_) {}

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
