#include "model/progress_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "model/progress_text.h"
#include "support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

// A key of the right form, different for every n below 36 * 13.
std::string key_for(int n) {
  std::string key(36, '.');
  key[static_cast<std::size_t>(n % 36)] = static_cast<char>('a' + n / 36);
  return key;
}

const level_best three_stars{2, 3, 0, 0, 0, "2024-05-06"};
const level_best one_star{9, 1, 1, 0, 0, "2024-05-07"};

// A store in the test's own directory "state", dated 2024-06-01.
class ProgressStoreTest : public testing::Test {
 protected:
  static progress_store store() {
    return {fs::current_path() / "state", "2024-06-01", {}, false};
  }

  scoped_temp_dir dir_;
};

using ProgressStoreDeathTest = ProgressStoreTest;

TEST_F(ProgressStoreTest, KeepsTheBestEscapeOfEachLevelAcrossPrograms) {
  progress_store first = store();
  EXPECT_EQ(load_progress(first), std::nullopt);  // none yet
  kept_result kept = keep_result(first, key_for(1), {9, 1, 1, 0, 0, ""});
  EXPECT_TRUE(kept.new_best);
  EXPECT_FALSE(kept.before);
  // Another program keeps another level in between; neither loses the other's.
  progress_store second = store();
  static_cast<void>(keep_result(second, key_for(2), three_stars));
  kept = keep_result(first, key_for(1), three_stars);
  EXPECT_EQ(kept.before, (level_best{9, 1, 1, 0, 0, "2024-06-01"}));
  EXPECT_TRUE(kept.new_best);
  kept = keep_result(first, key_for(1), one_star);
  EXPECT_FALSE(kept.new_best);
  EXPECT_EQ(kept.note, std::nullopt);

  progress_store later = store();
  EXPECT_EQ(load_progress(later), std::nullopt);
  EXPECT_EQ(later.known, (progress{{key_for(1), three_stars}, {key_for(2), three_stars}}));
  EXPECT_EQ(later.known, first.known);

  // Without a directory nothing is read or written, and escapes are known in memory.
  progress_store unsaved;
  EXPECT_EQ(load_progress(unsaved), std::nullopt);
  EXPECT_TRUE(keep_result(unsaved, key_for(3), one_star).new_best);
  EXPECT_EQ(unsaved.known.size(), 1u);
}

TEST_F(ProgressStoreTest, KeepsTheFastestTimeTheAttemptsAndTheAttemptLeft) {
  progress_store first = store();
  const unfinished_attempt left{{{1, -1}}, 0, 1, 0, 20};
  EXPECT_EQ(keep_attempt(first, key_for(1), left, true), std::nullopt);
  // Another program sees it, goes on with it and wins.
  progress_store second = store();
  EXPECT_EQ(load_progress(second), std::nullopt);
  EXPECT_EQ(second.known.at(key_for(1)).unfinished, left);
  kept_result kept = keep_result(second, key_for(1), three_stars, 50, false);
  EXPECT_TRUE(kept.new_fastest);
  EXPECT_EQ(kept.fastest_before, std::nullopt);
  kept = keep_result(second, key_for(1), three_stars, 51, true);
  EXPECT_FALSE(kept.new_fastest);
  EXPECT_EQ(kept.fastest_before, 50);
  kept = keep_result(second, key_for(1), three_stars, 49, true);
  EXPECT_TRUE(kept.new_fastest);
  // An aided escape, however fast, sets no fastest time.
  EXPECT_FALSE(keep_result(second, key_for(1), one_star, 1, true).new_fastest);
  progress_store later = store();
  EXPECT_EQ(load_progress(later), std::nullopt);
  level_record expected(three_stars);
  expected.fastest = 49;
  expected.attempts = 4;
  EXPECT_EQ(later.known.at(key_for(1)), expected);
  // A level that keeps nothing more is taken out.
  EXPECT_EQ(keep_attempt(later, key_for(2), left, false), std::nullopt);
  EXPECT_EQ(keep_attempt(later, key_for(2), std::nullopt, false), std::nullopt);
  EXPECT_FALSE(later.known.contains(key_for(2)));
}

TEST_F(ProgressStoreTest, ADamagedFileIsMovedAsideAndPlayStartsAfresh) {
  fs::create_directory("state");
  write_bytes("state/progress.damaged-1", "an older one");
  write_bytes("state/progress", "escape-puzzle progress 1\nnonsense\n");
  progress_store damaged = store();
  EXPECT_EQ(load_progress(damaged),
            "The progress file \"" + (dir_.path() / "state/progress").string() +
                "\" has a damaged line (line 2: not a level's text form and its fields), "
                "left out; it is kept as \"" +
                (dir_.path() / "state/progress.damaged-2").string() + "\" and play starts afresh.");
  EXPECT_TRUE(damaged.known.empty());
  EXPECT_EQ(read_bytes("state/progress.damaged-1"), "an older one");
  EXPECT_EQ(read_bytes("state/progress.damaged-2"), "escape-puzzle progress 1\nnonsense\n");
  EXPECT_FALSE(fs::exists("state/progress"));

  // One that cannot be read goes aside too, when it is found while keeping.
  fs::create_directory("state/progress");
  const kept_result kept = keep_result(damaged, key_for(1), one_star);
  ASSERT_TRUE(kept.note);
  EXPECT_NE(kept.note->find("cannot be read (it is no regular file); it is kept as"),
            std::string::npos);
  EXPECT_TRUE(fs::is_directory("state/progress.damaged-3"));
  EXPECT_EQ(read_bytes("state/progress"), progress_text({{key_for(1), one_star}}));
}

TEST_F(ProgressStoreTest, ABadLineLosesItselfAloneAndANewerFileIsLeftAsItIs) {
  fs::create_directory("state");
  const std::string sound = progress_text({{key_for(1), one_star}, {key_for(2), three_stars}});
  const std::string cut = sound + key_for(3) + " moves 4 st";
  write_bytes("state/progress", cut);
  progress_store store_now = store();
  EXPECT_EQ(load_progress(store_now),
            "The progress file \"" + (dir_.path() / "state/progress").string() +
                "\" has a damaged line (line 4: a field without its value), "
                "left out; it is kept as \"" +
                (dir_.path() / "state/progress.damaged-1").string() +
                "\", and the rest is played on.");
  EXPECT_EQ(store_now.known.size(), 2u);
  EXPECT_EQ(read_bytes("state/progress"), sound);
  EXPECT_EQ(read_bytes("state/progress.damaged-1"), cut);
  write_bytes("state/progress", sound + "x\n" + sound.substr(25));
  EXPECT_NE(load_progress(store_now)->find("has 3 damaged lines (the first, line 4: not a"),
            std::string::npos);

  const std::string newer = "escape-puzzle progress 3\nwhatever it holds\n";
  write_bytes("state/progress", newer);
  progress_store kept_off = store();
  EXPECT_EQ(load_progress(kept_off),
            "The progress file \"" + (dir_.path() / "state/progress").string() +
                "\" was written by a newer version of the game (\"escape-puzzle progress 3\"): it "
                "is left as it is, and progress is not saved.");
  const kept_result kept = keep_result(kept_off, key_for(1), one_star);
  EXPECT_TRUE(kept.new_best);
  EXPECT_EQ(kept.note, std::nullopt);  // said once, when it was read
  EXPECT_EQ(read_bytes("state/progress"), newer);
  EXPECT_EQ(kept_off.known.size(), 1u);
}

TEST_F(ProgressStoreTest, AProgressFileThatIsALinkIsWrittenWhereItLeads) {
  fs::create_directories("state");
  fs::create_directories("dotfiles");
  fs::create_symlink("../dotfiles/escape-progress", "state/progress");
  progress_store linked = store();
  EXPECT_EQ(load_progress(linked), std::nullopt);
  EXPECT_EQ(keep_result(linked, key_for(1), one_star).note, std::nullopt);
  EXPECT_TRUE(fs::is_symlink("state/progress"));
  EXPECT_EQ(read_bytes("dotfiles/escape-progress"), progress_text({{key_for(1), one_star}}));
  // A damaged one is set aside where it is.
  write_bytes("dotfiles/escape-progress", "nonsense");
  ASSERT_TRUE(load_progress(linked));
  EXPECT_EQ(read_bytes("dotfiles/escape-progress.damaged-1"), "nonsense");
  EXPECT_TRUE(fs::is_symlink("state/progress"));
}

TEST_F(ProgressStoreTest, AFailureToSaveIsSaidOnceAndPlayGoesOn) {
  write_bytes("state", "a file where the directory should be");
  progress_store blocked = store();
  const kept_result first = keep_result(blocked, key_for(1), one_star);
  ASSERT_TRUE(first.note);
  EXPECT_TRUE(first.note->starts_with("Cannot save the progress in \"" +
                                      (dir_.path() / "state").string() + "\" ("))
      << *first.note;
  EXPECT_TRUE(first.note->ends_with("): play goes on without saving.")) << *first.note;
  EXPECT_EQ(keep_result(blocked, key_for(2), one_star).note, std::nullopt);
  EXPECT_EQ(blocked.known.size(), 2u);
}

TEST_F(ProgressStoreDeathTest, AWriteThatFailsLeavesTheOldFileWhole) {
  progress_store saved = store();
  static_cast<void>(keep_result(saved, key_for(1), one_star));
  const std::string before = read_bytes("state/progress");
  // A limit on the size of a file makes writes fail as a full disk does,
  // whoever runs the test.
  const auto keep_with_little_room = [] {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit little{40, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &little);
    std::signal(SIGXFSZ, SIG_IGN);
    progress_store full = store();
    const kept_result kept = keep_result(full, key_for(2), three_stars);
    setrlimit(RLIMIT_FSIZE, &limit);  // room again for the message
    std::fputs(kept.note.value_or("no note").c_str(), stderr);
    std::_Exit(0);
  };
  EXPECT_EXIT(keep_with_little_room(), testing::ExitedWithCode(0),
              "^Cannot save the progress in .*state\" \\(File too large\\): play goes on without "
              "saving\\.$");
  EXPECT_EQ(read_bytes("state/progress"), before);
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("state")) {
    ++files;
  }
  EXPECT_EQ(files, 2u);  // the file and its lock, no temporary left
}

TEST_F(ProgressStoreTest, TheNextWriterRemovesTheTemporariesOfWritersThatDied) {
  fs::create_directory("state");
  write_bytes("state/.progress.AbC123", "a killed writer's");
  write_bytes("state/.progress.Live01", "a live writer's");
  write_bytes("state/.progress.mine", "no temporary");
  const int live = ::open("state/.progress.Live01", O_RDONLY);
  ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);
  progress_store saved = store();
  EXPECT_EQ(keep_result(saved, key_for(1), one_star).note, std::nullopt);
  EXPECT_FALSE(fs::exists("state/.progress.AbC123"));
  EXPECT_TRUE(fs::exists("state/.progress.Live01"));
  EXPECT_TRUE(fs::exists("state/.progress.mine"));
  ::close(live);
}

TEST_F(ProgressStoreTest, TwoGamesAtOnceLoseNothing) {
  constexpr int each = 30;
  pid_t children[2];
  for (int game = 0; game < 2; ++game) {
    children[game] = fork();
    ASSERT_GE(children[game], 0);
    if (children[game] == 0) {
      progress_store mine = store();
      for (int i = 0; i < each; ++i) {
        static_cast<void>(keep_result(mine, key_for(game * each + i), one_star));
      }
      std::_Exit(0);
    }
  }
  for (const pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  progress_store after = store();
  EXPECT_EQ(load_progress(after), std::nullopt);
  EXPECT_EQ(after.known.size(), std::size_t{2 * each});
}

}  // namespace
