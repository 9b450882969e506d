// The colours of the blocks, one palette for every picture of a board: the
// text boards of the line mode and of escape_levels, and the full screen.
#pragma once

// The eight colours of every colour terminal, in the order of their codes.
enum class basic_colour { black, red, green, yellow, blue, magenta, cyan, white };

// The colour of block `number`: red for the prisoner, the blockers in turn in
// green, yellow, blue, magenta and cyan.
basic_colour block_colour(int number);
