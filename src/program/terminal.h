// What the programs learn of the terminal they run on.
#pragma once

// True if the file descriptor is a terminal.
bool is_terminal(int descriptor);

// True when the board should be coloured: output goes to a terminal and
// NO_COLOR (given as the variable's value, null when unset) is unset or empty.
bool wants_colour(bool stdout_is_terminal, const char* no_color);
