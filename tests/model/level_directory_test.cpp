#include "model/level_directory.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "model/level_files.h"
#include "model/level_records.h"
#include "model/level_text.h"
#include "support/level_search.h"
#include "support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

// The names in a directory.
std::set<std::string> names_in(const fs::path& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

const std::set<std::string> six_files = {"blockers",      "record_size", "prisoner",
                                         "prisoner_size", "num_block",   "block_present"};

// Level directories in a fresh working directory of each test's own; "old"
// holds the two-move level.
class LevelDirectoryTest : public testing::Test {
 protected:
  LevelDirectoryTest() {
    EXPECT_TRUE(write_level_directory(two_move_level(), "old"));
  }

  scoped_temp_dir dir;
  // Another level: one blocker in the prisoner's way.
  const play_level other{play_block{true, 2, 0, 3}, {play_block{false, 2, 4, 2}}};
};

class LevelDirectoryDeathTest : public LevelDirectoryTest {};

std::string text_in(const fs::path& directory) {
  const result<play_level> read = read_level_directory(directory);
  return read ? level_text(*read) : read.reason();
}

}  // namespace

TEST_F(LevelDirectoryTest, WritesTheFilesTheGeneratorWritesAndReadsThemBack) {
  ASSERT_TRUE(write_level_directory(other, "made/1/"));
  EXPECT_EQ(names_in("made"), std::set<std::string>{"1"});
  EXPECT_EQ(names_in("made/1"), six_files);
  EXPECT_EQ(text_in("made/1"), level_text(other));

  const level_records records = records_of(other);
  fs::create_directory("reference");
  std::ostringstream quiet;
  ASSERT_TRUE(write_level_files_to("reference", records.blockers, records.prisoner,
                                   records.num_block, records.isblockthere, quiet));
  for (const std::string& name : six_files) {
    EXPECT_EQ(read_bytes(fs::path("made/1") / name), read_bytes(fs::path("reference") / name))
        << name;
  }
}

TEST_F(LevelDirectoryTest, SaysWhatIsMissingOrDamaged) {
  EXPECT_EQ(text_in("nowhere"), "it holds no level files");
  fs::remove("old/prisoner_size");
  EXPECT_EQ(text_in("old"), "the level file \"prisoner_size\" is missing");
  ASSERT_TRUE(write_level_directory(other, "old"));
  write_bytes("old/num_block", std::string("\x0e\0\0\0", 4));
  EXPECT_EQ(text_in("old"), "damaged level file \"num_block\": 14 blockers, expected 0 to 13");
}

TEST_F(LevelDirectoryTest, ReplacesNamesNeverTheFilesTheyLinkTo) {
  write_bytes("elsewhere", "keep me");
  fs::remove("old/blockers");
  fs::create_hard_link("elsewhere", "old/blockers");
  fs::remove("old/record_size");
  fs::create_symlink("../elsewhere", "old/record_size");
  ASSERT_TRUE(write_level_directory(other, "old"));
  EXPECT_EQ(read_bytes("elsewhere"), "keep me");
  EXPECT_FALSE(fs::is_symlink("old/record_size"));
  EXPECT_EQ(text_in("old"), level_text(other));
  EXPECT_EQ(names_in("old"), six_files);
}

TEST_F(LevelDirectoryTest, RefusesWhatItCannotReplaceBeforeWritingAnything) {
  const std::string before = text_in("old");
  fs::remove("old/num_block");
  fs::create_directory("old/num_block");
  const result<> refused = write_level_directory(other, "old");
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.reason(), "cannot replace \"old/num_block\": it is no regular file");
  EXPECT_EQ(names_in("old"), six_files);
  EXPECT_EQ(read_bytes("old/blockers").size(), 572u);

  write_bytes("plain", "a file");
  EXPECT_EQ(write_level_directory(other, "plain").reason(),
            "cannot write a level into \"plain\": it is no directory");
  EXPECT_TRUE(write_level_directory(other, "plain/1")
                  .reason()
                  .starts_with("cannot create the directory \"plain\": "));
}

TEST_F(LevelDirectoryDeathTest, AFailedWriteLeavesTheOldLevelWholeAndNoTemporaries) {
  // A limit on the size of a file makes writes fail as a full disk does,
  // whoever runs the test.
  const auto write_with_little_room = [this](const char* where) {
    const rlimit limit{100, 100};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    const result<> written = write_level_directory(other, where);
    std::fputs(written ? "written" : written.reason().c_str(), stderr);
    std::_Exit(0);
  };
  const std::string before = text_in("old");
  EXPECT_EXIT(write_with_little_room("old"), testing::ExitedWithCode(0),
              "^cannot write the level file \"old/blockers\": File too large$");
  EXPECT_EQ(text_in("old"), before);
  EXPECT_EQ(names_in("old"), six_files);
  EXPECT_EXIT(write_with_little_room("new/1"), testing::ExitedWithCode(0),
              "^cannot write the level file \"new/1/blockers\": File too large$");
  EXPECT_TRUE(names_in("new").empty());
}
