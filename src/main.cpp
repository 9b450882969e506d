// Generates one level of difficulty 1, counts the moves that free its
// prisoner and prints the count. Arguments and standard input are ignored.
#include "main.h"

#include "random_lvl_function.h"

int main() {
  randomlvl(1);
  return report_num_moves();
}
