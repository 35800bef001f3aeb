// A stand-in for Notepad in the end-to-end tests, copied into the program
// folder as "notepad.exe", where the launcher's search for Notepad finds it
// first. Started with the list file's path in double quotes, it writes
// "notepad.started" beside itself, waits (up to two minutes) for the test to
// put "notepad.go" there, does what that file says to the list file and
// ends:
//   "replace\n<old bytes>\n<new bytes>\n"  replaces every occurrence, saves
//   "delete\n"                              deletes the list file
//   anything else                           ends without saving
#include <windows.h>

#include <string>

namespace {

std::wstring Folder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool ReadAll(const std::wstring& path, std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[4096];
  DWORD got = 0;
  bytes.clear();
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return true;
}

bool WriteAll(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

// The first argument of the command line, without its quotes.
std::wstring FileArgument() {
  std::wstring line = GetCommandLineW();
  std::size_t pos = 0;
  if (!line.empty() && line[0] == L'"') {
    pos = line.find(L'"', 1);
    pos = pos == std::wstring::npos ? line.size() : pos + 1;
  } else {
    pos = line.find(L' ');
    if (pos == std::wstring::npos) pos = line.size();
  }
  while (pos < line.size() && line[pos] == L' ') ++pos;
  std::wstring argument = line.substr(pos);
  if (!argument.empty() && argument.front() == L'"') argument.erase(0, 1);
  if (!argument.empty() && argument.back() == L'"') argument.pop_back();
  return argument;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring folder = Folder();
  const std::wstring list = FileArgument();
  WriteAll(folder + L"notepad.started", "");
  std::string order;
  for (int i = 0; i < 1200 && !ReadAll(folder + L"notepad.go", order); ++i) Sleep(100);

  if (order.rfind("replace\n", 0) == 0) {
    const std::size_t oldEnd = order.find('\n', 8);
    const std::size_t newEnd = oldEnd == std::string::npos ? std::string::npos : order.find('\n', oldEnd + 1);
    if (newEnd == std::string::npos) return 2;
    const std::string from = order.substr(8, oldEnd - 8);
    const std::string to = order.substr(oldEnd + 1, newEnd - oldEnd - 1);
    std::string bytes;
    if (!ReadAll(list, bytes)) return 3;
    for (std::size_t at = bytes.find(from); !from.empty() && at != std::string::npos; at = bytes.find(from, at + to.size())) {
      bytes.replace(at, from.size(), to);
    }
    if (!WriteAll(list, bytes)) return 4;
  } else if (order == "delete\n") {
    if (!DeleteFileW(list.c_str())) return 5;
  }
  return 0;
}
