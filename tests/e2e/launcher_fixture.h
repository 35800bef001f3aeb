// Base of the tests that work the launcher window of the real program: a list
// file written in Shift-JIS, the program started with it, the launcher window
// and its controls found, shown and hidden by tray clicks, and the mark
// program (lumora_mark) placed in the program folder as a launch target that
// reports where and how it was started.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/resource_ids.h"
#include "lumora_test.h"

namespace lumora::e2e {

inline constexpr UINT kTrayCallback = WM_USER + 100;  // 1124
inline constexpr unsigned kShiftJis = 932;

// One row of data\applist.tsv, cells as UTF-8 text.
struct Entry {
  std::string id, name, target, count, time;
};

// A cell as the list's writer quotes it: quotes doubled and the cell enclosed
// when it holds a quote, CR or LF; enclosed when it holds a tab or a blank.
inline std::string QuoteCell(const std::string& cell) {
  if (cell.find_first_of("\"\r\n") != std::string::npos) {
    std::string quoted = "\"";
    for (char c : cell) {
      if (c == '"') quoted += '"';
      quoted += c;
    }
    return quoted + "\"";
  }
  if (cell.find_first_of("\t ") != std::string::npos || cell == "ID" || cell == "id") return "\"" + cell + "\"";
  return cell;
}

inline std::string ShiftJis(std::string_view utf8) { return AnsiFromUtf16(Utf16FromUtf8(utf8), kShiftJis); }
inline std::string Utf8OfShiftJis(std::string_view bytes) { return Utf8FromUtf16(Utf16FromAnsi(bytes, kShiftJis)); }

// The bytes of a list file: Shift-JIS, tab-separated, CR LF after every line.
inline std::string ListFileBytes(const std::vector<Entry>& entries) {
  std::string bytes;
  for (const Entry& e : entries) {
    bytes += ShiftJis(QuoteCell(e.id) + "\t" + QuoteCell(e.name) + "\t" + QuoteCell(e.target) + "\t" +
                      QuoteCell(e.count) + "\t" + QuoteCell(e.time));
    bytes += "\r\n";
  }
  return bytes;
}

// A list file read back strictly: every line ends with CR LF, no bare CR or
// LF, every line has the same number of cells, quotes are balanced. Cells come
// back as UTF-8. On a problem, `problem` says what and the rows are partial.
struct ParsedList {
  std::vector<std::vector<std::string>> rows;
  std::string problem;

  // The row whose first cell (ID) is id, or null.
  const std::vector<std::string>* Row(std::string_view id) const {
    for (const auto& row : rows) {
      if (!row.empty() && row[0] == id) return &row;
    }
    return nullptr;
  }
  static std::string Cell(const std::vector<std::string>* row, size_t column) {
    return row != nullptr && column < row->size() ? (*row)[column] : std::string();
  }
};

inline ParsedList ParseListFile(std::string_view bytes) {
  ParsedList parsed;
  size_t pos = 0;
  size_t width = 0;
  while (pos < bytes.size()) {
    std::vector<std::string> row;
    std::string cell;
    bool quoted = false;
    bool lineDone = false;
    while (!lineDone) {
      if (pos >= bytes.size()) {
        parsed.problem = "the last line does not end with CR LF";
        return parsed;
      }
      const unsigned char c = static_cast<unsigned char>(bytes[pos]);
      // Shift-JIS lead bytes: the trail byte is never a quote, tab or line end.
      if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
        cell += bytes.substr(pos, 2);
        pos += 2;
        continue;
      }
      if (c == '"') {
        if (quoted && pos + 1 < bytes.size() && bytes[pos + 1] == '"') {
          cell += '"';
          pos += 2;
        } else {
          quoted = !quoted;
          ++pos;
        }
      } else if (!quoted && c == '\t') {
        row.push_back(Utf8OfShiftJis(cell));
        cell.clear();
        ++pos;
      } else if (!quoted && (c == '\r' || c == '\n')) {
        if (c != '\r' || pos + 1 >= bytes.size() || bytes[pos + 1] != '\n') {
          parsed.problem = "a line ends without CR LF at byte " + std::to_string(pos);
          return parsed;
        }
        row.push_back(Utf8OfShiftJis(cell));
        pos += 2;
        lineDone = true;
      } else {
        cell += static_cast<char>(c);
        ++pos;
      }
    }
    if (parsed.rows.empty()) width = row.size();
    if (row.size() != width) {
      parsed.problem = "line " + std::to_string(parsed.rows.size() + 1) + " has " + std::to_string(row.size()) +
                       " cells, the first had " + std::to_string(width);
    }
    parsed.rows.push_back(std::move(row));
  }
  return parsed;
}

// A time cell "Y/M/D H:M:S" as seconds since 1601 (local time), or nullopt.
inline std::optional<long long> TimeCellSeconds(const std::string& text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (std::sscanf(text.c_str(), "%d/%d/%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6) return std::nullopt;
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(y);
  t.wMonth = static_cast<WORD>(mo);
  t.wDay = static_cast<WORD>(d);
  t.wHour = static_cast<WORD>(h);
  t.wMinute = static_cast<WORD>(mi);
  t.wSecond = static_cast<WORD>(s);
  FILETIME f;
  if (!SystemTimeToFileTime(&t, &f)) return std::nullopt;
  return static_cast<long long>((ULARGE_INTEGER{{f.dwLowDateTime, f.dwHighDateTime}}.QuadPart) / 10000000ULL);
}

inline long long NowSeconds() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  FILETIME f;
  SystemTimeToFileTime(&t, &f);
  return static_cast<long long>((ULARGE_INTEGER{{f.dwLowDateTime, f.dwHighDateTime}}.QuadPart) / 10000000ULL);
}

// What the mark program wrote: its working folder and its command line.
struct Mark {
  std::wstring folder;
  std::wstring commandLine;
};

// The mark program this build made.
inline std::wstring MarkProgramPath() { return WindowsPathFromAnyPath(LUMORA_MARK_PROGRAM); }

// A folder path compared without letter case and trailing backslash.
inline std::wstring FolderKey(std::wstring path) {
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  CharLowerBuffW(path.data(), static_cast<DWORD>(path.size()));
  return path;
}

inline std::vector<std::wstring> Utf16Items(std::initializer_list<const char*> utf8) {
  std::vector<std::wstring> items;
  for (const char* item : utf8) items.push_back(Utf16FromUtf8(item));
  return items;
}

// gtest prints wide strings poorly; this prints a list of items as UTF-8.
inline std::string Describe(const std::vector<std::wstring>& items) {
  std::string text = "[";
  for (size_t i = 0; i < items.size(); ++i) text += (i ? ", \"" : "\"") + Utf8FromUtf16(items[i]) + "\"";
  return text + "]";
}

// Launcher windows of processes other than `exclude`, gathered by EnumWindows.
struct LauncherSearch {
  DWORD exclude;
  std::vector<HWND> found;
};

inline BOOL CALLBACK CollectOtherLauncher(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<LauncherSearch*>(param);
  if (ProcessIdOf(window) != search->exclude && ClassNameOf(window) == kLauncherClass) search->found.push_back(window);
  return TRUE;
}

class LauncherTest : public LumoraTest {
 protected:
  ~LauncherTest() override {
    // A failing test may leave a message box up; the process goes with the test.
    lumora.Kill();
  }

  void WriteList(const std::vector<Entry>& entries) { folder.WriteFile(L"data\\applist.tsv", ListFileBytes(entries)); }
  ParsedList ReadList() const {
    const auto bytes = folder.ReadFile(L"data\\applist.tsv");
    if (!bytes) return ParsedList{{}, "data\\applist.tsv cannot be read"};
    return ParseListFile(*bytes);
  }

  // Copies the mark program into the program folder; returns its full path.
  std::wstring InstallMark(std::wstring_view relative) {
    const std::wstring target = folder.PathOf(relative);
    const size_t slash = target.find_last_of(L'\\');
    folder.MakeFolder(std::wstring_view(target).substr(folder.Path().size(), slash - folder.Path().size()));
    if (!CopyFileW(MarkProgramPath().c_str(), target.c_str(), FALSE)) {
      ADD_FAILURE() << "cannot copy the mark program to " << Utf8FromUtf16(target) << ", error " << GetLastError();
    }
    return target;
  }
  static std::wstring MarkFileOf(const std::wstring& program) {
    return program.substr(0, program.find_last_of(L'.')) + L".mark";
  }
  // The mark the program left, once it is there; nullopt after the timeout.
  static std::optional<Mark> WaitForMark(const std::wstring& program, Millis timeout = 5s) {
    const std::wstring markFile = MarkFileOf(program);
    std::optional<Mark> mark;
    WaitUntil(
        [&] {
          const UniqueHandle file(CreateFileW(markFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
          if (!file.Valid()) return false;
          char buffer[8192];
          DWORD got = 0;
          if (!::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) return false;
          const std::string text(buffer, got);
          const size_t first = text.find('\n');
          if (first == std::string::npos) return false;
          const size_t second = text.find('\n', first + 1);
          if (second == std::string::npos) return false;
          mark = Mark{Utf16FromUtf8(text.substr(0, first)), Utf16FromUtf8(text.substr(first + 1, second - first - 1))};
          return true;
        },
        timeout);
    return mark;
  }
  static bool MarkExists(const std::wstring& program) {
    return GetFileAttributesW(MarkFileOf(program).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  // Starts the program with the settings (installed, plus extra lines) and
  // finds the launcher window and its controls. False, with the reason added
  // as a failure, when any is missing.
  bool Start(std::string_view extraSettings = {}) {
    folder.WriteSettings(std::string(kInstalledSettings) + std::string(extraSettings));
    return StartWithoutSettings();
  }
  bool StartWithoutSettings(bool waitForIdle = true) {
    lumora = StartLumora();
    launcher = WaitForLauncher(lumora);
    if (launcher == nullptr) {
      ADD_FAILURE() << "no window \"[LM]\"; the program " << (lumora.IsRunning() ? "runs" : "has ended");
      return false;
    }
    if (waitForIdle && !lumora.WaitForIdle()) {
      ADD_FAILURE() << "start-up did not finish";
      return false;
    }
    return FindControls();
  }
  bool FindControls() {
    list = FindChild(launcher, L"ListBox", IDC_LSTMAIN);
    edit = FindChild(launcher, L"Edit", IDC_EDTCOMMAND);
    if (list == nullptr || edit == nullptr) {
      ADD_FAILURE() << "the launcher window lacks its list box or edit box:\n" << DescribeWindowTree(launcher);
      return false;
    }
    return true;
  }

  static RECT WorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
  }
  static POINT MiddleOfWorkArea() {
    const RECT area = WorkArea();
    return POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  }

  void TrayClick() { Post(launcher, kTrayCallback, 1, WM_LBUTTONDOWN); }

  // The window that has the keyboard focus in the launcher's thread.
  HWND FocusedWindow() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(launcher, nullptr), &info)) return nullptr;
    return info.hwndFocus;
  }

  // A tray click with the cursor at the point: true once the window is shown
  // with the focus in the command line and the clock in its title.
  bool ShowAt(POINT cursor) {
    SettleAfterHiding();
    MoveMouse(cursor);
    // The focus comes with the window's activation, early in the show; the
    // program's focus click goes out later, and input a test sent before it
    // would be read first (the click then lands in the test's menu or box).
    // The clock goes into the title last: the title is set to the bare
    // "[LM]" of a program not yet shown, and the show is over once the
    // clock replaces it.
    Send(launcher, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::wstring(kLauncherTitle).c_str()));
    TrayClick();
    if (!WaitForVisibility(launcher, true, 5s)) {
      ADD_FAILURE() << "the tray click did not show the launcher window";
      return false;
    }
    if (!WaitUntil([&] { return FocusedWindow() == edit && TextOf(launcher) != kLauncherTitle; }, 3s)) {
      ADD_FAILURE() << "the command line did not get the focus after showing, or the clock did not come; focus on "
                    << static_cast<void*>(FocusedWindow()) << ", title " << Utf8FromUtf16(TextOf(launcher));
      return false;
    }
    return true;
  }
  bool Show() { return ShowAt(MiddleOfWorkArea()); }
  // Shows the window by a tray click with the cursor at the point, returns
  // its rectangle, and hides it by a second click.
  std::optional<RECT> RectShownAt(POINT cursor) {
    if (!ShowAt(cursor)) return std::nullopt;
    const RECT rect = WindowRectOf(launcher);
    if (!HideByTrayClick()) return std::nullopt;
    return rect;
  }
  // True once the launcher window is hidden; the next ShowAt lets the hide
  // settle first.
  bool WaitUntilHidden(Millis timeout) {
    if (!WaitForVisibility(launcher, false, timeout)) return false;
    hiddenAt_ = std::chrono::steady_clock::now();
    return true;
  }
  // Hiding takes the X focus from the window, and Wine hears of it a moment
  // later: a FocusOut read after the window is shown again makes the
  // desktop the foreground window and leaves the launcher without focus.
  // A user cannot click twice that fast; a test waits the moment out.
  void SettleAfterHiding() {
    constexpr auto kSettle = std::chrono::milliseconds(300);
    const auto since = std::chrono::steady_clock::now() - hiddenAt_;
    if (since < kSettle) Sleep(static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(kSettle - since).count()));
  }
  bool HideByTrayClick() {
    TrayClick();
    if (!WaitUntilHidden(5s)) {
      ADD_FAILURE() << "the tray click did not hide the launcher window";
      return false;
    }
    return true;
  }

  std::vector<std::wstring> Items() const { return ListBox(list).Items(); }
  int Selection() const { return ListBox(list).Selection(); }
  // Replaces the typed text by typing: the old text is selected and every
  // character goes as WM_CHAR, each running the filter before it returns.
  void TypeCommand(std::wstring_view text) {
    Send(edit, EM_SETSEL, 0, -1);
    if (text.empty()) {
      Send(edit, WM_CHAR, VK_BACK, 1);
    } else {
      SendChars(edit, text);
    }
  }
  std::string SettingsValue(const wchar_t* section, const wchar_t* key) const {
    wchar_t value[256] = L"";
    GetPrivateProfileStringW(section, key, L"<missing>", value, 256, folder.SettingsPath().c_str());
    return Utf8FromUtf16(value);
  }

  // Top-level "[LM]" launcher windows of other processes than the one started here.
  std::vector<HWND> OtherLaunchers() const {
    LauncherSearch search{lumora.Id(), {}};
    EnumWindows(CollectOtherLauncher, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  // The "[LM]" window of a newly started instance (after a restart), or null
  // when none comes up in time.
  HWND WaitForNewLauncher() const {
    HWND fresh = nullptr;
    WaitUntil(
        [&] {
          for (HWND w : OtherLaunchers()) {
            if (TextOf(w) == kLauncherTitle) fresh = w;
          }
          return fresh != nullptr;
        },
        kStartTimeout);
    return fresh;
  }

  LumoraProcess lumora;
  HWND launcher = nullptr;
  HWND list = nullptr;
  HWND edit = nullptr;

 private:
  std::chrono::steady_clock::time_point hiddenAt_{};
};

}  // namespace lumora::e2e
