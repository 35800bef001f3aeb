#include "driver/text.h"

#include <windows.h>

#include <vector>

namespace lumora::e2e {

namespace {

std::wstring ToUtf16(std::string_view bytes, UINT codePage) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

std::string FromUtf16(std::wstring_view text, UINT codePage) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring Utf16FromUtf8(std::string_view utf8) { return ToUtf16(utf8, CP_UTF8); }
std::string Utf8FromUtf16(std::wstring_view text) { return FromUtf16(text, CP_UTF8); }
std::string AnsiFromUtf16(std::wstring_view text, unsigned codePage) { return FromUtf16(text, codePage); }
std::wstring Utf16FromAnsi(std::string_view bytes, unsigned codePage) { return ToUtf16(bytes, codePage); }

std::wstring WindowsPathFromAnyPath(std::string_view path) {
  std::wstring out = Utf16FromUtf8(path);
  for (wchar_t& c : out) {
    if (c == L'/') c = L'\\';
  }
  const bool unixAbsolute = !path.empty() && path.front() == '/';
  if (unixAbsolute) out.insert(0, L"Z:");
  return out;
}

std::wstring EnvironmentValue(const wchar_t* name) {
  const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return {};
  std::vector<wchar_t> buffer(n);
  const DWORD got = GetEnvironmentVariableW(name, buffer.data(), n);
  return std::wstring(buffer.data(), got);
}

}  // namespace lumora::e2e
