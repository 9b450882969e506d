#include "test_support.h"

#include <cerrno>

std::streambuf::int_type full_disk_buffer::overflow(int_type) {
  errno = ENOSPC;
  return traits_type::eof();
}

std::streamsize full_disk_buffer::xsputn(const char*, std::streamsize) {
  errno = ENOSPC;
  return 0;
}

int full_disk_buffer::sync() {
  ++flushes;
  errno = ENOSPC;
  return -1;
}
