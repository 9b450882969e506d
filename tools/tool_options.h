// Command lines of the measuring tools: options of the form "--name value"
// with whole-number values, "--help", and a usage line for anything else, read
// by the programs' command-line reader.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "program/command_line.h"

// One option: its name, where its value goes, and the values it accepts.
struct tool_option {
  const char* name;  // e.g. "--levels"
  long long* value;
  long long least;
  long long most;
};

// Prints `problem` (unless empty) and the usage line on standard error and exits with status 2.
[[noreturn]] inline void exit_with_usage(const char* usage, const std::string& problem) {
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
  }
  std::fprintf(stderr, "usage: %s\n", usage);
  std::exit(2);
}

// The name a program was called by, without its directory.
inline std::string program_name(const char* called) {
  const std::string name = called;
  return name.substr(name.rfind('/') + 1);
}

// Reads the options; the words that are not options are returned in order.
// "--help" prints the usage and "--version" the version on standard output and
// exit with status 0; an
// unknown option, a missing, malformed or out-of-range value exits through
// exit_with_usage.
inline std::vector<std::string> read_tool_options(int argc, char** argv, const char* usage,
                                                  std::initializer_list<tool_option> options) {
  std::vector<std::optional<long long>> values(options.size());
  std::vector<option> readers;
  for (const tool_option& tool : options) {
    readers.push_back(
        whole_number_option(tool.name, values[readers.size()], tool.least, tool.most));
  }
  const result<command_words> words =
      read_command_line(std::vector<std::string>(argv + 1, argv + argc), readers, std::size_t(-1));
  if (!words) {
    exit_with_usage(usage, words.reason());
  }
  if (words->help) {
    std::printf("usage: %s\n", usage);
    std::exit(0);
  }
  if (words->version) {
    std::printf("%s\n", version_line(program_name(argv[0])).c_str());
    std::exit(0);
  }
  std::size_t k = 0;
  for (const tool_option& tool : options) {
    if (values[k]) {
      *tool.value = *values[k];
    }
    ++k;
  }
  return words->operands;
}
