#include "game/play_screen.h"

#include <gtest/gtest.h>

#include "game/campaign.h"
#include "game/screen_layout.h"
#include "search/play_solver.h"
#include "support/level_search.h"
#include "support/manual_clock.h"

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
      {{{key_code::right}}, "b cannot move right: it would leave the board."},
      {{typed('P'), {key_code::right}},
       "P cannot move right: a is in the way (press a to pick it)."},
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

  // Redo plays the move undone again, U or Ctrl-R, until another move is made.
  press_all(game, {typed('b'),
                   {key_code::left},
                   typed('d'),
                   {key_code::right},
                   typed('u'),
                   typed('u'),
                   typed('P')});
  press(game, typed('U'));
  EXPECT_EQ(game.session.made, (std::vector<play_move>{{2, -1}}));
  EXPECT_EQ(game.picked, 2);
  EXPECT_EQ(game.note, "Played b left 1 again.");
  press(game, {key_code::redo});
  EXPECT_EQ(game.session.made, (std::vector<play_move>{{2, -1}, {4, 1}}));
  press_all(game, {typed('u'), typed('b'), {key_code::left}, typed('U')});
  EXPECT_EQ(game.note, "There is no move to redo: u takes one back.");
}

TEST(PlayScreenTest, KeysTheGameDoesNotKnowChangeNothingAndEscapeNeverQuits) {
  screen_game game = start_screen({two_move_level(), {}}, 24, 80);
  // Escape alone, Alt and a key, an unknown sequence, the list's keys on the board.
  const std::pair<screen_key, const char*> unknown[] = {
      {{key_code::escape}, "Escape does not quit: press q to quit."},
      {{key_code::other}, "That key does nothing: press ? for the keys."},
      {{key_code::home}, "That key does nothing: press ? for the keys."},
      {{key_code::page_down}, "That key does nothing: press ? for the keys."},
      {typed('7'), "That key does nothing: press ? for the keys."},
      {typed('Z'), "That key does nothing: press ? for the keys."}};
  // Neither a tip shown nor a question asked goes away.
  for (const char pending : {'t', 'r'}) {
    press_all(game, {typed('b'), {key_code::left}, typed(pending)});
    for (const auto& [key, reason] : unknown) {
      EXPECT_EQ(press(game, key), screen_action::stay);
      EXPECT_EQ(game.note, reason);
      EXPECT_EQ(game.note_is, note_kind::fault);
    }
    EXPECT_EQ(game.tip.has_value(), pending == 't');
    EXPECT_EQ(game.session.made.size(), 1u);
  }
  press(game, typed('r'));  // the question still stands
  EXPECT_TRUE(game.session.made.empty());
  // Nor does it quit after a win.
  press_all(game, {typed('a'), {key_code::up}, typed('c'), {key_code::up}, typed('x')});
  ASSERT_EQ(game.stage, screen_stage::result);
  EXPECT_EQ(press(game, {key_code::escape}), screen_action::stay);
  EXPECT_EQ(press(game, typed('q')), screen_action::leave);
}

TEST(PlayScreenTest, DraggingABlockSlidesItAlongItsLineAsFarAsItIsFree) {
  screen_game game = start_screen({two_move_level(), {}}, 24, 80);
  // b lies across at (4, 5) and (5, 5); held by its right cell, dragged left.
  press(game, {key_code::click, 0, 5, 5});
  EXPECT_EQ(game.picked, 2);
  press(game, {key_code::drag, 0, 5, 3});
  EXPECT_EQ(game.session.now.blockers[1].x, 2);
  press(game, {key_code::drag, 0, 1, -4});  // off the board and off its row: as far as it goes
  EXPECT_EQ(game.session.now.blockers[1].x, 0);
  EXPECT_EQ(game.session.made, (std::vector<play_move>{{2, -4}}));
  press(game, {key_code::release});
  press(game, {key_code::drag, 0, 5, 5});  // no longer held
  EXPECT_EQ(game.session.now.blockers[1].x, 0);
  // a, upright, held by its lowest cell: down as far as the board goes, then to the top.
  press_all(game, {{key_code::click, 0, 3, 3}, {key_code::drag, 0, 9, 3}});
  EXPECT_EQ(game.session.now.blockers[0].y, 3);
  press(game, {key_code::drag, 0, -2, 3});
  EXPECT_EQ(game.session.now.blockers[0].y, 0);
  EXPECT_EQ(game.note, "");
  // Dragging c up frees the prisoner.
  press_all(game, {{key_code::release}, {key_code::click, 0, 2, 5}, {key_code::drag, 0, 1, 5}});
  EXPECT_EQ(game.stage, screen_stage::escaping);
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
    EXPECT_EQ(press(game, {key_code::escape}), screen_action::stay);
    EXPECT_EQ(press(game, typed('Q')), screen_action::leave);
    // Made large enough again, it plays.
    press_all(game, {{key_code::resize, 0, 11, 60}, typed('a'), {key_code::up}});
    EXPECT_EQ(game.session.made.size(), 1u);
  }
}

TEST(PlayScreenTest, TheWinnerSeesThePrisonerOutThenTheResultAndChoosesWhatNext) {
  progress_store kept;  // in memory only
  manual_clock clock;
  screen_game game = start_screen(campaign_level(1), 24, 80, {&kept, {}, &clock});
  const play_move move = solve_level(game.session.offered.level)->front();
  press(game, typed(block_letter(move.block)));
  for (int cell = 0; cell < std::abs(move.distance); ++cell) {
    press(game, {move.distance < 0 ? key_code::up : key_code::down});
  }
  EXPECT_EQ(game.stage, screen_stage::escaping);
  EXPECT_EQ(game.note, "The prisoner is free!");
  // It takes about half a second, a cell at a time.
  const int cells_to_go = board_size - position_along(game.session.now.prisoner);
  EXPECT_EQ(step_wait_ms(game), escape_ms / cells_to_go);
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
            (std::vector<std::string>{perfect, "Stars: *** (3 of 3).", "Time: 0:00.",
                                      "A new best on this level: your first escape from it."}));
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
  EXPECT_EQ(game.result.at(3), "Your best on this level: 1 move, 3 stars.");
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

  // A prisoner free at the start is out at once; q after the result quits.
  game = start_screen({{play_block{true, 2, 2, 3}, {play_block{false, 3, 0, 2}}}, {}}, 24, 80);
  EXPECT_EQ(game.stage, screen_stage::escaping);
  press(game, {key_code::left});
  EXPECT_EQ(closing_line(game),
            "The prisoner is free! Moves used: 0, fewest possible: 0. A perfect escape.");
  EXPECT_EQ(press(game, typed('q')), screen_action::leave);

  // The game left on the prisoner's way out keeps the escape.
  game = start_screen(campaign_level(2), 24, 80, {&kept, {}, &clock});
  press(game, typed('s'));
  while (game.stage == screen_stage::playing) {
    play_step(game);
  }
  leave_game(game);
  EXPECT_EQ(closing_line(game), "The prisoner is free! Moves used: 2, fewest possible: 2.");
  EXPECT_TRUE(kept.known.at(campaign_entries()[1].text).best);
}

TEST(PlayScreenTest, TheLevelListPicksACampaignLevelAndMarksTheSolved) {
  progress_store kept;
  kept.known[campaign_entries()[0].text] = level_best{1, 3, 0, 0, 0, "2024-06-01"};
  screen_game game = start_screen({two_move_level(), {}}, 24, 80, {&kept});
  // Not a campaign level: the list opens at the first unsolved.
  press(game, typed('l'));
  EXPECT_EQ(game.stage, screen_stage::level_list);
  EXPECT_EQ(game.list.listed, 2);
  press_all(game, {{key_code::up}, {key_code::up}, {key_code::up}});
  EXPECT_EQ(game.list.listed, 1);
  press_all(game, {{key_code::escape}});
  EXPECT_EQ(game.stage, screen_stage::playing);
  press(game, typed('L'));
  for (int down = 0; down < campaign_size(); ++down) {
    press(game, {key_code::down});
  }
  EXPECT_EQ(game.list.listed, campaign_size());
  // A number typed picks its level; Home and End, PgUp and PgDn move far.
  press_all(game, {typed('4'), typed('8')});
  EXPECT_EQ(game.list.listed, 48);
  press_all(game, {{key_code::home}, {key_code::page_down}});
  EXPECT_EQ(game.list.listed, 1 + 24 - 5);
  press_all(game, {{key_code::end}});
  EXPECT_EQ(game.list.listed, campaign_size());
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

TEST(PlayScreenTest, TipsInTwoStepsAndSolvePlaysAFewestSolution) {
  screen_game game = start_screen({two_move_level(), {}}, 24, 80);
  press(game, typed('t'));
  ASSERT_TRUE(game.tip);
  EXPECT_EQ(game.tip->move, (play_move{1, -1}));
  EXPECT_FALSE(game.tip->shows_move);
  EXPECT_EQ(game.picked, 1);
  EXPECT_EQ(game.note, "Move a next (fewest from here: 2). Press t again for where to.");
  press(game, typed('t'));
  EXPECT_TRUE(game.tip->shows_move);
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
  EXPECT_EQ(game.result.at(1),
            "Stars: * (1 of 3), at most one when aided: 2 tips and 2 solutions.");
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
  EXPECT_EQ(game.session.offered.seed, 9u);
  EXPECT_EQ(game.note, "A new level of 2 moves: press y for the command that plays it again.");
  // One not quite what was asked for says so first.
  press(game, typed('n'));
  level_made(game, offered_level{two_move_level(), "Made.", 9, "", "None of 3 moves. "});
  EXPECT_EQ(
      game.note,
      "None of 3 moves. A new level of 2 moves: press y for the command that plays it again.");
  EXPECT_EQ(press(game, typed('Q')), screen_action::leave);
}

TEST(PlayScreenTest, AnAttemptLeftIsKeptAndOfferedToGoOnOrStartAfresh) {
  manual_clock clock;
  progress_store kept;
  const session_setup setup{&kept, {}, &clock};
  const std::string key = campaign_entries()[4].text;
  screen_game game = start_screen(campaign_level(5), 24, 80, setup);
  press_all(game, {typed('p'), {key_code::left}});
  ASSERT_EQ(game.session.made.size(), 1u);
  clock.time += std::chrono::seconds(75);
  // Another level from the list: the attempt is kept without a question.
  press_all(game, {typed('L'), {key_code::home}, {key_code::enter}});
  EXPECT_EQ(game.note, campaign_title(1) + " Press ? for the keys.");
  ASSERT_TRUE(kept.known.at(key).unfinished);
  EXPECT_EQ(kept.known.at(key).unfinished->seconds, 75);

  // Back at it, its position is offered; other keys only say what to press.
  press_all(game, {typed('L'), typed('5'), {key_code::enter}});
  EXPECT_EQ(game.stage, screen_stage::resuming);
  EXPECT_EQ(game.session.made.size(), 1u);
  EXPECT_EQ(game.note,
            "You left this level after 1 move in 1:15. Press Enter to go on from here, or f to "
            "start afresh.");
  EXPECT_FALSE(board_in_view(game));
  press_all(game, {{key_code::left}, {key_code::escape}});
  EXPECT_EQ(game.note, "Press Enter to go on from here, or f to start afresh.");
  EXPECT_EQ(game.session.made.size(), 1u);
  press(game, {key_code::enter});
  EXPECT_EQ(game.stage, screen_stage::playing);
  press(game, typed('u'));  // its moves can be taken back
  EXPECT_TRUE(game.session.made.empty());
  EXPECT_EQ(time_played(game.session), std::chrono::seconds(75));
  press_all(game, {typed('p'), {key_code::left}, typed('q')});
  leave_game(game);
  // Afresh: from the start, the attempt forgotten.
  game = start_screen(campaign_level(5), 24, 80, setup);
  ASSERT_EQ(game.stage, screen_stage::resuming);
  press(game, typed('f'));
  EXPECT_EQ(game.stage, screen_stage::playing);
  EXPECT_TRUE(game.session.made.empty());
  EXPECT_EQ(game.note, "Afresh from the start.");
  EXPECT_FALSE(kept.known.at(key).unfinished);
  EXPECT_EQ(kept.known.at(key).attempts, 1);
  // With the progress kept, n needs no question either.
  game.session.setup.new_level = [](int, const std::atomic<bool>&) {
    return std::optional<offered_level>();
  };
  press_all(game, {typed('p'), {key_code::left}, typed('n')});
  EXPECT_TRUE(game.making);
}

TEST(PlayScreenTest, TheClockRunsOnlyWhileTheBoardShows) {
  manual_clock clock;
  progress_store kept;
  screen_game game = start_screen(campaign_level(1), 24, 80, {&kept, {}, &clock});
  const auto spend = [&](int seconds) { clock.time += std::chrono::seconds(seconds); };
  spend(2);
  for (const char covering : {'?', 'y', 'l'}) {
    press(game, typed(covering));
    EXPECT_FALSE(board_in_view(game)) << covering;
    spend(100);
    press(game, {key_code::escape});
  }
  press(game, {key_code::resize, 0, 10, 80});  // too small to show the board
  spend(100);
  press(game, {key_code::resize, 0, 24, 80});
  spend(3);
  EXPECT_EQ(time_played(game.session), std::chrono::seconds(5));
  press(game, typed('s'));
  play_step(game);
  spend(100);  // on the prisoner's way out and over the result
  press(game, typed('x'));
  EXPECT_EQ(game.result.at(2), "Time: 0:05 (only an escape without help sets the fastest time).");
}

}  // namespace
