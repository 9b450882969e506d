// The full-screen game without a terminal: the state of a game and what each
// key does to it.
#pragma once

#include <optional>
#include <string>

#include "game/screen_keys.h"
#include "game/screen_state.h"

// A game of `offered` on a terminal of `rows` by `columns`: from its start,
// or, when the progress keeps an unfinished attempt at it, from where that was
// left, offered to go on or start afresh. The message line says where the
// level comes from first, when it is said; a level the maker made says
// instead that `y` shows how to play it again.
screen_game start_screen(const offered_level& offered, int rows, int columns,
                         session_setup setup = {});

// Carries out one key or event; `leave` once the player quits. While a level
// is made for `n`, any key but a resize stops making it. Escape never quits.
screen_action press(screen_game& game, const screen_key& key);

// Tells the game that a level has been made for `n` for `seconds` so far.
void wait_for_level(screen_game& game, int seconds);

// Hands the game the level made for `n` (nothing: none was found in time); a
// made level is played from its start.
void level_made(screen_game& game, std::optional<offered_level> made);

// The time until the game takes its next step by itself (a move of the
// solution being played, or the prisoner's next cell on its way out), or -1
// when it waits for a key.
int step_wait_ms(const screen_game& game);

// Takes that step, if there is one; the driver calls it when step_wait_ms
// has passed and no key came.
void play_step(screen_game& game);

// Ends the game, however it ends: an escape on its way out is kept, and an
// unfinished attempt is kept to go on with later.
void leave_game(screen_game& game);

// The line left on the terminal after the game: how it ended.
std::string closing_line(const screen_game& game);
