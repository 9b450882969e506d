#include "game/campaign.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "model/level_text.h"

namespace {

// Made by tools/make_campaign.cpp; see there how to make it again.
constexpr campaign_entry levels[] = {
#include "game/campaign_levels.inc"
};

}  // namespace

std::span<const campaign_entry> campaign_entries() {
  return levels;
}

int campaign_size() {
  return static_cast<int>(std::size(levels));
}

const campaign_tier* tier_for(int moves) {
  for (const campaign_tier& tier : campaign_tiers) {
    if (moves >= tier.least_moves && moves <= tier.most_moves) {
      return &tier;
    }
  }
  return nullptr;
}

offered_level campaign_level(int number) {
  const result<play_level> level = read_level_text(levels[number - 1].text);
  if (!level) {
    // The campaign's test reads every level; a level that fails here was built in broken.
    std::cerr << "escape_play: campaign level " << number << ": " << level.reason() << '\n';
    std::abort();
  }
  return {*level, campaign_title(number), std::nullopt, "--campaign " + std::to_string(number)};
}

int campaign_number_of(const std::string& key) {
  const auto found = std::find_if(std::begin(levels), std::end(levels),
                                  [&](const campaign_entry& entry) { return key == entry.text; });
  return found == std::end(levels) ? 0 : static_cast<int>(found - std::begin(levels)) + 1;
}

int first_unsolved(const progress& kept) {
  for (int number = 1; number <= campaign_size(); ++number) {
    const level_record* record = record_of(kept, number);
    if (record == nullptr || !record->best) {
      return number;
    }
  }
  return 1;
}

const level_record* record_of(const progress& kept, int number) {
  const auto found = kept.find(levels[number - 1].text);
  return found == kept.end() ? nullptr : &found->second;
}

campaign_totals totals_of(const progress& kept, int first, int last) {
  campaign_totals totals;
  for (int number = first; number <= last; ++number) {
    ++totals.levels;
    const level_record* record = record_of(kept, number);
    if (record != nullptr && record->best) {
      const level_best& best = *record->best;
      ++totals.solved;
      totals.aided += best.tips + best.solutions + best.peeks > 0 ? 1 : 0;
      totals.stars += best.stars;
    }
  }
  return totals;
}

std::string totals_line(const progress& kept) {
  const campaign_totals totals = totals_of(kept, 1, campaign_size());
  return "Solved " + std::to_string(totals.solved) + " of " + std::to_string(totals.levels) +
         " levels" + (totals.aided > 0 ? " (" + std::to_string(totals.aided) + " aided)" : "") +
         ", " + std::to_string(totals.stars) + " of " + std::to_string(3 * totals.levels) +
         " stars.";
}

std::string campaign_title(int number) {
  return "Level " + std::to_string(number) + " of " + std::to_string(campaign_size()) + ", " +
         levels[number - 1].tier + ".";
}
