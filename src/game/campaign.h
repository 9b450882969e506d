// The campaign: levels graded from one move to the board's most, in named
// tiers, built into the program.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/level.h"
#include "model/progress_store.h"

// A tier of the campaign: its name and the range of its levels' fewest moves.
struct campaign_tier {
  const char* name;
  int least_moves;
  int most_moves;
};

// The tiers, easiest first; a level's fewest moves say its tier.
inline constexpr campaign_tier campaign_tiers[] = {{"Beginner", 1, 10},
                                                   {"Intermediate", 11, 20},
                                                   {"Advanced", 21, 30},
                                                   {"Expert", 31, 40},
                                                   {"Grand master", 41, 50}};

// One level of the campaign as the data file gives it.
struct campaign_entry {
  const char* tier;    // its tier's name
  int moves;           // the fewest moves that free the prisoner
  std::uint64_t seed;  // the level maker's seed it was made from
  const char* text;    // its text form, blockers lettered in reading order
};

// Every level of the campaign, level 1 first.
std::span<const campaign_entry> campaign_entries();

// The number of levels in the campaign.
int campaign_size();

// The tier whose range holds `moves`; nullptr when none does.
const campaign_tier* tier_for(int moves);

// Campaign level `number` (1 to campaign_size()) with the line that names it
// and the arguments that play it again.
offered_level campaign_level(int number);

// The number of the campaign level whose progress key is `key`, or 0 when it is none.
int campaign_number_of(const std::string& key);

// The first level with no escape in `kept`, or 1 when every level has one.
int first_unsolved(const progress& kept);

// What `kept` holds of campaign level `number`; nullptr when nothing.
const level_record* record_of(const progress& kept, int number);

// How far a player has come on a run of campaign levels.
struct campaign_totals {
  int levels = 0;  // levels in the run
  int solved = 0;  // levels escaped from
  int aided = 0;   // levels whose best escape was aided
  int stars = 0;   // the stars of their best escapes
};

// The totals of campaign levels `first` to `last`.
campaign_totals totals_of(const progress& kept, int first, int last);

// The totals of every level, e.g. "Solved 2 of 60 levels (1 aided), 4 of 180 stars."
std::string totals_line(const progress& kept);

// The line that names campaign level `number`, e.g. "Level 12 of 60, Intermediate."
std::string campaign_title(int number);
