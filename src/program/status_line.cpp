#include "program/status_line.h"

#include <algorithm>

void status_line::show(const std::string& text) {
  out_ << '\r' << text << std::string(width_ - std::min(width_, text.size()), ' ') << std::flush;
  width_ = std::max(width_, text.size());
}

void status_line::clear() {
  if (width_ > 0) {
    out_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
    width_ = 0;
  }
}
