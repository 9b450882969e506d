// The player's progress: the best escape from every level played, kept in a
// plain text file that games running at once can share.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "model/level.h"
#include "model/result.h"

// The best escape from one level.
struct level_best {
  int moves = 0;      // the moves it took
  int stars = 0;      // 1 to 3
  int tips = 0;       // tips taken on the way
  int solutions = 0;  // solutions played on the way
  int peeks = 0;      // times the fewest moves from the position were shown
  std::string date;   // the day it was made, YYYY-MM-DD

  bool operator==(const level_best&) const = default;
};

// The best escape from every level played, by the level's key.
using progress = std::map<std::string, level_best>;

// The key of a level in the progress: its text form with the blockers lettered
// in reading order, so that a board has one key however its blockers are lettered.
std::string progress_key(const play_level& level);

// True when `a` is a better escape than `b`: more stars, else fewer moves,
// else less help.
bool is_better(const level_best& a, const level_best& b);

// The text of a progress file: a version line, then one line a level.
std::string progress_text(const progress& kept);

// What the text of a progress file holds.
struct progress_read {
  progress kept;            // the levels of its sound lines
  int lost = 0;             // the lines refused
  std::string first_fault;  // where the first refused line is and why: "line 3: ..."
};

// The progress a file's text holds: every sound line, past those refused (a
// cut line, a level given twice, a version line missing). Lines may end in
// CRLF, and a byte-order mark may begin the text; blank lines and lines
// starting with '#' are passed over. Fails only for a file of a newer version,
// which this one cannot read ("was written by a newer version ...").
result<progress_read> read_progress_text(std::string_view text);

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
  std::optional<level_best> before;  // the best escape from the level before this one
  bool new_best = false;             // this escape is better than any before
  std::optional<std::string> note;   // a line to say: a damaged file moved aside, or a save failed
};

// Keeps an escape from the level `key` (dated today when its date is empty).
// Under a lock on the directory it reads the file again, so that what other
// games kept stays, keeps the better of the two escapes, and writes the file
// whole or not at all (a temporary file, flushed, renamed into place). A save
// that fails is said once; the escape is still known to this program.
kept_result keep_result(progress_store& store, const std::string& key, level_best escape);
