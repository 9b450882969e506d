#include "level_maker.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <vector>

#include "slide_space.h"

namespace {

// xoshiro256** seeded through splitmix64: a fixed algorithm, so one seed draws
// the same numbers on every machine.
class random_source {
 public:
  explicit random_source(std::uint64_t seed) {
    for (std::uint64_t& word : state_) {
      seed += 0x9e3779b97f4a7c15u;
      std::uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
      z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
      word = z ^ (z >> 31);
    }
  }

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
  static std::uint64_t rotl(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
  }

  std::uint64_t state_[4] = {};
};

// Every position of a layout (a set of pieces, each on its row or column) from
// which the prisoner can be freed, in layers by the fewest moves that free it.
class distance_layers {
 public:
  // Measures the pieces' positions (their places along their lines do not
  // matter) up to those `deepest` moves from freedom; false when there are
  // more than `most`.
  bool measure(const play_level& pieces, std::uint32_t most, int deepest);

  // The most moves any position needs; -1 when no position frees the prisoner.
  int farthest() const {
    return static_cast<int>(layer_begin_.size()) - 2;
  }
  // How many positions need exactly `moves` moves.
  std::uint32_t count_at(int moves) const {
    return layer_begin_[moves + 1] - layer_begin_[moves];
  }
  // Position `index` (from 0) of those that need `moves` moves.
  packed_positions position_at(int moves, std::uint32_t index) const {
    return table_.position(layer_begin_[moves] + index);
  }
  // How many positions were measured.
  std::uint32_t size() const {
    return table_.size();
  }

 private:
  void find_alike(const play_level& pieces);
  bool add_free_positions(const slide_space& space, int number, packed_positions p, cell_set taken,
                          std::uint32_t most);

  // For each block, an earlier blocker of the same shape on the same line, or no_block.
  int alike_[max_blocks] = {};
  position_table table_;
  std::vector<std::uint32_t> layer_begin_;  // layer d is table_ numbers layer_begin_[d] ...
};

void distance_layers::find_alike(const play_level& pieces) {
  for (int number = prisoner_number; number < block_count(pieces); ++number) {
    const BLOCK& block = block_of(pieces, number);
    alike_[number] = no_block;
    for (int other = blocker_number(0); other < number; ++other) {
      const BLOCK& earlier = block_of(pieces, other);
      if (earlier.horizontal == block.horizontal && earlier.length == block.length &&
          line_of(earlier) == line_of(block)) {
        alike_[number] = other;
      }
    }
  }
}

// Adds every position where the prisoner is free, from block `number` on;
// false as soon as the table holds more than `most`.
bool distance_layers::add_free_positions(const slide_space& space, int number, packed_positions p,
                                         cell_set taken, std::uint32_t most) {
  if (number == space.blocks()) {
    table_.add(p);
    return table_.size() <= most;
  }
  // Blocks alike on one line never pass each other: keep them in order.
  const int first = alike_[number] == no_block ? 0 : position_in(p, alike_[number]) + 1;
  const block_shape& shape = space.shape(number);
  for (int along = first; shape.at[along] != 0; ++along) {
    if ((shape.at[along] & taken) == 0) {
      const cell_set kept_free = number == prisoner_number ? space.way_out(along) : 0;
      if (!add_free_positions(space, number + 1, with_position(p, number, along),
                              taken | shape.at[along] | kept_free, most)) {
        return false;
      }
    }
  }
  return true;
}

bool distance_layers::measure(const play_level& pieces, std::uint32_t most, int deepest) {
  const slide_space space(pieces);
  find_alike(pieces);
  table_.clear();
  layer_begin_.assign(1, 0);
  if (!add_free_positions(space, prisoner_number, 0, 0, most)) {
    return false;
  }
  // Slides can be taken back, so the positions one move farther than a layer
  // are its new neighbours; the last layer wanted needs no neighbours.
  while (table_.size() > layer_begin_.back() && farthest() < deepest) {
    const std::uint32_t end = table_.size();
    for (std::uint32_t n = layer_begin_.back(); n < end && farthest() + 1 < deepest; ++n) {
      packed_positions next[max_blocks * (board_size - 1)];
      int count = 0;
      space.for_each_slide(table_.position(n), [&](packed_positions p, play_move, cell_set) {
        table_.prefetch(p);
        next[count++] = p;
      });
      for (int i = 0; i < count; ++i) {
        table_.add(next[i]);
      }
      if (table_.size() > most) {
        return false;
      }
    }
    layer_begin_.push_back(end);
  }
  return true;
}

// The level with its blocks moved to `p`.
play_level at_position(play_level level, packed_positions p) {
  for (int number = prisoner_number; number < block_count(level); ++number) {
    set_position_along(block_of(level, number), position_in(p, number));
  }
  return level;
}

// Sets of pieces with more positions than this are too loose to be hard: the
// search leaves them before measuring them all.
constexpr std::uint32_t most_positions = 50'000;
// A climb that found nothing better in this many tries starts again afresh.
constexpr int tries_before_fresh_start = 200;
// A fresh start draws this many pieces, plus up to fresh_spread - 1 more.
constexpr int fresh_pieces = 9;
constexpr int fresh_spread = 5;
// The search forgets the layouts it measured when it remembers this many.
constexpr std::uint32_t most_remembered = 1u << 22;
// One piece in three is three cells long.
constexpr int long_piece_percent = 33;

// A piece of random shape on a random line, at the line's start.
BLOCK random_piece(random_source& random) {
  const bool horizontal = random.chance(50);
  const int length = random.chance(long_piece_percent) ? 3 : 2;
  return block_on_line(horizontal, length, random.below(board_size), 0);
}

// A fresh set of random pieces.
play_level random_pieces(random_source& random) {
  play_level pieces;
  pieces.prisoner = block_on_line(true, 2, 3, 0);
  const int count = fresh_pieces + random.below(fresh_spread);
  for (int i = 0; i < count; ++i) {
    pieces.blockers.push_back(random_piece(random));
  }
  return pieces;
}

// One random change of a set of pieces: add or take away a piece, or move one
// to another line, change its length or turn it; false when the drawn change
// cannot be made.
bool change_pieces(play_level& pieces, random_source& random) {
  const int kind = random.below(5);
  const int count = static_cast<int>(pieces.blockers.size());
  if (kind == 0) {
    if (count == max_blockers) {
      return false;
    }
    pieces.blockers.push_back(random_piece(random));
    return true;
  }
  if (kind == 1) {
    if (count == 1) {
      return false;
    }
    pieces.blockers.erase(pieces.blockers.begin() + random.below(count));
    return true;
  }
  BLOCK& piece = pieces.blockers[static_cast<std::size_t>(random.below(count))];
  const int line = random.below(board_size);
  if (kind == 2) {
    if (line == line_of(piece)) {
      return false;
    }
    piece = block_on_line(piece.horizontal, piece.length, line, 0);
  } else if (kind == 3) {
    piece = block_on_line(piece.horizontal, 5 - piece.length, line_of(piece), 0);
  } else {
    piece = block_on_line(!piece.horizontal, piece.length, line, 0);
  }
  return true;
}

// A digest of a set of pieces that does not depend on their order; never all ones.
std::uint64_t digest_of(const play_level& pieces) {
  std::vector<std::uint64_t> codes;
  for (const BLOCK& piece : pieces.blockers) {
    codes.push_back((piece.horizontal ? 16u : 0u) + 8u * static_cast<unsigned>(piece.length - 2) +
                    static_cast<unsigned>(line_of(piece)));
  }
  std::sort(codes.begin(), codes.end());
  std::uint64_t digest = codes.size();
  for (const std::uint64_t code : codes) {
    digest = (digest ^ code) * 0x9e3779b97f4a7c15u;
    digest ^= digest >> 29;
  }
  return digest >> 1;
}

using clock_type = std::chrono::steady_clock;

// The search both makers share. It climbs: it changes a set of pieces at
// random and keeps the change when the set's hardest position needs at least
// as many moves, measuring each set once, and starts afresh when a climb
// stalls. It shows every measured set to `look` until `look` says it is done
// or the limits end the search.
class pieces_search {
 public:
  // A search that measures no position more than `deepest` moves from freedom.
  pieces_search(std::uint64_t seed, const maker_limits& limits, const maker_progress& progress,
                int deepest)
      : random_(seed),
        limits_(limits),
        progress_(progress),
        deepest_(deepest),
        began_(clock_type::now()) {}

  // Calls look(layers, pieces, hardest) for every set measured (hardest: -1
  // when the set was left or none of its positions frees the prisoner) until
  // it returns true.
  template <class looker>
  void run(looker&& look);

  double seconds() const {
    return std::chrono::duration<double>(clock_type::now() - began_).count();
  }
  std::uint64_t layouts() const {
    return layouts_;
  }
  std::uint64_t positions() const {
    return positions_;
  }
  random_source& random() {
    return random_;
  }

 private:
  int measure(const play_level& pieces);
  bool out_of_time();

  random_source random_;
  maker_limits limits_;
  maker_progress progress_;
  int deepest_ = 0;
  clock_type::time_point began_;
  double last_report_ = 0;
  int hardest_ = -1;  // of all sets measured
  std::uint64_t layouts_ = 0;
  std::uint64_t positions_ = 0;
  distance_layers layers_;
  position_table measured_;  // the digests of the sets measured
};

// The moves the set's hardest position needs, or -1.
int pieces_search::measure(const play_level& pieces) {
  ++layouts_;
  const bool whole = layers_.measure(pieces, most_positions, deepest_);
  positions_ += layers_.size();
  const int hardest = whole ? layers_.farthest() : -1;
  hardest_ = std::max(hardest_, hardest);
  return hardest;
}

bool pieces_search::out_of_time() {
  if (limits_.stop != nullptr && limits_.stop->load()) {
    return true;
  }
  if (hardest_ < 0) {
    return false;  // not before some set of pieces can be freed at all
  }
  const double now = seconds();
  if (progress_ && now - last_report_ >= 0.1) {
    last_report_ = now;
    progress_(now, hardest_);
  }
  return now >= limits_.seconds || (limits_.layouts != 0 && layouts_ >= limits_.layouts);
}

template <class looker>
void pieces_search::run(looker&& look) {
  play_level pieces;
  int hardest = -1;
  int stale = 0;
  while (!out_of_time()) {
    play_level candidate = pieces;
    if (hardest < 0 || stale >= tries_before_fresh_start) {
      candidate = random_pieces(random_);
      hardest = -1;
      stale = 0;
    } else if (!change_pieces(candidate, random_)) {
      continue;
    }
    ++stale;
    if (measured_.size() == most_remembered) {
      measured_.clear();
    }
    if (!measured_.add(digest_of(candidate))) {
      continue;
    }
    const int tried = measure(candidate);
    if (look(layers_, candidate, tried)) {
      return;
    }
    if (tried >= 0 && tried >= hardest) {
      stale = tried > hardest ? 0 : stale;
      pieces = candidate;
      hardest = tried;
    }
  }
}

// A position of the pieces that needs `moves` moves, drawn among all such.
play_level level_at(const distance_layers& layers, const play_level& pieces, int moves,
                    random_source& random) {
  const int index = random.below(static_cast<int>(layers.count_at(moves)));
  return at_position(pieces, layers.position_at(moves, static_cast<std::uint32_t>(index)));
}

// The made level: blockers in reading order, every block_Id set.
made_level finish(play_level level, int moves, std::uint64_t seed, const pieces_search& search) {
  std::sort(level.blockers.begin(), level.blockers.end(),
            [](const BLOCK& a, const BLOCK& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  level.prisoner.define_block_Id();
  for (BLOCK& blocker : level.blockers) {
    blocker.define_block_Id();
  }
  return made_level{std::move(level),  moves, seed, search.seconds(), search.layouts(),
                    search.positions()};
}

}  // namespace

std::optional<made_level> make_level(int moves, std::uint64_t seed, const maker_limits& limits,
                                     const maker_progress& progress) {
  if (moves < 0) {
    return std::nullopt;
  }
  pieces_search search(seed, limits, progress, moves);
  std::optional<play_level> found;
  search.run([&](const distance_layers& layers, const play_level& pieces, int hardest) {
    if (hardest >= moves) {
      found = level_at(layers, pieces, moves, search.random());
    }
    return found.has_value();
  });
  if (!found) {
    return std::nullopt;
  }
  return finish(*found, moves, seed, search);
}

made_level make_hardest_level(std::uint64_t seed, const maker_limits& limits,
                              const maker_progress& progress) {
  pieces_search search(seed, limits, progress, std::numeric_limits<int>::max());
  play_level best;
  int best_moves = -1;
  search.run([&](const distance_layers& layers, const play_level& pieces, int hardest) {
    if (hardest > best_moves) {
      best_moves = hardest;
      best = level_at(layers, pieces, hardest, search.random());
    }
    return false;
  });
  return finish(best, best_moves, seed, search);
}
