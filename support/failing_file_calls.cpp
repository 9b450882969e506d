#include "support/failing_file_calls.h"

#include <cstdlib>

int forwarding_file_calls::open(const char* path, int flags, mode_t mode) {
  return next_.open(path, flags, mode);
}
ssize_t forwarding_file_calls::write(int fd, const void* data, std::size_t size) {
  return next_.write(fd, data, size);
}
int forwarding_file_calls::fsync(int fd) {
  return next_.fsync(fd);
}
int forwarding_file_calls::close(int fd) {
  return next_.close(fd);
}
int forwarding_file_calls::lock(int fd) {
  return next_.lock(fd);
}
int forwarding_file_calls::make_temporary_file(char* pattern) {
  return next_.make_temporary_file(pattern);
}
char* forwarding_file_calls::make_temporary_directory(char* pattern) {
  return next_.make_temporary_directory(pattern);
}
int forwarding_file_calls::rename(const char* from, const char* to) {
  return next_.rename(from, to);
}
int forwarding_file_calls::exchange(const char* one, const char* other) {
  return next_.exchange(one, other);
}
int forwarding_file_calls::remove_tree(const char* path) {
  return next_.remove_tree(path);
}

bool failing_file_calls::fails() {
  if (++calls != fail_at) {
    return false;
  }
  if (end_there) {
    std::_Exit(0);
  }
  errno = error;
  return true;
}

int failing_file_calls::open(const char* path, int flags, mode_t mode) {
  return fails() ? -1 : forwarding_file_calls::open(path, flags, mode);
}
ssize_t failing_file_calls::write(int fd, const void* data, std::size_t size) {
  return fails() ? -1 : forwarding_file_calls::write(fd, data, size);
}
int failing_file_calls::fsync(int) {
  return fails() ? -1 : 0;
}
int failing_file_calls::close(int fd) {
  // A close that fails has closed the file all the same.
  const bool failed = fails();
  const int closed = forwarding_file_calls::close(fd);
  return failed ? -1 : closed;
}
int failing_file_calls::lock(int fd) {
  return fails() ? -1 : forwarding_file_calls::lock(fd);
}
int failing_file_calls::make_temporary_file(char* pattern) {
  return fails() ? -1 : forwarding_file_calls::make_temporary_file(pattern);
}
char* failing_file_calls::make_temporary_directory(char* pattern) {
  return fails() ? nullptr : forwarding_file_calls::make_temporary_directory(pattern);
}
int failing_file_calls::rename(const char* from, const char* to) {
  return fails() ? -1 : forwarding_file_calls::rename(from, to);
}
int failing_file_calls::exchange(const char* one, const char* other) {
  if (fails()) {
    return -1;
  }
  if (cannot_exchange) {
    errno = EINVAL;
    return -1;
  }
  return forwarding_file_calls::exchange(one, other);
}
int failing_file_calls::remove_tree(const char* path) {
  return fails() ? -1 : forwarding_file_calls::remove_tree(path);
}
