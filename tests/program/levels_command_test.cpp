#include "program/levels_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "model/level_files.h"
#include "model/level_records.h"
#include "model/level_text.h"
#include "search/level_maker.h"
#include "search/puzzle_identity.h"
#include "support/scratch_dir.h"
#include "test_support.h"

namespace {

struct run_result {
  int status = 0;
  std::string out;
  std::string err;
};

run_result run(const std::vector<std::string>& arguments, const levels_terminal& terminal = {}) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = run_levels_command(arguments, out, err, terminal);
  return {status, out.str(), err.str()};
}

// The text forms in a printout: the lines of 36 characters.
std::vector<std::string> text_forms(const std::string& printout) {
  std::vector<std::string> forms;
  std::istringstream lines(printout);
  for (std::string line; std::getline(lines, line);) {
    if (line.size() == 36 && line.find('|') == std::string::npos) {
      forms.push_back(line);
    }
  }
  return forms;
}

}  // namespace

TEST(LevelsCommandTest, HelpAndBadArguments) {
  const run_result help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: escape_levels --moves N", 0), 0u) << help.out;
  EXPECT_EQ(help.err, "");
  for (const char* version : {"--version", "-V"}) {
    const run_result shown = run({version});
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, std::string("escape_levels ") + ESCAPE_VERSION + "\n");
  }

  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "say what to make"},
      {{"--moves", "3", "--hardest"}, "exclude each other"},
      {{"--moves", "51"}, "--moves takes a whole number from 0 to 50, not '51': no level"},
      {{"--moves", "3", "--count", "0"}, "--count takes a whole number from 1"},
      {{"--moves", "3", "--seed", "seven"}, "--seed takes a whole number"},
      {{"--moves", "3", "--seconds", "0"}, "--seconds takes a number of seconds above 0"},
      {{"--hardest", "--out", ""}, "--out takes a directory"},
      {{"--hardest", "--count", "2"}, "--count goes with --moves only"},
      {{"--hardest", "--lean"}, "--lean goes with --moves only"},
      {{"--hardest", "--jobs", "257"}, "--jobs takes a whole number from 0 to 256"},
      {{"--moves", "3", "--level"}, "unknown argument '--level'"},
  };
  for (const auto& [arguments, expected] : cases) {
    const run_result bad = run(arguments);
    EXPECT_EQ(bad.status, 2) << expected;
    EXPECT_EQ(bad.out, "") << expected;
    // One line saying what is wrong, then the usage.
    const std::size_t line_end = bad.err.find('\n');
    EXPECT_EQ(bad.err.rfind("escape_levels: ", 0), 0u) << bad.err;
    EXPECT_NE(bad.err.substr(0, line_end).find(expected), std::string::npos) << bad.err;
    EXPECT_EQ(bad.err.find("usage: escape_levels --moves N"), line_end + 1) << bad.err;
  }
}

TEST(LevelsCommandTest, LevelsOfExactMovesWithTheirSeedsAndFiles) {
  scoped_temp_dir dir;
  const run_result made = run({"--moves", "4", "--count", "2", "--seed", "7", "--out", "made"});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.err, "");
  for (const char* line : {"fewest moves: 4\nseed: 7\ntime: ", "fewest moves: 4\nseed: 8\n"}) {
    EXPECT_NE(made.out.find(line), std::string::npos) << made.out;
  }
  const std::vector<std::string> forms = text_forms(made.out);
  ASSERT_EQ(forms.size(), 2u) << made.out;
  // Each level a board first; one blank line between levels, none before or after.
  EXPECT_TRUE(made.out.starts_with("+---")) << made.out;
  EXPECT_EQ(made.out.find("\n\n"), made.out.rfind("\n\n"));
  EXPECT_EQ(made.out.substr(made.out.find("\n\n"), 6), "\n\n+---");
  EXPECT_FALSE(made.out.ends_with("\n\n"));

  // The second level's seed makes it again, on any number of jobs; --lean asks for a lean one.
  const run_result again = run({"--moves", "4", "--seed", "8", "--jobs", "1"});
  EXPECT_EQ(text_forms(again.out), std::vector<std::string>{forms[1]});
  const run_result lean = run({"--moves", "4", "--seed", "8", "--lean"});
  EXPECT_EQ(text_forms(lean.out),
            std::vector<std::string>{level_text(make_level(4, 8, {}, {}, true)->level)});

  for (std::size_t i = 0; i < forms.size(); ++i) {
    const result<level_records> loaded =
        load_level_files(dir.path() / "made" / std::to_string(i + 1));
    ASSERT_TRUE(loaded) << loaded.reason();
    const level_records& stored = *loaded;
    const int num_block = stored.num_block;
    EXPECT_EQ(level_text(level_of_records(stored.prisoner, stored.blockers, num_block)), forms[i]);
    // Every block as the generator leaves it, the unused entries zero.
    EXPECT_EQ(encode_block(stored.prisoner),
              encode_block(record_of(block_of_record(stored.prisoner))));
    for (int b = 0; b < num_block; ++b) {
      const BLOCK& blocker = stored.blockers[b];
      EXPECT_EQ(encode_block(blocker), encode_block(record_of(block_of_record(blocker))));
    }
    const std::string bytes = read_bytes(dir.path() / "made" / std::to_string(i + 1) / "blockers");
    EXPECT_EQ(
        bytes.substr(block_image_size * static_cast<std::size_t>(num_block)),
        std::string(block_image_size * static_cast<std::size_t>(max_blockers - num_block), '\0'));
  }
}

TEST(LevelsCommandTest, HardestSearchShowsItsProgressAndStatus) {
  levels_terminal terminal;
  terminal.progress = true;
  terminal.progress_after = 0;
  const run_result hardest = run({"--hardest", "--seconds", "0.3", "--seed", "1"}, terminal);
  EXPECT_EQ(hardest.status, 0);
  EXPECT_EQ(text_forms(hardest.out).size(), 1u) << hardest.out;
  EXPECT_NE(hardest.out.find("\ndifferent puzzles met: "), std::string::npos) << hardest.out;
  EXPECT_NE(hardest.err.find("\rsearching: "), std::string::npos);
  EXPECT_EQ(hardest.err.back(), '\r');

  const run_result none = run({"--moves", "35", "--seconds", "0.001", "--seed", "1"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err, "escape_levels: no level of 35 moves found in 0.001 s (seed 1)\n");
}

TEST(LevelsCommandTest, CountGivesDifferentPuzzlesWhileTheMakerKnowsAny) {
  // Two from the bank and two from a search: no two one puzzle or variants.
  for (const char* moves : {"44", "12"}) {
    const run_result made = run({"--moves", moves, "--count", "2", "--seed", "5"});
    ASSERT_EQ(made.status, 0) << made.err;
    const std::vector<std::string> forms = text_forms(made.out);
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_FALSE(too_alike(identity_of(*read_level_text(forms[0])),
                           identity_of(*read_level_text(forms[1]))));
    // The second level's seed, printed, makes it again.
    const std::size_t seed_at = made.out.rfind("seed: ") + 6;
    const std::string seed = made.out.substr(seed_at, made.out.find('\n', seed_at) - seed_at);
    EXPECT_EQ(text_forms(run({"--moves", moves, "--seed", seed}).out),
              std::vector<std::string>{forms[1]});
  }
  // The board holds one puzzle of 50 moves.
  const run_result one = run({"--moves", "50", "--count", "2", "--seed", "5"});
  EXPECT_EQ(one.status, 1);
  EXPECT_EQ(text_forms(one.out).size(), 1u);
  EXPECT_EQ(one.err,
            "escape_levels: the maker knows no other puzzle of 50 moves than the 1 above; "
            "--moves 49 has more\n");
}

namespace {

// Keeps what was written at each flush.
class flush_recorder : public std::stringbuf {
 public:
  std::vector<std::string> at_flush;

 protected:
  int sync() override {
    at_flush.push_back(str());
    return 0;
  }
};

}  // namespace

TEST(LevelsCommandTest, EachLevelGoesOutAsSoonAsItIsMadeOrTheProgramSaysWhyNot) {
  flush_recorder recorder;
  std::ostream out(&recorder);
  std::ostringstream err;
  ASSERT_EQ(run_levels_command({"--moves", "2", "--count", "2", "--seed", "3"}, out, err, {}), 0);
  ASSERT_EQ(recorder.at_flush.size(), 2u);
  EXPECT_EQ(text_forms(recorder.at_flush[0]).size(), 1u);
  EXPECT_TRUE(recorder.at_flush[0].ends_with(" s\n"));
  EXPECT_EQ(recorder.at_flush[1], recorder.str());

  full_disk_buffer full;
  std::ostream nowhere(&full);
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--moves", "2", "--seed", "3"}, {"--help"}}) {
    std::ostringstream said;
    EXPECT_EQ(run_levels_command(arguments, nowhere, said, {}), 1);
    EXPECT_EQ(said.str(),
              "escape_levels: cannot write to standard output: No space left on device\n");
  }
}
