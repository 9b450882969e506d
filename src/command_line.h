// What the programs' command lines share: whole numbers read strictly.
#pragma once

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

// The whole of `text` as a number of type `number`, or nothing when it is not
// one (a sign, a space or anything after the digits makes it none).
template <class number>
std::optional<number> whole_number(std::string_view text) {
  number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}
