// The progress file's text: a version line, then the levels line by line.
#pragma once

#include <string>
#include <string_view>

#include "model/progress.h"
#include "model/result.h"

// The text of a progress file: a version line, then a line a level with its
// best escape, fastest time and attempts, and a line for each unfinished attempt.
std::string progress_text(const progress& kept);

// The progress a file's text holds, or why it is damaged ("line 3: ...").
// Blank lines and lines starting with '#' are passed over.
result<progress> read_progress_text(std::string_view text);
