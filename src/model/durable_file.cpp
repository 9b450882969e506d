#include "model/durable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "model/file_calls.h"

namespace fs = std::filesystem;

namespace {

// True while `path` names the file open as `fd`: no one removed or replaced it.
bool still_named(const fs::path& path, int fd) {
  struct stat named {};
  struct stat open {};
  return ::lstat(path.c_str(), &named) == 0 && ::fstat(fd, &open) == 0 &&
         named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

// The permissions mkdir gives a directory: all, less the process's umask.
mode_t directory_mode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0777 & ~mask;
}

// The fd of a new temporary made from `pattern`, or -1 with errno set.
int make_temporary(std::string& pattern, bool directory) {
  file_calls& calls = current_file_calls();
  if (!directory) {
    return calls.make_temporary_file(pattern.data());
  }
  if (calls.make_temporary_directory(pattern.data()) == nullptr) {
    return -1;
  }
  const int fd = calls.open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0);
  if (fd < 0) {
    const int error = errno;
    ::rmdir(pattern.c_str());
    errno = error;
    return -1;
  }
  ::fchmod(fd, directory_mode());
  return fd;
}

}  // namespace

std::string system_reason(int error) {
  return std::strerror(error);
}

result<> write_all(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t done = 0; done < size;) {
    const ssize_t written = current_file_calls().write(fd, bytes + done, size - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
    } else if (written == 0 || errno != EINTR) {
      return failure{system_reason(written == 0 ? EIO : errno)};
    }
  }
  return {};
}

result<> write_flush_close(int fd, const void* data, std::size_t size) {
  file_calls& calls = current_file_calls();
  result<> done = write_all(fd, data, size);
  if (done && calls.fsync(fd) != 0) {
    done = failure{system_reason(errno)};
  }
  if (calls.close(fd) != 0 && done) {
    done = failure{system_reason(errno)};
  }
  return done;
}

result<owned_temporary> owned_temporary::create(const fs::path& pattern, bool directory) {
  file_calls& calls = current_file_calls();
  // A writer cleaning the directory may lock a new temporary before its maker
  // does, and remove it: then another name is drawn.
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::string name = pattern.string();
    const int fd = make_temporary(name, directory);
    if (fd < 0) {
      return failure{system_reason(errno)};
    }
    // Where the file system has no locks the temporary is made all the same;
    // no cleaner can lock it either.
    const bool taken = calls.lock(fd) == 0 || errno != EWOULDBLOCK;
    if (taken && still_named(name, fd)) {
      return owned_temporary(name, fd);
    }
    calls.close(fd);
  }
  return failure{system_reason(EAGAIN)};
}

owned_temporary::~owned_temporary() {
  if (fd_ >= 0) {
    current_file_calls().close(fd_);
  }
}

owned_temporary::owned_temporary(owned_temporary&& other) noexcept
    : path_(std::move(other.path_)), fd_(other.fd_) {
  other.fd_ = -1;
}

result<> owned_temporary::write_whole(std::string_view bytes) {
  if (result<> written = write_all(fd_, bytes.data(), bytes.size()); !written) {
    return written;
  }
  return flush();
}

result<> owned_temporary::flush() {
  if (current_file_calls().fsync(fd_) != 0) {
    return failure{system_reason(errno)};
  }
  return {};
}

void owned_temporary::remove() {
  current_file_calls().remove_tree(path_.c_str());
}

void remove_abandoned_temporaries(const fs::path& directory,
                                  const std::function<bool(std::string_view name)>& is_temporary) {
  file_calls& calls = current_file_calls();
  std::error_code failed;
  for (fs::directory_iterator entry(directory, failed), end; !failed && entry != end;
       entry.increment(failed)) {
    const fs::path path = entry->path();
    if (!is_temporary(path.filename().string())) {
      continue;
    }
    const int fd =
        calls.open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
    if (fd < 0) {
      continue;
    }
    struct stat status {};
    if (::fstat(fd, &status) == 0 && (S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) &&
        calls.lock(fd) == 0 && still_named(path, fd)) {
      calls.remove_tree(path.c_str());
    }
    calls.close(fd);
  }
}

result<> flush_directory(const fs::path& directory) {
  file_calls& calls = current_file_calls();
  const int fd = calls.open(directory.empty() ? "." : directory.c_str(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) {
    return failure{system_reason(errno)};
  }
  result<> flushed;
  if (calls.fsync(fd) != 0) {
    flushed = failure{system_reason(errno)};
  }
  calls.close(fd);
  return flushed;
}
