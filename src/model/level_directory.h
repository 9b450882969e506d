// A level stored as the six level files in a directory of its own, as
// escape_levels --out and the game's save write it and escape_play reads it.
#pragma once

#include <filesystem>

#include "model/level.h"
#include "model/result.h"

// True if `directory` holds any of the six level files.
bool holds_level_files(const std::filesystem::path& directory);

// The level stored in `directory`, or why there is none: no level files, the
// first level file missing in the reader's order, or the reader's line about
// a damaged one. Never writes a file.
result<play_level> read_level_directory(const std::filesystem::path& directory);

// Stores the level as the six level files in `directory`, creating it and its
// parents when missing. Never leaves a level half written: a new directory
// appears whole or not at all, and in one that exists the six files are
// written under temporary names and renamed into place only once all are
// written and flushed, so a failure leaves the old level whole. A rename
// replaces a name, never the file a link points to. The reason names the file
// and the cause.
result<> write_level_directory(const play_level& level, const std::filesystem::path& directory);
