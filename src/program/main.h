// What the program does once a level has been generated: count its moves and
// report the count.
#pragma once

#include <iostream>
#include <new>

#include "model/random_lvl_function.h"
#include "search/num_moves_calculator.h"

// Counts the moves of the level in the working directory and prints the count
// followed by " no_of moves" (-1 when the search gives up or runs out of
// memory); the program's exit status, always 0.
inline int report_num_moves(std::ostream& out = std::cout) {
  int k = -1;
  try {
    k = calculate_num_moves(out);
  } catch (const std::bad_alloc&) {
    out << "the move search ran out of memory" << std::endl;
  }
  out << k << " no_of moves" << std::endl;
  return 0;
}

// The whole program: generates a level of difficulty 1, then counts its moves
// and reports the count; the exit status, always 0.
inline int run_escape_puzzle(std::ostream& out = std::cout) {
  randomlvl(1);
  return report_num_moves(out);
}
