#include "game/daily_level.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <numeric>
#include <vector>

#include "model/level_text.h"
#include "search/random_source.h"

namespace {

// The whole of `text` as digits, or nothing.
std::optional<int> digits_of(std::string_view text) {
  int value = 0;
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// The days of the week, Monday first.
constexpr const char* day_names[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                     "Friday", "Saturday", "Sunday"};

// The day of the week, from 0 on Mondays to 6 on Sundays.
int weekday_of(std::chrono::year_month_day date) {
  return static_cast<int>(std::chrono::weekday(std::chrono::sys_days(date)).iso_encoding()) - 1;
}

// Made by tools/make_campaign.cpp; see there how to make it again.
constexpr daily_entry entries[] = {
#include "game/daily_levels.inc"
};

}  // namespace

std::optional<std::chrono::year_month_day> read_date(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
    return std::nullopt;
  }
  const std::optional<int> year = digits_of(text.substr(0, 4));
  const std::optional<int> month = digits_of(text.substr(5, 2));
  const std::optional<int> day = digits_of(text.substr(8, 2));
  if (!year || !month || !day) {
    return std::nullopt;
  }
  const std::chrono::year_month_day date{std::chrono::year(*year),
                                         std::chrono::month(static_cast<unsigned>(*month)),
                                         std::chrono::day(static_cast<unsigned>(*day))};
  return date.ok() ? std::optional(date) : std::nullopt;
}

std::string date_text(std::chrono::year_month_day date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

std::chrono::year_month_day utc_date(std::chrono::system_clock::time_point when) {
  return std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(when));
}

int daily_moves_of_weekday(int weekday) {
  return 10 + 5 * weekday;
}

int daily_moves(std::chrono::year_month_day date) {
  return daily_moves_of_weekday(weekday_of(date));
}

std::span<const daily_entry> daily_entries() {
  return entries;
}

const daily_entry& daily_entry_of(std::chrono::year_month_day date) {
  const int moves = daily_moves(date);
  std::vector<std::size_t> order;  // the entries of the day's count
  for (std::size_t i = 0; i < std::size(entries); ++i) {
    if (entries[i].moves == moves) {
      order.push_back(i);
    }
  }
  // The year shuffles them; the n-th such weekday of the year takes place n.
  random_source random(static_cast<std::uint64_t>(static_cast<int>(date.year())));
  for (std::size_t i = order.size(); i > 1; --i) {
    std::swap(order[i - 1], order[static_cast<std::size_t>(random.below(static_cast<int>(i)))]);
  }
  const std::chrono::days into_year =
      std::chrono::sys_days(date) - std::chrono::sys_days(date.year() / 1 / 1);
  return entries[order[static_cast<std::size_t>(into_year.count() / 7) % order.size()]];
}

offered_level daily_level(std::chrono::year_month_day date) {
  const daily_entry& entry = daily_entry_of(date);
  const result<play_level> level = read_level_text(entry.text);
  if (!level) {
    // The test reads every level of the day; one that fails here was built in broken.
    std::cerr << "escape_play: level of the day " << entry.text << ": " << level.reason() << '\n';
    std::abort();
  }
  return offered_level{*level, "The level of " + date_text(date) + ", a " +
                                   day_names[weekday_of(date)] + ": " + std::to_string(entry.moves) +
                                   " moves at best."};
}
