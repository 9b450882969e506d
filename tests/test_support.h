// Helpers shared by the tests alone: an output buffer that fails as a full
// disk, and whether the build has AddressSanitizer.
#pragma once

#include <streambuf>

// ESCAPE_ADDRESS_SANITIZER is 1 in a build with AddressSanitizer, from GCC or
// clang: its allocator dies rather than fail under an address-space limit.
#if defined(__SANITIZE_ADDRESS__)
#define ESCAPE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ESCAPE_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef ESCAPE_ADDRESS_SANITIZER
#define ESCAPE_ADDRESS_SANITIZER 0
#endif

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
