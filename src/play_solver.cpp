#include "play_solver.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace {

// A position: every block's first cell along its line, 3 bits a block, the prisoner first.
using position = std::uint64_t;
// A set of cells: bit board_size * y + x for cell (x, y).
using cells = std::uint64_t;

constexpr int bits_per_block = 3;
constexpr position along_mask = (position{1} << bits_per_block) - 1;
static_assert(bits_per_block * (max_blockers + 1) <= 64);
static_assert(board_size * board_size <= 64);

cells cell_bit(int x, int y) {
  return cells{1} << (board_size * y + x);
}

// What stays fixed about a block while it slides.
struct block_shape {
  int length = 0;
  cells at[board_size] = {};  // its cells with its first cell at each place along its line
};

block_shape shape_of(const BLOCK& block) {
  block_shape shape;
  shape.length = block.length;
  for (int along = 0; along + block.length <= board_size; ++along) {
    for (int k = 0; k < block.length; ++k) {
      shape.at[along] |=
          block.horizontal ? cell_bit(along + k, block.y) : cell_bit(block.x, along + k);
    }
  }
  return shape;
}

int along_of(const BLOCK& block) {
  return block.horizontal ? block.x : block.y;
}

int along_in(position p, std::size_t index) {
  return static_cast<int>((p >> (bits_per_block * index)) & along_mask);
}

position moved(position p, std::size_t index, int distance) {
  const int along = along_in(p, index) + distance;
  const int shift = static_cast<int>(bits_per_block * index);
  return (p & ~(along_mask << shift)) | (static_cast<position>(along) << shift);
}

// How a position was first reached.
struct arrival {
  position from = 0;
  play_move move;
};

}  // namespace

BLOCK& block_of(play_level& level, int block) {
  return block == prisoner_block ? level.prisoner : level.blockers[static_cast<std::size_t>(block)];
}

const BLOCK& block_of(const play_level& level, int block) {
  return block == prisoner_block ? level.prisoner : level.blockers[static_cast<std::size_t>(block)];
}

std::optional<int> block_at(const play_level& level, int x, int y) {
  for (int block = prisoner_block; block < static_cast<int>(level.blockers.size()); ++block) {
    const BLOCK& b = block_of(level, block);
    const int along = b.horizontal ? x - b.x : y - b.y;
    const bool across = b.horizontal ? y == b.y : x == b.x;
    if (across && along >= 0 && along < b.length) {
      return block;
    }
  }
  return std::nullopt;
}

bool is_prisoner_free(const play_level& level) {
  const BLOCK& prisoner = level.prisoner;
  for (int x = prisoner.x + prisoner.length; x < board_size; ++x) {
    if (block_at(level, x, prisoner.y)) {
      return false;
    }
  }
  return true;
}

std::optional<std::vector<play_move>> solve_level(const play_level& level) {
  // Index 0 is the prisoner, index i + 1 blocker i.
  std::vector<block_shape> shapes{shape_of(level.prisoner)};
  position start = static_cast<position>(along_of(level.prisoner));
  for (std::size_t i = 0; i < level.blockers.size(); ++i) {
    shapes.push_back(shape_of(level.blockers[i]));
    start |= static_cast<position>(along_of(level.blockers[i])) << (bits_per_block * (i + 1));
  }
  // The cells right of the prisoner for each place of it along its row.
  cells way_out[board_size] = {};
  for (int x = 0; x < board_size; ++x) {
    for (int free_x = x + level.prisoner.length; free_x < board_size; ++free_x) {
      way_out[x] |= cell_bit(free_x, level.prisoner.y);
    }
  }
  const auto covered = [&](position p) {
    cells all = 0;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
      all |= shapes[i].at[along_in(p, i)];
    }
    return all;
  };
  const auto is_free = [&](position p, cells all) { return (all & way_out[along_in(p, 0)]) == 0; };

  std::unordered_map<position, arrival> seen;
  const auto path_to = [&](position end) {
    std::vector<play_move> moves;
    for (position p = end; p != start; p = seen.at(p).from) {
      moves.push_back(seen.at(p).move);
    }
    std::reverse(moves.begin(), moves.end());
    return moves;
  };

  if (is_free(start, covered(start))) {
    return std::vector<play_move>{};
  }
  seen.emplace(start, arrival{});
  std::vector<position> queue{start};
  for (std::size_t head = 0; head < queue.size(); ++head) {
    const position p = queue[head];
    const cells all = covered(p);
    for (std::size_t i = 0; i < shapes.size(); ++i) {
      const int along = along_in(p, i);
      const cells others = all & ~shapes[i].at[along];
      const int block = static_cast<int>(i) - 1;
      for (const int step : {-1, 1}) {
        for (int distance = step;; distance += step) {
          const int to = along + distance;
          if (to < 0 || to + shapes[i].length > board_size || (shapes[i].at[to] & others) != 0) {
            break;
          }
          const position next = moved(p, i, distance);
          if (!seen.emplace(next, arrival{p, play_move{block, distance}}).second) {
            continue;
          }
          if (is_free(next, others | shapes[i].at[to])) {
            return path_to(next);
          }
          queue.push_back(next);
        }
      }
    }
  }
  return std::nullopt;
}
