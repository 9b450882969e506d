// How the line mode reads what is typed: a command line at a time, and a move
// in its typed forms.
#pragma once

#include <cstddef>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "model/level.h"

// Reads the block letter and distance of a move command ("b -2", "B+1", "c up
// 2", "a left"), or says on `out` why it is no move.
std::optional<play_move> parse_move(const play_level& level, std::string_view line,
                                    std::ostream& out);

// A move as it is typed, e.g. "b -2".
std::string move_text(play_move move);

// The text in lower case.
std::string lower(std::string_view text);

// The text without the spaces, tabs and carriage returns around it.
std::string_view trimmed(std::string_view text);

// The longest command line the game reads; the rest of a longer one is skipped unread.
inline constexpr std::size_t longest_command = 200;

// What reading a command line found.
enum class command_read { command, too_long, holds_nul, end_of_input };

// Reads one line of at most longest_command characters into `line`. A longer
// line is discarded as it is read, so that memory stays flat on any input; a
// line with a NUL byte, which would cut a name short, is refused whole.
command_read read_command(std::istream& in, std::string& line);
