// The colours of the blocks, one palette for every picture of a board: the
// text boards of the line mode and of escape_levels, and the full screen.
#pragma once

// The eight colours of every colour terminal, in the order of their codes.
enum class basic_colour { black, red, green, yellow, blue, magenta, cyan, white };

// The colour of block `number`: red for the prisoner, the blockers in turn in
// green, yellow, blue, magenta and cyan.
basic_colour block_colour(int number);

// The colour of block `number` on a terminal of 256 colours, as an index of
// its 6x6x6 colour cube: the prisoner red, and every blocker a colour of its
// own. The blockers' colours are of middle lightness, so that black letters
// read on them and they stand out from a dark and a light background alike.
int block_colour_256(int number);

// The colour of the letters on block `number` there: white on the prisoner,
// black on the blockers.
int letter_colour_256(int number);
