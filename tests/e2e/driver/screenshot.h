// Screen captures for the test reports: the whole screen as 24-bit pixels,
// saved as a BMP file (the test script turns it into PNG).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::e2e {

struct Capture {
  int width = 0;
  int height = 0;
  // Rows top-down, 3 bytes a pixel in the order blue, green, red, each row
  // padded to a multiple of 4 bytes as in a BMP file.
  std::vector<std::uint8_t> pixels;

  int Stride() const { return (width * 3 + 3) & ~3; }
  // The colour at a point of the captured area (RGB macro layout).
  COLORREF PixelAt(int x, int y) const;
};

// Captures the primary screen (GetDC(NULL) + BitBlt). Throws std::runtime_error on failure.
Capture CaptureScreen();
// Writes a 24-bit bottom-up BMP file. Throws std::runtime_error on failure.
void SaveBmp(const Capture& capture, const std::wstring& path);

// The folder named by LUMORA_REPORTS_DIR (a Unix path is turned into Z:\...),
// or nullopt when the variable is not set.
std::optional<std::wstring> ReportsFolder();
// Captures the screen into <reports folder>\<name>.bmp. Returns the path, or
// nullopt when no reports folder is set.
std::optional<std::wstring> SaveScreenshotToReports(std::wstring_view name);

}  // namespace lumora::e2e
