// The one-line text form of a level: what the level maker prints and what
// escape_play --level reads.
#pragma once

#include <string>
#include <string_view>

#include "model/level.h"
#include "model/result.h"

// The level's text form: 36 characters, rows 0 to 5, each from x = 0 to 5:
// '.' a free cell, 'P' the prisoner, block_letter for the blockers.
std::string level_text(const play_level& level);

// Reads a text form: 36 cells, optionally split into rows by '/'; any of the
// letters a to m names one blocker, blockers in alphabetical order. The level
// must follow the generator's rules. A text
// that is no sound level gives one printable line saying why.
result<play_level> read_level_text(std::string_view text);
