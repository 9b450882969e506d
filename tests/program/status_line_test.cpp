#include "program/status_line.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(StatusLineTest, ALineCoversTheLongerOneBeforeAndIsTakenAwayOnce) {
  std::ostringstream out;
  {
    status_line line(out);
    line.clear();  // nothing shows yet
    line.show("abc");
    line.show("a");
    line.show("abcd");
    line.clear();
    line.clear();
    EXPECT_EQ(out.str(), "\rabc\ra  \rabcd\r    \r");
    line.show("xy");
  }
  EXPECT_TRUE(out.str().ends_with("\rxy\r  \r"));
}
