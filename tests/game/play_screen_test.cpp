#include "game/play_screen.h"

#include <gtest/gtest.h>

#include "game/campaign.h"
#include "game/screen_layout.h"
#include "search/play_solver.h"
#include "support/level_search.h"

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
  screen_game game = start_screen({level, {}}, 24, 80);
  press_all(game, {typed('b'), {key_code::left}, {key_code::left}, {key_code::left}});
  EXPECT_EQ(game.session.made, (std::vector<play_move>{{2, -3}}));
  // Moves count what the board did, whatever keys come between.
  press_all(game, {typed('z'), typed('t'), typed('b'), {key_code::right}});
  EXPECT_EQ(game.session.made, (std::vector<play_move>{{2, -2}}));
  press_all(game, {typed('P'), typed('u')});
  EXPECT_TRUE(game.session.made.empty());
  EXPECT_EQ(game.session.now.blockers[1].x, 4);
  EXPECT_EQ(game.picked, 2);  // undo picks the block it moved back
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
  // The next key that does what it says takes the message away.
  press(game, {key_code::tab});
  EXPECT_EQ(game.note, "");
  EXPECT_EQ(game.note_is, note_kind::info);
  // With moves made, r asks first; any other key between forgets the question.
  press_all(game, {typed('d'), {key_code::right}, typed('r')});
  EXPECT_EQ(game.note, "Press r again to restart: the 1 move made will be lost.");
  press_all(game, {typed('d'), typed('r')});
  EXPECT_EQ(game.session.made.size(), 1u);
  press(game, typed('R'));
  EXPECT_TRUE(game.session.made.empty());
  EXPECT_EQ(game.session.now.blockers[3].x, 0);
  EXPECT_EQ(game.note, "Back at the start.");
}

TEST(PlayScreenTest, TabShiftTabAndClickPick) {
  screen_game game = start_screen({two_move_level(), {}}, 11, 60);
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
    screen_game game = start_screen({two_move_level(), {}}, rows, columns);
    const screen_game before = game;
    EXPECT_EQ(press_all(game, {typed('a'),
                               {key_code::up},
                               typed('?'),
                               typed('y'),
                               typed('t'),
                               {key_code::click, 0, 2, 5}}),
              screen_action::stay);
    EXPECT_EQ(game.session.now.blockers[0].y, before.session.now.blockers[0].y);
    EXPECT_EQ(game.picked, before.picked);
    EXPECT_FALSE(game.showing_help || game.showing_command || game.tip);
    EXPECT_EQ(press(game, typed('Q')), screen_action::leave);
    EXPECT_EQ(press(game, {key_code::escape}), screen_action::leave);
    // Made large enough again, it plays.
    press_all(game, {{key_code::resize, 0, 11, 60}, typed('a'), {key_code::up}});
    EXPECT_EQ(game.session.made.size(), 1u);
  }
}

TEST(PlayScreenTest, TheWinnerSeesThePrisonerOutThenTheResultAndChoosesWhatNext) {
  progress_store kept;  // in memory only
  screen_game game = start_screen(campaign_level(1), 24, 80, {&kept});
  const play_move move = solve_level(game.session.start)->front();
  press(game, typed(block_letter(move.block)));
  for (int cell = 0; cell < std::abs(move.distance); ++cell) {
    press(game, {move.distance < 0 ? key_code::up : key_code::down});
  }
  EXPECT_EQ(game.stage, screen_stage::escaping);
  EXPECT_EQ(game.note, "The prisoner is free!");
  EXPECT_EQ(step_wait_ms(game), escape_step_ms);
  // The prisoner slides a cell a step until it is past the board's edge.
  const auto prisoner_column = [&] {
    for (const std::string& line : lay_out(game).text) {
      if (const std::size_t at = line.find("PPP"); at != std::string::npos) {
        return static_cast<int>(at);
      }
    }
    return -1;
  };
  const int column = prisoner_column();
  play_step(game);
  EXPECT_EQ(prisoner_column(), column + 6);
  for (int step = 2; step < board_size - position_along(game.session.now.prisoner); ++step) {
    play_step(game);
  }
  EXPECT_EQ(game.stage, screen_stage::escaping);
  play_step(game);
  EXPECT_EQ(game.stage, screen_stage::result);
  EXPECT_EQ(step_wait_ms(game), -1);
  const std::string perfect =
      "The prisoner is free! Moves used: 1, fewest possible: 1. A perfect escape.";
  EXPECT_EQ(game.result,
            (std::vector<std::string>{perfect, "Stars: *** (3 of 3).",
                                      "A new best on this level: your first escape from it."}));
  EXPECT_EQ(lay_out(game).text.at(0), "  " + perfect);
  EXPECT_EQ(lay_out(game).text.at(4), "  Enter  the next level: " + campaign_title(2));
  EXPECT_EQ(kept.known.size(), 1u);
  EXPECT_EQ(closing_line(game), perfect);
  // The level list goes back to the result it was opened from.
  press_all(game, {typed('l'), {key_code::escape}});
  EXPECT_EQ(game.stage, screen_stage::result);

  // Again: the same level from its start; a key skips the way out.
  press_all(game, {typed('x'), typed('r')});
  EXPECT_EQ(game.stage, screen_stage::playing);
  EXPECT_EQ(game.note, campaign_title(1) + " Press ? for the keys.");
  press_all(game,
            {typed(block_letter(move.block)), {move.distance < 0 ? key_code::up : key_code::down}});
  for (int cell = 1; cell < std::abs(move.distance); ++cell) {
    press(game, {move.distance < 0 ? key_code::up : key_code::down});
  }
  press(game, typed('x'));
  EXPECT_EQ(game.result.at(2), "Your best on this level: 1 move, 3 stars.");
  // Enter: the next level.
  EXPECT_EQ(press(game, {key_code::enter}), screen_action::stay);
  EXPECT_EQ(game.note, campaign_title(2) + " Press ? for the keys.");
  EXPECT_EQ(game.session.setup.progress, &kept);

  // After the last level, Enter goes to the first unsolved one.
  game = start_screen({campaign_level(campaign_size()).level, {}}, 24, 80, {&kept});
  press(game, typed('s'));
  while (game.stage == screen_stage::playing) {
    play_step(game);
  }
  press(game, typed('x'));
  EXPECT_EQ(game.next_number, 2);

  // A prisoner free at the start is out at once; Escape after the result quits.
  game = start_screen({{play_block{true, 2, 2, 3}, {play_block{false, 3, 0, 2}}}, {}}, 24, 80);
  EXPECT_EQ(game.stage, screen_stage::escaping);
  press(game, {key_code::left});
  EXPECT_EQ(closing_line(game),
            "The prisoner is free! Moves used: 0, fewest possible: 0. A perfect escape.");
  EXPECT_EQ(press(game, {key_code::escape}), screen_action::leave);
}

TEST(PlayScreenTest, TheLevelListPicksACampaignLevelAndMarksTheSolved) {
  progress_store kept;
  kept.known[campaign_entries()[0].text] = {1, 3, 0, 0, 0, "2024-06-01"};
  screen_game game = start_screen({two_move_level(), {}}, 24, 80, {&kept});
  // Not a campaign level: the list opens at the first unsolved.
  press(game, typed('l'));
  EXPECT_EQ(game.stage, screen_stage::level_list);
  EXPECT_EQ(game.listed, 2);
  screen_picture list = lay_out(game);
  EXPECT_EQ(list.text.at(2), "     1  Beginner       1 move   best 1 ***");
  EXPECT_EQ(list.text.at(3).substr(0, 4), "  > ");
  EXPECT_EQ(list.looks.at(3).at(2).kind, look_kind::picked);
  press_all(game, {{key_code::up}, {key_code::up}, {key_code::up}});
  EXPECT_EQ(game.listed, 1);
  press_all(game, {{key_code::escape}});
  EXPECT_EQ(game.stage, screen_stage::playing);
  press(game, typed('L'));
  for (int down = 0; down < campaign_size(); ++down) {
    press(game, {key_code::down});
  }
  EXPECT_EQ(game.listed, campaign_size());
  EXPECT_EQ(lay_out(game).text.back().substr(0, 5),
            "  > " + std::to_string(campaign_size()).substr(0, 1));
  press(game, {key_code::enter});
  EXPECT_EQ(game.stage, screen_stage::playing);
  EXPECT_EQ(game.note, campaign_title(campaign_size()) + " Press ? for the keys.");
  // l opens the list on a board of blockers a to k; on one with a block l, l
  // picks it and L opens the list.
  for (const std::size_t blockers : {11u, 12u}) {
    int number = 1;
    while (number < campaign_size() && campaign_level(number).level.blockers.size() != blockers) {
      ++number;
    }
    game = start_screen({campaign_level(number).level, {}}, 24, 80, {&kept});
    ASSERT_EQ(game.session.now.blockers.size(), blockers);
    press(game, typed('l'));
    EXPECT_EQ(game.stage == screen_stage::level_list, blockers == 11u);
  }
  EXPECT_EQ(game.picked, blocker_number(11));
  press(game, typed('L'));
  EXPECT_EQ(game.stage, screen_stage::level_list);
}

TEST(PlayScreenTest, TipShowsAndSolvePlaysAFewestSolution) {
  screen_game game = start_screen({two_move_level(), {}}, 24, 80);
  press(game, typed('t'));
  EXPECT_EQ(game.tip, (play_move{1, -1}));
  EXPECT_EQ(game.picked, 1);
  EXPECT_EQ(game.note, "Tip: a up 1 (fewest from here: 2).");

  // A move off the way takes the tip away, then the solution from there,
  // stopped by a key and started again; each of its moves picks its block.
  press_all(game, {typed('b'), {key_code::left}});
  EXPECT_EQ(game.tip, std::nullopt);
  press(game, typed('s'));
  EXPECT_EQ(game.playing.size(), 2u);
  play_step(game);
  EXPECT_NE(game.picked, 2);
  press(game, typed('q'));
  EXPECT_TRUE(game.playing.empty());
  EXPECT_EQ(game.session.made.size(), 2u);
  press(game, typed('s'));
  play_step(game);
  EXPECT_EQ(game.note_is, note_kind::won);
  EXPECT_EQ(press(game, {key_code::resize, 0, 30, 90}), screen_action::stay);
  EXPECT_EQ(press(game, typed('x')), screen_action::stay);
  EXPECT_EQ(closing_line(game), "The prisoner is free! Moves used: 3, fewest possible: 2.");
  // Help is counted and leaves one star.
  EXPECT_EQ(game.result.at(1), "Stars: * (1 of 3), at most one when aided: 1 tip and 2 solutions.");
  EXPECT_EQ(press(game, typed('q')), screen_action::leave);
}

TEST(PlayScreenTest, HelpCommandsQuitAndNewLevels) {
  screen_game game = start_screen({two_move_level(), {}}, 24, 80,
                                  {nullptr, [](int, const std::atomic<bool>&) {
                                     ADD_FAILURE() << "the driver makes levels, not the game";
                                     return std::optional<offered_level>();
                                   }});
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
  const play_level locked_in{play_block{true, 2, 0, 3}, {play_block{true, 3, 3, 3}}};
  level_made(game, offered_level{locked_in, "A new one."});
  EXPECT_EQ(game.note, "A new one.");
  EXPECT_TRUE(game.session.made.empty());
  EXPECT_EQ(game.session.now.blockers.size(), 1u);
  EXPECT_EQ(game.session.fewest_from_start, std::nullopt);
  // The fewest from here are shown on a key, and that is help.
  EXPECT_FALSE(game.showing_fewest);
  press(game, typed('#'));
  EXPECT_TRUE(game.showing_fewest);
  EXPECT_EQ(game.session.help, (help_taken{0, 0, 1}));
  press(game, typed('s'));
  EXPECT_EQ(game.note, "No moves free the prisoner: this level cannot be solved.");
  // A level the maker made names the key that shows how to make it again.
  press(game, typed('n'));
  level_made(game, offered_level{two_move_level(), "Made.", 9});
  EXPECT_EQ(game.session.seed, 9u);
  EXPECT_EQ(game.note, "A new level of 2 moves: press y for the command that plays it again.");
  EXPECT_EQ(press(game, typed('Q')), screen_action::leave);
  EXPECT_EQ(press(game, {key_code::escape}), screen_action::leave);
}

}  // namespace
