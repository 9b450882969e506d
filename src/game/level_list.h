// The campaign's levels as the full screen lists them: the tiers with their
// headings, each level with the player's results, a total, and the keys that
// move the selection.
#pragma once

#include <string>
#include <vector>

#include "game/screen_keys.h"
#include "model/progress.h"

// The line above the levels that names their columns.
inline constexpr const char* list_header = " No  Fewest  Best  Stars         Time  Tries";

// One row of the list.
struct list_row {
  std::string text;
  int number = 0;  // the level it shows; 0 for a tier's heading
};

// Each tier's heading with its solved levels and their stars, then its
// levels: the number, the fewest moves and, from the progress, the best
// escape's moves and stars (marked when aided), the fastest time, the
// attempts, and an unfinished attempt.
std::vector<list_row> list_rows(const progress& known);

// Where the list's selection is, and the number being typed.
struct list_choice {
  int listed = 1;     // the level picked
  std::string typed;  // the digits typed so far
};

// Moves the selection for `key`: up and down one level, Page Up and Page Down
// `page` levels, Home and End to the first and the last, digits to the level
// of the number typed (a number too large starts again from the last digit),
// Backspace takes a digit back. False when the key does none of these.
bool move_in_list(list_choice& choice, const screen_key& key, int page);

// The first of `shown` rows to show so that the selected level's row is in
// view, with as many rows above it as below where the list allows.
int first_row_shown(const std::vector<list_row>& rows, int listed, int shown);
