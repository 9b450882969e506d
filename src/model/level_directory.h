// A level stored as the six level files in a directory of its own, as
// escape_levels --out and the game's save write it and escape_play reads it.
#pragma once

#include <filesystem>
#include <string>

#include "model/level.h"
#include "model/result.h"

// True if `directory` holds any of the six level files.
bool holds_level_files(const std::filesystem::path& directory);

// The level stored in `directory`, or why there is none: no level files, the
// first level file missing in the reader's order, or the reader's line about
// a damaged one. Never writes a file.
result<play_level> read_level_directory(const std::filesystem::path& directory);

// What there is to say about a level directory written.
struct written_level {
  // A line for the user when the file system could not swap the old level for
  // the new one in one step; empty otherwise.
  std::string note;
};

// Stores the level as the six level files in `directory`, creating it and its
// parents when missing, and never leaves a mix of two levels: the files are
// written and flushed in a new directory beside it, which then takes its name;
// one that exists is swapped for it in one atomic step and then removed (on
// a file system that cannot swap, moved aside first). A directory that holds
// anything but level files, or the working directory, is refused, so that
// nothing else is lost. Temporaries that writers before left beside it are
// removed. The reason names the file or directory and the cause.
result<written_level> write_level_directory(const play_level& level,
                                            const std::filesystem::path& directory);
