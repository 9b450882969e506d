// Fuzzes the level reader and the move counter: the input becomes the six
// level files, the counter runs on them, and its result and the files are checked.
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <streambuf>

#include "level_input.h"
#include "search/num_moves_calculator.h"

namespace {

// A stream buffer that drops everything.
class null_buffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    return traits_type::not_eof(c);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  enter_private_directory();
  const std::vector<std::string> parts = split_level_input(data, size);
  write_level_input(parts);

  null_buffer sink;
  std::ostream out(&sink);
  const int moves = calculate_num_moves(out);
  if (moves < -1 || moves > 19) {
    std::abort();
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (read_whole(level_input_files[i]) != parts[i]) {
      std::abort();  // the counter must never change a level file
    }
  }
  return 0;
}
