#include "icons/unit_geticon_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

namespace lumora {

platform::IconHandle GetFileIcon(const std::string& path) {
  SHFILEINFOA info{};
  SHGetFileInfoA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON);
  return platform::IconHandle(info.hIcon);
}

BITMAPINFO SquareTopDownBitmap(int side, WORD bitCount) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = side;
  info.bmiHeader.biHeight = -side;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bitCount;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

IconPixels IconOnWhite(HICON icon) {
  IconPixels pixels = WhiteIconPixels();
  if (!icon) return pixels;
  platform::MemoryDcHandle dc(CreateCompatibleDC(nullptr));
  if (!dc) return pixels;
  BITMAPINFO info = SquareTopDownBitmap(kIconSide, 24);  // top-down, as the cells are
  void* bits = nullptr;
  platform::BitmapHandle bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return pixels;
  std::memcpy(bits, pixels.data(), pixels.size());
  {
    platform::SelectObjectScope select(dc.get(), bitmap.get());
    DrawIconEx(dc.get(), 0, 0, icon, kIconSide, kIconSide, 0, nullptr, DI_NORMAL);
    GdiFlush();
  }
  std::memcpy(pixels.data(), bits, pixels.size());
  return pixels;
}

std::optional<IconPixels> LookUpTargetIcon(const std::string& target) {
  // Only an existing file or folder goes to the shell: a command line, a
  // quoted path or a missing file gets the default icon.
  if (target.empty() || GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  const platform::IconHandle icon = GetFileIcon(target);
  if (!icon) return std::nullopt;
  return IconOnWhite(icon.get());
}

std::vector<std::uint32_t> IconOnWhiteAt(HICON icon, int size) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), 0x00FFFFFF);
  platform::MemoryDcHandle dc(CreateCompatibleDC(nullptr));
  if (!icon || !dc) return pixels;
  BITMAPINFO info = SquareTopDownBitmap(size, 32);
  void* bits = nullptr;
  platform::BitmapHandle bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return pixels;
  const std::size_t bytes = pixels.size() * sizeof pixels[0];
  std::memcpy(bits, pixels.data(), bytes);
  {
    platform::SelectObjectScope select(dc.get(), bitmap.get());
    DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
  }
  std::memcpy(pixels.data(), bits, bytes);
  for (std::uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;  // the alpha byte DrawIconEx may leave
  return pixels;
}

std::optional<std::vector<std::uint32_t>> LookUpTargetIconAt(const std::string& target, int size) {
  if (target.empty() || GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  platform::IconHandle icon;
  SHFILEINFOA info{};
  if (SHGetFileInfoA(target.c_str(), FILE_ATTRIBUTE_ARCHIVE, &info, sizeof info, SHGFI_ICONLOCATION) &&
      info.szDisplayName[0] != '\0') {
    HICON extracted = nullptr;
    const UINT sizes = MAKELONG(size, size);
    if (SHDefExtractIconA(info.szDisplayName, info.iIcon, 0, &extracted, nullptr, sizes) == S_OK) icon.reset(extracted);
  }
  if (!icon) {
    SHFILEINFOA large{};
    SHGetFileInfoA(target.c_str(), FILE_ATTRIBUTE_ARCHIVE, &large, sizeof large, SHGFI_ICON | SHGFI_LARGEICON);
    icon.reset(large.hIcon);
  }
  if (!icon) return std::nullopt;
  return IconOnWhiteAt(icon.get(), size);
}

}  // namespace lumora
