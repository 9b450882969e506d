#include "program/terminal_keys.h"

namespace {

// The key a sequence's last byte names, as in ESC [ H or ESC O H.
key_code key_of_final(char final) {
  switch (final) {
    case 'A':
      return key_code::up;
    case 'B':
      return key_code::down;
    case 'C':
      return key_code::right;
    case 'D':
      return key_code::left;
    case 'H':
      return key_code::home;
    case 'F':
      return key_code::end;
    default:
      return key_code::other;
  }
}

// The key ESC [ N ~ names, N being the number before any modifier.
key_code key_of_number(std::string_view number) {
  if (number == "1" || number == "7") {
    return key_code::home;
  }
  if (number == "4" || number == "8") {
    return key_code::end;
  }
  if (number == "5") {
    return key_code::page_up;
  }
  if (number == "6") {
    return key_code::page_down;
  }
  return key_code::other;
}

}  // namespace

screen_key key_after_escape(std::string_view rest) {
  if (rest.empty()) {
    return {key_code::escape};
  }
  if (rest.size() == 2 && rest[0] == 'O') {
    return {key_of_final(rest[1])};
  }
  if (rest.size() < 2 || rest[0] != '[') {
    return {key_code::other};
  }
  // ESC [ parameters final: parameters are digits and semicolons.
  const std::string_view parameters = rest.substr(1, rest.size() - 2);
  if (parameters.find_first_not_of("0123456789;") != std::string_view::npos) {
    return {key_code::other};
  }
  const char final = rest.back();
  if (final == '~') {
    return {key_of_number(parameters.substr(0, parameters.find(';')))};
  }
  return {key_of_final(final)};
}
