#include "game/level_worker.h"

#include <pthread.h>

#include <csignal>
#include <exception>
#include <utility>

level_worker::~level_worker() {
  cancel();
}

void level_worker::start(const level_source& source, int moves) {
  if (running()) {
    return;
  }
  stop_ = false;
  done_ = false;
  made_.reset();
  began_ = std::chrono::steady_clock::now();
  sigset_t blocked;
  sigset_t old;
  sigemptyset(&blocked);
  for (const int signal : {SIGINT, SIGTERM, SIGTSTP, SIGWINCH}) {
    sigaddset(&blocked, signal);
  }
  pthread_sigmask(SIG_BLOCK, &blocked, &old);  // the new thread starts with this mask
  thread_ = std::thread([this, source, moves] {
    try {
      made_ = source(moves, stop_);
    } catch (const std::exception&) {
      made_.reset();  // as if none was found: out of memory, for instance
    }
    done_ = true;
  });
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

bool level_worker::running() const {
  return thread_.joinable();
}

bool level_worker::done() const {
  return done_;
}

int level_worker::seconds() const {
  return static_cast<int>(
      std::chrono::floor<std::chrono::seconds>(std::chrono::steady_clock::now() - began_).count());
}

std::optional<offered_level> level_worker::take() {
  if (running()) {
    thread_.join();
  }
  return std::exchange(made_, std::nullopt);
}

void level_worker::cancel() {
  if (running()) {
    stop_ = true;
    thread_.join();
  }
  made_.reset();
}

void follow_wait(level_worker& worker, const screen_game& game) {
  if (game.making && !worker.running()) {
    worker.start(game.session.setup.new_level, game.making->moves);
  } else if (!game.making && worker.running()) {
    worker.cancel();
  }
}
