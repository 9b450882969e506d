// escape_play as a person meets it: on a terminal (inside tmux) and in pipes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>

#include "game/campaign.h"
#include "search/play_solver.h"
#include "support/level_search.h"
#include "support/scratch_dir.h"

namespace {

// What a shell command prints on standard output.
std::string output_of(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return output;
  }
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    output.append(buffer, got);
  }
  pclose(pipe);
  return output;
}

// A tmux server of the test's own, on a socket in its directory; stopped at the end.
class tmux_server {
 public:
  explicit tmux_server(const std::filesystem::path& socket)
      : prefix_("env -u TMUX tmux -f /dev/null -S '" + socket.string() + "' ") {}
  ~tmux_server() {
    run("kill-server");
  }
  tmux_server(const tmux_server&) = delete;
  tmux_server& operator=(const tmux_server&) = delete;

  std::string run(const std::string& arguments) const {
    return output_of(prefix_ + arguments + " 2>&1");
  }

  // The text on the session's screen.
  std::string screen() const {
    return run("capture-pane -p -t game");
  }

 private:
  std::string prefix_;
};

// Polls until `done` holds; false when it still does not after a few seconds.
template <class condition>
bool eventually(condition done) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > give_up) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

void write_two_move_level() {
  const test_level level = two_move_level();
  write_level(level);
}

TEST(PlayTerminalTest, PlaysOnTheWholeTerminalAndLeavesItUsable) {
  ASSERT_EQ(std::system("command -v tmux >/dev/null"), 0) << "the test needs tmux";
  scoped_temp_dir dir;
  write_two_move_level();
  // The game, then the exit status and the terminal's settings after it. The
  // terminal's description names Home otherwise than tmux sends it.
  write_bytes("play.sh", "TERM=xterm-256color XDG_STATE_HOME='" + (dir.path() / "state").string() +
                             "' '" + ESCAPE_PLAY_PATH +
                             "'\nstatus=$?\nstty -a > stty\necho $status > status\n");
  const tmux_server tmux(dir.path() / "tmux.sock");
  tmux.run("new-session -d -x 80 -y 24 -s game -c '" + dir.path().string() + "' 'sh play.sh'");

  std::string screen;
  ASSERT_TRUE(eventually([&] {
    screen = tmux.screen();
    return screen.find("exit") != std::string::npos;
  })) << screen;
  EXPECT_NE(screen.find("|ddddddddddddddddd "), std::string::npos) << screen;
  EXPECT_NE(screen.find("PPPPPPPPPPP aaaaa"), std::string::npos) << screen;

  tmux.run("send-keys -t game a Up");
  ASSERT_TRUE(eventually([&] {
    screen = tmux.screen();
    return screen.find("Moves made: 1 in") != std::string::npos;
  })) << screen;
  EXPECT_NE(screen.find("|ddddddddddddddddd aaaaa "), std::string::npos) << screen;
  EXPECT_NE(screen.find("PPPPPPPPPPP       "), std::string::npos) << screen;

  // Escape, Alt and a key, and Home never quit; each says so.
  const auto shows = [&](const std::string& text) {
    return eventually([&] {
      screen = tmux.screen();
      return screen.find(text) != std::string::npos;
    });
  };
  for (const auto& [keys, said] : {std::pair{"Escape", "Escape does not quit"},
                                   {"u", "Took back"},
                                   {"M-a", "That key does nothing"},
                                   {"U", "again."},
                                   {"Home", "That key does nothing"}}) {
    tmux.run(std::string("send-keys -t game ") + keys);
    EXPECT_TRUE(shows(said)) << keys << "\n" << screen;
  }
  EXPECT_NE(screen.find("Moves made: 1 in"), std::string::npos) << screen;
  EXPECT_TRUE(read_bytes("status").empty());

  tmux.run("send-keys -t game q");
  ASSERT_TRUE(eventually([] { return !read_bytes("status").empty(); })) << tmux.screen();
  EXPECT_EQ(read_bytes("status"), "0\n");
  // Echo and whole lines are back on.
  const std::string settings = read_bytes("stty");
  std::istringstream words_in(settings);
  const std::set<std::string> words{std::istream_iterator<std::string>(words_in), {}};
  EXPECT_TRUE(words.contains("echo") && words.contains("icanon")) << settings;
  // The attempt is kept to go on with, its block lettered as the level's key letters it.
  EXPECT_NE(read_bytes("state/escape-puzzle/progress").find(" unfinished b-1 "), std::string::npos);
}

TEST(PlayTerminalTest, ANewLevelIsMadeWhileKeysAndCtrlCAreHeard) {
  ASSERT_EQ(std::system("command -v tmux >/dev/null"), 0) << "the test needs tmux";
  scoped_temp_dir dir;
  // A level of 50 moves: `n` makes another one, which takes the maker far longer than a key.
  // The shell outlives the Ctrl-C that ends the game, to keep its status.
  // The progress goes into the test's own directory, never the real home.
  write_bytes("play.sh", "trap : INT\nXDG_STATE_HOME='" + (dir.path() / "state").string() + "' '" +
                             ESCAPE_PLAY_PATH +
                             "' --level aabcc...bdeefffd.ghijPPghij.kgh.llk.\nstatus=$?\n"
                             "stty -a > stty\necho $status > status\n");
  const tmux_server tmux(dir.path() / "tmux.sock");
  tmux.run("new-session -d -x 80 -y 24 -s game -c '" + dir.path().string() + "' 'sh play.sh'");
  const auto shows = [&](const char* text) {
    std::string screen;
    const bool shown = eventually([&] {
      screen = tmux.screen();
      return screen.find(text) != std::string::npos;
    });
    EXPECT_TRUE(shown) << text << " not in\n" << screen;
    return shown;
  };
  ASSERT_TRUE(shows("Fewest: 50"));
  tmux.run("send-keys -t game n x");
  ASSERT_TRUE(shows("Stopped making a new level."));
  tmux.run("send-keys -t game n");
  ASSERT_TRUE(shows("Making a level of 50 moves..."));
  tmux.run("send-keys -t game C-c");
  ASSERT_TRUE(eventually([] { return !read_bytes("status").empty(); })) << tmux.screen();
  EXPECT_EQ(read_bytes("status"), "130\n");
  EXPECT_NE(read_bytes("stty").find(" icanon "), std::string::npos);
}

TEST(PlayTerminalTest, StartsTheCampaignWhereNoLevelIsAndOffersTheNextLevelAfterAWin) {
  ASSERT_EQ(std::system("command -v tmux >/dev/null"), 0) << "the test needs tmux";
  scoped_temp_dir dir;
  // The progress goes into the test's own directory, never the real home.
  write_bytes("play.sh", "XDG_STATE_HOME='" + (dir.path() / "state").string() + "' HOME='" +
                             dir.path().string() + "' '" + ESCAPE_PLAY_PATH +
                             "'\necho $? > status\n");
  const tmux_server tmux(dir.path() / "tmux.sock");
  tmux.run("new-session -d -x 80 -y 24 -s game -c '" + dir.path().string() + "' 'sh play.sh'");
  const auto shows = [&](const std::string& text) {
    std::string screen;
    const bool shown = eventually([&] {
      screen = tmux.screen();
      return screen.find(text) != std::string::npos;
    });
    EXPECT_TRUE(shown) << "no \"" << text << "\" on the screen:\n" << screen;
    return shown;
  };
  ASSERT_TRUE(shows(campaign_title(1)));

  // Level 1 in its fewest moves, one arrow a cell.
  const play_level first = campaign_level(1).level;
  const std::optional<std::vector<play_move>> solution = solve_level(first);
  std::string keys;
  for (const play_move& move : *solution) {
    const bool across = block_of(first, move.block).horizontal;
    const char* arrow =
        across ? (move.distance < 0 ? " Left" : " Right") : (move.distance < 0 ? " Up" : " Down");
    keys += std::string(" ") + block_letter(move.block);
    for (int cell = 0; cell < std::abs(move.distance); ++cell) {
      keys += arrow;
    }
  }
  tmux.run("send-keys -t game " + keys);
  ASSERT_TRUE(shows("Enter  the next level: " + campaign_title(2)));
  EXPECT_TRUE(shows("A perfect escape."));
  tmux.run("send-keys -t game Enter");
  ASSERT_TRUE(shows(campaign_title(2)));
  tmux.run("send-keys -t game q");
  ASSERT_TRUE(eventually([] { return !read_bytes("status").empty(); })) << tmux.screen();
  EXPECT_EQ(read_bytes("status"), "0\n");
  EXPECT_NE(read_bytes("state/escape-puzzle/progress").find(campaign_entries()[0].text),
            std::string::npos);
}

TEST(PlayTerminalTest, PlaysLineByLineInPipesAndRefusesUnknownArguments) {
  scoped_temp_dir dir;
  write_two_move_level();
  const std::string program =
      "XDG_STATE_HOME='" + (dir.path() / "state").string() + "' '" + ESCAPE_PLAY_PATH + "'";
  for (const char* arguments : {"", " --lines"}) {
    const int status = std::system((program + arguments + " </dev/null >out 2>err").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(read_bytes("out").substr(0, 19), "Free the prisoner P");
  }
  const int status = std::system((program + " --colour </dev/null >out 2>err").c_str());
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_TRUE(read_bytes("err").starts_with(
      "escape_play: unknown argument '--colour'\nusage: escape_play"));
  EXPECT_EQ(read_bytes("out"), "");
}

}  // namespace
