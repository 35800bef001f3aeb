#include "icons/icon_file_check.h"

#include <cstdint>

namespace lumora {
namespace {

std::uint32_t Le(std::string_view bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

std::uint32_t Be32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

bool IconBitCount(std::uint32_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Bytes of a row of width pixels at bits each, rounded up to 4 bytes.
std::uint64_t RowBytes(std::uint64_t width, std::uint64_t bits) { return (width * bits + 31) / 32 * 4; }

bool SoundImage(std::string_view image) {
  constexpr std::string_view kPng = "\x89PNG\r\n\x1a\n";
  if (image.substr(0, kPng.size()) == kPng) {
    // The IHDR chunk comes first: length, type, width, height.
    if (image.size() < 24 || image.substr(12, 4) != "IHDR") return false;
    const std::uint32_t width = Be32(image, 16);
    const std::uint32_t height = Be32(image, 20);
    return width >= 1 && width <= 256 && height >= 1 && height <= 256;
  }
  if (image.size() < 40) return false;
  const std::uint32_t headerSize = Le(image, 0, 4);
  const auto width = static_cast<std::int32_t>(Le(image, 4, 4));
  const auto height = static_cast<std::int32_t>(Le(image, 8, 4));  // the image and its mask
  const std::uint32_t planes = Le(image, 12, 2);
  const std::uint32_t bits = Le(image, 14, 2);
  const std::uint32_t compression = Le(image, 16, 4);
  const std::uint32_t colorsUsed = Le(image, 32, 4);
  if (headerSize < 40 || headerSize > image.size() || width < 1 || width > 256 || height < 1 || height > 512 ||
      planes != 1 || !IconBitCount(bits) || (compression != 0 && compression != 3)) {
    return false;
  }
  if (bits <= 8 && colorsUsed > (1u << bits)) return false;
  const std::uint64_t colors = bits <= 8 ? (colorsUsed != 0 ? colorsUsed : 1u << bits) : 0;
  const std::uint64_t masks = compression == 3 && headerSize == 40 ? 12 : 0;
  const std::uint64_t rows = static_cast<std::uint64_t>((height + 1) / 2);
  const std::uint64_t needed = std::uint64_t{headerSize} + masks + colors * 4 +
                               RowBytes(static_cast<std::uint64_t>(width), bits) * rows +
                               RowBytes(static_cast<std::uint64_t>(width), 1) * rows;
  return needed <= image.size();
}

}  // namespace

bool IsSoundIconFile(std::string_view bytes) {
  if (bytes.size() < 6 || Le(bytes, 0, 2) != 0 || Le(bytes, 2, 2) != 1) return false;
  const std::uint32_t count = Le(bytes, 4, 2);
  const std::uint64_t directoryEnd = 6 + std::uint64_t{count} * 16;
  if (count == 0 || directoryEnd > bytes.size()) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + std::size_t{i} * 16;
    const std::uint32_t planes = Le(bytes, entry + 4, 2);
    const std::uint32_t bits = Le(bytes, entry + 6, 2);
    const std::uint64_t size = Le(bytes, entry + 8, 4);
    const std::uint64_t offset = Le(bytes, entry + 12, 4);
    if (planes > 1 || (bits != 0 && !IconBitCount(bits))) return false;
    if (size == 0 || offset < directoryEnd || offset + size > bytes.size()) return false;
    if (!SoundImage(bytes.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(size)))) return false;
  }
  return true;
}

}  // namespace lumora
