// The settings file through the private-profile functions of the system.
#include "platform/ini_file_win.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/module_win.h"
#include "platform/unicode_win.h"
#include "sheet/text_primitives.h"

namespace lumora::platform {
namespace {

constexpr DWORD kValueBufferSize = 2048;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// Decimal with an optional sign, or "0x" hexadecimal of up to 32 bits (taken
// as the two's complement pattern, so 0xFFFFFFFF is -1). Nothing for any
// other text or a decimal value outside int.
std::optional<int> ParseInteger(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    if (text.size() > 8) {
      // leading zeros do not count towards the 32 bits
      while (text.size() > 8 && text.front() == '0') text.remove_prefix(1);
      if (text.size() > 8) return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : text) {
      const int digit = DigitValue(c, 16);
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<int>(static_cast<std::int32_t>(value));
  }
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    const int digit = DigitValue(c, 10);
    if (digit < 0) return std::nullopt;
    value = value * 10 + digit;
    if (value > std::int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

std::string IniFile::ReadString(const char* section, const char* key,
                                const std::string& defaultValue) const {
  std::vector<char> buffer(kValueBufferSize);
  const DWORD length = GetPrivateProfileStringA(section, key, defaultValue.c_str(), buffer.data(),
                                                kValueBufferSize, path_.c_str());
  return std::string(buffer.data(), length);
}

int IniFile::ReadInteger(const char* section, const char* key, int defaultValue) const {
  // A missing key reads as the empty text, which is no number either.
  return ParseInteger(ReadString(section, key, std::string())).value_or(defaultValue);
}

bool IniFile::ReadBool(const char* section, const char* key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(const char* section, const char* key, const std::string& value) {
  if (!WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str())) {
    throw AppError(AnsiToUtf8(path_) + " に書き込めません");
  }
}

void IniFile::WriteInteger(const char* section, const char* key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const char* section, const char* key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string ProgramSettingsPath() {
  const std::string exe = ModulePath();
  std::string name = NamePart(exe);
  // '.' is never the second byte of a two-byte character in the ANSI code
  // pages, so a plain search finds only real dots.
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return FolderPart(exe) + name + ".ini";
}

}  // namespace lumora::platform
