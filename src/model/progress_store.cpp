#include "model/progress_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <sstream>
#include <tuple>
#include <vector>

#include "model/durable_file.h"
#include "model/file_calls.h"
#include "model/level_text.h"
#include "model/printable.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view version_line = "escape-puzzle progress 1";
constexpr std::string_view version_prefix = "escape-puzzle progress ";
constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

// The numbers of a line after its key, in the order the file gives them.
constexpr const char* field_names[] = {"moves", "stars", "tips", "solutions", "peeks"};

bool is_key(std::string_view word) {
  return word.size() == board_size * board_size &&
         std::all_of(word.begin(), word.end(), [](char c) {
           return c == '.' || c == 'P' || (c >= 'a' && c < 'a' + max_blockers);
         });
}

bool is_date(std::string_view word) {
  return word.size() == 10 && word[4] == '-' && word[7] == '-' &&
         std::all_of(word.begin(), word.end(),
                     [](char c) { return c == '-' || (c >= '0' && c <= '9'); });
}

std::optional<int> count_in(std::string_view word) {
  int value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc{} || end != word.data() + word.size() || value < 0) {
    return std::nullopt;
  }
  return value;
}

// One line of a level's best escape, or why it is none.
result<std::pair<std::string, level_best>> read_line(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) {
    words.push_back(word);
  }
  if (words.size() != 13 || !is_key(words[0])) {
    return failure{"not a level's text form and its seven fields"};
  }
  level_best best;
  int* const numbers[] = {&best.moves, &best.stars, &best.tips, &best.solutions, &best.peeks};
  for (std::size_t i = 0; i < std::size(field_names); ++i) {
    const std::optional<int> value = count_in(words[2 + 2 * i]);
    if (words[1 + 2 * i] != field_names[i] || !value) {
      return failure{std::string("no count of ") + field_names[i] + " where it belongs"};
    }
    *numbers[i] = *value;
  }
  if (best.stars < 1 || best.stars > 3) {
    return failure{"stars are 1 to 3"};
  }
  if (words[11] != "date" || !is_date(words[12])) {
    return failure{"no date YYYY-MM-DD where it belongs"};
  }
  best.date = words[12];
  return std::pair{words[0], best};
}

// Holds the lock on the progress directory while it lives, when it can be had.
class directory_lock {
 public:
  explicit directory_lock(const fs::path& directory) {
    fd_ = ::open((directory / progress_lock_name).c_str(),
                 O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        error_ = errno;
        ::close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~directory_lock() {
    if (fd_ >= 0) {
      ::close(fd_);  // releases the lock
    }
  }
  directory_lock(const directory_lock&) = delete;
  directory_lock& operator=(const directory_lock&) = delete;

  // The cause when the lock could not be had, else 0.
  int error() const {
    return error_;
  }

 private:
  int fd_ = -1;
  int error_ = 0;
};

// The whole of a regular file, nothing when there is none, or the cause it cannot be read.
result<std::optional<std::string>> read_whole(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) {
      return std::optional<std::string>();
    }
    return failure{system_reason(errno)};
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return failure{"it is no regular file"};
  }
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
      text.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      const int error = errno;
      ::close(fd);
      return failure{system_reason(error)};
    }
  }
  ::close(fd);
  return std::optional<std::string>(std::move(text));
}

// Renames a damaged file to the first free name FILE.damaged-N; the new name, or the cause.
result<fs::path> move_aside(const fs::path& file) {
  for (int n = 1;; ++n) {
    const fs::path aside = file.string() + ".damaged-" + std::to_string(n);
    std::error_code ignored;
    if (fs::exists(fs::symlink_status(aside, ignored))) {
      continue;
    }
    if (::rename(file.c_str(), aside.c_str()) != 0) {
      return failure{system_reason(errno)};
    }
    return aside;
  }
}

// True for the names of the progress file's temporaries, ".progress.XXXXXX".
bool is_progress_temporary(std::string_view name) {
  constexpr std::string_view prefix = ".progress.";
  return name.size() == prefix.size() + 6 && name.starts_with(prefix);
}

// Writes the text into a new temporary file beside the progress file `file`,
// flushes it to the disk and renames it into place; the cause when it fails,
// and then the old file is left as it was. Temporaries that writers before
// left there are removed first.
result<> write_progress_file(const fs::path& file, const std::string& text) {
  const fs::path directory = file.parent_path();
  remove_abandoned_temporaries(directory, is_progress_temporary);
  result<owned_temporary> temporary =
      owned_temporary::create(directory / ".progress.XXXXXX", false);
  if (!temporary) {
    return failure{temporary.reason()};
  }
  result<> written = temporary->write_whole(text);
  if (written && current_file_calls().rename(temporary->path().c_str(), file.c_str()) != 0) {
    written = failure{system_reason(errno)};
  }
  if (!written) {
    temporary->remove();
  }
  return written;
}

// The file the progress is kept in: the progress file of `directory`, or,
// where that is a symbolic link (as to dotfiles kept elsewhere), the file it
// leads to, which need not exist yet.
fs::path progress_file(const fs::path& directory) {
  fs::path file = directory / progress_file_name;
  std::error_code failed;
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(file, failed)); ++hops) {
    const fs::path target = fs::read_symlink(file, failed);
    if (failed) {
      break;
    }
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  return file;
}

// What a note says of a file whose lines were not all sound.
std::string lines_left_out(const progress_read& read) {
  return read.lost == 1 ? "has a damaged line (" + read.first_fault + "), left out"
                        : "has " + std::to_string(read.lost) + " damaged lines (the first, " +
                              read.first_fault + "), left out";
}

// The progress in `file` (none when there is no file). A file of a newer
// version gives nothing, with a note, and is left as it is. A file that cannot
// be read, or with lines that are not sound, is moved aside, its sound lines
// (if any) written back, with a note. When it cannot be moved aside or written
// back, the result is nothing, so that it is never written over.
std::optional<progress> read_or_set_aside(const fs::path& file, std::optional<std::string>& note) {
  const result<std::optional<std::string>> text = read_whole(file);
  if (text && !*text) {
    return progress{};
  }
  const result<progress_read> read = text ? read_progress_text(**text) : failure{text.reason()};
  if (text && read && read->lost == 0) {
    return read->kept;
  }
  const std::string named = "The progress file " + quoted_path(file);
  if (text && !read) {
    note = named + " " + read.reason() + ": it is left as it is, and progress is not saved.";
    return std::nullopt;
  }
  const std::string problem =
      text ? lines_left_out(*read) : "cannot be read (" + text.reason() + ")";
  const result<fs::path> aside = move_aside(file);
  if (!aside) {
    note = named + " " + problem + " and cannot be moved aside (" + aside.reason() +
           "): progress is not saved.";
    return std::nullopt;
  }
  const std::string kept_as = "; it is kept as " + quoted_path(*aside);
  if (!text || read->kept.empty()) {
    note = named + " " + problem + kept_as + " and play starts afresh.";
    return progress{};
  }
  if (const result<> written = write_progress_file(file, progress_text(read->kept)); !written) {
    note = named + " " + problem + kept_as + ", and the rest cannot be written back (" +
           written.reason() + "): progress is not saved.";
    return std::nullopt;
  }
  note = named + " " + problem + kept_as + ", and the rest is played on.";
  return read->kept;
}

int help_of(const level_best& best) {
  return best.tips + best.solutions + best.peeks;
}

}  // namespace

std::string progress_key(const play_level& level) {
  play_level ordered = level;
  std::stable_sort(ordered.blockers.begin(), ordered.blockers.end(),
                   [](const play_block& a, const play_block& b) {
                     return std::tie(a.y, a.x) < std::tie(b.y, b.x);
                   });
  return level_text(ordered);
}

bool is_better(const level_best& a, const level_best& b) {
  return std::tuple(-a.stars, a.moves, help_of(a)) < std::tuple(-b.stars, b.moves, help_of(b));
}

std::string progress_text(const progress& kept) {
  std::string text = std::string(version_line) + '\n';
  for (const auto& [key, best] : kept) {
    text += key + " moves " + std::to_string(best.moves) + " stars " + std::to_string(best.stars) +
            " tips " + std::to_string(best.tips) + " solutions " + std::to_string(best.solutions) +
            " peeks " + std::to_string(best.peeks) + " date " + best.date + '\n';
  }
  return text;
}

result<progress_read> read_progress_text(std::string_view text) {
  if (text.starts_with(byte_order_mark)) {
    text.remove_prefix(byte_order_mark.size());
  }
  progress_read read;
  const auto refuse = [&](std::size_t number, const std::string& why) {
    ++read.lost;
    if (read.first_fault.empty()) {
      read.first_fault = "line " + std::to_string(number) + ": " + why;
    }
  };
  std::size_t number = 0;
  for (std::size_t at = 0; at < text.size(); at = std::min(text.size(), text.find('\n', at)) + 1) {
    std::string line(text.substr(at, text.find('\n', at) - at));
    if (line.ends_with('\r')) {
      line.pop_back();
    }
    if (++number == 1 && line.starts_with(version_prefix) && line != version_line) {
      if (const std::optional<int> version = count_in(line.substr(version_prefix.size()));
          version && *version > 1) {
        return failure{"was written by a newer version of the game (\"" + printable(line) + "\")"};
      }
    }
    if (number == 1 && line != version_line) {
      refuse(number, "not \"" + std::string(version_line) + "\"");
    }
    if (number == 1 || line.find_first_not_of(' ') == std::string::npos || line.starts_with('#')) {
      continue;
    }
    if (const auto level = read_line(line); !level) {
      refuse(number, level.reason());
    } else if (!read.kept.insert(*level).second) {
      refuse(number, "a level given twice");
    }
  }
  return read;
}

std::optional<std::string> load_progress(progress_store& store) {
  store.known.clear();
  if (store.directory.empty()) {
    return std::nullopt;
  }
  std::error_code missing;
  if (!fs::exists(store.directory, missing)) {
    return std::nullopt;
  }
  // Under the lock, two games never both move the same file aside.
  const directory_lock lock(store.directory);
  std::optional<std::string> note;
  const std::optional<progress> known = read_or_set_aside(progress_file(store.directory), note);
  store.known = known.value_or(progress{});
  // Progress that is not saved is said once.
  store.told_of_failure = !known && note;
  return note;
}

namespace {

// Keeps `escape` under the lock: the file read again, the better escape kept
// in it, and the file written; the escape is kept in `store` either way.
void keep_in_file(progress_store& store, const std::string& key, const level_best& escape,
                  kept_result& kept) {
  const auto keep_in = [&](progress& levels) {
    const auto old = levels.find(key);
    if (old != levels.end()) {
      kept.before = old->second;
    }
    kept.new_best = !kept.before || is_better(escape, *kept.before);
    if (kept.new_best) {
      levels[key] = escape;
    }
  };
  const auto say_once = [&](std::string note) {
    if (!store.told_of_failure) {
      store.told_of_failure = true;
      kept.note = std::move(note);
    }
  };
  const auto cannot_save = [&](const std::string& cause) {
    return "Cannot save the progress in " + quoted_path(store.directory) + " (" + cause +
           "): play goes on without saving.";
  };
  std::error_code failed;
  if (!store.directory.empty()) {
    fs::create_directories(store.directory, failed);
  }
  if (store.directory.empty() || failed) {
    keep_in(store.known);
    if (failed) {
      say_once(cannot_save(failed.message()));
    }
    return;
  }
  const directory_lock lock(store.directory);
  const fs::path file = progress_file(store.directory);
  std::optional<std::string> note;
  std::optional<progress> current;
  if (lock.error() == 0) {
    current = read_or_set_aside(file, note);
  }
  if (!current) {
    keep_in(store.known);
    say_once(note ? *note : cannot_save(system_reason(lock.error())));
    return;
  }
  kept.note = note;
  keep_in(*current);
  if (const result<> written = write_progress_file(file, progress_text(*current)); !written) {
    say_once(cannot_save(written.reason()));
  }
  store.known = std::move(*current);
}

}  // namespace

kept_result keep_result(progress_store& store, const std::string& key, level_best escape) {
  if (escape.date.empty()) {
    escape.date = store.today;
  }
  kept_result kept;
  keep_in_file(store, key, escape, kept);
  return kept;
}
