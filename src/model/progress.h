// What the player's progress holds of each level played: the best escape,
// the fastest time, the attempts and the attempt left unfinished, by the
// level's key.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/level.h"

// The best escape from one level.
struct level_best {
  int moves = 0;      // the moves it took
  int stars = 0;      // 1 to 3
  int tips = 0;       // tips taken on the way
  int solutions = 0;  // solutions played on the way
  int peeks = 0;      // times the fewest moves from the position were shown
  std::string date;   // the day it was made, YYYY-MM-DD

  bool operator==(const level_best&) const = default;
};

// An attempt at a level left before the prisoner was free: what it takes to go on with it.
struct unfinished_attempt {
  std::vector<play_move>
      moves;     // from the start, the blocks numbered as the level's key letters them
  int tips = 0;  // help taken so far, as in level_best
  int solutions = 0;
  int peeks = 0;
  int seconds = 0;  // the time on the game's clock

  bool operator==(const unfinished_attempt&) const = default;
};

// All that is kept of one level.
struct level_record {
  level_record() = default;
  level_record(level_best escape) : best(std::move(escape)) {}  // a level escaped once

  std::optional<level_best> best;                // the best escape; none before the first
  std::optional<int> fastest;                    // seconds of the fastest escape without help
  int attempts = 0;                              // attempts begun: tries with a move made
  std::optional<unfinished_attempt> unfinished;  // the attempt left last, when it was left

  bool operator==(const level_record&) const = default;
};

// Every level played, by the level's key.
using progress = std::map<std::string, level_record>;

// The key of a level in the progress: its text form with the blockers lettered
// in reading order, so that a board has one key however its blockers are lettered.
std::string progress_key(const play_level& level);

// The number each block of `level` has in its key's lettering: entry n for
// block n (the prisoner, 0, keeps its number).
std::vector<int> key_numbers(const play_level& level);

// True when `a` is a better escape than `b`: more stars, else fewer moves,
// else less help.
bool is_better(const level_best& a, const level_best& b);
