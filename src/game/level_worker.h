// A level made for the full-screen game on a thread of its own, so that the
// thread that reads the keys stays free to hear them and the signals.
#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "game/play_screen.h"

// One level being made at a time. Stopped and joined before it goes, so that
// no thread outlives it.
class level_worker {
 public:
  level_worker() = default;
  ~level_worker();
  level_worker(const level_worker&) = delete;
  level_worker& operator=(const level_worker&) = delete;

  // Starts making a level of `moves` moves with `source`, when none is being
  // made. The thread blocks SIGINT, SIGTERM, SIGTSTP and SIGWINCH: they go to
  // the caller's thread.
  void start(const level_source& source, int moves);

  // True from start until take or cancel.
  bool running() const;

  // True once the source has returned.
  bool done() const;

  // Whole seconds since start.
  int seconds() const;

  // The level made (nothing when none was found), once done; ends running.
  std::optional<offered_level> take();

  // Sets the stop flag the source watches and waits for the source to return;
  // its level, if any, is dropped.
  void cancel();

 private:
  std::thread thread_;
  std::atomic<bool> stop_ = false;
  std::atomic<bool> done_ = false;
  std::optional<offered_level> made_;
  std::chrono::steady_clock::time_point began_;
};

// Starts making the level the game waits for (screen_game::making), or stops
// making one the game no longer waits for.
void follow_wait(level_worker& worker, const screen_game& game);
