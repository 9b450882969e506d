#include "level_input.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "model/level_files.h"

const char* const level_input_files[6] = {record_size_file,   num_block_file, blockers_file,
                                          prisoner_size_file, prisoner_file,  block_present_file};

namespace {

std::string private_directory;

void remove_private_directory() {
  std::error_code ignored;
  std::filesystem::remove_all(private_directory, ignored);
}

}  // namespace

void enter_private_directory() {
  if (!private_directory.empty()) {
    return;
  }
  std::error_code no_memory_fs;
  const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", no_memory_fs)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
  std::string path = (base / "level_fuzz_XXXXXX").string();
  if (mkdtemp(path.data()) == nullptr || chdir(path.c_str()) != 0) {
    std::abort();
  }
  private_directory = path;
  std::atexit(remove_private_directory);
}

std::vector<std::string> split_level_input(const std::uint8_t* data, std::size_t size) {
  constexpr std::string_view separator = "#FILE#";
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> parts;
  for (std::size_t start = 0; parts.size() < std::size(level_input_files);) {
    const std::size_t end = input.find(separator, start);
    parts.emplace_back(input.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) {
      break;
    }
    start = end + separator.size();
  }
  return parts;
}

void write_level_input(const std::vector<std::string>& parts) {
  for (std::size_t i = 0; i < std::size(level_input_files); ++i) {
    std::remove(level_input_files[i]);
    if (i < parts.size()) {
      std::FILE* file = std::fopen(level_input_files[i], "wb");
      std::fwrite(parts[i].data(), 1, parts[i].size(), file);
      std::fclose(file);
    }
  }
}

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
