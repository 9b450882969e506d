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
  EXPECT_EQ(*read_progress_text(edited), kept);
  // A file of the first version holds best escapes alone.
  const result<progress> first =
      read_progress_text("escape-puzzle progress 1\n" + key_for(40) +
                         " moves 9 stars 1 tips 1 solutions 0 peeks 0 date 2024-05-07\n");
  ASSERT_TRUE(first) << first.reason();
  EXPECT_EQ(*first, (progress{{key_for(40), one_star}}));

  const result<progress> read = read_progress_text("\n# mine\n" + text.substr(25) + "\n");
  EXPECT_FALSE(read);
  EXPECT_EQ(read.reason(), "line 1: not \"escape-puzzle progress 2\"");
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
  for (const auto& [lines, why] : damaged) {
    const result<progress> refused = read_progress_text("escape-puzzle progress 2\n" + lines);
    ASSERT_FALSE(refused) << lines;
    EXPECT_EQ(refused.reason(), why) << lines;
  }
  // The first and the last cells a move can take; P and a key's last letter.
  const result<progress> moves = read_progress_text("escape-puzzle progress 2\n" + left +
                                                    "a+1,P-5 tips 0 solutions 0 peeks 0 time 1\n");
  ASSERT_TRUE(moves) << moves.reason();
  EXPECT_EQ(moves->at(key_for(1)).unfinished->moves, (std::vector<play_move>{{1, 1}, {0, -5}}));
}

}  // namespace
