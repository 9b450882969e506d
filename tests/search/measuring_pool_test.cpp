#include "search/measuring_pool.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "search/fewest_moves.h"
#include "support/level_corpus.h"
#include "support/level_search.h"

TEST(MeasuringPoolTest, MeasuresEachLayoutAsTheMapDoes) {
  std::vector<play_level> layouts;
  for (const corpus_level& level : level_corpus()) {
    layouts.push_back(parse_level(level.picture));
  }
  ASSERT_GE(layouts.size(), 6u);
  const std::uint32_t most = 20'000;
  measuring_pool pool(2, most);
  std::vector<std::shared_ptr<measurement>> queued;
  for (const play_level& layout : layouts) {
    queued.push_back(pool.measure(layout, 12));
  }
  std::uint64_t positions = 0;
  bool left_one = false;
  for (std::size_t i = 0; i < layouts.size(); ++i) {
    std::optional<measurement> done;
    while (!(done = pool.wait_for(*queued[i], std::chrono::milliseconds(100)))) {
    }
    fewest_moves_map map;
    const bool whole = map.measure(layouts[i], most, 12);
    left_one = left_one || !whole;
    EXPECT_EQ(done->tried, whole ? map.farthest() : -1) << i;
    EXPECT_EQ(done->size, map.size()) << i;
    positions += map.size();
  }
  EXPECT_TRUE(left_one);
  EXPECT_EQ(pool.positions(), positions);

  // Without threads nothing is measured: a wait ends with nothing.
  measuring_pool idle(0, most);
  const std::shared_ptr<measurement> never = idle.measure(layouts[0], 3);
  EXPECT_FALSE(idle.wait_for(*never, std::chrono::milliseconds(1)).has_value());
}
