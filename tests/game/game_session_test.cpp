#include "game/game_session.h"

#include <gtest/gtest.h>

#include "game/campaign.h"
#include "model/level_text.h"
#include "support/level_search.h"

namespace {

// b fills the prisoner's row right of it and can never leave the row.
const play_level locked_level{play_block{true, 2, 0, 3},
                              {play_block{false, 2, 4, 0}, play_block{true, 3, 3, 3}}};

TEST(GameSessionTest, TheFewestFromHereFollowsEveryMoveUndoAndRestart) {
  // d d d . . .
  // . . . a . .
  // . . . a . c
  // . P P a . c
  // . . . . . .
  // . . . . b b
  game_session session = start_session({two_move_level(), {}});
  EXPECT_EQ(session.fewest_from_start, 2u);
  EXPECT_EQ(session.fewest_from_here, 2u);
  ASSERT_TRUE(make_move(session, {blocker_number(2), -1}));
  EXPECT_EQ(session.fewest_from_here, 1u);
  ASSERT_TRUE(make_move(session, {blocker_number(1), -2}));
  // A move the block cannot make changes nothing.
  const result<> refused = make_move(session, {prisoner_number, 1});
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.reason(), "P cannot move 1 cell right: a is in the way.");
  EXPECT_EQ(level_text(session.now), "ddd......a.c...a.c.PPa..........bb..");
  EXPECT_EQ(session.made, (std::vector<play_move>{{3, -1}, {2, -2}}));

  // Undo takes back the last move whole, and the fewest from here with it.
  EXPECT_EQ(undo_move(session), (play_move{2, -2}));
  EXPECT_EQ(undo_move(session), (play_move{3, -1}));
  EXPECT_EQ(session.fewest_from_here, 2u);
  EXPECT_EQ(undo_move(session), std::nullopt);
  ASSERT_TRUE(make_move(session, {blocker_number(2), -1}));
  restart_level(session);
  EXPECT_TRUE(session.made.empty());
  EXPECT_EQ(level_text(session.now), level_text(two_move_level()));
  EXPECT_EQ(session.fewest_from_here, 2u);
  EXPECT_EQ(new_level_moves(session), 2);

  // A level no moves free.
  game_session locked = start_session({locked_level, {}});
  EXPECT_EQ(locked.fewest_from_start, std::nullopt);
  EXPECT_EQ(new_level_moves(locked), default_new_level_moves);
}

TEST(GameSessionTest, FollowingTipsEscapesInTheFewestMovesAndEveryHelpIsCounted) {
  // Eight moves, with seven blockers.
  const play_level eight_moves{
      play_block{true, 2, 0, 3},
      {play_block{false, 2, 0, 0}, play_block{true, 2, 3, 5}, play_block{false, 2, 2, 2},
       play_block{false, 2, 4, 0}, play_block{false, 3, 5, 1}, play_block{true, 2, 1, 1},
       play_block{false, 2, 2, 4}}};
  game_session session = start_session({eight_moves, {}});
  for (std::size_t left = 8; left > 0; --left) {
    EXPECT_EQ(session.fewest_from_here, left);
    ASSERT_FALSE(is_escaped(session));
    const std::optional<play_move> tip = take_tip(session);
    ASSERT_TRUE(tip);
    ASSERT_TRUE(make_move(session, *tip));
  }
  EXPECT_TRUE(is_escaped(session));
  EXPECT_EQ(session.made.size(), 8u);
  EXPECT_EQ(session.help, (help_taken{8, 0, 0}));

  // A whole solution from where the player is, and looks at the fewest.
  game_session other = start_session({eight_moves, {}});
  ASSERT_TRUE(make_move(other, {blocker_number(5), 1}));
  const std::optional<std::vector<play_move>> solution = take_solution(other);
  ASSERT_TRUE(solution);
  EXPECT_EQ(solution->size(), *other.fewest_from_here);
  take_peek(other);
  EXPECT_EQ(other.help, (help_taken{0, 1, 1}));

  // No help is counted where none can be given.
  game_session locked = start_session({locked_level, {}});
  EXPECT_EQ(take_tip(locked), std::nullopt);
  EXPECT_EQ(take_solution(locked), std::nullopt);
  EXPECT_EQ(locked.help, help_taken{});
}

TEST(GameSessionTest, AnEscapeIsScoredAndKeptInTheProgress) {
  progress_store kept;  // in memory only
  const offered_level first = campaign_level(1);
  for (const char* best : {"A new best on this level: your first escape from it.",
                           "Your best on this level: 1 move, 3 stars."}) {
    game_session session = start_session(first, {&kept});
    const std::optional<play_move> move = session.fewest_map->next_move(session.now);
    ASSERT_TRUE(move && make_move(session, *move));
    ASSERT_TRUE(is_escaped(session));
    EXPECT_EQ(keep_escape(session),
              (std::vector<std::string>{
                  "The prisoner is free! Moves used: 1, fewest possible: 1. A perfect escape.",
                  "Stars: *** (3 of 3).", best}));
    EXPECT_EQ(kept.known.size(), 1u);
  }
  // Without a progress store nothing is kept, and every escape is a first.
  game_session unkept = start_session(first);
  ASSERT_TRUE(make_move(unkept, *unkept.fewest_map->next_move(unkept.now)));
  EXPECT_EQ(keep_escape(unkept).at(2), "A new best on this level: your first escape from it.");
}

TEST(GameSessionTest, ReplayCommandsNameTheTextFormAndTheMakersSeed) {
  EXPECT_EQ(replay_commands(start_session({two_move_level(), {}})),
            std::vector<std::string>{"escape_play --level " + level_text(two_move_level())});
  EXPECT_EQ(replay_commands(start_session({two_move_level(), {}, 4})).at(1),
            "escape_play --new --moves 2 --seed 4");
  EXPECT_EQ(maker_command(15, 7), "escape_play --new --moves 15 --seed 7");
}

}  // namespace
