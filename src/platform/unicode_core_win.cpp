#include "platform/unicode_win.h"

#include <windows.h>

#include <climits>

#include "platform/error.h"

namespace lumora::platform {
namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > static_cast<std::size_t>(INT_MAX)) throw AppError("テキストが長すぎます");
  const int inLen = static_cast<int>(text.size());
  const int outLen = MultiByteToWideChar(codePage, 0, text.data(), inLen, nullptr, 0);
  if (outLen <= 0) return {};
  std::wstring out(static_cast<std::size_t>(outLen), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), inLen, out.data(), outLen);
  return out;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
  if (text.empty()) return {};
  if (text.size() > static_cast<std::size_t>(INT_MAX)) throw AppError("テキストが長すぎます");
  const int inLen = static_cast<int>(text.size());
  const int outLen = WideCharToMultiByte(codePage, 0, text.data(), inLen, nullptr, 0, nullptr, nullptr);
  if (outLen <= 0) return {};
  std::string out(static_cast<std::size_t>(outLen), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), inLen, out.data(), outLen, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }
std::string WideToUtf8(std::wstring_view wide) { return FromWide(CP_UTF8, wide); }
std::wstring AnsiToWide(std::string_view ansi) { return ToWide(CP_ACP, ansi); }
std::string WideToAnsi(std::wstring_view wide) { return FromWide(CP_ACP, wide); }
std::string AnsiToUtf8(std::string_view ansi) { return WideToUtf8(AnsiToWide(ansi)); }
std::string Utf8ToAnsi(std::string_view utf8) { return WideToAnsi(Utf8ToWide(utf8)); }

}  // namespace lumora::platform
