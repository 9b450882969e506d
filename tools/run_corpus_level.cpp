// Writes levels of the fixed set as level files in the working directory and
// runs the whole move counter on each, its output going to standard output,
// as a real run does. Reports each level's result and time on standard error,
// so that a run under /usr/bin/time -v with standard output sent to a file
// measures the time and peak memory of the whole move counter.
//
// Usage: run_corpus_level [level name ...]   (no names: every level)

#include <algorithm>
#include <chrono>
#include <iostream>
#include <vector>

#include "search/num_moves_calculator.h"
#include "support/level_corpus.h"
#include "support/level_search.h"
#include "tool_options.h"

int main(int argc, char** argv) {
  const char* usage = "run_corpus_level [level name ...]";
  std::vector<const corpus_level*> chosen;
  for (const std::string& name : read_tool_options(argc, argv, usage, {})) {
    const auto named = [&](const corpus_level& level) { return level.name == name; };
    const auto found = std::find_if(level_corpus().begin(), level_corpus().end(), named);
    if (found == level_corpus().end()) {
      std::string names;
      for (const corpus_level& level : level_corpus()) {
        names += std::string(" ") + level.name;
      }
      exit_with_usage(usage, "no level named " + name + "; the levels are" + names);
    }
    chosen.push_back(&*found);
  }
  if (chosen.empty()) {
    for (const corpus_level& level : level_corpus()) {
      chosen.push_back(&level);
    }
  }
  int wrong = 0;
  for (const corpus_level* level : chosen) {
    const test_level parsed = parse_level(level->picture);
    write_level(parsed);
    const auto start = std::chrono::steady_clock::now();
    const int moves = calculate_num_moves();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::cerr << level->name << ": " << moves << " moves (expected " << level->moves << ") in "
              << took.count() << " s" << std::endl;
    wrong += moves == level->moves ? 0 : 1;
  }
  return wrong == 0 ? 0 : 1;
}
