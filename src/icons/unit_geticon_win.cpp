#include "icons/unit_geticon_win.h"

#include <shellapi.h>

#include <cstring>

namespace lumora {

platform::IconHandle GetFileIcon(const std::string& path) {
  SHFILEINFOA info{};
  SHGetFileInfoA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON);
  return platform::IconHandle(info.hIcon);
}

IconPixels IconOnWhite(HICON icon) {
  IconPixels pixels = WhiteIconPixels();
  if (!icon) return pixels;
  platform::MemoryDcHandle dc(CreateCompatibleDC(nullptr));
  if (!dc) return pixels;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kIconSide;
  info.bmiHeader.biHeight = -kIconSide;  // top-down, as the cells are
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
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

}  // namespace lumora
