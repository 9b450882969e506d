#include "program/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "model/level.h"
#include "model/printable.h"

namespace {

// The most searches a command line may ask to run at once.
constexpr int most_jobs = 256;

// True if the word is an option's name rather than a value: it begins with a
// dash and is no negative number.
bool looks_like_option(std::string_view word) {
  return word.starts_with('-') && !(word.size() > 1 && word[1] >= '0' && word[1] <= '9');
}

template <class number>
option bounded_number(std::string name, std::optional<number>& value, number least, number most) {
  const std::string what = name + " takes a whole number from " + std::to_string(least) + " to " +
                           std::to_string(most) + ", not ";
  return {name, true, [&value, least, most, what](std::string_view text) -> result<> {
            value = read_number<number>(text);
            if (!value || *value < least || *value > most) {
              return failure{what + quoted_word(text)};
            }
            return {};
          }};
}

}  // namespace

std::string quoted_word(std::string_view word) {
  std::string quote(1, '\'');
  quote += printable(word);
  quote += '\'';
  return quote;
}

option flag_option(std::string name, bool& set) {
  return {std::move(name), false, [&set](std::string_view) -> result<> {
            set = true;
            return {};
          }};
}

option whole_number_option(std::string name, std::optional<long long>& value, long long least,
                           long long most) {
  return bounded_number(std::move(name), value, least, most);
}

option whole_number_option(std::string name, std::optional<int>& value, int least, int most) {
  return bounded_number(std::move(name), value, least, most);
}

option optional_number_option(std::string name, bool& given, std::optional<int>& value, int least,
                              int most) {
  option read = bounded_number(std::move(name), value, least, most);
  read.take = [&given, check = std::move(read.take)](std::string_view text) -> result<> {
    given = true;
    return text.empty() ? result<>() : check(text);
  };
  read.is_value = [](std::string_view word) {
    const std::string_view digits = word.starts_with('-') ? word.substr(1) : word;
    return !digits.empty() && digits[0] >= '0' && digits[0] <= '9';
  };
  return read;
}

option seconds_option(std::string name, std::optional<double>& value, double most) {
  const std::string what = name + " takes a number of seconds above 0 and up to " +
                           std::to_string(static_cast<long long>(most)) + ", not ";
  return {std::move(name), true, [&value, most, what](std::string_view text) -> result<> {
            value = read_number<double>(text);
            if (!value || !(*value > 0) || *value > most) {
              return failure{what + quoted_word(text)};
            }
            return {};
          }};
}

option text_option(std::string name, std::optional<std::string>& value, const char* what) {
  const std::string empty = name + " takes " + what + ", not an empty name";
  return {std::move(name), true, [&value, empty](std::string_view text) -> result<> {
            if (text.empty()) {
              return failure{empty};
            }
            value = std::string(text);
            return {};
          }};
}

option moves_option(std::optional<int>& moves) {
  option read = bounded_number(std::string("--moves"), moves, 0, most_level_moves);
  read.take = [&moves, check = std::move(read.take)](std::string_view text) -> result<> {
    result<> taken = check(text);
    if (!taken && moves && *moves > most_level_moves) {
      return failure{taken.reason() + ": no level of this board needs more than " +
                     std::to_string(most_level_moves) + " moves"};
    }
    return taken;
  };
  return read;
}

option seed_option(std::optional<std::uint64_t>& seed, std::string name) {
  return bounded_number(std::move(name), seed, std::uint64_t{0},
                        std::numeric_limits<std::uint64_t>::max());
}

option jobs_option(std::optional<int>& jobs) {
  return bounded_number(std::string("--jobs"), jobs, 0, most_jobs);
}

std::string version_line(std::string_view program) {
  return std::string(program) + " " + ESCAPE_VERSION;
}

result<> flush_output(std::ostream& out) {
  out.flush();
  if (!out) {
    return failure{std::string("cannot write to standard output") +
                   (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string())};
  }
  return {};
}

result<command_words> read_command_line(const std::vector<std::string>& arguments,
                                        const std::vector<option>& options,
                                        std::size_t most_operands) {
  command_words words;
  std::vector<std::string_view> given;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word == "--help" || word == "-h") {
      words.help = true;
      return words;
    }
    if (word == "--version" || word == "-V") {
      words.version = true;
      return words;
    }
    const auto named = std::find_if(options.begin(), options.end(),
                                    [&](const option& o) { return o.name == word; });
    if (named == options.end()) {
      if (looks_like_option(word) || words.operands.size() == most_operands) {
        return failure{"unknown argument " + quoted_word(word)};
      }
      words.operands.push_back(word);
      continue;
    }
    if (std::find(given.begin(), given.end(), word) != given.end()) {
      return failure{word + " is given twice"};
    }
    given.push_back(named->name);
    if (!named->takes_value) {
      static_cast<void>(named->take({}));
      continue;
    }
    if (named->is_value) {
      const bool valued = i + 1 < arguments.size() && named->is_value(arguments[i + 1]);
      if (const result<> taken = named->take(valued ? std::string_view(arguments[++i]) : "");
          !taken) {
        return failure{taken.reason()};
      }
      continue;
    }
    if (i + 1 == arguments.size()) {
      return failure{word + " needs a value"};
    }
    const std::string& value = arguments[++i];
    if (looks_like_option(value)) {
      return failure{word + " needs a value, not the option " + quoted_word(value)};
    }
    if (const result<> taken = named->take(value); !taken) {
      return failure{taken.reason()};
    }
  }
  return words;
}
