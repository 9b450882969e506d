// Threads that measure the level maker's layouts, ahead of the climb that
// decides on them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "model/level.h"
#include "search/puzzle_identity.h"

// One layout to measure, and what it measured.
struct measurement {
  play_level layout;
  int deepest = 0;         // the moves it is measured up to
  int tried = -1;          // its hardest position's moves; -1: left, or none frees the prisoner
  std::uint32_t size = 0;  // positions measured
  bool done = false;
  bool dropped = false;  // no longer wanted
  // When it needs at least this many moves (-1: never), the puzzles of the
  // layout whose hardest positions need as many or more.
  int puzzles_from = -1;
  std::vector<held_puzzle> puzzles;
};

// Measures layouts on threads of its own, in the order they are given.
class measuring_pool {
 public:
  // `jobs` threads that leave a layout of more than `most` positions.
  measuring_pool(int jobs, std::uint32_t most);
  // Waits for the layouts being measured, then ends the threads.
  ~measuring_pool();
  measuring_pool(const measuring_pool&) = delete;
  measuring_pool& operator=(const measuring_pool&) = delete;

  // Queues a layout to measure up to `deepest` moves, and to find its
  // puzzles of `puzzles_from` moves or more when it has any.
  std::shared_ptr<measurement> measure(const play_level& layout, int deepest,
                                       int puzzles_from = -1);

  // Waits up to `wait` for `m` to be measured; a copy of it when it is.
  // Passes on what a measuring thread threw.
  std::optional<measurement> wait_for(const measurement& m, std::chrono::milliseconds wait);

  // Marks `m` as no longer wanted: it is left unmeasured unless it has begun.
  void drop(measurement& m);

  // Positions measured in all.
  std::uint64_t positions();

 private:
  // Ends the threads once they have measured what they are measuring.
  void close();
  // One thread's work: measures queued layouts until closed.
  void work();

  std::uint32_t most_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::condition_variable measured_;
  std::deque<std::shared_ptr<measurement>> queue_;
  bool closing_ = false;
  std::uint64_t positions_ = 0;
  std::exception_ptr failure_;
  std::vector<std::thread> threads_;
};
