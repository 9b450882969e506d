#include "game/game_session.h"

#include <gtest/gtest.h>

#include "game/campaign.h"
#include "model/level_text.h"
#include "support/level_search.h"
#include "support/manual_clock.h"

namespace {

using namespace std::chrono_literals;

// b fills the prisoner's row right of it and can never leave the row.
const play_level locked_level{play_block{true, 2, 0, 3},
                              {play_block{false, 2, 4, 0}, play_block{true, 3, 3, 3}}};

// Eight moves, with seven blockers.
const play_level eight_moves{
    play_block{true, 2, 0, 3},
    {play_block{false, 2, 0, 0}, play_block{true, 2, 3, 5}, play_block{false, 2, 2, 2},
     play_block{false, 2, 4, 0}, play_block{false, 3, 5, 1}, play_block{true, 2, 1, 1},
     play_block{false, 2, 2, 4}}};

TEST(GameSessionTest, TheFewestFromHereFollowsEveryMoveUndoRedoAndRestart) {
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

  // Undo takes back the last move whole, and the fewest from here with it;
  // redo plays it again until another move is made.
  EXPECT_EQ(undo_move(session), (play_move{2, -2}));
  EXPECT_EQ(undo_move(session), (play_move{3, -1}));
  EXPECT_EQ(session.fewest_from_here, 2u);
  EXPECT_EQ(undo_move(session), std::nullopt);
  EXPECT_EQ(redo_move(session), (play_move{3, -1}));
  EXPECT_EQ(session.fewest_from_here, 1u);
  ASSERT_TRUE(make_move(session, {blocker_number(0), -1}));
  EXPECT_EQ(redo_move(session), std::nullopt);
  EXPECT_EQ(undo_move(session), (play_move{1, -1}));
  EXPECT_EQ(restart_level(session), std::nullopt);
  EXPECT_TRUE(session.made.empty());
  EXPECT_EQ(redo_move(session), std::nullopt);
  EXPECT_EQ(level_text(session.now), level_text(two_move_level()));
  EXPECT_EQ(session.fewest_from_here, 2u);
  EXPECT_EQ(new_level_moves(session), 2);

  // A level no moves free.
  game_session locked = start_session({locked_level, {}});
  EXPECT_EQ(locked.fewest_from_start, std::nullopt);
  EXPECT_EQ(new_level_moves(locked), default_new_level_moves);
}

TEST(GameSessionTest, TipsInTwoStepsEscapeInTheFewestMovesAndEveryHelpIsCounted) {
  game_session session = start_session({eight_moves, {}});
  // At a position the first tip names the block, the second shows the move;
  // each counts once there.
  const std::optional<tip_given> named = take_tip(session);
  ASSERT_TRUE(named);
  EXPECT_FALSE(named->shows_move);
  const std::optional<tip_given> shown = take_tip(session);
  ASSERT_TRUE(shown);
  EXPECT_TRUE(shown->shows_move);
  EXPECT_EQ(shown->move, named->move);
  EXPECT_TRUE(take_tip(session)->shows_move);
  EXPECT_EQ(session.help.tips, 2);
  for (std::size_t left = 8; left > 0; --left) {
    EXPECT_EQ(session.fewest_from_here, left);
    ASSERT_FALSE(is_escaped(session));
    const std::optional<tip_given> tip = take_tip(session);
    ASSERT_TRUE(tip);
    ASSERT_TRUE(make_move(session, tip->move));
  }
  EXPECT_TRUE(is_escaped(session));
  EXPECT_EQ(session.made.size(), 8u);
  EXPECT_EQ(session.help, (help_taken{9, 0, 0}));

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

TEST(GameSessionTest, TheClockRunsUntilTheEscapeAndOnlyWhileItIsStarted) {
  manual_clock clock;
  clock.time = 5000ms;
  game_session session = start_session({two_move_level(), {}}, {nullptr, {}, &clock});
  clock.time += 1500ms;
  EXPECT_EQ(time_played(session), 1500ms);
  stop_clock(session);
  clock.time += 60s;
  EXPECT_EQ(time_played(session), 1500ms);
  start_clock(session);
  start_clock(session);  // running already
  clock.time += 500ms;
  ASSERT_TRUE(make_move(session, {blocker_number(0), -1}));
  ASSERT_TRUE(make_move(session, {blocker_number(2), -1}));
  ASSERT_TRUE(is_escaped(session));
  clock.time += 10s;
  start_clock(session);  // the prisoner is free: it stays stopped
  EXPECT_EQ(time_played(session), 2000ms);
  EXPECT_EQ(keep_escape(session).at(2), "Time: 0:02.");
}

TEST(GameSessionTest, AnEscapeIsScoredAndKeptWithItsTimeAndAttempt) {
  manual_clock clock;
  progress_store kept;  // in memory only
  const offered_level first = campaign_level(1);
  const std::string key = campaign_entries()[0].text;
  for (const auto& [seconds, time, best] :
       {std::tuple{40, "Time: 0:40.", "A new best on this level: your first escape from it."},
        std::tuple{30, "Time: 0:30, a new fastest on this level! Before: 0:40.",
                   "Your best on this level: 1 move, 3 stars."},
        std::tuple{35, "Time: 0:35. Your fastest on this level: 0:30.",
                   "Your best on this level: 1 move, 3 stars."}}) {
    game_session session = start_session(first, {&kept, {}, &clock});
    clock.time += std::chrono::seconds(seconds);
    ASSERT_TRUE(make_move(session, *session.fewest_map->next_move(session.now)));
    EXPECT_EQ(keep_escape(session),
              (std::vector<std::string>{
                  "The prisoner is free! Moves used: 1, fewest possible: 1. A perfect escape.",
                  "Stars: *** (3 of 3).", time, best}));
  }
  EXPECT_EQ(kept.known.at(key).attempts, 3);
  EXPECT_EQ(kept.known.at(key).fastest, 30);
  // An aided escape sets no fastest time.
  game_session aided = start_session(first, {&kept, {}, &clock});
  ASSERT_TRUE(make_move(aided, take_tip(aided)->move));
  EXPECT_EQ(keep_escape(aided).at(2),
            "Time: 0:00 (only an escape without help sets the fastest time).");
  EXPECT_EQ(kept.known.at(key).fastest, 30);

  // Without a progress store nothing is kept, and every escape is a first.
  game_session unkept = start_session(first);
  ASSERT_TRUE(make_move(unkept, *unkept.fewest_map->next_move(unkept.now)));
  EXPECT_EQ(keep_escape(unkept).at(3), "A new best on this level: your first escape from it.");
}

TEST(GameSessionTest, AnUnfinishedAttemptIsKeptToGoOnWithUntilAWinOrARestart) {
  manual_clock clock;
  progress_store kept;
  // The level's blockers lettered out of reading order: the progress keeps
  // the moves as its key letters them.
  play_level level = two_move_level();
  std::swap(level.blockers[0], level.blockers[3]);  // d (the top row) first
  const std::string key = progress_key(level);
  game_session first = start_session({level, {}}, {&kept, {}, &clock});
  EXPECT_EQ(keep_unfinished(first), std::nullopt);  // nothing to lose yet
  EXPECT_FALSE(kept.known.contains(key));
  // Help alone is kept, so that it still counts, but makes no attempt yet.
  static_cast<void>(take_tip(first));
  static_cast<void>(keep_unfinished(first));
  EXPECT_EQ(kept.known.at(key).unfinished, (unfinished_attempt{{}, 1, 0, 0, 0}));
  EXPECT_EQ(kept.known.at(key).attempts, 0);
  ASSERT_TRUE(make_move(first, {blocker_number(3), -1}));  // a, upright, is d here
  ASSERT_TRUE(make_move(first, {blocker_number(1), -2}));
  clock.time += 65s;
  EXPECT_EQ(keep_unfinished(first), std::nullopt);
  ASSERT_TRUE(kept.known.at(key).unfinished);
  EXPECT_EQ(*kept.known.at(key).unfinished, (unfinished_attempt{{{2, -1}, {4, -2}}, 1, 0, 0, 65}));
  EXPECT_EQ(kept.known.at(key).attempts, 1);

  // Coming back, it goes on from there: the moves, the help, the time; undo
  // still takes the moves back, and keeping it again counts no new attempt.
  game_session again = start_session({level, {}}, {&kept, {}, &clock});
  const std::optional<unfinished_attempt> left = kept_attempt(again);
  ASSERT_TRUE(left);
  ASSERT_TRUE(resume_attempt(again, *left));
  EXPECT_EQ(level_text(again.now), level_text(first.now));
  EXPECT_EQ(again.made, first.made);
  EXPECT_EQ(again.help, first.help);
  EXPECT_EQ(time_played(again), 65s);
  EXPECT_EQ(undo_move(again), (play_move{2, -2}));
  static_cast<void>(keep_unfinished(again));
  EXPECT_EQ(kept.known.at(key).attempts, 1);
  EXPECT_EQ(kept.known.at(key).unfinished->moves.size(), 1u);

  // A restart forgets it and begins a new attempt; a win ends one.
  EXPECT_EQ(restart_level(again), std::nullopt);
  EXPECT_FALSE(kept.known.at(key).unfinished);
  ASSERT_TRUE(make_move(again, {blocker_number(3), -1}));
  static_cast<void>(keep_unfinished(again));
  EXPECT_EQ(kept.known.at(key).attempts, 2);
  ASSERT_TRUE(make_move(again, {blocker_number(2), -1}));
  static_cast<void>(keep_escape(again));
  EXPECT_FALSE(kept.known.at(key).unfinished);
  EXPECT_EQ(kept.known.at(key).attempts, 2);

  // An attempt whose moves this level cannot make is not offered.
  kept.known[key].unfinished = unfinished_attempt{{{4, 1}}, 0, 0, 0, 3};
  EXPECT_EQ(kept_attempt(start_session({level, {}}, {&kept})), std::nullopt);
  kept.known[key].unfinished = unfinished_attempt{{{9, 1}}, 0, 0, 0, 3};
  EXPECT_EQ(kept_attempt(start_session({level, {}}, {&kept})), std::nullopt);
  // Nor one whose moves free the prisoner: an escape is no attempt left.
  kept.known[key].unfinished = unfinished_attempt{{{2, -1}, {3, -1}}, 0, 0, 0, 3};
  EXPECT_EQ(kept_attempt(start_session({level, {}}, {&kept})), std::nullopt);
}

TEST(GameSessionTest, ReplayCommandsNameTheLevelAsOfferedAndItsTextForm) {
  const std::string text = "escape_play --level " + level_text(two_move_level());
  EXPECT_EQ(replay_commands(start_session({two_move_level(), {}})), std::vector<std::string>{text});
  EXPECT_EQ(replay_commands(start_session({two_move_level(), {}, 4, "--daily 2024-06-03"})),
            (std::vector<std::string>{"escape_play --daily 2024-06-03", text}));
}

}  // namespace
