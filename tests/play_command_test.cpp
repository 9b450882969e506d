#include "play_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "level_directory.h"
#include "level_maker.h"
#include "level_search.h"
#include "level_text.h"
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

TEST(PlayCommandTest, HelpAndWhatItRefuses) {
  const command_run help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("usage: escape_play [--lines] [DIR]\n")) << help.out;

  const std::vector<std::vector<std::string>> refused = {
      {"--colour"},      {"--moves", "5"},          {"--new", "--moves", "101"},
      {"--new", "here"}, {"--level", "P", "--new"}, {"--new", "--seed", "x"}};
  for (const std::vector<std::string>& arguments : refused) {
    const command_run bad = run(arguments);
    EXPECT_EQ(bad.status, 2) << arguments[0];
    EXPECT_TRUE(bad.err.ends_with("escape_play [--lines] --level TEXT\n")) << bad.err;
    EXPECT_EQ(bad.out, "");
  }
  // A text form that is no sound level gets one line.
  const command_run text = run({"--level", "PP"});
  EXPECT_EQ(text.status, 2);
  EXPECT_EQ(text.err.find('\n'), text.err.size() - 1) << text.err;

  // Help that cannot be shown is an error, as on a full disk.
  full_disk_buffer full;
  std::ostream nowhere(&full);
  std::ostringstream said;
  std::istringstream none;
  EXPECT_EQ(run_play_command({"-h"}, none, nowhere, said, {}), 1);
  EXPECT_EQ(said.str(), "escape_play: cannot write to standard output: No space left on device\n");
}

TEST(PlayCommandTest, SaysWhereNoLevelIsAndWhatToDo) {
  scoped_temp_dir dir;
  const command_run missing = run({"no\x1bwhere"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err,
            "escape_play: no level to play in \"no\\x1Bwhere\": it holds no level files. Make one "
            "with escape_puzzle in \"no\\x1Bwhere\", or play a new one: escape_play --new, or "
            "escape_play --level TEXT.\n");
  EXPECT_TRUE(run({}).err.starts_with(
      "escape_play: no level to play in this directory: it holds no level files. Make one with "
      "escape_puzzle here,"));

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

TEST(PlayCommandTest, PlaysALevelFromADirectoryItsTextOrTheMaker) {
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
  const command_run watched = run({"--new", "--moves", "3", "--seed", "7"}, "", {false, {}, true});
  EXPECT_TRUE(watched.err.starts_with("\rMaking a level of 3 moves... 0 s")) << watched.err;
  EXPECT_TRUE(watched.err.ends_with("\r" + std::string(32, ' ') + "\r")) << watched.err;
}

TEST(PlayCommandTest, TheWholeTerminalWhenThereIsOneUnlessLinesAreAskedFor) {
  const test_level level = two_move_level();
  int played = 0;
  play_setting setting;
  setting.full_screen = [&](const offered_level& offered, level_source new_level) {
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

}  // namespace
