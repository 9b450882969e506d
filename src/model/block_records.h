// The block and configuration records that the generator, the move counter and
// the level files keep, and the board grid operations on them.
#pragma once

#include <cstdint>

#include "model/board.h"

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

// A level as the level files store it: the records of its blocks and its board grid.
struct level_records {
  BLOCK blockers[max_blockers] = {};               // entries 0 .. num_block - 1 carry meaning
  BLOCK prisoner = {};                             // the block that has to escape
  int num_block = 0;                               // number of blockers
  bool isblockthere[board_size][board_size] = {};  // exactly the cells of all blocks
};

// Block `number` of a configuration.
BLOCK& block_of(config& configuration, int number);
const BLOCK& block_of(const config& configuration, int number);

// Marks the block's cells as covered.
void place_block(BLOCK block, bool (&isblockthere)[board_size][board_size]);
// Marks the block's cells as free, whatever else covered them.
void clean_block(BLOCK block, bool (*isblockthere)[board_size]);
// True if any cell of the block, its own included, is already covered.
bool does_the_block_overlap(BLOCK block, bool (&isblockthere)[board_size][board_size]);
