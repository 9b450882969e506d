// Times the move counter on the fixed level set (tests/level_corpus.cpp), with
// its output going to a stream that only counts lines, and the literal search
// (no record of configurations) on the levels where it finishes.
//
// counter/NAME: the whole calculate_num_moves (reading the level files,
//   writing the snapshot, the search); `examined` is the number of progress
//   lines, `examined_per_s` the configurations examined per second.
// literal/NAME: the literal search, up to 1,500,000 queued
//   configurations; reported as an error where it does not finish.
// key/NAME: one arrow key of the full-screen game, which slides a block one
//   cell (back and forth in turn) and counts the fewest moves from there.
// tip/NAME: the tip key, which finds the next move of a fewest solution.
// solve/NAME: the solve key, which finds a whole fewest solution, and the key
//   that stops playing it.

#include <benchmark/benchmark.h>

#include <streambuf>
#include <string>

#include "game/move_rules.h"
#include "game/play_screen.h"
#include "search/num_moves_calculator.h"
#include "support/level_corpus.h"
#include "support/level_search.h"
#include "support/scratch_dir.h"

namespace {

constexpr std::int64_t literal_budget = 1'500'000;

// Discards what is written and counts the lines.
class line_counter : public std::streambuf {
 public:
  std::int64_t lines = 0;

 protected:
  int_type overflow(int_type c) override {
    lines += c == '\n' ? 1 : 0;
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    for (std::streamsize i = 0; i < count; ++i) {
      lines += text[i] == '\n' ? 1 : 0;
    }
    return count;
  }
};

// Lines printed before the first progress line: two boards and two rules.
constexpr std::int64_t board_lines = 14;

void run_counter(benchmark::State& state, const corpus_level* level) {
  const test_level parsed = parse_level(level->picture);
  scoped_temp_dir dir;
  write_level(parsed);
  std::int64_t examined = 0;
  for (auto _ : state) {
    line_counter lines;
    std::ostream out(&lines);
    const int moves = calculate_num_moves(out);
    if (moves != level->moves) {
      state.SkipWithError("unexpected result");
      return;
    }
    examined += (lines.lines - board_lines) / 2;
  }
  state.counters["examined"] =
      benchmark::Counter(static_cast<double>(examined), benchmark::Counter::kAvgIterations);
  state.counters["examined_per_s"] =
      benchmark::Counter(static_cast<double>(examined), benchmark::Counter::kIsRate);
}

void run_literal(benchmark::State& state, const corpus_level* level) {
  const record_level records = as_records(parse_level(level->picture));
  std::int64_t examined = 0;
  for (auto _ : state) {
    const literal_result result = literal_move_count(records, literal_budget);
    if (!result.finished) {
      state.SkipWithError("does not finish within its budget");
      return;
    }
    if (result.moves != level->moves) {
      state.SkipWithError("unexpected result");
      return;
    }
    examined += result.examined;
  }
  state.counters["examined"] =
      benchmark::Counter(static_cast<double>(examined), benchmark::Counter::kAvgIterations);
}

// The game on `level` with a block picked that slides one cell; the arrow
// that slides it there is `forth`, back `back`.
struct sliding_game {
  screen_game game;
  key_code forth = key_code::other;
  key_code back = key_code::other;
};

sliding_game game_with_slide(const test_level& level) {
  sliding_game playing{start_screen(offered_level{level, {}}, 24, 80)};
  for (int number = prisoner_number; number < block_count(level); ++number) {
    for (const int step : {-1, 1}) {
      if (after_move(level, {number, step})) {
        const bool across = block_of(level, number).horizontal;
        playing.game.picked = number;
        playing.forth = across ? (step < 0 ? key_code::left : key_code::right)
                               : (step < 0 ? key_code::up : key_code::down);
        playing.back = across ? (step < 0 ? key_code::right : key_code::left)
                              : (step < 0 ? key_code::down : key_code::up);
        return playing;
      }
    }
  }
  return playing;
}

void run_key(benchmark::State& state, const corpus_level* level) {
  sliding_game playing = game_with_slide(parse_level(level->picture));
  if (playing.forth == key_code::other) {
    state.SkipWithError("no block can move");
    return;
  }
  bool there = false;
  for (auto _ : state) {
    press(playing.game, {there ? playing.back : playing.forth});
    there = !there;
  }
  if (playing.game.note_is == note_kind::fault) {
    state.SkipWithError(playing.game.note.c_str());
  }
}

// The tip key, or the solve key and then the key that stops the solution.
void run_solution_key(benchmark::State& state, const corpus_level* level, char key) {
  screen_game game = start_screen(offered_level{parse_level(level->picture), {}}, 24, 80);
  for (auto _ : state) {
    press(game, {key_code::character, key});
    if (!game.playing.empty()) {
      press(game, {key_code::character, 'x'});
    }
  }
}

const bool registered = [] {
  for (const corpus_level& level : level_corpus()) {
    benchmark::RegisterBenchmark((std::string("counter/") + level.name).c_str(), run_counter,
                                 &level)
        ->Unit(benchmark::kMillisecond);
  }
  for (const corpus_level& level : level_corpus()) {
    benchmark::RegisterBenchmark((std::string("literal/") + level.name).c_str(), run_literal,
                                 &level)
        ->Unit(benchmark::kMillisecond);
  }
  for (const corpus_level& level : level_corpus()) {
    benchmark::RegisterBenchmark((std::string("key/") + level.name).c_str(), run_key, &level)
        ->Unit(benchmark::kMicrosecond);
    for (const char key : {'t', 's'}) {
      benchmark::RegisterBenchmark(
          (std::string(key == 't' ? "tip/" : "solve/") + level.name).c_str(),
          [key](benchmark::State& state, const corpus_level* on) {
            run_solution_key(state, on, key);
          },
          &level)
          ->Unit(benchmark::kMicrosecond);
    }
  }
  return true;
}();

}  // namespace

BENCHMARK_MAIN();
