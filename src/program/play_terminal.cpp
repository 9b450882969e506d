#include "program/play_terminal.h"

#include <curses.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string_view>

#include "game/level_worker.h"
#include "game/palette.h"

namespace {

// The signal that asked the game to end, 0 while none has.
volatile std::sig_atomic_t stopped_by = 0;
// Set when Ctrl-Z asks the game to stop for a while.
volatile std::sig_atomic_t suspend_asked = 0;

extern "C" void note_signal(int signal) {
  if (signal == SIGTSTP) {
    suspend_asked = 1;
  } else {
    stopped_by = signal;
  }
}

constexpr int caught_signals[] = {SIGINT, SIGTERM, SIGTSTP};

// Catches SIGINT, SIGTERM and SIGTSTP (those not ignored) while it lives, so
// that the game restores the terminal before the program ends or stops.
class signal_catcher {
 public:
  signal_catcher() {
    struct sigaction action {};
    action.sa_handler = note_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: the signal ends the wait for a key
    for (std::size_t i = 0; i < std::size(caught_signals); ++i) {
      sigaction(caught_signals[i], nullptr, &old_[i]);
      if (old_[i].sa_handler != SIG_IGN) {
        sigaction(caught_signals[i], &action, nullptr);
      }
    }
  }
  ~signal_catcher() {
    for (std::size_t i = 0; i < std::size(caught_signals); ++i) {
      sigaction(caught_signals[i], &old_[i], nullptr);
    }
  }
  signal_catcher(const signal_catcher&) = delete;
  signal_catcher& operator=(const signal_catcher&) = delete;

 private:
  struct sigaction old_[std::size(caught_signals)] = {};
};

// Stops the program for Ctrl-Z with the terminal restored, and takes the
// terminal over again when the program continues.
void suspend() {
  endwin();
  struct sigaction stop {};
  stop.sa_handler = SIG_DFL;
  sigemptyset(&stop.sa_mask);
  struct sigaction caught {};
  sigaction(SIGTSTP, &stop, &caught);
  std::raise(SIGTSTP);  // returns once the program continues
  sigaction(SIGTSTP, &caught, nullptr);
  refresh();
  keypad(stdscr, TRUE);  // the keys' own codes were turned off with the rest
}

// Colour pairs: faults, the win, then one for each block number in turn.
constexpr short fault_pair = 1;
constexpr short won_pair = 2;
constexpr short first_block_pair = 3;

// The terminal's code of a colour of the palette.
short curses_colour(basic_colour colour) {
  static_assert(COLOR_BLACK == 0 && COLOR_RED == 1 && COLOR_WHITE == 7);
  return static_cast<short>(colour);
}

// The prisoner white on its colour, each blocker black on its own: one of
// its own among 256 colours where the terminal has them, else one of eight.
void init_block_pairs() {
  const bool many = COLORS >= 256;
  for (int number = prisoner_number; number < max_blocks; ++number) {
    if (many) {
      init_pair(static_cast<short>(first_block_pair + number),
                static_cast<short>(letter_colour_256(number)),
                static_cast<short>(block_colour_256(number)));
    } else {
      init_pair(static_cast<short>(first_block_pair + number),
                number == prisoner_number ? COLOR_WHITE : COLOR_BLACK,
                curses_colour(block_colour(number)));
    }
  }
}

// Turns the terminal's mouse reports on or off: off, the terminal's own
// selection copies text from the screen.
void report_mouse(bool on) {
  mousemask(on ? BUTTON1_PRESSED : 0, nullptr);
}

// The terminal in full-screen mode while it lives; restored whichever way the
// game ends, an exception included.
class curses_terminal {
 public:
  explicit curses_terminal(bool colour) {
    screen_ = newterm(nullptr, stdout, stdin);
    if (screen_ == nullptr) {
      throw std::runtime_error("cannot take over the terminal");
    }
    cbreak();
    noecho();
    keypad(stdscr, TRUE);
    set_escdelay(25);
    curs_set(0);
    report_mouse(true);
    mouseinterval(0);
    colour_ = colour && has_colors();
    if (colour_) {
      start_color();
      use_default_colors();
      init_block_pairs();
      init_pair(fault_pair, COLOR_RED, -1);
      init_pair(won_pair, COLOR_GREEN, -1);
    }
  }
  ~curses_terminal() {
    endwin();
    delscreen(screen_);
  }
  curses_terminal(const curses_terminal&) = delete;
  curses_terminal& operator=(const curses_terminal&) = delete;

  bool colour() const {
    return colour_;
  }

 private:
  SCREEN* screen_ = nullptr;
  bool colour_ = false;
};

chtype block_pair(int number) {
  return COLOR_PAIR(first_block_pair + number);
}

chtype attributes_of(screen_look look, bool colour) {
  const chtype own_colour = colour && look.block != no_block ? block_pair(look.block) : 0;
  switch (look.kind) {
    case look_kind::exit:
      return A_BOLD;
    case look_kind::block:
      return own_colour;
    case look_kind::picked:
      return own_colour | A_REVERSE | A_BOLD;
    case look_kind::tip:
      return own_colour | A_REVERSE | A_BOLD | A_UNDERLINE;
    case look_kind::fault:
      return A_BOLD | (colour ? COLOR_PAIR(fault_pair) : 0);
    case look_kind::won:
      return A_BOLD | (colour ? COLOR_PAIR(won_pair) : 0);
    default:
      return A_NORMAL;
  }
}

void draw(const screen_picture& picture, bool colour) {
  erase();
  for (std::size_t row = 0; row < picture.text.size(); ++row) {
    const std::string& text = picture.text[row];
    for (std::size_t column = 0; column < text.size(); ++column) {
      mvaddch(static_cast<int>(row), static_cast<int>(column),
              static_cast<unsigned char>(text[column]) |
                  attributes_of(picture.looks[row][column], colour));
    }
  }
  refresh();
}

// The model's key for a key the terminal reported, or nothing for events the
// game ignores (a mouse event other than a press of the first button). A
// click names the board cell under it on the game's screen.
std::optional<screen_key> key_of(int pressed, const screen_game& game) {
  switch (pressed) {
    case KEY_UP:
      return screen_key{key_code::up};
    case KEY_DOWN:
      return screen_key{key_code::down};
    case KEY_LEFT:
      return screen_key{key_code::left};
    case KEY_RIGHT:
      return screen_key{key_code::right};
    case '\t':
      return screen_key{key_code::tab};
    case KEY_BTAB:
      return screen_key{key_code::back_tab};
    case 27:
      return screen_key{key_code::escape};
    case '\n':
    case '\r':
    case KEY_ENTER:
      return screen_key{key_code::enter};
    case KEY_RESIZE:
      return screen_key{key_code::resize, 0, getmaxy(stdscr), getmaxx(stdscr)};
    case KEY_MOUSE: {
      MEVENT event{};
      if (getmouse(&event) != OK || (event.bstate & BUTTON1_PRESSED) == 0) {
        return std::nullopt;
      }
      const cell on = board_cell_at(game, event.y, event.x).value_or(cell{-1, -1});
      return screen_key{key_code::click, 0, on.y, on.x};
    }
    default:
      if (pressed >= ' ' && pressed < 127) {
        return screen_key{key_code::character, static_cast<char>(pressed)};
      }
      return screen_key{key_code::other};
  }
}

// Time between two looks at a level being made.
constexpr int wait_tick_ms = 100;

// True when no more keys can come: the terminal has hung up or the input is closed.
bool input_has_ended() {
  pollfd input{STDIN_FILENO, POLLIN, 0};
  return poll(&input, 1, 0) == 1 && (input.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

// How long to wait for a key: a tick while a level is made, else until the
// game's next step of its own (-1: for ever).
int key_timeout(const screen_game& game) {
  if (game.making) {
    return wait_tick_ms;
  }
  return step_wait_ms(game);
}

// Reads keys and plays the solution's steps until the player leaves, a signal
// comes or the input ends. A level being made is stopped on every way out.
void run(screen_game& game, bool colour) {
  level_worker worker;
  bool mouse_on = true;
  draw(lay_out(game), colour);
  while (stopped_by == 0) {
    timeout(key_timeout(game));
    const int pressed = getch();
    if (suspend_asked != 0) {
      suspend_asked = 0;
      suspend();
    }
    if (stopped_by != 0 || (pressed == ERR && input_has_ended())) {
      return;
    }
    const bool was_won = game.note_is == note_kind::won;
    if (pressed == ERR && game.making) {
      if (worker.done()) {
        level_made(game, worker.take());
      } else {
        wait_for_level(game, worker.seconds());
      }
    } else if (pressed == ERR && step_wait_ms(game) >= 0) {
      play_step(game);
    } else if (pressed != ERR) {
      const std::optional<screen_key> key = key_of(pressed, game);
      if (key && press(game, *key) == screen_action::leave) {
        return;
      }
    }
    if (!was_won && game.note_is == note_kind::won) {
      flushinp();  // keys typed ahead do not skip the news of the escape
    }
    follow_wait(worker, game);
    if (mouse_on == game.showing_command) {
      mouse_on = !mouse_on;
      report_mouse(mouse_on);
    }
    draw(lay_out(game), colour);
  }
}

}  // namespace

int play_full_screen(const offered_level& offered, const full_screen_options& options) {
  stopped_by = 0;
  std::string closing;
  try {
    const signal_catcher catcher;
    const curses_terminal terminal(options.colour);
    screen_game game = start_screen(offered, getmaxy(stdscr), getmaxx(stdscr), options.setup);
    run(game, terminal.colour());
    closing = closing_line(game);
  } catch (const std::exception& error) {
    std::cerr << "escape_play: " << error.what() << std::endl;
    return 1;
  }
  if (stopped_by != 0) {
    std::raise(stopped_by);  // the signal's own handling is back in place
    return 128 + stopped_by;
  }
  std::cout << closing << std::endl;
  return 0;
}

// The terminal description's names (lines, columns ...) are macros, so it comes last.
#include <term.h>

bool full_screen_available() {
  const char* type = std::getenv("TERM");
  if (isatty(STDIN_FILENO) != 1 || isatty(STDOUT_FILENO) != 1 || type == nullptr || *type == '\0' ||
      std::string_view(type) == "dumb") {
    return false;
  }
  int found = 0;
  if (setupterm(type, STDOUT_FILENO, &found) != OK) {
    return false;
  }
  del_curterm(cur_term);
  return true;
}
