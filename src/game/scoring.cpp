#include "game/scoring.h"

#include "game/move_rules.h"

namespace {

// "2 tips and 1 solution", or "" when no help was taken.
std::string help_words(const level_best& escape) {
  std::vector<std::string> parts;
  if (escape.tips > 0) {
    parts.push_back(counted(static_cast<std::size_t>(escape.tips), "tip"));
  }
  if (escape.solutions > 0) {
    parts.push_back(counted(static_cast<std::size_t>(escape.solutions), "solution"));
  }
  if (escape.peeks > 0) {
    parts.push_back(counted(static_cast<std::size_t>(escape.peeks), "look") +
                    " at the fewest from here");
  }
  std::string words;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    words += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  }
  return words;
}

std::string stars_of(int stars) {
  return std::string(static_cast<std::size_t>(stars), '*') + " (" + std::to_string(stars) +
         " of 3)";
}

// "5 moves, 2 stars"
std::string best_words(const level_best& best) {
  return counted(static_cast<std::size_t>(best.moves), "move") + ", " +
         counted(static_cast<std::size_t>(best.stars), "star");
}

// The escape's time against the fastest unaided one before.
std::string time_words(std::chrono::milliseconds time, bool aided, const kept_result& kept) {
  const std::string shown = "Time: " + clock_text(time);
  const auto fastest = [](int seconds) { return clock_text(std::chrono::seconds(seconds)); };
  if (aided) {
    return shown + " (only an escape without help sets the fastest time).";
  }
  if (!kept.fastest_before) {
    return shown + ".";
  }
  if (kept.new_fastest) {
    return shown + ", a new fastest on this level! Before: " + fastest(*kept.fastest_before) + ".";
  }
  return shown + ". Your fastest on this level: " + fastest(*kept.fastest_before) + ".";
}

}  // namespace

std::string clock_text(std::chrono::milliseconds time) {
  const long long seconds = std::chrono::floor<std::chrono::seconds>(time).count();
  const auto two_digits = [](long long n) {
    return std::string(n < 10 ? "0" : "").append(std::to_string(n));
  };
  const std::string minutes_seconds =
      two_digits(seconds / 60 % 60) + ":" + two_digits(seconds % 60);
  if (seconds >= 3600) {
    return std::to_string(seconds / 3600) + ":" + minutes_seconds;
  }
  return std::to_string(seconds / 60) + ":" + two_digits(seconds % 60);
}

bool was_aided(const help_taken& help) {
  return help.tips + help.solutions + help.peeks > 0;
}

int stars_for(std::size_t moves, std::size_t fewest, const help_taken& help) {
  if (was_aided(help)) {
    return 1;
  }
  if (moves <= fewest) {
    return 3;
  }
  return 2 * moves <= 3 * fewest ? 2 : 1;
}

level_best scored_escape(std::size_t moves, std::size_t fewest, const help_taken& help) {
  return {static_cast<int>(moves),
          stars_for(moves, fewest, help),
          help.tips,
          help.solutions,
          help.peeks,
          {}};
}

std::string escape_text(std::size_t moves, std::size_t fewest, const help_taken& help) {
  std::string text = "The prisoner is free! Moves used: " + std::to_string(moves) +
                     ", fewest possible: " + std::to_string(fewest) + ".";
  if (moves == fewest && !was_aided(help)) {
    text += " A perfect escape.";
  }
  return text;
}

std::vector<std::string> result_lines(const level_best& escape, std::size_t fewest,
                                      const kept_result& kept, std::chrono::milliseconds time) {
  const help_taken help{escape.tips, escape.solutions, escape.peeks};
  std::vector<std::string> lines{escape_text(static_cast<std::size_t>(escape.moves), fewest, help)};
  const std::string aided = help_words(escape);
  lines.push_back("Stars: " + stars_of(escape.stars) +
                  (aided.empty() ? "." : ", at most one when aided: " + aided + "."));
  lines.push_back(time_words(time, was_aided(help), kept));
  if (!kept.new_best) {
    lines.push_back("Your best on this level: " + best_words(*kept.before) + ".");
  } else if (kept.before) {
    lines.push_back("A new best on this level! Before: " + best_words(*kept.before) + ".");
  } else {
    lines.push_back("A new best on this level: your first escape from it.");
  }
  if (kept.note) {
    lines.push_back(*kept.note);
  }
  return lines;
}
