// The byte images in which the level files and the snapshot store the
// records: a block, the board grid, a configuration, and the six level files
// of a level by name. Little-endian integers, written field by field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/block_records.h"

// Bytes of a stored 32-bit integer.
inline constexpr std::size_t int_image_size = 4;
// The grid image: one byte a cell, cell (x, y) at 6 * x + y.
inline constexpr std::size_t grid_image_size = board_size * board_size;

// Where each field of a block image starts; the image ends at `end`.
struct block_image_layout {
  static constexpr std::size_t horizontal = 0;  // one byte, then three fill bytes
  static constexpr std::size_t length = horizontal + 4;
  static constexpr std::size_t x = length + int_image_size;
  static constexpr std::size_t y = x + int_image_size;
  static constexpr std::size_t occupied_points_x = y + int_image_size;
  static constexpr std::size_t occupied_points_y = occupied_points_x + 3 * int_image_size;
  static constexpr std::size_t block_Id = occupied_points_y + 3 * int_image_size;
  static constexpr std::size_t end = block_Id + int_image_size;
};
inline constexpr std::size_t block_image_size = block_image_layout::end;             // 44
inline constexpr std::size_t blockers_image_size = block_image_size * max_blockers;  // 572

// Where each field of a config image starts; the image ends at `end`.
struct config_image_layout {
  static constexpr std::size_t Id = 0;
  static constexpr std::size_t isblockthere = Id + int_image_size;
  static constexpr std::size_t blockers = isblockthere + grid_image_size;
  static constexpr std::size_t prisoner = blockers + blockers_image_size;
  static constexpr std::size_t num_block = prisoner + block_image_size;
  static constexpr std::size_t config_creating_move = num_block + int_image_size;
  static constexpr std::size_t Id_block_moved = config_creating_move + int_image_size;
  static constexpr std::size_t end = Id_block_moved + int_image_size;
};
inline constexpr std::size_t config_image_size = config_image_layout::end;  // 668

// The file names, relative to the working directory.
inline constexpr const char* blockers_file = "blockers";
inline constexpr const char* record_size_file = "record_size";
inline constexpr const char* prisoner_file = "prisoner";
inline constexpr const char* prisoner_size_file = "prisoner_size";
inline constexpr const char* num_block_file = "num_block";
inline constexpr const char* block_present_file = "block_present";
inline constexpr const char* level_snapshot_file = "level__";
inline constexpr const char* config_size_file = "config_size";

using block_image = std::array<unsigned char, block_image_size>;
using grid_image = std::array<unsigned char, grid_image_size>;
using config_image = std::array<unsigned char, config_image_size>;

// The 44-byte image of `block`: little-endian integers, zero fill bytes and
// zero occupied points beyond the block's length.
block_image encode_block(const BLOCK& block);
// The block an image holds, or nothing when its orientation byte is not 0 or 1.
std::optional<BLOCK> decode_block(std::span<const unsigned char, block_image_size> image);
// The 36-byte image of a grid: the byte of cell (x, y) at 6 * x + y.
grid_image encode_grid(const bool (*isblockthere)[board_size]);
// Fills the grid from an image; false, with the grid unspecified, when a byte is not 0 or 1.
bool decode_grid(std::span<const unsigned char, grid_image_size> image,
                 bool (*isblockthere)[board_size]);
// The 668-byte image of a configuration.
config_image encode_config(const config& configuration);

// The number of level files a level is stored in.
inline constexpr std::size_t level_file_count = 6;
// The level files in the order the reader reads them.
inline constexpr const char* level_files_read_order[level_file_count] = {
    record_size_file,   num_block_file, blockers_file,
    prisoner_size_file, prisoner_file,  block_present_file};

// One level file as it is stored: its name and its bytes.
struct level_file_image {
  const char* name;
  std::vector<unsigned char> bytes;
};
// The images of the six level files of a level, in the order they are written.
std::array<level_file_image, level_file_count> level_file_images(
    const BLOCK* blockers, BLOCK prisoner, int num_block, const bool (*isblockthere)[board_size]);

// The 32-bit integer an image holds at `in`, and the image of `value` at `out`.
std::int32_t get_int_image(const unsigned char* in);
void put_int_image(unsigned char* out, std::int32_t value);
