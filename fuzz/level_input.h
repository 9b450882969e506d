// What the level file fuzzers share: an input split into the six level files,
// written into a private working directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The level files in the order the reader reads them, which is the order of
// their parts in an input.
extern const char* const level_input_files[6];

// Makes a private temporary directory the working directory, once per process;
// it is removed when the process exits. A memory file system is used where
// there is one, so that the files cost little to write.
void enter_private_directory();

// Splits the input on the marker "#FILE#" into at most six parts; a part that
// is missing stands for a missing file.
std::vector<std::string> split_level_input(const std::uint8_t* data, std::size_t size);

// Writes each part as its level file and removes the files it has no part for.
void write_level_input(const std::vector<std::string>& parts);

// The whole content of a file, or "" when it cannot be read.
std::string read_whole(const char* name);
