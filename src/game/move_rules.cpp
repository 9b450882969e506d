#include "game/move_rules.h"

#include <cstdlib>

int entered_along(const play_block& block, int distance, int step) {
  const int along = position_along(block);
  return distance < 0 ? along - step : along + block.length - 1 + step;
}

result<play_level> after_move(const play_level& level, play_move move) {
  const play_block& block = block_of(level, move.block);
  const auto refused = [&](const std::string& why) {
    return failure{std::string(1, block_letter(move.block)) + " cannot move " +
                   counted(static_cast<std::size_t>(std::abs(move.distance)), "cell") + " " +
                   direction_of(block, move.distance) + ": " + why};
  };
  for (int step = 1; step <= std::abs(move.distance); ++step) {
    const int to = entered_along(block, move.distance, step);
    if (to < 0 || to >= board_size) {
      return refused("it would leave the board.");
    }
    const cell entered = cell_on_line(block, to);
    if (const int other = block_at(level, entered.x, entered.y); other != no_block) {
      return refused(std::string(1, block_letter(other)) + " is in the way.");
    }
  }
  play_level moved = level;
  apply_move(moved, move);
  return moved;
}

void apply_move(play_level& level, play_move move) {
  slide_block(level, move.block, move.distance);
}

void add_slide(std::vector<play_move>& moves, play_move slide) {
  if (moves.empty() || moves.back().block != slide.block) {
    moves.push_back(slide);
  } else if ((moves.back().distance += slide.distance) == 0) {
    moves.pop_back();
  }
}

bool take_back(play_level& level, std::vector<play_move>& moves) {
  if (moves.empty()) {
    return false;
  }
  apply_move(level, play_move{moves.back().block, -moves.back().distance});
  moves.pop_back();
  return true;
}

std::string line_fault(const play_block& block, char letter, std::string_view direction) {
  return std::string(1, letter) + " cannot move " + std::string(direction) + ": it lies " +
         (block.horizontal ? "across and moves only left or right."
                           : "upright and moves only up or down.");
}

const char* direction_of(const play_block& block, int distance) {
  if (block.horizontal) {
    return distance < 0 ? "left" : "right";
  }
  return distance < 0 ? "up" : "down";
}

std::string counted(std::size_t count, const char* thing) {
  return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

std::string goodbye_text(std::size_t moves) {
  return "Left the game after " + counted(moves, "move") + ". The prisoner is still in.";
}

std::string making_text(int moves) {
  return "Making a level of " + counted(static_cast<std::size_t>(moves), "move") + "...";
}
