#include "game/level_worker.h"

#include <gtest/gtest.h>

#include <csignal>

#include "support/level_search.h"

namespace {

// A source that waits until it is told to stop (ten seconds at most) and says
// whether it was told, and whether its thread had SIGINT blocked.
struct stop_watcher {
  std::atomic<bool> told = false;
  std::atomic<bool> sigint_blocked = false;

  level_source source() {
    return [this](int, const std::atomic<bool>& stop) -> std::optional<offered_level> {
      sigset_t mask;
      pthread_sigmask(SIG_BLOCK, nullptr, &mask);
      sigint_blocked = sigismember(&mask, SIGINT) == 1;
      const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (!stop && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::yield();
      }
      told = stop.load();
      return offered_level{two_move_level(), "made"};
    };
  }
};

}  // namespace

TEST(LevelWorkerTest, MakesALevelOnItsOwnThreadAndStopsItWhenTheGameNoLongerWaits) {
  level_worker worker;
  worker.start(
      [](int moves, const std::atomic<bool>&) -> std::optional<offered_level> {
        return offered_level{two_move_level(), std::to_string(moves)};
      },
      7);
  while (!worker.done()) {
    std::this_thread::yield();
  }
  EXPECT_EQ(worker.take()->about, "7");
  EXPECT_FALSE(worker.running());

  // `n` starts the worker, and the key that stops the wait stops it.
  stop_watcher watcher;
  screen_game game = start_screen({two_move_level(), {}}, 24, 80, {nullptr, watcher.source()});
  press(game, {key_code::character, 'n'});
  follow_wait(worker, game);
  EXPECT_TRUE(worker.running());
  press(game, {key_code::character, 'x'});
  follow_wait(worker, game);
  EXPECT_FALSE(worker.running());
  EXPECT_TRUE(watcher.told && watcher.sigint_blocked);
  EXPECT_EQ(worker.take(), std::nullopt);  // the level made after the stop is dropped

  // A worker that goes stops its thread first.
  stop_watcher left;
  level_worker{}.start(left.source(), 1);
  EXPECT_TRUE(left.told);
}
