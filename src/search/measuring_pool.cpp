#include "search/measuring_pool.h"

#include <utility>

#include "search/fewest_moves.h"

measuring_pool::measuring_pool(int jobs, std::uint32_t most) : most_(most) {
  try {
    for (int i = 0; i < jobs; ++i) {
      threads_.emplace_back([this] { work(); });
    }
  } catch (...) {
    close();
    throw;
  }
}

measuring_pool::~measuring_pool() {
  close();
}

std::shared_ptr<measurement> measuring_pool::measure(const play_level& layout, int deepest,
                                                     int puzzles_from) {
  auto queued = std::make_shared<measurement>();
  queued->layout = layout;
  queued->deepest = deepest;
  queued->puzzles_from = puzzles_from;
  {
    const std::lock_guard lock(mutex_);
    queue_.push_back(queued);
  }
  queued_.notify_one();
  return queued;
}

std::optional<measurement> measuring_pool::wait_for(const measurement& m,
                                                    std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  measured_.wait_for(lock, wait, [&] { return m.done || failure_; });
  if (failure_) {
    std::rethrow_exception(failure_);
  }
  return m.done ? std::optional<measurement>(m) : std::nullopt;
}

void measuring_pool::drop(measurement& m) {
  const std::lock_guard lock(mutex_);
  m.dropped = true;
}

std::uint64_t measuring_pool::positions() {
  const std::lock_guard lock(mutex_);
  return positions_;
}

void measuring_pool::close() {
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
  }
  queued_.notify_all();
  for (std::thread& thread : threads_) {
    thread.join();
  }
}

void measuring_pool::work() {
  fewest_moves_map map;
  std::unique_lock lock(mutex_);
  for (;;) {
    queued_.wait(lock, [&] { return closing_ || !queue_.empty(); });
    if (closing_) {
      return;
    }
    const std::shared_ptr<measurement> m = std::move(queue_.front());
    queue_.pop_front();
    if (m->dropped) {
      continue;
    }
    lock.unlock();
    try {
      const bool whole = map.measure(m->layout, most_, m->deepest);
      const int tried = whole ? map.farthest() : -1;
      std::vector<held_puzzle> puzzles;
      if (m->puzzles_from >= 0 && tried >= m->puzzles_from) {
        puzzles = puzzles_of(m->layout, m->puzzles_from, most_);
      }
      lock.lock();
      m->tried = tried;
      m->puzzles = std::move(puzzles);
      m->size = map.size();
      m->done = true;
      positions_ += map.size();
    } catch (...) {
      lock.lock();
      failure_ = std::current_exception();
    }
    measured_.notify_all();
  }
}
