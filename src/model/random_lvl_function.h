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
// The row every level's prisoner lies in.
inline constexpr int prisoner_row = 3;

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

// Blocks are numbered in the order the move counter expands them: the
// prisoner is block 0 and blocker i is block i + 1.
inline constexpr int prisoner_number = 0;
// Stands for no block where a block number is expected.
inline constexpr int no_block = -1;
// Most blocks a level can hold, the prisoner included.
inline constexpr int max_blocks = max_blockers + 1;
// The block number of blocker `index`.
constexpr int blocker_number(int index) {
  return index + 1;
}
// Block `number` of a configuration.
BLOCK& block_of(config& configuration, int number);
const BLOCK& block_of(const config& configuration, int number);

// A cell of the board: column x, row y.
struct cell {
  int x = 0;
  int y = 0;

  bool operator==(const cell&) const = default;
};

// The block's first cell along its own line: x when it is horizontal, y when vertical.
int position_along(const BLOCK& block);
// The row of a horizontal block, the column of a vertical one.
int line_of(const BLOCK& block);
// Puts the block's first cell at `along` on its own line.
void set_position_along(BLOCK& block, int along);
// Cell `along` of the block's own line (its row or its column).
cell cell_on_line(const BLOCK& block, int along);
// Cell k of the block, from its first cell (k = 0) to its last (k = length - 1).
cell cell_of(const BLOCK& block, int k);
// A block of this shape whose first cell is at `along` on line `line`.
BLOCK block_on_line(bool horizontal, int length, int line, int along);

// Calls visit(c) for every cell of the prisoner's way out: the cells of its
// row beyond its far end, up to the board's edge, which must all be free for it
// to escape.
template <class visitor>
void for_each_way_out_cell(const BLOCK& prisoner, visitor&& visit) {
  for (int x = prisoner.x + prisoner.length; x < board_size; ++x) {
    visit(cell{x, prisoner.y});
  }
}

// Every block's position along its line, 3 bits a block, block n in bits 3n to 3n + 2.
using packed_positions = std::uint64_t;
inline constexpr int position_bits = 3;
static_assert(position_bits * max_blocks <= 64);
inline constexpr packed_positions position_mask = (packed_positions{1} << position_bits) - 1;
// The position of block `number`.
constexpr int position_in(packed_positions positions, int number) {
  return static_cast<int>((positions >> (position_bits * number)) & position_mask);
}
// The positions with block `number` at `along`.
constexpr packed_positions with_position(packed_positions positions, int number, int along) {
  const int shift = position_bits * number;
  return (positions & ~(position_mask << shift)) | (static_cast<packed_positions>(along) << shift);
}

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
