#include "model/random_lvl_function.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <set>
#include <sstream>
#include <tuple>
#include <utility>
#include <vector>

#include "model/level_files.h"
#include "support/level_search.h"
#include "support/scratch_dir.h"
#include "support/simulated_platform.h"

namespace {

using grid = bool[board_size][board_size];
using position = std::pair<int, int>;

constexpr std::int64_t second_us = 1'000'000;
constexpr std::int64_t start_second = 1'700'000'000;
constexpr int cells = board_size * board_size;

int marked_cells(const bool (*g)[board_size]) {
  return static_cast<int>(std::count(&g[0][0], &g[0][0] + cells, true));
}

bool same_grid(const bool (*a)[board_size], const bool (*b)[board_size]) {
  return std::equal(&a[0][0], &a[0][0] + cells, &b[0][0]);
}

void copy_grid(grid& to, const bool (*from)[board_size]) {
  std::copy(&from[0][0], &from[0][0] + cells, &to[0][0]);
}

// Identifier and occupied points agree with the block's position.
bool identity_matches_position(const BLOCK& b) {
  return encode_block(b) == encode_block(make_block(b.horizontal, b.length, b.x, b.y));
}

simulated_platform platform_at(std::int64_t second, std::int64_t fraction_us = 0,
                               std::int64_t tick_us = 1, std::int64_t spread_us = 0) {
  simulated_platform platform(second * second_us + fraction_us, tick_us);
  platform.tick_spread_us = spread_us;
  return platform;
}

}  // namespace

// ---------------------------------------------------------- placement rules

TEST(RandomLvlFunctionTest, DrawsFollowTheClockSecond) {
  simulated_platform platform = platform_at(start_second, 1000);
  const scoped_generator_platform use(platform);
  const BLOCK first = x_y_assign(make_block(false, 3, 0, 0));
  const BLOCK second = x_y_assign(make_block(false, 3, 5, 2));
  EXPECT_EQ(position(first.x, first.y), position(second.x, second.y));
  const int r = simulated_platform::value_for(start_second);
  EXPECT_EQ(position(first.x, first.y), position(r % 6, r % 4));  // across the axis first

  // Seedings that straddle a change of second mix two values.
  simulated_platform edge = platform_at(start_second, second_us - 2);
  const scoped_generator_platform use_edge(edge);
  const BLOCK straddling = x_y_assign(make_block(true, 2, 0, 0));
  EXPECT_EQ(straddling.y, simulated_platform::value_for(start_second) % 6);
  EXPECT_EQ(straddling.x, simulated_platform::value_for(start_second + 1) % 5);

  // Within one second: always on the board, and length 3 only at equal parity.
  for (bool horizontal : {true, false}) {
    for (int length : {2, 3}) {
      std::set<position> seen;
      for (std::int64_t s = 0; s < 600; ++s) {
        simulated_platform one = platform_at(start_second + s);
        const scoped_generator_platform use_one(one);
        const BLOCK b = x_y_assign(make_block(horizontal, length, 0, 0));
        EXPECT_EQ(b.horizontal, horizontal);
        EXPECT_EQ(b.length, length);
        seen.insert(position(position_along(b), line_of(b)));
        EXPECT_TRUE(length == 2 || b.x % 2 == b.y % 2);
      }
      EXPECT_EQ(seen.size(), length == 2 ? 30u : 12u);  // of 30 and 24 on the board
      EXPECT_LE(seen.rbegin()->first, board_size - length);
      EXPECT_GE(seen.begin()->first, 0);
      EXPECT_TRUE(std::all_of(seen.begin(), seen.end(),
                              [](const position& p) { return p.second >= 0 && p.second < 6; }));
    }
  }
}

TEST(RandomLvlFunctionTest, CanBlockBePlacedLooksForFreeCellsAnywhere) {
  grid g{};
  for (bool horizontal : {true, false}) {
    for (int length : {2, 3}) {
      EXPECT_TRUE(can_block_be_placed(make_block(horizontal, length, 0, 0), g));
    }
  }
  for (int y = 0; y < board_size; ++y) {
    g[2][y] = g[3][y] = true;
  }
  EXPECT_FALSE(can_block_be_placed(make_block(true, 3, 0, 0), g));
  EXPECT_FALSE(can_block_be_placed(make_block(true, 3, 3, 5), g));  // the position plays no part
  EXPECT_TRUE(can_block_be_placed(make_block(true, 2, 0, 0), g));
  EXPECT_TRUE(can_block_be_placed(make_block(false, 3, 2, 0), g));
  std::fill(&g[0][0], &g[0][0] + cells, true);
  g[5][5] = false;
  EXPECT_FALSE(can_block_be_placed(make_block(true, 2, 0, 0), g));
  g[5][4] = false;
  EXPECT_TRUE(can_block_be_placed(make_block(false, 2, 0, 0), g));
  EXPECT_FALSE(can_block_be_placed(make_block(true, 2, 0, 0), g));
}

TEST(RandomLvlFunctionTest, LegalityBarsOnlyHorizontalBlocksRightOfThePrisoner) {
  const BLOCK prisoner = make_block(true, 2, 2, 3);
  EXPECT_FALSE(is_block_legal(make_block(true, 2, 4, 3), prisoner));  // the bound itself
  EXPECT_FALSE(is_block_legal(make_block(true, 3, 3, 3), make_block(true, 2, 1, 3)));
  EXPECT_TRUE(is_block_legal(make_block(true, 2, 0, 3), prisoner));
  EXPECT_TRUE(is_block_legal(make_block(true, 2, 4, 2), prisoner));
  EXPECT_TRUE(is_block_legal(make_block(false, 2, 4, 2), prisoner));
  EXPECT_TRUE(is_block_legal(make_block(true, 2, 3, 3), prisoner));  // overlap is not its business

  // Room only in row 3 right of the prisoner fits, but not legally.
  grid g;
  std::fill(&g[0][0], &g[0][0] + cells, true);
  g[4][3] = g[5][3] = false;
  const BLOCK h2 = make_block(true, 2, 0, 0);
  EXPECT_TRUE(can_block_be_placed(h2, g));
  EXPECT_FALSE(can_block_be_placed_legally(h2, g, prisoner));
  g[5][4] = false;
  EXPECT_TRUE(can_block_be_placed_legally(make_block(false, 2, 0, 0), g, prisoner));
  g[0][0] = g[1][0] = false;
  EXPECT_TRUE(can_block_be_placed_legally(h2, g, prisoner));
}

// --------------------------------------------------------------- generator

namespace {

// Difficulty levels by tier, with the numbers of blockers each tier gives.
const std::pair<std::vector<int>, std::set<int>> tiers[] = {
    {{1, 7, 0, -5}, {3, 4, 5}}, {{8, 10}, {4, 5, 6}},   {{11, 14, 15, 21, 22, 25}, {7, 8}},
    {{26, 50}, {9, 10}},        {{51, 1000}, {11, 12}},
};

}  // namespace

TEST(RandomLvlFunctionTest, TiersAndLengths) {
  for (const auto& [levels, range] : tiers) {
    for (int level : levels) {
      std::set<int> seen;
      for (std::int64_t s = 0; s < 300; ++s) {
        seen.insert(number_of_blockers(level, simulated_platform::value_for(start_second + s)));
      }
      EXPECT_EQ(seen, range) << "level " << level;
    }
  }
  EXPECT_EQ(number_of_blockers(INT_MIN, 5), 5);
  EXPECT_EQ(number_of_blockers(INT_MAX, 5), 12);

  const std::vector<std::vector<int>> lengths = {
      {2, 3, 3},
      {2, 2, 3, 3},
      {2, 2, 3, 3, 3},
      {2, 2, 2, 3, 3, 3},
      {2, 2, 2, 3, 3, 3, 3},
      {2, 2, 2, 2, 3, 3, 3, 3},
      {2, 2, 2, 2, 3, 3, 3, 3, 3},
      {2, 2, 2, 2, 2, 3, 3, 3, 3, 3},
      {3, 3, 3, 3, 2, 2, 2, 2, 2, 2, 2},
      {3, 3, 3, 3, 2, 2, 2, 2, 2, 2, 2, 2},
  };
  for (const std::vector<int>& expected : lengths) {
    const int n = static_cast<int>(expected.size());
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(blocker_length(n, i), expected[i]) << n << " blockers, index " << i;
    }
  }
}

TEST(RandomLvlFunctionTest, FirstDrawsOfOneSecondShareOneValue) {
  for (std::int64_t s = 0; s < 60; ++s) {
    // A coarse, uneven tick keeps the placement cheap; the first readings stay in second s.
    simulated_platform platform = platform_at(start_second + s, 0, 50'000, 50'000);
    const scoped_generator_platform use(platform);
    const generated_level level = generate_level(1);
    ASSERT_EQ(platform.seed_times.at(2) / second_us, start_second + s);
    const int r = simulated_platform::value_for(static_cast<unsigned>(start_second + s));
    EXPECT_EQ(level.num_block, r % 3 + 3);
    EXPECT_EQ(level.prisoner.x, r % 4);
    EXPECT_EQ(level.blockers[0].horizontal, level.prisoner.x % 2 == 1);
  }
}

TEST(RandomLvlFunctionTest, PausesOncePerBlockerBetweenSeedingAndOrientationDraw) {
  for (int difficulty : {1, 8, 26, 51}) {
    simulated_platform platform = platform_at(start_second + difficulty, 0, 20'000, 20'000);
    platform.keep_log = true;
    const scoped_generator_platform use(platform);
    const generated_level level = generate_level(difficulty);
    const int n = level.num_block;
    EXPECT_EQ(platform.sleeps, std::vector<int>(n, 1234));

    // Two plain draws, seed-pause-draw per blocker, then plain draws only.
    std::string expected = "SVSV";
    for (int i = 0; i < n; ++i) {
      expected += "SZV";
    }
    while (expected.size() < platform.log.size()) {
      expected += "SV";
    }
    EXPECT_EQ(platform.log, expected);

    for (int i = 0; i < n; ++i) {  // the value of the second seeded before the pause
      const auto seeded = static_cast<unsigned>(platform.seed_times[2 + i] / second_us);
      EXPECT_EQ(level.blockers[i].horizontal, simulated_platform::value_for(seeded) % 2 == 1);
    }
  }
}

namespace {

void expect_sound_level(const generated_level& level, const std::set<int>& tier_range) {
  EXPECT_TRUE(tier_range.count(level.num_block)) << level.num_block;
  const BLOCK& prisoner = level.prisoner;
  EXPECT_TRUE(prisoner.horizontal && prisoner.length == 2 && prisoner.y == 3);
  EXPECT_TRUE(prisoner.x >= 0 && prisoner.x <= 3);
  EXPECT_TRUE(identity_matches_position(prisoner));
  int covered = prisoner.length;
  const std::vector<BLOCK> blockers(level.blockers, level.blockers + level.num_block);
  for (int i = 0; i < level.num_block; ++i) {
    const BLOCK& b = blockers[i];
    const int along = position_along(b);
    EXPECT_EQ(b.length, blocker_length(level.num_block, i));
    EXPECT_TRUE(along >= 0 && along + b.length <= 6 && line_of(b) >= 0 && line_of(b) < 6) << i;
    EXPECT_TRUE(is_block_legal(b, prisoner)) << "blocker " << i;
    EXPECT_TRUE(identity_matches_position(b)) << "blocker " << i;
    covered += b.length;
  }
  grid expected;
  mark_blocks(prisoner, blockers, expected);
  EXPECT_EQ(marked_cells(expected), covered) << "blocks share a cell";
  EXPECT_TRUE(same_grid(level.isblockthere, expected));
}

// Watches the placement: after a restart the grid marks only the prisoner and
// every blocker keeps its orientation and length.
struct restart_watch {
  int restarts = 0;
  bool restarting = false;
  std::vector<std::pair<bool, int>> shapes = std::vector<std::pair<bool, int>>(max_blockers);

  void operator()(const placement_turn& turn) {
    const std::pair<bool, int> shape(turn.blocker.horizontal, turn.blocker.length);
    if (shapes[turn.index].second == 0) {
      shapes[turn.index] = shape;
    }
    EXPECT_EQ(shapes[turn.index], shape);
    if (restarting) {
      grid only_prisoner;
      mark_blocks(*turn.prisoner, {}, only_prisoner);
      EXPECT_EQ(turn.index, 0);
      EXPECT_TRUE(same_grid(turn.isblockthere, only_prisoner));
    }
    restarting = turn.outcome != turn_outcome::placed;
    restarts += restarting ? 1 : 0;
  }
};

}  // namespace

TEST(RandomLvlFunctionTest, EveryGeneratedLevelIsSoundAndReadsBackFromItsFiles) {
  const scoped_temp_dir dir;
  int restarts = 0;
  for (const auto& [levels, range] : tiers) {
    for (int difficulty : levels) {
      std::set<int> counts;
      for (int n = 0; n < 250; ++n) {
        const std::int64_t second = start_second + 7919 * n + difficulty;
        simulated_platform platform = platform_at(second, 7 * n, 2'500, 5'000);
        const scoped_generator_platform use(platform);
        restart_watch watch;
        const generated_level level =
            generate_level(difficulty, redraw_bound_seconds, std::ref(watch));
        expect_sound_level(level, range);
        for (int i = 0; i < level.num_block; ++i) {
          EXPECT_EQ(watch.shapes[i],
                    std::make_pair(level.blockers[i].horizontal, int{level.blockers[i].length}));
        }
        counts.insert(level.num_block);
        restarts += watch.restarts;

        if (n < 10) {  // the same run through randomlvl leaves this level in the files
          simulated_platform again = platform_at(second, 7 * n, 2'500, 5'000);
          const scoped_generator_platform use_again(again);
          randomlvl(difficulty);
          BLOCK blockers[max_blockers];
          BLOCK prisoner;
          int num_block = 0;
          grid g;
          std::ostringstream out;
          ASSERT_TRUE(read_level_files(blockers, prisoner, num_block, g, out)) << out.str();
          EXPECT_EQ(num_block, level.num_block);
          EXPECT_EQ(encode_block(prisoner), encode_block(level.prisoner));
          for (int i = 0; i < num_block; ++i) {
            EXPECT_EQ(encode_block(blockers[i]), encode_block(level.blockers[i]));
          }
          EXPECT_TRUE(same_grid(g, level.isblockthere));
        }
      }
      EXPECT_EQ(counts, range) << "level " << difficulty;
    }
  }
  EXPECT_GT(restarts, 0);  // restarts were exercised too
}

namespace {

// A level of ten blockers whose first pass is scripted value by value (a clock
// reading costs a whole second, so every seeding falls in a new second) up to
// the last blocker, whose turn the test examines.
struct scripted_run {
  std::vector<turn_outcome> first_pass;
  generated_level level;
};

scripted_run run_scripted(
    int prisoner_column, const std::vector<bool>& horizontal,
    const std::vector<position>& across_along,
    const std::function<void(simulated_platform&, const placement_turn&)>& on_first_pass_turn) {
  simulated_platform platform = platform_at(start_second, 0, second_us);
  platform.queued_values = {1, prisoner_column};  // 1: ten blockers at difficulty 26
  for (bool h : horizontal) {
    platform.queued_values.push_back(h ? 1 : 0);
  }
  for (const auto& [across, along] : across_along) {
    platform.queued_values.insert(platform.queued_values.end(), {across, along});
  }
  const scoped_generator_platform use(platform);
  scripted_run run;
  restart_watch watch;
  run.level = generate_level(26, redraw_bound_seconds, [&](const placement_turn& turn) {
    if (watch.restarts == 0) {
      run.first_pass.push_back(turn.outcome);
      on_first_pass_turn(platform, turn);
    }
    watch(turn);
  });
  expect_sound_level(run.level, {10});
  return run;
}

std::vector<turn_outcome> nine_placed_then(turn_outcome last) {
  std::vector<turn_outcome> outcomes(9, turn_outcome::placed);
  outcomes.push_back(last);
  return outcomes;
}

}  // namespace

TEST(RandomLvlFunctionTest, ABlockerWithOnlyIllegalRoomStartsThePlacementOver) {
  // Prisoner at column 0; blockers 0-8 fence every row but row 3, where columns
  // 2-5 stay free: horizontal blocker 9 (length 3) fits only right of the prisoner.
  const scripted_run run =
      run_scripted(0, {false, false, false, false, true, false, false, false, false, true},
                   {{1, 4}, {4, 4}, {0, 4}, {5, 4}, {0, 2}, {1, 0}, {4, 0}, {0, 0}, {5, 0}},
                   [](simulated_platform&, const placement_turn& turn) {
                     if (turn.index == 9) {
                       grid found;
                       copy_grid(found, turn.isblockthere);
                       EXPECT_TRUE(can_block_be_placed(turn.blocker, found));
                     }
                   });
  EXPECT_EQ(run.first_pass, nine_placed_then(turn_outcome::no_legal_room));
}

TEST(RandomLvlFunctionTest, TheRedrawBoundEndsATurnThatOnlyAStraddlingDrawCouldFinish) {
  // Prisoner at column 2; blockers 0-8 leave vertical blocker 9 (length 3) only
  // (1, 0), of unequal parity, which only a draw straddling a change of second
  // can reach. Every value drawn from then on is 0, so even those draws miss it.
  std::int64_t turn_start_us = 0;
  std::int64_t turn_us = 0;
  int turn_seconds = 0;
  const scripted_run run = run_scripted(
      2, {true, true, true, true, false, true, true, true, true, false},
      {{1, 2}, {2, 4}, {5, 4}, {3, 0}, {0, 0}, {0, 3}, {4, 0}, {4, 3}, {5, 0}},
      [&](simulated_platform& platform, const placement_turn& turn) {
        if (turn.index == 8) {  // draw pairs at .10/.35 and .60/.85 of every second
          platform.tick_us = 250'000;
          platform.clock_us = (platform.clock_us / second_us + 1) * second_us - 150'000;
          platform.queued_values.assign(400, 0);
          turn_start_us = platform.clock_us;
        }
        if (turn.index == 9) {
          turn_us = platform.clock_us - turn_start_us;
          turn_seconds = turn.seconds;
          grid found;
          copy_grid(found, turn.isblockthere);
          BLOCK only = turn.blocker;
          only.x = 1;
          only.y = 0;
          EXPECT_FALSE(does_the_block_overlap(only, found));
          place_block(only, found);
          EXPECT_FALSE(can_block_be_placed(turn.blocker, found));
        }
      });
  EXPECT_EQ(run.first_pass, nine_placed_then(turn_outcome::redraw_bound_reached));
  EXPECT_EQ(turn_seconds, redraw_bound_seconds);
  EXPECT_GT(turn_us, (redraw_bound_seconds - 1) * second_us);
  EXPECT_LE(turn_us, redraw_bound_seconds * second_us);
}

namespace {

// One run of the generator, turn by turn: the blocker's place, how its turn
// ended, the seconds counted and the position drawn last.
struct recorded_run {
  generated_level level;
  std::vector<std::tuple<int, turn_outcome, int, int, int>> turns;
  std::size_t first_draw_seed = 0;  // after those of the number, the prisoner and the orientations
};

recorded_run record_run(simulated_platform& platform, int difficulty) {
  const scoped_generator_platform use(platform);
  recorded_run run;
  run.level = generate_level(difficulty, redraw_bound_seconds, [&](const placement_turn& turn) {
    run.turns.emplace_back(turn.index, turn.outcome, turn.seconds, turn.blocker.x, turn.blocker.y);
  });
  run.first_draw_seed = 2 + static_cast<std::size_t>(run.level.num_block);
  return run;
}

// The prisoner's image, then the blockers'.
std::vector<block_image> images(const generated_level& level) {
  std::vector<block_image> all = {encode_block(level.prisoner)};
  for (int i = 0; i < level.num_block; ++i) {
    all.push_back(encode_block(level.blockers[i]));
  }
  return all;
}

// The seconds of the two seedings of every draw from seeding `first` on, a draw
// repeated at once listed once.
std::vector<position> distinct_draws(const simulated_platform& platform, std::size_t first) {
  std::vector<position> draws;
  for (std::size_t k = first; k + 1 < platform.seeds.size(); k += 2) {
    const position draw(static_cast<int>(platform.seeds[k] - start_second),
                        static_cast<int>(platform.seeds[k + 1] - start_second));
    if (draws.empty() || draws.back() != draw) {
      draws.push_back(draw);
    }
  }
  return draws;
}

// True if every change of second fell between the two seedings of a draw.
bool every_change_inside_a_draw(const std::vector<position>& draws) {
  for (std::size_t k = 1; k < draws.size(); ++k) {
    if (draws[k].first != draws[k - 1].second) {
      return false;
    }
  }
  return true;
}

}  // namespace

// A loop that redraws without pause meets, in every second, that second's own
// candidate, and then the one whose seedings straddle the change of second if the
// change falls between them. Here clock readings cost 1 ms, so such a loop reads
// the clock 1000 times a second and meets every change at the same point of its
// draws: of two starts 1 ms apart, one has every change fall inside a draw, and so
// meets every candidate a spinning loop can. The waiting run must draw exactly
// its candidates in the same order, with the same turns and seconds counted, and
// make its level, however much each sleep overshoots (0 to 3 ms) and whether or
// not now() lags the clock by 4 ms, as time() may.
TEST(RandomLvlFunctionTest, WaitsForTheNextSecondInsteadOfRedrawingAndMakesTheSameLevels) {
  std::int64_t busy_us = 0;
  std::int64_t elapsed_us = 0;
  for (std::int64_t n = 0; n < 40; ++n) {
    const std::int64_t second = start_second + 7919 * n;
    const int difficulty = static_cast<int>(1 + 7 * n % 60);
    const auto run_at = [&](std::int64_t start_us, bool spin) {
      simulated_platform platform = platform_at(second, start_us, 1000);
      platform.spin = spin;
      platform.overshoot_us = n % 4 * 1000;
      platform.lag_us = n % 8 < 4 ? 0 : 4000;
      const recorded_run run = record_run(platform, difficulty);
      return std::make_pair(platform, run);
    };
    std::int64_t start_us = 100'000;
    auto [spinning, expected] = run_at(start_us, true);
    if (!every_change_inside_a_draw(distinct_draws(spinning, expected.first_draw_seed))) {
      start_us += 1000;
      std::tie(spinning, expected) = run_at(start_us, true);
    }
    const std::vector<position> draws = distinct_draws(spinning, expected.first_draw_seed);
    ASSERT_TRUE(every_change_inside_a_draw(draws)) << n;

    const auto [waiting, run] = run_at(start_us, false);
    EXPECT_EQ(distinct_draws(waiting, run.first_draw_seed), draws) << n;
    EXPECT_EQ(run.turns, expected.turns) << n;
    EXPECT_EQ(images(run.level), images(expected.level)) << n;
    EXPECT_EQ(waiting.clock_us / second_us, spinning.clock_us / second_us) << n;
    const std::int64_t elapsed = waiting.clock_us - (second * second_us + start_us);
    elapsed_us += elapsed;
    busy_us += elapsed - waiting.slept_us - waiting.waited_us;
  }
  // Waiting keeps the time spent reading the clock within 2 % of the whole.
  EXPECT_LE(busy_us * 50, elapsed_us) << busy_us << " us of " << elapsed_us;
}
