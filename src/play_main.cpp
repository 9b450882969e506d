// The entry point of escape_play: plays the level that escape_puzzle left in
// the working directory, on the whole terminal or one command a line.
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string_view>

#include "play_game.h"
#include "play_terminal.h"

int main(int argc, char** argv) {
  bool lines = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) != "--lines") {
      std::cerr << "usage: escape_play [--lines]" << std::endl;
      return 2;
    }
    lines = true;
  }
  if (lines || !full_screen_available()) {
    return play_game(std::cin, std::cout,
                     wants_colour(isatty(STDOUT_FILENO) == 1, std::getenv("NO_COLOR")));
  }
  const std::optional<play_level> level = read_play_level(std::cout);
  if (!level) {
    return 1;
  }
  return play_full_screen(*level, {wants_colour(true, std::getenv("NO_COLOR")), {}});
}
