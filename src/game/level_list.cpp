#include "game/level_list.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "game/campaign.h"
#include "game/scoring.h"

namespace {

// "Beginner: 3 of 12 solved, 7 of 36 stars"
std::string heading(const campaign_tier& tier, const progress& known, int first, int last) {
  const campaign_totals totals = totals_of(known, first, last);
  return std::string(tier.name) + ": " + std::to_string(totals.solved) + " of " +
         std::to_string(totals.levels) + " solved, " + std::to_string(totals.stars) + " of " +
         std::to_string(3 * totals.levels) + " stars";
}

// A level's line under the columns of list_header, e.g.
// " 12      10    11  **  aided     1:05      3  unfinished".
std::string level_line(int number, const level_record* record) {
  const level_record none;
  const level_record& kept = record != nullptr ? *record : none;
  const std::optional<level_best>& best = kept.best;
  const bool aided = best && best->tips + best->solutions + best->peeks > 0;
  char line[96];
  std::snprintf(line, sizeof line, "%3d  %6d  %4s  %-3s %-5s  %7s  %5s  %s", number,
                campaign_entries()[static_cast<std::size_t>(number - 1)].moves,
                best ? std::to_string(best->moves).c_str() : "-",
                best ? std::string(static_cast<std::size_t>(best->stars), '*').c_str() : "",
                aided ? "aided" : "",
                kept.fastest ? clock_text(std::chrono::seconds(*kept.fastest)).c_str() : "",
                kept.attempts > 0 ? std::to_string(kept.attempts).c_str() : "",
                kept.unfinished ? "unfinished" : "");
  std::string text = line;
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

std::vector<list_row> list_rows(const progress& known) {
  std::vector<list_row> rows;
  int number = 1;
  for (const campaign_tier& tier : campaign_tiers) {
    int last = number - 1;
    while (last < campaign_size() &&
           std::string_view(campaign_entries()[static_cast<std::size_t>(last)].tier) == tier.name) {
      ++last;
    }
    if (last < number) {
      continue;
    }
    rows.push_back({heading(tier, known, number, last), 0});
    for (; number <= last; ++number) {
      rows.push_back({level_line(number, record_of(known, number)), number});
    }
  }
  return rows;
}

bool move_in_list(list_choice& choice, const screen_key& key, int page) {
  const int last = campaign_size();
  int& listed = choice.listed;
  switch (key.code) {
    case key_code::up:
    case key_code::down:
      listed += key.code == key_code::up ? -1 : 1;
      break;
    case key_code::page_up:
    case key_code::page_down:
      listed += key.code == key_code::page_up ? -page : page;
      break;
    case key_code::home:
    case key_code::end:
      listed = key.code == key_code::home ? 1 : last;
      break;
    case key_code::backspace:
      if (!choice.typed.empty()) {
        choice.typed.pop_back();
        listed = choice.typed.empty() ? listed : std::stoi(choice.typed);
      }
      listed = std::clamp(listed, 1, last);
      return true;
    case key_code::character:
      if (key.character < '0' || key.character > '9') {
        return false;
      }
      choice.typed += key.character;
      if (std::stoi(choice.typed) > last || choice.typed == "0") {
        choice.typed = key.character == '0' ? "" : std::string(1, key.character);
      }
      listed = choice.typed.empty() ? listed : std::stoi(choice.typed);
      return true;
    default:
      return false;
  }
  choice.typed.clear();
  listed = std::clamp(listed, 1, last);
  return true;
}

int first_row_shown(const std::vector<list_row>& rows, int listed, int shown) {
  const auto at = std::find_if(rows.begin(), rows.end(),
                               [&](const list_row& row) { return row.number == listed; });
  const int index = static_cast<int>(at - rows.begin());
  const int most = std::max(0, static_cast<int>(rows.size()) - shown);
  return std::clamp(index - (shown - 1) / 2, 0, most);
}
