// The system calls through which files that must reach the disk whole are
// written, behind an interface so that a test can make any one of them fail.
#pragma once

#include <sys/types.h>

#include <cstddef>

// The calls; each returns what its system call returns and sets errno alike.
class file_calls {
 public:
  virtual ~file_calls() = default;
  virtual int open(const char* path, int flags, mode_t mode) = 0;
  virtual ssize_t write(int fd, const void* data, std::size_t size) = 0;
  virtual int fsync(int fd) = 0;
  virtual int close(int fd) = 0;
  // flock(fd, LOCK_EX | LOCK_NB): takes the lock without waiting for it.
  virtual int lock(int fd) = 0;
  virtual int make_temporary_file(char* pattern) = 0;         // mkstemp
  virtual char* make_temporary_directory(char* pattern) = 0;  // mkdtemp
  virtual int rename(const char* from, const char* to) = 0;
  // Swaps two names in one atomic step (renameat2 with RENAME_EXCHANGE); fails
  // with EINVAL, ENOSYS or ENOTSUP where the file system or the system cannot.
  virtual int exchange(const char* one, const char* other) = 0;
  // Removes a file or a directory with everything in it; 0, or -1 with errno.
  virtual int remove_tree(const char* path) = 0;
};

// The calls in use: the system's, unless a test replaced them.
file_calls& current_file_calls();

// Makes the file writers use other calls for the guard's lifetime.
class scoped_file_calls {
 public:
  explicit scoped_file_calls(file_calls& calls);
  ~scoped_file_calls();
  scoped_file_calls(const scoped_file_calls&) = delete;
  scoped_file_calls& operator=(const scoped_file_calls&) = delete;

 private:
  file_calls* previous_;
};
