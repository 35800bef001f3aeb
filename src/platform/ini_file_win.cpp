// The settings file: read through the private-profile functions of the
// system, written in the same format through a temporary file.
#include "platform/ini_file_win.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/ini_text.h"
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

// The file is read whole, the value set in its text, and the text written
// through a temporary file that takes the file's place in one step: a kill at
// any moment leaves the old file or the new one, never an empty or cut one.
// A file that exists but cannot be read whole is never written over.
void IniFile::WriteString(const char* section, const char* key, const std::string& value) {
  try {
    std::string text;
    const DWORD attributes = GetFileAttributesA(path_.c_str());
    const DWORD lookup = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    if (lookup != ERROR_FILE_NOT_FOUND && lookup != ERROR_PATH_NOT_FOUND) {
      const std::unique_ptr<InputFile> file = OpenInputFile(path_);
      char buffer[16384];
      for (std::size_t got; (got = file->Read(buffer, sizeof buffer)) > 0;) text.append(buffer, got);
    }
    text = SetIniValue(text, section, key, value);
    const std::unique_ptr<OutputFile> file = CreateOutputFile(path_);
    file->Write(text.data(), text.size());
    file->Commit();
  } catch (const FileError& error) {
    throw AppError(AnsiToUtf8(path_) + " に書き込めません\r\n" + error.Reason());
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
