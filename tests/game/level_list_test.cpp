#include "game/level_list.h"

#include <gtest/gtest.h>

#include "game/campaign.h"

namespace {

screen_key typed(char c) {
  return {key_code::character, c};
}

TEST(LevelListTest, KeysMoveThePickWithinTheCampaign) {
  const int last = campaign_size();
  list_choice choice;
  const auto after = [&](std::initializer_list<screen_key> keys, int page = 10) {
    for (const screen_key& key : keys) {
      EXPECT_TRUE(move_in_list(choice, key, page));
    }
    return choice.listed;
  };
  EXPECT_EQ(after({{key_code::up}}), 1);
  EXPECT_EQ(after({{key_code::down}, {key_code::down}}), 3);
  EXPECT_EQ(after({{key_code::page_down}}), 13);
  EXPECT_EQ(after({{key_code::page_up}, {key_code::page_up}}), 1);
  EXPECT_EQ(after({{key_code::end}}), last);
  EXPECT_EQ(after({{key_code::down}, {key_code::page_down}}), last);
  EXPECT_EQ(after({{key_code::home}}), 1);
  // A number typed picks its level as it is typed; one too large starts again.
  EXPECT_EQ(after({typed('4')}), 4);
  EXPECT_EQ(after({typed('8')}), 48);
  EXPECT_EQ(after({typed('9')}), 9);
  EXPECT_EQ(after({{key_code::backspace}}), 9);
  EXPECT_EQ(after({typed('6'), typed('0')}), last);
  EXPECT_EQ(after({typed('1')}), 1);
  EXPECT_EQ(after({typed('0')}), 10);
  EXPECT_EQ(after({{key_code::backspace}}), 1);
  EXPECT_EQ(after({{key_code::down}, typed('0')}), 2);  // no level 0: the digit is dropped
  EXPECT_EQ(choice.typed, "");
  EXPECT_EQ(after({typed('2'), {key_code::down}, typed('5')}), 5);
  // Other keys are not the list's.
  for (const screen_key key :
       {screen_key{key_code::enter}, typed('q'), screen_key{key_code::left}}) {
    EXPECT_FALSE(move_in_list(choice, key, 10));
  }
}

TEST(LevelListTest, EachTierHasAHeadingAndTheRowsInViewKeepThePickNearTheMiddle) {
  const std::vector<list_row> rows = list_rows({});
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(campaign_size()) + std::size(campaign_tiers));
  EXPECT_EQ(rows[0].text, "Beginner: 0 of 12 solved, 0 of 36 stars");
  EXPECT_EQ(rows[0].number, 0);
  EXPECT_EQ(rows[1].text, "  1       1     -");
  EXPECT_EQ(rows[1].number, 1);
  EXPECT_EQ(rows[13].text, "Intermediate: 0 of 12 solved, 0 of 36 stars");
  EXPECT_EQ(first_row_shown(rows, 1, 7), 0);
  EXPECT_EQ(first_row_shown(rows, 20, 7), 21 - 3);  // level 20 is row 21, two headings before
  EXPECT_EQ(first_row_shown(rows, campaign_size(), 7), static_cast<int>(rows.size()) - 7);
}

}  // namespace
