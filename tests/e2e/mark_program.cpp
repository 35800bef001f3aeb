// A program for the end-to-end tests to launch: it opens no window; it writes
// "<its own path without the extension>.mark" beside itself and ends. The
// mark file holds two lines of UTF-8, each ended by LF: the working folder the
// program started in, and its whole command line. The file is written under
// a temporary name and then renamed, so a test that sees the mark file sees
// all of it.
#include <windows.h>

#include <string>
#include <string_view>

namespace {

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  return bytes;
}

std::wstring OwnPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring CurrentFolder() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return {};
  std::wstring folder(n, L'\0');
  const DWORD got = GetCurrentDirectoryW(n, folder.data());
  folder.resize(got);
  return folder;
}

class File {
 public:
  explicit File(HANDLE h) : h_(h) {}
  ~File() {
    if (Valid()) CloseHandle(h_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return h_; }

 private:
  HANDLE h_;
};

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
  File file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  const std::wstring self = OwnPath();
  if (self.empty()) return 2;
  const size_t slash = self.find_last_of(L"\\/");
  const size_t dot = self.find_last_of(L'.');
  const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
  const std::wstring mark = (hasExtension ? self.substr(0, dot) : self) + L".mark";
  const std::wstring temp = mark + L".part";

  const std::string text = Utf8(CurrentFolder()) + "\n" + Utf8(GetCommandLineW()) + "\n";
  if (!WriteWhole(temp, text)) return 3;
  if (!MoveFileExW(temp.c_str(), mark.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(temp.c_str());
    return 4;
  }
  return 0;
}
