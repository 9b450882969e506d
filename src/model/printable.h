// Text from outside (typed input, path names, a level's text form) as
// messages show it: never a control code sent raw to the terminal.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The characters of UTF-8 text, each as its bytes; a byte that begins no
// whole, valid character stands alone.
std::vector<std::string_view> characters_of(std::string_view text);

// The text with every control character shown as an escape (\n, \t, \r,
// \x1B, \u009B ...) and every byte of no valid character as \xHH.
std::string printable(std::string_view text);

// A path as messages name it: printable, in double quotes.
std::string quoted_path(const std::filesystem::path& path);
