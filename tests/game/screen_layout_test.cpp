#include "game/screen_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "game/campaign.h"
#include "model/level_text.h"
#include "support/level_search.h"

namespace {

screen_key typed(char c) {
  return {key_code::character, c};
}

// Where `text` first shows on the screen: its row and column.
std::pair<std::size_t, std::size_t> find_on_screen(const screen_picture& picture,
                                                   std::string_view text) {
  for (std::size_t row = 0; row < picture.text.size(); ++row) {
    if (const std::size_t at = picture.text[row].find(text); at != std::string::npos) {
      return {row, at};
    }
  }
  return {std::string::npos, std::string::npos};
}

// The lines with text, without the spaces that centre them.
std::vector<std::string> trimmed_lines(const std::vector<std::string>& text) {
  std::vector<std::string> lines;
  for (const std::string& line : text) {
    if (const std::size_t first = line.find_first_not_of(' '); first != std::string::npos) {
      lines.push_back(line.substr(first));
    }
  }
  return lines;
}

TEST(ScreenLayoutTest, TheSmallestScreenShowsTheBoardAndEveryLineBesideIt) {
  screen_game game = start_screen({two_move_level(), {}, 4}, 11, 60);
  const screen_picture picture = lay_out(game);
  const std::vector<std::string> smallest = {
      "",
      "   +------------+       Moves made: 0 in 0:00. Fewest: 2",
      "   |ddddd . . . |       from the start.",
      "   |. . . a . . |       Picked: P (left/right).",
      "   |. . . a . c |       Level:",
      "   |. PPP a . c   exit  ddd......a.....a.c.PPa.c..........bb",
      "   |. . . . . . |       (seed 4)",
      "   |. . . . bbb |",
      "   +------------+       A new level of 2 moves: press y for",
      "                        the command that plays it again.",
      ""};
  EXPECT_EQ(picture.text, smallest);
  EXPECT_EQ(picture.looks[5][6], (screen_look{look_kind::picked, 0}));
  EXPECT_EQ(picture.looks[3][10], (screen_look{look_kind::block, 1}));
  EXPECT_EQ(picture.looks[1][3].kind, look_kind::frame);
  EXPECT_EQ(picture.looks[5][19].kind, look_kind::exit);

  // The commands that play the level again, on lines of their own from the
  // left edge: its text form, and for a level offered so, the command that
  // offered it.
  press(game, typed('y'));
  EXPECT_EQ(lay_out(game).text,
            (std::vector<std::string>{"This command plays the level again:", "",
                                      "escape_play --level " + level_text(two_move_level()), "",
                                      "Select it with the mouse to copy it.",
                                      "Any key goes back to the board.", "", "", "", "", ""}));
  screen_game daily = start_screen(
      {two_move_level(), "The level of the day.", std::nullopt, "--daily 2024-06-03"}, 11, 60);
  press(daily, typed('y'));
  const std::vector<std::string> commands = lay_out(daily).text;
  EXPECT_EQ(commands[0], "These commands play the level again:");
  EXPECT_EQ(commands[2], "escape_play --daily 2024-06-03");
  EXPECT_EQ(commands[4], "escape_play --level " + level_text(two_move_level()));
  EXPECT_EQ(commands[6], "Select one with the mouse to copy it.");
  press(game, typed('x'));

  // A smaller terminal gets one line; the keys are the game's (see its tests).
  for (const auto& [rows, columns] : {std::pair{10, 60}, {11, 59}}) {
    press(game, {key_code::resize, 0, rows, columns});
    EXPECT_EQ(trimmed_lines(lay_out(game).text),
              std::vector<std::string>{"Terminal too small (needs 60x11)."});
  }
}

TEST(ScreenLayoutTest, CellsAreTheLargestThatFitAndTheBoardIsCentred) {
  screen_game game = start_screen({two_move_level(), {}}, 11, 60);
  // Terminal rows and columns, the cell height, the board's top row, and
  // whether the text is below the board (else beside it).
  const struct {
    int rows, columns, height;
    std::size_t top;
    bool below;
  } sizes[] = {{16, 80, 2, 1, false},  {24, 80, 3, 2, false}, {40, 120, 6, 1, false},
               {48, 160, 7, 2, false}, {50, 80, 6, 3, true},  {20, 60, 2, 0, true}};
  for (const auto& size : sizes) {
    press(game, {key_code::resize, 0, size.rows, size.columns});
    const screen_picture picture = lay_out(game);
    // Built by appending: GCC 12 warns falsely (restrict) on "+" + std::string(...).
    std::string frame = "+";
    frame.append(12 * static_cast<std::size_t>(size.height), '-').append("+");
    const auto [top, left] = find_on_screen(picture, frame);
    EXPECT_EQ(top, size.top) << size.rows << "x" << size.columns;
    const std::size_t status = size.below ? top + 6 * size.height + 2 : top;
    EXPECT_NE(picture.text.at(status).find("Moves made: 0 in"), std::string::npos)
        << size.rows << "x" << size.columns;
  }
  // The board is centred on its own where the text is below it, and as near
  // the centre as the text beside it leaves room for.
  const struct {
    int rows, columns;
    std::size_t left;
  } places[] = {{20, 60, (60 - 26) / 2},      {30, 70, (70 - 38) / 2},
                {50, 100, (100 - 86) / 2},    {11, 60, 60 - 19 - 2 - 36},
                {48, 160, 160 - 91 - 2 - 36}, {40, 200, (200 - 74) / 2}};
  for (const auto& place : places) {
    press(game, {key_code::resize, 0, place.rows, place.columns});
    EXPECT_EQ(find_on_screen(lay_out(game), "+-").second, place.left)
        << place.rows << "x" << place.columns;
  }
}

TEST(ScreenLayoutTest, TheHelpShowsEveryKeyAtEverySize) {
  screen_game game = start_screen({two_move_level(), {}}, 11, 60);
  press(game, typed('?'));
  const std::vector<std::string> two_columns = {
      "Free the prisoner P: clear its row to the exit.",
      "",
      "a-m, p  pick a block           t       tip (twice: its move)",
      "Tab     next (S-Tab: back)     s       solve (a key stops)",
      "arrows  slide the picked one   n       a new level",
      "mouse   pick, drag to slide    y       commands to play it",
      "u, U    undo, redo a move      l, L    the level list",
      "r       restart                ?       this help",
      "#       fewest from here       q       quit (moves kept)",
      "",
      "Any key goes back to the board."};
  EXPECT_EQ(lay_out(game).text, two_columns);
  press(game, {key_code::resize, 0, 21, 68});
  const std::vector<std::string> one_column = trimmed_lines(lay_out(game).text);
  EXPECT_EQ(one_column.size(), 19u);
  EXPECT_EQ(one_column.back(), "Press any key to go back to the board.");
  // It says what the scoring does.
  EXPECT_NE(std::find(one_column.begin(), one_column.end(),
                      "make one move, and a move back to where it started"),
            one_column.end());
  // Every size shows one of the two whole, never cut.
  for (int rows = 11; rows <= 40; ++rows) {
    for (const int columns : {60, 67, 68, 130}) {
      press(game, {key_code::resize, 0, rows, columns});
      EXPECT_EQ(trimmed_lines(lay_out(game).text),
                rows >= 21 && columns >= 68 ? one_column : trimmed_lines(two_columns))
          << rows << "x" << columns;
    }
  }
}

TEST(ScreenLayoutTest, TheTipTheWaitTheCommandsAndClicks) {
  screen_game game = start_screen({two_move_level(), {}, 4}, 24, 80);
  // The first tip marks the block, the second the cells it slides into.
  press(game, typed('t'));
  const screen_picture block = lay_out(game);
  EXPECT_EQ(block.text[4], "|ddddddddddddddddd   .     .     .   |      Picked: a (up/down).");
  EXPECT_EQ(block.looks[6][19], (screen_look{look_kind::tip, 1}));
  press(game, typed('t'));
  const screen_picture tip = lay_out(game);
  EXPECT_EQ(tip.text[4], "|ddddddddddddddddd ^^^^^   .     .   |      Picked: a (up/down).");
  EXPECT_EQ(tip.looks[4][19], (screen_look{look_kind::tip, 1}));  // the arrows
  EXPECT_EQ(tip.looks[6][19], (screen_look{look_kind::tip, 1}));  // the block
  // A click names the board cell under it: c's top left character, and off the board.
  const auto [row, column] = find_on_screen(tip, "ccc");
  const auto at = [&](std::size_t r, std::size_t k) {
    return board_cell_at(game, static_cast<int>(r), static_cast<int>(k));
  };
  EXPECT_EQ(at(row, column), (cell{5, 2}));
  EXPECT_EQ(at(row + 5, column - 1), (cell{4, 3}));
  EXPECT_EQ(at(row, column + 6), std::nullopt);  // the frame
  EXPECT_EQ(at(0, 1), std::nullopt);

  game.session.setup.new_level = [](int, const std::atomic<bool>&) {
    return std::optional<offered_level>();
  };
  press(game, typed('n'));
  wait_for_level(game, 3);
  EXPECT_EQ(lay_out(game).text[9].substr(44), "Making a level of 2 moves... 3 s.");
}

TEST(ScreenLayoutTest, ThePrisonerGoesOutACellAtATimeAndLeavesNoPieceOfTheExitsLabel) {
  for (const auto& [rows, columns] : {std::pair{11, 60}, {16, 80}, {24, 80}, {30, 70}, {48, 160}}) {
    screen_game game = start_screen(campaign_level(1), rows, columns);
    press(game, typed('s'));
    play_step(game);
    ASSERT_EQ(game.stage, screen_stage::escaping);
    for (int cell = 0; game.stage == screen_stage::escaping; ++cell) {
      const screen_picture picture = lay_out(game);
      for (const std::string& line : picture.text) {
        for (const char* piece : {"exit", "xit", "it"}) {
          EXPECT_EQ(line.find(piece), std::string::npos) << rows << "x" << columns << " " << line;
        }
      }
      play_step(game);
    }
  }
}

TEST(ScreenLayoutTest, TheResultIsCentred) {
  progress_store kept;
  screen_game game = start_screen(campaign_level(1), 24, 80, {&kept});
  press(game, typed('s'));
  play_step(game);
  press(game, typed('x'));
  ASSERT_EQ(game.stage, screen_stage::result);
  for (const auto& [rows, columns] : {std::pair{24, 80}, {11, 60}, {48, 160}}) {
    press(game, {key_code::resize, 0, rows, columns});
    const screen_picture picture = lay_out(game);
    const auto [top, left] = find_on_screen(picture, "The prisoner is free!");
    const auto [last, quit_left] = find_on_screen(picture, "q      quit");
    EXPECT_EQ(left, quit_left);
    std::size_t widest = 0;
    for (std::size_t row = top; row <= last; ++row) {
      widest = std::max(widest, std::max(picture.text[row].size(), left) - left);
    }
    EXPECT_EQ(left, (static_cast<std::size_t>(columns) - widest) / 2) << rows << "x" << columns;
    EXPECT_EQ(top, (static_cast<std::size_t>(rows) - (last - top + 1)) / 2)
        << rows << "x" << columns;
  }
}

TEST(ScreenLayoutTest, TheLevelListShowsTiersResultsAndTotalsWithThePickInView) {
  progress_store kept;
  kept.known[campaign_entries()[0].text] = level_best{1, 3, 0, 0, 0, "2024-06-01"};
  level_record aided(level_best{3, 1, 1, 0, 0, "2024-06-01"});
  aided.fastest = 75;
  aided.attempts = 3;
  kept.known[campaign_entries()[1].text] = aided;
  kept.known[campaign_entries()[2].text].attempts = 1;
  kept.known[campaign_entries()[2].text].unfinished = unfinished_attempt{};
  screen_game game = start_screen(campaign_level(1), 11, 60, {&kept});
  press(game, typed('l'));
  EXPECT_EQ(lay_out(game).text,
            (std::vector<std::string>{
                " Levels: Enter plays level 1, Escape goes back.",
                " Pick with the arrows, PgUp/PgDn, Home/End or a number.",
                "    No  Fewest  Best  Stars         Time  Tries",
                "   Beginner: 2 of 12 solved, 4 of 36 stars", " >   1       1     1  ***",
                "     2       2     3  *   aided     1:15      3",
                "     3       3     -                          1  unfinished",
                "     4       4     -", "     5       5     -", "     6       5     -",
                " Solved 2 of 60 levels (1 aided), 4 of 180 stars."}));
  EXPECT_EQ(lay_out(game).looks[4][1].kind, look_kind::picked);
  // Whatever level is picked, its line is on the screen, at every size.
  for (const auto& [rows, columns] : {std::pair{11, 60}, {24, 80}}) {
    press(game, {key_code::resize, 0, rows, columns});
    for (int number = 1; number <= campaign_size(); ++number) {
      game.list.listed = number;
      const screen_picture picture = lay_out(game);
      const auto [row, column] = find_on_screen(picture, "> ");
      ASSERT_NE(row, std::string::npos) << number;
      EXPECT_EQ(std::stoi(picture.text[row].substr(column + 2)), number);
      EXPECT_EQ(picture.text.back().find("Solved 2 of"), column) << number;
    }
  }
  // At the end of the list its last tier's heading is in view.
  press(game, {key_code::end});
  EXPECT_NE(find_on_screen(lay_out(game), "Grand master: 0 of 12 solved").first, std::string::npos);
}

}  // namespace
