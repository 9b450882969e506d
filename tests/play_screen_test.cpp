#include "play_screen.h"

#include <gtest/gtest.h>

#include "level_search.h"
#include "test_support.h"

namespace {

screen_key typed(char c) {
  return {key_code::character, c};
}

// Presses the keys in order; the action after the last one.
screen_action press_all(screen_game& game, const std::vector<screen_key>& keys) {
  screen_action action = screen_action::stay;
  for (const screen_key& key : keys) {
    action = press(game, key);
  }
  return action;
}

TEST(PlayScreenTest, ArrowsSlideThePickedBlockOneMoveADirection) {
  const play_level level = two_move_level();
  screen_game game = start_screen(level, 24, 80);
  press_all(game, {typed('b'), {key_code::left}, {key_code::left}, {key_code::left}});
  EXPECT_EQ(game.made, (std::vector<play_move>{{2, -3}}));
  press(game, {key_code::right});
  EXPECT_EQ(game.made, (std::vector<play_move>{{2, -3}, {2, 1}}));
  press_all(game, {typed('u'), typed('u')});
  EXPECT_TRUE(game.made.empty());
  EXPECT_EQ(game.now.blockers[1].x, 4);
  press(game, typed('u'));
  EXPECT_EQ(game.note, "There is no move to undo.");
  EXPECT_EQ(game.note_is, note_kind::fault);

  // Keys that move nothing say why.
  const std::pair<std::vector<screen_key>, const char*> refused[] = {
      {{typed('b'), {key_code::up}},
       "b cannot move up: it lies across and moves only left or right."},
      {{{key_code::right}}, "b cannot move 1 cell right: it would leave the board."},
      {{typed('P'), {key_code::right}}, "P cannot move 1 cell right: a is in the way."},
      {{typed('k')}, "There is no block k on this board."},
      {{typed('z')}, "That key does nothing: press ? for the keys."},
      {{{key_code::click, 0, -1, -1}}, "Click a block to pick it."},
      {{typed('n')}, "New levels are not available here."}};
  for (const auto& [keys, reason] : refused) {
    press_all(game, keys);
    EXPECT_EQ(game.note, reason);
  }
  // With moves made, r asks first; any other key between forgets the question.
  press_all(game, {typed('d'), {key_code::right}, typed('r')});
  EXPECT_EQ(game.note, "Press r again to restart: the 1 move made will be lost.");
  press_all(game, {typed('d'), typed('r')});
  EXPECT_EQ(game.made.size(), 1u);
  press(game, typed('R'));
  EXPECT_TRUE(game.made.empty());
  EXPECT_EQ(game.now.blockers[3].x, 0);
  EXPECT_EQ(game.note, "Back at the start.");
}

TEST(PlayScreenTest, TabShiftTabAndClickPick) {
  screen_game game = start_screen(two_move_level(), 11, 60);
  press(game, {key_code::tab});
  EXPECT_EQ(game.picked, 1);
  press_all(game, {{key_code::back_tab}, {key_code::back_tab}});
  EXPECT_EQ(game.picked, 4);
  press(game, {key_code::click, 0, 2, 4});  // a free cell
  EXPECT_EQ(game.picked, 4);
  press(game, {key_code::click, 0, 2, 5});
  EXPECT_EQ(game.picked, 3);
  // The letters name the blockers there are, and no more.
  press(game, typed('d'));
  EXPECT_EQ(game.picked, 4);
  press(game, typed('e'));
  EXPECT_EQ(game.picked, 4);
  EXPECT_EQ(game.note, "There is no block e on this board.");
}

TEST(PlayScreenTest, OnATerminalTooSmallOnlyQuitActs) {
  for (const auto& [rows, columns] : {std::pair{10, 60}, {11, 59}}) {
    screen_game game = start_screen(two_move_level(), rows, columns);
    const screen_game before = game;
    EXPECT_EQ(press_all(game, {typed('a'),
                               {key_code::up},
                               typed('?'),
                               typed('y'),
                               typed('t'),
                               {key_code::click, 0, 2, 5}}),
              screen_action::stay);
    EXPECT_EQ(game.now.blockers[0].y, before.now.blockers[0].y);
    EXPECT_EQ(game.picked, before.picked);
    EXPECT_FALSE(game.showing_help || game.showing_command || game.tip);
    EXPECT_EQ(press(game, typed('Q')), screen_action::leave);
    EXPECT_EQ(press(game, {key_code::escape}), screen_action::leave);
    // Made large enough again, it plays.
    press_all(game, {{key_code::resize, 0, 11, 60}, typed('a'), {key_code::up}});
    EXPECT_EQ(game.made.size(), 1u);
  }
}

TEST(PlayScreenTest, APrisonerFreeAtTheStartIsWonAtOnce) {
  screen_game game =
      start_screen({make_block(true, 2, 2, 3), {make_block(false, 3, 0, 2)}}, 24, 80);
  EXPECT_EQ(game.note_is, note_kind::won);
  EXPECT_TRUE(game.note.starts_with(
      "The prisoner is free! Moves used: 0, fewest possible: 0. A perfect escape."))
      << game.note;
  EXPECT_EQ(press(game, {key_code::left}), screen_action::leave);
}

TEST(PlayScreenTest, TipShowsAndSolvePlaysAFewestSolution) {
  screen_game game = start_screen(two_move_level(), 24, 80);
  press(game, typed('t'));
  EXPECT_EQ(game.tip, (play_move{1, -1}));
  EXPECT_EQ(game.picked, 1);
  EXPECT_EQ(game.note, "Tip: a up 1 (fewest from here: 2).");

  // A move off the way, then the solution from there, stopped by a key and started again.
  press_all(game, {typed('b'), {key_code::left}, typed('s')});
  EXPECT_EQ(game.playing.size(), 2u);
  play_step(game);
  press(game, typed('q'));
  EXPECT_TRUE(game.playing.empty());
  EXPECT_EQ(game.made.size(), 2u);
  press(game, typed('s'));
  play_step(game);
  EXPECT_EQ(game.note_is, note_kind::won);
  EXPECT_EQ(closing_line(game), "The prisoner is free! Moves used: 3, fewest possible: 2.");
  EXPECT_EQ(press(game, {key_code::resize, 0, 30, 90}), screen_action::stay);
  EXPECT_EQ(press(game, typed('x')), screen_action::leave);
}

TEST(PlayScreenTest, HelpCommandsQuitAndNewLevels) {
  screen_game game = start_screen(two_move_level(), 24, 80, [](int, const std::atomic<bool>&) {
    ADD_FAILURE() << "the driver makes levels, not the game";
    return std::optional<offered_level>();
  });
  press(game, typed('?'));
  EXPECT_TRUE(game.showing_help);
  EXPECT_EQ(press(game, {key_code::escape}), screen_action::stay);
  press(game, typed('y'));
  EXPECT_TRUE(game.showing_command);
  EXPECT_EQ(press(game, typed('q')), screen_action::stay);
  EXPECT_FALSE(game.showing_help || game.showing_command);
  EXPECT_EQ(closing_line(game), "Left the game after 0 moves. The prisoner is still in.");

  // `n` waits for a level of as many moves as this one; any key but a resize stops the wait.
  press(game, typed('n'));
  EXPECT_EQ(game.making, (level_wait{2, 0}));
  wait_for_level(game, 3);
  EXPECT_EQ(game.making, (level_wait{2, 3}));
  level_made(game, std::nullopt);
  EXPECT_EQ(game.note, "No new level could be made.");
  press_all(game, {typed('n'), {key_code::resize, 0, 30, 90}});
  EXPECT_TRUE(game.making);
  EXPECT_EQ(press(game, typed('q')), screen_action::stay);
  EXPECT_EQ(game.making, std::nullopt);
  EXPECT_EQ(game.note, "Stopped making a new level.");
  level_made(game, offered_level{two_move_level(), "Too late."});  // made after the stop
  EXPECT_EQ(game.note, "Stopped making a new level.");

  // With moves made, n asks first.
  press_all(game, {typed('b'), {key_code::left}, typed('n')});
  EXPECT_EQ(game.note, "Press n again for a new level: the 1 move made will be lost.");
  press_all(game, {typed('r'), typed('n')});
  EXPECT_EQ(game.note, "Press n again for a new level: the 1 move made will be lost.");
  EXPECT_FALSE(game.making);
  press(game, typed('n'));
  // b fills the prisoner's row right of it and can never leave the row.
  level_made(game,
             offered_level{{make_block(true, 2, 0, 3), {make_block(true, 3, 3, 3)}}, "A new one."});
  EXPECT_EQ(game.note, "A new one.");
  EXPECT_TRUE(game.made.empty());
  EXPECT_EQ(game.now.blockers.size(), 1u);
  EXPECT_EQ(game.fewest_from_start, std::nullopt);
  press(game, typed('s'));
  EXPECT_EQ(game.note, "No moves free the prisoner: this level cannot be solved.");
  // A level the maker made names the key that shows how to make it again.
  press(game, typed('n'));
  level_made(game, offered_level{two_move_level(), "Made.", 9});
  EXPECT_EQ(game.seed, 9u);
  EXPECT_EQ(game.note, "A new level of 2 moves: press y for the command that plays it again.");
  EXPECT_EQ(press(game, typed('Q')), screen_action::leave);
  EXPECT_EQ(press(game, {key_code::escape}), screen_action::leave);
}

}  // namespace
