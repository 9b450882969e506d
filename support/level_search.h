// Levels for the move counter's tests, benchmark and level finder: a text
// picture of a level, random sound levels, the literal search (the enqueue rule
// alone, with no record of configurations) and a plain breadth-first search
// over positions.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "model/block_records.h"
#include "model/level.h"

// A level: the prisoner and the blockers in index order.
using test_level = play_level;
// A level as the move counter sees it: block records, whose block_Ids a test may set.
struct record_level {
  BLOCK prisoner;
  std::vector<BLOCK> blockers;
};
// The records of a level, every block_Id worked out from its position.
record_level as_records(const test_level& level);

// Reads a picture of six lines of six cells, row 0 first: '.' free, 'P' the
// prisoner, 'a' .. 'm' blockers 0 .. 12. Throws std::invalid_argument for a
// picture of no sound level.
test_level parse_level(std::string_view picture);
// The picture of a level, as parse_level reads it.
std::string draw_level(const test_level& level);

// A level of four blockers that two moves free: a (column 3, rows 1..3) up
// one, then c (column 5, rows 2..3) up one.
test_level two_move_level();

// A sound level with the prisoner in row 3 and up to `num_blockers` blockers at
// random free cells (fewer when the board fills up).
test_level random_level(std::mt19937& random, int num_blockers);
// Adds up to `num_blockers` blockers at random free cells, as many as fit in a
// few tries each.
void add_random_blockers(std::mt19937& random, test_level& level, int num_blockers);

// The start configuration of a level, as the move counter builds it.
config start_config(const record_level& level);

// What the literal search gives, when it finished within its budget.
struct literal_result {
  bool finished = false;      // false: more configurations were queued than the budget
  int moves = -1;             // the result when finished
  bool depth_limit = false;   // finished because a configuration of Id 20 came to the front
  std::int64_t examined = 0;  // configurations taken from the front and tested
};
// The literal search: the move counter's search with no record of
// configurations, every child queued as the enqueue rule says, at most `budget` configurations
// queued; an empty queue gives -1.
literal_result literal_move_count(const record_level& level, std::int64_t budget);

// Positions of all blocks packed 3 bits a block along each block's line, the
// prisoner lowest; the level supplies everything else.
std::uint64_t pack_positions(const test_level& level);
// The level with its blocks moved to `positions`.
test_level at_positions(const test_level& level, std::uint64_t positions);
// Every position one slide of one block away, worked out on its own grid.
std::vector<std::uint64_t> neighbours(const test_level& level, std::uint64_t positions);
// True if the prisoner's row is free beyond its far end at `positions`.
bool is_solved(const test_level& level, std::uint64_t positions);
// The fewest slides that free the prisoner by breadth-first search over
// positions, or -1 if none up to `limit`.
int fewest_moves(const test_level& level, int limit);

// A block at (x, y) with its identifier and occupied points set.
BLOCK make_block(bool horizontal, int length, int x, int y);

// The grid that marks exactly the cells of the given blocks.
void mark_blocks(const BLOCK& prisoner, const std::vector<BLOCK>& blockers,
                 bool (&isblockthere)[board_size][board_size]);

// Writes a level as the level files in the working directory.
void write_level(const record_level& level);
void write_level(const test_level& level);
