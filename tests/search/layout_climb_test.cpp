#include "search/layout_climb.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "model/level_text.h"
#include "search/play_solver.h"

namespace {

// The moves a layout's hardest position needs, as the level maker measures it.
int measured(const play_level& layout) {
  fewest_moves_map map;
  return map.measure(layout, most_positions) ? map.farthest() : -1;
}

// Draws, measures and takes in `steps` layouts of `c`, never drawing one
// twice; the digests drawn and the levels found.
std::vector<std::string> run(climb& c, int steps, std::set<std::uint64_t>& drawn) {
  std::vector<std::string> seen;
  fewest_moves_map map;
  for (int i = 0; i < steps; ++i) {
    const std::optional<drawn_layout> next =
        c.draw([&](std::uint64_t digest) { return drawn.count(digest) > 0; });
    if (!next) {
      seen.push_back("end");
      break;
    }
    EXPECT_TRUE(drawn.insert(next->digest).second);
    EXPECT_EQ(next->digest, digest_of(next->layout));
    const int tried = measured(next->layout);
    seen.push_back(std::to_string(next->digest));
    if (!c.changed_by(*next, tried)) {
      continue;
    }
    const std::optional<climb_find> found = c.take(*next, tried, [&]() -> const fewest_moves_map& {
      map.measure(next->layout, most_positions);
      return map;
    });
    if (found) {
      EXPECT_EQ(solve_level(found->level).value().size(), static_cast<std::size_t>(found->moves));
      seen.push_back(level_text(found->level));
    }
  }
  return seen;
}

}  // namespace

TEST(LayoutClimbTest, ACopyGoesOnAsTheClimbWouldAndNoLayoutIsDrawnTwice) {
  climb original(5, 2, hardest_wanted);
  std::set<std::uint64_t> drawn;
  run(original, 30, drawn);
  climb copy = original;
  std::set<std::uint64_t> drawn_too = drawn;
  const std::vector<std::string> first = run(original, 300, drawn);
  EXPECT_EQ(run(copy, 300, drawn_too), first);
  // A climb for the hardest finds each new most, which a short climb keeps raising.
  EXPECT_GE(std::count_if(first.begin(), first.end(),
                          [](const std::string& s) { return s.size() == 36; }),
            2);

  // The digest does not depend on the order of the pieces, but on each piece.
  const play_level layout = *read_level_text("aaabc..debc..deffgPPeh.gii.h.g..jjj.");
  play_level swapped = layout;
  std::swap(swapped.blockers[0], swapped.blockers[3]);
  EXPECT_EQ(digest_of(swapped), digest_of(layout));
  play_level turned = layout;
  turned.blockers[1].horizontal = !turned.blockers[1].horizontal;
  EXPECT_NE(digest_of(turned), digest_of(layout));
}
