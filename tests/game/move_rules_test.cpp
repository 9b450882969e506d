#include "game/move_rules.h"

#include <gtest/gtest.h>

#include "model/level_text.h"
#include "support/level_search.h"

TEST(MoveRulesTest, AMoveIsMadeOnlyOverFreeCellsOfTheBoard) {
  // d d d . . .
  // . . . a . .
  // . . . a . c
  // . P P a . c
  // . . . . . .
  // . . . . b b
  const play_level level = two_move_level();
  const std::pair<play_move, const char*> refused[] = {
      {{prisoner_number, 1}, "P cannot move 1 cell right: a is in the way."},
      {{blocker_number(2), 2}, "c cannot move 2 cells down: b is in the way."},
      {{blocker_number(1), 1}, "b cannot move 1 cell right: it would leave the board."},
      {{blocker_number(3), -1}, "d cannot move 1 cell left: it would leave the board."},
      {{blocker_number(2), -3}, "c cannot move 3 cells up: it would leave the board."},
  };
  for (const auto& [move, why] : refused) {
    const result<play_level> moved = after_move(level, move);
    ASSERT_FALSE(moved) << why;
    EXPECT_EQ(moved.reason(), why);
  }
  // As far as the line is free, and no farther.
  const result<play_level> moved = after_move(level, {blocker_number(2), -2});
  ASSERT_TRUE(moved) << moved.reason();
  EXPECT_EQ(level_text(*moved), "ddd..c...a.c...a...PPa............bb");
  EXPECT_FALSE(after_move(*moved, {blocker_number(2), -1}));
  EXPECT_EQ(level_text(level), "ddd......a.....a.c.PPa.c..........bb");
}

TEST(MoveRulesTest, TextsSayWhatHappened) {
  EXPECT_EQ(line_fault(play_block{false, 2, 0, 0}, 'a', "left"),
            "a cannot move left: it lies upright and moves only up or down.");
  EXPECT_EQ(line_fault(play_block{true, 2, 0, 0}, 'b', "up"),
            "b cannot move up: it lies across and moves only left or right.");
  EXPECT_EQ(counted(1, "move"), "1 move");
  EXPECT_EQ(counted(0, "move"), "0 moves");
  EXPECT_EQ(goodbye_text(1), "Left the game after 1 move. The prisoner is still in.");
}

TEST(MoveRulesTest, MovesCountWhatTheBoardDid) {
  const play_move a_up{blocker_number(0), -1};
  const play_move a_down{blocker_number(0), 1};
  const play_move b_left{blocker_number(1), -1};
  std::vector<play_move> moves;
  // Slides of one block make one move, whatever came between them; one that
  // brings its block back is none, and the block's runs on either side join.
  add_slide(moves, a_up);
  add_slide(moves, a_up);
  EXPECT_EQ(moves, (std::vector<play_move>{{blocker_number(0), -2}}));
  add_slide(moves, b_left);
  add_slide(moves, {blocker_number(1), 1});
  add_slide(moves, a_down);
  EXPECT_EQ(moves, (std::vector<play_move>{a_up}));
  add_slide(moves, a_down);
  EXPECT_TRUE(moves.empty());

  // Undo takes back a whole move.
  play_level level = two_move_level();
  const play_level start = level;
  for (const play_move slide : {a_up, b_left, b_left}) {
    apply_move(level, slide);
    add_slide(moves, slide);
  }
  EXPECT_TRUE(take_back(level, moves));
  EXPECT_EQ(moves, (std::vector<play_move>{a_up}));
  EXPECT_TRUE(take_back(level, moves));
  EXPECT_EQ(level_text(level), level_text(start));
  EXPECT_FALSE(take_back(level, moves));
}
