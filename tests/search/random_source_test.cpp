#include "search/random_source.h"

#include <gtest/gtest.h>

TEST(RandomSourceTest, OneSeedDrawsTheSameNumbersEverywhere) {
  // xoshiro256** seeded through splitmix64, as published.
  random_source zero(0);
  EXPECT_EQ(zero.next(), 0x99ec5f36cb75f2b4u);
  EXPECT_EQ(zero.next(), 0xbf6e1f784956452au);
  EXPECT_EQ(zero.next(), 0x1a5f849d4933e6e0u);
  random_source day(20240609);
  EXPECT_EQ(day.next(), 0x947f63592b9cd608u);

  // Numbers below n from 0 to n - 1, at both ends of n; chances of 0 and 100 in a hundred.
  random_source random(7);
  bool reached_top = false;
  for (int i = 0; i < 2000; ++i) {
    EXPECT_EQ(random.below(1), 0);
    const int small = random.below(3);
    EXPECT_TRUE(small >= 0 && small < 3);
    reached_top = reached_top || small == 2;
    const int large = random.below(0x7fffffff);
    EXPECT_TRUE(large >= 0 && large < 0x7fffffff);
    EXPECT_FALSE(random.chance(0));
    EXPECT_TRUE(random.chance(100));
  }
  EXPECT_TRUE(reached_top);
}
