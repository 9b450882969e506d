#include "model/progress_text.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <span>
#include <sstream>
#include <vector>

#include "model/printable.h"

namespace {

// The version this program writes, and the one before it, which it reads too.
constexpr int this_version = 2;
constexpr std::string_view version_prefix = "escape-puzzle progress ";
constexpr std::string_view version_line = "escape-puzzle progress 2";
constexpr std::string_view first_version_line = "escape-puzzle progress 1";
constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

// The fields of a best escape, in the order the file gives them; the date follows.
constexpr const char* best_names[] = {"moves", "stars", "tips", "solutions", "peeks"};
// The help of an unfinished attempt; its time follows.
constexpr const char* help_names[] = {"tips", "solutions", "peeks"};

bool is_key(std::string_view word) {
  return word.size() == board_size * board_size &&
         std::all_of(word.begin(), word.end(), [](char c) {
           return c == '.' || c == 'P' || (c >= 'a' && c < 'a' + max_blockers);
         });
}

bool is_date(std::string_view word) {
  return word.size() == 10 && word[4] == '-' && word[7] == '-' &&
         std::all_of(word.begin(), word.end(),
                     [](char c) { return c == '-' || (c >= '0' && c <= '9'); });
}

std::optional<int> count_in(std::string_view word) {
  int value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc{} || end != word.data() + word.size() || value < 0) {
    return std::nullopt;
  }
  return value;
}

// The fields of a line after its first `from` words, by name.
using line_fields = std::map<std::string, std::string>;

result<line_fields> fields_of(const std::vector<std::string>& words, std::size_t from) {
  if ((words.size() - from) % 2 != 0) {
    return failure{"a field without its value"};
  }
  line_fields fields;
  for (std::size_t i = from; i < words.size(); i += 2) {
    if (!fields.emplace(words[i], words[i + 1]).second) {
      return failure{"the field " + words[i] + " given twice"};
    }
  }
  return fields;
}

// The count of field `name`, taken out of `fields`; nothing when it is not there.
result<std::optional<int>> take_count(line_fields& fields, const std::string& name) {
  const auto found = fields.find(name);
  if (found == fields.end()) {
    return std::optional<int>();
  }
  const std::optional<int> value = count_in(found->second);
  if (!value) {
    return failure{"no count of " + name + " where it belongs"};
  }
  fields.erase(found);
  return value;
}

// The counts of all the fields `names`, taken out of `fields` into `counts`
// in their order; false when none is there; a failure when some are missing.
result<bool> take_counts(line_fields& fields, std::span<const char* const> names,
                         std::span<int* const> counts) {
  const char* missing = nullptr;
  bool any = false;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const result<std::optional<int>> value = take_count(fields, names[i]);
    if (!value) {
      return failure{value.reason()};
    }
    any = any || value->has_value();
    missing = missing != nullptr || *value ? missing : names[i];
    *counts[i] = value->value_or(0);
  }
  if (any && missing != nullptr) {
    return failure{std::string("no count of ") + missing + " where it belongs"};
  }
  return any;
}

// The best escape the fields hold, taken out of them, if any.
result<std::optional<level_best>> take_best(line_fields& fields) {
  level_best best;
  int* const counts[] = {&best.moves, &best.stars, &best.tips, &best.solutions, &best.peeks};
  const result<bool> given = take_counts(fields, best_names, counts);
  if (!given) {
    return failure{given.reason()};
  }
  const auto date = fields.find("date");
  if (!*given && date == fields.end()) {
    return std::optional<level_best>();
  }
  if (!*given) {
    return failure{"no count of moves where it belongs"};
  }
  if (best.stars < 1 || best.stars > 3) {
    return failure{"stars are 1 to 3"};
  }
  if (date == fields.end() || !is_date(date->second)) {
    return failure{"no date YYYY-MM-DD where it belongs"};
  }
  best.date = date->second;
  fields.erase(date);
  return std::optional<level_best>(best);
}

// The level line's record: its best escape, fastest time and attempts.
result<level_record> read_record(line_fields fields) {
  const result<std::optional<level_best>> best = take_best(fields);
  if (!best) {
    return failure{best.reason()};
  }
  level_record record;
  record.best = *best;
  const result<std::optional<int>> fastest = take_count(fields, "fastest");
  const result<std::optional<int>> attempts = take_count(fields, "attempts");
  if (!fastest || !attempts) {
    return failure{!fastest ? fastest.reason() : attempts.reason()};
  }
  record.fastest = *fastest;
  record.attempts = attempts->value_or(0);
  if (!fields.empty()) {
    return failure{"an unknown field " + fields.begin()->first};
  }
  if (record == level_record{}) {
    return failure{"not a level's text form and its fields"};
  }
  return record;
}

// A move as the file writes it: the block's letter in the key, a sign and the cells.
std::string move_word(play_move move) {
  return std::string(1, block_letter(move.block)) + (move.distance < 0 ? "-" : "+") +
         std::to_string(std::abs(move.distance));
}

// The moves of "a+1,b-2", or "-" for none, on a board of `blockers` blockers.
result<std::vector<play_move>> read_moves(std::string_view text, int blockers) {
  std::vector<play_move> moves;
  if (text == "-") {
    return moves;
  }
  for (std::size_t at = 0; at <= text.size();) {
    const std::string_view word = text.substr(at, text.find(',', at) - at);
    at += word.size() + 1;
    const int block = word.empty()                                 ? no_block
                      : word[0] == 'P'                             ? prisoner_number
                      : word[0] >= 'a' && word[0] < 'a' + blockers ? blocker_number(word[0] - 'a')
                                                                   : no_block;
    const std::optional<int> cells = word.size() > 2 ? count_in(word.substr(2)) : std::nullopt;
    if (block == no_block || (word[1] != '+' && word[1] != '-') || !cells || *cells == 0 ||
        *cells >= board_size) {
      return failure{"no move where one belongs"};
    }
    moves.push_back({block, word[1] == '-' ? -*cells : *cells});
  }
  return moves;
}

// The number of blockers a key letters.
int blockers_in(std::string_view key) {
  const char last = *std::max_element(key.begin(), key.end());
  return last >= 'a' ? last - 'a' + 1 : 0;
}

// The unfinished attempt of the words "KEY unfinished MOVES tips T ... time S".
result<unfinished_attempt> read_attempt(const std::vector<std::string>& words) {
  if (words.size() < 3) {
    return failure{"an unfinished attempt without its moves"};
  }
  result<std::vector<play_move>> moves = read_moves(words[2], blockers_in(words[0]));
  result<line_fields> fields = fields_of(words, 3);
  if (!moves || !fields) {
    return failure{!moves ? moves.reason() : fields.reason()};
  }
  unfinished_attempt attempt{std::move(*moves), 0, 0, 0, 0};
  int* const counts[] = {&attempt.tips, &attempt.solutions, &attempt.peeks};
  const result<bool> help = take_counts(*fields, help_names, counts);
  const result<std::optional<int>> time = take_count(*fields, "time");
  if (!help || !time) {
    return failure{!help ? help.reason() : time.reason()};
  }
  if (!*help || !*time) {
    return failure{"an unfinished attempt without its help and time"};
  }
  if (!fields->empty()) {
    return failure{"an unknown field " + fields->begin()->first};
  }
  attempt.seconds = **time;
  return attempt;
}

// One line of the progress file: a level's key and its record, which holds
// either what a level line gives or an unfinished attempt.
result<std::pair<std::string, level_record>> read_line(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) {
    words.push_back(word);
  }
  if (words.size() < 2 || !is_key(words[0])) {
    return failure{"not a level's text form and its fields"};
  }
  if (words[1] == "unfinished") {
    const result<unfinished_attempt> attempt = read_attempt(words);
    if (!attempt) {
      return failure{attempt.reason()};
    }
    level_record record;
    record.unfinished = *attempt;
    return std::pair{words[0], record};
  }
  const result<line_fields> fields = fields_of(words, 1);
  const result<level_record> read = fields ? read_record(*fields) : failure{fields.reason()};
  if (!read) {
    return failure{read.reason()};
  }
  return std::pair{words[0], *read};
}

// Adds a line's record to what the lines before gave for its level, or says
// that the line gives again what one before gave.
result<> add_line(level_record& record, level_record line) {
  if (line.unfinished ? record.unfinished.has_value()
                      : record.best || record.fastest || record.attempts != 0) {
    return failure{line.unfinished ? "a level's unfinished attempt given twice"
                                   : "a level given twice"};
  }
  if (line.unfinished) {
    record.unfinished = std::move(line.unfinished);
  } else {
    line.unfinished = std::move(record.unfinished);
    record = std::move(line);
  }
  return {};
}

}  // namespace

std::string progress_text(const progress& kept) {
  std::string text = std::string(version_line) + '\n';
  for (const auto& [key, record] : kept) {
    std::string fields;
    if (const std::optional<level_best>& best = record.best) {
      fields += " moves " + std::to_string(best->moves) + " stars " + std::to_string(best->stars) +
                " tips " + std::to_string(best->tips) + " solutions " +
                std::to_string(best->solutions) + " peeks " + std::to_string(best->peeks) +
                " date " + best->date;
    }
    if (record.fastest) {
      fields += " fastest " + std::to_string(*record.fastest);
    }
    if (record.attempts != 0) {
      fields += " attempts " + std::to_string(record.attempts);
    }
    if (!fields.empty()) {
      text += key + fields + '\n';
    }
    if (const std::optional<unfinished_attempt>& attempt = record.unfinished) {
      std::string moves;
      for (const play_move move : attempt->moves) {
        moves.append(moves.empty() ? "" : ",").append(move_word(move));
      }
      text += key + " unfinished " + (moves.empty() ? "-" : moves) + " tips " +
              std::to_string(attempt->tips) + " solutions " + std::to_string(attempt->solutions) +
              " peeks " + std::to_string(attempt->peeks) + " time " +
              std::to_string(attempt->seconds) + '\n';
    }
  }
  return text;
}

result<progress_read> read_progress_text(std::string_view text) {
  if (text.starts_with(byte_order_mark)) {
    text.remove_prefix(byte_order_mark.size());
  }
  progress_read read;
  const auto refuse = [&](std::size_t number, const std::string& why) {
    ++read.lost;
    if (read.first_fault.empty()) {
      read.first_fault = "line " + std::to_string(number) + ": " + why;
    }
  };
  std::size_t number = 0;
  for (std::size_t at = 0; at < text.size(); at = std::min(text.size(), text.find('\n', at)) + 1) {
    std::string line(text.substr(at, text.find('\n', at) - at));
    if (line.ends_with('\r')) {
      line.pop_back();
    }
    if (++number == 1 && line.starts_with(version_prefix)) {
      if (const std::optional<int> version = count_in(line.substr(version_prefix.size()));
          version && *version > this_version) {
        return failure{"was written by a newer version of the game (\"" + printable(line) + "\")"};
      }
    }
    if (number == 1 && line != version_line && line != first_version_line) {
      refuse(number, "not \"" + std::string(version_line) + "\"");
    }
    if (number == 1 || line.find_first_not_of(' ') == std::string::npos || line.starts_with('#')) {
      continue;
    }
    auto level = read_line(line);
    const result<> added = level ? add_line(read.kept[level->first], std::move(level->second))
                                 : result<>(failure{level.reason()});
    if (!added) {
      refuse(number, added.reason());
    }
  }
  return read;
}
