#include "model/level_directory.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "model/durable_file.h"
#include "model/file_calls.h"
#include "model/level_files.h"
#include "model/level_records.h"
#include "model/printable.h"

namespace fs = std::filesystem;

namespace {

// The marker in the name of a level directory's temporary: ".NAME.partial-XXXXXX".
constexpr std::string_view partial_marker = ".partial-";

// True for the names of level directories' temporaries: ".NAME.partial-XXXXXX"
// as they are made now, and ".NAME.xxxxxxxx.partial" as earlier versions made
// them (directories beside a level, files in it).
bool is_level_temporary(std::string_view name) {
  if (!name.starts_with('.')) {
    return false;
  }
  const std::size_t marker = name.rfind(partial_marker);
  if (marker != std::string_view::npos && marker > 1 &&
      name.size() == marker + partial_marker.size() + 6) {
    return true;
  }
  constexpr std::string_view old_end = ".partial";
  if (!name.ends_with(old_end) || name.size() < 2 + 9 + old_end.size()) {
    return false;
  }
  const std::string_view random = name.substr(name.size() - old_end.size() - 8, 8);
  return name[name.size() - old_end.size() - 9] == '.' &&
         std::all_of(random.begin(), random.end(),
                     [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); });
}

// The pattern of the temporaries beside `directory`.
fs::path temporary_pattern(const fs::path& directory) {
  std::string name(1, '.');
  name += directory.filename().string();
  name += partial_marker;
  name += "XXXXXX";
  return directory.parent_path() / name;
}

failure system_failure(const std::string& what, const fs::path& shown, int error) {
  return failure{what + " " + quoted_path(shown) + ": " + system_reason(error)};
}

// Writes `bytes` into a new file `path` and flushes it to the disk; a failure
// names it as `shown`, the name it is written for.
result<> write_new_file(const fs::path& path, const fs::path& shown,
                        const std::vector<unsigned char>& bytes) {
  const int fd = current_file_calls().open(
      path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    return system_failure("cannot create the level file", shown, errno);
  }
  if (const result<> written = write_flush_close(fd, bytes.data(), bytes.size()); !written) {
    return failure{"cannot write the level file " + quoted_path(shown) + ": " + written.reason()};
  }
  return {};
}

// The six level files of `level`.
std::array<level_file_image, level_file_count> images_of(const play_level& level) {
  const level_records records = records_of(level);
  return level_file_images(records.blockers, records.prisoner, records.num_block,
                           records.isblockthere);
}

// True if `inner` is `outer` or lies inside it; both canonical.
bool lies_within(const fs::path& inner, const fs::path& outer) {
  const auto [end, rest] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  return end == outer.end();
}

// Checks that the existing directory `real` (named `shown`) can be replaced as
// a whole without losing anything but a level: it holds nothing but level
// files (regular files or links) and leftover temporaries, and the working
// directory is not in it.
result<> check_replaceable(const fs::path& real, const fs::path& shown) {
  std::error_code failed;
  if (lies_within(fs::current_path(failed), real)) {
    return failure{"cannot replace " + quoted_path(shown) +
                   " as a whole: the working directory is in it"};
  }
  for (fs::directory_iterator entry(real, failed), end; !failed && entry != end;
       entry.increment(failed)) {
    const std::string name = entry->path().filename().string();
    const bool level_file =
        std::find(std::begin(level_files_read_order), std::end(level_files_read_order), name) !=
        std::end(level_files_read_order);
    const fs::file_status status = entry->symlink_status(failed);
    if (level_file && !fs::is_regular_file(status) && !fs::is_symlink(status)) {
      return failure{"cannot replace " + quoted_path(shown / name) + ": it is no regular file"};
    }
    if (!level_file && !is_level_temporary(name)) {
      return failure{"cannot replace the level in " + quoted_path(shown) + ": it holds " +
                     quoted_path(name) + ", which is no level file"};
    }
  }
  if (failed) {
    return failure{"cannot read the directory " + quoted_path(shown) + ": " + failed.message()};
  }
  return {};
}

// Where the file system cannot swap two directories, the old level is moved
// aside, the new one takes its name and the old one goes: never a mix of the
// two, though for a moment there is no level under that name.
result<> replace_in_two_steps(const fs::path& made, const fs::path& real, const fs::path& shown) {
  file_calls& calls = current_file_calls();
  std::string aside = temporary_pattern(real).string();
  if (calls.make_temporary_directory(aside.data()) == nullptr) {
    return system_failure("cannot put the level in place in", shown, errno);
  }
  // The old level stays locked while it is aside, so that no cleaner takes it.
  const int old = calls.open(real.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0);
  if (old >= 0) {
    calls.lock(old);
  }
  result<> done;
  if (calls.rename(real.c_str(), aside.c_str()) != 0) {
    done = system_failure("cannot put the level in place in", shown, errno);
    calls.remove_tree(aside.c_str());
  } else if (calls.rename(made.c_str(), real.c_str()) != 0) {
    done = system_failure("cannot put the level in place in", shown, errno);
    calls.rename(aside.c_str(), real.c_str());
  } else {
    calls.remove_tree(aside.c_str());
  }
  if (old >= 0) {
    calls.close(old);
  }
  return done;
}

// Puts the written temporary directory `made` in the place of `real`, named
// `shown` in messages: renamed there when nothing is there, else swapped with
// the old level in one step, which then goes.
result<written_level> put_in_place(owned_temporary& made, const fs::path& real,
                                   const fs::path& shown, bool replacing) {
  file_calls& calls = current_file_calls();
  written_level written;
  if (!replacing) {
    if (calls.rename(made.path().c_str(), real.c_str()) != 0) {
      return system_failure("cannot create the directory", shown, errno);
    }
  } else if (calls.exchange(made.path().c_str(), real.c_str()) == 0) {
    made.remove();  // the old level, now under the temporary name
  } else if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP || errno == EOPNOTSUPP) {
    if (result<> replaced = replace_in_two_steps(made.path(), real, shown); !replaced) {
      return failure{replaced.reason()};
    }
    written.note = "The file system of " + quoted_path(shown) +
                   " cannot swap two directories in one step: the old level was moved aside "
                   "before the new one took its place.";
  } else {
    return system_failure("cannot put the level in place in", shown, errno);
  }
  static_cast<void>(flush_directory(real.parent_path()));
  return written;
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
  const result<level_records> records = load_level_files(directory);
  if (!records) {
    return failure{records.reason()};
  }
  return level_of_records(records->prisoner, records->blockers, records->num_block);
}

result<written_level> write_level_directory(const play_level& level, const fs::path& named) {
  // "DIR/" names DIR.
  const fs::path shown = named.has_filename() ? named : named.parent_path();
  std::error_code failed;
  fs::path real = fs::absolute(shown, failed).lexically_normal();
  if (!real.has_filename()) {
    real = real.parent_path();
  }
  const bool replacing = fs::exists(fs::symlink_status(real, failed));
  if (replacing && !fs::is_directory(fs::status(real, failed))) {
    return failure{"cannot write a level into " + quoted_path(shown) + ": it is no directory"};
  }
  if (replacing) {
    // A link to a directory is followed: the level goes where it points.
    real = fs::canonical(real, failed);
    if (const result<> replaceable = check_replaceable(real, shown); !replaceable) {
      return failure{replaceable.reason()};
    }
  } else if (fs::create_directories(real.parent_path(), failed); failed) {
    return failure{"cannot create the directory " + quoted_path(shown.parent_path()) + ": " +
                   failed.message()};
  }
  remove_abandoned_temporaries(real.parent_path(), is_level_temporary);
  result<owned_temporary> made = owned_temporary::create(temporary_pattern(real), true);
  if (!made) {
    return failure{"cannot create the directory " + quoted_path(shown) + ": " + made.reason()};
  }
  result<> written;
  for (const level_file_image& image : images_of(level)) {
    if (written = write_new_file(made->path() / image.name, shown / image.name, image.bytes);
        !written) {
      break;
    }
  }
  if (written && !(written = made->flush())) {
    written =
        failure{"cannot write the level into " + quoted_path(shown) + ": " + written.reason()};
  }
  result<written_level> placed =
      written ? put_in_place(*made, real, shown, replacing) : failure{written.reason()};
  if (!placed) {
    made->remove();
  }
  return placed;
}
