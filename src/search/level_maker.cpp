#include "search/level_maker.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "search/play_solver.h"
#include "search/puzzle_bank.h"

namespace {

// make_new_level gives up after the levels of this many seeds in a row were
// too alike, or after passing over this many seeds whose bank puzzle was.
constexpr int most_alike_in_a_row = 200;
constexpr int most_seeds_passed_over = 100'000;

using clock_type = std::chrono::steady_clock;

// Seconds since `began`.
double seconds_since(clock_type::time_point began) {
  return std::chrono::duration<double>(clock_type::now() - began).count();
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

// The level with its blockers in reading order, lean when asked; nothing when stopped.
std::optional<play_level> finished(play_level level, int moves, bool lean,
                                   const std::atomic<bool>* stop) {
  std::sort(
      level.blockers.begin(), level.blockers.end(),
      [](const play_block& a, const play_block& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  return lean ? lean_level(std::move(level), moves, stop) : std::optional(std::move(level));
}

// The made level of a search's result.
std::optional<made_level> finish(layout_search& search, const search_result& result,
                                 std::uint64_t seed, bool lean, const std::atomic<bool>* stop) {
  std::optional<play_level> level = finished(result.find.level, result.find.moves, lean, stop);
  if (!level) {
    return std::nullopt;
  }
  return made_level{std::move(*level), result.find.moves, seed,
                    search.seconds(),  result.layouts,    search.positions(),
                    result.climb,      std::nullopt,      result.met};
}

// The level of `moves` moves the bank gives for the seed.
std::optional<made_level> bank_made_level(int moves, std::uint64_t seed, bool lean,
                                          const std::atomic<bool>* stop) {
  const clock_type::time_point began = clock_type::now();
  std::optional<play_level> level = finished(bank_level(moves, seed), moves, lean, stop);
  if (!level) {
    return std::nullopt;
  }
  return made_level{std::move(*level),      moves, seed, seconds_since(began), 0, 0, 0,
                    bank_pick(moves, seed), {}};
}

}  // namespace

std::optional<made_level> make_level(int moves, std::uint64_t seed, const maker_limits& limits,
                                     const maker_progress& progress, bool lean) {
  if (moves < 0) {
    return std::nullopt;
  }
  if (bank_serves(moves)) {
    return bank_made_level(moves, seed, lean, limits.stop);
  }
  layout_search search(seed, moves, limits, progress);
  const std::optional<search_result> result = search.run();
  if (!result) {
    return std::nullopt;
  }
  return finish(search, *result, seed, lean, limits.stop);
}

std::optional<made_level> make_new_level(int moves, std::uint64_t seed, const puzzle_set& avoid,
                                         const maker_limits& limits, const maker_progress& progress,
                                         bool lean) {
  if (!knows_other_puzzle(moves, avoid)) {
    return std::nullopt;
  }
  const clock_type::time_point began = clock_type::now();
  // Each seed's search tells its own seconds; the caller hears them all.
  const maker_progress told = [&](double, int hardest) { progress(seconds_since(began), hardest); };
  int alike = 0;
  int passed_over = 0;
  for (std::uint64_t tried = seed;; ++tried) {
    if (bank_serves(moves) && avoid.holds_alike(bank_identity(bank_pick(moves, tried)))) {
      // A bank puzzle to avoid: every level it gives is one puzzle with it.
      if (++passed_over == most_seeds_passed_over) {
        return std::nullopt;
      }
      continue;
    }
    maker_limits left = limits;
    left.seconds = std::max(0.0, limits.seconds - seconds_since(began));
    std::optional<made_level> made =
        make_level(moves, tried, left, progress ? told : maker_progress{}, lean);
    if (!made) {
      return std::nullopt;
    }
    if (!avoid.holds_alike(identity_of(made->level))) {
      made->seconds = seconds_since(began);
      return made;
    }
    const bool stopped = limits.stop != nullptr && limits.stop->load();
    if (++alike == most_alike_in_a_row || stopped || seconds_since(began) >= limits.seconds) {
      return std::nullopt;
    }
  }
}

void remember_made(puzzle_set& given, const made_level& made) {
  given.add(identity_of(made.level));
  if (made.bank_index) {
    given.add(bank_identity(*made.bank_index));
  }
}

bool knows_other_puzzle(int moves, const puzzle_set& avoid) {
  if (moves < 0 || moves > most_level_moves) {
    return false;
  }
  if (!bank_serves(moves)) {
    return true;
  }
  for (std::size_t index = 0; index < bank_puzzles_reaching(moves); ++index) {
    if (!avoid.holds_alike(bank_identity(index))) {
      return true;
    }
  }
  return false;
}

std::optional<int> nearest_count_with_other(int moves, const puzzle_set& avoid) {
  for (int away = 0; away <= 2 * most_level_moves; ++away) {
    for (const int count : {moves - away, moves + away}) {
      if (count >= 0 && count <= most_level_moves && knows_other_puzzle(count, avoid)) {
        return count;
      }
    }
  }
  return std::nullopt;
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
