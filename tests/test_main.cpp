// The test program's entry: GoogleTest's, with one death-test style for every test.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // Death tests fork the test process as it is, so that a child shares its
  // parent's temporary directory and the parent removes it.
  GTEST_FLAG_SET(death_test_style, "fast");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
