#include "game/play_clock.h"

namespace {

class steady_clock_reader : public play_clock {
 public:
  std::chrono::milliseconds now() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
  }
};

}  // namespace

const play_clock& steady_play_clock() {
  static const steady_clock_reader clock;
  return clock;
}
