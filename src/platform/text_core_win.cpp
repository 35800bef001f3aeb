#include "platform/text_win.h"

#include <windows.h>
#include <oleauto.h>

#include <climits>
#include <cstring>

#include "platform/unicode_win.h"

namespace lumora::platform {

Win32TextPlatform::Win32TextPlatform() {
  CPINFO info{};
  if (GetCPInfo(CP_ACP, &info)) {
    // LeadByte holds up to MAX_LEADBYTES/2 ranges, ended by a pair of zeros.
    for (int i = 0; i + 1 < MAX_LEADBYTES; i += 2) {
      const BYTE first = info.LeadByte[i];
      const BYTE last = info.LeadByte[i + 1];
      if (first == 0 && last == 0) break;
      if (first <= last) leadBytes_.AddRange(first, last);
    }
  }
}

std::string Win32TextPlatform::MapToHalfWidth(std::string_view ansiText) const {
  if (ansiText.empty() || ansiText.size() > static_cast<std::size_t>(INT_MAX)) return {};
  char buffer[256];
  std::memset(buffer, 0, sizeof buffer);
  // 0x0800 is LOCALE_SYSTEM_DEFAULT. The last byte of the buffer is left
  // alone, so the result always has a terminating zero.
  const int written = LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_HALFWIDTH, ansiText.data(),
                                   static_cast<int>(ansiText.size()), buffer,
                                   static_cast<int>(sizeof buffer) - 1);
  if (written == 0) return {};
  return std::string(buffer);  // up to the first zero byte
}

std::optional<double> Win32TextPlatform::TextToDate(std::string_view ansiText) const {
  std::wstring wide = AnsiToWide(ansiText);
  if (wide.empty()) return std::nullopt;
  DATE date = 0;
  const HRESULT hr = VarDateFromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &date);
  if (FAILED(hr)) return std::nullopt;
  return static_cast<double>(date);
}

std::string Win32TextPlatform::AnsiToUtf8(std::string_view ansiText) const {
  return platform::AnsiToUtf8(ansiText);
}

LocalTime Win32TextPlatform::Now() const {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wDayOfWeek};
}

namespace {

// Formats with one of the locale's A functions into a text without its
// terminating zero; empty when the system refuses.
template <typename Format>
std::string LocaleText(Format format) {
  char buffer[128];
  const int n = format(buffer, static_cast<int>(sizeof buffer));
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n - 1)) : std::string();
}

}  // namespace

std::string Win32TextPlatform::DateTimeText(const LocalTime& time) const {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(time.year);
  st.wMonth = static_cast<WORD>(time.month);
  st.wDay = static_cast<WORD>(time.day);
  st.wDayOfWeek = static_cast<WORD>(time.weekday);
  st.wHour = static_cast<WORD>(time.hour);
  st.wMinute = static_cast<WORD>(time.minute);
  st.wSecond = static_cast<WORD>(time.second);
  std::string text = LocaleText([&](char* out, int size) {
    return GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, out, size);
  });
  if (time.hour == 0 && time.minute == 0 && time.second == 0) return text;
  text += ' ';
  text += LocaleText([&](char* out, int size) {
    return GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, out, size);
  });
  return text;
}

const TextPlatform& SystemText() {
  static const Win32TextPlatform system;
  return system;
}

}  // namespace lumora::platform
