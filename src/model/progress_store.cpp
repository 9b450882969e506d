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
#include "model/level_text.h"
#include "model/printable.h"
#include "model/progress_text.h"

namespace fs = std::filesystem;

namespace {

std::string system_reason(int error) {
  return std::strerror(error);
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

// The progress in the directory's file (none when there is no file). A file
// that is damaged or cannot be read is moved aside and gives no progress, with
// a note; when it cannot be moved aside, the result is nothing, so that it is
// never written over.
std::optional<progress> read_or_set_aside(const fs::path& directory,
                                          std::optional<std::string>& note) {
  const fs::path file = directory / progress_file_name;
  const result<std::optional<std::string>> text = read_whole(file);
  std::string problem;
  if (!text) {
    problem = "cannot be read (" + text.reason() + ")";
  } else if (!*text) {
    return progress{};
  } else if (const result<progress> read = read_progress_text(**text); read) {
    return *read;
  } else {
    problem = "is damaged (" + read.reason() + ")";
  }
  const result<fs::path> aside = move_aside(file);
  if (!aside) {
    note = "The progress file " + quoted_path(file) + " " + problem +
           " and cannot be moved aside (" + aside.reason() + "): progress is not saved.";
    return std::nullopt;
  }
  note = "The progress file " + quoted_path(file) + " " + problem + "; it is kept as " +
         quoted_path(*aside) + " and play starts afresh.";
  return progress{};
}

// Writes the text into a new temporary file beside the progress file, flushes
// it to the disk and renames it into place; the cause when it fails, and then
// the old file is left as it was.
result<> write_progress_file(const fs::path& directory, const std::string& text) {
  std::string pattern = (directory / ".progress.XXXXXX").string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    return failure{system_reason(errno)};
  }
  int error = write_flush_close(fd, text.data(), text.size());
  if (error == 0 && ::rename(pattern.c_str(), (directory / progress_file_name).c_str()) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(pattern.c_str());
    return failure{system_reason(error)};
  }
  return {};
}

// Changes the record of level `key` with `change`: under a lock on the
// directory, in the file as it is now (so that what other games kept stays),
// written whole or not at all. A level left with nothing to keep is taken
// out. Without a directory, or when the file cannot be written, the change is
// made to what this program knows. The line to say, if any: a damaged file
// moved aside, or a save that failed (said once).
std::optional<std::string> change_level(progress_store& store, const std::string& key,
                                        const std::function<void(level_record&)>& change) {
  const auto change_in = [&](progress& levels) {
    change(levels[key]);
    if (levels[key] == level_record{}) {
      levels.erase(key);
    }
  };
  std::optional<std::string> note;
  const auto said_once = [&](const std::string& cause) {
    if (!store.told_of_failure && !note) {
      store.told_of_failure = true;
      note = "Cannot save the progress in " + quoted_path(store.directory) + " (" + cause +
             "): play goes on without saving.";
    }
  };
  if (store.directory.empty()) {
    change_in(store.known);
    return note;
  }
  std::error_code failed;
  fs::create_directories(store.directory, failed);
  const directory_lock lock(store.directory);
  if (failed || lock.error() != 0) {
    change_in(store.known);
    said_once(failed ? failed.message() : system_reason(lock.error()));
    return note;
  }
  std::optional<progress> current = read_or_set_aside(store.directory, note);
  if (!current) {
    change_in(store.known);
    return note;
  }
  change_in(*current);
  if (const result<> written = write_progress_file(store.directory, progress_text(*current));
      !written) {
    said_once(written.reason());
  }
  store.known = std::move(*current);
  return note;
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
  store.known = read_or_set_aside(store.directory, note).value_or(progress{});
  return note;
}

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
