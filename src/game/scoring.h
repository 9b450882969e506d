// How an escape is scored: the help a player took, the stars the escape
// earns, and the lines that tell the result.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "model/progress_store.h"

// The help a player took during one game.
struct help_taken {
  int tips = 0;       // next moves of a fewest solution shown
  int solutions = 0;  // fewest solutions played, or shown whole
  int peeks = 0;      // times the fewest moves from the position were shown

  bool operator==(const help_taken&) const = default;
};

// True when any help was taken.
bool was_aided(const help_taken& help);

// The stars of an escape in `moves` moves from a level whose fewest is
// `fewest`: three for the fewest unaided, two for at most half as many again
// unaided, one for any other escape.
int stars_for(std::size_t moves, std::size_t fewest, const help_taken& help);

// The escape as the progress keeps it, not yet dated.
level_best scored_escape(std::size_t moves, std::size_t fewest, const help_taken& help);

// The end of a game won in `moves` moves, compared with the fewest, e.g. "The
// prisoner is free! Moves used: 3, fewest possible: 3. A perfect escape." A
// perfect escape is the fewest moves with no help.
std::string escape_text(std::size_t moves, std::size_t fewest, const help_taken& help = {});

// A time on the game's clock as the player reads it: "0:42", "12:05", "1:02:03".
std::string clock_text(std::chrono::milliseconds time);

// The result of an escape that took `time`: the escape line, its stars (and
// the help that limited them), its time against the fastest before, the best
// before on the level or that this escape is a new best, and the line the
// keeping had to say, if any.
std::vector<std::string> result_lines(const level_best& escape, std::size_t fewest,
                                      const kept_result& kept, std::chrono::milliseconds time);
