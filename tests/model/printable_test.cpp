#include "model/printable.h"

#include <gtest/gtest.h>

TEST(PrintableTest, ControlCodesAndBrokenBytesAreEscapedCharactersKept) {
  EXPECT_EQ(printable("a\nb\tc\rd\x1b[31m\x7f"), "a\\nb\\tc\\rd\\x1B[31m\\x7F");
  EXPECT_EQ(printable("caf\xc3\xa9 ~"), "caf\xc3\xa9 ~");
  EXPECT_EQ(printable("\xc2\x9b"
                      "1m"),
            "\\u009B1m");
  EXPECT_EQ(printable("\xff\xc3 \xc0\xaf \xed\xa0\x80"), "\\xFF\\xC3 \\xC0\\xAF \\xED\\xA0\\x80");
  EXPECT_EQ(quoted_path("dir\n1"), "\"dir\\n1\"");
  EXPECT_EQ(characters_of("a\xc3\xa9\xe2\x82\xac\xf0\x9f\x99\x82\xff").size(), 5u);
}
