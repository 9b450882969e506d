#include "model/progress.h"

#include <algorithm>
#include <numeric>
#include <tuple>

#include "model/level_text.h"

namespace {

int help_of(const level_best& best) {
  return best.tips + best.solutions + best.peeks;
}

}  // namespace

std::string progress_key(const play_level& level) {
  play_level ordered = level;
  std::stable_sort(ordered.blockers.begin(), ordered.blockers.end(),
                   [](const play_block& a, const play_block& b) {
                     return std::tie(a.y, a.x) < std::tie(b.y, b.x);
                   });
  return level_text(ordered);
}

bool is_better(const level_best& a, const level_best& b) {
  return std::tuple(-a.stars, a.moves, help_of(a)) < std::tuple(-b.stars, b.moves, help_of(b));
}

std::vector<int> key_numbers(const play_level& level) {
  std::vector<int> order(level.blockers.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const play_block& first = level.blockers[static_cast<std::size_t>(a)];
    const play_block& second = level.blockers[static_cast<std::size_t>(b)];
    return std::tie(first.y, first.x) < std::tie(second.y, second.x);
  });
  std::vector<int> numbers(level.blockers.size() + 1, prisoner_number);
  for (std::size_t place = 0; place < order.size(); ++place) {
    numbers[static_cast<std::size_t>(blocker_number(order[place]))] =
        blocker_number(static_cast<int>(place));
  }
  return numbers;
}
