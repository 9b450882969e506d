// The rules of a move, for every way of playing: whether a block can slide so
// far, why not, the move made, and the texts that tell the player so.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/level.h"
#include "model/result.h"

// The position along the block's line of the cell it enters on step `step`
// (from 1) of a move by `distance`; outside 0 .. board_size - 1 when that
// step would leave the board.
int entered_along(const play_block& block, int distance, int step);

// The level after the move, or why the block cannot slide so far, e.g. "c
// cannot move 2 cells down: b is in the way."
result<play_level> after_move(const play_level& level, play_move move);

// Makes a move known to be allowed, such as one taken back or one of a solution.
void apply_move(play_level& level, play_move move);

// Adds a slide to the moves of a game, which are counted by what the board
// did: a slide of the block that made the last move lengthens that move
// whatever happened in between, and a move that brings its block back to where
// it started is no move, as if it had not been made.
void add_slide(std::vector<play_move>& moves, play_move slide);

// Takes back the last of the moves on `level`, whole; false when there is none.
bool take_back(play_level& level, std::vector<play_move>& moves);

// Why `block`, named by `letter`, cannot move `direction` (left, right, up or
// down) off its own line, e.g. "a cannot move left: it lies upright and moves
// only up or down."
std::string line_fault(const play_block& block, char letter, std::string_view direction);

// The way block goes for the sign of `distance`: "left", "right", "up" or "down".
const char* direction_of(const play_block& block, int distance);

// A count and what it counts: "1 cell", "2 cells", "1 move" ...
std::string counted(std::size_t count, const char* thing);

// Said when no moves free the prisoner from a position.
inline constexpr const char* unsolvable_text =
    "No moves free the prisoner: this level cannot be solved.";

// The end of a game left before the prisoner is free, e.g.
// "Left the game after 2 moves. The prisoner is still in."
std::string goodbye_text(std::size_t moves);

// Said while a new level of `moves` moves is made: "Making a level of 20 moves...".
std::string making_text(int moves);
