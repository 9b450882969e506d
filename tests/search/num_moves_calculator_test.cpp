#include "search/num_moves_calculator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <random>
#include <set>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "model/level_files.h"
#include "model/level_records.h"
#include "support/level_corpus.h"
#include "support/level_search.h"
#include "support/scratch_dir.h"

// Every allocation of this test program goes through these replacements, so
// that a test can make allocations fail and count what is still allocated.
// Until a test arms them they only count.
namespace {

std::atomic<long long> allocations_until_failure = -1;  // -1: never fail; 0: every one fails
std::atomic<long long> allocations_made = 0;
std::atomic<long long> live_allocations = 0;

void* allocate(std::size_t size) {
  if (allocations_until_failure == 0) {
    throw std::bad_alloc();
  }
  if (allocations_until_failure > 0) {
    --allocations_until_failure;
  }
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  ++allocations_made;
  ++live_allocations;
  return memory;
}

void* allocate_or_null(std::size_t size) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void release(void* memory) noexcept {
  if (memory != nullptr) {
    --live_allocations;
    std::free(memory);
  }
}

}  // namespace

void* operator new(std::size_t size) {
  return allocate(size);
}
void* operator new[](std::size_t size) {
  return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return allocate_or_null(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return allocate_or_null(size);
}
void operator delete(void* memory) noexcept {
  release(memory);
}
void operator delete[](void* memory) noexcept {
  release(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  release(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  release(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
  release(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
  release(memory);
}

namespace {

using grid = bool[board_size][board_size];

const std::string rule13 = "-------------";
const std::string rule17 = "-----------------";
const std::string rule22 = "----------------------";

// Keeps what is written and counts the flushes, telling apart those that come
// right after a line break.
class flush_recorder : public std::stringbuf {
 public:
  int after_line_break = 0;
  int elsewhere = 0;

 protected:
  int sync() override {
    ++(view().ends_with('\n') ? after_line_break : elsewhere);
    return 0;
  }
};

// Discards what is written without allocating.
class null_buffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    return traits_type::not_eof(c);
  }
};

// What one call of the move counter gave.
struct counted {
  int moves = 0;
  std::string text;                // the whole output
  std::vector<std::string> lines;  // the output's lines
};

counted count_moves() {
  std::ostringstream out;
  counted result;
  result.moves = calculate_num_moves(out);
  result.text = out.str();
  std::istringstream in(result.text);
  for (std::string line; std::getline(in, line);) {
    result.lines.push_back(line);
  }
  return result;
}

// The progress numbers after the two printouts, each checked to be followed by
// the line of 22 hyphens.
std::vector<int> progress_numbers(const std::vector<std::string>& lines) {
  std::vector<int> numbers;
  EXPECT_GE(lines.size(), 14u);
  if (lines.size() < 14) {
    return numbers;
  }
  EXPECT_EQ(lines[6], rule13);
  EXPECT_EQ(lines[13], rule17);
  EXPECT_EQ((lines.size() - 14) % 2, 0u);
  for (std::size_t i = 14; i + 1 < lines.size(); i += 2) {
    numbers.push_back(std::stoi(lines[i]));
    EXPECT_EQ(lines[i + 1], rule22);
  }
  return numbers;
}

// A grid inside a larger block of memory whose cells around it are set to
// `outside`, so that a read beyond the board sees that value.
struct guarded_grid {
  bool memory[board_size + 2][board_size] = {};
  explicit guarded_grid(bool outside) {
    for (bool& cell : memory[0]) {
      cell = outside;
    }
    for (bool& cell : memory[board_size + 1]) {
      cell = outside;
    }
  }
  bool (*cells())[board_size] {
    return &memory[1];
  }
};

std::vector<int> distances_of(const BLOCK& block, const bool (*isblockthere)[board_size]) {
  int distances[4] = {99, 99, 99, 99};
  distances_that_block_can_move(block, isblockthere, distances);
  return {distances[0], distances[1], distances[2], distances[3]};
}

// The grid with only `block` and the given extra cells covered.
void mark(bool (*isblockthere)[board_size], const BLOCK& block,
          const std::vector<std::pair<int, int>>& covered = {}) {
  for (int x = 0; x < board_size; ++x) {
    for (int y = 0; y < board_size; ++y) {
      isblockthere[x][y] = false;
    }
  }
  for (int k = 0; k < block.length; ++k) {
    const cell c = cell_of(block, k);
    isblockthere[c.x][c.y] = true;
  }
  for (const auto& [x, y] : covered) {
    isblockthere[x][y] = true;
  }
}

// ---------------------------------------------------------------------------

// The counter's parts, and move counts of levels written into a fresh working
// directory of each test's own.
class NumMovesCalculatorTest : public testing::Test {
 protected:
  scoped_temp_dir dir;
};

TEST_F(NumMovesCalculatorTest, CopyWhatTheyPromiseAndNothingElse) {
  const BLOCK source[3] = {make_block(true, 2, 1, 0), make_block(false, 3, 5, 2),
                           make_block(true, 3, 3, 5)};
  BLOCK destination[3];
  for (BLOCK& block : destination) {
    block = make_block(false, 2, 0, 0);
    block.occupied_points_x[0] = 42;
  }
  const BLOCK untouched = destination[0];
  array_copy(destination, source, 0);
  array_copy(destination, source, -1);
  EXPECT_EQ(encode_block(destination[0]), encode_block(untouched));
  array_copy(destination, source, 2);
  for (int i = 0; i < 2; ++i) {
    BLOCK expected = source[i];
    // The occupied points are not copied.
    std::copy_n(untouched.occupied_points_x, 3, expected.occupied_points_x);
    std::copy_n(untouched.occupied_points_y, 3, expected.occupied_points_y);
    EXPECT_EQ(encode_block(destination[i]), encode_block(expected)) << i;
  }
  EXPECT_EQ(encode_block(destination[2]), encode_block(untouched));

  grid all, none = {}, corner = {}, lopsided = {};
  for (auto& column : all) {
    std::fill_n(column, board_size, true);
  }
  corner[5][5] = true;
  lopsided[0][1] = lopsided[4][2] = true;  // a transposed copy would differ
  for (const auto* source_grid : {&all, &none, &corner, &lopsided}) {
    grid target;
    for (auto& column : target) {
      std::fill_n(column, board_size, source_grid != &all);
    }
    isblockthere_copy(target, *source_grid);
    EXPECT_EQ(encode_grid(target), encode_grid(*source_grid));
  }
}

TEST_F(NumMovesCalculatorTest, DistancesListsOfSingleBlocks) {
  grid cells;
  const BLOCK h2 = make_block(true, 2, 2, 3);
  mark(cells, h2);
  EXPECT_EQ(distances_of(h2, cells), (std::vector<int>{-2, -1, 2, 1}));
  EXPECT_TRUE(can_block_be_moved(h2, cells));

  const BLOCK h3 = make_block(true, 3, 1, 0);
  mark(cells, h3);
  EXPECT_EQ(distances_of(h3, cells), (std::vector<int>{-1, 2, 1, 0}));

  const BLOCK v3 = make_block(false, 3, 4, 0);
  mark(cells, v3);
  EXPECT_EQ(distances_of(v3, cells), (std::vector<int>{3, 2, 1, 0}));

  const BLOCK v2 = make_block(false, 2, 1, 2);
  mark(cells, v2, {{1, 0}});
  EXPECT_EQ(distances_of(v2, cells), (std::vector<int>{-1, 2, 1, 0}));

  // A free cell beyond a covered neighbour does not count.
  mark(cells, h2, {{1, 3}});
  EXPECT_EQ(distances_of(h2, cells), (std::vector<int>{2, 1, 0, 0}));
  mark(cells, h2, {{4, 3}});
  EXPECT_EQ(distances_of(h2, cells), (std::vector<int>{-2, -1, 0, 0}));

  // Cells beside the block's line do not matter.
  mark(cells, h2, {{1, 2}, {1, 4}, {4, 2}, {4, 4}});
  EXPECT_EQ(distances_of(h2, cells), (std::vector<int>{-2, -1, 2, 1}));

  const BLOCK stuck = make_block(true, 2, 0, 1);
  mark(cells, stuck, {{2, 1}});
  EXPECT_EQ(distances_of(stuck, cells), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_FALSE(can_block_be_moved(stuck, cells));
}

TEST_F(NumMovesCalculatorTest, NeverReadsOutsideTheBoard) {
  // Every cell around the board reads as free, so a read there would show as a
  // move. Past the end of a column lies the next column's first cell and before
  // its start the previous column's last cell; those are free too.
  struct step {
    BLOCK block;
    std::pair<int, int> covered;  // the neighbour on the side away from the edge
  };
  const step cases[] = {
      {make_block(true, 3, 3, 2), {2, 2}},   // ends in column 5
      {make_block(true, 2, 0, 4), {2, 4}},   // starts in column 0
      {make_block(false, 2, 3, 4), {3, 3}},  // ends in row 5
      {make_block(false, 3, 2, 0), {2, 3}},  // starts in row 0
      {make_block(false, 2, 0, 0), {0, 2}},  // against the guard cells
      {make_block(false, 2, 5, 4), {5, 3}},
  };
  guarded_grid guarded(false);
  for (const step& c : cases) {
    SCOPED_TRACE(draw_level({block_of_record(c.block), {}}));
    mark(guarded.cells(), c.block, {c.covered});
    EXPECT_FALSE(can_block_be_moved(c.block, guarded.cells()));
    EXPECT_EQ(distances_of(c.block, guarded.cells()), (std::vector<int>{0, 0, 0, 0}));
  }
}

TEST_F(NumMovesCalculatorTest, PrisonerEscapeLooksOnlyBeyondItsFarEnd) {
  // Every cell around the board reads as covered.
  guarded_grid guarded(true);
  const BLOCK at_edge = make_block(true, 2, 4, 3);
  mark(guarded.cells(), at_edge);
  EXPECT_TRUE(can_prisoner_escape(at_edge, guarded.cells()));

  const BLOCK at_start = make_block(true, 2, 0, 3);
  mark(guarded.cells(), at_start);
  EXPECT_TRUE(can_prisoner_escape(at_start, guarded.cells()));
  for (int x = 2; x < board_size; ++x) {
    mark(guarded.cells(), at_start, {{x, 3}});
    EXPECT_FALSE(can_prisoner_escape(at_start, guarded.cells())) << x;
  }
  // Other rows do not matter.
  mark(guarded.cells(), at_start, {{3, 2}, {4, 4}, {5, 0}});
  EXPECT_TRUE(can_prisoner_escape(at_start, guarded.cells()));

  const BLOCK middle = make_block(true, 2, 2, 3);
  mark(guarded.cells(), middle, {{0, 3}, {1, 3}});
  EXPECT_TRUE(can_prisoner_escape(middle, guarded.cells()));
  mark(guarded.cells(), middle, {{0, 3}, {1, 3}, {5, 3}});
  EXPECT_FALSE(can_prisoner_escape(middle, guarded.cells()));
}

// ---------------------------------------------------------------------------

TEST_F(NumMovesCalculatorTest, FreePathGivesZeroAfterOneProgressLine) {
  write_level(parse_level(corpus_level_named("free_path").picture));
  const counted run = count_moves();
  EXPECT_EQ(run.moves, 0);
  ASSERT_EQ(run.lines.size(), 16u);
  EXPECT_EQ(progress_numbers(run.lines), std::vector<int>{1});
}

TEST_F(NumMovesCalculatorTest, PrintsBothBoardsAndTheProgressExactlyFlushingEveryLine) {
  // One blocker across the prisoner's way; sliding it up or down by two frees it.
  write_level(
      parse_level("......\n"
                  "......\n"
                  "...a..\n"
                  "PP.a..\n"
                  "......\n"
                  "......\n"));
  flush_recorder recorder;
  std::ostream out(&recorder);
  EXPECT_EQ(calculate_num_moves(out), 1);
  // After the boards: the start; the prisoner's slide by 1, which does not
  // free it; the blocker's slide by -2, which does.
  const std::string expected = "000000\n000000\n000100\n110100\n000000\n000000\n" + rule13 +
                               "\n000000\n000000\n110100\n000100\n000000\n000000\n" + rule17 +
                               "\n1\n" + rule22 + "\n2\n" + rule22 + "\n2\n" + rule22 + "\n";
  EXPECT_EQ(recorder.str(), expected);
  EXPECT_EQ(recorder.after_line_break, 20);
  EXPECT_EQ(recorder.elsewhere, 0);
}

// The prisoner is held by blocker b, which can leave its row only by sliding
// up into the cell that blocker a gives up by sliding right; nothing else can
// move. Blocker c below b and blocker d left of a never move.
record_level held_prisoner(int id_a, int id_b) {
  record_level level =
      as_records(parse_level(".daaa.\n"
                             ".db...\n"
                             ".db...\n"
                             "PPb...\n"
                             "..c...\n"
                             "..c...\n"));
  level.blockers[0].block_Id = id_a;
  level.blockers[1].block_Id = id_b;
  return level;
}

TEST_F(NumMovesCalculatorTest, EnqueueRuleDropsOnlyTheUndoingMove) {
  struct step {
    int id_a;
    int id_b;
    int moves;
    std::vector<int> progress;
    std::int64_t literal_examined;
  };
  const step cases[] = {
      // a slides +1; its undo, -1, is not generated; b's slide by -1 frees the prisoner.
      {5, 4, 2, {1, 2, 3}, 3},
      // With equal identifiers b's slide by -1 counts as undoing a's slide by +1:
      // nothing is left to examine.
      {9, 9, -1, {1, 2}, 2},
      // A last moved block_Id of 0 does not count, so a's undo is generated
      // too; a's slide from the start is generated twice, and only the literal
      // search examines the copy.
      {0, 4, 2, {1, 2, 3, 3}, 5},
      {0, 0, 2, {1, 2, 3, 3}, 5},
  };
  for (const step& c : cases) {
    SCOPED_TRACE(testing::Message() << "ids " << c.id_a << ", " << c.id_b);
    const record_level level = held_prisoner(c.id_a, c.id_b);
    write_level(level);
    const counted run = count_moves();
    EXPECT_EQ(run.moves, c.moves);
    EXPECT_EQ(progress_numbers(run.lines), c.progress);
    const literal_result literal = literal_move_count(level, 1000);
    EXPECT_TRUE(literal.finished);
    EXPECT_EQ(literal.moves, c.moves);
    EXPECT_EQ(literal.examined, c.literal_examined);
  }
}

TEST_F(NumMovesCalculatorTest, ChildrenFollowBlockOrderThenDistancesListOrder) {
  // Blocker a's slides (-3, -2, -1) free nothing; blocker b's first slide (-3)
  // frees the prisoner, its third (-1) would not. The prisoner cannot move.
  write_level(
      parse_level("......\n"
                  "......\n"
                  "......\n"
                  "aPPb..\n"
                  "a..b..\n"
                  "a.....\n"));
  const counted run = count_moves();
  EXPECT_EQ(run.moves, 1);
  EXPECT_EQ(progress_numbers(run.lines), (std::vector<int>{1, 2, 2, 2, 2}));
}

TEST_F(NumMovesCalculatorTest, UnsolvableLevelsGiveMinusOne) {
  // Column 4 is full for good: whatever moves elsewhere, the prisoner stays.
  write_level(parse_level(corpus_level_named("sparse_unsolvable").picture));
  counted run = count_moves();
  EXPECT_EQ(run.moves, -1);
  // The record of configurations ends the search long before the depth limit.
  const std::vector<int> numbers = progress_numbers(run.lines);
  EXPECT_LT(numbers.size(), 20'000u);

  // Nothing can move at all: one progress line, then the empty queue.
  write_level(
      parse_level("aabbcc\n"
                  "ddeeff\n"
                  "gghhii\n"
                  "PPjjkk\n"
                  "......\n"
                  "......\n"));
  run = count_moves();
  EXPECT_EQ(run.moves, -1);
  EXPECT_EQ(progress_numbers(run.lines), std::vector<int>{1});
}

TEST_F(NumMovesCalculatorTest, CorpusLevelsGiveTheirResultsUpToNineteenMoves) {
  for (const corpus_level& entry : level_corpus()) {
    SCOPED_TRACE(entry.name);
    const test_level level = parse_level(entry.picture);
    EXPECT_EQ(draw_level(level), entry.picture);
    // The fewest slides, found by a search over positions alone.
    EXPECT_EQ(fewest_moves(level, 40), entry.fewest_moves);
    write_level(level);
    const counted run = count_moves();
    EXPECT_EQ(run.moves, entry.moves);
    if (entry.fewest_moves >= 19) {
      EXPECT_EQ(run.moves, entry.fewest_moves == 19 ? 19 : -1);
      // Configurations of Id 19 are examined (progress 20), none deeper.
      EXPECT_EQ(progress_numbers(run.lines).back(), 20);
    }
  }
}

TEST_F(NumMovesCalculatorTest, LoadFailuresPrintOnlyTheMessage) {
  // A missing file (whose message ends without a line break) or a damaged one
  // is reported before anything is printed or written.
  for (const bool damaged : {false, true}) {
    scoped_temp_dir case_dir;
    write_level(parse_level(corpus_level_named("free_path").picture));
    if (damaged) {
      write_bytes(num_block_file, std::string("\x0e\0\0\0", 4));
    } else {
      std::filesystem::remove(prisoner_size_file);
    }
    const counted run = count_moves();
    EXPECT_EQ(run.moves, -1);
    EXPECT_EQ(run.text, damaged
                            ? "damaged level file \"num_block\": 14 blockers, expected 0 to 13\n"
                            : "failed to create prisoner size file");
    EXPECT_FALSE(std::filesystem::exists(level_snapshot_file));
  }
}

TEST_F(NumMovesCalculatorTest, WritesTheSnapshotAfterTheFirstBoardOrStops) {
  const test_level level = parse_level(corpus_level_named("free_path").picture);
  {
    scoped_temp_dir case_dir;
    write_level(level);
    std::filesystem::create_directory(level_snapshot_file);
    const counted run = count_moves();
    EXPECT_EQ(run.moves, -1);
    EXPECT_EQ(run.text, "001000\n001000\n000000\n011000\n000100\n000100\n" + rule13 +
                            "\nfailed to create config file\n");
  }
  write_level(level);
  EXPECT_EQ(count_moves().moves, 0);
  const config_image expected = encode_config(start_config(as_records(level)));
  EXPECT_EQ(read_bytes(level_snapshot_file), std::string(expected.begin(), expected.end()));
}

TEST_F(NumMovesCalculatorTest, OutOfMemoryReleasesEverythingAndPassesTheFailureOn) {
  null_buffer discard;
  std::ostream out(&discard);
  for (const char* name : {"sparse_5", "dense12_20"}) {
    SCOPED_TRACE(name);
    write_level(parse_level(corpus_level_named(name).picture));
    const int moves = calculate_num_moves(out);
    EXPECT_EQ(moves, corpus_level_named(name).moves);
    const long long before = allocations_made;
    EXPECT_EQ(calculate_num_moves(out), moves);
    const long long needed = allocations_made - before;
    ASSERT_GT(needed, 10);
    // Fail the k-th allocation and every one after it, for every k.
    for (long long k = 0; k < needed; ++k) {
      const long long live = live_allocations;
      bool passed_on = false;
      allocations_until_failure = k;
      try {
        calculate_num_moves(out);
      } catch (const std::bad_alloc&) {
        passed_on = true;
      }
      allocations_until_failure = -1;
      EXPECT_TRUE(passed_on) << k;
      EXPECT_EQ(live_allocations, live) << k;
    }
    EXPECT_EQ(calculate_num_moves(out), moves);
  }
}

// ---------------------------------------------------------------------------

// Gives some blocks identifiers that a damaged or hand-made level file could
// hold: zeros, extremes and copies of other blocks' identifiers.
void scramble_identifiers(std::mt19937& random, record_level& level) {
  const std::int32_t choices[] = {0, 0, 1, 7, -7, INT32_MIN, INT32_MAX};
  std::vector<BLOCK*> blocks{&level.prisoner};
  for (BLOCK& blocker : level.blockers) {
    blocks.push_back(&blocker);
  }
  for (BLOCK* block : blocks) {
    switch (std::uniform_int_distribution<int>(0, 3)(random)) {
      case 0:
        block->block_Id = choices[std::uniform_int_distribution<std::size_t>(0, 6)(random)];
        break;
      case 1:
        block->block_Id =
            blocks[std::uniform_int_distribution<std::size_t>(0, blocks.size() - 1)(random)]
                ->block_Id;
        break;
      default:
        break;
    }
  }
}

TEST_F(NumMovesCalculatorTest, SameResultsAsTheLiteralSearch) {
  std::mt19937 random(20240607);
  int compared = 0;
  int solved_in_two_or_more = 0;
  int depth_limited = 0;
  int ran_dry = 0;
  std::set<std::size_t> sizes;
  for (int attempt = 0; compared < 1000 && attempt < 6000; ++attempt) {
    // Every fourth level has its prisoner shut in for good by a full column 4,
    // so that its search ends at the depth limit or runs out of configurations.
    test_level level;
    if (attempt % 4 == 3) {
      level = parse_level("....a.\n....a.\n....a.\nPP..b.\n....b.\n....b.\n");
      add_random_blockers(random, level, 2 + attempt % 12);
    } else {
      level = random_level(random, attempt % (max_blockers + 1));
    }
    record_level records = as_records(level);
    if (attempt % 3 == 0) {
      scramble_identifiers(random, records);
    }
    const literal_result expected = literal_move_count(records, 4000);
    if (!expected.finished) {
      continue;
    }
    write_level(records);
    const counted run = count_moves();
    ASSERT_EQ(run.moves, expected.moves) << draw_level(level);
    const std::vector<int> numbers = progress_numbers(run.lines);
    ASSERT_FALSE(numbers.empty());
    EXPECT_LE(static_cast<std::int64_t>(numbers.size()), expected.examined);
    if (run.moves >= 0) {
      EXPECT_EQ(numbers.back(), run.moves + 1);
    }
    ++compared;
    solved_in_two_or_more += run.moves >= 2 ? 1 : 0;
    depth_limited += expected.depth_limit ? 1 : 0;
    ran_dry += run.moves < 0 && !expected.depth_limit ? 1 : 0;
    sizes.insert(level.blockers.size());
  }
  const std::string summary =
      std::to_string(compared) + " levels compared: " + std::to_string(solved_in_two_or_more) +
      " need two moves or more, " + std::to_string(depth_limited) + " reach the depth limit, " +
      std::to_string(ran_dry) + " run out of configurations";
  EXPECT_EQ(compared, 1000) << summary;
  EXPECT_GE(solved_in_two_or_more, 75) << summary;
  EXPECT_GE(depth_limited, 10) << summary;
  EXPECT_GE(ran_dry, 10) << summary;
  EXPECT_GE(sizes.size(), 12u) << summary;
}

}  // namespace
