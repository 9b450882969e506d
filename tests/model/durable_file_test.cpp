#include "model/durable_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>

#include "support/scratch_dir.h"

TEST(DurableFileTest, WritesEveryByteOrSaysWhyAndClosesEitherWay) {
  scoped_temp_dir dir;
  std::string bytes(1 << 20, 'x');
  bytes.back() = '\0';
  const int fd = ::open("file", O_WRONLY | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(write_flush_close(fd, bytes.data(), bytes.size()), 0);
  EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
  std::ifstream in("file", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);

  const int read_only = ::open("file", O_RDONLY);
  ASSERT_GE(read_only, 0);
  EXPECT_EQ(write_flush_close(read_only, "y", 1), EBADF);
  EXPECT_EQ(::fcntl(read_only, F_GETFD), -1);
}
