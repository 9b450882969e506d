#include "model/file_calls.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

class system_file_calls final : public file_calls {
 public:
  int open(const char* path, int flags, mode_t mode) override {
    return ::open(path, flags, mode);
  }
  ssize_t write(int fd, const void* data, std::size_t size) override {
    return ::write(fd, data, size);
  }
  int fsync(int fd) override {
    return ::fsync(fd);
  }
  int close(int fd) override {
    return ::close(fd);
  }
  int lock(int fd) override {
    return ::flock(fd, LOCK_EX | LOCK_NB);
  }
  int make_temporary_file(char* pattern) override {
    return ::mkstemp(pattern);
  }
  char* make_temporary_directory(char* pattern) override {
    return ::mkdtemp(pattern);
  }
  int rename(const char* from, const char* to) override {
    return ::rename(from, to);
  }
  int exchange(const char* one, const char* other) override {
#ifdef RENAME_EXCHANGE
    return ::renameat2(AT_FDCWD, one, AT_FDCWD, other, RENAME_EXCHANGE);
#else
    static_cast<void>(one);
    static_cast<void>(other);
    errno = ENOSYS;
    return -1;
#endif
  }
  int remove_tree(const char* path) override {
    std::error_code failed;
    std::filesystem::remove_all(path, failed);
    if (failed) {
      errno = failed.value();
      return -1;
    }
    return 0;
  }
};

file_calls* active_calls = nullptr;

}  // namespace

file_calls& current_file_calls() {
  static system_file_calls system_calls;
  return active_calls != nullptr ? *active_calls : system_calls;
}

scoped_file_calls::scoped_file_calls(file_calls& calls) : previous_(active_calls) {
  active_calls = &calls;
}

scoped_file_calls::~scoped_file_calls() {
  active_calls = previous_;
}
