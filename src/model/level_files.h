// The level files through which the generator hands a level to the move
// counter, and the snapshot of the start configuration: written, and read
// back with every field checked.
#pragma once

#include <filesystem>
#include <iostream>

#include "model/block_records.h"
#include "model/level_images.h"
#include "model/result.h"

// Writes the six level files into `directory` (the working directory when
// empty) in order, stopping at the first that cannot be created. A file
// counts as not created when its write or close fails, or when its name is
// taken by anything but a regular file, which is left untouched. The reason
// is escape_puzzle's message for that file, e.g. "failed to create Diff_lvl_file".
result<> store_level_files(const std::filesystem::path& directory, const BLOCK* blockers,
                           BLOCK prisoner, int num_block, const bool (*isblockthere)[board_size]);
// The same into the working directory, printing the reason on a line of its own.
void write_level_files(const BLOCK* blockers, BLOCK prisoner, int num_block,
                       const bool (*isblockthere)[board_size], std::ostream& out = std::cout);

// The level the six level files of `directory` (the working directory when
// empty) hold, checked to be one sound level. A level file that is no regular
// file is refused unread. The reason is escape_puzzle's message for the first
// missing file (e.g. "failed to read rec_size"), or a line naming the damaged
// file and what is wrong with it.
result<level_records> load_level_files(const std::filesystem::path& directory);
// The same from the working directory into the caller's records; on failure
// it prints the reason, on a line of its own but for the two missing-file
// messages of the prisoner's files, which end without a line break, and
// returns false.
bool read_level_files(BLOCK* blockers, BLOCK& prisoner, int& num_block,
                      bool (*isblockthere)[board_size], std::ostream& out = std::cout);

// Writes "level__" and "config_size" into the working directory as the level
// files are written; the reason is the message of the first that cannot be created.
result<> store_config_snapshot(const config& start);
// The same, printing the reason on a line of its own; false when it failed.
bool write_config_snapshot(const config& start, std::ostream& out = std::cout);
