// A scratch working directory for tests and tools that write files, and
// whole-file reads and writes.
#pragma once

#include <filesystem>
#include <string>

// A fresh temporary directory that is the working directory while the object lives.
class scoped_temp_dir {
 public:
  scoped_temp_dir();
  ~scoped_temp_dir();
  scoped_temp_dir(const scoped_temp_dir&) = delete;
  scoped_temp_dir& operator=(const scoped_temp_dir&) = delete;

  // The directory's absolute path.
  const std::filesystem::path& path() const {
    return path_;
  }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

// The whole content of a file, or "" if it cannot be read.
std::string read_bytes(const std::filesystem::path& file);
// Replaces the content of a file.
void write_bytes(const std::filesystem::path& file, const std::string& content);
