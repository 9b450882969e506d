#include "random_lvl_function.h"

#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>

#include "level_files.h"

void BLOCK::define_block_Id() {
  block_Id = (x ^ 2) + (y ^ 5);
  for (int k = 0; k < length; ++k) {
    occupied_points_x[k] = horizontal ? x + k : x;
    occupied_points_y[k] = horizontal ? y : y + k;
  }
}

void BLOCK::moveblock(int dist) {
  if (horizontal) {
    x += dist;
  } else {
    y += dist;
  }
}

namespace {

// Sets every cell of `block` to `covered`.
void mark_cells(const BLOCK& block, bool (*isblockthere)[board_size], bool covered) {
  for (int k = 0; k < block.length; ++k) {
    if (block.horizontal) {
      isblockthere[block.x + k][block.y] = covered;
    } else {
      isblockthere[block.x][block.y + k] = covered;
    }
  }
}

class system_platform final : public generator_platform {
 public:
  std::time_t now() override {
    return std::time(nullptr);
  }
  void sleep_ms(int milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  void seed(unsigned int value) override {
    std::srand(value);
  }
  int next_value() override {
    return std::rand();
  }
};

generator_platform* active_platform = nullptr;

// The clock's second at the latest seeding; tells the placement when a new second began.
std::time_t last_seeded_second = 0;

}  // namespace

void place_block(BLOCK block, bool (&isblockthere)[board_size][board_size]) {
  mark_cells(block, isblockthere, true);
}

void clean_block(BLOCK block, bool (*isblockthere)[board_size]) {
  mark_cells(block, isblockthere, false);
}

bool does_the_block_overlap(BLOCK block, bool (&isblockthere)[board_size][board_size]) {
  for (int k = 0; k < block.length; ++k) {
    const bool covered =
        block.horizontal ? isblockthere[block.x + k][block.y] : isblockthere[block.x][block.y + k];
    if (covered) {
      return true;
    }
  }
  return false;
}

generator_platform& system_generator_platform() {
  static system_platform platform;
  return platform;
}

generator_platform& current_generator_platform() {
  return active_platform != nullptr ? *active_platform : system_generator_platform();
}

scoped_generator_platform::scoped_generator_platform(generator_platform& platform)
    : previous_(active_platform) {
  active_platform = &platform;
}

scoped_generator_platform::~scoped_generator_platform() {
  active_platform = previous_;
}

void seed_from_clock() {
  generator_platform& platform = current_generator_platform();
  last_seeded_second = platform.now();
  platform.seed(static_cast<unsigned int>(static_cast<std::uint32_t>(last_seeded_second)));
}

int clock_seeded_draw() {
  seed_from_clock();
  return current_generator_platform().next_value();
}

BLOCK x_y_assign(BLOCK block) {
  const int across = clock_seeded_draw() % board_size;
  const int along = clock_seeded_draw() % (board_size + 1 - block.length);
  if (block.horizontal) {
    block.y = across;
    block.x = along;
  } else {
    block.x = across;
    block.y = along;
  }
  return block;
}

bool can_block_be_placed(BLOCK block, bool (*isblockthere)[board_size]) {
  for (int line = 0; line < board_size; ++line) {
    for (int start = 0; start <= board_size - block.length; ++start) {
      bool fits = true;
      for (int k = 0; k < block.length && fits; ++k) {
        fits = block.horizontal ? !isblockthere[start + k][line] : !isblockthere[line][start + k];
      }
      if (fits) {
        return true;
      }
    }
  }
  return false;
}

bool is_block_legal(BLOCK a, BLOCK prisoner) {
  return !(a.horizontal && a.y == prisoner.y && a.x >= prisoner.x + prisoner.length);
}

bool can_block_be_placed_legally(BLOCK block, bool (&isblockthere)[board_size][board_size],
                                 BLOCK prisoner) {
  for (int across = 0; across < board_size; ++across) {
    for (int along = 0; along <= board_size - block.length; ++along) {
      block.x = block.horizontal ? along : across;
      block.y = block.horizontal ? across : along;
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

constexpr int prisoner_row = 3;

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
    for (bool& cell : column) {
      cell = false;
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
  std::optional<std::time_t> candidate_second;
  for (;;) {
    blocker = x_y_assign(blocker);
    if (candidate_second != last_seeded_second) {
      candidate_second = last_seeded_second;
      ++seconds;
    }
    if (!does_the_block_overlap(blocker, level.isblockthere) &&
        is_block_legal(blocker, level.prisoner)) {
      return turn_outcome::placed;
    }
    if (seconds >= bound_seconds) {
      return turn_outcome::redraw_bound_reached;
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
  level.num_block = number_of_blockers(difficulty_level, clock_seeded_draw());

  level.prisoner.horizontal = true;
  level.prisoner.length = 2;
  level.prisoner.x = clock_seeded_draw() % 4;
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
