// Fuzzes the level reader and the move counter: the input becomes the six
// level files, the counter runs on them, and its result and the files are checked.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "level_files.h"
#include "num_moves_calculator.h"

namespace {

// The input holds the files in this order, separated by this marker; a
// missing part means a missing file.
constexpr std::string_view separator = "#FILE#";
const char* const files[] = {record_size_file,   num_block_file, blockers_file,
                             prisoner_size_file, prisoner_file,  block_present_file};

// A stream buffer that drops everything.
class null_buffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    return traits_type::not_eof(c);
  }
};

std::string read_whole(const char* name) {
  std::string content;
  if (std::FILE* file = std::fopen(name, "rb")) {
    char buffer[1024];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
      content.append(buffer, n);
    }
    std::fclose(file);
  }
  return content;
}

// The directory the fuzzer works in; removed when the process exits.
std::string private_directory;

void remove_private_directory() {
  std::error_code ignored;
  std::filesystem::remove_all(private_directory, ignored);
}

void enter_private_directory() {
  if (private_directory.empty()) {
    std::string path = (std::filesystem::temp_directory_path() / "level_fuzz_XXXXXX").string();
    if (mkdtemp(path.data()) == nullptr || chdir(path.c_str()) != 0) {
      std::abort();
    }
    private_directory = path;
    std::atexit(remove_private_directory);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  enter_private_directory();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> parts;
  for (std::size_t start = 0; parts.size() < std::size(files);) {
    const std::size_t end = input.find(separator, start);
    parts.emplace_back(input.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) {
      break;
    }
    start = end + separator.size();
  }
  for (std::size_t i = 0; i < std::size(files); ++i) {
    std::remove(files[i]);
    if (i < parts.size()) {
      std::FILE* file = std::fopen(files[i], "wb");
      std::fwrite(parts[i].data(), 1, parts[i].size(), file);
      std::fclose(file);
    }
  }

  null_buffer sink;
  std::ostream out(&sink);
  const int moves = calculate_num_moves(out);
  if (moves < -1 || moves > 19) {
    std::abort();
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (read_whole(files[i]) != parts[i]) {
      std::abort();  // the counter must never change a level file
    }
  }
  return 0;
}
