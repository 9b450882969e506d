#include "model/level_images.h"

#include <algorithm>
#include <cstddef>

// The records are laid out in memory as they are stored, so that a config is
// its image; the images themselves are still written field by field.
static_assert(sizeof(BLOCK) == block_image_size);
static_assert(offsetof(BLOCK, length) == block_image_layout::length);
static_assert(offsetof(BLOCK, x) == block_image_layout::x);
static_assert(offsetof(BLOCK, y) == block_image_layout::y);
static_assert(offsetof(BLOCK, occupied_points_x) == block_image_layout::occupied_points_x);
static_assert(offsetof(BLOCK, occupied_points_y) == block_image_layout::occupied_points_y);
static_assert(offsetof(BLOCK, block_Id) == block_image_layout::block_Id);
static_assert(sizeof(config) == config_image_size);
static_assert(offsetof(config, isblockthere) == config_image_layout::isblockthere);
static_assert(offsetof(config, blockers) == config_image_layout::blockers);
static_assert(offsetof(config, prisoner) == config_image_layout::prisoner);
static_assert(offsetof(config, num_block) == config_image_layout::num_block);
static_assert(offsetof(config, config_creating_move) == config_image_layout::config_creating_move);
static_assert(offsetof(config, Id_block_moved) == config_image_layout::Id_block_moved);

void put_int_image(unsigned char* out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) {
    out[i] = static_cast<unsigned char>(bits >> (8 * i));
  }
}

std::int32_t get_int_image(const unsigned char* in) {
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) {
    bits |= static_cast<std::uint32_t>(in[i]) << (8 * i);
  }
  return static_cast<std::int32_t>(bits);
}

block_image encode_block(const BLOCK& block) {
  using layout = block_image_layout;
  block_image image{};
  image[layout::horizontal] = block.horizontal ? 1 : 0;
  put_int_image(&image[layout::length], block.length);
  put_int_image(&image[layout::x], block.x);
  put_int_image(&image[layout::y], block.y);
  for (int k = 0; k < 3; ++k) {
    const bool set = k < block.length;
    put_int_image(&image[layout::occupied_points_x + int_image_size * k],
                  set ? block.occupied_points_x[k] : 0);
    put_int_image(&image[layout::occupied_points_y + int_image_size * k],
                  set ? block.occupied_points_y[k] : 0);
  }
  put_int_image(&image[layout::block_Id], block.block_Id);
  return image;
}

std::optional<BLOCK> decode_block(std::span<const unsigned char, block_image_size> image) {
  using layout = block_image_layout;
  if (image[layout::horizontal] > 1) {
    return std::nullopt;
  }
  BLOCK block;
  block.horizontal = image[layout::horizontal] == 1;
  block.length = get_int_image(&image[layout::length]);
  block.x = get_int_image(&image[layout::x]);
  block.y = get_int_image(&image[layout::y]);
  for (int k = 0; k < 3; ++k) {
    block.occupied_points_x[k] =
        get_int_image(&image[layout::occupied_points_x + int_image_size * k]);
    block.occupied_points_y[k] =
        get_int_image(&image[layout::occupied_points_y + int_image_size * k]);
  }
  block.block_Id = get_int_image(&image[layout::block_Id]);
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
  using layout = config_image_layout;
  config_image image{};
  put_int_image(&image[layout::Id], configuration.Id);
  const grid_image grid = encode_grid(configuration.isblockthere);
  std::copy(grid.begin(), grid.end(), image.begin() + layout::isblockthere);
  for (int i = 0; i < max_blockers; ++i) {
    const block_image block = encode_block(configuration.blockers[i]);
    std::copy(block.begin(), block.end(), image.begin() + layout::blockers + block_image_size * i);
  }
  const block_image prisoner = encode_block(configuration.prisoner);
  std::copy(prisoner.begin(), prisoner.end(), image.begin() + layout::prisoner);
  put_int_image(&image[layout::num_block], configuration.num_block);
  put_int_image(&image[layout::config_creating_move], configuration.config_creating_move);
  put_int_image(&image[layout::Id_block_moved], configuration.Id_block_moved);
  return image;
}

std::array<level_file_image, level_file_count> level_file_images(
    const BLOCK* blockers, BLOCK prisoner, int num_block, const bool (*isblockthere)[board_size]) {
  const auto int_image = [](std::int32_t value) {
    std::vector<unsigned char> image(int_image_size);
    put_int_image(image.data(), value);
    return image;
  };
  std::vector<unsigned char> blockers_bytes(blockers_image_size);
  for (int i = 0; i < max_blockers; ++i) {
    const block_image image = encode_block(blockers[i]);
    std::copy(image.begin(), image.end(), blockers_bytes.begin() + block_image_size * i);
  }
  const block_image prisoner_bytes = encode_block(prisoner);
  const grid_image grid = encode_grid(isblockthere);
  return {{{blockers_file, std::move(blockers_bytes)},
           {record_size_file, int_image(static_cast<std::int32_t>(blockers_image_size))},
           {prisoner_file, {prisoner_bytes.begin(), prisoner_bytes.end()}},
           {prisoner_size_file, int_image(static_cast<std::int32_t>(block_image_size))},
           {num_block_file, int_image(num_block)},
           {block_present_file, {grid.begin(), grid.end()}}}};
}
