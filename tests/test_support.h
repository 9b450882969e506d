// Helpers shared by the tests alone: an output buffer that fails as a full disk.
#pragma once

#include <streambuf>

// An output stream's buffer that takes nothing: every write fails as on a
// full disk, with errno ENOSPC. Counts the flushes it was asked for.
class full_disk_buffer : public std::streambuf {
 public:
  int flushes = 0;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;
};
