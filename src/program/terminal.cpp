#include "program/terminal.h"

#include <unistd.h>

bool is_terminal(int descriptor) {
  return isatty(descriptor) == 1;
}

bool wants_colour(bool stdout_is_terminal, const char* no_color) {
  return stdout_is_terminal && (no_color == nullptr || *no_color == '\0');
}
