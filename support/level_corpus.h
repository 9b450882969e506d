// A fixed set of levels, from a free path to dense boards that need more moves
// than the move counter looks for, shared by the tests and the benchmark.
#pragma once

#include <span>

// One level of the set, as a picture that parse_level reads.
struct corpus_level {
  const char* name;
  int moves;         // what the move counter returns
  int fewest_moves;  // the fewest slides that free the prisoner, -1 if none
  const char* picture;
};

// All levels of the set, in a fixed order.
std::span<const corpus_level> level_corpus();
// The level of that name; throws std::out_of_range if there is none.
const corpus_level& corpus_level_named(const char* name);
