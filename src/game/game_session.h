// One game of one level, however it is shown: the position, the moves made,
// the help taken, and what every way of playing does with them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/scoring.h"
#include "model/level.h"
#include "model/progress_store.h"
#include "model/result.h"
#include "search/fewest_moves.h"

// Makes a new level of `moves` moves; nothing when none was found in time or
// `stop` was set meanwhile (it may be set from another thread).
using level_source =
    std::function<std::optional<offered_level>(int moves, const std::atomic<bool>& stop)>;

// What a game keeps from one level to the next.
struct session_setup {
  progress_store* progress = nullptr;  // where escapes are kept; none: they are not
  level_source new_level = {};         // makes new levels; none when they are not available
};

// A level being played. Change it only through the functions below.
struct game_session {
  play_level start;
  play_level now;
  std::vector<play_move> made;                   // moves from the start to now, as scored
  std::optional<std::size_t> fewest_from_start;  // none when no moves free the prisoner
  std::optional<std::size_t> fewest_from_here;
  // Every position of the level's layout with its fewest moves, measured at
  // the start: the fewest from here, the tips and the solutions are looked up in it.
  std::shared_ptr<const fewest_moves_map> fewest_map;
  help_taken help;                    // help taken on this level
  std::string about;                  // the line that named the level at its start
  std::optional<std::uint64_t> seed;  // the maker's seed, for a level it made
  session_setup setup;
};

// A game of `offered` from its start.
game_session start_session(const offered_level& offered, session_setup setup = {});

// Plays `move`, or says why the block cannot make it and changes nothing.
// Moves are counted by what the board did (see add_slide).
result<> make_move(game_session& session, play_move move);

// Takes back the last move, whole; the move taken back, or nothing when there is none.
std::optional<play_move> undo_move(game_session& session);

// Goes back to the start position.
void restart_level(game_session& session);

// True once every cell right of the prisoner is free.
bool is_escaped(const game_session& session);

// A fewest-move solution from here, first move first; nothing when no moves
// free the prisoner.
std::optional<std::vector<play_move>> solution_from_here(const game_session& session);

// The next move of a fewest solution, counted as a tip; nothing (and no tip
// counted) when no move frees the prisoner or it is free already.
std::optional<play_move> take_tip(game_session& session);

// A whole fewest solution from here, counted as a solution; nothing (and
// nothing counted) when no moves free the prisoner.
std::optional<std::vector<play_move>> take_solution(game_session& session);

// Counts a look at the fewest moves from here.
void take_peek(game_session& session);

// Scores the escape, keeps it in the progress and gives the lines that tell
// its result.
std::vector<std::string> keep_escape(game_session& session);

// The moves of a new level asked for without a count: as many as this one needs.
int new_level_moves(const game_session& session);

// The command that makes the maker's level of `moves` moves from `seed` again,
// e.g. "escape_play --new --moves 15 --seed 7".
std::string maker_command(int moves, std::uint64_t seed);

// The commands that play this level again: its text form, then, for a level
// the maker made, the maker's command.
std::vector<std::string> replay_commands(const game_session& session);
