#include "model/level_directory.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "model/level_files.h"
#include "model/level_records.h"
#include "model/level_text.h"
#include "support/failing_file_calls.h"
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
// holds the two-move level. Nothing is flushed to the disk.
class LevelDirectoryTest : public testing::Test {
 protected:
  LevelDirectoryTest() {
    EXPECT_TRUE(write_level_directory(two_move_level(), "old"));
  }

  scoped_temp_dir dir;
  failing_file_calls unflushed;
  const scoped_file_calls quick{unflushed};
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
  ASSERT_TRUE(store_level_files("reference", records.blockers, records.prisoner, records.num_block,
                                records.isblockthere));
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
  const result<written_level> refused = write_level_directory(other, "old");
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.reason(), "cannot replace \"old/num_block\": it is no regular file");
  EXPECT_EQ(names_in("old"), six_files);
  EXPECT_EQ(read_bytes("old/blockers").size(), 572u);
  EXPECT_EQ(names_in("."), std::set<std::string>{"old"});

  // A directory that holds more than a level would lose it; so would the working directory.
  fs::remove("old/num_block");
  write_bytes("old/notes", "mine");
  EXPECT_EQ(write_level_directory(other, "old").reason(),
            "cannot replace the level in \"old\": it holds \"notes\", which is no level file");
  EXPECT_EQ(read_bytes("old/notes"), "mine");
  fs::remove("old/notes");
  fs::current_path("old");
  EXPECT_EQ(write_level_directory(other, ".").reason(),
            "cannot replace \".\" as a whole: the working directory is in it");
  EXPECT_EQ(write_level_directory(other, "..").reason(),
            "cannot replace \"..\" as a whole: the working directory is in it");
  fs::current_path("..");

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
    const result<written_level> written = write_level_directory(other, where);
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

namespace {

// What writing `level` into `where` does with the calls `calls`.
result<written_level> write_with(failing_file_calls& calls, const play_level& level,
                                 const fs::path& where) {
  const scoped_file_calls replaced(calls);
  return write_level_directory(level, where);
}

// The calls a write of `level` into `where` makes.
int calls_to_write(const play_level& level, const fs::path& where) {
  failing_file_calls counted;
  EXPECT_TRUE(write_with(counted, level, where));
  return counted.calls;
}

}  // namespace

TEST_F(LevelDirectoryDeathTest, AFailureOrAnEndAtAnyStepLeavesOneWholeLevelAndNoTemporaryBehind) {
  const std::string before = text_in("old");
  const std::string after = level_text(other);
  for (const fs::path where : {"old", "new/1"}) {
    const bool replacing = where == "old";
    const fs::path parent = replacing ? "." : "new";
    const int steps = calls_to_write(other, where);
    EXPECT_GE(steps, 20);
    for (int step = 1; step <= steps; ++step) {
      for (const bool killed : {false, true}) {
        ASSERT_TRUE(write_level_directory(two_move_level(), "old"));
        fs::remove_all("new");
        failing_file_calls failing;
        failing.fail_at = step;
        failing.end_there = killed;
        if (killed) {
          EXPECT_EXIT((static_cast<void>(write_with(failing, other, where)), std::_Exit(1)),
                      testing::ExitedWithCode(0), "")
              << step;
        } else if (const result<written_level> written = write_with(failing, other, where);
                   !written) {
          EXPECT_EQ(written.reason().find('\n'), std::string::npos) << step;
          EXPECT_EQ(text_in(where), replacing ? before : "it holds no level files") << step;
        }
        // Never a mix: the old level or the new one, or none where there was none.
        const std::string now = text_in(where);
        EXPECT_TRUE(now == after || now == (replacing ? before : "it holds no level files"))
            << "step " << step << (killed ? ", ended there: " : ": ") << now;
        // The next writer there removes what this one left.
        ASSERT_TRUE(write_level_directory(other, where));
        EXPECT_EQ(names_in(parent), std::set<std::string>{where.filename().string()}) << step;
        EXPECT_EQ(names_in(where), six_files) << step;
      }
    }
  }
}

TEST_F(LevelDirectoryDeathTest, WhereTheFileSystemCannotSwapTheOldLevelIsMovedAsideAndItSaysSo) {
  failing_file_calls no_swap;
  no_swap.cannot_exchange = true;
  const result<written_level> written = write_with(no_swap, other, "old");
  ASSERT_TRUE(written) << written.reason();
  EXPECT_EQ(written->note,
            "The file system of \"old\" cannot swap two directories in one step: the old level "
            "was moved aside before the new one took its place.");
  EXPECT_EQ(text_in("old"), level_text(other));
  EXPECT_EQ(names_in("."), std::set<std::string>{"old"});

  const std::string before = text_in("old");
  const std::string after = level_text(two_move_level());
  const int steps = calls_to_write(two_move_level(), "old") + 4;
  for (int step = 1; step <= steps; ++step) {
    for (const bool killed : {false, true}) {
      ASSERT_TRUE(write_level_directory(other, "old"));
      failing_file_calls failing;
      failing.cannot_exchange = true;
      failing.fail_at = step;
      failing.end_there = killed;
      if (killed) {
        EXPECT_EXIT(
            (static_cast<void>(write_with(failing, two_move_level(), "old")), std::_Exit(1)),
            testing::ExitedWithCode(0), "");
      } else if (!write_with(failing, two_move_level(), "old")) {
        EXPECT_EQ(text_in("old"), before) << step;
      }
      // For a moment there is no level, never a mix of two.
      const std::string now = text_in("old");
      EXPECT_TRUE(now == before || now == after || now == "it holds no level files")
          << "step " << step << ": " << now;
      ASSERT_TRUE(write_level_directory(other, "old"));
      EXPECT_EQ(names_in("."), std::set<std::string>{"old"}) << step;
    }
  }
}

TEST_F(LevelDirectoryTest, RemovesTheTemporariesOfWritersBeforeThatNoLiveProcessOwns) {
  fs::create_directories(".old.partial-a1B2c3/deep");
  fs::create_directory(".1.abcd1234.partial");
  write_bytes("old/.blockers.abcd1234.partial", "left in the level by an earlier version");
  fs::create_directory(".kept.partial-zzzzzz");
  const int owner = ::open(".kept.partial-zzzzzz", O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(::flock(owner, LOCK_EX | LOCK_NB), 0);
  write_bytes(".old.partial-notes", "no temporary of ours");

  ASSERT_TRUE(write_level_directory(other, "old"));
  EXPECT_EQ(names_in("."),
            (std::set<std::string>{"old", ".kept.partial-zzzzzz", ".old.partial-notes"}));
  EXPECT_EQ(names_in("old"), six_files);
  ::close(owner);
}
