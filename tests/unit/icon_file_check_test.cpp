// Icon files checked before the system's loader sees them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "icons/icon_file_check.h"

namespace lumora {
namespace {

void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 16x16 24-bit icon with its mask; the image header's width and height as
// given, and the directory's image size and offset moved by the deltas.
std::string Icon(std::int32_t width = 16, std::int32_t height = 32, std::uint32_t sizeDelta = 0,
                 std::uint32_t offset = 22) {
  std::string image;
  Put(image, 40, 4);
  Put(image, static_cast<std::uint32_t>(width), 4);
  Put(image, static_cast<std::uint32_t>(height), 4);
  Put(image, 1, 2);
  Put(image, 24, 2);
  image += std::string(24, '\0') + std::string(16 * 48 + 16 * 4, '\x7F');
  std::string file;
  for (std::uint32_t v : {0u, 1u, 1u}) Put(file, v, 2);
  file += "\x10\x10";
  for (std::uint32_t v : {0u, 1u, 24u}) Put(file, v, 2);
  Put(file, static_cast<std::uint32_t>(image.size()) + sizeDelta, 4);
  Put(file, offset, 4);
  return file + image;
}

TEST(IconFileCheckTest, AWholeIconPassesAndOneThatClaimsTooMuchDoesNot) {
  EXPECT_TRUE(IsSoundIconFile(Icon()));
  EXPECT_FALSE(IsSoundIconFile(Icon(0x7FFFFFFF, -0x7FFFFFFF)));
  EXPECT_FALSE(IsSoundIconFile(Icon(257, 32)));
  EXPECT_FALSE(IsSoundIconFile(Icon(64, 128)));  // pixels past the image's bytes
  EXPECT_FALSE(IsSoundIconFile(Icon(16, 32, 1)));
  EXPECT_FALSE(IsSoundIconFile(Icon(16, 32, 0, 0xFFFFFFF0)));
  EXPECT_FALSE(IsSoundIconFile(Icon(16, 32, 0, 4)));  // inside the directory
  std::string bits = Icon();
  bits[22 + 14] = 7;
  EXPECT_FALSE(IsSoundIconFile(bits));
}

}  // namespace
}  // namespace lumora
