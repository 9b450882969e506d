#include "search/puzzle_bank.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "model/level_text.h"
#include "search/fewest_moves.h"
#include "search/position_table.h"
#include "search/random_source.h"
#include "search/slide_space.h"

namespace {

// Made by tools/make_puzzle_bank.cpp; see there how to make it again.
constexpr bank_puzzle puzzles[] = {
#include "search/puzzle_bank.inc"
};

// Bank puzzle `index` as a level.
play_level level_of(std::size_t index) {
  const result<play_level> level = read_level_text(puzzles[index].text);
  if (!level) {
    // The bank's test reads every puzzle; one that fails here was built in broken.
    std::cerr << "puzzle bank entry " << index << ": " << level.reason() << '\n';
    std::abort();
  }
  return *level;
}

// The random numbers of a level of `moves` moves from the seed.
random_source random_for(int moves, std::uint64_t seed) {
  return random_source(seed ^ (static_cast<std::uint64_t>(moves) * 0xd1b54a32d192ed03u));
}

// Every position of the puzzle of `level` that needs exactly `moves` moves,
// in the order moves reach them from the level's own.
std::vector<packed_positions> positions_needing(const play_level& level, int moves) {
  fewest_moves_map map;
  map.measure(level, fewest_moves_map::any_size, moves);
  const slide_space space(level);
  position_table seen;
  seen.add(space.start());
  std::vector<packed_positions> found;
  for (std::uint32_t head = 0; head < seen.size(); ++head) {
    const packed_positions p = seen.position(head);
    if (map.fewest(p) == moves) {
      found.push_back(p);
    }
    space.for_each_slide(p, [&](packed_positions next, play_move, cell_set) { seen.add(next); });
  }
  return found;
}

}  // namespace

std::span<const bank_puzzle> bank_puzzles() {
  return puzzles;
}

std::size_t bank_puzzles_reaching(int moves) {
  return static_cast<std::size_t>(
      std::find_if(std::begin(puzzles), std::end(puzzles),
                   [&](const bank_puzzle& puzzle) { return puzzle.moves < moves; }) -
      std::begin(puzzles));
}

bool bank_serves(int moves) {
  return moves >= bank_serves_from && bank_puzzles_reaching(moves) > 0;
}

const puzzle_identity& bank_identity(std::size_t index) {
  static std::mutex guard;
  static std::vector<std::unique_ptr<puzzle_identity>> known(std::size(puzzles));
  const std::lock_guard lock(guard);
  if (!known[index]) {
    known[index] = std::make_unique<puzzle_identity>(identity_of(level_of(index)));
  }
  return *known[index];
}

std::size_t bank_pick(int moves, std::uint64_t seed) {
  random_source random = random_for(moves, seed);
  return static_cast<std::size_t>(random.below(static_cast<int>(bank_puzzles_reaching(moves))));
}

play_level bank_level(int moves, std::uint64_t seed) {
  random_source random = random_for(moves, seed);
  const auto index =
      static_cast<std::size_t>(random.below(static_cast<int>(bank_puzzles_reaching(moves))));
  play_level level = level_of(index);
  const std::vector<packed_positions> found = positions_needing(level, moves);
  const packed_positions p =
      found[static_cast<std::size_t>(random.below(static_cast<int>(found.size())))];
  for (int number = prisoner_number; number < block_count(level); ++number) {
    set_position_along(block_of(level, number), position_in(p, number));
  }
  std::sort(
      level.blockers.begin(), level.blockers.end(),
      [](const play_block& a, const play_block& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  return level;
}
