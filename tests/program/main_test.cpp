#include "program/main.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <streambuf>

#include "model/level_files.h"
#include "model/random_lvl_function.h"
#include "support/level_search.h"
#include "support/scratch_dir.h"
#include "support/simulated_platform.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

struct program_run {
  int exit_status = -1;
  std::string out;
  std::string err;
};

// Runs the real program in the working directory.
program_run run_program() {
  const std::string command =
      std::string("'") + ESCAPE_PUZZLE_PATH + "' </dev/null >run.out 2>run.err";
  const int status = std::system(command.c_str());
  program_run run;
  run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = read_bytes("run.out");
  run.err = read_bytes("run.err");
  return run;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

// The six rows of the grid in "block_present", row 0 first.
std::vector<std::string> rows_of_stored_grid() {
  const std::string image = read_bytes(block_present_file);
  std::vector<std::string> rows(board_size, std::string(board_size, '?'));
  for (int x = 0; x < board_size; ++x) {
    for (int y = 0; y < board_size; ++y) {
      rows[y][x] = image.at(board_size * x + y) == 1 ? '1' : '0';
    }
  }
  return rows;
}

// Checks a whole run of the real program: its files, both printouts, the
// progress lines and the count, which must equal an in-process count.
void expect_a_complete_run(const program_run& run) {
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.err, "");
  const std::pair<const char*, std::uintmax_t> sizes[] = {
      {blockers_file, 572},       {record_size_file, 4}, {prisoner_file, 44},
      {prisoner_size_file, 4},    {num_block_file, 4},   {block_present_file, 36},
      {level_snapshot_file, 668}, {config_size_file, 4}};
  for (const auto& [name, size] : sizes) {
    ASSERT_TRUE(fs::is_regular_file(name)) << name;
    EXPECT_EQ(fs::file_size(name), size) << name;
  }

  const std::vector<std::string> lines = lines_of(run.out);
  ASSERT_GE(lines.size(), 17u);
  const std::vector<std::string> rows = rows_of_stored_grid();
  for (int y = 0; y < board_size; ++y) {
    EXPECT_EQ(lines[y], rows[y]);
    EXPECT_EQ(lines[7 + y], rows[board_size - 1 - y]);
  }
  EXPECT_EQ(lines[6], std::string(13, '-'));
  EXPECT_EQ(lines[13], std::string(17, '-'));

  // The count equals what the move counter finds for the stored level.
  std::ostringstream again;
  report_num_moves(again);
  EXPECT_EQ(run.out, again.str());
  const std::string& last = lines.back();
  const int count = std::stoi(last);
  EXPECT_EQ(last, std::to_string(count) + " no_of moves");
  EXPECT_GE(count, -1);
  EXPECT_LE(count, 19);
}

// A stream buffer that keeps only the last characters written to it, without allocating.
class tail_buffer : public std::streambuf {
 public:
  std::string tail() const {
    std::string text;
    for (std::size_t i = 0; i < kept_; ++i) {
      text += ring_[(next_ + ring_.size() - kept_ + i) % ring_.size()];
    }
    return text;
  }

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) {
      ring_[next_] = static_cast<char>(c);
      next_ = (next_ + 1) % ring_.size();
      kept_ = std::min(kept_ + 1, ring_.size());
    }
    return traits_type::not_eof(c);
  }

 private:
  std::array<char, 256> ring_{};
  std::size_t next_ = 0;
  std::size_t kept_ = 0;
};

// A level that can never be solved (column 5 is walled up) but whose five
// free blockers and prisoner reach thousands of configurations.
void write_wide_unsolvable_level() {
  std::vector<BLOCK> blockers = {make_block(false, 3, 5, 0), make_block(false, 3, 5, 3)};
  for (int y : {0, 1, 2, 4, 5}) {
    blockers.push_back(make_block(true, 2, 0, y));
  }
  write_level(record_level{make_block(true, 2, 0, 3), blockers});
}

}  // namespace

// The real program, or its report, in a fresh working directory of each test's own.
class MainTest : public testing::Test {
 protected:
  scoped_temp_dir dir;
};

TEST_F(MainTest, RealProgramGeneratesALevelAndPrintsItsCount) {
  expect_a_complete_run(run_program());
}

TEST_F(MainTest, RealProgramGoesOnAfterAFileItCannotCreate) {
  write_level(record_level{make_block(true, 2, 0, 3), {make_block(false, 2, 4, 2)}});
  const std::string old_num_block = read_bytes(num_block_file);
  const std::string old_grid = read_bytes(block_present_file);
  fs::remove(prisoner_size_file);
  fs::create_directory(prisoner_size_file);

  const program_run run = run_program();
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out,
            "failed to create prisoner file size\n"
            "damaged level file \"prisoner_size\": not a regular file\n"
            "-1 no_of moves\n");
  EXPECT_EQ(read_bytes(num_block_file), old_num_block);
  EXPECT_EQ(read_bytes(block_present_file), old_grid);
  EXPECT_FALSE(fs::exists(level_snapshot_file));
}

TEST_F(MainTest, FollowsAMessageWithoutLineBreakOnItsLine) {
  write_level(record_level{make_block(true, 2, 0, 3), {make_block(false, 2, 4, 2)}});
  fs::remove(prisoner_size_file);
  std::ostringstream out;
  report_num_moves(out);
  EXPECT_EQ(out.str(), "failed to create prisoner size file-1 no_of moves\n");
}

TEST_F(MainTest, TheProgramAsksForTheLowestDifficulty) {
  // Difficulty 1 gives three to five blockers; any higher tier gives more.
  std::set<std::string> counts;
  for (std::int64_t s = 0; s < 12; ++s) {
    simulated_platform platform((1'700'000'000 + 7919 * s) * 1'000'000, 2'500);
    const scoped_generator_platform use(platform);
    std::ostringstream out;
    run_escape_puzzle(out);
    EXPECT_TRUE(out.str().ends_with(" no_of moves\n"));
    counts.insert(read_bytes(num_block_file));
  }
  EXPECT_EQ(counts, (std::set<std::string>{{"\3\0\0\0", 4}, {"\4\0\0\0", 4}, {"\5\0\0\0", 4}}));
}

TEST(MainDeathTest, SaysWhenTheSearchRunsOutOfMemory) {
#if ESCAPE_ADDRESS_SANITIZER
  GTEST_SKIP() << "an address-space limit does not work with AddressSanitizer";
#else
  const auto run_with_little_memory = [] {
    tail_buffer tail;
    int status = -1;
    {  // the directory goes before the process exits
      scoped_temp_dir dir;
      write_wide_unsolvable_level();
      // Leave the process two more megabytes of address space than it has now.
      long pages = 0;
      std::ifstream("/proc/self/statm") >> pages;
      const rlim_t limit = static_cast<rlim_t>(pages) * 4096 + (2 << 20);
      const rlimit address_space{limit, limit};
      setrlimit(RLIMIT_AS, &address_space);
      std::ostream out(&tail);
      status = report_num_moves(out);
    }
    std::fputs(tail.tail().c_str(), stderr);
    std::exit(status);
  };
  EXPECT_EXIT(run_with_little_memory(), testing::ExitedWithCode(0),
              "-\nthe move search ran out of memory\n-1 no_of moves\n$");
#endif
}

TEST_F(MainTest, CountsTheWideUnsolvableLevelWithEnoughMemory) {
  write_wide_unsolvable_level();
  tail_buffer tail;
  std::ostream out(&tail);
  report_num_moves(out);
  EXPECT_TRUE(tail.tail().ends_with("-\n-1 no_of moves\n")) << tail.tail();
}
