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

int main(int argc, char** argv) {
  play_setting setting;
  setting.colour = wants_colour(is_terminal(1), std::getenv("NO_COLOR"));
  setting.error_is_terminal = is_terminal(2);
  if (const auto place = progress_directory(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"))) {
    setting.progress_directory = *place;
  } else {
    setting.progress_not_kept = place.reason();
  }
  if (full_screen_available()) {
    setting.full_screen = [](const offered_level& offered, session_setup setup) {
      return play_full_screen(offered,
                              {wants_colour(true, std::getenv("NO_COLOR")), std::move(setup)});
    };
  }
  return run_play_command(std::vector<std::string>(argv + 1, argv + argc), std::cin, std::cout,
                          std::cerr, setting);
}
