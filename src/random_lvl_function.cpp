#include "random_lvl_function.h"

#include <chrono>
#include <cstdlib>
#include <thread>

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
  platform.seed(static_cast<unsigned int>(static_cast<std::uint32_t>(platform.now())));
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
