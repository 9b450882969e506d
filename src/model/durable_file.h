// Files that must reach the disk whole before they are given their names.
#pragma once

#include <cstddef>

// Writes all `size` bytes at `data` to the open file `fd`, flushes them to
// the disk and closes it; 0, or the errno of the first failure. The file is
// closed either way.
int write_flush_close(int fd, const void* data, std::size_t size);
