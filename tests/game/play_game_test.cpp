#include "game/play_game.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <streambuf>

#include "model/level_directory.h"
#include "model/level_text.h"
#include "support/level_search.h"
#include "support/manual_clock.h"
#include "support/scratch_dir.h"
#include "test_support.h"

namespace {

struct game_run {
  int status = -1;
  std::string output;
};

// The text after the last occurrence of `marker`, to its line's end.
std::string last_after(const std::string& output, const std::string& marker) {
  const std::size_t at = output.rfind(marker);
  if (at == std::string::npos) {
    return {};
  }
  const std::size_t from = at + marker.size();
  return output.substr(from, output.find('\n', from) - from);
}

std::size_t count_of(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

const char* two_move_board =
    "+-------------+\n"
    "| d d d . . . |\n"
    "| . . . a . . |\n"
    "| . . . a . c |\n"
    "| . P P a . c    exit\n"
    "| . . . . . . |\n"
    "| . . . . b b |\n"
    "+-------------+\n";

// Eight moves, with seven blockers.
const play_level eight_move_level{
    play_block{true, 2, 0, 3},
    {play_block{false, 2, 0, 0}, play_block{true, 2, 3, 5}, play_block{false, 2, 2, 2},
     play_block{false, 2, 4, 0}, play_block{false, 3, 5, 1}, play_block{true, 2, 1, 1},
     play_block{false, 2, 2, 4}}};

// Games played one command a line, on the two-move level unless a test says otherwise.
class PlayGameTest : public testing::Test {
 protected:
  // Plays `level` with these input lines, without new levels, on a clock
  // that moves only when the test moves it; escapes are kept in `kept_`.
  game_run play(const std::string& input, const play_level& level = two_move_level()) {
    std::istringstream in(input);
    std::ostringstream out;
    game_run run;
    run.status = play_lines({level, {}}, in, out, {false, {&kept_, {}, &clock_}});
    run.output = out.str();
    return run;
  }

  manual_clock clock_;
  progress_store kept_;  // in memory only
};

TEST_F(PlayGameTest, SolvedGameDrawsEveryBoard) {
  const game_run run = play("a -1\nC up\nquit\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output.substr(run.output.find('+')),
            std::string(two_move_board) + "Moves made: 0. Fewest from the start: 2.\n> " +
                "+-------------+\n"
                "| d d d a . . |\n"
                "| . . . a . . |\n"
                "| . . . a . c |\n"
                "| . P P . . c    exit\n"
                "| . . . . . . |\n"
                "| . . . . b b |\n"
                "+-------------+\n"
                "Moves made: 1. Fewest from the start: 2.\n> " +
                "+-------------+\n"
                "| d d d a . . |\n"
                "| . . . a . c |\n"
                "| . . . a . c |\n"
                "| . P P . . .    exit\n"
                "| . . . . . . |\n"
                "| . . . . b b |\n"
                "+-------------+\n"
                "Moves made: 2. Fewest from the start: 2.\n"
                "The prisoner is free! Moves used: 2, fewest possible: 2. A perfect escape.\n"
                "Stars: *** (3 of 3).\n"
                "Time: 0:00.\n"
                "A new best on this level: your first escape from it.\n");

  // A longer way is counted against the fewest.
  const game_run longer = play("b -1\na -1\nc -1\n");
  EXPECT_EQ(last_after(longer.output, "The prisoner is free! "),
            "Moves used: 3, fewest possible: 2.");
  EXPECT_EQ(last_after(longer.output, "Stars: "), "** (2 of 3).");
  // Moves count what the board did: b there and back is no move.
  const game_run back = play("b -1\nb -1\nb +2\na -1\nc up\n");
  EXPECT_EQ(count_of(back.output, "Moves made: 1."), 3u);
  EXPECT_EQ(last_after(back.output, "The prisoner is free! "),
            "Moves used: 2, fewest possible: 2. A perfect escape.");
}

TEST_F(PlayGameTest, IllegalMovesChangeNothingAndSayWhy) {
  const game_run run = play(
      "P +1\n"         // blocked
      "a 123\n"        // far beyond the board
      "a left\n"       // not along its line
      "b down 2\n"     // not along its line
      "e +1\n"         // the letter after the last blocker's
      "z +1\n"         // no such block
      "a 0\n"          // no distance
      "c 000\n"        // no distance in more digits
      "a 0123\n"       // far beyond the board in more digits
      "a\n"            // no distance at all
      "a sideways\n"   // no direction
      "a -x\n"         // no number
      "jump\x1b[2J\n"  // no command, with a control code
      "undo\n"         // nothing to undo
      "new\n"          // no maker of levels here
      "a -01\n");      // leading zeros are fine
  EXPECT_EQ(run.status, 0);
  const std::string replies = run.output.substr(run.output.find("> "));
  EXPECT_EQ(replies.substr(0, replies.find("+---")),
            "> P cannot move 1 cell right: a is in the way.\n"
            "> a cannot move that far: it would leave the board.\n"
            "> a cannot move left: it lies upright and moves only up or down.\n"
            "> b cannot move down: it lies across and moves only left or right.\n"
            "> There is no block e on this board.\n"
            "> There is no block z on this board.\n"
            "> A move of 0 cells changes nothing.\n"
            "> A move of 0 cells changes nothing.\n"
            "> a cannot move that far: it would leave the board.\n"
            "> Say how far a should move: a -1, a +2 or a up 1.\n"
            "> Say how far a should move: a -1, a +2 or a up 1.\n"
            "> Say how far a should move: a -1, a +2 or a up 1.\n"
            "> Unknown command \"jump\\x1B[2J\": type help for the list.\n"
            "> There is no move to undo.\n"
            "> New levels are not available here.\n"
            "> ");
  // Only the last line moved anything.
  EXPECT_EQ(count_of(run.output, "Moves made: 0."), 1u);
  EXPECT_EQ(count_of(run.output, "Moves made: 1."), 1u);
  EXPECT_EQ(last_after(run.output, "\n> \n"),
            "Left the game after 1 move. The prisoner is still in.");
}

// Input of one line of `length` characters, then `rest`, made as it is read.
class long_line_input : public std::streambuf {
 public:
  long_line_input(std::size_t length, std::string rest) : left_(length), rest_(std::move(rest)) {}

 protected:
  int_type underflow() override {
    if (left_ > 0) {
      const std::size_t n = std::min(left_, sizeof chunk_);
      std::fill_n(chunk_, n, 'x');
      left_ -= n;
      setg(chunk_, chunk_, chunk_ + n);
      return 'x';
    }
    if (rest_given_ || rest_.empty()) {
      return traits_type::eof();
    }
    rest_given_ = true;
    setg(rest_.data(), rest_.data(), rest_.data() + rest_.size());
    return traits_type::to_int_type(rest_[0]);
  }

 private:
  std::size_t left_;
  std::string rest_;
  bool rest_given_ = false;
  char chunk_[4096];
};

TEST_F(PlayGameTest, ACommandHasAtMost200Characters) {
  const std::string too_long = "> That line is too long: a command has at most 200 characters.\n";
  // 200 characters are read, 201 are not, nor a longer last line without its newline.
  const game_run run = play("show" + std::string(196, ' ') + "\nshow" + std::string(197, ' ') +
                            "\nshow" + std::string(300, ' ') + "x");
  const std::string replies = run.output.substr(run.output.find("> "));
  EXPECT_EQ(replies, "> " + level_text(two_move_level()) + "\n" + too_long + too_long +
                         "> \nLeft the game after 0 moves. The prisoner is still in.\n");
}

TEST(PlayGameDeathTest, AnOverlongLineIsSkippedInFlatMemory) {
#if ESCAPE_ADDRESS_SANITIZER
  GTEST_SKIP() << "an address-space limit does not work with AddressSanitizer";
#else
  // A line of 256 MB in an address space with 64 MB to spare.
  const auto play_long_line = [] {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = static_cast<rlim_t>(pages) * 4096 + (64 << 20);
    const rlimit address_space{limit, limit};
    setrlimit(RLIMIT_AS, &address_space);
    long_line_input input(std::size_t{256} << 20, "\na -1\nquit\n");
    std::istream in(&input);
    std::ostringstream out;
    const int status = play_lines({two_move_level(), {}}, in, out, {false, {}});
    std::fputs(out.str().substr(out.str().find("> ")).c_str(), stderr);
    std::_Exit(status);
  };
  EXPECT_EXIT(play_long_line(), testing::ExitedWithCode(0),
              "^> That line is too long: a command has at most 200 characters.\n> [^>]*Moves "
              "made: 1\\. [^>]*> Left the game after 1 move");
#endif
}

TEST_F(PlayGameTest, UndoAndRestartGoBack) {
  // Commands and directions in any case.
  const game_run run = play("b -2\nd +1\nundo\nUNDO\nb -1\nd Right 3\nRestart\nHELP\n");
  EXPECT_EQ(run.status, 0);
  const auto board_after = [&](int moves) {
    // Each board comes before its progress line; the n-th state counted from 0.
    std::size_t at = 0;
    for (int i = 0; i <= moves; ++i) {
      at = run.output.find("+-------------+\n|", at + 1);
    }
    return run.output.substr(at, std::string(two_move_board).size());
  };
  // Start, two moves, two undos, two moves, restart.
  EXPECT_EQ(board_after(0), two_move_board);
  EXPECT_NE(board_after(2), two_move_board);
  EXPECT_EQ(board_after(4), two_move_board);
  EXPECT_EQ(board_after(7), two_move_board);
  EXPECT_EQ(count_of(run.output, "+-------------+\n|"), 8u);
  EXPECT_EQ(count_of(run.output, "Moves made: 2."), 2u);
  EXPECT_EQ(count_of(run.output, "Moves made: 0."), 3u);
  EXPECT_NE(run.output.find("  undo, redo "), std::string::npos);
  EXPECT_EQ(last_after(run.output, "Left the game after "), "0 moves. The prisoner is still in.");
}

TEST_F(PlayGameTest, NewShowAndSave) {
  scoped_temp_dir dir;
  std::vector<int> asked;
  const level_source maker = [&](int moves,
                                 const std::atomic<bool>&) -> std::optional<offered_level> {
    asked.push_back(moves);
    if (moves == 9) {
      return std::nullopt;
    }
    // a fills the prisoner's row right of it and can never leave the row.
    const play_level locked_in{play_block{true, 2, 0, 3}, {play_block{true, 3, 3, 3}}};
    return offered_level{locked_in, "A new one."};
  };
  using namespace std::string_literals;
  std::istringstream in(
      "a -1\nshow\nnew 9\nnew x\nnew -1\nnew 51\nnew\nnew 50\nshow\na -1\nsave\nsave x\0y\nsave kept\nquit\n"s);
  std::ostringstream out;
  EXPECT_EQ(play_lines({two_move_level(), {}}, in, out, {false, {nullptr, maker}}), 0);
  const std::string said = out.str();
  EXPECT_NE(said.find("> ddda.....a.....a.c.PP..c..........bb\n> "), std::string::npos);
  EXPECT_NE(said.find("> Making a level of 9 moves... Ctrl-C ends the game.\nNo level of 9 "
                      "moves was found in time.\n> Say how many moves the new level needs, from "
                      "0 to 50: new 15.\n> Say how many moves the new level needs, from "
                      "0 to 50: new 15.\n> No level of this board needs more than 50 moves: say "
                      "new 0 to new 50.\n> Making a level of 2 moves... Ctrl-C ends the "
                      "game.\nA new one.\n+---"),
            std::string::npos)
      << said;
  // A plain `new` asks for as many moves as this level needs; 50 may be asked for.
  EXPECT_EQ(asked, (std::vector<int>{9, 2, 50}));
  EXPECT_NE(said.find("Moves made: 0. Fewest from the start: none"), std::string::npos);
  EXPECT_NE(said.find("> ..................PP.aaa............\n"), std::string::npos);
  EXPECT_NE(said.find("> Say where to save the level: save DIR.\n"
                      "> That line holds a NUL byte (\\x00), which no command takes: save "
                      "x\\x00y\n"
                      "> Saved the start position as level files in kept.\n"),
            std::string::npos)
      << said;
  EXPECT_FALSE(std::filesystem::exists("x"));
  const result<play_level> kept = read_level_directory("kept");
  ASSERT_TRUE(kept) << kept.reason();
  EXPECT_EQ(draw_level(*kept), "......\n......\n......\nPP.aaa\n......\n......\n");
}

TEST_F(PlayGameTest, AHintNamesTheBlockThenTheMoveAndCountsAsHelp) {
  const game_run run = play("hint\nhint\nhint\na -1\nc up\n");
  EXPECT_NE(run.output.find("> Hint: move a next (fewest from here: 2). Type hint again for "
                            "where.\n> Hint: a -1 (fewest from here: 2).\n> Hint: a -1 "
                            "(fewest from here: 2).\n> +---"),
            std::string::npos)
      << run.output;
  // The hint was followed: a perfect count, but aided.
  EXPECT_EQ(last_after(run.output, "The prisoner is free! "), "Moves used: 2, fewest possible: 2.");
  EXPECT_EQ(last_after(run.output, "Stars: "), "* (1 of 3), at most one when aided: 2 tips.");
}

TEST_F(PlayGameTest, AnAttemptLeftGoesOnWhereItWasLeft) {
  clock_.time = std::chrono::seconds(100);
  EXPECT_EQ(play("b -2\nc -1\nundo\nredo\n").status, 0);
  clock_.time += std::chrono::seconds(65);
  // Coming back: resume goes on from there, undo takes the moves back.
  const game_run again = play("resume\nresume\nundo\nquit\n");
  EXPECT_NE(again.output.find("Moves made: 0. Fewest from the start: 2.\nYou left this level "
                              "after 2 moves in 0:00: type resume to go on from there.\n> "
                              "+---"),
            std::string::npos)
      << again.output;
  EXPECT_NE(again.output.find("Moves made: 2. Fewest from the start: 2.\n> There is no attempt "
                              "left unfinished here to go on with.\n> +---"),
            std::string::npos)
      << again.output;
  EXPECT_EQ(last_after(again.output, "Left the game after "), "1 move. The prisoner is still in.");
  // A move starts afresh instead: resume no longer goes back.
  const game_run afresh = play("a -1\nresume\nc up\n");
  EXPECT_NE(afresh.output.find("> There is no attempt left unfinished"), std::string::npos);
  EXPECT_EQ(last_after(afresh.output, "The prisoner is free! "),
            "Moves used: 2, fewest possible: 2. A perfect escape.");
  // Won: nothing is left to go on with.
  EXPECT_EQ(play("quit\n").output.find("You left"), std::string::npos);
}

TEST_F(PlayGameTest, OutputThatCannotBeWrittenEndsTheGameWithStatus1) {
  full_disk_buffer full;
  std::ostream nowhere(&full);
  std::istringstream in("a -1\nc up\n");
  EXPECT_EQ(play_lines({two_move_level(), {}}, in, nowhere, {}), 1);
  // A game that ends at once, the prisoner free at the start, too.
  std::istringstream none;
  EXPECT_EQ(play_lines({{play_block{true, 2, 2, 3}, {play_block{false, 3, 0, 2}}}, {}}, none,
                       nowhere, {}),
            1);
}

TEST_F(PlayGameTest, SolveListsAWholeFewestSolutionFromHere) {
  // One move off the way first: the list starts from where the player is.
  const game_run run = play("f +1\nsolve\n", eight_move_level);
  const std::string listed = last_after(run.output, "Fewest moves from here (");
  ASSERT_FALSE(listed.empty());
  const std::size_t count = std::stoul(listed);
  std::string moves = "f +1\n";
  std::istringstream list(listed.substr(listed.find(':') + 1));
  for (std::string move; std::getline(list, move, ',');) {
    moves += move.substr(0, move.find('.')) + "\n";
  }
  EXPECT_EQ(count_of(moves, "\n"), count + 1);
  const game_run after = play(moves + "quit\n", eight_move_level);
  EXPECT_GE(count, 7u);
  EXPECT_EQ(last_after(after.output, "The prisoner is free! "),
            "Moves used: " + std::to_string(count + 1) + ", fewest possible: 8." +
                (count + 1 == 8 ? " A perfect escape." : ""));
  EXPECT_EQ(after.status, 0);
}

TEST_F(PlayGameTest, UnsolvableLevelSaysSoAndStillPlays) {
  // b fills the prisoner's row right of it and can never leave the row.
  const game_run run =
      play("hint\nsolve\nb -1\na +1\n",
           {play_block{true, 2, 0, 3}, {play_block{false, 2, 4, 0}, play_block{true, 3, 3, 3}}});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(count_of(run.output, "Fewest from the start: none, this level cannot be solved."), 3u);
  EXPECT_EQ(count_of(run.output, "No moves free the prisoner: this level cannot be solved."), 2u);
  EXPECT_EQ(last_after(run.output, "Left the game after "), "2 moves. The prisoner is still in.");
}

TEST_F(PlayGameTest, FreeAtTheStartEndsAtOnce) {
  const game_run run = play("", {play_block{true, 2, 2, 3}, {play_block{false, 3, 0, 2}}});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(last_after(run.output, "The prisoner is free! "),
            "Moves used: 0, fewest possible: 0. A perfect escape.");
  EXPECT_EQ(run.output.find("> "), std::string::npos);
}

}  // namespace
