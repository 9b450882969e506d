// The keys a terminal sends as escape sequences, read without the terminal's
// description: the ones it names wrongly or not at all.
#pragma once

#include <string_view>

#include "game/screen_keys.h"

// The key that Escape followed by `rest` stands for, `rest` being the bytes
// that came within the terminal's escape delay: Escape alone when there are
// none; Home, End, Page Up, Page Down and the arrows in their common forms,
// with or without modifiers; any other key (Alt and a key, an unknown
// sequence) otherwise.
screen_key key_after_escape(std::string_view rest);
