#include "model/printable.h"

namespace {

// The length of the character whose first byte is `lead`, or 0 for a byte that begins none.
std::size_t length_from_lead(unsigned char lead) {
  if (lead < 0x80) {
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    return 2;
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    return 4;
  }
  return 0;
}

// The code point of a whole character of `length` bytes, or -1 when the bytes
// are no valid character (a wrong continuation, an overlong form, a surrogate).
long code_point(std::string_view bytes) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  static constexpr unsigned char lead_bits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  static constexpr long least[] = {0, 0, 0x80, 0x800, 0x10000};
  long point = byte(0) & lead_bits[bytes.size()];
  for (std::size_t i = 1; i < bytes.size(); ++i) {
    if ((byte(i) & 0xC0) != 0x80) {
      return -1;
    }
    point = (point << 6) | (byte(i) & 0x3F);
  }
  if (point < least[bytes.size()] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
    return -1;
  }
  return point;
}

std::string hex(unsigned long value, int digits) {
  static constexpr char numerals[] = "0123456789ABCDEF";
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) {
    text[static_cast<std::size_t>(i)] = numerals[value & 0xF];
  }
  return text;
}

}  // namespace

std::vector<std::string_view> characters_of(std::string_view text) {
  std::vector<std::string_view> characters;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t length = length_from_lead(static_cast<unsigned char>(text[at]));
    if (length == 0 || at + length > text.size() || code_point(text.substr(at, length)) < 0) {
      length = 1;
    }
    characters.push_back(text.substr(at, length));
    at += length;
  }
  return characters;
}

std::string printable(std::string_view text) {
  std::string shown;
  for (const std::string_view character : characters_of(text)) {
    const auto first = static_cast<unsigned char>(character[0]);
    if (character.size() > 1) {
      const long point = code_point(character);
      if (point <= 0x9F) {
        shown += "\\u";
        shown += hex(static_cast<unsigned long>(point), 4);
      } else {
        shown += character;
      }
    } else if (first == '\n') {
      shown += "\\n";
    } else if (first == '\t') {
      shown += "\\t";
    } else if (first == '\r') {
      shown += "\\r";
    } else if (first < 0x20 || first >= 0x7F) {
      shown += "\\x";
      shown += hex(first, 2);
    } else {
      shown += character;
    }
  }
  return shown;
}

std::string quoted_path(const std::filesystem::path& path) {
  std::string quoted(1, '"');
  quoted += printable(path.string());
  quoted += '"';
  return quoted;
}
