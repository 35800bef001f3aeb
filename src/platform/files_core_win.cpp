// Byte files through the Win32 file calls, with ANSI paths.
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/final_path_win.h"
#include "platform/handles_win.h"
#include "platform/system_error_win.h"
#include "platform/unicode_win.h"

namespace lumora::platform {

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

std::optional<std::wstring> FinalPathOf(HANDLE file) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return std::nullopt;
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(length);
  }
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
  if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

bool SamePath(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

namespace {

[[noreturn]] void ThrowOpenError(const std::string& path, DWORD code) {
  const std::string reason = SystemErrorText(code);
  throw FileError("ファイル \"" + AnsiToUtf8(path) + "\" は開けません\r\n" + reason, reason);
}

[[noreturn]] void ThrowCreateError(const std::string& path, DWORD code) {
  const std::string reason = SystemErrorText(code);
  throw FileError("ファイル \"" + AnsiToUtf8(path) + "\" を作成できません\r\n" + reason, reason);
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

// The reparse data of a symbolic link (REPARSE_DATA_BUFFER with its
// SymbolicLinkReparseBuffer), which the user-mode headers do not declare.
struct SymbolicLinkData {
  DWORD tag;
  WORD dataLength;
  WORD reserved;
  WORD substituteOffset;
  WORD substituteLength;
  WORD printOffset;
  WORD printLength;
  ULONG flags;
  WCHAR path[1];
};
constexpr ULONG kSymbolicLinkRelative = 1;

// The target a symbolic link holds, made a full path (a relative target
// counts from the link's folder); nothing when path is no symbolic link.
std::optional<std::wstring> LinkTarget(const std::wstring& path) {
  FileHandle link(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!link) return std::nullopt;
  alignas(8) char buffer[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
  DWORD size = 0;
  if (!DeviceIoControl(link.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer, sizeof buffer, &size, nullptr)) {
    return std::nullopt;
  }
  const auto* data = reinterpret_cast<const SymbolicLinkData*>(buffer);
  if (size < offsetof(SymbolicLinkData, path) || data->tag != IO_REPARSE_TAG_SYMLINK) return std::nullopt;
  const std::size_t room = size - offsetof(SymbolicLinkData, path);
  // The print name is the target as the user wrote it; the substitute name
  // is the NT form ("\??\C:\...").
  std::wstring target;
  if (data->printLength > 0 && std::size_t{data->printOffset} + data->printLength <= room) {
    target.assign(data->path + data->printOffset / sizeof(WCHAR), data->printLength / sizeof(WCHAR));
  } else if (std::size_t{data->substituteOffset} + data->substituteLength <= room) {
    target.assign(data->path + data->substituteOffset / sizeof(WCHAR), data->substituteLength / sizeof(WCHAR));
    if (target.rfind(L"\\??\\UNC\\", 0) == 0) {
      target = L"\\\\" + target.substr(8);
    } else if (target.rfind(L"\\??\\", 0) == 0) {
      target.erase(0, 4);
    }
  }
  if (target.empty()) return std::nullopt;
  if ((data->flags & kSymbolicLinkRelative) != 0) {
    const std::size_t slash = path.find_last_of(L"\\/");
    target = path.substr(0, slash == std::wstring::npos ? 0 : slash + 1) + target;
  }
  return target;
}

// The full path of a path (the current folder's path before a relative
// one); the path itself when the system cannot make one.
std::wstring FullPathOf(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}

// The file that writing to path reaches: path itself, or, when path is a
// symbolic link, the file at the end of its chain of links, which need not
// exist yet. Replacing that file keeps the links.
std::wstring FileBehindLinks(const std::string& path) {
  constexpr int kMaxLinks = 63;  // as many as the system follows
  std::wstring current = AnsiToWide(path);
  for (int hops = 0;; ++hops) {
    // Opening follows every link, and the handle's final path names the file
    // at the end. This also finds Wine's Unix links, which Wine shows as
    // plain files, not as reparse points.
    FileHandle file(CreateFileW(current.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file) {
      const std::optional<std::wstring> final = FinalPathOf(file.get());
      if (!final) return current;
      // A plain file keeps the path it was given.
      const std::wstring full = FullPathOf(current);
      if (SamePath(*final, full)) {
        return current;
      }
      return *final;
    }
    // Nothing to open: a file not there yet, or a link to one, followed a
    // link at a time. (Under Wine a Unix link to a missing file looks like
    // no file at all, and is replaced like one.)
    const DWORD attributes = GetFileAttributesW(current.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      return current;
    }
    if (hops == kMaxLinks) ThrowCreateError(path, ERROR_CANT_RESOLVE_FILENAME);
    std::optional<std::wstring> target = LinkTarget(current);
    if (!target) return current;  // another kind of reparse point: the file itself
    current = std::move(*target);
  }
}

class Win32OutputFile : public OutputFile {
 public:
  // target is the path errors name; real the file replaced (target, or the
  // file its links lead to), temp the file written first.
  Win32OutputFile(std::string target, std::wstring real, std::wstring temp, FileHandle file)
      : target_(std::move(target)), real_(std::move(real)), temp_(std::move(temp)), file_(std::move(file)) {}

  ~Win32OutputFile() override {
    if (!committed_) {
      file_.reset();
      DeleteFileW(temp_.c_str());
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
    // Another program reading the file (a virus scanner, an indexer, an
    // editor looking at it) may hold it open for a moment without letting it
    // be replaced: the move is tried again for about a second before the
    // save is refused.
    constexpr int kAttempts = 20;
    constexpr DWORD kPauseMs = 50;
    for (int attempt = 1;; ++attempt) {
      if (MoveFileExW(temp_.c_str(), real_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) break;
      const DWORD error = GetLastError();
      const bool heldOpen = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                            error == ERROR_LOCK_VIOLATION;
      if (!heldOpen || attempt == kAttempts) {
        ThrowCreateError(target_, error);  // the destructor removes the temporary file
      }
      Sleep(kPauseMs);
    }
    committed_ = true;
  }

 private:
  std::string target_;
  std::wstring real_;
  std::wstring temp_;
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
  // A link is kept: the file it leads to is the one replaced, and its
  // temporary file goes beside that one. Errors still name the path given.
  std::wstring real = FileBehindLinks(path);
  const DWORD targetAttributes = GetFileAttributesW(real.c_str());
  if (targetAttributes != INVALID_FILE_ATTRIBUTES &&
      (targetAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    ThrowCreateError(path, ERROR_ACCESS_DENIED);
  }
  std::wstring temp = real + L".tmp~";
  FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) ThrowCreateError(path, GetLastError());
  return std::make_unique<Win32OutputFile>(path, std::move(real), std::move(temp), std::move(file));
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace lumora::platform
