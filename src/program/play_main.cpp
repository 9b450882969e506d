// The entry point of escape_play: plays a level on the whole terminal or one
// command a line.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "program/play_command.h"
#include "program/play_terminal.h"
#include "program/terminal.h"

namespace {

// Where the player's progress is kept: $XDG_STATE_HOME/escape-puzzle, or
// ~/.local/state/escape-puzzle when that is unset or no absolute path; none
// when HOME is unset too.
std::filesystem::path progress_directory() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && std::filesystem::path(state).is_absolute()) {
    return std::filesystem::path(state) / "escape-puzzle";
  }
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') {
    return std::filesystem::path(home) / ".local" / "state" / "escape-puzzle";
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  play_setting setting;
  setting.colour = wants_colour(is_terminal(1), std::getenv("NO_COLOR"));
  setting.error_is_terminal = is_terminal(2);
  setting.progress_directory = progress_directory();
  if (full_screen_available()) {
    setting.full_screen = [](const offered_level& offered, session_setup setup) {
      return play_full_screen(offered,
                              {wants_colour(true, std::getenv("NO_COLOR")), std::move(setup)});
    };
  }
  return run_play_command(std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout,
                          std::cerr, setting);
}
