// The entry point of escape_levels: makes levels and prints them.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "program/levels_command.h"
#include "program/terminal.h"

int main(int argc, char** argv) {
  levels_terminal terminal;
  terminal.colour = wants_colour(is_terminal(1), std::getenv("NO_COLOR"));
  terminal.progress = is_terminal(2);
  return run_levels_command(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                            terminal);
}
