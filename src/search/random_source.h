// The level maker's random numbers: a fixed algorithm (xoshiro256** seeded
// through splitmix64), so one seed draws the same numbers on every machine.
#pragma once

#include <cstdint>

// A stream of random numbers that depends on its seed alone.
class random_source {
 public:
  // The stream of `seed`.
  explicit random_source(std::uint64_t seed) {
    for (std::uint64_t& word : state_) {
      seed += 0x9e3779b97f4a7c15u;
      std::uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
      z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
      word = z ^ (z >> 31);
    }
  }

  // The next 64 random bits.
  std::uint64_t next() {
    const std::uint64_t result = rotl(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotl(state_[3], 45);
    return result;
  }

  // A number from 0 to n - 1, for 1 <= n < 2^31.
  int below(int n) {
    return static_cast<int>(((next() >> 32) * static_cast<std::uint64_t>(n)) >> 32);
  }

  // True with probability `percent` in a hundred.
  bool chance(int percent) {
    return below(100) < percent;
  }

 private:
  // `x` rotated left by `k` bits, 0 < k < 64.
  static std::uint64_t rotl(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
  }

  std::uint64_t state_[4] = {};
};
