#include "driver/program_folder.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>

#include "driver/handles.h"
#include "driver/text.h"
#include "driver/wait.h"

namespace lumora::e2e {

namespace {

std::runtime_error Failure(const std::string& what, const std::wstring& path) {
  return std::runtime_error(what + " (" + Utf8FromUtf16(path) + "), error " + std::to_string(GetLastError()));
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates every missing folder along the path (which names a folder).
void MakeFolders(const std::wstring& folder) {
  for (size_t i = 3; i <= folder.size(); ++i) {  // skip "X:\"
    if (i < folder.size() && folder[i] != L'\\') continue;
    const std::wstring part = folder.substr(0, i);
    if (part.empty() || IsFolder(part)) continue;
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      throw Failure("cannot create folder", part);
    }
  }
}

std::wstring ParentOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring UniqueFolderName() {
  static std::atomic<unsigned> counter{0};
  return L"lumora-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount()) + L"-" +
         std::to_wstring(counter++);
}

bool RemoveTreeOnce(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  const std::wstring pattern = folder + L"\\*";
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTreeOnce(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryW(folder.c_str()) || GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool RemoveTree(const std::wstring& folder) {
  std::wstring trimmed = folder;
  while (trimmed.size() > 3 && trimmed.back() == L'\\') trimmed.pop_back();
  return WaitUntil([&] { return RemoveTreeOnce(trimmed); }, 2s);
}

ProgramFolder::ProgramFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) throw std::runtime_error("GetTempPathW failed");
  std::wstring base(temp, n);
  if (base.back() != L'\\') base += L'\\';
  path_ = base + UniqueFolderName() + L"\\";
  MakeFolders(path_.substr(0, path_.size() - 1));
  MakeFolder(L"data");
}

ProgramFolder::~ProgramFolder() {
  if (!keep_) RemoveTree(path_);
}

std::wstring ProgramFolder::PathOf(std::wstring_view relative) const { return path_ + std::wstring(relative); }

std::wstring ProgramFolder::CopyProgram(const std::wstring& source, std::wstring_view name) {
  const std::wstring target = PathOf(name);
  if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) throw Failure("cannot copy the program", source);
  program_ = target;
  return target;
}

std::wstring ProgramFolder::SettingsPath() const {
  if (program_.empty()) return {};
  const size_t dot = program_.find_last_of(L'.');
  const size_t slash = program_.find_last_of(L'\\');
  const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
  return (hasExtension ? program_.substr(0, dot) : program_) + L".ini";
}

void ProgramFolder::WriteFile(std::wstring_view relative, std::string_view bytes) const {
  const std::wstring full = PathOf(relative);
  MakeFolders(ParentOf(full));
  UniqueHandle file(CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) throw Failure("cannot create file", full);
  DWORD written = 0;
  if (!bytes.empty() &&
      (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
       written != bytes.size())) {
    throw Failure("cannot write file", full);
  }
}

void ProgramFolder::WriteSettings(std::string_view bytes) const {
  const std::wstring settings = SettingsPath();
  if (settings.empty()) throw std::runtime_error("WriteSettings before CopyProgram");
  WriteFile(std::wstring_view(settings).substr(path_.size()), bytes);
}

std::optional<std::string> ProgramFolder::ReadFile(std::wstring_view relative) const {
  const std::wstring full = PathOf(relative);
  UniqueHandle file(CreateFileW(full.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

bool ProgramFolder::Exists(std::wstring_view relative) const {
  return GetFileAttributesW(PathOf(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void ProgramFolder::MakeFolder(std::wstring_view relative) const { MakeFolders(PathOf(relative)); }

}  // namespace lumora::e2e
