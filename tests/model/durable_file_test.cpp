#include "model/durable_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <string>

#include "support/failing_file_calls.h"
#include "support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

std::set<std::string> names_in(const fs::path& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

bool is_temporary(std::string_view name) {
  return name.starts_with(".tmp.");
}

// True while some open file holds the lock on `path`.
bool is_locked(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return locked;
}

// The system's calls, but a cleaner removes the first temporary before its
// maker can lock it.
class cleaner_first : public forwarding_file_calls {
 public:
  int lock(int fd) override {
    if (!made_.empty()) {
      ::unlink(made_.c_str());
      made_.clear();
    }
    return forwarding_file_calls::lock(fd);
  }
  int make_temporary_file(char* pattern) override {
    const int fd = forwarding_file_calls::make_temporary_file(pattern);
    made_ = first_ ? pattern : "";
    first_ = false;
    return fd;
  }

 private:
  std::string made_;
  bool first_ = true;
};

}  // namespace

TEST(DurableFileTest, WritesEveryByteOrSaysWhyAndClosesEitherWay) {
  scoped_temp_dir dir;
  std::string bytes(1 << 20, 'x');
  bytes.back() = '\0';
  const int fd = ::open("file", O_WRONLY | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(write_flush_close(fd, bytes.data(), bytes.size()));
  EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
  EXPECT_EQ(read_bytes("file"), bytes);

  const int read_only = ::open("file", O_RDONLY);
  ASSERT_GE(read_only, 0);
  const result<> refused = write_flush_close(read_only, "y", 1);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.reason(), "Bad file descriptor");
  EXPECT_EQ(::fcntl(read_only, F_GETFD), -1);
}

TEST(DurableFileTest, ATemporaryIsLockedWhileItsOwnerLivesAndOnlyAbandonedOnesAreRemoved) {
  scoped_temp_dir dir;
  {
    result<owned_temporary> file = owned_temporary::create(".tmp.file.XXXXXX", false);
    result<owned_temporary> directory = owned_temporary::create(".tmp.dir.XXXXXX", true);
    ASSERT_TRUE(file && directory);
    EXPECT_TRUE(file->write_whole("kept"));
    write_bytes(directory->path() / "inside", "x");
    EXPECT_TRUE(is_locked(file->path()));
    EXPECT_TRUE(is_locked(directory->path()));
    EXPECT_EQ(fs::status(directory->path()).permissions() & fs::perms::others_read,
              fs::status(".").permissions() & fs::perms::others_read);
    write_bytes(".tmp.abandoned", "left by a writer that died");
    fs::create_directories(".tmp.abandoned_dir/inside");
    write_bytes("other", "not a temporary");
    fs::create_symlink("other", ".tmp.link");

    remove_abandoned_temporaries(".", is_temporary);
    EXPECT_EQ(names_in("."),
              (std::set<std::string>{file->path().filename().string(),
                                     directory->path().filename().string(), "other", ".tmp.link"}));
    EXPECT_EQ(read_bytes(file->path()), "kept");
  }
  // Their owner gone, the next writer removes them.
  remove_abandoned_temporaries(".", is_temporary);
  EXPECT_EQ(names_in("."), (std::set<std::string>{"other", ".tmp.link"}));

  // A temporary a cleaner removed before its maker locked it is made again.
  cleaner_first calls;
  const scoped_file_calls replaced(calls);
  const result<owned_temporary> again = owned_temporary::create(".tmp.again.XXXXXX", false);
  ASSERT_TRUE(again) << again.reason();
  EXPECT_TRUE(fs::exists(again->path()));
  EXPECT_TRUE(is_locked(again->path()));
}
