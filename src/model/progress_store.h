// The player's progress kept in a plain text file that games running at once
// can share.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "model/progress.h"

// The name of the progress file in its directory, and of the lock beside it.
inline constexpr const char* progress_file_name = "progress";
inline constexpr const char* progress_lock_name = "progress.lock";

// One player's progress as a program keeps it.
struct progress_store {
  std::filesystem::path directory;  // where the file is; empty: nothing is read or written
  std::string today;                // the date escapes are kept under, YYYY-MM-DD
  progress known;                   // as last read, with this program's escapes
  bool told_of_failure = false;     // a failure to save was said; later ones are not
};

// Reads the progress file into store.known; none is no progress yet. Where
// the progress file is a symbolic link, the file it leads to is read and
// written. A file with lines that are not sound, or that cannot be read, is
// renamed aside with a suffix, never deleted, and the sound lines are written
// back; a file of a newer version is left as it is, and nothing is saved. The
// one line that says so, when there is something to say.
std::optional<std::string> load_progress(progress_store& store);

// What keeping an escape found.
struct kept_result {
  std::optional<level_best> before;   // the best escape from the level before this one
  bool new_best = false;              // this escape is better than any before
  std::optional<int> fastest_before;  // the fastest unaided escape's seconds before this one
  bool new_fastest = false;           // this escape is unaided and faster than any before
  std::optional<std::string> note;    // a line to say: a damaged file moved aside, or a save failed
};

// Keeps an escape from the level `key` (dated today when its date is empty)
// that took `seconds`, when known; `new_attempt` when it ends an attempt not
// counted yet. It ends the level's unfinished attempt. Under a lock on the
// directory it reads the file again, so that what other games kept stays,
// keeps the better of the two escapes, and writes the file whole or not at
// all (a temporary file, flushed, renamed into place). A save that fails is
// said once; the escape is still known to this program.
kept_result keep_result(progress_store& store, const std::string& key, level_best escape,
                        std::optional<int> seconds = std::nullopt, bool new_attempt = false);

// Keeps `attempt` as the level's unfinished attempt, or forgets the one kept
// when there is none; counts one attempt more when `new_attempt`. Kept as
// keep_result keeps an escape; the line to say, if any.
std::optional<std::string> keep_attempt(progress_store& store, const std::string& key,
                                        const std::optional<unfinished_attempt>& attempt,
                                        bool new_attempt);
