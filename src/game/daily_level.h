// The level of the day: the same level for everyone on a date, made by the
// level maker from a seed the date gives; easier early in the week, harder at
// the weekend.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/level.h"

// The date a text YYYY-MM-DD names, or nothing when it names no day of the calendar.
std::optional<std::chrono::year_month_day> read_date(std::string_view text);

// The date as YYYY-MM-DD.
std::string date_text(std::chrono::year_month_day date);

// The date in UTC at `when`.
std::chrono::year_month_day utc_date(std::chrono::system_clock::time_point when);

// The fewest moves of the day's level: 10 on Mondays, 5 more each day, 40 on Sundays.
int daily_moves(std::chrono::year_month_day date);

// The level maker's seed of the day's level: the date's digits as one number, YYYYMMDD.
std::uint64_t daily_seed(std::chrono::year_month_day date);

// The level of the day: the maker's lean level (every blocker matters) of the
// day's moves from the day's seed, with the line that names it; nothing when
// the maker found none within its limits.
std::optional<offered_level> daily_level(std::chrono::year_month_day date);
