// One game of one level, however it is shown: the position, the moves made,
// the help taken, the time, and what every way of playing does with them.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/play_clock.h"
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
  const play_clock* clock = nullptr;   // times the game; none: the system's steady clock
};

// A level being played. Change it only through the functions below.
struct game_session {
  offered_level offered;  // the level as it was offered, from its start
  play_level now;
  std::vector<play_move> made;                   // moves from the start to now, as scored
  std::vector<play_move> undone;                 // moves undo took back, the last one last
  std::optional<std::size_t> fewest_from_start;  // none when no moves free the prisoner
  std::optional<std::size_t> fewest_from_here;
  // Every position of the level's layout with its fewest moves, measured at
  // the start: the fewest from here, the tips and the solutions are looked up in it.
  std::shared_ptr<const fewest_moves_map> fewest_map;
  help_taken help;        // help taken on this level
  std::string tipped_at;  // the position (its text form) the last tip was given at
  int tip_steps = 0;      // the tip's steps taken there: 1 named the block, 2 showed the move
  std::chrono::milliseconds played{0};  // time on the clock while it was running before
  std::optional<std::chrono::milliseconds> running_since;  // the clock's reading when it started
  bool moved = false;                                      // a move was made in this attempt
  bool attempt_counted = false;  // the progress counts this attempt already
  session_setup setup;
};

// A game of `offered` from its start, its clock running.
game_session start_session(const offered_level& offered, session_setup setup = {});

// Plays `move`, or says why the block cannot make it and changes nothing.
// Moves are counted by what the board did (see add_slide). A move forgets the
// moves undone; the one that frees the prisoner stops the clock.
result<> make_move(game_session& session, play_move move);

// Takes back the last move, whole; the move taken back, or nothing when there is none.
std::optional<play_move> undo_move(game_session& session);

// Plays again the move undo took back last, until another move is made; the
// move, or nothing when there is none.
std::optional<play_move> redo_move(game_session& session);

// Goes back to the start position for a new attempt; the moves undone are
// forgotten, and so is the attempt the progress keeps as unfinished. The line
// the keeping had to say, if any.
std::optional<std::string> restart_level(game_session& session);

// True once every cell right of the prisoner is free.
bool is_escaped(const game_session& session);

// A fewest-move solution from here, first move first; nothing when no moves
// free the prisoner.
std::optional<std::vector<play_move>> solution_from_here(const game_session& session);

// A tip: the next move of a fewest solution, in two steps.
struct tip_given {
  play_move move;
  bool shows_move = false;  // false: only the block is named
};

// The first tip at a position names the block of the next fewest move, the
// second shows where it goes; each counts as a tip once per position, and
// later ones show the move again without counting. Nothing (and no tip
// counted) when no move frees the prisoner or it is free already.
std::optional<tip_given> take_tip(game_session& session);

// A whole fewest solution from here, counted as a solution; nothing (and
// nothing counted) when no moves free the prisoner.
std::optional<std::vector<play_move>> take_solution(game_session& session);

// Counts a look at the fewest moves from here.
void take_peek(game_session& session);

// The time on the game's clock.
std::chrono::milliseconds time_played(const game_session& session);

// Stops the game's clock, while the board is not shown; it keeps its time.
void stop_clock(game_session& session);

// Starts the game's clock again, unless the prisoner is free.
void start_clock(game_session& session);

// Scores the escape, keeps it in the progress and gives the lines that tell
// its result. The attempt kept as unfinished, if any, is forgotten.
std::vector<std::string> keep_escape(game_session& session);

// The attempt at this level the progress keeps as unfinished, when there is
// one this game can go on with.
std::optional<unfinished_attempt> kept_attempt(const game_session& session);

// Goes on with `attempt` from where it was left: its moves from the start (so
// that undo takes them back), its help and its time; false, and nothing
// changed, when its moves cannot all be made on this level.
bool resume_attempt(game_session& session, const unfinished_attempt& attempt);

// Starts afresh: forgets the attempt the progress keeps as unfinished. The
// line the keeping had to say, if any.
std::optional<std::string> forget_kept_attempt(game_session& session);

// Keeps this attempt in the progress as the level's unfinished one, when the
// prisoner is not free and it has moves or help to lose; the line the keeping
// had to say, if any.
std::optional<std::string> keep_unfinished(game_session& session);

// The moves of a new level asked for without a count: as many as this one needs.
int new_level_moves(const game_session& session);

// The commands that play this level again: the one it was offered with, if
// any (a campaign level, the level of the day, the maker's level), then its
// text form.
std::vector<std::string> replay_commands(const game_session& session);
