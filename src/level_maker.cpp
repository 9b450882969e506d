#include "level_maker.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// Tuning knobs, read from the environment while the search is being tuned.
int knob(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::atoi(value) : fallback;
}

// Every position of a set of pieces from which the prisoner can be freed,
// in layers by the fewest moves that free it.
class distance_layers {
 public:
  // Measures the pieces' positions (their places along their lines do not
  // matter); false when there are more than `most`.
  bool measure(const play_level& pieces, std::uint32_t most);

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
  void add_free_positions(int number, packed_positions p, cell_set taken);

  block_shape shapes_[max_blocks];
  int count_ = 0;
  int same_as_[max_blocks] =
      {};  // an earlier block of the same shape on the same line, or no_block
  cell_set way_out_[board_size] = {};
  position_table table_;
  std::vector<std::uint32_t> layer_begin_;  // layer d is table_ numbers layer_begin_[d] ...
};

// Adds every position where the prisoner is free, block `number` on placed next.
void distance_layers::add_free_positions(int number, packed_positions p, cell_set taken) {
  if (number == count_) {
    table_.add(p);
    return;
  }
  // Blocks alike on one line never pass each other: keep them in order.
  const int first = same_as_[number] == no_block ? 0 : position_in(p, same_as_[number]) + 1;
  for (int along = first; shapes_[number].at[along] != 0; ++along) {
    const cell_set cells = shapes_[number].at[along];
    if ((cells & taken) == 0) {
      const cell_set kept_free = number == prisoner_number ? way_out_[along] : 0;
      add_free_positions(number + 1, with_position(p, number, along), taken | cells | kept_free);
    }
  }
}

bool distance_layers::measure(const play_level& pieces, std::uint32_t most) {
  const slide_space space(pieces);
  count_ = block_count(pieces);
  for (int number = prisoner_number; number < count_; ++number) {
    const BLOCK& block = block_of(pieces, number);
    shapes_[number] = shape_of(block);
    same_as_[number] = no_block;
    for (int other = blocker_number(0); other < number; ++other) {
      const BLOCK& earlier = block_of(pieces, other);
      if (earlier.horizontal == block.horizontal && earlier.length == block.length &&
          line_of(earlier) == line_of(block)) {
        same_as_[number] = other;
      }
    }
  }
  for (int x = 0; x < board_size; ++x) {
    way_out_[x] = 0;
    for (int free_x = x + pieces.prisoner.length; free_x < board_size; ++free_x) {
      way_out_[x] |= cell_bit({free_x, pieces.prisoner.y});
    }
  }
  table_.clear();
  layer_begin_.assign(1, 0);
  add_free_positions(prisoner_number, 0, 0);
  // Slides can be taken back, so the positions one move farther are the new neighbours.
  while (table_.size() > layer_begin_.back()) {
    const std::uint32_t end = table_.size();
    for (std::uint32_t n = layer_begin_.back(); n < end; ++n) {
      space.for_each_slide(table_.position(n),
                           [&](packed_positions next, play_move, cell_set) { table_.add(next); });
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

// A piece: a block on its line, at the line's start.
BLOCK random_piece(random_source& random) {
  const bool horizontal = random.chance(50);
  const int length = random.chance(knob("MAKER_LONG", 33)) ? 3 : 2;
  return block_on_line(horizontal, length, random.below(board_size), 0);
}

// One random change of a set of pieces; false when the drawn change was impossible.
bool mutate(play_level& pieces, random_source& random) {
  static const int weights[5] = {knob("MAKER_W_ADD", 1), knob("MAKER_W_REMOVE", 1),
                                 knob("MAKER_W_LINE", 1), knob("MAKER_W_LENGTH", 1),
                                 knob("MAKER_W_TURN", 1)};
  static const int total = weights[0] + weights[1] + weights[2] + weights[3] + weights[4];
  int pick = random.below(total);
  int kind = 0;
  while (pick >= weights[kind]) {
    pick -= weights[kind++];
  }
  const int count = static_cast<int>(pieces.blockers.size());
  if (kind == 0) {
    if (count >= max_blockers) {
      return false;
    }
    pieces.blockers.push_back(random_piece(random));
    return true;
  }
  if (kind == 1) {
    if (count <= 1) {
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

// A set of `wanted` random pieces.
play_level random_pieces(random_source& random, int wanted) {
  play_level pieces;
  pieces.prisoner = block_on_line(true, 2, 3, 0);
  for (int i = 0; i < wanted; ++i) {
    pieces.blockers.push_back(random_piece(random));
  }
  return pieces;
}

// What the search knows about a set of pieces.
struct pieces_score {
  int hardest = -1;             // the most moves any position needs; -1: none frees the prisoner
  std::uint32_t positions = 0;  // the positions that can be freed
  std::uint32_t at_hardest = 0;

  bool operator>=(const pieces_score& other) const {
    static const int tie = knob("MAKER_TIE", 0);
    if (hardest != other.hardest) {
      return hardest > other.hardest;
    }
    switch (tie) {
      case 1:
        return positions >= other.positions;
      case 2:
        return positions <= other.positions;
      case 3:
        return at_hardest >= other.at_hardest;
      case 4:
        return at_hardest <= other.at_hardest;
      default:
        return true;
    }
  }
};

using clock_type = std::chrono::steady_clock;

// The search shared by both makers: it improves sets of pieces step by step
// and shows every measured set to `look` until `look` says it is done or the
// limits end it.
class pieces_search {
 public:
  pieces_search(std::uint64_t seed, const maker_limits& limits, const maker_progress& progress)
      : random_(seed), limits_(limits), progress_(progress), began_(clock_type::now()) {}

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
  pieces_score measure(const play_level& pieces);
  bool out_of_time();

  random_source random_;
  maker_limits limits_;
  maker_progress progress_;
  clock_type::time_point began_;
  double last_report_ = 0;
  int hardest_ = -1;
  std::uint64_t layouts_ = 0;
  std::uint64_t positions_ = 0;
  distance_layers layers_;
};

pieces_score pieces_search::measure(const play_level& pieces) {
  ++layouts_;
  const bool whole =
      layers_.measure(pieces, static_cast<std::uint32_t>(knob("MAKER_MOST", 200000)));
  positions_ += layers_.size();
  if (!whole) {
    return {};
  }
  const int hardest = layers_.farthest();
  const pieces_score score{hardest, layers_.size(), hardest < 0 ? 0 : layers_.count_at(hardest)};
  if (score.hardest > hardest_ && knob("MAKER_TRACE", 0)) {
    std::fprintf(stderr, "%.3f s layouts %llu: %d moves, %u positions, %zu blockers\n", seconds(),
                 static_cast<unsigned long long>(layouts_), score.hardest, score.positions,
                 pieces.blockers.size());
  }
  hardest_ = std::max(hardest_, score.hardest);
  return score;
}

bool pieces_search::out_of_time() {
  const double now = seconds();
  if (progress_ && now - last_report_ >= 0.1) {
    last_report_ = now;
    progress_(now, hardest_);
  }
  static const std::uint64_t budget = static_cast<std::uint64_t>(knob("MAKER_BUDGET", 0)) * 1000000;
  return now >= limits_.seconds || (limits_.layouts != 0 && layouts_ >= limits_.layouts) ||
         (budget != 0 && positions_ >= budget);
}

template <class looker>
void pieces_search::run(looker&& look) {
  const int restart_after = knob("MAKER_RESTART", 2000);
  play_level pieces;
  pieces_score score;
  int stale = 0;
  while (!out_of_time()) {
    play_level candidate = pieces;
    if (score.hardest < 0 || stale >= restart_after) {
      candidate = random_pieces(random_, 9 + random_.below(5));
      score = {};
      stale = 0;
    } else if (!mutate(candidate, random_)) {
      continue;
    }
    const pieces_score tried = measure(candidate);
    if (look(layers_, candidate, tried)) {
      return;
    }
    ++stale;
    if (tried.hardest >= 0 && tried >= score) {
      stale = tried.hardest > score.hardest ? 0 : stale;
      pieces = candidate;
      score = tried;
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
  pieces_search search(seed, limits, progress);
  std::optional<play_level> found;
  search.run(
      [&](const distance_layers& layers, const play_level& pieces, const pieces_score& score) {
        if (score.hardest >= moves) {
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
  pieces_search search(seed, limits, progress);
  play_level best;
  int best_moves = -1;
  search.run(
      [&](const distance_layers& layers, const play_level& pieces, const pieces_score& score) {
        if (score.hardest > best_moves) {
          best_moves = score.hardest;
          best = level_at(layers, pieces, score.hardest, search.random());
        }
        return false;
      });
  return finish(best, best_moves, seed, search);
}
