#include "search/level_maker.h"

#include <algorithm>
#include <utility>

#include "search/play_solver.h"

namespace {

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
