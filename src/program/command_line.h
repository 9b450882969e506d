// The one reader of the programs' and tools' command lines: options with
// their values checked as they are read, the options the programs share, and
// numbers read strictly.
#pragma once

#include <charconv>
#include <cstdint>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "model/result.h"

// The whole of `text` as a number of type `number`, or nothing when it is not
// one (a sign, a space or anything after the digits makes it none).
template <class number>
std::optional<number> read_number(std::string_view text) {
  number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

// A word of a command line as messages show it: in single quotes, its
// control characters escaped as `printable` does.
std::string quoted_word(std::string_view word);

// One option of a command line: its name and what it does with its value.
struct option {
  std::string name;          // e.g. "--moves"
  bool takes_value = false;  // false for a flag such as "--lines"
  // Stores the value (empty for a flag), or says why it is not one the option takes.
  std::function<result<>(std::string_view value)> take;
  // Set for an option whose value may be left out: true for a word meant as
  // its value. When the next word is none, the option is given alone and
  // `take` gets an empty value.
  std::function<bool(std::string_view word)> is_value = {};
};

// A flag: `set` becomes true when it is given.
option flag_option(std::string name, bool& set);
// A whole number from `least` to `most`.
option whole_number_option(std::string name, std::optional<long long>& value, long long least,
                           long long most);
option whole_number_option(std::string name, std::optional<int>& value, int least, int most);
// A whole number from `least` to `most` that may be left out: `given` becomes
// true when the option is given, `value` holds the number when one follows it.
// A word that looks like a number is taken as its value.
option optional_number_option(std::string name, bool& given, std::optional<int>& value, int least,
                              int most);
// A number of seconds above 0 and at most `most`.
option seconds_option(std::string name, std::optional<double>& value, double most);
// A text that must not be empty; `what` names it in the message, e.g. "a directory".
option text_option(std::string name, std::optional<std::string>& value, const char* what);

// "--moves N": the fewest moves of a level, from 0 to most_level_moves.
option moves_option(std::optional<int>& moves);
// "--seed S" (or another name): a seed of the level maker, any 64-bit whole number.
option seed_option(std::optional<std::uint64_t>& seed, std::string name = "--seed");
// "--jobs J": how many searches run at once, 0 for one on each core.
option jobs_option(std::optional<int>& jobs);

// Flushes a program's standard output `out`; the reason, with the system's
// word for the cause, when something written to it could not be written.
result<> flush_output(std::ostream& out);

// The line --version prints for `program`: its name and the project's version.
std::string version_line(std::string_view program);

// What a command line holds besides its options.
struct command_words {
  bool help = false;                  // --help or -h was given; reading stopped there
  bool version = false;               // --version or -V was given; reading stopped there
  std::vector<std::string> operands;  // the words that are no options, in order
};

// Reads `arguments` (the program name left out) against `options`, keeping
// at most `most_operands` words that are no options. The reason names the
// first word that is wrong: an unknown option, one given twice, a missing
// value, a value that is an option itself, one the option does not take, or
// an operand too many.
result<command_words> read_command_line(const std::vector<std::string>& arguments,
                                        const std::vector<option>& options,
                                        std::size_t most_operands = 0);
