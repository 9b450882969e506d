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

}  // namespace

game_session start_session(const offered_level& offered, session_setup setup) {
  game_session session;
  session.start = session.now = offered.level;
  session.fewest_map = std::make_shared<const fewest_moves_map>(offered.level);
  session.about = offered.about;
  session.seed = offered.seed;
  session.setup = std::move(setup);
  count_fewest(session);
  session.fewest_from_start = session.fewest_from_here;
  return session;
}

result<> make_move(game_session& session, play_move move) {
  const result<play_level> moved = after_move(session.now, move);
  if (!moved) {
    return failure{moved.reason()};
  }
  session.now = *moved;
  add_slide(session.made, move);
  count_fewest(session);
  return {};
}

std::optional<play_move> undo_move(game_session& session) {
  if (session.made.empty()) {
    return std::nullopt;
  }
  const play_move last = session.made.back();
  take_back(session.now, session.made);
  count_fewest(session);
  return last;
}

void restart_level(game_session& session) {
  session.now = session.start;
  session.made.clear();
  count_fewest(session);
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

std::optional<play_move> take_tip(game_session& session) {
  const std::optional<play_move> move = session.fewest_map->next_move(session.now);
  if (move) {
    ++session.help.tips;
  }
  return move;
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

std::vector<std::string> keep_escape(game_session& session) {
  const std::size_t fewest = session.fewest_from_start.value_or(session.made.size());
  const level_best escape = scored_escape(session.made.size(), fewest, session.help);
  progress_store unkept;
  progress_store& kept_in = session.setup.progress ? *session.setup.progress : unkept;
  return result_lines(escape, fewest, keep_result(kept_in, progress_key(session.start), escape));
}

int new_level_moves(const game_session& session) {
  return session.fewest_from_start ? static_cast<int>(*session.fewest_from_start)
                                   : default_new_level_moves;
}

std::string maker_command(int moves, std::uint64_t seed) {
  return "escape_play --new --moves " + std::to_string(moves) + " --seed " + std::to_string(seed);
}

std::vector<std::string> replay_commands(const game_session& session) {
  std::vector<std::string> commands{"escape_play --level " + level_text(session.start)};
  if (session.seed && session.fewest_from_start) {
    commands.push_back(maker_command(static_cast<int>(*session.fewest_from_start), *session.seed));
  }
  return commands;
}
