#include "game/fresh_levels.h"

#include <algorithm>
#include <random>
#include <string>

#include "game/campaign.h"
#include "game/game_session.h"

offered_level offer_made_level(const made_level& made) {
  const std::string moves = std::to_string(made.moves);
  const std::string seed = std::to_string(made.seed);
  const std::string again = "--new --moves " + moves + " --seed " + seed;
  return offered_level{made.level,
                       "A level of " + moves + " moves, seed " + seed + ": escape_play " + again +
                           " plays it again.",
                       made.seed, again};
}

fresh_levels::fresh_levels(const play_level& first) {
  played_.add(identity_of(first));
}

std::optional<offered_level> fresh_levels::make(int moves, const std::atomic<bool>* stop) {
  return make(moves, std::random_device{}(), stop);
}

std::optional<offered_level> fresh_levels::make(int moves, std::uint64_t seed,
                                                const std::atomic<bool>* stop) {
  const std::lock_guard lock(mutex_);
  if (!knows_campaign_) {
    // The campaign offers its own levels in their turn.
    for (int number = 1; number <= campaign_size(); ++number) {
      played_.add(identity_of(campaign_level(number).level));
    }
    knows_campaign_ = true;
  }
  maker_limits limits;
  limits.stop = stop;
  std::string note;
  int count = moves;
  if (!knows_other_puzzle(moves, played_)) {
    const std::optional<int> nearest = nearest_count_with_other(moves, played_);
    if (!nearest) {
      return std::nullopt;
    }
    count = *nearest;
    // No count between the one asked for and the nearest has one either.
    const int closest_without = count < moves ? count + 1 : count - 1;
    note = "The maker knows no other puzzle of " +
           (closest_without == moves ? std::to_string(moves)
                                     : std::to_string(std::min(moves, closest_without)) + " to " +
                                           std::to_string(std::max(moves, closest_without))) +
           " moves. ";
  }
  const std::optional<made_level> made = make_new_level(count, seed, played_, limits);
  if (!made) {
    return std::nullopt;
  }
  remember_made(played_, *made);
  offered_level offered = offer_made_level(*made);
  offered.about = note + offered.about;
  offered.notice = note;
  return offered;
}
