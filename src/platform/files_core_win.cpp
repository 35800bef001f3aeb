// Byte files through the Win32 file calls, with ANSI paths.
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/handles_win.h"
#include "platform/unicode_win.h"

namespace lumora::platform {
namespace {

// The system's text for an error code, without its trailing line break and
// full stop, so that it reads well inside the program's own sentence.
std::string SystemErrorText(DWORD code) {
  wchar_t buffer[512] = {};
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  std::wstring text(buffer, length);
  while (!text.empty()) {
    const wchar_t last = text.back();
    if (last == L'\r' || last == L'\n' || last == L' ' || last == L'.' || last == L'\x3002') {
      text.pop_back();
    } else {
      break;
    }
  }
  if (text.empty()) return "エラー " + std::to_string(code);
  return WideToUtf8(text);
}

[[noreturn]] void ThrowOpenError(const std::string& path, DWORD code) {
  throw AppError("ファイル \"" + AnsiToUtf8(path) + "\". " + SystemErrorText(code) + " は開けません");
}

[[noreturn]] void ThrowCreateError(const std::string& path, DWORD code) {
  throw AppError("ファイル \"" + AnsiToUtf8(path) + "\". " + SystemErrorText(code) +
                 " を作成できません");
}

class Win32InputFile : public InputFile {
 public:
  Win32InputFile(std::string path, FileHandle file) : path_(std::move(path)), file_(std::move(file)) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 0x40000000));
    DWORD read = 0;
    if (!ReadFile(file_.get(), buffer, chunk, &read, nullptr)) ThrowOpenError(path_, GetLastError());
    return read;
  }

 private:
  std::string path_;
  FileHandle file_;
};

class Win32OutputFile : public OutputFile {
 public:
  Win32OutputFile(std::string target, std::string temp, FileHandle file)
      : target_(std::move(target)), temp_(std::move(temp)), file_(std::move(file)) {}

  ~Win32OutputFile() override {
    if (!committed_) {
      file_.reset();
      DeleteFileA(temp_.c_str());
    }
  }

  void Write(const char* data, std::size_t size) override {
    while (size > 0) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 0x40000000));
      DWORD written = 0;
      if (!WriteFile(file_.get(), data, chunk, &written, nullptr) || written == 0) {
        ThrowCreateError(target_, GetLastError());
      }
      data += written;
      size -= written;
    }
  }

  void Commit() override {
    if (committed_) return;
    if (!FlushFileBuffers(file_.get())) ThrowCreateError(target_, GetLastError());
    file_.reset();
    if (!MoveFileExA(temp_.c_str(), target_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      ThrowCreateError(target_, GetLastError());  // the destructor removes the temporary file
    }
    committed_ = true;
  }

 private:
  std::string target_;
  std::string temp_;
  FileHandle file_;
  bool committed_ = false;
};

}  // namespace

std::unique_ptr<InputFile> OpenInputFile(const std::string& path) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) ThrowOpenError(path, GetLastError());
  return std::make_unique<Win32InputFile>(path, std::move(file));
}

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path) {
  // The temporary file lives in the target's folder, so that the final move
  // is a rename on one volume.
  // A read-only file or a folder in the target's place cannot be replaced;
  // say so now rather than after writing (the move would not be refused
  // everywhere).
  const DWORD targetAttributes = GetFileAttributesA(path.c_str());
  if (targetAttributes != INVALID_FILE_ATTRIBUTES &&
      (targetAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    ThrowCreateError(path, ERROR_ACCESS_DENIED);
  }
  std::string temp = path + ".tmp~";
  FileHandle file(CreateFileA(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) ThrowCreateError(path, GetLastError());
  return std::make_unique<Win32OutputFile>(path, std::move(temp), std::move(file));
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace lumora::platform
