#include "model/random_lvl_function.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>

#include "model/level_files.h"

namespace {

class system_platform final : public generator_platform {
 public:
  std::time_t now() override {
    return std::time(nullptr);
  }
  void sleep_ms(int milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  // Sleeps until the precise clock begins the next second, then in steps of a
  // millisecond while time(), which may lag it by a tick, still gives `second`.
  void sleep_until_second_after(std::time_t second) override {
    using namespace std::chrono;
    const steady_clock::time_point give_up = steady_clock::now() + seconds(2);
    while (now() <= second && steady_clock::now() < give_up) {
      const system_clock::duration left =
          system_clock::time_point(seconds(second + 1)) - system_clock::now();
      std::this_thread::sleep_for(
          std::clamp<system_clock::duration>(left, milliseconds(1), seconds(1)));
    }
  }
  void seed(unsigned int value) override {
    std::srand(value);
  }
  int next_value() override {
    return std::rand();
  }
};

generator_platform* active_platform = nullptr;

// The real clock, a real sleep and the standard library's srand and rand.
generator_platform& system_generator_platform() {
  static system_platform platform;
  return platform;
}

// The platform the generator uses now: the system one unless a test replaced it.
generator_platform& current_generator_platform() {
  return active_platform != nullptr ? *active_platform : system_generator_platform();
}

// Seeds the generator with the current second, which it returns; all draws
// within one second agree.
std::time_t seed_from_clock() {
  generator_platform& platform = current_generator_platform();
  const std::time_t second = platform.now();
  platform.seed(static_cast<unsigned int>(static_cast<std::uint32_t>(second)));
  return second;
}

// One value of the clock-seeded draw, with the second it was seeded in.
struct clock_value {
  int r = 0;
  std::time_t second = 0;
};

clock_value clock_seeded_draw() {
  const std::time_t second = seed_from_clock();
  return {current_generator_platform().next_value(), second};
}

// A position drawn for a block, with the seconds of its two seedings.
struct drawn_position {
  BLOCK block;
  std::time_t first_second = 0;
  std::time_t last_second = 0;
};

// x_y_assign, telling the seconds of its seedings too: draws the position across the block's
// axis first, then along it. With `wait_past`, waits between the two seedings until the clock
// has left that second.
drawn_position draw_position(BLOCK block, std::optional<std::time_t> wait_past = {}) {
  const clock_value across = clock_seeded_draw();
  if (wait_past) {
    current_generator_platform().sleep_until_second_after(*wait_past);
  }
  const clock_value along = clock_seeded_draw();
  const BLOCK drawn = block_on_line<BLOCK>(block.horizontal, block.length, across.r % board_size,
                                           along.r % (board_size + 1 - block.length));
  block.x = drawn.x;
  block.y = drawn.y;
  return {block, across.second, along.second};
}

}  // namespace

scoped_generator_platform::scoped_generator_platform(generator_platform& platform)
    : previous_(active_platform) {
  active_platform = &platform;
}

scoped_generator_platform::~scoped_generator_platform() {
  active_platform = previous_;
}

BLOCK x_y_assign(BLOCK block) {
  return draw_position(block).block;
}

bool can_block_be_placed(BLOCK block, bool (*isblockthere)[board_size]) {
  for (int line = 0; line < board_size; ++line) {
    for (int start = 0; start <= board_size - block.length; ++start) {
      const BLOCK candidate = block_on_line<BLOCK>(block.horizontal, block.length, line, start);
      bool fits = true;
      for (int k = 0; k < block.length && fits; ++k) {
        const cell c = cell_of(candidate, k);
        fits = !isblockthere[c.x][c.y];
      }
      if (fits) {
        return true;
      }
    }
  }
  return false;
}

bool is_block_legal(BLOCK a, BLOCK prisoner) {
  return !blocks_the_way_out_for_good(a, prisoner);
}

bool can_block_be_placed_legally(BLOCK block, bool (&isblockthere)[board_size][board_size],
                                 BLOCK prisoner) {
  for (int line = 0; line < board_size; ++line) {
    for (int along = 0; along <= board_size - block.length; ++along) {
      block = block_on_line<BLOCK>(block.horizontal, block.length, line, along);
      if (!does_the_block_overlap(block, isblockthere) && is_block_legal(block, prisoner)) {
        return true;
      }
    }
  }
  return false;
}

int number_of_blockers(int difficulty_level, int r) {
  if (difficulty_level <= 7) {
    return r % 3 + 3;
  }
  if (difficulty_level <= 10) {
    return r % 3 + 4;
  }
  if (difficulty_level <= 25) {
    return r % 2 + 7;
  }
  if (difficulty_level <= 50) {
    return r % 2 + 9;
  }
  return r % 2 + 11;
}

int blocker_length(int num_block, int index) {
  if (num_block > 10) {
    return index <= 3 ? 3 : 2;
  }
  return index < num_block / 2 ? 2 : 3;
}

namespace {

// The generator's pause before each blocker's orientation draw.
constexpr int orientation_pause_ms = 1234;

// Seeds, pauses, then draws: the value belongs to the second before the pause.
bool draw_orientation() {
  seed_from_clock();
  generator_platform& platform = current_generator_platform();
  platform.sleep_ms(orientation_pause_ms);
  return platform.next_value() % 2 == 1;
}

// Marks only the prisoner on the grid.
void reset_grid(generated_level& level) {
  for (auto& column : level.isblockthere) {
    for (bool& covered : column) {
      covered = false;
    }
  }
  place_block(level.prisoner, level.isblockthere);
}

// Draws positions for `blocker` until one is free and legal, or gives up; counts the seconds.
turn_outcome take_turn(BLOCK& blocker, generated_level& level, int bound_seconds, int& seconds) {
  seconds = 0;
  if (!can_block_be_placed(blocker, level.isblockthere)) {
    return turn_outcome::no_room;
  }
  if (!can_block_be_placed_legally(blocker, level.isblockthere, level.prisoner)) {
    return turn_outcome::no_legal_room;
  }
  // A candidate is counted in the second of its last seeding.
  std::optional<std::time_t> candidate_second;
  std::optional<std::time_t> wait_past;
  for (;;) {
    const drawn_position drawn = draw_position(blocker, wait_past);
    blocker = drawn.block;
    if (candidate_second != drawn.last_second) {
      candidate_second = drawn.last_second;
      ++seconds;
    }
    if (!does_the_block_overlap(blocker, level.isblockthere) &&
        is_block_legal(blocker, level.prisoner)) {
      return turn_outcome::placed;
    }
    if (seconds >= bound_seconds) {
      return turn_outcome::redraw_bound_reached;
    }
    // Redrawing without pause would give this candidate again until its second
    // ends, then the one whose seedings straddle the change if it falls between
    // them, then the next second's own. So after a candidate of one second the
    // redraw waits between its seedings until that second is over, which makes
    // it the straddling one however late the wake-up (or the next second's own
    // if the second was over already); after a straddling one it redraws at once.
    wait_past.reset();
    if (drawn.first_second == drawn.last_second) {
      wait_past = drawn.last_second;
    }
  }
}

// Places the blockers in order, starting over from the first when one cannot be placed.
void place_blockers(generated_level& level, int bound_seconds, const placement_observer& observe) {
  int i = 0;
  while (i < level.num_block) {
    BLOCK& blocker = level.blockers[i];
    int seconds = 0;
    const turn_outcome outcome = take_turn(blocker, level, bound_seconds, seconds);
    if (observe) {
      observe({i, blocker, outcome, seconds, level.isblockthere, &level.prisoner});
    }
    if (outcome == turn_outcome::placed) {
      place_block(blocker, level.isblockthere);
      ++i;
    } else {
      reset_grid(level);
      i = 0;
    }
  }
}

}  // namespace

generated_level generate_level(int difficulty_level, int bound_seconds,
                               const placement_observer& observe) {
  generated_level level;
  level.num_block = number_of_blockers(difficulty_level, clock_seeded_draw().r);

  level.prisoner.horizontal = true;
  level.prisoner.length = 2;
  level.prisoner.x = clock_seeded_draw().r % 4;
  level.prisoner.y = prisoner_row;
  level.prisoner.define_block_Id();
  reset_grid(level);

  for (int i = 0; i < level.num_block; ++i) {
    level.blockers[i].horizontal = draw_orientation();
  }
  for (int i = 0; i < level.num_block; ++i) {
    level.blockers[i].length = blocker_length(level.num_block, i);
  }

  place_blockers(level, bound_seconds, observe);

  for (int i = 0; i < level.num_block; ++i) {
    level.blockers[i].define_block_Id();
  }
  return level;
}

void randomlvl(int difficulty_level) {
  const generated_level level = generate_level(difficulty_level);
  write_level_files(level.blockers, level.prisoner, level.num_block, level.isblockthere);
}
