#include "model/level_text.h"

#include <gtest/gtest.h>

#include "support/level_search.h"

TEST(LevelTextTest, TextFormReadsBackAsTheSameLevel) {
  const play_level level{play_block{true, 2, 1, 3},
                         {play_block{false, 3, 0, 0}, play_block{true, 3, 3, 0},
                          play_block{false, 2, 4, 2}, play_block{true, 2, 2, 5}}};
  const std::string text = level_text(level);
  EXPECT_EQ(text, "a..bbba.....a...c..PP.c.........dd..");
  // With row separators, with letters that skip some, and with the text's own letters.
  for (const std::string& form : {text, std::string("a..bbb/a...../a...c./.PP.c./....../..dd.."),
                                  std::string("a..ddd/a...../a...k./.PP.k./....../..mm..")}) {
    const result<play_level> read = read_level_text(form);
    ASSERT_TRUE(read) << form << ": " << read.reason();
    EXPECT_EQ(level_text(*read), text);
    EXPECT_EQ(read->prisoner, level.prisoner);
    EXPECT_EQ(read->blockers, level.blockers);
  }
}

TEST(LevelTextTest, UnsoundTextsGetOneLineSayingWhy) {
  const std::pair<std::string, std::string> cases[] = {
      {"a..bbba.....a...c..PP.c.........dd.", "has 35 cells, expected 36"},
      {"a..bbba.....a...c..PP.c.........dd...", "has 37 cells, expected 36"},
      {"a..bbb/a..../a...c./.PP.c./....../..dd..", "row 1 of the level text has 5 cells"},
      {"a..bbb/a...../a...c./.PP.c./......", "has 5 rows, expected 6"},
      {"a..bbba.....a...c..PP.c.........dd.x", "holds 'x' at row 5, column 5"},
      {"a..bbba.....a...c..PP.c.........dN..", "holds 'N' at row 5, column 3"},
      {"a..bbba.....a...c..PP.c.........d\n..", "holds the byte 0x0A at row 5, column 3"},
      {"a..bbba.....a...c..PP.c.........d\x7f..", "holds the byte 0x7F at row 5, column 3"},
      {"a..bbba.....a...c..PP.c.........d~..", "holds '~' at row 5, column 3"},
      // Cells are characters, not bytes.
      {"a..bbba.....a...c..PP.c.........dd.\xc3\xa9", "holds '\xc3\xa9' at row 5, column 5"},
      {"a..bbb/a...../a...c./.PP.c./....../..dd\xc2\x9b.", "holds '\\u009B' at row 5, column 4"},
      {"a..bbba.....a...c...P.c.........dd..", "the prisoner P is not two cells"},
      {"a..bbba..P..a..Pc.....c.........dd..", "the prisoner P is not two cells"},
      {"a..bbba.....a...c.....c.........dd..", "no prisoner P"},
      {"a..bbba.....a...c.....c.PP......dd..", "the prisoner P is in row 4, expected row 3"},
      {"a..bbba.....a...c..PP.c.........d.d.", "blocker d is not two or three cells"},
      {"a..bbba.....a...c..PP.c.........dddd", "blocker d is not two or three cells"},
      {"a.bbb.a.....a...c..PP.c.....d......d", "blocker d is not two or three cells"},
      {"......................PP............", "no blockers, expected 1 to 13"},
      {"...................PP.aa............", "right of the prisoner in its own row"},
  };
  for (const auto& [text, expected] : cases) {
    const result<play_level> read = read_level_text(text);
    EXPECT_FALSE(read) << text;
    EXPECT_NE(read.reason().find(expected), std::string::npos) << text << ": " << read.reason();
    EXPECT_EQ(read.reason().find('\n'), std::string::npos) << text;
  }
}
