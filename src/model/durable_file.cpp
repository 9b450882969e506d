#include "model/durable_file.h"

#include <unistd.h>

#include <cerrno>

int write_flush_close(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  int error = 0;
  for (std::size_t done = 0; error == 0 && done < size;) {
    const ssize_t written = ::write(fd, bytes + done, size - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
    } else if (written == 0 || errno != EINTR) {
      error = written == 0 ? EIO : errno;
    }
  }
  if (error == 0 && ::fsync(fd) != 0) {
    error = errno;
  }
  if (::close(fd) != 0 && error == 0) {
    error = errno;
  }
  return error;
}
