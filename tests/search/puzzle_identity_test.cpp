#include "search/puzzle_identity.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/level_text.h"
#include "search/play_solver.h"

namespace {

// The identity of the level of this text form.
puzzle_identity identity(const char* text) {
  return identity_of(*read_level_text(text));
}

}  // namespace

TEST(PuzzleIdentityTest, OnePuzzleVariantsAndInterchangeableBlocks) {
  const char* start = "aaabc..debc..deffgPPeh.gii.h.g..jjj.";
  const puzzle_identity base = identity(start);
  // One move apart (j left one), and the same position with its blockers listed in another order.
  EXPECT_EQ(identity("aaabc..debc..deffgPPeh.gii.h.g.jjj.."), base);
  play_level listed = *read_level_text(start);
  std::reverse(listed.blockers.begin(), listed.blockers.end());
  EXPECT_EQ(identity_of(listed), base);
  EXPECT_FALSE(are_variants(base, base));
  EXPECT_TRUE(too_alike(base, base));
  // Its least position, as a level, is a position of the same puzzle.
  EXPECT_EQ(identity_of(least_level(base)), base);

  // Two alike blocks (vertical, two long, in column 5) that trade places: one puzzle.
  EXPECT_EQ(identity("bb...a.....a......PP.........c.....c"),
            identity("bb...c.....c......PP.........a.....a"));
  // The same pieces where no moves lead from one position to the other: variants.
  const puzzle_identity shut = identity("..a.....a.....a...PPb.....b.....b...");
  const puzzle_identity out = identity("..a.....a.....a.....bPP...b.....b...");
  EXPECT_NE(shut, out);
  EXPECT_TRUE(are_variants(shut, out));

  // One blocker taken away, added, moved to another line, made shorter, or
  // turned: variants; two changes: neither.
  for (const char* variant :
       {"aaabc..debc..deffgPPeh.gii.h.g......", "aaabc.kdebc.kdeffgPPeh.gii.h.g..jjj.",
        "aaabc..debc..deffgPPeh.g...h.giijjj.", "aaabc..debc..deffgPPeh.gii.h.g..jj..",
        "aaabc..debc..deffgPPeh.gi..h.gi.jjj."}) {
    EXPECT_TRUE(are_variants(identity(variant), base)) << variant;
    EXPECT_EQ(layout_distance(identity(variant).layout, base.layout), 1) << variant;
  }
  const puzzle_identity two_away = identity("aaabc..debc..deffgPPeh.g...h.g......");
  EXPECT_EQ(layout_distance(two_away.layout, base.layout), 2);
  EXPECT_FALSE(are_variants(two_away, base));
  EXPECT_FALSE(too_alike(two_away, base));

  // The puzzles of a layout that need 20 moves or more: the level's own among them.
  const std::vector<held_puzzle> held = puzzles_of(*read_level_text(start), 20, 50'000);
  ASSERT_FALSE(held.empty());
  int own = 0;
  for (std::size_t i = 0; i < held.size(); ++i) {
    EXPECT_EQ(identity_of(held[i].hardest), held[i].identity);
    EXPECT_EQ(solve_level(held[i].hardest)->size(), static_cast<std::size_t>(held[i].moves));
    EXPECT_TRUE(i == 0 || held[i - 1].moves >= held[i].moves);
    own += held[i].identity == base ? 1 : 0;
  }
  EXPECT_EQ(own, 1);
  EXPECT_TRUE(puzzles_of(*read_level_text(start), 20, 1000).empty());

  puzzle_set played;
  played.add(base);
  EXPECT_TRUE(played.holds_alike(identity("aaabc..debc..deffgPPeh.gii.h.g......")));
  EXPECT_FALSE(played.holds_alike(two_away));
  puzzle_set only_themselves(true);
  only_themselves.add(base);
  EXPECT_TRUE(only_themselves.holds_alike(base));
  EXPECT_FALSE(only_themselves.holds_alike(identity("aaabc..debc..deffgPPeh.gii.h.g......")));
}
