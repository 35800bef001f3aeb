#include "driver/screenshot.h"

#include <cstring>
#include <stdexcept>

#include "driver/handles.h"
#include "driver/text.h"

namespace lumora::e2e {

namespace {

struct ScreenDC {
  HDC dc = GetDC(nullptr);
  ~ScreenDC() {
    if (dc) ReleaseDC(nullptr, dc);
  }
};

struct MemoryDC {
  HDC dc;
  explicit MemoryDC(HDC compatible) : dc(CreateCompatibleDC(compatible)) {}
  ~MemoryDC() {
    if (dc) DeleteDC(dc);
  }
};

struct GdiObject {
  HGDIOBJ object;
  ~GdiObject() {
    if (object) DeleteObject(object);
  }
};

struct Selection {
  HDC dc;
  HGDIOBJ previous;
  Selection(HDC d, HGDIOBJ object) : dc(d), previous(SelectObject(d, object)) {}
  ~Selection() { SelectObject(dc, previous); }
};

BITMAPINFOHEADER HeaderFor(int width, int height, bool topDown) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = topDown ? -height : height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  return header;
}

}  // namespace

COLORREF Capture::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) throw std::out_of_range("pixel outside the capture");
  const std::uint8_t* p = pixels.data() + static_cast<size_t>(y) * Stride() + static_cast<size_t>(x) * 3;
  return RGB(p[2], p[1], p[0]);
}

Capture CaptureScreen() {
  Capture capture;
  capture.width = GetSystemMetrics(SM_CXSCREEN);
  capture.height = GetSystemMetrics(SM_CYSCREEN);
  ScreenDC screen;
  if (!screen.dc) throw std::runtime_error("GetDC(NULL) failed");
  MemoryDC memory(screen.dc);
  BITMAPINFO info{};
  info.bmiHeader = HeaderFor(capture.width, capture.height, true);
  void* bits = nullptr;
  GdiObject bitmap{CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)};
  if (!memory.dc || !bitmap.object || !bits) throw std::runtime_error("cannot create the capture bitmap");
  {
    Selection selected(memory.dc, bitmap.object);
    if (!BitBlt(memory.dc, 0, 0, capture.width, capture.height, screen.dc, 0, 0, SRCCOPY | CAPTUREBLT)) {
      throw std::runtime_error("BitBlt of the screen failed");
    }
    GdiFlush();
  }
  const auto* begin = static_cast<const std::uint8_t*>(bits);
  capture.pixels.assign(begin, begin + static_cast<size_t>(capture.Stride()) * capture.height);
  return capture;
}

void SaveBmp(const Capture& capture, const std::wstring& path) {
  const auto imageSize = static_cast<DWORD>(capture.pixels.size());
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageSize;
  BITMAPINFOHEADER header = HeaderFor(capture.width, capture.height, false);
  header.biSizeImage = imageSize;

  std::vector<std::uint8_t> bytes(file.bfSize);
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &header, sizeof header);
  // Bottom-up rows, as most BMP readers expect.
  const size_t stride = static_cast<size_t>(capture.Stride());
  for (int y = 0; y < capture.height; ++y) {
    std::memcpy(bytes.data() + file.bfOffBits + stride * (capture.height - 1 - y),
                capture.pixels.data() + stride * y, stride);
  }

  UniqueHandle out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!out.Valid() || !WriteFile(out.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    throw std::runtime_error("cannot write " + Utf8FromUtf16(path));
  }
}

std::optional<std::wstring> ReportsFolder() {
  const std::wstring value = EnvironmentValue(L"LUMORA_REPORTS_DIR");
  if (value.empty()) return std::nullopt;
  std::wstring folder = WindowsPathFromAnyPath(Utf8FromUtf16(value));
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

std::optional<std::wstring> SaveScreenshotToReports(std::wstring_view name) {
  const auto folder = ReportsFolder();
  if (!folder) return std::nullopt;
  CreateDirectoryW(folder->c_str(), nullptr);
  const std::wstring path = *folder + std::wstring(name) + L".bmp";
  SaveBmp(CaptureScreen(), path);
  return path;
}

}  // namespace lumora::e2e
