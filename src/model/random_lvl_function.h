// The random level generator: its platform (clock, pauses, random values),
// the placement rules, and the level it builds and hands to the level files.
#pragma once

#include <ctime>
#include <functional>

#include "model/block_records.h"

// Where the generator takes the time, its pauses and its random values from.
class generator_platform {
 public:
  virtual ~generator_platform() = default;
  // The calendar time in whole seconds.
  virtual std::time_t now() = 0;
  // Blocks the caller for `milliseconds`.
  virtual void sleep_ms(int milliseconds) = 0;
  // Blocks until now() gives a later second than `second`; returns at once if it
  // does already. Gives up after about two seconds, should the clock be set back.
  virtual void sleep_until_second_after(std::time_t second) = 0;
  // Seeds the pseudo-random generator.
  virtual void seed(unsigned int value) = 0;
  // The next pseudo-random value; never negative.
  virtual int next_value() = 0;
};

// Makes the generator use another platform for the guard's lifetime.
class scoped_generator_platform {
 public:
  explicit scoped_generator_platform(generator_platform& platform);
  ~scoped_generator_platform();
  scoped_generator_platform(const scoped_generator_platform&) = delete;
  scoped_generator_platform& operator=(const scoped_generator_platform&) = delete;

 private:
  generator_platform* previous_;
};

// Returns `block` with a newly drawn position on the board (across its axis first).
BLOCK x_y_assign(BLOCK block);
// True if a block of this orientation and length fits on free cells somewhere.
bool can_block_be_placed(BLOCK block, bool (*isblockthere)[board_size]);
// False only for a horizontal block in the prisoner's row at or right of its right end.
bool is_block_legal(BLOCK a, BLOCK prisoner);

// Distinct seconds of the clock through which one blocker may redraw before placement starts over.
inline constexpr int redraw_bound_seconds = 300;

// The number of blockers for `difficulty_level` from the drawn value `r`; levels below 1 count
// as 1.
int number_of_blockers(int difficulty_level, int r);
// The length of blocker `index` in a level of `num_block` blockers.
int blocker_length(int num_block, int index);
// True if the block fits on free cells at some position that is_block_legal allows.
bool can_block_be_placed_legally(BLOCK block, bool (&isblockthere)[board_size][board_size],
                                 BLOCK prisoner);

// A generated level as it is handed to the level files.
struct generated_level {
  BLOCK blockers[max_blockers] = {};               // entries 0 .. num_block - 1 are placed
  BLOCK prisoner = {};                             // horizontal, length 2, in row 3
  int num_block = 0;                               // number of blockers
  bool isblockthere[board_size][board_size] = {};  // exactly the cells of all blocks
};

// How one blocker's turn in the placement ended; every outcome but `placed` starts it over.
enum class turn_outcome { placed, no_room, no_legal_room, redraw_bound_reached };

// One blocker's turn in the placement, as a measuring observer sees it.
struct placement_turn {
  int index = 0;                                     // the blocker's place in the array
  BLOCK blocker = {};                                // with its last drawn position
  turn_outcome outcome = turn_outcome::placed;       // how the turn ended
  int seconds = 0;                                   // distinct seconds its candidates came from
  const bool (*isblockthere)[board_size] = nullptr;  // the grid as the turn found it
  const BLOCK* prisoner = nullptr;                   // the level's prisoner
};
// Called after every blocker's turn, before its outcome is acted on.
using placement_observer = std::function<void(const placement_turn&)>;

// Builds a random level; a blocker redraws through at most `bound_seconds` seconds of the clock.
generated_level generate_level(int difficulty_level, int bound_seconds = redraw_bound_seconds,
                               const placement_observer& observe = {});
// Builds a random level for `difficulty_level` and writes it as the level files.
void randomlvl(int difficulty_level);
