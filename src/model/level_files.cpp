#include "model/level_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "model/durable_file.h"

namespace {

using bytes = std::vector<unsigned char>;

// Creates or truncates `name` in `directory` and writes `size` bytes. False,
// with nothing written, when the name is taken by anything but a regular file
// (a symbolic link, a directory, a pipe, a device) or the file cannot be
// opened; false too when a write or the close fails, as on a full disk. Never
// blocks on a pipe and never writes through a link.
bool write_file(const std::filesystem::path& directory, const char* name, const unsigned char* data,
                std::size_t size) {
  const std::string path = (directory / name).string();
  struct stat status {};
  if (::lstat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
    return false;
  }
  const int fd = ::open(path.c_str(),
                        O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    return false;
  }
  bool written = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::ftruncate(fd, 0) == 0 &&
                 write_all(fd, data, size);
  written = ::close(fd) == 0 && written;
  return written;
}

// A file as the reader found it.
struct file_content {
  bytes data;               // its first bytes, at most one more than the reader asked for
  std::uintmax_t size = 0;  // its size in bytes
};

enum class read_failure { cannot_open, not_regular };

// Reads up to `limit` + 1 bytes of `name` in `directory`, following a symbolic
// link. Anything but a regular file is refused before it can block the reader.
std::variant<file_content, read_failure> read_file(const std::filesystem::path& directory,
                                                   const char* name, std::size_t limit) {
  const std::string path = (directory / name).string();
  // Allocated before the file is opened, so that running out of memory cannot
  // leave the file open.
  file_content content{bytes(limit + 1), 0};
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    return read_failure::cannot_open;
  }
  if (!S_ISREG(status.st_mode)) {
    return read_failure::not_regular;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    return read_failure::cannot_open;
  }
  std::size_t filled = 0;
  bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  while (regular && filled < content.data.size()) {
    const ssize_t got = ::read(fd, content.data.data() + filled, content.data.size() - filled);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    filled += static_cast<std::size_t>(got);
  }
  ::close(fd);
  if (!regular) {
    return read_failure::not_regular;
  }
  content.data.resize(filled);
  // A file that grew or shrank while it was read is measured by what was read.
  content.size = filled <= limit ? filled : std::max<std::uintmax_t>(status.st_size, filled);
  return content;
}

// What a level file holds, as read, before any check.
struct raw_level {
  file_content record_size;
  file_content num_block;
  file_content blockers;
  file_content prisoner_size;
  file_content prisoner;
  file_content block_present;
};

std::string damaged(const char* file, const std::string& what) {
  return std::string("damaged level file \"") + file + "\": " + what;
}

// One step of the reader: a file, how much of it is read, where it goes, and
// the message for its absence.
struct read_step {
  const char* name;
  std::size_t limit;
  file_content raw_level::*field;
  const char* missing;
  bool line_break;  // the message ends its line when printed
};

// The messages for a missing file are the ones the program has always
// printed, kept word for word, odd names and missing line breaks included:
// they are part of escape_puzzle's output, which is compared byte for byte.
constexpr read_step read_steps[] = {
    {record_size_file, int_image_size, &raw_level::record_size, "failed to read rec_size", true},
    {num_block_file, int_image_size, &raw_level::num_block, "failed to create num_block_file",
     true},
    {blockers_file, blockers_image_size, &raw_level::blockers, "failed to create blocker file",
     true},
    {prisoner_size_file, int_image_size, &raw_level::prisoner_size,
     "failed to create prisoner size file", false},
    {prisoner_file, block_image_size, &raw_level::prisoner, "failed to create prisoner file",
     false},
    {block_present_file, grid_image_size, &raw_level::block_present,
     "failed to create block present 1file", true},
};

// Reads the six files in the reader's order; the missing file's message, or
// that a file is no regular file, when one cannot be read.
result<raw_level> read_raw_level(const std::filesystem::path& directory) {
  raw_level level;
  for (const read_step& step : read_steps) {
    auto content = read_file(directory, step.name, step.limit);
    if (content.index() == 0) {
      level.*step.field = std::move(std::get<file_content>(content));
    } else if (std::get<read_failure>(content) == read_failure::not_regular) {
      return failure{damaged(step.name, "not a regular file")};
    } else {
      return failure{step.missing};
    }
  }
  return level;
}

// True if every cell of the block lies on the board; safe for any coordinates.
bool lies_on_board(const BLOCK& block) {
  const std::int32_t along = position_along(block);
  const std::int32_t line = line_of(block);
  return along >= 0 && along <= board_size - block.length && line >= 0 && line < board_size;
}

// Describes what is wrong with one block, or returns an empty text.
std::string block_fault(std::span<const unsigned char, block_image_size> image, BLOCK& block) {
  std::optional<BLOCK> decoded = decode_block(image);
  if (!decoded) {
    return "orientation byte " + std::to_string(image[0]) + " is neither 0 nor 1";
  }
  block = *decoded;
  if (block.length != 2 && block.length != 3) {
    return "length " + std::to_string(block.length) + " is neither 2 nor 3";
  }
  if (!lies_on_board(block)) {
    return "position (" + std::to_string(block.x) + ", " + std::to_string(block.y) +
           ") reaches off the board";
  }
  return {};
}

std::string block_name(int number) {
  return number == prisoner_number ? std::string("the prisoner")
                                   : "blocker " + std::to_string(number - 1);
}

std::string wrong_size(const char* file, const file_content& content, std::size_t expected) {
  return damaged(file, "it holds " + std::to_string(content.size) + " bytes, expected " +
                           std::to_string(expected));
}

// The level as the reader fills it in, step by step.
struct level_view {
  BLOCK* blockers;
  BLOCK& prisoner;
  int& num_block;
  bool (*isblockthere)[board_size];
  std::int32_t rec_size = 0;
};

// Checks the lengths and counts of the files, and that each file holds them.
std::string check_sizes(const raw_level& raw, level_view& level) {
  if (raw.record_size.size != int_image_size) {
    return wrong_size(record_size_file, raw.record_size, int_image_size);
  }
  if (raw.num_block.size != int_image_size) {
    return wrong_size(num_block_file, raw.num_block, int_image_size);
  }
  level.rec_size = get_int_image(raw.record_size.data.data());
  level.num_block = get_int_image(raw.num_block.data.data());
  if (level.num_block < 0 || level.num_block > max_blockers) {
    return damaged(num_block_file, std::to_string(level.num_block) + " blockers, expected 0 to " +
                                       std::to_string(max_blockers));
  }
  const auto least_size = static_cast<std::int32_t>(block_image_size) * level.num_block;
  if (level.rec_size < least_size ||
      level.rec_size > static_cast<std::int32_t>(blockers_image_size)) {
    return damaged(record_size_file, "length " + std::to_string(level.rec_size) +
                                         " is not between " + std::to_string(least_size) + " and " +
                                         std::to_string(blockers_image_size));
  }
  if (raw.blockers.size != static_cast<std::uintmax_t>(level.rec_size)) {
    return wrong_size(blockers_file, raw.blockers, static_cast<std::size_t>(level.rec_size));
  }
  if (raw.prisoner_size.size != int_image_size) {
    return wrong_size(prisoner_size_file, raw.prisoner_size, int_image_size);
  }
  const std::int32_t prisoner_size = get_int_image(raw.prisoner_size.data.data());
  if (prisoner_size != static_cast<std::int32_t>(block_image_size)) {
    return damaged(prisoner_size_file, "length " + std::to_string(prisoner_size) + " is not " +
                                           std::to_string(block_image_size));
  }
  if (raw.prisoner.size != block_image_size) {
    return wrong_size(prisoner_file, raw.prisoner, block_image_size);
  }
  if (raw.block_present.size != grid_image_size) {
    return wrong_size(block_present_file, raw.block_present, grid_image_size);
  }
  return {};
}

// Decodes the blockers and the prisoner and checks each block on its own.
std::string check_blocks(const raw_level& raw, level_view& level) {
  // Entries past the level's blockers carry nothing; they are kept when they decode.
  for (int i = 0; i < max_blockers; ++i) {
    level.blockers[i] = BLOCK{};
    const std::size_t offset = block_image_size * static_cast<std::size_t>(i);
    if (offset + block_image_size > static_cast<std::size_t>(level.rec_size)) {
      continue;
    }
    const std::span<const unsigned char, block_image_size> image(raw.blockers.data.data() + offset,
                                                                 block_image_size);
    if (i >= level.num_block) {
      level.blockers[i] = decode_block(image).value_or(BLOCK{});
      continue;
    }
    if (std::string fault = block_fault(image, level.blockers[i]); !fault.empty()) {
      return damaged(blockers_file, block_name(blocker_number(i)) + ": " + fault);
    }
  }
  const std::span<const unsigned char, block_image_size> prisoner_bytes(raw.prisoner.data.data(),
                                                                        block_image_size);
  if (std::string fault = block_fault(prisoner_bytes, level.prisoner); !fault.empty()) {
    return damaged(prisoner_file, "the prisoner: " + fault);
  }
  if (!level.prisoner.horizontal || level.prisoner.length != 2) {
    return damaged(prisoner_file, "the prisoner is not a horizontal block of length 2");
  }
  if (level.prisoner.y != prisoner_row) {
    return damaged(prisoner_file, "the prisoner is in row " + std::to_string(level.prisoner.y) +
                                      ", not in row " + std::to_string(prisoner_row));
  }
  return {};
}

// The number of the block that covers each cell, or no_block.
using cell_owners = std::array<std::array<int, board_size>, board_size>;

// Marks every block's cells, the prisoner first, and names the first shared cell.
std::string check_shared_cells(const level_view& level, cell_owners& owner) {
  for (auto& column : owner) {
    column.fill(no_block);
  }
  for (int number = prisoner_number; number <= level.num_block; ++number) {
    const BLOCK& block = number == prisoner_number ? level.prisoner : level.blockers[number - 1];
    for (int k = 0; k < block.length; ++k) {
      const cell c = cell_of(block, k);
      if (owner[c.x][c.y] != no_block) {
        return damaged(blockers_file, block_name(number) + " shares the cell (" +
                                          std::to_string(c.x) + ", " + std::to_string(c.y) +
                                          ") with " + block_name(owner[c.x][c.y]));
      }
      owner[c.x][c.y] = number;
    }
  }
  return {};
}

// Decodes the grid and checks that it marks exactly the blocks' cells.
std::string check_grid(const raw_level& raw, level_view& level, const cell_owners& owner) {
  const std::span<const unsigned char, grid_image_size> grid_bytes(raw.block_present.data.data(),
                                                                   grid_image_size);
  if (!decode_grid(grid_bytes, level.isblockthere)) {
    return damaged(block_present_file, "a cell byte is neither 0 nor 1");
  }
  for (int x = 0; x < board_size; ++x) {
    for (int y = 0; y < board_size; ++y) {
      if (level.isblockthere[x][y] != (owner[x][y] != no_block)) {
        return damaged(block_present_file, "the board does not match the blocks at cell (" +
                                               std::to_string(x) + ", " + std::to_string(y) + ")");
      }
    }
  }
  return {};
}

// Checks the raw files and fills the caller's records; returns the fault, or an empty text.
std::string check_level(const raw_level& raw, level_view level) {
  if (std::string fault = check_sizes(raw, level); !fault.empty()) {
    return fault;
  }
  if (std::string fault = check_blocks(raw, level); !fault.empty()) {
    return fault;
  }
  cell_owners owner;
  if (std::string fault = check_shared_cells(level, owner); !fault.empty()) {
    return fault;
  }
  return check_grid(raw, level, owner);
}

}  // namespace

result<> store_level_files(const std::filesystem::path& directory, const BLOCK* blockers,
                           BLOCK prisoner, int num_block, const bool (*isblockthere)[board_size]) {
  // The message of each file, in the order they are written.
  static constexpr const char* messages[level_file_count] = {
      "failed to create Diff_lvl_file",  "failed to create record_size_file",
      "failed to create prisoner file",  "failed to create prisoner file size",
      "failed to create num_block_file", "failed to create block present file"};
  const auto images = level_file_images(blockers, prisoner, num_block, isblockthere);
  for (std::size_t i = 0; i < images.size(); ++i) {
    if (!write_file(directory, images[i].name, images[i].bytes.data(), images[i].bytes.size())) {
      return failure{messages[i]};
    }
  }
  return {};
}

void write_level_files(const BLOCK* blockers, BLOCK prisoner, int num_block,
                       const bool (*isblockthere)[board_size], std::ostream& out) {
  if (const result<> written = store_level_files({}, blockers, prisoner, num_block, isblockthere);
      !written) {
    out << written.reason() << std::endl;
  }
}

result<level_records> load_level_files(const std::filesystem::path& directory) {
  const result<raw_level> raw = read_raw_level(directory);
  if (!raw) {
    return failure{raw.reason()};
  }
  level_records records;
  const std::string fault = check_level(
      *raw, {records.blockers, records.prisoner, records.num_block, records.isblockthere});
  if (!fault.empty()) {
    return failure{fault};
  }
  return records;
}

bool read_level_files(BLOCK* blockers, BLOCK& prisoner, int& num_block,
                      bool (*isblockthere)[board_size], std::ostream& out) {
  const result<level_records> loaded = load_level_files({});
  if (!loaded) {
    // Two of the missing-file messages have always ended without a line break.
    const bool line_break = std::none_of(
        std::begin(read_steps), std::end(read_steps),
        [&](const read_step& step) { return !step.line_break && loaded.reason() == step.missing; });
    out << loaded.reason();
    if (line_break) {
      out << std::endl;
    } else {
      out << std::flush;
    }
    return false;
  }
  std::copy(std::begin(loaded->blockers), std::end(loaded->blockers), blockers);
  prisoner = loaded->prisoner;
  num_block = loaded->num_block;
  std::copy(&loaded->isblockthere[0][0], &loaded->isblockthere[0][0] + board_size * board_size,
            &isblockthere[0][0]);
  return true;
}

result<> store_config_snapshot(const config& start) {
  const config_image image = encode_config(start);
  if (!write_file({}, level_snapshot_file, image.data(), image.size())) {
    return failure{"failed to create config file"};
  }
  unsigned char config_size[int_image_size];
  put_int_image(config_size, static_cast<std::int32_t>(config_image_size));
  if (!write_file({}, config_size_file, config_size, sizeof config_size)) {
    return failure{"failed to create config size file"};
  }
  return {};
}

bool write_config_snapshot(const config& start, std::ostream& out) {
  const result<> written = store_config_snapshot(start);
  if (!written) {
    out << written.reason() << std::endl;
  }
  return static_cast<bool>(written);
}
