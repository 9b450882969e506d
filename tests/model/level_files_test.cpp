#include "model/level_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>

#include "support/level_search.h"
#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

const char* const level_file_names[] = {blockers_file,      record_size_file, prisoner_file,
                                        prisoner_size_file, num_block_file,   block_present_file};

std::string int_bytes(std::int32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i));
  }
  return bytes;
}

// A sound level: the prisoner at (1, 3), a vertical 3-blocker across its way
// and a horizontal 2-blocker in the top row.
struct sample_level {
  BLOCK prisoner = make_block(true, 2, 1, 3);
  std::vector<BLOCK> blockers = {make_block(false, 3, 4, 2), make_block(true, 2, 0, 0)};
};

struct loaded_level {
  bool ok = false;
  std::string output;
  BLOCK blockers[max_blockers];
  BLOCK prisoner;
  int num_block = -1;
  bool grid[board_size][board_size] = {};
};

// Reads the level files of the working directory, or of `directory`.
loaded_level load(const fs::path& directory = {}) {
  loaded_level level;
  std::ostringstream out;
  if (directory.empty()) {
    level.ok = read_level_files(level.blockers, level.prisoner, level.num_block, level.grid, out);
    level.output = out.str();
    return level;
  }
  const result<level_records> loaded = load_level_files(directory);
  level.ok = static_cast<bool>(loaded);
  if (!loaded) {
    level.output = loaded.reason();
    return level;
  }
  std::copy(std::begin(loaded->blockers), std::end(loaded->blockers), level.blockers);
  level.prisoner = loaded->prisoner;
  level.num_block = loaded->num_block;
  std::memcpy(level.grid, loaded->isblockthere, sizeof level.grid);
  return level;
}

void expect_same_block(const BLOCK& actual, const BLOCK& expected) {
  EXPECT_EQ(encode_block(actual), encode_block(expected));
}

// Expects `run` to give `expected` in a child process that is stopped after a
// few seconds, so that a call that blocks fails the test instead of hanging it.
void expect_in_child(const std::function<std::string()>& run, const std::string& expected) {
  EXPECT_EXIT(
      {
        alarm(5);
        const std::string got = run();
        std::fputs(got.c_str(), stderr);
        std::_Exit(got == expected ? 0 : 1);
      },
      testing::ExitedWithCode(0), "")
      << "expected: " << expected;
}

// Writes the sample level's files, or what `write` makes of them, into the
// working directory and returns what the writer printed.
std::string write_sample_level() {
  const sample_level level{};
  BLOCK all[max_blockers] = {level.blockers[0], level.blockers[1]};
  bool grid[board_size][board_size];
  mark_blocks(level.prisoner, level.blockers, grid);
  std::ostringstream out;
  write_level_files(all, level.prisoner, 2, grid, out);
  return out.str();
}

}  // namespace

// Level files written and read in a fresh working directory of each test's own.
class LevelFilesTest : public testing::Test {
 protected:
  scoped_temp_dir dir;
  const sample_level level{};
};

// The tests of LevelFilesTest that run some of their steps in a child process.
class LevelFilesDeathTest : public LevelFilesTest {};

TEST_F(LevelFilesTest, RoundTripWithTheWrittenSizes) {
  BLOCK all[max_blockers] = {};
  all[0] = level.blockers[0];
  all[1] = level.blockers[1];
  all[5] = make_block(true, 3, 2, 2);  // beyond num_block: stored but carries nothing
  bool grid[board_size][board_size];
  mark_blocks(level.prisoner, level.blockers, grid);
  // Into a directory of its own, read back from there.
  const fs::path stored = "stored";
  fs::create_directory(stored);
  const result<> stored_files = store_level_files(stored, all, level.prisoner, 2, grid);
  EXPECT_TRUE(stored_files) << stored_files.reason();

  const std::pair<const char*, std::uintmax_t> sizes[] = {
      {blockers_file, 572},    {record_size_file, 4}, {prisoner_file, 44},
      {prisoner_size_file, 4}, {num_block_file, 4},   {block_present_file, 36}};
  for (const auto& [name, size] : sizes) {
    EXPECT_EQ(fs::file_size(stored / name), size) << name;
  }
  EXPECT_EQ(read_bytes(stored / record_size_file), std::string("\x3C\x02\x00\x00", 4));
  EXPECT_EQ(read_bytes(stored / prisoner_size_file), std::string("\x2C\x00\x00\x00", 4));
  EXPECT_EQ(read_bytes(stored / num_block_file), int_bytes(2));
  const block_image prisoner = encode_block(level.prisoner);
  EXPECT_EQ(read_bytes(stored / prisoner_file), std::string(prisoner.begin(), prisoner.end()));

  const loaded_level loaded = load(stored);
  ASSERT_TRUE(loaded.ok) << loaded.output;
  EXPECT_EQ(loaded.output, "");
  EXPECT_EQ(loaded.num_block, 2);
  expect_same_block(loaded.prisoner, level.prisoner);
  expect_same_block(loaded.blockers[0], level.blockers[0]);
  expect_same_block(loaded.blockers[1], level.blockers[1]);
  expect_same_block(loaded.blockers[5], all[5]);
  EXPECT_EQ(0, std::memcmp(loaded.grid, grid, sizeof grid));
}

TEST_F(LevelFilesTest, WriterStopsAtTheFirstFileItCannotCreate) {
  const char* const messages[] = {
      "failed to create Diff_lvl_file\n",  "failed to create record_size_file\n",
      "failed to create prisoner file\n",  "failed to create prisoner file size\n",
      "failed to create num_block_file\n", "failed to create block present file\n"};
  for (int failing = 0; failing < 6; ++failing) {
    scoped_temp_dir case_dir;
    for (const char* name : level_file_names) {
      write_bytes(name, "old");
    }
    fs::remove(level_file_names[failing]);
    fs::create_directory(level_file_names[failing]);

    BLOCK all[max_blockers] = {level.blockers[0], level.blockers[1]};
    bool grid[board_size][board_size];
    mark_blocks(level.prisoner, level.blockers, grid);
    std::ostringstream out;
    write_level_files(all, level.prisoner, 2, grid, out);

    EXPECT_EQ(out.str(), messages[failing]);
    for (int i = 0; i < 6; ++i) {
      if (i < failing) {
        EXPECT_NE(read_bytes(level_file_names[i]), "old") << level_file_names[i];
      } else if (i > failing) {
        EXPECT_EQ(read_bytes(level_file_names[i]), "old") << level_file_names[i];
      }
    }
  }
}

TEST_F(LevelFilesTest, ReaderNamesTheFirstMissingFileInItsOwnOrder) {
  // The reader's order, with its messages; two of them end without a line break.
  const std::pair<const char*, const char*> order[] = {
      {record_size_file, "failed to read rec_size\n"},
      {num_block_file, "failed to create num_block_file\n"},
      {blockers_file, "failed to create blocker file\n"},
      {prisoner_size_file, "failed to create prisoner size file"},
      {prisoner_file, "failed to create prisoner file"},
      {block_present_file, "failed to create block present 1file\n"}};
  for (std::size_t missing = 0; missing < std::size(order); ++missing) {
    scoped_temp_dir case_dir;
    write_level(record_level{level.prisoner, level.blockers});
    // Every file after the missing one is missing too, so only the first may be named.
    for (std::size_t i = missing; i < std::size(order); ++i) {
      fs::remove(order[i].first);
    }
    const loaded_level loaded = load();
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.output, order[missing].second);
  }
}

TEST_F(LevelFilesTest, ReaderRejectsDamagedLevelsNamingTheFile) {
  struct damage {
    const char* what;
    std::function<void()> apply;
    const char* message;
  };
  const auto patch = [](const char* file, std::size_t offset, const std::string& bytes) {
    std::string content = read_bytes(file);
    content.replace(offset, bytes.size(), bytes);
    write_bytes(file, content);
  };
  const auto truncate = [](const char* file, std::size_t size) {
    write_bytes(file, read_bytes(file).substr(0, size));
  };
  const damage damages[] = {
      {"short count file", [&] { truncate(record_size_file, 3); },
       "damaged level file \"record_size\": it holds 3 bytes, expected 4\n"},
      {"long count file", [&] { write_bytes(num_block_file, int_bytes(2) + "x"); },
       "damaged level file \"num_block\": it holds 5 bytes, expected 4\n"},
      {"too many blockers", [&] { write_bytes(num_block_file, int_bytes(14)); },
       "damaged level file \"num_block\": 14 blockers, expected 0 to 13\n"},
      {"negative count", [&] { write_bytes(num_block_file, int_bytes(-1)); },
       "damaged level file \"num_block\": -1 blockers, expected 0 to 13\n"},
      {"record too long", [&] { write_bytes(record_size_file, int_bytes(573)); },
       "damaged level file \"record_size\": length 573 is not between 88 and 572\n"},
      {"record too short for the count", [&] { write_bytes(record_size_file, int_bytes(87)); },
       "damaged level file \"record_size\": length 87 is not between 88 and 572\n"},
      {"blockers shorter than the record", [&] { truncate(blockers_file, 100); },
       "damaged level file \"blockers\": it holds 100 bytes, expected 572\n"},
      {"blockers longer than the record",
       [&] { write_bytes(blockers_file, read_bytes(blockers_file) + "x"); },
       "damaged level file \"blockers\": it holds 573 bytes, expected 572\n"},
      {"huge count file", [&] { write_bytes(record_size_file, std::string(1'000'000, '\0')); },
       "damaged level file \"record_size\": it holds 1000000 bytes, expected 4\n"},
      {"prisoner size", [&] { write_bytes(prisoner_size_file, int_bytes(45)); },
       "damaged level file \"prisoner_size\": length 45 is not 44\n"},
      {"short prisoner", [&] { truncate(prisoner_file, 43); },
       "damaged level file \"prisoner\": it holds 43 bytes, expected 44\n"},
      {"long prisoner file", [&] { write_bytes(prisoner_file, read_bytes(prisoner_file) + "x"); },
       "damaged level file \"prisoner\": it holds 45 bytes, expected 44\n"},
      {"short grid", [&] { truncate(block_present_file, 35); },
       "damaged level file \"block_present\": it holds 35 bytes, expected 36\n"},
      {"long grid", [&] { write_bytes(block_present_file, read_bytes(block_present_file) + '\0'); },
       "damaged level file \"block_present\": it holds 37 bytes, expected 36\n"},
      {"orientation byte", [&] { patch(blockers_file, 44, "\x02"); },
       "damaged level file \"blockers\": blocker 1: orientation byte 2 is neither 0 nor 1\n"},
      {"length", [&] { patch(blockers_file, 4, int_bytes(4)); },
       "damaged level file \"blockers\": blocker 0: length 4 is neither 2 nor 3\n"},
      {"off the board", [&] { patch(blockers_file, 12, int_bytes(4)); },
       "damaged level file \"blockers\": blocker 0: position (4, 4) reaches off the board\n"},
      {"off the board across its line", [&] { patch(blockers_file, 8, int_bytes(6)); },
       "damaged level file \"blockers\": blocker 0: position (6, 2) reaches off the board\n"},
      {"far off the board", [&] { patch(blockers_file, 44 + 8, int_bytes(0x7FFFFFFF)); },
       "damaged level file \"blockers\": blocker 1: position (2147483647, 0) reaches off the "
       "board\n"},
      {"vertical prisoner", [&] { patch(prisoner_file, 0, std::string(1, '\0')); },
       "damaged level file \"prisoner\": the prisoner is not a horizontal block of length 2\n"},
      {"long prisoner", [&] { patch(prisoner_file, 4, int_bytes(3)); },
       "damaged level file \"prisoner\": the prisoner is not a horizontal block of length 2\n"},
      {"prisoner off its row", [&] { patch(prisoner_file, 12, int_bytes(2)); },
       "damaged level file \"prisoner\": the prisoner is in row 2, not in row 3\n"},
      {"shared cell", [&] { patch(blockers_file, 8, int_bytes(2)); },
       "damaged level file \"blockers\": blocker 0 shares the cell (2, 3) with the prisoner\n"},
      {"grid byte", [&] { patch(block_present_file, 0, "\x07"); },
       "damaged level file \"block_present\": a cell byte is neither 0 nor 1\n"},
      {"grid from another level",
       [&] { patch(block_present_file, 6 * 5 + 5, std::string(1, '\x01')); },
       "damaged level file \"block_present\": the board does not match the blocks at cell (5, "
       "5)\n"},
  };
  for (const damage& d : damages) {
    scoped_temp_dir case_dir;
    write_level(record_level{level.prisoner, level.blockers});
    d.apply();
    const std::string before = read_bytes(blockers_file) + read_bytes(block_present_file);
    const loaded_level loaded = load();
    EXPECT_FALSE(loaded.ok) << d.what;
    EXPECT_EQ(loaded.output, d.message) << d.what;
    EXPECT_EQ(read_bytes(blockers_file) + read_bytes(block_present_file), before) << d.what;
  }
}

TEST_F(LevelFilesDeathTest, OnlyRegularFilesAreReadOrWritten) {
  write_sample_level();
  const std::string sound = read_bytes(num_block_file);

  // A pipe or a directory where a level file should be is refused unread.
  fs::remove(num_block_file);
  ASSERT_EQ(mkfifo(num_block_file, 0644), 0);
  expect_in_child([] { return load().output; },
                  "damaged level file \"num_block\": not a regular file\n");
  fs::remove(num_block_file);
  fs::create_directory(num_block_file);
  EXPECT_EQ(load().output, "damaged level file \"num_block\": not a regular file\n");
  fs::remove(num_block_file);
  write_bytes(num_block_file, sound);

  // A link to a regular file is read through; a link or a pipe is never written.
  fs::create_directory("elsewhere");
  write_bytes("elsewhere/prisoner", read_bytes(prisoner_file));
  fs::remove(prisoner_file);
  fs::create_symlink("elsewhere/prisoner", prisoner_file);
  EXPECT_TRUE(load().ok);
  EXPECT_EQ(write_sample_level(), "failed to create prisoner file\n");
  fs::remove(record_size_file);
  ASSERT_EQ(mkfifo(record_size_file, 0644), 0);
  expect_in_child(write_sample_level, "failed to create record_size_file\n");
  EXPECT_TRUE(fs::is_symlink(prisoner_file));
  EXPECT_TRUE(fs::is_fifo(record_size_file));

  write_bytes("elsewhere/level__", "theirs");
  fs::create_symlink("elsewhere/level__", level_snapshot_file);
  std::ostringstream out;
  EXPECT_FALSE(write_config_snapshot(config{}, out));
  EXPECT_EQ(out.str(), "failed to create config file\n");
  EXPECT_EQ(read_bytes("elsewhere/level__"), "theirs");
}

TEST_F(LevelFilesDeathTest, AWriteThatFailsIsAFileNotCreated) {
  // A limit on the size of a file makes writes fail as a full disk does,
  // whoever runs the test.
  const auto with_file_size_limit = [](rlim_t bytes, const std::function<std::string()>& run) {
    return [bytes, run] {
      const rlimit limit{bytes, bytes};
      setrlimit(RLIMIT_FSIZE, &limit);
      std::signal(SIGXFSZ, SIG_IGN);
      return run();
    };
  };
  expect_in_child(with_file_size_limit(100, write_sample_level),
                  "failed to create Diff_lvl_file\n");
  // Level files fit in 600 bytes, the 668-byte snapshot does not.
  expect_in_child(with_file_size_limit(600,
                                       [] {
                                         std::ostringstream out;
                                         out << write_sample_level();
                                         out << write_config_snapshot(config{}, out);
                                         return out.str();
                                       }),
                  "failed to create config file\n0");
}

TEST_F(LevelFilesTest, ReaderAcceptsEveryBlockerCountAndAnExactRecord) {
  const BLOCK prisoner = make_block(true, 2, 0, 3);
  write_level(record_level{prisoner, {}});
  EXPECT_TRUE(load().ok);

  // 13 blockers fill the board's other rows and columns; a record of exactly 44 x 13 bytes.
  std::vector<BLOCK> blockers;
  for (int y = 0; y < 6; ++y) {
    if (y != 3) {
      blockers.push_back(make_block(true, 2, 0, y));
      blockers.push_back(make_block(true, 2, 2, y));
    }
  }
  blockers.push_back(make_block(true, 2, 4, 0));
  blockers.push_back(make_block(true, 2, 4, 1));
  blockers.push_back(make_block(true, 2, 4, 2));
  write_level(record_level{prisoner, blockers});
  write_bytes(record_size_file, int_bytes(572));
  const loaded_level loaded = load();
  ASSERT_TRUE(loaded.ok) << loaded.output;
  EXPECT_EQ(loaded.num_block, 13);
  expect_same_block(loaded.blockers[12], blockers[12]);
}

TEST_F(LevelFilesTest, TheSnapshotHoldsTheStartConfigurationAndItsSize) {
  config start;
  start.prisoner = make_block(true, 2, 1, 3);
  start.blockers[0] = make_block(false, 3, 4, 2);
  start.num_block = 1;
  std::ostringstream out;
  ASSERT_TRUE(write_config_snapshot(start, out));
  EXPECT_EQ(out.str(), "");
  const config_image image = encode_config(start);
  EXPECT_EQ(read_bytes(level_snapshot_file), std::string(image.begin(), image.end()));
  EXPECT_EQ(read_bytes(config_size_file), std::string("\x9C\x02\x00\x00", 4));
}

TEST_F(LevelFilesTest, TheSnapshotReportsTheFileItCannotCreate) {
  const config start;
  {
    scoped_temp_dir case_dir;
    fs::create_directory(level_snapshot_file);
    std::ostringstream out;
    EXPECT_FALSE(write_config_snapshot(start, out));
    EXPECT_EQ(out.str(), "failed to create config file\n");
    EXPECT_FALSE(fs::exists(config_size_file));
  }
  {
    scoped_temp_dir case_dir;
    fs::create_directory(config_size_file);
    std::ostringstream out;
    EXPECT_FALSE(write_config_snapshot(start, out));
    EXPECT_EQ(out.str(), "failed to create config size file\n");
    EXPECT_EQ(fs::file_size(level_snapshot_file), 668u);
  }
}
