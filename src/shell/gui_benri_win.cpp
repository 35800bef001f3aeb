// Shell, folder and message-box services over the Win32 shell.
#include "shell/gui_benri_win.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/application_win.h"
#include "platform/error_report_win.h"
#include "platform/handles_win.h"
#include "platform/modal_win.h"
#include "platform/unicode_win.h"
#include "sheet/text_primitives.h"

namespace lumora {
namespace {

using platform::ComPtr;
using platform::FindHandle;
using platform::KernelHandle;

// The most characters the shell takes of a web address: the longest address
// the system's address functions handle (INTERNET_MAX_URL_LENGTH less the
// terminating null).
constexpr std::size_t kMaxWebAddress = 2083;
// Of anything else: a path, without its terminating null.
constexpr std::size_t kMaxShellPath = MAX_PATH - 1;
// Wine's ShellExecute copies the target into buffers of a fixed size on its
// stack, and a longer text overwrites the stack and ends the process: measured
// under 64-bit Wine 8.0, 996 characters go through and 997 end it, for paths,
// names and web addresses alike (other Wine builds were seen ending from
// somewhere between 900 and 980), so no target over 900 characters goes to
// it. One that starts with "www" and is no file is copied again behind
// "http://" into 256 characters.
constexpr std::size_t kWineMaxTarget = 900;
constexpr std::size_t kWineMaxWwwTarget = 256 - 7 - 1;
// The longest command line a process can get: 32,767 characters with the
// terminating null.
constexpr std::size_t kMaxCommandLine = 32766;

// The length the shell works with: UTF-16 units (one per character of the
// code page) of the text with its environment variables expanded, or of the
// text as written when that is longer.
std::size_t ShellLength(const std::string& ansi) {
  const std::wstring wide = platform::AnsiToWide(ansi);
  const DWORD expanded = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
  // The size includes the terminating null.
  return std::max<std::size_t>(wide.size(), expanded > 0 ? expanded - 1 : 0);
}

// "scheme:" with a scheme of two or more letters, digits, "+", "-" or ".",
// starting with a letter: a web address (or another protocol's); "C:" is a
// drive.
bool IsWebAddress(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  if (static_cast<unsigned char>(text[0]) >= 0x80 || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80 || !(std::isalnum(c) || c == '+' || c == '-' || c == '.')) return false;
  }
  return true;
}

bool StartsWithWww(const std::string& text) {
  return text.size() >= 3 && std::tolower(static_cast<unsigned char>(text[0])) == 'w' &&
         std::tolower(static_cast<unsigned char>(text[1])) == 'w' &&
         std::tolower(static_cast<unsigned char>(text[2])) == 'w';
}

// The program runs under Wine: its ntdll exports wine_get_version.
bool RunsUnderWine() {
  static const bool wine = [] {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return wine;
}

int ShellExecuteOpen(const std::string& target, const std::string& folder) {
  if (!ShellTakes(target) || ShellLength(folder) > kMaxShellPath) return SE_ERR_FNF;
  const HINSTANCE result = ShellExecuteA(nullptr, "open", target.c_str(), "", folder.c_str(), SW_SHOW);
  return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

// 0-based index of the last backslash that is not the second byte of a
// two-byte character; npos when there is none.
std::size_t LastBackslash(const std::string& path) {
  std::size_t last = std::string::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\') {
      last = i;
    } else if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
      ++i;
    }
  }
  return last;
}

std::string WithTrailingBackslash(std::string folder) {
  if (folder.empty() || LastBackslash(folder) != folder.size() - 1) folder += '\\';
  return folder;
}

std::string FullPath(const std::string& path) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

int ShowMessageBox(const std::string& utf8Text, const std::string& utf8Caption, UINT style) {
  return platform::ModalMessageBox(platform::MainWindow(), platform::Utf8ToWide(utf8Text).c_str(),
                                   platform::Utf8ToWide(utf8Caption).c_str(), style);
}

}  // namespace

bool ShellTakes(const std::string& target) {
  const std::size_t length = ShellLength(target);
  if (length > (IsWebAddress(target) ? kMaxWebAddress : kMaxShellPath)) return false;
  if (RunsUnderWine()) {
    if (length > kWineMaxTarget) return false;
    if (StartsWithWww(target) && length > kWineMaxWwwTarget) return false;
  }
  return true;
}

bool StartTakes(const std::string& commandLine) {
  return platform::AnsiToWide(commandLine).size() <= kMaxCommandLine;
}

int ShellOpen(const std::string& target) { return ShellExecuteOpen(target, ""); }

int ShellOpenIn(const std::string& target, const std::string& workingFolder) {
  return ShellExecuteOpen(target, workingFolder);
}

int StartCommandLine(const std::string& commandLine) {
  if (!StartTakes(commandLine)) return ERROR_FILE_NOT_FOUND;
  return static_cast<int>(WinExec(commandLine.c_str(), SW_SHOW));
}

bool RunAndWait(const std::string& application, const std::string& commandLine) {
  // A wait like any other modal: the program's end stops it (the started
  // program goes on), and the tray icon or a hotkey meanwhile brings that
  // program's window up.
  platform::ModalScope scope(platform::ModalScope::Kind::kQuestion, nullptr, IDCANCEL);
  if (!scope.Allowed()) return false;

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);

  // CreateProcessA may write into its command line: give it a copy.
  const std::string& line = commandLine.empty() ? application : commandLine;
  std::vector<char> writable(line.begin(), line.end());
  writable.push_back('\0');

  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return false;
  }
  KernelHandle process(started.hProcess);
  KernelHandle(started.hThread).reset();
  scope.WaitFor(started.dwProcessId);

  const HANDLE waitFor = process.get();
  while (!scope.Ended()) {
    if (MsgWaitForMultipleObjects(1, &waitFor, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0 + 1) break;
    MSG message;
    while (!scope.Ended() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // The program is ending: its own loop gets the quit, and nothing
        // waits for the started program any more.
        PostQuitMessage(static_cast<int>(message.wParam));
        return true;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

std::string GetLongPath(const std::string& path) {
  std::string remaining = FullPath(path);
  std::string result;
  for (std::size_t slash = LastBackslash(remaining);
       slash != std::string::npos && slash >= 2;  // 1-based position 3 or more
       slash = LastBackslash(remaining)) {
    // A name with wildcards would find some other entry: it stays as written.
    const bool wildcard = remaining.find_first_of("*?", slash + 1) != std::string::npos;
    WIN32_FIND_DATAA found{};
    FindHandle find(wildcard ? INVALID_HANDLE_VALUE : FindFirstFileA(remaining.c_str(), &found));
    const std::string_view name =
        find ? std::string_view(found.cFileName) : std::string_view(remaining).substr(slash + 1);
    result.insert(0, name);
    result.insert(0, 1, '\\');
    remaining.erase(slash);
  }
  return remaining + result;
}

void CreateFolderTree(const std::string& folder) {
  std::string path = folder;
  // A slash is never the second byte of a two-byte character: it stands for
  // a backslash.
  std::replace(path.begin(), path.end(), '/', '\\');
  // Only separators come off the end: where the name part is empty, the last
  // backslash is one of its own and not the second byte of 表 or ソ.
  while (!path.empty() && path.back() == '\\' && NamePart(path).empty()) path.pop_back();
  // Nothing left, or only a drive ("C:"): there is nothing to create.
  if (path.empty() || NamePart(path).empty()) return;
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return;
  const std::string parent = FolderPart(path);
  if (!parent.empty()) CreateFolderTree(parent);
  CreateDirectoryA(path.c_str(), nullptr);
}

std::string GetWindowsFolder() {
  char buffer[MAX_PATH + 1] = {};
  const UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
  return WithTrailingBackslash(std::string(buffer, length < MAX_PATH ? length : 0));
}

std::string GetSystemFolder() {
  char buffer[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
  return WithTrailingBackslash(std::string(buffer, length < MAX_PATH ? length : 0));
}

std::string GetSpecialFolder(int csidl) {
  PIDLIST_ABSOLUTE pidl = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(platform::MainWindow(), csidl, &pidl)) || !pidl) {
    return std::string();  // the shell does not know this folder here
  }
  char buffer[MAX_PATH + 1] = {};
  const BOOL resolved = SHGetPathFromIDListA(pidl, buffer);
  CoTaskMemFree(pidl);
  if (!resolved || buffer[0] == '\0') return std::string();  // a virtual folder has no path
  return WithTrailingBackslash(buffer);
}

std::string GetSendToFolder() { return GetSpecialFolder(CSIDL_SENDTO); }

std::string GetStartupFolder() { return GetSpecialFolder(CSIDL_STARTUP); }

bool CreateShortcut(const std::string& shortcutFile, const std::string& target,
                    const std::string& arguments, ShortcutWindow window,
                    const std::string& workingFolder) {
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.put_void())) ||
      !link) {
    return false;
  }
  int showCommand = SW_SHOWNORMAL;
  if (window == ShortcutWindow::kMinimized) showCommand = SW_MINIMIZE;
  if (window == ShortcutWindow::kMaximized) showCommand = SW_SHOWMAXIMIZED;
  if (FAILED(link->SetPath(target.c_str())) || FAILED(link->SetArguments(arguments.c_str())) ||
      FAILED(link->SetWorkingDirectory(workingFolder.c_str())) ||
      FAILED(link->SetShowCmd(showCommand))) {
    return false;
  }
  ComPtr<IPersistFile> file = link.As<IPersistFile>(IID_IPersistFile);
  if (!file) return false;
  return SUCCEEDED(file->Save(platform::AnsiToWide(shortcutFile).c_str(), FALSE));
}

bool AskYesNo(const std::string& utf8Question) {
  return ShowMessageBox(utf8Question, platform::ApplicationTitle(), MB_YESNO | MB_ICONQUESTION) ==
         IDYES;
}

void ShowWarning(const std::string& utf8Message, const std::string& utf8Caption) {
  ShowMessageBox(utf8Message, utf8Caption.empty() ? platform::ApplicationTitle() : utf8Caption,
                 MB_ICONWARNING | MB_OK);
}

void ShowMessage(const std::string& utf8Message) {
  ShowMessageBox(utf8Message, platform::ApplicationTitle(), MB_OK);
}

}  // namespace lumora
