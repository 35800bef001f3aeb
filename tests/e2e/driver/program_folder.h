// A fresh, throw-away program folder for one test, "lumora-e2e-<unique>" in
// the temporary folder, with an empty "data" subfolder, a copy of the program under test, and any data
// or settings files the test writes as raw bytes. The whole tree is removed
// when the object goes away.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumora::e2e {

class ProgramFolder {
 public:
  // Creates the folder and its "data\" subfolder; throws std::runtime_error on failure.
  ProgramFolder();
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  // Full path, ending with a backslash.
  const std::wstring& Path() const { return path_; }
  // Path() + relative ("data\\applist.tsv" and the like).
  std::wstring PathOf(std::wstring_view relative) const;

  // Copies an executable into the folder under the given name and remembers it
  // as the folder's program. Returns its full path.
  std::wstring CopyProgram(const std::wstring& source, std::wstring_view name = L"Lumora.exe");
  // Full path of the copied program; empty before CopyProgram.
  const std::wstring& ProgramPath() const { return program_; }
  // The settings file beside the program: its path with the extension ".ini".
  std::wstring SettingsPath() const;

  // Writes bytes exactly as given (no conversion, no BOM), creating missing folders.
  void WriteFile(std::wstring_view relative, std::string_view bytes) const;
  // Writes the settings file beside the program.
  void WriteSettings(std::string_view bytes) const;
  // The file's bytes, or nullopt when it cannot be read.
  std::optional<std::string> ReadFile(std::wstring_view relative) const;
  bool Exists(std::wstring_view relative) const;
  void MakeFolder(std::wstring_view relative) const;

  // Leaves the folder on disk at the end (to look at it after a failure).
  void Keep() { keep_ = true; }

 private:
  std::wstring path_;
  std::wstring program_;
  bool keep_ = false;
};

// Removes a folder and everything under it. Retries for a short while, since
// a program that has just ended may still hold a file open under Wine.
bool RemoveTree(const std::wstring& folder);

}  // namespace lumora::e2e
