// Files that must reach the disk whole before they are given their names, and
// the temporaries they are written in.
//
// A temporary is owned by the process that made it for as long as that
// process holds an flock on it; the lock goes when the process ends, however
// it ends. The next writer in a directory removes the temporaries it can lock:
// their writers are gone. A lock is chosen over a process id in the name,
// which kill(pid, 0) would test, because an id is reused and means nothing in
// another pid namespace or on another machine sharing the directory, while a
// lock needs no such guess.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "model/result.h"

// The system's word for the cause errno `error` names.
std::string system_reason(int error);

// Writes all `size` bytes at `data` to the open file `fd`, again after a
// short write or an interruption. The reason is the system's word for the cause.
result<> write_all(int fd, const void* data, std::size_t size);

// Writes all the bytes, flushes them to the disk and closes `fd`, closed
// either way; the reason is the system's word for the first failure.
result<> write_flush_close(int fd, const void* data, std::size_t size);

// A temporary file or directory: a name no other file has, made by mkstemp or
// mkdtemp from a pattern ending in XXXXXX, and locked while the object lives.
// It is not removed when the object goes: it has been renamed, or `remove` did it.
class owned_temporary {
 public:
  // A new temporary file (open for writing) or directory (readable to others
  // as a directory made by mkdir would be); the reason is the system's word.
  static result<owned_temporary> create(const std::filesystem::path& pattern, bool directory);
  ~owned_temporary();
  owned_temporary(owned_temporary&& other) noexcept;
  owned_temporary& operator=(owned_temporary&&) = delete;
  owned_temporary(const owned_temporary&) = delete;
  owned_temporary& operator=(const owned_temporary&) = delete;

  // Where it is.
  const std::filesystem::path& path() const {
    return path_;
  }
  // Writes the bytes into the temporary file and flushes them to the disk.
  result<> write_whole(std::string_view bytes);
  // Flushes the entries of the temporary directory to the disk.
  result<> flush();
  // Removes it, with everything in it.
  void remove();

 private:
  owned_temporary(std::filesystem::path path, int fd) : path_(std::move(path)), fd_(fd) {}

  std::filesystem::path path_;
  int fd_ = -1;  // open while the object lives; holds the lock
};

// Removes the temporaries in `directory` whose names `is_temporary` accepts
// and that no live process owns: the regular files and directories it can
// lock. Anything it cannot open or lock is left.
void remove_abandoned_temporaries(const std::filesystem::path& directory,
                                  const std::function<bool(std::string_view name)>& is_temporary);

// Flushes the entries of `directory` to the disk, so that a rename in it is
// kept; the reason is the system's word for the cause.
result<> flush_directory(const std::filesystem::path& directory);
