// The shell, folder and message-box helpers under Wine: programs really
// started, waits that keep the messages flowing, long paths, shell folders,
// shortcut files read back through the shell, and the boxes' buttons.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "platform/application_win.h"
#include "platform/error_report_win.h"
#include "platform/handles_win.h"
#include "platform/unicode_win.h"
#include "shell/gui_benri_win.h"
#include "shell_test_support.h"

namespace lumora {
namespace {

using test::DialogRobot;
using test::TempFolder;

std::string ProbePath() {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string path = exe;
  return path.substr(0, path.rfind('\\') + 1) + "lumora_cwd_probe.exe";
}

// Sets LUMORA_PROBE_OUT for the programs this process starts, and clears it.
class ProbeOutput {
 public:
  explicit ProbeOutput(std::string file) : file_(std::move(file)) {
    SetEnvironmentVariableA("LUMORA_PROBE_OUT", file_.c_str());
  }
  ~ProbeOutput() { SetEnvironmentVariableA("LUMORA_PROBE_OUT", nullptr); }
  ProbeOutput(const ProbeOutput&) = delete;
  ProbeOutput& operator=(const ProbeOutput&) = delete;

  // The probe's text once it is there; empty after the timeout.
  std::string WaitForText(std::chrono::milliseconds timeout) const {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
      const std::string text = test::ReadFileBytes(file_);
      if (!text.empty()) return text;
      Sleep(50);
    }
    return std::string();
  }

 private:
  std::string file_;
};

std::string WithoutTrailingBackslash(std::string folder) {
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

TEST(GuiBenriWin, ShellOpenOfAMissingFileFailsWithoutAnyBox) {
  TempFolder folder("shell");
  DialogRobot robot({}, std::chrono::seconds(30));
  const int missing = ShellOpen(folder.path() + "no_such_file.exe");
  const int empty = ShellOpen("");
  Sleep(500);  // time for a box to show up, if the shell opened one
  robot.Finish();
  EXPECT_LE(missing, 32);
  EXPECT_LE(empty, 32);
  EXPECT_EQ(robot.Unexpected(), 0);
}

TEST(GuiBenriWin, ShellOpenInStartsTheProgramInTheGivenFolder) {
  ASSERT_TRUE(test::FileExists(ProbePath())) << ProbePath();
  TempFolder work("shell_work");
  TempFolder out("shell_out");
  ProbeOutput probe(out.path() + "cwd.txt");

  const int started = ShellOpenIn(ProbePath(), WithoutTrailingBackslash(work.path()));
  EXPECT_GT(started, 32);
  const std::string cwd = probe.WaitForText(std::chrono::seconds(15));
  EXPECT_EQ(_stricmp(WithoutTrailingBackslash(cwd).c_str(), WithoutTrailingBackslash(work.path()).c_str()), 0)
      << cwd;

  // ShellOpen leaves the folder to the shell: the program does not start in
  // the other folder.
  DeleteFileA((out.path() + "cwd.txt").c_str());
  EXPECT_GT(ShellOpen(ProbePath()), 32);
  const std::string defaultCwd = probe.WaitForText(std::chrono::seconds(15));
  EXPECT_FALSE(defaultCwd.empty());
  EXPECT_NE(_stricmp(WithoutTrailingBackslash(defaultCwd).c_str(), WithoutTrailingBackslash(work.path()).c_str()), 0);
}

bool RunsUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Under Wine a shell handed any of these ended the process.
TEST(GuiBenriWin, TextsLongerThanTheShellTakesFailWithoutReachingIt) {
  TempFolder folder("shell_long");
  DialogRobot robot({}, std::chrono::seconds(30));
  EXPECT_LE(ShellOpen(folder.path() + std::string(1100, 'p') + ".exe"), 32);
  EXPECT_LE(ShellOpen("http://example.invalid/" + std::string(2100, 'u')), 32);
  EXPECT_LE(ShellOpen("www.example.invalid/" + std::string(300, 'w')), 32);
  EXPECT_LE(ShellOpenIn(folder.path() + std::string(1100, 'p') + ".exe", WithoutTrailingBackslash(folder.path())), 32);
  // A working folder longer than a path.
  EXPECT_LE(ShellOpenIn(ProbePath(), folder.path() + std::string(300, 'f')), 32);
  // A command line longer than any process gets.
  EXPECT_LE(StartCommandLine("\"" + ProbePath() + "\" " + std::string(40000, 'a')), 32);
  Sleep(500);
  robot.Finish();
  EXPECT_EQ(robot.Unexpected(), 0);
}

TEST(GuiBenriWin, ShellTakesPathsUpToMaxPathAndWebAddressesFurther) {
  const std::string path = "C:\\" + std::string(MAX_PATH - 4, 'p');
  ASSERT_EQ(path.size(), static_cast<size_t>(MAX_PATH - 1));
  EXPECT_TRUE(ShellTakes(path));
  EXPECT_FALSE(ShellTakes(path + "p"));
  // Characters count, not bytes: 259 two-byte characters are a path.
  const std::string twoByte = platform::WideToAnsi(L"C:\\" + std::wstring(MAX_PATH - 4, L'\x3042'));
  if (platform::AnsiToWide(twoByte).size() == static_cast<size_t>(MAX_PATH - 1)) {
    EXPECT_TRUE(ShellTakes(twoByte));
    EXPECT_FALSE(ShellTakes(twoByte + "p"));
  }
  // Environment variables count as the shell expands them.
  SetEnvironmentVariableA("LUMORA_LONG_FOLDER", ("C:\\" + std::string(300, 'f')).c_str());
  EXPECT_FALSE(ShellTakes("%LUMORA_LONG_FOLDER%\\a.exe"));
  SetEnvironmentVariableA("LUMORA_LONG_FOLDER", nullptr);

  // A web address (a scheme of two letters or more) may be longer than a path.
  const std::string address = "http://example.invalid/";
  EXPECT_TRUE(ShellTakes(address + std::string(800 - address.size(), 'u')));
  EXPECT_TRUE(ShellTakes("x-my+app.2:" + std::string(600, 'u')));
  EXPECT_FALSE(ShellTakes("C:" + std::string(600, 'u')));
  EXPECT_FALSE(ShellTakes("1http:" + std::string(600, 'u')));
  EXPECT_TRUE(ShellTakes("www." + std::string(244, 'w')));
  if (RunsUnderWine()) {
    // Wine's shell ends the process from somewhat above 900 characters on
    // (997 here), and copies a text that starts with "www" into 256.
    EXPECT_TRUE(ShellTakes(address + std::string(900 - address.size(), 'u')));
    EXPECT_FALSE(ShellTakes(address + std::string(901 - address.size(), 'u')));
    EXPECT_FALSE(ShellTakes("WWW." + std::string(245, 'w')));
  } else {
    EXPECT_TRUE(ShellTakes(address + std::string(2083 - address.size(), 'u')));
    EXPECT_FALSE(ShellTakes(address + std::string(2084 - address.size(), 'u')));
  }
  EXPECT_FALSE(ShellTakes(address + std::string(2084 - address.size(), 'u')));

  EXPECT_TRUE(StartTakes(std::string(32766, 'a')));
  EXPECT_FALSE(StartTakes(std::string(32767, 'a')));
}

// The longest path the shell takes is still handed to it.
TEST(GuiBenriWin, ShellOpenStartsAProgramWhosePathIsAsLongAsAPathGoes) {
  ASSERT_TRUE(test::FileExists(ProbePath())) << ProbePath();
  TempFolder folder("shell_max");
  TempFolder out("shell_max_out");
  ASSERT_LT(folder.path().size(), 150u);
  const std::string inner = folder.path() + std::string(200 - folder.path().size(), 'd');
  ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr)) << inner.size();
  const std::string program = inner + "\\" + std::string(MAX_PATH - 1 - inner.size() - 1 - 4, 'q') + ".exe";
  ASSERT_EQ(program.size(), static_cast<size_t>(MAX_PATH - 1));
  ASSERT_TRUE(CopyFileA(ProbePath().c_str(), program.c_str(), FALSE));
  ProbeOutput probe(out.path() + "cwd.txt");
  EXPECT_GT(ShellOpen(program), 32);
  EXPECT_FALSE(probe.WaitForText(std::chrono::seconds(15)).empty());
  // Let the probe end before its folder goes.
  Sleep(300);
}

// A window that counts the messages it receives.
class CountingWindow {
 public:
  static constexpr UINT kPing = WM_APP + 17;

  CountingWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LumoraCountingWindow";
    RegisterClassW(&windowClass);
    window_.reset(CreateWindowExW(0, L"LumoraCountingWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
  }
  HWND get() const { return window_.get(); }
  static int& Pings() {
    static int count = 0;
    return count;
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPing) {
      ++Pings();
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  platform::WindowHandle window_;
};

TEST(GuiBenriWin, RunAndWaitReturnsAfterTheProgramEndedAndDispatchesMeanwhile) {
  ASSERT_TRUE(test::FileExists(ProbePath()));
  TempFolder out("wait_out");
  ProbeOutput probe(out.path() + "cwd.txt");
  CountingWindow counter;
  ASSERT_NE(counter.get(), nullptr);
  CountingWindow::Pings() = 0;
  ASSERT_TRUE(PostMessageW(counter.get(), CountingWindow::kPing, 0, 0));

  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(RunAndWait("", "\"" + ProbePath() + "\" 600"));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(600));
  EXPECT_EQ(CountingWindow::Pings(), 1);  // handled during the wait
  // The probe writes its file just before it ends: it is there on return.
  EXPECT_FALSE(test::ReadFileBytes(out.path() + "cwd.txt").empty());

  // An empty command line runs the application text.
  DeleteFileA((out.path() + "cwd.txt").c_str());
  EXPECT_TRUE(RunAndWait(ProbePath(), ""));
  EXPECT_FALSE(test::ReadFileBytes(out.path() + "cwd.txt").empty());
}

TEST(GuiBenriWin, RunAndWaitKeepsAQuitRequestForTheProgramsOwnLoop) {
  ASSERT_TRUE(test::FileExists(ProbePath()));
  TempFolder out("wait_quit");
  ProbeOutput probe(out.path() + "cwd.txt");
  PostQuitMessage(7);
  EXPECT_TRUE(RunAndWait("", "\"" + ProbePath() + "\" 300"));
  MSG message{};
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 7u);
}

TEST(GuiBenriWin, RunAndWaitIsFalseForAProgramThatCannotStart) {
  TempFolder folder("wait_missing");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(RunAndWait("", "\"" + folder.path() + "no_such_program.exe\""));
  EXPECT_FALSE(RunAndWait(folder.path() + "no_such_program.exe", ""));
  EXPECT_FALSE(RunAndWait("", ""));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(GuiBenriWin, GetLongPathOfMissingRootAndShortPaths) {
  EXPECT_EQ(GetLongPath(""), "");
  EXPECT_EQ(GetLongPath("C:\\"), "C:\\");
  EXPECT_EQ(GetLongPath("C:\\no_such_lumora_folder\\ABCDEF~1.TXT"), "C:\\no_such_lumora_folder\\ABCDEF~1.TXT");
  // a relative path is expanded against the current folder first
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  const std::string relative = "no_such_lumora_file.txt";
  std::string currentFolder = current;
  if (currentFolder.back() != '\\') currentFolder += '\\';
  EXPECT_EQ(_stricmp(GetLongPath(relative).c_str(), (currentFolder + relative).c_str()), 0);

  TempFolder temp("long");
  const std::string longFolder = temp.path() + "Lumora Long Folder Name";
  const std::string longFile = longFolder + "\\A Long File Name.text";
  ASSERT_TRUE(CreateDirectoryA(longFolder.c_str(), nullptr));
  platform::FileHandle(CreateFileA(longFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)).reset();
  char expected[MAX_PATH] = {};
  ASSERT_GT(GetLongPathNameA(longFile.c_str(), expected, MAX_PATH), 0u);
  char shortForm[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(longFile.c_str(), shortForm, MAX_PATH), 0u);
  EXPECT_EQ(GetLongPath(shortForm), expected) << "short form: " << shortForm;
  EXPECT_EQ(GetLongPath(longFile), expected);
  // a missing last component stays as written behind the long folders
  char shortFolder[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(longFolder.c_str(), shortFolder, MAX_PATH), 0u);
  EXPECT_EQ(GetLongPath(std::string(shortFolder) + "\\MISSIN~1.TXT"),
            std::string(expected).substr(0, std::string(expected).rfind('\\')) + "\\MISSIN~1.TXT");
  // wildcards find nothing in place of the name
  EXPECT_EQ(GetLongPath(longFolder + "\\*.text"), std::string(expected).substr(0, std::string(expected).rfind('\\')) + "\\*.text");
}

TEST(GuiBenriWin, GetLongPathKeepsTwoByteNamesWhoseSecondByteIsABackslash) {
  TempFolder temp("long_sjis");
  const std::string folder = temp.path() + "\x95\x5c\x8e\xa6";           // 表示
  const std::string file = folder + "\\\x83\x5c\x83\x74\x83\x67.txt";  // ソフト.txt
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  platform::FileHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)).reset();
  ASSERT_TRUE(test::FileExists(file));
  char expected[MAX_PATH] = {};
  ASSERT_GT(GetLongPathNameA(file.c_str(), expected, MAX_PATH), 0u);
  EXPECT_EQ(GetLongPath(file), expected);
  char longFolder[MAX_PATH] = {};
  ASSERT_GT(GetLongPathNameA(folder.c_str(), longFolder, MAX_PATH), 0u);
  // a missing name ending in the two-byte ソ stays whole
  EXPECT_EQ(GetLongPath(folder + "\\\x83\x5c"), std::string(longFolder) + "\\\x83\x5c");
  EXPECT_EQ(GetLongPath(folder + "\\\x83\x5c.txt"), std::string(longFolder) + "\\\x83\x5c.txt");
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The names in a folder (ANSI), sorted, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  platform::FindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
  if (!find) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find.get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

TEST(GuiBenriWin, CreateFolderTreeKeepsNamesEndingInATwoByteCharacterWithABackslashByte) {
  ASSERT_EQ(GetACP(), 932u) << "this test needs the Japanese code page";
  TempFolder temp("tree_sjis");
  const std::string list = "\x88\xea\x97\x97\x95\x5c";  // 一覧表
  const std::string listWithoutLast = "\x88\xea\x97\x97";  // 一覧
  CreateFolderTree(temp.path() + list + "\\icons\\");
  EXPECT_TRUE(IsFolder(temp.path() + list + "\\icons"));
  EXPECT_FALSE(test::FileExists(temp.path() + listWithoutLast));
  EXPECT_EQ(FolderEntries(temp.path()), std::vector<std::string>{list});
  EXPECT_EQ(FolderEntries(temp.path() + list + "\\"), std::vector<std::string>{"icons"});

  // Three missing levels, each ending in such a character: ソ\機能\表\.
  const std::string so = "\x83\x5c", kinou = "\x8b\x40\x94\x5c", hyou = "\x95\x5c";
  const std::string deep = temp.path() + so + "\\" + kinou + "\\" + hyou + "\\";
  CreateFolderTree(deep);
  EXPECT_TRUE(IsFolder(deep));
  std::vector<std::string> top{list, so};
  std::sort(top.begin(), top.end());
  EXPECT_EQ(FolderEntries(temp.path()), top);
  EXPECT_EQ(FolderEntries(temp.path() + so + "\\"), std::vector<std::string>{kinou});
  EXPECT_EQ(FolderEntries(temp.path() + so + "\\" + kinou + "\\"), std::vector<std::string>{hyou});
  EXPECT_EQ(FolderEntries(deep), std::vector<std::string>{});

  // Without the trailing backslash, with doubled ones, and again over folders
  // that are already there.
  CreateFolderTree(temp.path() + list + "\\" + kinou);
  CreateFolderTree(temp.path() + so + "\\" + hyou + "\\\\");
  CreateFolderTree(deep);
  EXPECT_EQ(FolderEntries(temp.path()), top);
  EXPECT_EQ(FolderEntries(temp.path() + list + "\\"), (std::vector<std::string>{"icons", kinou}));
  std::vector<std::string> underSo{kinou, hyou};
  std::sort(underSo.begin(), underSo.end());
  EXPECT_EQ(FolderEntries(temp.path() + so + "\\"), underSo);
}

TEST(GuiBenriWin, CreateFolderTreeMakesEveryMissingLevelAndStopsAtTheDrive) {
  TempFolder temp("tree");
  CreateFolderTree(temp.path() + "a\\b/c\\");
  EXPECT_TRUE(IsFolder(temp.path() + "a\\b\\c"));
  EXPECT_EQ(FolderEntries(temp.path()), std::vector<std::string>{"a"});
  EXPECT_EQ(FolderEntries(temp.path() + "a\\"), std::vector<std::string>{"b"});
  // An existing drive root or folder is left as it is, and nothing throws.
  CreateFolderTree("C:\\");
  CreateFolderTree("C:");
  CreateFolderTree("");
  CreateFolderTree(temp.path());
  EXPECT_EQ(FolderEntries(temp.path()), std::vector<std::string>{"a"});
}

TEST(GuiBenriWin, SystemFoldersEndWithABackslash) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(GetWindowsFolder(), std::string(windows) + "\\");
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(GetSystemFolder(), std::string(system) + "\\");
  EXPECT_NE(GetFileAttributesA(GetSystemFolder().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(GuiBenriWin, SpecialFoldersAreFolderPathsOrEmpty) {
  char appData[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData)));
  EXPECT_EQ(GetSpecialFolder(CSIDL_APPDATA), std::string(appData) + "\\");

  char sendTo[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_SENDTO, nullptr, 0, sendTo)) && sendTo[0]) {
    EXPECT_EQ(GetSendToFolder(), std::string(sendTo) + "\\");
  } else {
    EXPECT_EQ(GetSendToFolder(), "");
  }
  char startup[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, 0, startup)) && startup[0]) {
    EXPECT_EQ(GetStartupFolder(), std::string(startup) + "\\");
  } else {
    EXPECT_EQ(GetStartupFolder(), "");
  }
  // "My Computer" is no folder on disk, and 0x7F names no folder at all.
  EXPECT_EQ(GetSpecialFolder(CSIDL_DRIVES), "");
  EXPECT_EQ(GetSpecialFolder(0x7F), "");
}

struct ShortcutContents {
  std::string target, arguments, folder;
  int show = -1;
};

ShortcutContents ReadShortcut(const std::string& file) {
  ShortcutContents read;
  platform::ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void())))
    return read;
  auto persist = link.As<IPersistFile>(IID_IPersistFile);
  if (!persist || FAILED(persist->Load(platform::AnsiToWide(file).c_str(), STGM_READ))) return read;
  char text[MAX_PATH * 2] = {};
  link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
  read.target = text;
  text[0] = '\0';
  link->GetArguments(text, sizeof text);
  read.arguments = text;
  text[0] = '\0';
  link->GetWorkingDirectory(text, sizeof text);
  read.folder = text;
  link->GetShowCmd(&read.show);
  return read;
}

TEST(GuiBenriWin, CreateShortcutWritesALinkTheShellReadsBack) {
  platform::ComScope com;
  ASSERT_TRUE(com.Succeeded());
  TempFolder temp("lnk");
  const std::string target = GetSystemFolder() + "notepad.exe";
  const std::string folder = WithoutTrailingBackslash(temp.path());

  struct Case {
    ShortcutWindow window;
    int show;
  };
  const Case cases[] = {{ShortcutWindow::kNormal, SW_SHOWNORMAL},
                        {ShortcutWindow::kMinimized, SW_MINIMIZE},
                        {ShortcutWindow::kMaximized, SW_SHOWMAXIMIZED}};
  int n = 0;
  for (const Case& c : cases) {
    const std::string lnk = temp.path() + "\x83\x5c\x83\x74\x83\x67" + std::to_string(n++) + ".lnk";  // ソフト
    ASSERT_TRUE(CreateShortcut(lnk, target, "/a \"b c\"", c.window, folder));
    ASSERT_TRUE(test::FileExists(lnk));
    const ShortcutContents read = ReadShortcut(lnk);
    EXPECT_EQ(_stricmp(read.target.c_str(), target.c_str()), 0) << read.target;
    EXPECT_EQ(read.arguments, "/a \"b c\"");
    EXPECT_EQ(read.folder, folder);
    // The show command as stored in the file's header (offset 0x3C).
    const std::string bytes = test::ReadFileBytes(lnk);
    ASSERT_GE(bytes.size(), 0x40u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("L\0\0\0", 4));
    DWORD stored = 0;
    memcpy(&stored, bytes.data() + 0x3C, sizeof stored);
    if (c.window == ShortcutWindow::kMinimized) {
      // the shell keeps a minimized window inactive
      EXPECT_TRUE(stored == SW_MINIMIZE || stored == SW_SHOWMINNOACTIVE) << stored;
    } else {
      EXPECT_EQ(stored, static_cast<DWORD>(c.show));
    }
  }

  const std::string impossible = temp.path() + "no_such_folder\\x.lnk";
  EXPECT_FALSE(CreateShortcut(impossible, target, "", ShortcutWindow::kNormal, folder));
  EXPECT_FALSE(test::FileExists(impossible));
}

// The application title as caption, restored afterwards.
class TitleScope {
 public:
  explicit TitleScope(const std::string& title) : previous_(platform::ApplicationTitle()) {
    platform::SetApplicationTitle(title);
  }
  ~TitleScope() { platform::SetApplicationTitle(previous_); }

 private:
  std::string previous_;
};

struct SeenBox {
  std::wstring caption, text;
  bool yes = false, no = false, ok = false, cancel = false;
};

DialogRobot::Step Press(SeenBox& seen, int button) {
  return [&seen, button](HWND box) {
    seen.caption = test::WindowText(box);
    seen.text = test::StaticTexts(box);
    seen.yes = GetDlgItem(box, IDYES) != nullptr;
    seen.no = GetDlgItem(box, IDNO) != nullptr;
    seen.ok = GetDlgItem(box, IDOK) != nullptr;
    seen.cancel = GetDlgItem(box, IDCANCEL) != nullptr;
    test::PressButton(box, button);
  };
}

TEST(GuiBenriWin, AskYesNoIsTrueOnlyForYes) {
  TitleScope title("ランチャー試験");
  SeenBox first, second;
  DialogRobot robot({Press(first, IDYES), Press(second, IDNO)});
  EXPECT_TRUE(AskYesNo("削除しますか?"));
  EXPECT_FALSE(AskYesNo("本当に?"));
  EXPECT_EQ(robot.Finish(), 2);
  EXPECT_EQ(first.caption, L"ランチャー試験");
  EXPECT_NE(first.text.find(L"削除しますか?"), std::wstring::npos);
  EXPECT_TRUE(first.yes && first.no);
  EXPECT_FALSE(first.ok || first.cancel);
  EXPECT_NE(second.text.find(L"本当に?"), std::wstring::npos);
}

TEST(GuiBenriWin, WarningsAndMessagesHaveOnlyOkAndTheRightCaption) {
  TitleScope title("ランチャー試験");
  SeenBox untitled, titled, message;
  DialogRobot robot({Press(untitled, IDOK), Press(titled, IDOK), Press(message, IDOK)});
  ShowWarning("ファイルがありません", "");
  ShowWarning("注意", "別の見出し");
  ShowMessage("お知らせ");
  EXPECT_EQ(robot.Finish(), 3);
  EXPECT_EQ(untitled.caption, L"ランチャー試験");
  EXPECT_NE(untitled.text.find(L"ファイルがありません"), std::wstring::npos);
  EXPECT_TRUE(untitled.ok);
  EXPECT_FALSE(untitled.yes || untitled.no || untitled.cancel);
  EXPECT_EQ(titled.caption, L"別の見出し");
  EXPECT_EQ(message.caption, L"ランチャー試験");
  EXPECT_NE(message.text.find(L"お知らせ"), std::wstring::npos);
}

}  // namespace
}  // namespace lumora
