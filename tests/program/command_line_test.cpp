#include "program/command_line.h"

#include <gtest/gtest.h>

#include "model/level.h"

namespace {

// The options of a small command: a flag, --moves, --seed, --seconds, --jobs and --out.
struct sample_command {
  bool flag = false;
  std::optional<int> moves;
  std::optional<std::uint64_t> seed;
  std::optional<double> seconds;
  std::optional<int> jobs;
  std::optional<std::string> out;

  // Reads the words, keeping at most one operand; the reason when refused.
  result<command_words> read(const std::vector<std::string>& words) {
    return read_command_line(words,
                             {flag_option("--flag", flag), moves_option(moves), seed_option(seed),
                              seconds_option("--seconds", seconds, 86400), jobs_option(jobs),
                              text_option("--out", out, "a directory")},
                             1);
  }
};

// The reason the words are refused, or "" when they are read.
std::string refusal(const std::vector<std::string>& words) {
  const result<command_words> read = sample_command{}.read(words);
  return read ? "" : read.reason();
}

}  // namespace

TEST(CommandLineTest, ReadsOptionsAndOperandsAndStopsAtHelp) {
  sample_command command;
  const result<command_words> read = command.read(
      {"--flag", "--moves", "7", "here", "--seed", "0", "--seconds", "0.5", "--out", "o"});
  ASSERT_TRUE(read) << read.reason();
  EXPECT_FALSE(read->help);
  EXPECT_EQ(read->operands, std::vector<std::string>{"here"});
  EXPECT_TRUE(command.flag);
  EXPECT_EQ(command.moves, 7);
  EXPECT_EQ(command.seed, 0u);
  EXPECT_EQ(command.seconds, 0.5);
  EXPECT_EQ(command.out, "o");
  for (const char* help : {"--help", "-h"}) {
    const result<command_words> helped = sample_command{}.read({"--flag", help, "--nonsense"});
    ASSERT_TRUE(helped);
    EXPECT_TRUE(helped->help);
    EXPECT_FALSE(helped->version);
  }
  for (const char* version : {"--version", "-V"}) {
    const result<command_words> asked = sample_command{}.read({"--flag", version, "--nonsense"});
    ASSERT_TRUE(asked);
    EXPECT_TRUE(asked->version);
    EXPECT_FALSE(asked->help);
  }
  EXPECT_EQ(version_line("escape_levels"), std::string("escape_levels ") + ESCAPE_VERSION);
}

TEST(CommandLineTest, RefusesTheFirstWrongWordSayingWhy) {
  EXPECT_EQ(refusal({"--nonsense"}), "unknown argument '--nonsense'");
  EXPECT_EQ(refusal({"-"}), "unknown argument '-'");
  EXPECT_EQ(refusal({"one", "two"}), "unknown argument 'two'");
  EXPECT_EQ(refusal({"--flag", "--flag"}), "--flag is given twice");
  EXPECT_EQ(refusal({"--moves", "3", "--moves", "3"}), "--moves is given twice");
  EXPECT_EQ(refusal({"--moves"}), "--moves needs a value");
  EXPECT_EQ(refusal({"--out", "--flag"}), "--out needs a value, not the option '--flag'");
  EXPECT_EQ(refusal({"--out", ""}), "--out takes a directory, not an empty name");
  EXPECT_EQ(refusal({"--moves", "3x", "--nonsense"}),
            "--moves takes a whole number from 0 to 50, not '3x'");
  // Words are quoted as messages show text from outside: control characters escaped.
  EXPECT_EQ(refusal({"--m\x1B[2Joves"}), "unknown argument '--m\\x1B[2Joves'");
  EXPECT_EQ(refusal({"--moves", "5\n6"}), "--moves takes a whole number from 0 to 50, not '5\\n6'");
  EXPECT_EQ(refusal({"--out", "-\r"}), "--out needs a value, not the option '-\\r'");
}

TEST(CommandLineTest, SharedOptionsTakeTheirWholeRangeAndNothingBeyond) {
  const std::string moves_refused =
      "--moves takes a whole number from 0 to " + std::to_string(most_level_moves) + ", not '";
  EXPECT_EQ(refusal({"--moves", "0"}), "");
  EXPECT_EQ(refusal({"--moves", std::to_string(most_level_moves)}), "");
  EXPECT_EQ(refusal({"--moves", "-1"}), moves_refused + "-1'");
  EXPECT_EQ(refusal({"--moves", std::to_string(most_level_moves + 1)}),
            moves_refused + std::to_string(most_level_moves + 1) +
                "': no level of this board needs more than 50 moves");
  EXPECT_EQ(refusal({"--seed", "18446744073709551615"}), "");
  EXPECT_EQ(refusal({"--seed", "18446744073709551616"}),
            "--seed takes a whole number from 0 to 18446744073709551615, not "
            "'18446744073709551616'");
  EXPECT_EQ(refusal({"--seed", "-1"}).substr(0, 6), "--seed");
  EXPECT_EQ(refusal({"--seconds", "86400"}), "");
  EXPECT_EQ(refusal({"--seconds", "86400.5"}),
            "--seconds takes a number of seconds above 0 and up to 86400, not '86400.5'");
  EXPECT_NE(refusal({"--seconds", "0"}), "");
  EXPECT_EQ(refusal({"--seconds", "0.001"}), "");
  const std::string jobs_refused = "--jobs takes a whole number from 0 to 256, not '";
  EXPECT_EQ(refusal({"--jobs", "0"}), "");
  EXPECT_EQ(refusal({"--jobs", "256"}), "");
  EXPECT_EQ(refusal({"--jobs", "-1"}), jobs_refused + "-1'");
  EXPECT_EQ(refusal({"--jobs", "257"}), jobs_refused + "257'");
}

TEST(CommandLineTest, AValueThatMayBeLeftOutIsTheNextWordWhenItIsOne) {
  const auto read = [](const std::vector<std::string>& words, bool& given,
                       std::optional<int>& level) {
    bool flag = false;
    return read_command_line(
        words, {optional_number_option("--level", given, level, 1, 60), flag_option("--f", flag)},
        1);
  };
  const std::pair<std::vector<std::string>, std::optional<int>> taken[] = {
      {{"--level"}, std::nullopt},
      {{"--level", "--f"}, std::nullopt},
      {{"--level", "60"}, 60},
      {{"--f", "--level", "9"}, 9}};
  for (const auto& [words, value] : taken) {
    bool given = false;
    std::optional<int> level;
    const result<command_words> read_words = read(words, given, level);
    ASSERT_TRUE(read_words) << read_words.reason();
    EXPECT_TRUE(given);
    EXPECT_EQ(level, value);
    EXPECT_TRUE(read_words->operands.empty());
  }
  bool given = false;
  std::optional<int> level;
  // A word that is no number is an operand; a number out of range is refused.
  ASSERT_TRUE(read({"--level", "here"}, given, level));
  EXPECT_EQ(read({"--level", "here"}, given, level)->operands, std::vector<std::string>{"here"});
  EXPECT_EQ(level, std::nullopt);
  for (const char* refused : {"0", "61", "-1"}) {
    EXPECT_EQ(read({"--level", refused}, given, level).reason(),
              std::string("--level takes a whole number from 1 to 60, not '") + refused + "'");
  }
}
