#include "screen_layout.h"

#include <gtest/gtest.h>

#include "level_search.h"
#include "level_text.h"

namespace {

screen_key typed(char c) {
  return {key_code::character, c};
}

// Where `text` first shows on the screen.
std::pair<int, int> find_on_screen(const screen_picture& picture, std::string_view text) {
  for (std::size_t row = 0; row < picture.text.size(); ++row) {
    if (const std::size_t at = picture.text[row].find(text); at != std::string::npos) {
      return {static_cast<int>(row), static_cast<int>(at)};
    }
  }
  return {-1, -1};
}

screen_look look_at(const screen_picture& picture, std::pair<int, int> at) {
  return picture.looks.at(static_cast<std::size_t>(at.first))
      .at(static_cast<std::size_t>(at.second));
}

// The lines with text, without the spaces that centre them.
std::vector<std::string> trimmed_lines(const screen_picture& picture) {
  std::vector<std::string> lines;
  for (const std::string& line : picture.text) {
    if (const std::size_t first = line.find_first_not_of(' '); first != std::string::npos) {
      lines.push_back(line.substr(first));
    }
  }
  return lines;
}

// The board's frame: its top row, left column, and size in rows and columns.
struct frame_place {
  int top = -1;
  int left = -1;
  int rows = 0;
  int columns = 0;
};

frame_place frame_of(const screen_picture& picture) {
  frame_place frame;
  std::tie(frame.top, frame.left) = find_on_screen(picture, "+");
  const std::string& top = picture.text.at(static_cast<std::size_t>(frame.top));
  frame.columns =
      static_cast<int>(top.find('+', static_cast<std::size_t>(frame.left) + 1)) - frame.left + 1;
  while (picture.text.at(static_cast<std::size_t>(frame.top + frame.rows))
                 .substr(static_cast<std::size_t>(frame.left), 1) != "+" ||
         frame.rows == 0) {
    ++frame.rows;
  }
  ++frame.rows;
  return frame;
}

TEST(ScreenLayoutTest, TheSmallestScreenShowsTheBoardAndEveryLineBesideIt) {
  screen_game game = start_screen(two_move_level(), 11, 60, {}, {}, 4);
  const screen_picture picture = lay_out(game);
  const std::vector<std::string> smallest = {
      "",
      "+------------+       Moves made: 0. Fewest: 2 from the",
      "|ddddd . . . |       start, 2 from here.",
      "|. . . a . . |       Picked: P (left/right).",
      "|. . . a . c |       Level:",
      "|. PPP a . c   exit  ddd......a.....a.c.PPa.c..........bb",
      "|. . . . . . |       (seed 4)",
      "|. . . . bbb |",
      "+------------+       A new level of 2 moves: press y for the",
      "                     command that plays it again.",
      ""};
  EXPECT_EQ(picture.text, smallest);
  EXPECT_EQ(look_at(picture, find_on_screen(picture, "PPP")), (screen_look{look_kind::picked, 0}));
  EXPECT_EQ(look_at(picture, find_on_screen(picture, "a ")), (screen_look{look_kind::block, 1}));
  EXPECT_EQ(look_at(picture, find_on_screen(picture, "+")).kind, look_kind::frame);
  EXPECT_EQ(look_at(picture, find_on_screen(picture, "xit")).kind, look_kind::exit);

  // A level not made by the maker is played again from its text form alone.
  screen_game stored = start_screen(two_move_level(), 11, 60);
  press(stored, typed('y'));
  EXPECT_EQ(lay_out(stored).text[4], "Select one with the mouse to copy it.");

  // A smaller terminal gets one line; the keys are the game's (see its tests).
  for (const auto& [rows, columns] : {std::pair{10, 60}, {11, 59}}) {
    press(game, {key_code::resize, 0, rows, columns});
    EXPECT_EQ(lay_out(game).text.front(), "Terminal too small (needs 60x11).");
    EXPECT_EQ(lay_out(game).text.at(1), "");
  }
}

TEST(ScreenLayoutTest, CellsAreTheLargestThatFitAndTheBoardIsCentred) {
  screen_game game = start_screen(two_move_level(), 11, 60);
  // Terminal rows and columns, then the cell height and where the text goes.
  const struct {
    int rows, columns, height;
    bool text_below;
  } sizes[] = {{16, 80, 2, false},  {24, 80, 3, false}, {40, 120, 6, false},
               {48, 160, 7, false}, {50, 80, 6, true},  {20, 60, 2, true}};
  for (const auto& size : sizes) {
    press(game, {key_code::resize, 0, size.rows, size.columns});
    const screen_picture picture = lay_out(game);
    const frame_place frame = frame_of(picture);
    EXPECT_EQ(frame.rows, 6 * size.height + 2) << size.rows << "x" << size.columns;
    EXPECT_EQ(frame.columns, 12 * size.height + 2) << size.rows << "x" << size.columns;
    const std::size_t status_row =
        static_cast<std::size_t>(size.text_below ? frame.top + frame.rows : frame.top);
    EXPECT_NE(picture.text.at(status_row).find("Moves made: 0."), std::string::npos);
    if (!size.text_below) {
      // Centred with the text beside it: no more room above than below.
      EXPECT_LE(std::abs(size.rows - frame.rows - 2 * frame.top), 1);
    }
  }
  // Centred left and right, where the text is below.
  press(game, {key_code::resize, 0, 50, 100});
  const frame_place below = frame_of(lay_out(game));
  EXPECT_LE(std::abs(100 - (below.columns + 5) - 2 * below.left), 1);
}

TEST(ScreenLayoutTest, TheHelpShowsEveryKeyAtEverySize) {
  screen_game game = start_screen(two_move_level(), 11, 60);
  press(game, typed('?'));
  const std::vector<std::string> two_columns = {
      "Free the prisoner P: clear its row to the exit.",
      "",
      "a-m, p  pick a block           t       tip: the next move",
      "Tab     the next block         s       solve (a key stops)",
      "S-Tab   the block before       n       a new level",
      "arrows  slide the picked one   y       command to play it",
      "click   pick a block           ?       this help",
      "u       undo a move            q, Esc  quit",
      "r       restart",
      "",
      "Any key goes back to the board."};
  EXPECT_EQ(lay_out(game).text, two_columns);
  press(game, {key_code::resize, 0, 17, 66});
  const std::vector<std::string> one_column = trimmed_lines(lay_out(game));
  EXPECT_EQ(one_column.size(), 15u);
  EXPECT_EQ(one_column.back(), "Press any key to go back to the board.");
  // Every size shows one of the two whole, never cut.
  for (int rows = 11; rows <= 40; ++rows) {
    for (const int columns : {60, 65, 66, 80, 130}) {
      press(game, {key_code::resize, 0, rows, columns});
      const std::vector<std::string> shown = trimmed_lines(lay_out(game));
      const bool one = rows >= 17 && columns >= 66;
      EXPECT_EQ(shown, one ? one_column : trimmed_lines({two_columns, {}}))
          << rows << "x" << columns;
    }
  }
}

TEST(ScreenLayoutTest, TheWaitTheTipAndTheCommandsThatPlayTheLevelAgain) {
  screen_game game = start_screen(two_move_level(), 24, 80, {}, {}, 4);
  press(game, typed('t'));
  const screen_picture tip = lay_out(game);
  EXPECT_EQ(look_at(tip, find_on_screen(tip, "^")), (screen_look{look_kind::tip, 1}));
  EXPECT_EQ(look_at(tip, find_on_screen(tip, "aaa")), (screen_look{look_kind::tip, 1}));
  EXPECT_EQ(tip.text[4], "|ddddddddddddddddd ^^^^^   .     .   |      Picked: a (up/down).");

  game.new_level = [](int, const std::atomic<bool>&) { return std::optional<offered_level>(); };
  press(game, typed('n'));
  wait_for_level(game, 3);
  EXPECT_EQ(lay_out(game).text[9].substr(44), "Making a level of 2 moves... 3 s.");
  press(game, typed('x'));

  press(game, typed('y'));
  const std::vector<std::string> commands = {"This command plays the level again:",
                                             "",
                                             "escape_play --level " + level_text(two_move_level()),
                                             "",
                                             "and this one makes it again with the level maker:",
                                             "",
                                             "escape_play --new --moves 2 --seed 4",
                                             "",
                                             "Select one with the mouse to copy it.",
                                             "Any key goes back to the board."};
  std::vector<std::string> shown = lay_out(game).text;
  shown.resize(commands.size());
  EXPECT_EQ(shown, commands);
}

TEST(ScreenLayoutTest, AClickNamesTheBoardCellUnderIt) {
  const screen_game game = start_screen(two_move_level(), 24, 80);
  const auto [row, column] = find_on_screen(lay_out(game), "ccc");  // its top left character
  EXPECT_EQ(board_cell_at(game, row, column), (cell{5, 2}));
  EXPECT_EQ(board_cell_at(game, row + 5, column + 5), (cell{5, 3}));
  EXPECT_EQ(board_cell_at(game, row, column - 1), (cell{4, 2}));
  EXPECT_EQ(board_cell_at(game, row, column + 6), std::nullopt);  // the frame
  EXPECT_EQ(board_cell_at(game, 0, 1), std::nullopt);
}

}  // namespace
