// Command lines of the measuring tools: options of the form "--name value"
// with whole-number values, "--help", and a usage line for anything else.
#pragma once

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

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

// Reads the options; the words that are not options are returned in order.
// "--help" prints the usage on standard output and exits with status 0; an
// unknown option, a missing, malformed or out-of-range value exits through
// exit_with_usage.
inline std::vector<std::string> read_tool_options(int argc, char** argv, const char* usage,
                                                  std::initializer_list<tool_option> options) {
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--help" || word == "-h") {
      std::printf("usage: %s\n", usage);
      std::exit(0);
    }
    if (!word.starts_with("-")) {
      words.push_back(word);
      continue;
    }
    const tool_option* option = nullptr;
    for (const tool_option& candidate : options) {
      option = word == candidate.name ? &candidate : option;
    }
    if (option == nullptr) {
      exit_with_usage(usage, "unknown option " + word);
    }
    if (i + 1 == argc) {
      exit_with_usage(usage, word + " needs a value");
    }
    const char* text = argv[++i];
    long long value = 0;
    const auto [end, error] = std::from_chars(text, text + std::strlen(text), value);
    if (error != std::errc() || *end != '\0' || value < option->least || value > option->most) {
      exit_with_usage(usage, word + " takes a whole number from " + std::to_string(option->least) +
                                 " to " + std::to_string(option->most) + ", not " + text);
    }
    *option->value = value;
  }
  return words;
}
