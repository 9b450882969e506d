// Generates one level of difficulty 1, counts the moves that free its
// prisoner and prints the count. Arguments and standard input are ignored.
#include "program/main.h"

int main() {
  return run_escape_puzzle();
}
