#include "game/screen_canvas.h"

#include <sstream>
#include <utility>

canvas::canvas(int rows, int columns) : rows_(rows), columns_(columns) {
  picture_.text.assign(static_cast<std::size_t>(rows),
                       std::string(static_cast<std::size_t>(columns), ' '));
  picture_.looks.assign(static_cast<std::size_t>(rows),
                        std::vector<screen_look>(static_cast<std::size_t>(columns)));
}

void canvas::put(int row, int column, char c, screen_look look) {
  if (row >= 0 && row < rows_ && column >= 0 && column < columns_) {
    picture_.text[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = c;
    picture_.looks[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = look;
  }
}

void canvas::write(int row, int column, std::string_view text, screen_look look) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    put(row, column + static_cast<int>(i), text[i], look);
  }
}

void canvas::fill(int row, int column, int height, int width, char c, screen_look look) {
  for (int r = row; r < row + height; ++r) {
    for (int k = column; k < column + width; ++k) {
      put(r, k, c, look);
    }
  }
}

screen_picture canvas::finish() {
  for (std::size_t row = 0; row < picture_.text.size(); ++row) {
    std::string& text = picture_.text[row];
    text.erase(text.find_last_not_of(' ') + 1);
    picture_.looks[row].resize(text.size());
  }
  return std::move(picture_);
}

std::vector<std::string> wrapped(const std::string& text, int width) {
  std::vector<std::string> lines;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    if (!lines.empty() && static_cast<int>(lines.back().size() + 1 + word.size()) <= width) {
      lines.back() += ' ' + word;
    } else {
      lines.push_back(word);
    }
  }
  return lines;
}
