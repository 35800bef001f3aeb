// The launcher window's command line and list in this process: the real
// window with its controls over a program folder of the test's own. Keys and
// clicks are sent to the controls, so they go through the controls' message
// handling as the user's would. Launches start a small command script that
// writes down its working folder and its arguments.
#include <windows.h>
#include <imm.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frmLumoraU_win.h"
#include "platform/application_win.h"
#include "platform/error_report_win.h"
#include "platform/unicode_win.h"
#include "win/launcher_test_support.h"
#include "win/shell_test_support.h"

namespace lumora {
namespace {

using test::DialogRobot;
using test::FileExists;
using test::ReadFileBytes;
using test::TempFolder;

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  while (!text.empty() && text.front() == ' ') text.erase(text.begin());
  return text;
}

// Waits until the file exists and has a whole line; its text then, or empty.
std::string WaitForLine(const std::string& path, DWORD timeoutMs = 15000) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    const std::string bytes = ReadFileBytes(path);
    if (bytes.find('\n') != std::string::npos) return Trimmed(bytes);
    Sleep(50);
  }
  return {};
}

class LauncherInputTest : public ::testing::Test {
 protected:
  // Launch targets: a command script in a folder of its own, which writes its
  // working folder to cwd.txt and its arguments to args.txt beside itself.
  void SetUp() override {
    CreateDirectoryA((folder.path() + "data").c_str(), nullptr);
    CreateDirectoryA(toolFolder().c_str(), nullptr);
    // Nothing of an earlier run may pass for a launch of this one.
    DeleteFileA((toolFolder() + "cwd.txt").c_str());
    DeleteFileA((toolFolder() + "args.txt").c_str());
    // The count order puts the entry with the highest count at the bottom.
    WriteFile(folder.path() + "Lumora.ini", "[flag]\r\ninstalled=1\r\n[launch]\r\nsort=count\r\n");
    WriteFile(script(), "@echo off\r\ncd > \"" + toolFolder() + "cwd.txt\"\r\necho %*> \"" + toolFolder() +
                            "args.txt\"\r\n");
  }

  static void WriteFile(const std::string& path, const std::string& bytes) {
    platform::FileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << path;
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  }

  std::string toolFolder() const { return folder.path() + "tool dir\\"; }
  std::string script() const { return toolFolder() + "probe.cmd"; }
  std::string missing() const { return folder.path() + "missing\\nothing.exe"; }
  bool Launched() const { return FileExists(toolFolder() + "cwd.txt"); }

  // Starts the launcher over the list rows (one string per line, cells
  // separated by tabs) and shows it.
  void Start(const std::vector<std::string>& rows) {
    std::string file;
    for (const std::string& row : rows) file += row + "\r\n";
    WriteFile(folder.path() + "data\\applist.tsv", file);
    launcher.UseProgramFolder(folder.path());
    launcher.CreateForm();
    ASSERT_NE(launcher.Handle(), nullptr);
    Show();
  }

  // Shows the launcher as the tray icon does.
  void Show() {
    launcher.ShowLauncher();
    SetFocus(launcher.CommandBox());
  }

  bool Shown() const { return IsWindowVisible(launcher.Handle()) != FALSE; }

  // Types text into the command line as the program sets it (which filters).
  void Type(const std::string& ansi) { launcher.SetCommandText(ansi); }

  void Key(HWND control, WPARAM virtualKey) {
    SendMessageW(control, WM_KEYDOWN, virtualKey, 1);
    // The character that TranslateMessage makes of the key, if any.
    const WPARAM character = virtualKey == VK_RETURN ? 13 : virtualKey == VK_ESCAPE ? 27 : 0;
    if (character != 0) SendMessageW(control, WM_CHAR, character, 1);
    SendMessageW(control, WM_KEYUP, virtualKey, 0xC0000001);
  }
  void Char(HWND control, WPARAM character) { SendMessageW(control, WM_CHAR, character, 1); }

  int Count() const { return static_cast<int>(SendMessageW(launcher.ListBox(), LB_GETCOUNT, 0, 0)); }
  int Selection() const { return static_cast<int>(SendMessageW(launcher.ListBox(), LB_GETCURSEL, 0, 0)); }
  void Select(int index) { SendMessageW(launcher.ListBox(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
  std::string ItemText(int index) { return launcher.List().sheetView.GetCell(1, index); }
  std::string StoreCell(int column, int row) { return launcher.List().sheetAll.GetCell(column, row); }

  void Wheel(int delta) {
    SendMessageW(launcher.ListBox(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<SHORT>(delta))), 0);
  }

  void Click(UINT down, UINT up, POINT client) {
    const LPARAM at = MAKELPARAM(client.x, client.y);
    SendMessageW(launcher.ListBox(), down, 0, at);
    SendMessageW(launcher.ListBox(), up, 0, at);
  }
  POINT ItemCenter(int index) {
    RECT item{};
    SendMessageW(launcher.ListBox(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  }

  // The launcher makes itself the owner of the program's boxes; once it is
  // gone the next tests' boxes must not be given its dead window.
  struct MainWindowReset {
    ~MainWindowReset() { platform::SetMainWindow(nullptr); }
  };

  TempFolder folder{"input"};
  std::vector<std::string> errors;
  platform::ScopedErrorReportHook errorHook{[this](HWND, const std::string& text) { errors.push_back(text); }};
  MainWindowReset mainWindowReset;  // after the launcher is destroyed
  TfrmLumora launcher;
};

// --- Enter in the command line, by the number of shown items ----------------

TEST_F(LauncherInputTest, EnterWithSeveralMatchesGoesToTheBottomRowAndASecondEnterLaunchesIt) {
  Start({"1\tnotepad\t" + script() + "\t5\t", "2\tnotes\t" + missing() + "\t1\t", "3\tcalc\t" + missing() + "\t9\t"});
  Type("NOTE");
  ASSERT_EQ(Count(), 2);
  ASSERT_EQ(ItemText(1), "notepad");
  Select(0);

  Key(launcher.CommandBox(), VK_RETURN);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(GetFocus(), launcher.ListBox());
  EXPECT_EQ(Selection(), 1);
  EXPECT_FALSE(Launched());
  EXPECT_EQ(launcher.CommandText(), "NOTE");

  Key(launcher.ListBox(), VK_RETURN);
  EXPECT_FALSE(Shown());
  EXPECT_NE(WaitForLine(toolFolder() + "cwd.txt"), "");
  EXPECT_EQ(StoreCell(3, 0), "6");
  EXPECT_EQ(StoreCell(3, 1), "1");
  EXPECT_EQ(launcher.CommandText(), "");
  EXPECT_EQ(Count(), 3);  // the filter is gone with the text
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherInputTest, EnterWithOneMatchLaunchesItInItsOwnFolderAndRecordsIt) {
  Start({"1\tnotepad\t" + script() + "\t\t", "2\tcalc\t" + missing() + "\t4\t"});
  char before[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, before);

  Type("pad");
  ASSERT_EQ(Count(), 1);
  Key(launcher.CommandBox(), VK_RETURN);

  EXPECT_FALSE(Shown());
  EXPECT_TRUE(test::CloseEndsProgram(launcher));
  const std::string cwd = WaitForLine(toolFolder() + "cwd.txt");
  // The script ran in its own folder; the launcher's folder did not move.
  EXPECT_EQ(cwd + "\\", toolFolder());
  char after[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, after);
  EXPECT_STREQ(after, before);

  EXPECT_EQ(launcher.CommandText(), "");
  EXPECT_EQ(StoreCell(3, 0), "1");
  EXPECT_FALSE(StoreCell(4, 0).empty());
  EXPECT_EQ(Count(), 2);
  // The saved file has the count.
  EXPECT_NE(ReadFileBytes(folder.path() + "data\\applist.tsv").find("\tnotepad\t"), std::string::npos);
  EXPECT_NE(ReadFileBytes(folder.path() + "data\\applist.tsv").find("\t1\t"), std::string::npos);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherInputTest, EnterWithNoMatchOpensTheTypedTextAndKeepsItAsAnEntry) {
  Start({"1\tcalc\t" + missing() + "\t\t"});
  Type(script());
  ASSERT_EQ(Count(), 0);
  Key(launcher.CommandBox(), VK_RETURN);

  EXPECT_NE(WaitForLine(toolFolder() + "cwd.txt"), "");
  EXPECT_FALSE(Shown());
  ASSERT_EQ(launcher.List().sheetAll.RowCount(), 2);
  EXPECT_EQ(StoreCell(0, 1), "2");
  EXPECT_EQ(StoreCell(1, 1), script());
  EXPECT_EQ(StoreCell(2, 1), script());
  EXPECT_EQ(StoreCell(3, 1), "");
  EXPECT_FALSE(StoreCell(4, 1).empty());
  EXPECT_EQ(launcher.CommandText(), "");
  EXPECT_EQ(Count(), 2);
  EXPECT_NE(ReadFileBytes(folder.path() + "data\\applist.tsv").find("probe.cmd"), std::string::npos);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherInputTest, ATypedTextTheShellCannotOpenOnlyBeeps) {
  Start({"1\tcalc\t" + missing() + "\t\t"});
  const std::string listBefore = ReadFileBytes(folder.path() + "data\\applist.tsv");
  Type(missing());
  ASSERT_EQ(Count(), 0);
  DialogRobot robot({});
  Key(launcher.CommandBox(), VK_RETURN);
  Sleep(300);
  robot.Finish();

  EXPECT_EQ(robot.Unexpected(), 0) << "a typed command that fails shows no message";
  EXPECT_TRUE(Shown());
  EXPECT_EQ(launcher.CommandText(), missing());
  EXPECT_EQ(launcher.List().sheetAll.RowCount(), 1);
  EXPECT_EQ(ReadFileBytes(folder.path() + "data\\applist.tsv"), listBefore);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// Longer than any shell takes: past MAX_PATH for a path, past 2,083
// characters for a web address (Wine's shell ends the process from about
// 970 characters on).
TEST_F(LauncherInputTest, ATypedTextLongerThanTheShellTakesOnlyBeeps) {
  Start({"1\tcalc\t" + missing() + "\t\t"});
  const std::string listBefore = ReadFileBytes(folder.path() + "data\\applist.tsv");
  const std::string path = folder.path() + std::string(1100, 'p') + ".exe";
  const std::string address = "http://example.invalid/" + std::string(2100, 'u');
  for (const std::string& text : {path, address}) {
    Type(text);
    ASSERT_EQ(Count(), 0);
    DialogRobot robot({});
    Key(launcher.CommandBox(), VK_RETURN);
    Sleep(300);
    robot.Finish();

    EXPECT_EQ(robot.Unexpected(), 0) << text.size();
    EXPECT_TRUE(Shown()) << text.size();
    EXPECT_EQ(launcher.CommandText(), text);
    EXPECT_EQ(launcher.List().sheetAll.RowCount(), 1);
  }
  EXPECT_EQ(ReadFileBytes(folder.path() + "data\\applist.tsv"), listBefore);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// Enter after a typed command started counts as done even when the list
// cannot be saved: the error is told once, the text goes, the window hides,
// and nothing is left for a second Enter to start again.
TEST_F(LauncherInputTest, ATypedCommandThatStartedIsDoneWithEvenWhenTheSaveFails) {
  Start({"1\tcalc\t" + missing() + "\t\t"});
  ASSERT_TRUE(DeleteFileA((folder.path() + "data\\applist.tsv").c_str()));
  ASSERT_TRUE(RemoveDirectoryA((folder.path() + "data").c_str()));
  Type(script());
  ASSERT_EQ(Count(), 0);
  Key(launcher.CommandBox(), VK_RETURN);

  EXPECT_NE(WaitForLine(toolFolder() + "cwd.txt"), "");
  EXPECT_EQ(errors.size(), 1u) << "the failed save is told once";
  EXPECT_FALSE(Shown());
  EXPECT_EQ(launcher.CommandText(), "");
  // The entry stays in memory and the view shows it.
  EXPECT_EQ(launcher.List().sheetAll.RowCount(), 2);
  EXPECT_EQ(StoreCell(2, 1), script());
  EXPECT_EQ(Count(), 2);

  // A second Enter on the shown launcher starts nothing more.
  DeleteFileA((toolFolder() + "cwd.txt").c_str());
  Show();
  DialogRobot robot({});
  Key(launcher.CommandBox(), VK_RETURN);
  Sleep(500);
  robot.Finish();
  EXPECT_FALSE(Launched());
  EXPECT_EQ(launcher.List().sheetAll.RowCount(), 2);
  EXPECT_EQ(errors.size(), 1u);
}

// 한 is no character of the code page: the text matches no entry, not even
// one whose name has the "?" the system would put in its place, and Enter
// hands nothing to the shell.
TEST_F(LauncherInputTest, TextTheCodePageCannotHoldMatchesNothingAndNeverLaunches) {
  // メモ帳 in the code page (Shift-JIS in the test set-up).
  const std::string memo = platform::WideToAnsi(L"\x30E1\x30E2\x5E33");
  Start({"1\ta?b\t" + script() + "\t\t", "2\t" + memo + "\t" + missing() + "\t\t"});
  ASSERT_EQ(Count(), 2);
  if (GetACP() == CP_UTF8) GTEST_SKIP() << "the code page holds every character";

  for (const wchar_t* text : {L"\xD55C", L"a\xD55C", L"a\xD55C" L"b"}) {
    SetWindowTextW(launcher.CommandBox(), text);
    EXPECT_EQ(Count(), 0) << platform::WideToUtf8(text);
    EXPECT_EQ(launcher.CommandText(), "");
    DialogRobot robot({});
    Key(launcher.CommandBox(), VK_RETURN);
    Sleep(300);
    robot.Finish();
    EXPECT_EQ(robot.Unexpected(), 0);
    EXPECT_TRUE(Shown());
    EXPECT_FALSE(Launched()) << platform::WideToUtf8(text);
    EXPECT_EQ(launcher.List().sheetAll.RowCount(), 2);
  }
  // Typed as a character, the same.
  SetWindowTextW(launcher.CommandBox(), L"");
  ASSERT_EQ(Count(), 2);
  SendMessageW(launcher.CommandBox(), WM_CHAR, 0xD55C, 1);
  EXPECT_EQ(Count(), 0);

  // Text the code page holds still filters: メモ matches メモ帳.
  if (platform::AnsiToWide(memo) == L"\x30E1\x30E2\x5E33") {
    SetWindowTextW(launcher.CommandBox(), L"\x30E1\x30E2");
    EXPECT_EQ(launcher.CommandText(), platform::WideToAnsi(L"\x30E1\x30E2"));
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(ItemText(0), memo);
  }
  EXPECT_FALSE(Launched());
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherInputTest, RestartIsAWordOnlyWhileNoEntryNameContainsIt) {
  Start({"1\trestart tool\t" + missing() + "\t\t", "2\trestart helper\t" + missing() + "\t\t"});
  Type("restart");
  ASSERT_EQ(Count(), 2);
  Key(launcher.CommandBox(), VK_RETURN);

  // The entries are shown and Enter went to the list: no restart, no close.
  EXPECT_TRUE(IsWindow(launcher.Handle()));
  EXPECT_TRUE(Shown());
  EXPECT_FALSE(test::CloseEndsProgram(launcher));
  EXPECT_EQ(GetFocus(), launcher.ListBox());
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, launcher.Handle(), WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
  EXPECT_FALSE(launcher.RunCommandWord("Restart"));
  EXPECT_FALSE(launcher.RunCommandWord("restart "));
}

TEST_F(LauncherInputTest, EnterOfAnInputMethodNeverLaunches) {
  Start({"1\tnotepad\t" + script() + "\t\t"});
  Type("note");
  ASSERT_EQ(Count(), 1);

  // While composing, the keys arrive as VK_PROCESSKEY.
  SendMessageW(launcher.CommandBox(), WM_KEYDOWN, VK_PROCESSKEY, 1);
  SendMessageW(launcher.CommandBox(), WM_KEYUP, VK_RETURN, 0xC0000001);
  Sleep(300);
  EXPECT_TRUE(Shown());
  EXPECT_FALSE(Launched());
  EXPECT_EQ(launcher.CommandText(), "note");
  EXPECT_EQ(launcher.List().sheetAll.GetCell(3, 0), "");

  // The Enter character alone is swallowed and does nothing either.
  Char(launcher.CommandBox(), 13);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(launcher.CommandText(), "note");

  // A composition in progress holds back a real Enter too, where the input
  // method service lets the test start one.
  HIMC context = ImmGetContext(launcher.CommandBox());
  if (context) {
    wchar_t reading[] = L"\x3042";
    const bool composing =
        ImmSetOpenStatus(context, TRUE) &&
        ImmSetCompositionStringW(context, SCS_SETSTR, reading, sizeof reading - sizeof(wchar_t), nullptr, 0) &&
        ImmGetCompositionStringW(context, GCS_COMPSTR, nullptr, 0) > 0;
    RecordProperty("composition", composing ? "tested" : "not available");
    if (composing) {
      // Wine puts the composition into the edit box, which filters the list
      // down to nothing; show the one entry again, so that an Enter that
      // slipped through would launch it.
      launcher.List().Filter("note");
      ASSERT_EQ(Count(), 1);
      SendMessageW(launcher.CommandBox(), WM_KEYDOWN, VK_RETURN, 1);
      EXPECT_TRUE(Shown());
      EXPECT_FALSE(Launched());
      ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
    }
    ImmReleaseContext(launcher.CommandBox(), context);
  }
  EXPECT_FALSE(Launched());
}

// --- moving between the controls --------------------------------------------

TEST_F(LauncherInputTest, UpAndDownGoToTheBottomRowAndEscapeInTheListComesBackKeepingTheFilter) {
  Start({"1\tnotepad\t" + missing() + "\t\t", "2\tnotes\t" + missing() + "\t\t", "3\tnote 3\t" + missing() + "\t\t",
         "4\tcalc\t" + missing() + "\t\t"});
  Type("note");
  ASSERT_EQ(Count(), 3);

  for (WPARAM key : {VK_UP, VK_DOWN}) {
    Select(0);
    SetFocus(launcher.CommandBox());
    Key(launcher.CommandBox(), key);
    EXPECT_EQ(GetFocus(), launcher.ListBox()) << key;
    EXPECT_EQ(Selection(), 2) << "not the row next to the old selection: " << key;

    Key(launcher.ListBox(), VK_ESCAPE);
    EXPECT_EQ(GetFocus(), launcher.CommandBox()) << key;
    EXPECT_TRUE(Shown());
    EXPECT_EQ(launcher.CommandText(), "note");
    EXPECT_EQ(Count(), 3);
  }

  // Down into an empty list still moves the focus, and selects nothing.
  Type("zzz");
  ASSERT_EQ(Count(), 0);
  SetFocus(launcher.CommandBox());
  Key(launcher.CommandBox(), VK_DOWN);
  EXPECT_EQ(GetFocus(), launcher.ListBox());
  EXPECT_EQ(Selection(), -1);

  // Escape in the command line hides the launcher; the text stays.
  SetFocus(launcher.CommandBox());
  Key(launcher.CommandBox(), VK_ESCAPE);
  EXPECT_FALSE(Shown());
  EXPECT_TRUE(test::CloseEndsProgram(launcher));
  EXPECT_EQ(launcher.CommandText(), "zzz");
  EXPECT_FALSE(Launched());
}

TEST_F(LauncherInputTest, TheWheelMovesTheSelectionOneItemAndStopsAtBothEnds) {
  Start({"1\ta\t" + missing() + "\t1\t", "2\tb\t" + missing() + "\t2\t", "3\tc\t" + missing() + "\t3\t"});
  ASSERT_EQ(Count(), 3);
  EXPECT_EQ(Selection(), 2);
  Wheel(-120);
  EXPECT_EQ(Selection(), 2);  // at the bottom
  Wheel(360);
  EXPECT_EQ(Selection(), 1);  // one item, whatever the delta
  Wheel(120);
  EXPECT_EQ(Selection(), 0);
  Wheel(120);
  EXPECT_EQ(Selection(), 0);  // at the top
  Wheel(-120);
  EXPECT_EQ(Selection(), 1);
  Select(-1);
  Wheel(120);
  EXPECT_EQ(Selection(), -1);
  Wheel(-120);
  EXPECT_EQ(Selection(), 0);  // from none to the first item
  // A wheel turned over the command line moves the list's selection as well.
  SendMessageW(launcher.CommandBox(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(Selection(), 1);
  EXPECT_TRUE(Shown());
  EXPECT_FALSE(Launched());
}

// --- the mouse ----------------------------------------------------------------

TEST_F(LauncherInputTest, AClickBelowTheLastRowRemovesTheSelectionAndLaunchesNothing) {
  Start({"1\ta\t" + missing() + "\t1\t", "2\tprobe\t" + script() + "\t2\t"});
  ASSERT_EQ(Count(), 2);
  ASSERT_EQ(ItemText(1), "probe");
  RECT client{};
  GetClientRect(launcher.ListBox(), &client);
  RECT last{};
  SendMessageW(launcher.ListBox(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&last));
  ASSERT_LT(last.bottom + 4, client.bottom) << "the list needs room below its rows";
  const POINT below{5, last.bottom + 3};

  DialogRobot robot({});
  Click(WM_LBUTTONDOWN, WM_LBUTTONUP, below);
  EXPECT_EQ(Selection(), -1);
  EXPECT_TRUE(Shown());
  // A double click there launches nothing either.
  SendMessageW(launcher.ListBox(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(below.x, below.y));
  SendMessageW(launcher.ListBox(), WM_LBUTTONUP, 0, MAKELPARAM(below.x, below.y));
  EXPECT_EQ(Selection(), -1);
  EXPECT_TRUE(Shown());

  // The middle button selects the row under it and does nothing more.
  Click(WM_MBUTTONDOWN, WM_MBUTTONUP, ItemCenter(0));
  EXPECT_EQ(Selection(), 0);
  EXPECT_TRUE(Shown());
  Sleep(200);
  robot.Finish();
  EXPECT_EQ(robot.Unexpected(), 0);
  EXPECT_FALSE(Launched());
}

TEST_F(LauncherInputTest, ASingleClickLaunchesOnceAndTheRestOfADoubleClickIsIgnored) {
  // probe is the top row, not the selected bottom one.
  Start({"1\tprobe\t" + script() + "\t1\t", "2\ta\t" + missing() + "\t5\t"});
  ASSERT_EQ(ItemText(0), "probe");
  ASSERT_EQ(Selection(), 1);
  const POINT at = ItemCenter(0);

  DialogRobot robot({});
  Click(WM_LBUTTONDOWN, WM_LBUTTONUP, at);
  EXPECT_FALSE(Shown());
  EXPECT_NE(WaitForLine(toolFolder() + "cwd.txt"), "");
  EXPECT_EQ(StoreCell(3, 0), "2");

  // What follows of a double click reaches the hidden list: nothing more,
  // not even the failure message of the entry now under the pointer.
  SendMessageW(launcher.ListBox(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(at.x, at.y));
  SendMessageW(launcher.ListBox(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  Sleep(300);
  robot.Finish();
  EXPECT_EQ(robot.Unexpected(), 0);
  EXPECT_EQ(StoreCell(3, 0), "2");
  EXPECT_EQ(StoreCell(3, 1), "5");
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// --- launching ------------------------------------------------------------------

TEST_F(LauncherInputTest, AFailingTargetShowsTheFailureMessageAndRecordsNothing) {
  Start({"1\tgone\t" + missing() + "\t7\t"});
  const std::string listBefore = ReadFileBytes(folder.path() + "data\\applist.tsv");
  Type("gone");
  ASSERT_EQ(Count(), 1);

  std::wstring message;
  std::wstring caption;
  HWND owner = nullptr;
  DialogRobot robot({[&](HWND box) {
    message = test::StaticTexts(box);
    caption = test::WindowText(box);
    owner = GetWindow(box, GW_OWNER);
    test::PressButton(box, IDOK);
  }});
  const std::wstring title = platform::Utf8ToWide(platform::ApplicationTitle());
  Key(launcher.CommandBox(), VK_RETURN);
  EXPECT_EQ(robot.Finish(), 1);

  EXPECT_EQ(message, L"実行に失敗しました。");
  EXPECT_EQ(caption, title);
  EXPECT_EQ(owner, launcher.Handle());
  EXPECT_FALSE(Shown());
  EXPECT_EQ(launcher.CommandText(), "gone");
  EXPECT_EQ(StoreCell(3, 0), "7");
  EXPECT_EQ(ReadFileBytes(folder.path() + "data\\applist.tsv"), listBefore);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherInputTest, ATargetLongerThanTheShellTakesFailsWithTheFailureMessage) {
  const std::string target = folder.path() + std::string(2000, 't') + ".exe";
  Start({"1\tlong\t" + target + "\t7\t"});
  const std::string listBefore = ReadFileBytes(folder.path() + "data\\applist.tsv");
  Type("long");
  ASSERT_EQ(Count(), 1);

  std::wstring message;
  DialogRobot robot({[&](HWND box) {
    message = test::StaticTexts(box);
    test::PressButton(box, IDOK);
  }});
  Key(launcher.CommandBox(), VK_RETURN);
  EXPECT_EQ(robot.Finish(), 1);

  EXPECT_EQ(message, L"実行に失敗しました。");
  EXPECT_FALSE(Shown());
  EXPECT_EQ(launcher.CommandText(), "long");
  EXPECT_EQ(StoreCell(3, 0), "7");
  EXPECT_EQ(ReadFileBytes(folder.path() + "data\\applist.tsv"), listBefore);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherInputTest, AnArgumentLaunchStartsTheQuotedTargetWithTheArgumentOnce) {
  Start({"1\tprobe\t" + script() + "\t\t"});
  ASSERT_EQ(Selection(), 0);

  // No selection: nothing starts, and the argument does not stay for later.
  Select(-1);
  DialogRobot unselected({[](HWND dialog) {
    SetWindowTextW(FindWindowExW(dialog, nullptr, L"Edit", nullptr), L"-stale");
    test::PressButton(dialog, IDOK);
  }});
  launcher.popExecWithArgStrClick();
  EXPECT_EQ(unselected.Finish(), 1);
  EXPECT_TRUE(Shown());
  EXPECT_FALSE(Launched());

  Select(0);
  DialogRobot robot({[](HWND dialog) {
    HWND edit = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
    SetWindowTextW(edit, L"\"C:\\My Files\\a.txt\" -x");
    test::PressButton(dialog, IDOK);
  }});
  launcher.popExecWithArgStrClick();
  EXPECT_EQ(robot.Finish(), 1);

  EXPECT_EQ(WaitForLine(toolFolder() + "args.txt"), "\"C:\\My Files\\a.txt\" -x");
  EXPECT_FALSE(Shown());
  EXPECT_EQ(StoreCell(3, 0), "1");
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherInputTest, CancellingTheArgumentQuestionStartsNothing) {
  Start({"1\tprobe\t" + script() + "\t\t"});
  DialogRobot robot({[](HWND dialog) { test::PressButton(dialog, IDCANCEL); },
                     [](HWND dialog) { test::PressButton(dialog, IDOK); }});  // OK with the empty preset
  launcher.popExecWithArgStrClick();
  launcher.popExecWithArgStrClick();
  EXPECT_EQ(robot.Finish(), 2);
  EXPECT_TRUE(Shown());
  Sleep(300);
  EXPECT_FALSE(Launched());
}

}  // namespace
}  // namespace lumora
