#include "game/screen_layout.h"

#include <gtest/gtest.h>

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
      "+------------+       Moves made: 0. Fewest: 2 from the",
      "|ddddd . . . |       start.",
      "|. . . a . . |       Picked: P (left/right).",
      "|. . . a . c |       Level:",
      "|. PPP a . c   exit  ddd......a.....a.c.PPa.c..........bb",
      "|. . . . . . |       (seed 4)",
      "|. . . . bbb |",
      "+------------+       A new level of 2 moves: press y for the",
      "                     command that plays it again.",
      ""};
  EXPECT_EQ(picture.text, smallest);
  EXPECT_EQ(picture.looks[5][3], (screen_look{look_kind::picked, 0}));
  EXPECT_EQ(picture.looks[3][7], (screen_look{look_kind::block, 1}));
  EXPECT_EQ(picture.looks[1][0].kind, look_kind::frame);
  EXPECT_EQ(picture.looks[5][16].kind, look_kind::exit);

  // A level not made by the maker is played again from its text form alone.
  screen_game stored = start_screen({two_move_level(), {}}, 11, 60);
  press(stored, typed('y'));
  EXPECT_EQ(lay_out(stored).text[4], "Select one with the mouse to copy it.");

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
    EXPECT_NE(picture.text.at(status).find("Moves made: 0."), std::string::npos)
        << size.rows << "x" << size.columns;
  }
  // Where the text is below, the board is also centred left and right.
  EXPECT_EQ(find_on_screen(lay_out(game), "+-").second, 0u);
  press(game, {key_code::resize, 0, 50, 100});
  EXPECT_EQ(find_on_screen(lay_out(game), "+-").second, 4u);  // a board 91 wide with its exit
}

TEST(ScreenLayoutTest, TheHelpShowsEveryKeyAtEverySize) {
  screen_game game = start_screen({two_move_level(), {}}, 11, 60);
  press(game, typed('?'));
  const std::vector<std::string> two_columns = {
      "Free the prisoner P: clear its row to the exit.",
      "",
      "a-m, p  pick a block           t       tip: the next move",
      "Tab     next (S-Tab: back)     s       solve (a key stops)",
      "arrows  slide the picked one   n       a new level",
      "click   pick a block           y       command to play it",
      "u       undo a move            l, L    the level list",
      "r       restart                ?       this help",
      "#       fewest from here       q, Esc  quit",
      "",
      "Any key goes back to the board."};
  EXPECT_EQ(lay_out(game).text, two_columns);
  press(game, {key_code::resize, 0, 19, 66});
  const std::vector<std::string> one_column = trimmed_lines(lay_out(game).text);
  EXPECT_EQ(one_column.size(), 17u);
  EXPECT_EQ(one_column.back(), "Press any key to go back to the board.");
  // Every size shows one of the two whole, never cut.
  for (int rows = 11; rows <= 40; ++rows) {
    for (const int columns : {60, 65, 66, 130}) {
      press(game, {key_code::resize, 0, rows, columns});
      EXPECT_EQ(trimmed_lines(lay_out(game).text),
                rows >= 19 && columns >= 66 ? one_column : trimmed_lines(two_columns))
          << rows << "x" << columns;
    }
  }
}

TEST(ScreenLayoutTest, TheTipTheWaitTheCommandsAndClicks) {
  screen_game game = start_screen({two_move_level(), {}, 4}, 24, 80);
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
  press(game, typed('x'));
  press(game, typed('y'));
  // The commands on lines of their own from the left edge.
  const std::vector<std::string> commands = lay_out(game).text;
  EXPECT_EQ(commands[2], "escape_play --level " + level_text(two_move_level()));
  EXPECT_EQ(commands[6], "escape_play --new --moves 2 --seed 4");
}

}  // namespace
