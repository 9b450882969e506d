#include "program/terminal_keys.h"

#include <gtest/gtest.h>

TEST(TerminalKeysTest, EscapeAloneIsEscapeAndEveryOtherSequenceIsAKey) {
  const std::pair<const char*, key_code> sequences[] = {
      {"", key_code::escape},
      {"[H", key_code::home},
      {"OH", key_code::home},
      {"[1~", key_code::home},
      {"[7~", key_code::home},
      {"[1;5H", key_code::home},
      {"[F", key_code::end},
      {"OF", key_code::end},
      {"[4~", key_code::end},
      {"[8~", key_code::end},
      {"[5~", key_code::page_up},
      {"[6~", key_code::page_down},
      {"[6;2~", key_code::page_down},
      {"[A", key_code::up},
      {"OB", key_code::down},
      {"[1;3C", key_code::right},
      {"[D", key_code::left},
      // Alt and a key, and what the game does not know.
      {"a", key_code::other},
      {"[", key_code::other},
      {"[2~", key_code::other},
      {"[15~", key_code::other},
      {"[Z9", key_code::other},
      {"[<0;3;4M", key_code::other},
      {"O", key_code::other},
      {"OP", key_code::other},
      {"\x1b", key_code::other}};
  for (const auto& [rest, code] : sequences) {
    EXPECT_EQ(key_after_escape(rest).code, code) << rest;
  }
}
