// The level of the day: the same level for everyone on a date, easier early in
// the week, harder at the weekend, and no puzzle twice in a year: each day
// takes its level from a list built into the program (made by the level
// maker, none of them a campaign puzzle), in an order the year gives.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/level.h"

// The date a text YYYY-MM-DD names, or nothing when it names no day of the calendar.
std::optional<std::chrono::year_month_day> read_date(std::string_view text);

// The date as YYYY-MM-DD.
std::string date_text(std::chrono::year_month_day date);

// The date in UTC at `when`.
std::chrono::year_month_day utc_date(std::chrono::system_clock::time_point when);

// The fewest moves of the levels of the day on `weekday` (0 Monday to 6
// Sunday): 10 on Mondays, 5 more each day, 40 on Sundays.
int daily_moves_of_weekday(int weekday);

// The fewest moves of the day's level.
int daily_moves(std::chrono::year_month_day date);

// One level of the day as the data file gives it.
struct daily_entry {
  int moves;           // the fewest moves that free the prisoner
  std::uint64_t seed;  // the level maker's seed of its lean level
  const char* text;    // its text form
};

// Every level the days take theirs from; at least 53 of each day's count.
std::span<const daily_entry> daily_entries();

// The entry of the day's level. The n-th Monday of a year (n from 0) takes
// the entry of Mondays' count at place n of an order of them that the year
// draws, and so on: no entry twice in a year.
const daily_entry& daily_entry_of(std::chrono::year_month_day date);

// The level of the day, with the line that names it.
offered_level daily_level(std::chrono::year_month_day date);
