#include "game/game_session.h"

#include <utility>

#include "game/move_rules.h"
#include "model/level_text.h"

namespace {

// Looks the fewest moves from here up again after the board changed.
void count_fewest(game_session& session) {
  const std::optional<int> fewest = session.fewest_map->fewest(session.now);
  session.fewest_from_here = fewest ? std::optional<std::size_t>(*fewest) : std::nullopt;
}

// The level's key in the progress.
std::string key_of(const game_session& session) {
  return progress_key(session.offered.level);
}

// The attempt the progress keeps as unfinished, as it is stored.
std::optional<unfinished_attempt> stored_attempt(const game_session& session) {
  if (!session.setup.progress) {
    return std::nullopt;
  }
  const progress& known = session.setup.progress->known;
  const auto found = known.find(key_of(session));
  return found == known.end() ? std::nullopt : found->second.unfinished;
}

// A kept attempt's moves made again from the start.
struct replay {
  play_level at;                // where they lead
  std::vector<play_move> made;  // as the game counts them, the blocks in the level's numbers
};

// The kept attempt's moves from `start`, its blocks numbered as the level's
// key letters them; nothing when one cannot be made or they free the prisoner.
std::optional<replay> replayed(const play_level& start, const unfinished_attempt& attempt) {
  const std::vector<int> numbers = key_numbers(start);
  std::vector<int> level_number(numbers.size(), no_block);
  for (std::size_t n = 0; n < numbers.size(); ++n) {
    level_number[static_cast<std::size_t>(numbers[n])] = static_cast<int>(n);
  }
  replay again{start, {}};
  for (const play_move kept : attempt.moves) {
    if (kept.block < 0 || static_cast<std::size_t>(kept.block) >= level_number.size()) {
      return std::nullopt;
    }
    const play_move move{level_number[static_cast<std::size_t>(kept.block)], kept.distance};
    const result<play_level> moved = after_move(again.at, move);
    if (!moved) {
      return std::nullopt;
    }
    again.at = *moved;
    add_slide(again.made, move);
  }
  if (is_prisoner_free(again.at)) {
    return std::nullopt;
  }
  return again;
}

const play_clock& clock_of(const game_session& session) {
  return session.setup.clock ? *session.setup.clock : steady_play_clock();
}

// Plays a move known to be allowed and counts it; once the prisoner is free
// the clock stops.
void play_allowed(game_session& session, play_move move) {
  apply_move(session.now, move);
  add_slide(session.made, move);
  count_fewest(session);
  if (is_escaped(session)) {
    stop_clock(session);
  }
}

}  // namespace

game_session start_session(const offered_level& offered, session_setup setup) {
  game_session session;
  session.offered = offered;
  session.now = offered.level;
  session.fewest_map = std::make_shared<const fewest_moves_map>(offered.level);
  session.setup = std::move(setup);
  count_fewest(session);
  session.fewest_from_start = session.fewest_from_here;
  start_clock(session);
  return session;
}

result<> make_move(game_session& session, play_move move) {
  if (const result<play_level> moved = after_move(session.now, move); !moved) {
    return failure{moved.reason()};
  }
  session.undone.clear();
  session.moved = true;
  play_allowed(session, move);
  return {};
}

std::optional<play_move> undo_move(game_session& session) {
  if (session.made.empty()) {
    return std::nullopt;
  }
  const play_move last = session.made.back();
  take_back(session.now, session.made);
  session.undone.push_back(last);
  count_fewest(session);
  return last;
}

std::optional<play_move> redo_move(game_session& session) {
  if (session.undone.empty()) {
    return std::nullopt;
  }
  const play_move move = session.undone.back();
  session.undone.pop_back();
  play_allowed(session, move);
  return move;
}

std::optional<std::string> restart_level(game_session& session) {
  session.now = session.offered.level;
  session.made.clear();
  session.undone.clear();
  count_fewest(session);
  return forget_kept_attempt(session);
}

bool is_escaped(const game_session& session) {
  return is_prisoner_free(session.now);
}

std::optional<std::vector<play_move>> solution_from_here(const game_session& session) {
  if (!session.fewest_from_here) {
    return std::nullopt;
  }
  std::vector<play_move> solution;
  play_level at = session.now;
  while (const std::optional<play_move> move = session.fewest_map->next_move(at)) {
    solution.push_back(*move);
    apply_move(at, *move);
  }
  return solution;
}

std::optional<tip_given> take_tip(game_session& session) {
  const std::optional<play_move> move = session.fewest_map->next_move(session.now);
  if (!move) {
    return std::nullopt;
  }
  if (std::string here = level_text(session.now); here != session.tipped_at) {
    session.tipped_at = std::move(here);
    session.tip_steps = 0;
  }
  if (session.tip_steps < 2) {
    ++session.tip_steps;
    ++session.help.tips;
  }
  return tip_given{*move, session.tip_steps == 2};
}

std::optional<std::vector<play_move>> take_solution(game_session& session) {
  std::optional<std::vector<play_move>> solution = solution_from_here(session);
  if (solution) {
    ++session.help.solutions;
  }
  return solution;
}

void take_peek(game_session& session) {
  ++session.help.peeks;
}

std::chrono::milliseconds time_played(const game_session& session) {
  return session.played + (session.running_since ? clock_of(session).now() - *session.running_since
                                                 : std::chrono::milliseconds{0});
}

void stop_clock(game_session& session) {
  session.played = time_played(session);
  session.running_since.reset();
}

void start_clock(game_session& session) {
  if (!session.running_since && !is_escaped(session)) {
    session.running_since = clock_of(session).now();
  }
}

std::vector<std::string> keep_escape(game_session& session) {
  const std::size_t fewest = session.fewest_from_start.value_or(session.made.size());
  const level_best escape = scored_escape(session.made.size(), fewest, session.help);
  const std::chrono::milliseconds time = time_played(session);
  progress_store unkept;
  const kept_result kept =
      keep_result(session.setup.progress ? *session.setup.progress : unkept, key_of(session),
                  escape, static_cast<int>(std::chrono::floor<std::chrono::seconds>(time).count()),
                  !std::exchange(session.attempt_counted, true));
  return result_lines(escape, fewest, kept, time);
}

std::optional<unfinished_attempt> kept_attempt(const game_session& session) {
  const std::optional<unfinished_attempt> attempt = stored_attempt(session);
  if (!attempt || !replayed(session.offered.level, *attempt)) {
    return std::nullopt;
  }
  return attempt;
}

bool resume_attempt(game_session& session, const unfinished_attempt& attempt) {
  std::optional<replay> again = replayed(session.offered.level, attempt);
  if (!again) {
    return false;
  }
  session.now = again->at;
  session.made = std::move(again->made);
  session.undone.clear();
  session.help = {attempt.tips, attempt.solutions, attempt.peeks};
  session.played = std::chrono::seconds(attempt.seconds);
  if (session.running_since) {
    session.running_since = clock_of(session).now();
  }
  // An attempt kept with help alone was not counted: it is once it has a move.
  session.moved = session.attempt_counted = !attempt.moves.empty();
  count_fewest(session);
  return true;
}

std::optional<std::string> forget_kept_attempt(game_session& session) {
  const bool counts = session.moved && !session.attempt_counted;
  session.moved = session.attempt_counted = false;
  if (!session.setup.progress || (!counts && !stored_attempt(session))) {
    return std::nullopt;
  }
  return keep_attempt(*session.setup.progress, key_of(session), std::nullopt, counts);
}

std::optional<std::string> keep_unfinished(game_session& session) {
  if (!session.setup.progress || is_escaped(session) ||
      (session.made.empty() && !was_aided(session.help))) {
    return std::nullopt;
  }
  const std::vector<int> numbers = key_numbers(session.offered.level);
  unfinished_attempt attempt{
      {},
      session.help.tips,
      session.help.solutions,
      session.help.peeks,
      static_cast<int>(std::chrono::floor<std::chrono::seconds>(time_played(session)).count())};
  for (const play_move move : session.made) {
    attempt.moves.push_back({numbers[static_cast<std::size_t>(move.block)], move.distance});
  }
  const bool counts = session.moved && !session.attempt_counted;
  session.attempt_counted = session.attempt_counted || counts;
  return keep_attempt(*session.setup.progress, key_of(session), attempt, counts);
}

int new_level_moves(const game_session& session) {
  return session.fewest_from_start ? static_cast<int>(*session.fewest_from_start)
                                   : default_new_level_moves;
}

std::vector<std::string> replay_commands(const game_session& session) {
  std::vector<std::string> commands;
  if (!session.offered.replay.empty()) {
    commands.push_back("escape_play " + session.offered.replay);
  }
  commands.push_back("escape_play --level " + level_text(session.offered.level));
  return commands;
}
