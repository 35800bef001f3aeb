// The settings file: a Windows INI file in the ANSI code page, read through
// the private-profile functions. Every write goes to the file at once,
// replacing it in one step (see SetIniValue); a value is read into 2,048
// bytes (longer values are cut).
#pragma once

#include <string>

namespace lumora::platform {

class IniFile {
 public:
  // path: the INI file (ANSI); it comes into being with the first write.
  explicit IniFile(std::string path);

  const std::string& Path() const { return path_; }

  std::string ReadString(const char* section, const char* key, const std::string& defaultValue) const;
  // Decimal text, or hexadecimal with a "0x" prefix; the default when the key
  // is missing or not a number.
  int ReadInteger(const char* section, const char* key, int defaultValue) const;
  // An integer, non-zero meaning true.
  bool ReadBool(const char* section, const char* key, bool defaultValue) const;

  // Throw AppError "<path> に書き込めません" and the system's reason on a line
  // of its own when the file cannot be read or written; the file then stays
  // as it was.
  void WriteString(const char* section, const char* key, const std::string& value);
  void WriteInteger(const char* section, const char* key, int value);
  // Written as "1" or "0".
  void WriteBool(const char* section, const char* key, bool value);

 private:
  std::string path_;
};

// The settings file of the running program: its executable's full path with
// the extension replaced by ".ini".
std::string ProgramSettingsPath();

}  // namespace lumora::platform
