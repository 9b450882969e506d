#include "game/screen_state.h"

#include <utility>

#include "game/campaign.h"

void set_note(screen_game& game, note_kind kind, std::string text) {
  game.note_is = kind;
  game.note = std::move(text);
}

void say_kept(screen_game& game, const std::optional<std::string>& note) {
  if (note) {
    set_note(game, note_kind::fault, *note);
  }
}

const progress& known_progress(const screen_game& game) {
  static const progress none;
  return game.session.setup.progress ? game.session.setup.progress->known : none;
}

void after_board_change(screen_game& game) {
  if (is_escaped(game.session)) {
    game.playing.clear();
    game.grabbed.reset();
    game.stage = screen_stage::escaping;
    game.escaped_cells = 0;
    set_note(game, note_kind::won, "The prisoner is free!");
  }
}

void open_level_list(screen_game& game) {
  game.left_for_list = game.stage;
  game.stage = screen_stage::level_list;
  const int number = campaign_number_of(progress_key(game.session.offered.level));
  game.list = {number > 0 ? number : first_unsolved(known_progress(game)), {}};
}

bool board_in_view(const screen_game& game) {
  return game.stage == screen_stage::playing && !game.showing_help && !game.showing_command &&
         game.rows >= least_screen_rows && game.columns >= least_screen_columns;
}
