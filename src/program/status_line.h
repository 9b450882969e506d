// A line on a terminal that a long wait rewrites in place to show that it is
// working, taken away at its end.
#pragma once

#include <cstddef>
#include <iostream>
#include <string>

// One line written over itself on `out` (standard error on a terminal).
class status_line {
 public:
  explicit status_line(std::ostream& out) : out_(out) {}
  ~status_line() {
    clear();
  }
  status_line(const status_line&) = delete;
  status_line& operator=(const status_line&) = delete;

  // Shows `text` in place of the line before, covering what is left of a longer one.
  void show(const std::string& text);

  // Takes the line away, when one shows.
  void clear();

 private:
  std::ostream& out_;
  std::size_t width_ = 0;  // the longest text shown since the line was last cleared
};
