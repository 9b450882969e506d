#include "level_files.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using bytes = std::vector<unsigned char>;

void put_int(unsigned char* out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) {
    out[i] = static_cast<unsigned char>(bits >> (8 * i));
  }
}

std::int32_t get_int(const unsigned char* in) {
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) {
    bits |= static_cast<std::uint32_t>(in[i]) << (8 * i);
  }
  return static_cast<std::int32_t>(bits);
}

// Creates or truncates `name` and writes `size` bytes; false if it cannot be created.
bool write_file(const char* name, const void* data, std::size_t size) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) {
    return false;
  }
  std::fwrite(data, size, 1, file);
  std::fclose(file);
  return true;
}

// Reads at most `limit` bytes of `name`; nothing if it cannot be opened.
std::optional<bytes> read_file(const char* name, std::size_t limit) {
  // Allocated before the file is opened, so that running out of memory cannot
  // leave the file open.
  bytes content(limit);
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) {
    return std::nullopt;
  }
  content.resize(std::fread(content.data(), 1, limit, file));
  std::fclose(file);
  return content;
}

// What a level file holds, as read, before any check.
struct raw_level {
  bytes record_size;
  bytes num_block;
  bytes blockers;
  bytes prisoner_size;
  bytes prisoner;
  bytes block_present;
};

// Reads the six files in the reader's order; prints the missing file's message on failure.
std::optional<raw_level> read_raw_level(std::ostream& out) {
  struct step {
    const char* name;
    std::size_t limit;
    bytes raw_level::*field;
    const char* message;
    bool line_break;
  };
  // A count file is read one byte past its size so that an overlong one shows.
  static constexpr step steps[] = {
      {record_size_file, 5, &raw_level::record_size, "failed to read rec_size", true},
      {num_block_file, 5, &raw_level::num_block, "failed to create num_block_file", true},
      {blockers_file, blockers_image_size, &raw_level::blockers, "failed to create blocker file",
       true},
      {prisoner_size_file, 5, &raw_level::prisoner_size, "failed to create prisoner size file",
       false},
      {prisoner_file, block_image_size, &raw_level::prisoner, "failed to create prisoner file",
       false},
      {block_present_file, grid_image_size, &raw_level::block_present,
       "failed to create block present 1file", true},
  };
  raw_level level;
  for (const step& s : steps) {
    std::optional<bytes> content = read_file(s.name, s.limit);
    if (!content) {
      out << s.message;
      if (s.line_break) {
        out << std::endl;
      } else {
        out << std::flush;
      }
      return std::nullopt;
    }
    level.*s.field = std::move(*content);
  }
  return level;
}

bool lies_on_board(const BLOCK& block) {
  const std::int32_t along = block.horizontal ? block.x : block.y;
  const std::int32_t across = block.horizontal ? block.y : block.x;
  return along >= 0 && along <= board_size - block.length && across >= 0 && across < board_size;
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

std::string block_name(int index) {
  return index < 0 ? std::string("the prisoner") : "blocker " + std::to_string(index);
}

// Checks the raw files and fills the caller's records; returns the fault, or an empty text.
std::string check_level(const raw_level& raw, BLOCK* blockers, BLOCK& prisoner, int& num_block,
                        bool (*isblockthere)[board_size]) {
  const auto damaged = [](const char* file, const std::string& what) {
    return std::string("damaged level file \"") + file + "\": " + what;
  };
  const auto wrong_size = [&](const char* file, const bytes& content, std::size_t expected) {
    return damaged(file, "it holds " + std::to_string(content.size()) + " bytes, expected " +
                             std::to_string(expected));
  };

  if (raw.record_size.size() != 4) {
    return wrong_size(record_size_file, raw.record_size, 4);
  }
  if (raw.num_block.size() != 4) {
    return wrong_size(num_block_file, raw.num_block, 4);
  }
  const std::int32_t rec_size = get_int(raw.record_size.data());
  num_block = get_int(raw.num_block.data());
  if (num_block < 0 || num_block > max_blockers) {
    return damaged(num_block_file, std::to_string(num_block) + " blockers, expected 0 to " +
                                       std::to_string(max_blockers));
  }
  const auto least_size = static_cast<std::int32_t>(block_image_size) * num_block;
  if (rec_size < least_size || rec_size > static_cast<std::int32_t>(blockers_image_size)) {
    return damaged(record_size_file, "length " + std::to_string(rec_size) + " is not between " +
                                         std::to_string(least_size) + " and " +
                                         std::to_string(blockers_image_size));
  }
  if (raw.blockers.size() < static_cast<std::size_t>(rec_size)) {
    return wrong_size(blockers_file, raw.blockers, static_cast<std::size_t>(rec_size));
  }
  if (raw.prisoner_size.size() != 4) {
    return wrong_size(prisoner_size_file, raw.prisoner_size, 4);
  }
  const std::int32_t prisoner_size = get_int(raw.prisoner_size.data());
  if (prisoner_size != static_cast<std::int32_t>(block_image_size)) {
    return damaged(prisoner_size_file, "length " + std::to_string(prisoner_size) + " is not " +
                                           std::to_string(block_image_size));
  }
  if (raw.prisoner.size() < block_image_size) {
    return wrong_size(prisoner_file, raw.prisoner, block_image_size);
  }
  if (raw.block_present.size() < grid_image_size) {
    return wrong_size(block_present_file, raw.block_present, grid_image_size);
  }

  // Entries past the level's blockers carry nothing; they are kept when they decode.
  for (int i = 0; i < max_blockers; ++i) {
    blockers[i] = BLOCK{};
    const std::size_t offset = block_image_size * static_cast<std::size_t>(i);
    if (offset + block_image_size > static_cast<std::size_t>(rec_size)) {
      continue;
    }
    const std::span<const unsigned char, block_image_size> image(raw.blockers.data() + offset,
                                                                 block_image_size);
    if (i >= num_block) {
      blockers[i] = decode_block(image).value_or(BLOCK{});
      continue;
    }
    if (std::string fault = block_fault(image, blockers[i]); !fault.empty()) {
      return damaged(blockers_file, block_name(i) + ": " + fault);
    }
  }
  const std::span<const unsigned char, block_image_size> prisoner_bytes(raw.prisoner.data(),
                                                                        block_image_size);
  if (std::string fault = block_fault(prisoner_bytes, prisoner); !fault.empty()) {
    return damaged(prisoner_file, "the prisoner: " + fault);
  }
  if (!prisoner.horizontal || prisoner.length != 2) {
    return damaged(prisoner_file, "the prisoner is not a horizontal block of length 2");
  }

  // Every block's cells, the prisoner first, to find shared cells.
  int owner[board_size][board_size];
  for (auto& column : owner) {
    for (int& cell : column) {
      cell = max_blockers;  // no block
    }
  }
  for (int i = -1; i < num_block; ++i) {
    const BLOCK& block = i < 0 ? prisoner : blockers[i];
    for (int k = 0; k < block.length; ++k) {
      const int cx = block.horizontal ? block.x + k : block.x;
      const int cy = block.horizontal ? block.y : block.y + k;
      if (owner[cx][cy] != max_blockers) {
        return damaged(blockers_file, block_name(i) + " shares the cell (" + std::to_string(cx) +
                                          ", " + std::to_string(cy) + ") with " +
                                          block_name(owner[cx][cy]));
      }
      owner[cx][cy] = i;
    }
  }

  const std::span<const unsigned char, grid_image_size> grid_bytes(raw.block_present.data(),
                                                                   grid_image_size);
  if (!decode_grid(grid_bytes, isblockthere)) {
    return damaged(block_present_file, "a cell byte is neither 0 nor 1");
  }
  for (int cx = 0; cx < board_size; ++cx) {
    for (int cy = 0; cy < board_size; ++cy) {
      if (isblockthere[cx][cy] != (owner[cx][cy] != max_blockers)) {
        return damaged(block_present_file, "the board does not match the blocks at cell (" +
                                               std::to_string(cx) + ", " + std::to_string(cy) +
                                               ")");
      }
    }
  }
  return {};
}

}  // namespace

block_image encode_block(const BLOCK& block) {
  block_image image{};
  image[0] = block.horizontal ? 1 : 0;
  put_int(&image[4], block.length);
  put_int(&image[8], block.x);
  put_int(&image[12], block.y);
  for (int k = 0; k < 3; ++k) {
    const bool set = k < block.length;
    put_int(&image[16 + 4 * k], set ? block.occupied_points_x[k] : 0);
    put_int(&image[28 + 4 * k], set ? block.occupied_points_y[k] : 0);
  }
  put_int(&image[40], block.block_Id);
  return image;
}

std::optional<BLOCK> decode_block(std::span<const unsigned char, block_image_size> image) {
  if (image[0] > 1) {
    return std::nullopt;
  }
  BLOCK block;
  block.horizontal = image[0] == 1;
  block.length = get_int(&image[4]);
  block.x = get_int(&image[8]);
  block.y = get_int(&image[12]);
  for (int k = 0; k < 3; ++k) {
    block.occupied_points_x[k] = get_int(&image[16 + 4 * k]);
    block.occupied_points_y[k] = get_int(&image[28 + 4 * k]);
  }
  block.block_Id = get_int(&image[40]);
  return block;
}

grid_image encode_grid(const bool (*isblockthere)[board_size]) {
  grid_image image{};
  for (int x = 0; x < board_size; ++x) {
    for (int y = 0; y < board_size; ++y) {
      image[board_size * x + y] = isblockthere[x][y] ? 1 : 0;
    }
  }
  return image;
}

bool decode_grid(std::span<const unsigned char, grid_image_size> image,
                 bool (*isblockthere)[board_size]) {
  for (int x = 0; x < board_size; ++x) {
    for (int y = 0; y < board_size; ++y) {
      const unsigned char byte = image[board_size * x + y];
      if (byte > 1) {
        return false;
      }
      isblockthere[x][y] = byte == 1;
    }
  }
  return true;
}

config_image encode_config(const config& configuration) {
  config_image image{};
  put_int(&image[0], configuration.Id);
  const grid_image grid = encode_grid(configuration.isblockthere);
  std::copy(grid.begin(), grid.end(), image.begin() + 4);
  for (int i = 0; i < max_blockers; ++i) {
    const block_image block = encode_block(configuration.blockers[i]);
    std::copy(block.begin(), block.end(), image.begin() + 40 + block_image_size * i);
  }
  const block_image prisoner = encode_block(configuration.prisoner);
  std::copy(prisoner.begin(), prisoner.end(), image.begin() + 612);
  put_int(&image[656], configuration.num_block);
  put_int(&image[660], configuration.config_creating_move);
  put_int(&image[664], configuration.Id_block_moved);
  return image;
}

void write_level_files(const BLOCK* blockers, BLOCK prisoner, int num_block,
                       const bool (*isblockthere)[board_size], std::ostream& out) {
  std::array<unsigned char, blockers_image_size> blockers_bytes{};
  for (int i = 0; i < max_blockers; ++i) {
    const block_image image = encode_block(blockers[i]);
    std::copy(image.begin(), image.end(), blockers_bytes.begin() + block_image_size * i);
  }
  unsigned char record_size[4];
  put_int(record_size, static_cast<std::int32_t>(blockers_image_size));
  const block_image prisoner_bytes = encode_block(prisoner);
  unsigned char prisoner_size[4];
  put_int(prisoner_size, static_cast<std::int32_t>(block_image_size));
  unsigned char count[4];
  put_int(count, num_block);
  const grid_image grid = encode_grid(isblockthere);

  struct step {
    const char* name;
    const void* data;
    std::size_t size;
    const char* message;
  };
  const step steps[] = {
      {blockers_file, blockers_bytes.data(), blockers_bytes.size(),
       "failed to create Diff_lvl_file"},
      {record_size_file, record_size, 4, "failed to create record_size_file"},
      {prisoner_file, prisoner_bytes.data(), prisoner_bytes.size(),
       "failed to create prisoner file"},
      {prisoner_size_file, prisoner_size, 4, "failed to create prisoner file size"},
      {num_block_file, count, 4, "failed to create num_block_file"},
      {block_present_file, grid.data(), grid.size(), "failed to create block present file"},
  };
  for (const step& s : steps) {
    if (!write_file(s.name, s.data, s.size)) {
      out << s.message << std::endl;
      return;
    }
  }
}

bool read_level_files(BLOCK* blockers, BLOCK& prisoner, int& num_block,
                      bool (*isblockthere)[board_size], std::ostream& out) {
  const std::optional<raw_level> raw = read_raw_level(out);
  if (!raw) {
    return false;
  }
  const std::string fault = check_level(*raw, blockers, prisoner, num_block, isblockthere);
  if (!fault.empty()) {
    out << fault << std::endl;
    return false;
  }
  return true;
}

bool write_config_snapshot(const config& start, std::ostream& out) {
  const config_image image = encode_config(start);
  if (!write_file(level_snapshot_file, image.data(), image.size())) {
    out << "failed to create config file" << std::endl;
    return false;
  }
  unsigned char config_size[4];
  put_int(config_size, static_cast<std::int32_t>(config_image_size));
  if (!write_file(config_size_file, config_size, sizeof config_size)) {
    out << "failed to create config size file" << std::endl;
    return false;
  }
  return true;
}
