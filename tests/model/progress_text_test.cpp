#include "model/progress_text.h"

#include <gtest/gtest.h>

namespace {

// A key of the right form, different for every n below 36 * 13.
std::string key_for(int n) {
  std::string key(36, '.');
  key[static_cast<std::size_t>(n % 36)] = static_cast<char>('a' + n / 36);
  return key;
}

const level_best three_stars{2, 3, 0, 0, 0, "2024-05-06"};
const level_best one_star{9, 1, 1, 0, 0, "2024-05-07"};

TEST(ProgressTextTest, ReadsBackWhatItWritesAndTheFirstVersionToo) {
  level_record full(three_stars);
  full.fastest = 42;
  full.attempts = 3;
  full.unfinished = unfinished_attempt{{{0, 1}, {1, -2}}, 1, 0, 2, 75};
  level_record tried;
  tried.attempts = 1;
  tried.unfinished = unfinished_attempt{{}, 1, 0, 0, 5};
  const progress kept{{key_for(0), full}, {key_for(40), one_star}, {key_for(41), tried}};
  const std::string text = progress_text(kept);
  // Levels in the order of their keys, '.' first.
  EXPECT_EQ(text, "escape-puzzle progress 2\n" + key_for(41) + " attempts 1\n" + key_for(41) +
                      " unfinished - tips 1 solutions 0 peeks 0 time 5\n" + key_for(40) +
                      " moves 9 stars 1 tips 1 solutions 0 peeks 0 date 2024-05-07\n" + key_for(0) +
                      " moves 2 stars 3 tips 0 solutions 0 peeks 0 date 2024-05-06 fastest 42 "
                      "attempts 3\n" +
                      key_for(0) + " unfinished P+1,a-2 tips 1 solutions 0 peeks 2 time 75\n");
  const std::string edited = text + "\n# a note of mine\n";
  ASSERT_TRUE(read_progress_text(edited));
  EXPECT_EQ(read_progress_text(edited)->kept, kept);
  EXPECT_EQ(read_progress_text(edited)->lost, 0);
  // CRLF line ends and a byte-order mark are read as well.
  std::string crlf = "\xEF\xBB\xBF";
  for (const char c : text) {
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  }
  EXPECT_EQ(read_progress_text(crlf)->kept, kept);
  EXPECT_EQ(read_progress_text(crlf)->lost, 0);
  // A file of the first version holds best escapes alone.
  const result<progress_read> first =
      read_progress_text("escape-puzzle progress 1\n" + key_for(40) +
                         " moves 9 stars 1 tips 1 solutions 0 peeks 0 date 2024-05-07\n");
  ASSERT_TRUE(first) << first.reason();
  EXPECT_EQ(first->kept, (progress{{key_for(40), one_star}}));
  EXPECT_EQ(first->lost, 0);

  // A version line missing loses itself alone; a file of a newer version is
  // not read at all.
  const result<progress_read> no_version = read_progress_text("\n# mine\n" + text.substr(25));
  ASSERT_TRUE(no_version);
  EXPECT_EQ(no_version->first_fault, "line 1: not \"escape-puzzle progress 2\"");
  EXPECT_EQ(no_version->kept, kept);
  EXPECT_EQ(read_progress_text("escape-puzzle progress 3\n" + text.substr(25)).reason(),
            "was written by a newer version of the game (\"escape-puzzle progress 3\")");
  EXPECT_EQ(read_progress_text("escape-puzzle progress 2x\n")->lost, 1);
}

TEST(ProgressTextTest, SaysWhereALineIsDamagedAndWhy) {
  const std::string line = key_for(1) + " moves 2 stars 3 tips 0 solutions 0 peeks 0 date ";
  const std::string left = key_for(1) + " unfinished ";
  const std::pair<std::string, const char*> damaged[] = {
      {"nonsense", "line 2: not a level's text form and its fields"},
      {key_for(1), "line 2: not a level's text form and its fields"},
      {line + "2024-05-06 more", "line 2: a field without its value"},
      {line + "2024-05-06 more 1", "line 2: an unknown field more"},
      {line + "2024-05-06 moves 1", "line 2: the field moves given twice"},
      {line + "2024-5-06.", "line 2: no date YYYY-MM-DD where it belongs"},
      {key_for(1) + " moves 2 stars 4 tips 0 solutions 0 peeks 0 date 2024-05-06",
       "line 2: stars are 1 to 3"},
      {key_for(1) + " moves -2 stars 3 tips 0 solutions 0 peeks 0 date 2024-05-06",
       "line 2: no count of moves where it belongs"},
      {key_for(1) + " moves 2 stars 3 peeks 0 date 2024-05-06",
       "line 2: no count of tips where it belongs"},
      {key_for(1) + " date 2024-05-06", "line 2: no count of moves where it belongs"},
      {key_for(1) + " attempts x", "line 2: no count of attempts where it belongs"},
      {key_for(1) + " attempts 0", "line 2: not a level's text form and its fields"},
      {line + "2024-05-06\n" + line + "2024-05-07", "line 3: a level given twice"},
      {left, "line 2: an unfinished attempt without its moves"},
      {left + "a+1 tips 0 solutions 0 peeks 0",
       "line 2: an unfinished attempt without its help "
       "and time"},
      {left + "b+1 tips 0 solutions 0 peeks 0 time 1", "line 2: no move where one belongs"},
      {left + "a+0 tips 0 solutions 0 peeks 0 time 1", "line 2: no move where one belongs"},
      {left + "a+6 tips 0 solutions 0 peeks 0 time 1", "line 2: no move where one belongs"},
      {left + "a*1 tips 0 solutions 0 peeks 0 time 1", "line 2: no move where one belongs"},
      {left + "a+1, tips 0 solutions 0 peeks 0 time 1", "line 2: no move where one belongs"},
      {left + "- tips 0 solutions 0 peeks 0 time 1 more 2", "line 2: an unknown field more"},
      {left + "- tips 0 solutions 0 peeks 0 time 1\n" + left +
           "- tips 0 solutions 0 peeks 0 time 2",
       "line 3: a level's unfinished attempt given twice"}};
  // Each is lost alone; the sound lines around it are kept.
  const std::string sound = key_for(2) + " attempts 1\n";
  for (const auto& [lines, why] : damaged) {
    const result<progress_read> read =
        read_progress_text("escape-puzzle progress 2\n" + lines + "\n" + sound);
    ASSERT_TRUE(read) << lines;
    EXPECT_EQ(read->first_fault, why) << lines;
    EXPECT_EQ(read->lost, 1) << lines;
    EXPECT_TRUE(read->kept.contains(key_for(2))) << lines;
  }
  // The first and the last cells a move can take; P and a key's last letter.
  const result<progress_read> moves = read_progress_text(
      "escape-puzzle progress 2\n" + left + "a+1,P-5 tips 0 solutions 0 peeks 0 time 1\n");
  ASSERT_TRUE(moves) << moves.reason();
  EXPECT_EQ(moves->kept.at(key_for(1)).unfinished->moves,
            (std::vector<play_move>{{1, 1}, {0, -5}}));
}

}  // namespace
