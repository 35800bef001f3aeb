#include "app/single_instance_win.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/final_path_win.h"

namespace lumora {

namespace {

// The executable's folder as the file system names it, upper-cased as it
// compares names: its final path, so that an 8.3 name, a link or junction
// to the folder, a mapped drive or another letter case all give the same
// key. The path as given when the folder cannot be opened.
std::wstring FolderKeyOf(std::wstring path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  path.resize(slash == std::wstring::npos ? 0 : slash);
  if (path.empty()) return path;
  const std::wstring open = path.back() == L':' ? path + L"\\" : path;
  const platform::FileHandle folder(CreateFileW(open.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (folder) {
    if (const std::optional<std::wstring> final = platform::FinalPathOf(folder.get())) path = *final;
  }
  while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  return path;
}

std::wstring OwnFolderKey() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) return FolderKeyOf(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

// The session's names of a folder's objects: a folder path may be longer
// than a name may be and holds backslashes, so it goes in as a hash.
std::wstring ObjectName(const wchar_t* what) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over the UTF-16 units
  for (const wchar_t c : OwnFolderKey()) {
    hash ^= static_cast<std::uint16_t>(c);
    hash *= 1099511628211ull;
  }
  wchar_t name[64];
  std::swprintf(name, 64, L"Local\\Lumora-%016llx-%ls", static_cast<unsigned long long>(hash), what);
  return name;
}

struct FoundLauncher {
  std::wstring folder;
  HWND window = nullptr;
};

BOOL CALLBACK FindLauncherOfFolder(HWND window, LPARAM data) {
  auto& found = *reinterpret_cast<FoundLauncher*>(data);
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (std::wstring_view(className) != L"TfrmLumora") return TRUE;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == GetCurrentProcessId()) return TRUE;
  const platform::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return TRUE;
  std::vector<wchar_t> path(32768);
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return TRUE;
  if (FolderKeyOf(std::wstring(path.data(), size)) != found.folder) return TRUE;
  found.window = window;
  return FALSE;
}

}  // namespace

std::optional<SingleInstance> SingleInstance::Claim(std::chrono::milliseconds leaveWait) {
  const std::wstring name = ObjectName(L"running");
  platform::KernelHandle mutex(CreateMutexW(nullptr, TRUE, name.c_str()));
  // Without the mutex there is nothing to go by: run, as before.
  if (!mutex || GetLastError() != ERROR_ALREADY_EXISTS) return SingleInstance(std::move(mutex));

  const platform::KernelHandle leaving(OpenEventW(SYNCHRONIZE, FALSE, ObjectName(L"leaving").c_str()));
  if (!leaving) return std::nullopt;  // a second start
  // A restart: the old instance ends in a moment (an abandoned mutex is
  // ours all the same).
  const DWORD waited = WaitForSingleObject(mutex.get(), static_cast<DWORD>(leaveWait.count()));
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return std::nullopt;
  return SingleInstance(std::move(mutex));
}

void SingleInstance::MarkLeavingForRestart() {
  // Kept open until the process ends; the system closes it then.
  static const platform::KernelHandle leaving(CreateEventW(nullptr, TRUE, TRUE, ObjectName(L"leaving").c_str()));
}

bool SingleInstance::ShowRunningInstance(UINT message, std::chrono::milliseconds timeout) {
  FoundLauncher found{OwnFolderKey(), nullptr};
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
  for (;;) {
    EnumWindows(FindLauncherOfFolder, reinterpret_cast<LPARAM>(&found));
    if (found.window) break;
    if (GetTickCount64() >= end) return false;
    Sleep(50);
  }
  // A window whose program hangs would never come up.
  DWORD_PTR ignored = 0;
  const ULONGLONG now = GetTickCount64();
  const UINT answerWait = static_cast<UINT>(end > now ? end - now : 1000);
  if (!SendMessageTimeoutW(found.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, answerWait, &ignored)) return false;
  DWORD processId = 0;
  GetWindowThreadProcessId(found.window, &processId);
  // This start came from the user: the running instance may take the
  // foreground in its place.
  AllowSetForegroundWindow(processId);
  return PostMessageW(found.window, message, 0, 0) != FALSE;
}

}  // namespace lumora
