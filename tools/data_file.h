// The data files the tools make for the program's sources: written whole or
// not at all.
#pragma once

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

// Writes `text` to `file` through a temporary file renamed into place; false,
// after saying so on standard error as `tool`, when it cannot.
inline bool write_data_file(const std::string& tool, const std::string& file,
                            const std::string& text) {
  const std::string partial = file + ".partial";
  std::ofstream out(partial, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out || std::rename(partial.c_str(), file.c_str()) != 0) {
    std::remove(partial.c_str());
    std::cerr << tool << ": cannot write " << file << '\n';
    return false;
  }
  return true;
}
