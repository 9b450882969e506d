#include "game/daily_level.h"

#include <charconv>

#include "search/level_maker.h"

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

int daily_moves(std::chrono::year_month_day date) {
  return 10 + 5 * weekday_of(date);
}

std::uint64_t daily_seed(std::chrono::year_month_day date) {
  return static_cast<std::uint64_t>(static_cast<int>(date.year())) * 10000 +
         static_cast<unsigned>(date.month()) * 100 + static_cast<unsigned>(date.day());
}

std::optional<offered_level> daily_level(std::chrono::year_month_day date) {
  const int moves = daily_moves(date);
  const std::optional<made_level> made =
      make_level(moves, daily_seed(date), maker_limits{}, {}, true);
  if (!made) {
    return std::nullopt;
  }
  return offered_level{made->level, "The level of " + date_text(date) + ", a " +
                                        day_names[weekday_of(date)] + ": " + std::to_string(moves) +
                                        " moves at best."};
}
