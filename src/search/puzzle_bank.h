// The puzzle bank: hard puzzles that a long search of the level maker's own
// found once (tools/make_puzzle_bank.cpp remakes the data file), built into
// the program so that levels of many moves are made at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "model/level.h"
#include "search/puzzle_identity.h"

// One puzzle of the bank.
struct bank_puzzle {
  int moves;         // the fewest moves its hardest positions need
  const char* text;  // the least of its hardest positions, blockers lettered in reading order
};

// The bank's puzzles, the hardest first.
std::span<const bank_puzzle> bank_puzzles();

// Levels of at least this many moves come from the bank when it holds a
// puzzle that reaches so many.
inline constexpr int bank_serves_from = 36;

// True if levels of `moves` moves come from the bank: from bank_serves_from
// on, where a bank puzzle reaches so many.
bool bank_serves(int moves);

// How many of the bank's puzzles have a position of `moves` moves (their
// hardest needs at least as many): the first ones.
std::size_t bank_puzzles_reaching(int moves);

// The identity of bank puzzle `index`, worked out once; safe from any thread.
const puzzle_identity& bank_identity(std::size_t index);

// The bank puzzle that the seed picks for a level of `moves` moves, among
// those reaching it (bank_puzzles_reaching(moves) > 0).
std::size_t bank_pick(int moves, std::uint64_t seed);

// A position of exactly `moves` moves of the bank puzzle the seed picks,
// drawn with the seed among all such; blockers in reading order.
play_level bank_level(int moves, std::uint64_t seed);
