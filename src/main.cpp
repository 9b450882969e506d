// Generates one level of difficulty 1, counts the moves that free its
// prisoner and prints the count. Arguments and standard input are ignored.
#include "main.h"

#include "random_lvl_function.h"

int main() {
  // Standard output is only written through std::cout, and every line is
  // flushed; unhooking it from C stdio saves a layer per write.
  std::ios::sync_with_stdio(false);
  randomlvl(1);
  return report_num_moves();
}
