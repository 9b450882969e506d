#include "model/progress_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/level_search.h"
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

TEST_F(ProgressStoreTest, ReadsBackWhatItWritesAndSaysWhereItIsDamaged) {
  const progress kept{{key_for(0), three_stars}, {key_for(40), one_star}};
  EXPECT_EQ(progress_text({{key_for(0), three_stars}}),
            "escape-puzzle progress 1\n" + key_for(0) +
                " moves 2 stars 3 tips 0 solutions 0 peeks 0 date 2024-05-06\n");
  const std::string text = progress_text(kept);
  const result<progress> read = read_progress_text("\n# mine\n" + text.substr(25) + "\n");
  EXPECT_FALSE(read);
  EXPECT_EQ(read.reason(), "line 1: not \"escape-puzzle progress 1\"");
  const std::string edited = text + "\n# a note of mine\n";
  ASSERT_TRUE(read_progress_text(edited));
  EXPECT_EQ(*read_progress_text(edited), kept);

  const std::string line = key_for(1) + " moves 2 stars 3 tips 0 solutions 0 peeks 0 date ";
  const std::pair<std::string, const char*> damaged[] = {
      {line + "2024-05-06 more", "line 2: not a level's text form and its seven fields"},
      {line + "2024-5-06.", "line 2: no date YYYY-MM-DD where it belongs"},
      {key_for(1) + " moves 2 stars 4 tips 0 solutions 0 peeks 0 date 2024-05-06",
       "line 2: stars are 1 to 3"},
      {key_for(1) + " moves -2 stars 3 tips 0 solutions 0 peeks 0 date 2024-05-06",
       "line 2: no count of moves where it belongs"},
      {line + "2024-05-06\n" + line + "2024-05-07", "line 3: a level given twice"}};
  for (const auto& [lines, why] : damaged) {
    const result<progress> refused = read_progress_text("escape-puzzle progress 1\n" + lines);
    ASSERT_FALSE(refused) << lines;
    EXPECT_EQ(refused.reason(), why);
  }
}

TEST_F(ProgressStoreTest, MoreStarsThenFewerMovesThenLessHelpIsBetter) {
  EXPECT_TRUE(is_better(three_stars, one_star));
  EXPECT_FALSE(is_better(one_star, three_stars));
  EXPECT_TRUE(is_better({5, 1, 0, 0, 0, ""}, {6, 1, 0, 0, 0, ""}));
  EXPECT_TRUE(is_better({5, 1, 0, 0, 0, ""}, {5, 1, 0, 1, 0, ""}));
  EXPECT_FALSE(is_better(one_star, one_star));
  // A board has one key, however its blockers are lettered.
  play_level level = two_move_level();
  const std::string key = progress_key(level);
  std::swap(level.blockers[0], level.blockers[3]);
  EXPECT_EQ(progress_key(level), key);
  EXPECT_EQ(key, "aaa......b.....b.c.PPb.c..........dd");
}

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

TEST_F(ProgressStoreTest, ADamagedFileIsMovedAsideAndPlayStartsAfresh) {
  fs::create_directory("state");
  write_bytes("state/progress.damaged-1", "an older one");
  write_bytes("state/progress", "escape-puzzle progress 1\nnonsense\n");
  progress_store damaged = store();
  EXPECT_EQ(load_progress(damaged),
            "The progress file \"" + (dir_.path() / "state/progress").string() +
                "\" is damaged (line 2: not a level's text form and its seven fields); it is "
                "kept as \"" +
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
