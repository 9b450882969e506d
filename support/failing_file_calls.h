// File calls for tests: the system's, counted, with any one made to fail or
// to end the process where it would be made.
#pragma once

#include <cerrno>

#include "model/file_calls.h"

// Passes every call on to the calls in use when it was made.
class forwarding_file_calls : public file_calls {
 public:
  int open(const char* path, int flags, mode_t mode) override;
  ssize_t write(int fd, const void* data, std::size_t size) override;
  int fsync(int fd) override;
  int close(int fd) override;
  int lock(int fd) override;
  int make_temporary_file(char* pattern) override;
  char* make_temporary_directory(char* pattern) override;
  int rename(const char* from, const char* to) override;
  int exchange(const char* one, const char* other) override;
  int remove_tree(const char* path) override;

 private:
  file_calls& next_ = current_file_calls();
};

// Counts the calls from 1 on. The one numbered `fail_at` fails with `error`,
// or, when `end_there` is set, ends the process at once with status 0, as a
// kill would, with its files and locks as the call found them. With
// `cannot_exchange` every exchange fails with EINVAL, as on a file system that
// cannot swap. Nothing is flushed to the disk: the tests need no more than the
// file system's view, and a flush takes time.
class failing_file_calls : public forwarding_file_calls {
 public:
  int open(const char* path, int flags, mode_t mode) override;
  ssize_t write(int fd, const void* data, std::size_t size) override;
  int fsync(int fd) override;
  int close(int fd) override;
  int lock(int fd) override;
  int make_temporary_file(char* pattern) override;
  char* make_temporary_directory(char* pattern) override;
  int rename(const char* from, const char* to) override;
  int exchange(const char* one, const char* other) override;
  int remove_tree(const char* path) override;

  int calls = 0;    // the calls made so far
  int fail_at = 0;  // the call that fails; 0 for none
  int error = EIO;
  bool end_there = false;
  bool cannot_exchange = false;

 private:
  // Counts a call; true, with errno set, when it is the one to fail.
  bool fails();
};
