#include "program/play_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "game/campaign.h"
#include "game/daily_level.h"
#include "model/level_directory.h"
#include "model/level_text.h"
#include "search/level_maker.h"
#include "search/play_solver.h"
#include "support/level_search.h"
#include "support/manual_clock.h"
#include "support/scratch_dir.h"
#include "test_support.h"

namespace {

struct command_run {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs escape_play's command line with `input` typed.
command_run run(const std::vector<std::string>& arguments, const std::string& input = "quit\n",
                const play_setting& setting = {}) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  command_run result;
  result.status = run_play_command(arguments, in, out, err, setting);
  result.out = out.str();
  result.err = err.str();
  return result;
}

// The text form the game shows for `show`, typed first.
std::string shown(const command_run& game) {
  const std::size_t at = game.out.find("> ") + 2;
  return game.out.substr(at, game.out.find('\n', at) - at);
}

// escape_play with the progress kept in "state" of a fresh directory, dated 2024-06-03.
class PlayCommandTest : public testing::Test {
 protected:
  PlayCommandTest() {
    setting_.progress_directory = dir_.path() / "state";
    setting_.today = read_date("2024-06-03");
    setting_.clock = &clock_;  // it never moves: every game takes 0:00
  }

  command_run play(const std::vector<std::string>& arguments, const std::string& input) {
    return run(arguments, input, setting_);
  }

  scoped_temp_dir dir_;
  manual_clock clock_;
  play_setting setting_;
};

TEST_F(PlayCommandTest, HelpAndWhatItRefuses) {
  const command_run help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* version : {"--version", "-V"}) {
    const command_run shown = run({version, "--nonsense"});
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, std::string("escape_play ") + ESCAPE_VERSION + "\n");
  }
  EXPECT_TRUE(help.out.starts_with("usage: escape_play [--lines] [--no-save] [DIR | --campaign"))
      << help.out;

  const std::vector<std::vector<std::string>> refused = {
      {"--colour"},      {"--moves", "5"},          {"--new", "--moves", "101"},
      {"--new", "here"}, {"--level", "P", "--new"}, {"--new", "--seed", "x"}};
  for (const std::vector<std::string>& arguments : refused) {
    const command_run bad = run(arguments);
    EXPECT_EQ(bad.status, 2) << arguments[0];
    EXPECT_TRUE(bad.err.ends_with("\n       escape_play --progress\n")) << bad.err;
    EXPECT_EQ(bad.out, "");
  }
  // A date that is no date, and a level number out of the campaign.
  EXPECT_EQ(run({"--daily", "2023-02-29"}).err,
            "escape_play: --daily takes a date YYYY-MM-DD, not '2023-02-29'\n" +
                help.out.substr(0, help.out.find("Plays")));
  EXPECT_TRUE(run({"--daily", "2023-02-2\x1B[2J"})
                  .err.starts_with("escape_play: --daily takes a date YYYY-MM-DD, not "
                                   "'2023-02-2\\x1B[2J'\n"));
  EXPECT_EQ(run({"--campaign", std::to_string(campaign_size() + 1)}).status, 2);
  // A word meant for --campaign or --daily, or one too many, is named with its option.
  const std::pair<std::vector<std::string>, std::string> named[] = {
      {{"--campaign", "abc"}, "--campaign takes a whole number from 1 to 60, not 'abc'"},
      {{"--daily", "abc"}, "--daily takes a date YYYY-MM-DD, not 'abc'"},
      {{"--daily", "-1"}, "--daily takes a date YYYY-MM-DD, not '-1'"},
      {{"--campaign", "3", "extra"}, "'extra' is one word too many after --campaign 3"},
      {{"--daily", "2024-06-03", "x"}, "'x' is one word too many after --daily 2024-06-03"},
      {{""}, "DIR takes a directory, not an empty name"}};
  for (const auto& [arguments, reason] : named) {
    const command_run refused = run(arguments);
    EXPECT_EQ(refused.status, 2) << reason;
    EXPECT_EQ(refused.err,
              "escape_play: " + reason + "\n" + help.out.substr(0, help.out.find("Plays")));
  }
  EXPECT_EQ(run({"--campaign", "--daily"}).status, 2);
  // A text form that is no sound level gets one line, then the usage.
  const command_run text = run({"--level", "PP"});
  EXPECT_EQ(text.status, 2);
  EXPECT_EQ(text.err.substr(text.err.find('\n') + 1), help.out.substr(0, help.out.find("Plays")))
      << text.err;

  // Help that cannot be shown is an error, as on a full disk.
  full_disk_buffer full;
  std::ostream nowhere(&full);
  std::ostringstream said;
  std::istringstream none;
  EXPECT_EQ(run_play_command({"-h"}, none, nowhere, said, {}), 1);
  EXPECT_EQ(said.str(), "escape_play: cannot write to standard output: No space left on device\n");
  // So is a game in lines that cannot be shown.
  std::ostringstream game_said;
  std::istringstream moves("a +1\n");
  EXPECT_EQ(run_play_command({"--no-save", "--level", level_text(two_move_level())}, moves, nowhere,
                             game_said, {}),
            1);
  EXPECT_EQ(game_said.str(),
            "escape_play: cannot write to standard output: No space left on device\n");
}

TEST_F(PlayCommandTest, SaysWhereNoLevelIsAndWhatToDo) {
  scoped_temp_dir dir;
  const command_run missing = run({"no\x1bwhere"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err,
            "escape_play: no level to play in \"no\\x1Bwhere\": it holds no level files. Make one "
            "with escape_puzzle in \"no\\x1Bwhere\", or play a new one: escape_play --new, or "
            "escape_play --level TEXT.\n");

  // A directory of numbered levels plays its first and names the others.
  for (const char* made : {"made/1", "made/2", "made/3"}) {
    ASSERT_TRUE(write_level_directory(two_move_level(), made));
  }
  const command_run first = run({"made"}, "show\n");
  EXPECT_EQ(first.status, 0);
  EXPECT_TRUE(
      first.out.starts_with("Playing \"made/1\"; \"made/2\" to \"made/3\" hold 2 more levels.\n"))
      << first.out;
}

TEST_F(PlayCommandTest, PlaysALevelFromADirectoryItsTextOrTheMaker) {
  scoped_temp_dir dir;
  const test_level level = two_move_level();
  ASSERT_TRUE(write_level_directory(level, "stored"));
  const std::string stored_blockers = read_bytes("stored/blockers");
  EXPECT_EQ(shown(run({"stored"}, "show\na -1\n")), level_text(level));
  EXPECT_EQ(read_bytes("stored/blockers"), stored_blockers);  // playing writes nothing
  EXPECT_EQ(shown(run({"--lines", "--level", level_text(level)}, "show\n")), level_text(level));

  const command_run made = run({"--new", "--moves", "3", "--seed", "7"}, "show\n");
  EXPECT_EQ(made.status, 0);
  EXPECT_TRUE(made.out.starts_with(
      "A level of 3 moves, seed 7: escape_play --new --moves 3 --seed 7 plays it again.\n"))
      << made.out;
  EXPECT_EQ(shown(made), level_text(make_level(3, 7, {})->level));
  // On a terminal, standard error says that the level is being made, then clears the line.
  play_setting on_a_terminal;
  on_a_terminal.error_is_terminal = true;
  const command_run watched = run({"--new", "--moves", "3", "--seed", "7"}, "", on_a_terminal);
  EXPECT_TRUE(watched.err.starts_with("\rMaking a level of 3 moves... 0 s")) << watched.err;
  EXPECT_TRUE(watched.err.ends_with("\r" + std::string(32, ' ') + "\r")) << watched.err;
}

TEST_F(PlayCommandTest, TheWholeTerminalWhenThereIsOneUnlessLinesAreAskedFor) {
  const test_level level = two_move_level();
  int played = 0;
  play_setting setting;
  setting.full_screen = [&](const offered_level& offered, session_setup setup) {
    const level_source& new_level = setup.new_level;
    ++played;
    EXPECT_EQ(level_text(offered.level), level_text(level));
    // `n` makes a level of the moves asked for, until it is told to stop.
    std::atomic<bool> stop = false;
    const std::optional<offered_level> next = new_level(2, stop);
    EXPECT_TRUE(next && solve_level(next->level)->size() == 2u);
    stop = true;
    EXPECT_EQ(new_level(0, stop), std::nullopt);
    return 0;
  };
  EXPECT_EQ(run({"--level", level_text(level)}, "", setting).status, 0);
  EXPECT_EQ(played, 1);
  const command_run lines = run({"--lines", "--level", level_text(level)}, "quit\n", setting);
  EXPECT_EQ(played, 1);
  EXPECT_TRUE(lines.out.starts_with("Free the prisoner P")) << lines.out;
}

// Input that frees the prisoner of campaign level `number` in the fewest moves.
std::string solving_input(int number) {
  std::string input;
  const std::optional<std::vector<play_move>> solution = solve_level(campaign_level(number).level);
  for (const play_move& move : *solution) {
    input += std::string(1, block_letter(move.block)) + " " + std::to_string(move.distance) + "\n";
  }
  return input;
}

TEST_F(PlayCommandTest, WithNoLevelHereTheFirstUnsolvedLevelIsPlayedAndKept) {
  const command_run first = play({}, solving_input(1));
  EXPECT_EQ(first.status, 0);
  EXPECT_TRUE(first.out.starts_with(campaign_title(1) + "\nFree the prisoner P")) << first.out;
  EXPECT_TRUE(first.out.ends_with("A new best on this level: your first escape from it.\n"))
      << first.out;
  EXPECT_TRUE(play({}, "quit\n").out.starts_with(campaign_title(2) + "\n"));
  EXPECT_TRUE(play({"--campaign", "1"}, solving_input(1))
                  .out.ends_with("Your best on this level: 1 move, 3 stars.\n"));

  // --progress lists every level and the escapes; --no-save neither reads nor writes.
  const std::string kept = read_bytes("state/progress");
  EXPECT_TRUE(play({"--no-save"}, "quit\n").out.starts_with(campaign_title(1)));
  EXPECT_TRUE(play({"--no-save", "--campaign", "1"}, solving_input(1))
                  .out.ends_with("A new best on this level: your first escape from it.\n"));
  EXPECT_EQ(read_bytes("state/progress"), kept);
  const command_run listed = play({"--progress"}, "");
  EXPECT_EQ(listed.status, 0);
  std::istringstream lines(listed.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, " 1  Beginner      fewest  1  best  1  ***  -      fastest    0:00  tries  2  " +
                      std::string(campaign_entries()[0].text));
  std::getline(lines, line);
  EXPECT_EQ(line, " 2  Beginner      fewest  2  best  -  -    -      fastest       -  tries  -  " +
                      std::string(campaign_entries()[1].text));
  EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), campaign_size() + 1);
  EXPECT_TRUE(listed.out.ends_with("\nSolved 1 of " + std::to_string(campaign_size()) +
                                   " levels, 3 of " + std::to_string(3 * campaign_size()) +
                                   " stars.\n"));
  // An escape the game helped with is marked aided, and the total says so.
  play({"--campaign", "2"}, "hint\nhint\n" + solving_input(2));
  const command_run aided = play({"--progress"}, "");
  EXPECT_NE(aided.out.find("\n 2  Beginner      fewest  2  best  2  *    aided  fastest       -  "
                           "tries  1  "),
            std::string::npos)
      << aided.out;
  EXPECT_TRUE(aided.out.ends_with("\nSolved 2 of " + std::to_string(campaign_size()) +
                                  " levels (1 aided), 4 of " + std::to_string(3 * campaign_size()) +
                                  " stars.\n"));

  // A list that cannot be written is an error, as on a full disk.
  full_disk_buffer full;
  std::ostream nowhere(&full);
  std::ostringstream said;
  std::istringstream none;
  EXPECT_EQ(run_play_command({"--progress"}, none, nowhere, said, setting_), 1);
  EXPECT_EQ(said.str(), "escape_play: cannot write to standard output: No space left on device\n");
}

TEST_F(PlayCommandTest, LevelFilesHereAndTheLevelOfTheDay) {
  // Level files here are played as before; numbered levels only when named.
  ASSERT_TRUE(write_level_directory(two_move_level(), "made/1"));
  std::filesystem::current_path("made");
  EXPECT_TRUE(play({}, "quit\n").out.starts_with(campaign_title(1)));
  EXPECT_TRUE(play({"."}, "quit\n").out.starts_with("Free the prisoner P"));
  std::filesystem::current_path("1");
  EXPECT_TRUE(play({}, "quit\n").out.starts_with("Free the prisoner P"));
  EXPECT_TRUE(play({"--campaign"}, "quit\n").out.starts_with(campaign_title(1)));

  // The day's level, today's by default; a damaged progress file is said and put aside.
  std::filesystem::create_directory(dir_.path() / "state");
  write_bytes(dir_.path() / "state/progress", "damaged");
  const command_run today = play({"--daily"}, "show\n");
  EXPECT_EQ(today.status, 0);
  EXPECT_TRUE(today.out.starts_with("The progress file \"" +
                                    (dir_.path() / "state/progress").string() +
                                    "\" has a damaged line (line 1: not \"escape-puzzle progress "
                                    "2\"), left out; it is kept as "))
      << today.out;
  EXPECT_NE(today.out.find(" and play starts afresh. The level of 2024-06-03, a Monday: 10 "
                           "moves at best.\n"),
            std::string::npos);
  EXPECT_EQ(shown(today), level_text(daily_level(*read_date("2024-06-03")).level));
  EXPECT_EQ(shown(play({"--daily", "2024-06-03"}, "show\n")), shown(today));
}

}  // namespace

TEST_F(PlayCommandTest, ProgressIsKeptUnderAnAbsoluteStateOrHomeOrItIsSaidOnceWhyNot) {
  EXPECT_EQ(*progress_directory("/state", "/home/me"), "/state/escape-puzzle");
  EXPECT_EQ(*progress_directory("state", "/home/me"), "/home/me/.local/state/escape-puzzle");
  EXPECT_EQ(*progress_directory(nullptr, "/home/me"), "/home/me/.local/state/escape-puzzle");
  for (const char* home : {static_cast<const char*>(nullptr), "", "me"}) {
    EXPECT_EQ(progress_directory("", home).reason(),
              "neither XDG_STATE_HOME nor HOME names an absolute directory");
  }

  play_setting nowhere;
  nowhere.progress_not_kept = "neither XDG_STATE_HOME nor HOME names an absolute directory";
  const std::string said =
      "Progress is not kept: neither XDG_STATE_HOME nor HOME names an absolute directory.\n";
  EXPECT_TRUE(run({"--level", "....../....../....../PP...a/.....a/......"}, "quit\n", nowhere)
                  .out.starts_with(said));
  EXPECT_EQ(run({"--progress"}, "", nowhere).err, "escape_play: " + said);
  EXPECT_FALSE(
      run({"--no-save", "--level", "....../....../....../PP...a/.....a/......"}, "quit\n", nowhere)
          .out.starts_with("Progress"));
}
