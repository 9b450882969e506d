// The entry point of escape_play: plays the level that escape_puzzle left in
// the working directory.
#include <cstdlib>
#include <iostream>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

#include "play_game.h"

namespace {

bool stdout_is_terminal() {
#if __has_include(<unistd.h>)
  return isatty(STDOUT_FILENO) == 1;
#else
  return false;
#endif
}

}  // namespace

int main() {
  return play_game(std::cin, std::cout,
                   wants_colour(stdout_is_terminal(), std::getenv("NO_COLOR")));
}
