#include "model/level_directory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/durable_file.h"
#include "model/level_files.h"
#include "model/level_records.h"
#include "model/printable.h"

namespace fs = std::filesystem;

namespace {

failure system_failure(const std::string& what, const fs::path& path) {
  return failure{what + " " + quoted_path(path) + ": " + std::strerror(errno)};
}

// A name in the directory of `target` that no file has: a hidden one made
// from the target's name and random letters.
fs::path temporary_name_for(const fs::path& target) {
  static std::mt19937_64 random{std::random_device{}()};
  static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string suffix(8, ' ');
  for (char& c : suffix) {
    c = letters[random() % (sizeof letters - 1)];
  }
  std::string name(1, '.');
  name += target.filename().string();
  name += '.';
  name += suffix;
  name += ".partial";
  return target.parent_path() / name;
}

// Writes `bytes` into a new file `path` and flushes it to the disk; a
// failure removes the file and names it as `shown`, the name it is written for.
result<> write_new_file(const fs::path& path, const fs::path& shown,
                        const std::vector<unsigned char>& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    return system_failure("cannot create the level file", shown);
  }
  const int error = write_flush_close(fd, bytes.data(), bytes.size());
  if (error != 0) {
    ::unlink(path.c_str());
    return failure{"cannot write the level file " + quoted_path(shown) + ": " +
                   std::strerror(error)};
  }
  return {};
}

// The six level files of `level`.
std::array<level_file_image, level_file_count> images_of(const play_level& level) {
  const level_records records = records_of(level);
  return level_file_images(records.blockers, records.prisoner, records.num_block,
                           records.isblockthere);
}

// Writes the six files into a new directory beside `directory`, then gives it
// that name: the level appears whole or not at all.
result<> write_new_directory(const std::array<level_file_image, level_file_count>& images,
                             const fs::path& directory) {
  const fs::path partial = temporary_name_for(directory);
  if (::mkdir(partial.c_str(), 0777) != 0) {
    return system_failure("cannot create the directory", directory);
  }
  for (const level_file_image& image : images) {
    if (result<> written =
            write_new_file(partial / image.name, directory / image.name, image.bytes);
        !written) {
      std::error_code ignored;
      fs::remove_all(partial, ignored);
      return failure{written.reason()};
    }
  }
  if (::rename(partial.c_str(), directory.c_str()) != 0) {
    const failure why = system_failure("cannot create the directory", directory);
    std::error_code ignored;
    fs::remove_all(partial, ignored);
    return why;
  }
  return {};
}

// Replaces the level files of an existing directory: all six are written
// under temporary names first, then renamed over the old ones.
result<> replace_level_files(const std::array<level_file_image, level_file_count>& images,
                             const fs::path& directory) {
  for (const level_file_image& image : images) {
    struct stat status {};
    const fs::path target = directory / image.name;
    if (::lstat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode) &&
        !S_ISLNK(status.st_mode)) {
      return failure{"cannot replace " + quoted_path(target) + ": it is no regular file"};
    }
  }
  std::vector<fs::path> written;
  const auto remove_written = [&] {
    for (const fs::path& path : written) {
      ::unlink(path.c_str());
    }
  };
  for (const level_file_image& image : images) {
    written.push_back(temporary_name_for(directory / image.name));
    if (result<> done = write_new_file(written.back(), directory / image.name, image.bytes);
        !done) {
      written.pop_back();
      remove_written();
      return failure{done.reason()};
    }
  }
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (::rename(written[i].c_str(), (directory / images[i].name).c_str()) != 0) {
      const failure why =
          system_failure("cannot put in place the level file", directory / images[i].name);
      written.erase(written.begin(), written.begin() + static_cast<std::ptrdiff_t>(i));
      remove_written();
      return why;
    }
  }
  return {};
}

}  // namespace

bool holds_level_files(const fs::path& directory) {
  for (const char* name : level_files_read_order) {
    std::error_code ignored;
    if (fs::exists(fs::symlink_status(directory / name, ignored))) {
      return true;
    }
  }
  return false;
}

result<play_level> read_level_directory(const fs::path& directory) {
  if (!holds_level_files(directory)) {
    return failure{"it holds no level files"};
  }
  for (const char* name : level_files_read_order) {
    std::error_code ignored;
    if (!fs::exists(fs::symlink_status(directory / name, ignored))) {
      return failure{"the level file \"" + std::string(name) + "\" is missing"};
    }
  }
  level_records records;
  std::ostringstream message;
  if (!read_level_files_from(directory, records.blockers, records.prisoner, records.num_block,
                             records.isblockthere, message)) {
    std::string reason = message.str();
    while (!reason.empty() && reason.back() == '\n') {
      reason.pop_back();
    }
    return failure{reason};
  }
  return level_of_records(records.prisoner, records.blockers, records.num_block);
}

result<> write_level_directory(const play_level& level, const fs::path& named) {
  // "DIR/" names DIR.
  const fs::path directory = named.has_filename() ? named : named.parent_path();
  const auto images = images_of(level);
  std::error_code failed;
  const fs::file_status status = fs::status(directory, failed);
  if (fs::is_directory(status)) {
    return replace_level_files(images, directory);
  }
  if (fs::exists(status)) {
    return failure{"cannot write a level into " + quoted_path(directory) + ": it is no directory"};
  }
  const fs::path parent = directory.parent_path();
  if (!parent.empty()) {
    fs::create_directories(parent, failed);
    if (failed) {
      return failure{"cannot create the directory " + quoted_path(parent) + ": " +
                     failed.message()};
    }
  }
  return write_new_directory(images, directory);
}
