#include "model/progress_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <functional>
#include <sstream>
#include <tuple>
#include <vector>

#include "model/durable_file.h"
#include "model/file_calls.h"
#include "model/level_text.h"
#include "model/printable.h"
#include "model/progress_text.h"

namespace fs = std::filesystem;

namespace {

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

}  // namespace

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

// Changes the record of level `key` with `change`: under a lock on the
// directory, in the file as it is now (so that what other games kept stays),
// written whole or not at all; a level left with nothing to keep is taken
// out. Without a directory, or when the file cannot be written, the change is
// made to what this program knows. The line to say, if any: a damaged file
// moved aside, or a failure to save (said once).
std::optional<std::string> change_level(progress_store& store, const std::string& key,
                                        const std::function<void(level_record&)>& change) {
  const auto change_in = [&](progress& levels) {
    change(levels[key]);
    if (levels[key] == level_record{}) {
      levels.erase(key);
    }
  };
  std::optional<std::string> said;
  const auto say_once = [&](std::string note) {
    if (!store.told_of_failure) {
      store.told_of_failure = true;
      said = std::move(note);
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
    change_in(store.known);
    if (failed) {
      say_once(cannot_save(failed.message()));
    }
    return said;
  }
  const directory_lock lock(store.directory);
  const fs::path file = progress_file(store.directory);
  std::optional<std::string> note;
  std::optional<progress> current;
  if (lock.error() == 0) {
    current = read_or_set_aside(file, note);
  }
  if (!current) {
    change_in(store.known);
    say_once(note ? *note : cannot_save(system_reason(lock.error())));
    return said;
  }
  said = note;
  change_in(*current);
  if (const result<> written = write_progress_file(file, progress_text(*current)); !written) {
    say_once(cannot_save(written.reason()));
  }
  store.known = std::move(*current);
  return said;
}

}  // namespace

kept_result keep_result(progress_store& store, const std::string& key, level_best escape,
                        std::optional<int> seconds, bool new_attempt) {
  if (escape.date.empty()) {
    escape.date = store.today;
  }
  const bool aided = escape.tips + escape.solutions + escape.peeks > 0;
  kept_result kept;
  kept.note = change_level(store, key, [&](level_record& record) {
    kept.before = record.best;
    kept.new_best = !kept.before || is_better(escape, *kept.before);
    if (kept.new_best) {
      record.best = escape;
    }
    kept.fastest_before = record.fastest;
    kept.new_fastest = seconds && !aided && (!record.fastest || *seconds < *record.fastest);
    if (kept.new_fastest) {
      record.fastest = seconds;
    }
    record.attempts += new_attempt ? 1 : 0;
    record.unfinished.reset();
  });
  return kept;
}

std::optional<std::string> keep_attempt(progress_store& store, const std::string& key,
                                        const std::optional<unfinished_attempt>& attempt,
                                        bool new_attempt) {
  return change_level(store, key, [&](level_record& record) {
    record.attempts += new_attempt ? 1 : 0;
    record.unfinished = attempt;
  });
}
