#include "search/position_table.h"

#include <gtest/gtest.h>

TEST(PositionTableTest, NumbersKeysInTheOrderAdded) {
  position_table table;
  // Growing, then emptying a large table with many positions and with few.
  for (const std::uint64_t count : {5000, 10, 300}) {
    for (std::uint64_t p = 0; p < count; ++p) {
      ASSERT_TRUE(table.add(p * 7));
      ASSERT_EQ(table.size(), p + 1);
    }
    EXPECT_FALSE(table.add(7 * (count - 1)));
    EXPECT_EQ(table.number_of(7 * 6), 6u);
    EXPECT_EQ(table.position(6), 7u * 6);
    EXPECT_EQ(table.number_of(5), std::nullopt);
    EXPECT_EQ(table.size(), count);
    // Any key but all ones, the move counter's keys of up to 50 bits among them.
    const std::uint64_t far = ~std::uint64_t{0} - 1;
    EXPECT_TRUE(table.add(far));
    EXPECT_EQ(table.number_of(far), count);
    EXPECT_FALSE(table.add(far));
    table.clear();
    EXPECT_EQ(table.number_of(7 * 6), std::nullopt);
    EXPECT_EQ(table.size(), 0u);
  }
}
