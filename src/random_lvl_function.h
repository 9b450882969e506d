// The puzzle model (blocks, the board grid, configurations), the placement
// rules and the random level generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>

// Cells along each side of the square board.
inline constexpr int board_size = 6;
// Most blockers a level can hold.
inline constexpr int max_blockers = 13;

// One straight block of two or three cells: the prisoner or a blocker.
struct BLOCK {
  bool horizontal = false;                        // lies along x (the first grid index) when true
  std::int32_t length = 0;                        // cells covered: 2 or 3
  std::int32_t x = 0;                             // column of the first (lowest-index) cell
  std::int32_t y = 0;                             // row of the first cell
  std::int32_t occupied_points_x[3] = {0, 0, 0};  // covered cells at the last define_block_Id
  std::int32_t occupied_points_y[3] = {0, 0, 0};
  std::int32_t block_Id = 0;  // identity derived from the position; not unique

  // Sets block_Id and the occupied points from the current position.
  void define_block_Id();
  // Slides the block `dist` cells along its own line; nothing else changes.
  void moveblock(int dist);
};

// One whole state of the board: the node of the move counter's search.
struct config {
  std::int32_t Id = 0;                             // moves from the start configuration
  bool isblockthere[board_size][board_size] = {};  // [x][y], true where a block covers the cell
  BLOCK blockers[max_blockers] = {};               // entries 0 .. num_block - 1 carry meaning
  BLOCK prisoner = {};                             // the block that has to escape
  std::int32_t num_block = 0;                      // meaningful entries of blockers
  std::int32_t config_creating_move = 0;           // signed distance of the last move; 0 at start
  std::int32_t Id_block_moved = 0;                 // block_Id of the block last moved; 0 at start
};

static_assert(sizeof(BLOCK) == 44);
static_assert(offsetof(BLOCK, length) == 4);
static_assert(offsetof(BLOCK, x) == 8);
static_assert(offsetof(BLOCK, y) == 12);
static_assert(offsetof(BLOCK, occupied_points_x) == 16);
static_assert(offsetof(BLOCK, occupied_points_y) == 28);
static_assert(offsetof(BLOCK, block_Id) == 40);
static_assert(sizeof(config) == 668);
static_assert(offsetof(config, isblockthere) == 4);
static_assert(offsetof(config, blockers) == 40);
static_assert(offsetof(config, prisoner) == 612);
static_assert(offsetof(config, num_block) == 656);
static_assert(offsetof(config, config_creating_move) == 660);
static_assert(offsetof(config, Id_block_moved) == 664);

// Marks the block's cells as covered.
void place_block(BLOCK block, bool (&isblockthere)[board_size][board_size]);
// Marks the block's cells as free, whatever else covered them.
void clean_block(BLOCK block, bool (*isblockthere)[board_size]);
// True if any cell of the block, its own included, is already covered.
bool does_the_block_overlap(BLOCK block, bool (&isblockthere)[board_size][board_size]);

// Where the generator takes the time, its pauses and its random values from.
class generator_platform {
 public:
  virtual ~generator_platform() = default;
  // The calendar time in whole seconds.
  virtual std::time_t now() = 0;
  // Blocks the caller for `milliseconds`.
  virtual void sleep_ms(int milliseconds) = 0;
  // Seeds the pseudo-random generator.
  virtual void seed(unsigned int value) = 0;
  // The next pseudo-random value; never negative.
  virtual int next_value() = 0;
};

// The real clock, a real sleep and the standard library's srand and rand.
generator_platform& system_generator_platform();
// The platform the generator uses now: the system one unless a test replaced it.
generator_platform& current_generator_platform();

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

// Seeds the generator with the current second; all draws within one second agree.
void seed_from_clock();
// Seeds with the current second and takes one value.
int clock_seeded_draw();

// Returns `block` with a newly drawn position on the board (across its axis first).
BLOCK x_y_assign(BLOCK block);
// True if a block of this orientation and length fits on free cells somewhere.
bool can_block_be_placed(BLOCK block, bool (*isblockthere)[board_size]);
// False only for a horizontal block in the prisoner's row at or right of its right end.
bool is_block_legal(BLOCK a, BLOCK prisoner);

// The generator's pause before each blocker's orientation draw.
inline constexpr int orientation_pause_ms = 1234;
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
