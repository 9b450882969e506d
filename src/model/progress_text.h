// The progress file's text: a version line, then the levels line by line.
#pragma once

#include <string>
#include <string_view>

#include "model/progress.h"
#include "model/result.h"

// The text of a progress file: a version line, then a line a level with its
// best escape, fastest time and attempts, and a line for each unfinished attempt.
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
// starting with '#' are passed over. A file of the version before this one's
// is read as well. Fails only for a file of a newer version, which this one
// cannot read ("was written by a newer version ...").
result<progress_read> read_progress_text(std::string_view text);
