#include "search/play_solver.h"

#include <algorithm>

#include "search/position_table.h"
#include "search/slide_space.h"

namespace {

// How a position was first reached.
struct arrival {
  std::uint32_t from = 0;  // the number of the position it was reached from
  play_move move;
};

}  // namespace

std::optional<std::vector<play_move>> solve_level(const play_level& level) {
  const slide_space space(level);
  const packed_positions start = space.start();
  if (space.is_free(start, space.covered(start))) {
    return std::vector<play_move>{};
  }
  // Position number n was first reached from arrivals[n].
  position_table seen;
  seen.add(start);
  std::vector<arrival> arrivals{arrival{}};
  std::optional<std::uint32_t> freed;
  for (std::uint32_t head = 0; head < seen.size() && !freed; ++head) {
    space.for_each_slide(seen.position(head),
                         [&](packed_positions next, play_move move, cell_set all) {
                           if (freed || !seen.add(next)) {
                             return;
                           }
                           arrivals.push_back(arrival{head, move});
                           if (space.is_free(next, all)) {
                             freed = seen.size() - 1;
                           }
                         });
  }
  if (!freed) {
    return std::nullopt;
  }
  std::vector<play_move> moves;
  for (std::uint32_t n = *freed; n != 0; n = arrivals[n].from) {
    moves.push_back(arrivals[n].move);
  }
  std::reverse(moves.begin(), moves.end());
  return moves;
}
