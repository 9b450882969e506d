// The entry point of escape_levels: makes levels and prints them.
#include <cstdlib>
#include <string>
#include <vector>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

#include "levels_command.h"
#include "play_game.h"

namespace {

bool is_terminal([[maybe_unused]] int descriptor) {
#if __has_include(<unistd.h>)
  return isatty(descriptor) == 1;
#else
  return false;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  levels_terminal terminal;
  terminal.colour = wants_colour(is_terminal(1), std::getenv("NO_COLOR"));
  terminal.progress = is_terminal(2);
  return run_levels_command(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                            terminal);
}
