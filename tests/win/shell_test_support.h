// Helpers of the shell, settings and dialog tests: a temporary folder, byte
// reads of whole files, and a robot thread that works the modal dialogs this
// process opens, as a user would.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/handles_win.h"
#include "platform/unicode_win.h"

namespace lumora::test {
// Inline namespace: tests/support/sheet_temp_folder.h has its own
// lumora::test::TempFolder; the linker must never take one for the other.
inline namespace shell {

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
 public:
  explicit TempFolder(const std::string& tag) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "lumora_" + tag + "_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(counter_++) + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() { RemoveTree(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // With a trailing backslash.
  const std::string& path() const { return path_; }

 private:
  static void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    platform::FindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
    if (find) {
      do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string full = folder + name;
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(full + "\\");
        } else {
          DeleteFileA(full.c_str());
        }
      } while (FindNextFileA(find.get(), &found));
    }
    find.reset();
    RemoveDirectoryA(folder.c_str());
  }
  static inline int counter_ = 0;
  std::string path_;
};

// The file's bytes; empty when it cannot be opened.
inline std::string ReadFileBytes(const std::string& path) {
  platform::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string bytes;
  if (!file) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

inline bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

inline std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

inline BOOL CALLBACK AppendStaticText(HWND child, LPARAM out) {
  if (_wcsicmp(ClassName(child).c_str(), L"Static") == 0) {
    *reinterpret_cast<std::wstring*>(out) += WindowText(child);
  }
  return TRUE;
}

// The texts of the static controls of a dialog, one after the other.
inline std::wstring StaticTexts(HWND dialog) {
  std::wstring all;
  EnumChildWindows(dialog, AppendStaticText, reinterpret_cast<LPARAM>(&all));
  return all;
}

// Presses a dialog's button the way a click does: the command reaches the
// dialog through its queue.
inline void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Works the dialogs ("#32770") that this process opens, one step per dialog
// in order, on its own thread. Each step gets the dialog once it is visible.
// Dialogs that appear when no step is left are counted and cancelled, so a
// test never hangs on a box it did not expect.
class DialogRobot {
 public:
  using Step = std::function<void(HWND dialog)>;

  explicit DialogRobot(std::vector<Step> steps, std::chrono::milliseconds timeout = std::chrono::seconds(20))
      : steps_(std::move(steps)), timeout_(timeout), thread_([this] { Run(); }) {}
  ~DialogRobot() { Finish(); }
  DialogRobot(const DialogRobot&) = delete;
  DialogRobot& operator=(const DialogRobot&) = delete;

  // Stops the robot; the number of steps it carried out.
  int Finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return done_;
  }
  int Unexpected() const { return unexpected_; }

 private:
  struct Search {
    DWORD process;
    const std::vector<HWND>* handled;
    HWND found;
  };

  static BOOL CALLBACK TakeNewDialog(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != s->process || !IsWindowVisible(window) || ClassName(window) != L"#32770") return TRUE;
    for (HWND h : *s->handled) {
      if (h == window) return TRUE;
    }
    s->found = window;
    return FALSE;
  }

  HWND FindNewDialog() const {
    Search search{GetCurrentProcessId(), &handled_, nullptr};
    EnumWindows(TakeNewDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  void Run() {
    const auto end = std::chrono::steady_clock::now() + timeout_;
    while (!stop_ && std::chrono::steady_clock::now() < end) {
      if (const HWND dialog = FindNewDialog()) {
        Sleep(150);  // let the dialog finish its start-up
        handled_.push_back(dialog);
        if (done_ < static_cast<int>(steps_.size())) {
          steps_[static_cast<std::size_t>(done_)](dialog);
          ++done_;
        } else {
          ++unexpected_;
          PressButton(dialog, IDCANCEL);
        }
      }
      Sleep(30);
    }
  }

  std::vector<Step> steps_;
  std::chrono::milliseconds timeout_;
  std::vector<HWND> handled_;
  std::atomic<bool> stop_{false};
  std::atomic<int> done_{0};
  std::atomic<int> unexpected_{0};
  std::thread thread_;
};

// Running under Wine: ntdll has Wine's own exports.
inline bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// Makes link a symbolic link to target (a full path, or relative to the
// link's folder; toFolder for a folder). Under Wine, whose CreateSymbolicLink makes nothing, a Unix
// link is made with ln: a list kept in a synced folder is one of those there.
// False when no link can be made here.
inline bool MakeLink(const std::string& link, const std::string& target, bool toFolder = false) {
  if (!UnderWine()) {
    return CreateSymbolicLinkA(link.c_str(), target.c_str(),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE |
                                   (toFolder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0)) != 0;
  }
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (unixName == nullptr) return false;
  const auto toUnix = [&](const std::string& path) -> std::string {
    char* name = unixName(platform::AnsiToWide(path).c_str());
    if (name == nullptr) return {};
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
  };
  const std::string linkName = toUnix(link);
  std::string targetName;
  if (target.size() > 2 && target[1] == ':') {
    targetName = toUnix(target);
  } else {
    targetName = target;  // relative: the same text with Unix slashes
    for (char& c : targetName) {
      if (c == '\\') c = '/';
    }
  }
  if (linkName.empty() || targetName.empty()) return false;
  // Wine splits the command line the Windows way for the Unix program.
  std::string commandLine = "/bin/ln -s \"" + targetName + "\" \"" + linkName + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // The Unix program's process cannot be waited for: wait for the link.
  for (int i = 0; i < 100; ++i) {
    WIN32_FIND_DATAA found;
    platform::FindHandle find(FindFirstFileA(link.c_str(), &found));
    if (find) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace shell
}  // namespace lumora::test
