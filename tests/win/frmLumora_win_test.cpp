// The launcher window in this process, over a program folder of its own:
// start-up, the close rule, showing at the cursor and the saved height, the
// menus, the sort commands, the title clock and the list box; and the real
// Lumora.exe started as a program.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/frmLumoraU_win.h"
#include "app/resource_ids.h"
#include "platform/application_win.h"
#include "platform/error_report_win.h"
#include "platform/handles_win.h"
#include "platform/text_platform.h"
#include "platform/unicode_win.h"
#include "platform/messages_win.h"
#include "win/launcher_test_support.h"
#include "win/shell_test_support.h"

namespace lumora {
namespace {

std::wstring TitleOf(HWND hwnd) {
  wchar_t title[128] = {};
  GetWindowTextW(hwnd, title, 128);
  return title;
}

// Takes the WM_QUIT that the launcher posts when it is destroyed; -1 if none.
int TakeQuitCode() {
  MSG msg;
  if (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return static_cast<int>(msg.wParam);
  return -1;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  platform::FindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
  if (find) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + name + "\\");
      } else {
        DeleteFileA((folder + name).c_str());
      }
    } while (FindNextFileA(find.get(), &found));
  }
  find.reset();
  RemoveDirectoryA(folder.c_str());
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string TimeText(int year, int month, int day) {
  platform::LocalTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = 10;
  return platform::Text().DateTimeText(time);
}

bool Checked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
bool Present(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) != static_cast<UINT>(-1); }
bool Greyed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

std::wstring CaptionAt(HMENU menu, int position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
  return text;
}

class LauncherWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "lumora_frm_" + std::to_string(GetCurrentProcessId()) + "_" +
              std::to_string(++counter) + "\\";
    RemoveTree(folder_);
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((folder_ + "data").c_str(), nullptr));
  }

  void TearDown() override {
    launcher_.reset();
    TakeQuitCode();
    RemoveTree(folder_);
  }

  // Writes the list file: rows of UTF-8 cells, stored as ANSI with tabs and CR LF.
  void WriteList(const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    for (const auto& row : rows) {
      for (std::size_t i = 0; i < row.size(); ++i) text += (i ? "\t" : "") + platform::Utf8ToAnsi(row[i]);
      text += "\r\n";
    }
    platform::FileHandle file(
        CreateFileA(ListPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
  }

  // Three entries whose three orders all differ:
  //   time  メモ帳, 電卓, apple    count  電卓, メモ帳, apple    name  apple, メモ帳, 電卓
  void WriteThreeEntries() {
    WriteList({{"1", "メモ帳", "notepad.exe", "5", TimeText(2026, 1, 3)},
               {"2", "電卓", "calc.exe", "1", TimeText(2026, 1, 5)},
               {"3", "apple", "apple.txt", "9", TimeText(2026, 1, 7)}});
  }

  void WriteSetting(const char* section, const char* key, const char* value) {
    ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, IniPath().c_str()));
  }

  std::string ReadSetting(const char* section, const char* key) {
    char value[256] = {};
    GetPrivateProfileStringA(section, key, "<none>", value, 256, IniPath().c_str());
    return value;
  }

  // A program that has had its first run: its install questions (tested
  // with the memo window's tests) never come up here.
  TfrmLumora& Start() {
    if (ReadSetting("flag", "installed") == "<none>") WriteSetting("flag", "installed", "1");
    return StartAsIs();
  }
  TfrmLumora& StartAsIs() {
    launcher_ = std::make_unique<TfrmLumora>();
    launcher_->UseProgramFolder(folder_);
    launcher_->CreateForm();
    return *launcher_;
  }

  std::vector<std::wstring> ListNames() const {
    std::vector<std::wstring> names;
    HWND list = launcher_->ListBox();
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t name[256] = {};
      SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
      names.push_back(name);
    }
    return names;
  }

  int Selection() const { return static_cast<int>(SendMessageW(launcher_->ListBox(), LB_GETCURSEL, 0, 0)); }

  RECT Bounds() const {
    RECT r{};
    GetWindowRect(launcher_->Handle(), &r);
    return r;
  }

  std::string ListPath() const { return folder_ + "data\\applist.tsv"; }
  std::string IniPath() const { return folder_ + "Lumora.ini"; }

  std::string folder_;
  std::unique_ptr<TfrmLumora> launcher_;
  std::vector<std::string> errors_;
  platform::ScopedErrorReportHook hook_{[this](HWND, const std::string& text) { errors_.push_back(text); }};
};

// --- start-up ------------------------------------------------------------------

TEST_F(LauncherWindowTest, StartsHiddenAsLMWithTheListFilledInTimeOrder) {
  WriteThreeEntries();
  TfrmLumora& launcher = Start();
  ASSERT_NE(launcher.Handle(), nullptr);
  EXPECT_TRUE(errors_.empty()) << errors_.front();
  EXPECT_EQ(TitleOf(launcher.Handle()), L"[LM]");
  EXPECT_EQ(platform::ApplicationTitle(), "[LM]");
  EXPECT_FALSE(IsWindowVisible(launcher.Handle()));
  EXPECT_FALSE(launcher.ShowOnStart());
  EXPECT_TRUE(test::CloseEndsProgram(launcher));
  EXPECT_FALSE(launcher.IsShown());
  const LONG_PTR exStyle = GetWindowLongPtrW(launcher.Handle(), GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongPtrW(launcher.Handle(), GWL_STYLE) & WS_THICKFRAME);
  EXPECT_EQ(Bounds().right - Bounds().left, 214);
  EXPECT_EQ(Bounds().bottom - Bounds().top, 201);

  // The names are strings of the list box, readable from outside, the
  // latest launch at the bottom and selected.
  const LONG_PTR listStyle = GetWindowLongPtrW(launcher.ListBox(), GWL_STYLE);
  EXPECT_TRUE(listStyle & LBS_HASSTRINGS);
  EXPECT_TRUE(listStyle & LBS_OWNERDRAWFIXED);
  EXPECT_EQ(SendMessageW(launcher.ListBox(), LB_GETITEMHEIGHT, 0, 0), 18);
  EXPECT_EQ(ListNames(), (std::vector<std::wstring>{L"メモ帳", L"電卓", L"apple"}));
  EXPECT_EQ(Selection(), 2);
}

// The first run notes itself before anything is asked, then asks the two
// install questions as the message loop starts; No to both still saves the
// list. The next start asks nothing.
TEST_F(LauncherWindowTest, FirstRunCreatesTheIconFolderOnceSetsTheFlagAndAsksTheInstallQuestions) {
  std::vector<std::wstring> asked;
  auto no = [&](HWND box) {
    asked.push_back(test::StaticTexts(box));
    test::PressButton(box, IDNO);
  };
  test::DialogRobot robot({no, no});
  StartAsIs();
  EXPECT_TRUE(FolderExists(folder_ + "icons"));
  EXPECT_EQ(ReadSetting("flag", "installed"), "1");
  EXPECT_EQ(ListNames().size(), 0u);  // no list file: an empty list, no message
  EXPECT_EQ(Selection(), -1);
  EXPECT_FALSE(test::FileExists(ListPath()));  // nothing asked during the creation
  for (int i = 0; i < 200 && !test::FileExists(ListPath()); ++i) {
    platform::ProcessPendingMessages();
    Sleep(30);
  }
  EXPECT_EQ(robot.Finish(), 2);
  EXPECT_EQ(robot.Unexpected(), 0);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_NE(asked[0].find(L"スタートアップに登録しますか？"), std::wstring::npos) << platform::WideToUtf8(asked[0]);
  EXPECT_NE(asked[1].find(L"メモ帳や電卓を追加しますか？"), std::wstring::npos) << platform::WideToUtf8(asked[1]);
  EXPECT_EQ(test::ReadFileBytes(ListPath()), "");
  EXPECT_TRUE(errors_.empty());

  launcher_.reset();
  RemoveDirectoryA((folder_ + "icons").c_str());
  test::DialogRobot none({}, std::chrono::seconds(2));
  Start();
  platform::ProcessPendingMessages();
  Sleep(300);
  platform::ProcessPendingMessages();
  EXPECT_FALSE(FolderExists(folder_ + "icons"));  // the flag is set: nothing happens
  none.Finish();
  EXPECT_EQ(none.Unexpected(), 0);
}

// After the first run's questions one balloon from the tray icon says where
// the program waits and names the show key; a later start shows none.
TEST_F(LauncherWindowTest, TheFirstRunEndsWithOneBalloonNamingTheShowKeyAndLaterStartsShowNone) {
  std::vector<std::string> balloons;
  auto shell = [&](DWORD message, NOTIFYICONDATAA* data) {
    if (message == NIM_MODIFY && (data->uFlags & NIF_INFO) && data->cbSize == static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE) &&
        data->dwInfoFlags == static_cast<DWORD>(NIIF_INFO)) {
      balloons.push_back(data->szInfoTitle + std::string("|") + data->szInfo);
    }
    return TRUE;
  };
  auto no = [](HWND box) { test::PressButton(box, IDNO); };
  for (const bool first : {true, false}) {
    test::DialogRobot robot(first ? std::vector<test::DialogRobot::Step>{no, no} : std::vector<test::DialogRobot::Step>{});
    launcher_ = std::make_unique<TfrmLumora>();
    launcher_->UseProgramFolder(folder_);
    launcher_->UseTrayNotify(shell);
    launcher_->CreateForm();
    for (int i = 0; i < (first ? 300 : 20) && (!first || balloons.empty()); ++i) {
      platform::ProcessPendingMessages();
      Sleep(30);
    }
    const std::string key = launcher_->HotKeys()->ShowKeyText();
    ASSERT_FALSE(key.empty()) << "the show key could not be registered here";
    ASSERT_EQ(balloons.size(), 1u) << (first ? "after the questions" : "again at a later start");
    EXPECT_EQ(balloons[0], "Lumora|" + platform::Utf8ToAnsi("Lumoraは通知領域で待機しています。") + key +
                               platform::Utf8ToAnsi(" またはこのアイコンのクリックで開きます。"));
    launcher_.reset();
  }
}

TEST_F(LauncherWindowTest, AnUnreadableListIsReportedAndTheWindowShowsOnStart) {
  WriteThreeEntries();
  WriteSetting("flag", "installed", "1");
  // Another program holds the file open without sharing it.
  platform::FileHandle lock(
      CreateFileA(ListPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(lock);
  TfrmLumora& launcher = Start();
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_TRUE(launcher.ShowOnStart());
  EXPECT_EQ(ListNames().size(), 0u);
  // Nothing is written over the file that could not be read.
  lock.reset();
  EXPECT_THROW(launcher.SaveList(), std::exception);
}

// --- the close rule -------------------------------------------------------------

TEST_F(LauncherWindowTest, CloseWhileHiddenEndsTheProgramWithZero) {
  TfrmLumora& launcher = Start();
  HWND hwnd = launcher.Handle();
  EXPECT_EQ(platform::MainWindow(), hwnd);  // the owner of the program's boxes
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(launcher.Handle(), nullptr);
  EXPECT_EQ(platform::MainWindow(), nullptr);  // no dangling owner afterwards
  EXPECT_EQ(TakeQuitCode(), 0);
}

TEST_F(LauncherWindowTest, CloseWhileShownOnlyHidesAndTheSecondCloseEnds) {
  TfrmLumora& launcher = Start();
  HWND hwnd = launcher.Handle();
  launcher.ShowLauncher();
  ASSERT_TRUE(IsWindowVisible(hwnd));
  ASSERT_FALSE(test::CloseEndsProgram(launcher));

  launcher.popCloseClick();
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_TRUE(test::CloseEndsProgram(launcher));
  EXPECT_FALSE(launcher.IsShown());
  EXPECT_EQ(TakeQuitCode(), -1);

  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(TakeQuitCode(), 0);
}

TEST_F(LauncherWindowTest, CompleteCloseEndsTheProgramEvenWhileShown) {
  TfrmLumora& launcher = Start();
  HWND hwnd = launcher.Handle();
  launcher.ShowLauncher();
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDM_COMPLETECLOSE, 0), 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(TakeQuitCode(), 0);
}

TEST_F(LauncherWindowTest, TheEndOfTheSessionIsNeverRefusedAndEndsTheWindow) {
  TfrmLumora& launcher = Start();
  HWND hwnd = launcher.Handle();
  EXPECT_EQ(SendMessageW(hwnd, WM_QUERYENDSESSION, 0, 0), TRUE);
  launcher.ShowLauncher();
  EXPECT_EQ(SendMessageW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_TRUE(IsWindowVisible(hwnd));  // asking changes nothing

  SendMessageW(hwnd, WM_ENDSESSION, FALSE, 0);  // cancelled by someone else
  EXPECT_TRUE(IsWindow(hwnd));
  SendMessageW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_FALSE(IsWindow(hwnd));
}

// --- showing and hiding -----------------------------------------------------------

TEST_F(LauncherWindowTest, HideSavesTheHeightAndShowUsesIt) {
  TfrmLumora& launcher = Start();
  launcher.ShowLauncher();
  RECT r = Bounds();
  SetWindowPos(launcher.Handle(), nullptr, 0, 0, r.right - r.left, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  launcher.HideLauncher();
  EXPECT_EQ(ReadSetting("frmLumora", "Height"), "300");
  EXPECT_FALSE(IsWindowVisible(launcher.Handle()));

  // A later start with that setting comes up 300 high.
  launcher_.reset();
  TfrmLumora& again = Start();
  EXPECT_EQ(Bounds().bottom - Bounds().top, 201);
  again.ShowLauncher();
  EXPECT_EQ(Bounds().bottom - Bounds().top, 300);
  EXPECT_EQ(Bounds().right - Bounds().left, 214);

  // Another value written meanwhile is read at the next show.
  WriteSetting("frmLumora", "Height", "250");
  again.ShowLauncher();
  EXPECT_EQ(Bounds().bottom - Bounds().top, 250);
}

TEST_F(LauncherWindowTest, ShowsAtTheCursorInsideThePrimaryWorkArea) {
  WriteThreeEntries();
  TfrmLumora& launcher = Start();
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  const int height = 201;

  // In the middle: left edge at the cursor, vertical centre at the cursor.
  const POINT middle{(work.left + work.right) / 2, (work.top + work.bottom) / 2};
  ASSERT_TRUE(SetCursorPos(middle.x, middle.y));
  launcher.ShowLauncher();
  RECT r = Bounds();
  EXPECT_EQ(r.left, middle.x);
  EXPECT_EQ(r.top, middle.y - height / 2);
  EXPECT_TRUE(IsWindowVisible(launcher.Handle()));
  EXPECT_TRUE(launcher.IsShown());
  EXPECT_FALSE(test::CloseEndsProgram(launcher));
  EXPECT_EQ(Selection(), 2);
  EXPECT_EQ(GetFocus(), launcher.CommandBox());
  POINT after{};
  GetCursorPos(&after);
  EXPECT_EQ(after.x, middle.x);  // the focus click put the cursor back
  EXPECT_EQ(after.y, middle.y);
  launcher.HideLauncher();

  // Near the bottom-right corner: kept inside on the right and at the bottom.
  ASSERT_TRUE(SetCursorPos(work.right - 10, work.bottom - 5));
  launcher.ShowLauncher();
  r = Bounds();
  EXPECT_EQ(r.right, work.right);
  EXPECT_EQ(r.bottom, work.bottom);
  launcher.HideLauncher();

  // Near the top: the top edge on the work area's top.
  ASSERT_TRUE(SetCursorPos(work.left + 20, work.top + 3));
  launcher.ShowLauncher();
  r = Bounds();
  EXPECT_EQ(r.top, work.top);
  EXPECT_EQ(r.left, work.left + 20);
}

TEST_F(LauncherWindowTest, TheTrayClickTogglesTheWindow) {
  TfrmLumora& launcher = Start();
  HWND hwnd = launcher.Handle();
  SendMessageW(hwnd, TMarlTasktray::kCallbackMessage, TMarlTasktray::kIconId, WM_LBUTTONDOWN);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_TRUE(launcher.IsShown());
  SendMessageW(hwnd, TMarlTasktray::kCallbackMessage, TMarlTasktray::kIconId, WM_LBUTTONUP);
  EXPECT_TRUE(IsWindowVisible(hwnd));  // releases do nothing
  SendMessageW(hwnd, TMarlTasktray::kCallbackMessage, TMarlTasktray::kIconId, WM_LBUTTONDOWN);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_FALSE(launcher.IsShown());
}

TEST_F(LauncherWindowTest, ActivatingAnotherProgramLeavesTheWindowShown) {
  TfrmLumora& launcher = Start();
  launcher.ShowLauncher();
  SendMessageW(launcher.Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_TRUE(IsWindowVisible(launcher.Handle()));
  EXPECT_TRUE(launcher.IsShown());
}

TEST_F(LauncherWindowTest, TheCommandLineLiesUnderTheListAndIsWhiteOnBlack) {
  TfrmLumora& launcher = Start();
  RECT client{};
  GetClientRect(launcher.Handle(), &client);
  HWND panel = GetParent(launcher.CommandBox());
  RECT list{}, panelRect{}, edit{}, button{};
  GetWindowRect(launcher.ListBox(), &list);
  GetWindowRect(panel, &panelRect);
  GetWindowRect(launcher.CommandBox(), &edit);
  GetWindowRect(launcher.ConfButton(), &button);
  POINT origin{0, 0};
  ClientToScreen(launcher.Handle(), &origin);
  EXPECT_EQ(panelRect.bottom - panelRect.top, 22);
  EXPECT_EQ(panelRect.bottom, origin.y + client.bottom);
  EXPECT_EQ(list.top, origin.y);
  EXPECT_EQ(list.bottom, panelRect.top);
  EXPECT_EQ(edit.bottom - edit.top, 20);
  EXPECT_EQ(edit.right - edit.left, client.right - 18 - 4);
  EXPECT_EQ(button.left - panelRect.left, (edit.right - edit.left) + 2);
  EXPECT_EQ(button.top - panelRect.top, 1);
  EXPECT_EQ(button.right - button.left, 18);
  EXPECT_TRUE(IsWindowEnabled(launcher.ConfButton()));

  // Wider window, wider command line.
  SetWindowPos(launcher.Handle(), nullptr, 0, 0, 400, 201, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetClientRect(launcher.Handle(), &client);
  GetWindowRect(launcher.CommandBox(), &edit);
  EXPECT_EQ(edit.right - edit.left, client.right - 22);

  platform::WindowDc dc(launcher.CommandBox());
  const auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(panel, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()),
                   reinterpret_cast<LPARAM>(launcher.CommandBox())));
  ASSERT_NE(brush, nullptr);
  LOGBRUSH info{};
  ASSERT_TRUE(GetObjectW(brush, sizeof info, &info));
  EXPECT_EQ(info.lbColor, RGB(0, 0, 0));
  EXPECT_EQ(GetTextColor(dc.get()), RGB(255, 255, 255));
}

// --- the menus ---------------------------------------------------------------------

TEST_F(LauncherWindowTest, TheMainMenuOffersOpenWhileHiddenAndCloseWhileShown) {
  TfrmLumora& launcher = Start();
  HMENU menu = launcher.MainMenu();
  launcher.popsMainPopup();
  EXPECT_TRUE(Present(menu, IDM_OPEN));
  EXPECT_FALSE(Present(menu, IDM_CLOSE));
  const int last = GetMenuItemCount(menu) - 1;
  EXPECT_EQ(CaptionAt(menu, last), L"開く(&O)");

  launcher.ShowLauncher();
  launcher.popsMainPopup();
  EXPECT_FALSE(Present(menu, IDM_OPEN));
  EXPECT_TRUE(Present(menu, IDM_CLOSE));
  EXPECT_EQ(GetMenuItemCount(menu) - 1, last);  // one of the two, always at the end
  EXPECT_EQ(CaptionAt(menu, last), L"閉じる(&C)");

  // The multi-monitor submenu tells whether a second monitor is there.
  const std::wstring expected = GetSystemMetrics(SM_CMONITORS) >= 2 ? L"マルチモニタ" : L"マルチモニタ(現在無効)";
  EXPECT_EQ(CaptionAt(menu, 6), expected);
  EXPECT_EQ(GetSubMenu(menu, 6) != nullptr, true);
  EXPECT_TRUE(Present(GetSubMenu(menu, 6), IDM_HOTKEYMOVECUR));
}

TEST_F(LauncherWindowTest, TheMainMenuHasEveryItemInOrderAndEnabled) {
  TfrmLumora& launcher = Start();
  HMENU menu = launcher.MainMenu();
  const std::vector<std::wstring> top = {L"Lumora &5", L"", L"ヘルプ(&H)", L"", L"ランチャ(&L)", L"設定(&S)",
                                         L"マルチモニタ", L"おまけ機能", L"", L"ランチャ再起動",
                                         L"完全に閉じる(&T)", L"", L"開く(&O)", L"閉じる(&C)"};
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(top.size()));
  for (int i = 0; i < static_cast<int>(top.size()); ++i) EXPECT_EQ(CaptionAt(menu, i), top[i]) << i;

  HMENU order = GetSubMenu(GetSubMenu(menu, 4), 5);
  ASSERT_NE(order, nullptr);
  EXPECT_EQ(CaptionAt(GetSubMenu(menu, 4), 5), L"リストの並び方");
  EXPECT_EQ(CaptionAt(order, 0), L"実行時間順に並べる");
  EXPECT_EQ(CaptionAt(order, 1), L"実行回数順で並べる");
  EXPECT_EQ(CaptionAt(order, 2), L"名前順に並べる");

  // Every item works: none is greyed.
  for (UINT id : {IDM_SORTTIME, IDM_SORTCOUNT, IDM_SORTNAME, IDM_RESTARTLAUNCH, IDM_COMPLETECLOSE, IDM_OPEN,
                  IDM_CLOSE, IDM_HOTKEYCHANGE, IDM_HOTKEYRESTART, IDM_HOTKEYMOVECUR, IDM_HOTKEYMOVEWIN,
                  IDM_ABOUT, IDM_HELP, IDM_LAUNCHEDITNOTE, IDM_INSTALL, IDM_UNINSTALL, IDM_OPENSETDIR,
                  IDM_OPENSENDTO, IDM_OPENCALC, IDM_LUMORAWEB, IDM_ADDITEM, IDM_CHECKANDREMOVE,
                  IDM_CHANGETRAYICON, IDM_CLEARICONCACHE}) {
    EXPECT_FALSE(Greyed(menu, id)) << id;
  }

  HMENU file = launcher.FileMenu();
  ASSERT_EQ(GetMenuItemCount(file), 4);
  EXPECT_EQ(CaptionAt(file, 0), L"編集(&C)");
  EXPECT_EQ(CaptionAt(file, 1), L"削除");
  EXPECT_EQ(CaptionAt(file, 2), L"引数を指定して起動");
  EXPECT_EQ(CaptionAt(file, 3), L"リンク先フォルダを開く");
  EXPECT_FALSE(Greyed(file, IDM_EXECWITHARGFILE));
  EXPECT_FALSE(Greyed(file, IDM_EXECWITHARGSTR));
  EXPECT_FALSE(Greyed(file, IDM_EDITITEM));
  EXPECT_FALSE(Greyed(file, IDM_DELITEM));
  EXPECT_FALSE(Greyed(file, IDM_OPENTARGETDIR));
}

// --- the sort orders ---------------------------------------------------------------

TEST_F(LauncherWindowTest, SortCommandsReorderWriteTheSettingAndMoveTheCheck) {
  WriteThreeEntries();
  TfrmLumora& launcher = Start();
  HMENU menu = launcher.MainMenu();
  EXPECT_TRUE(Checked(menu, IDM_SORTTIME));

  SendMessageW(launcher.Handle(), WM_COMMAND, MAKEWPARAM(IDM_SORTCOUNT, 0), 0);
  EXPECT_EQ(ListNames(), (std::vector<std::wstring>{L"電卓", L"メモ帳", L"apple"}));
  EXPECT_EQ(ReadSetting("launch", "sort"), "count");
  EXPECT_TRUE(Checked(menu, IDM_SORTCOUNT));
  EXPECT_FALSE(Checked(menu, IDM_SORTTIME));
  EXPECT_EQ(Selection(), 2);

  launcher.popSortNameClick();
  EXPECT_EQ(ListNames(), (std::vector<std::wstring>{L"apple", L"メモ帳", L"電卓"}));
  EXPECT_EQ(ReadSetting("launch", "sort"), "name");
  EXPECT_TRUE(Checked(menu, IDM_SORTNAME));
  EXPECT_FALSE(Checked(menu, IDM_SORTCOUNT));

  launcher.popSortTimeClick();
  EXPECT_EQ(ListNames(), (std::vector<std::wstring>{L"メモ帳", L"電卓", L"apple"}));
  EXPECT_EQ(ReadSetting("launch", "sort"), "time");
  EXPECT_TRUE(Checked(menu, IDM_SORTTIME));
  EXPECT_FALSE(Checked(menu, IDM_SORTNAME));

  // The order is taken up by the next start.
  launcher.popSortCountClick();
  launcher_.reset();
  TfrmLumora& again = Start();
  EXPECT_EQ(ListNames(), (std::vector<std::wstring>{L"電卓", L"メモ帳", L"apple"}));
  EXPECT_TRUE(Checked(again.MainMenu(), IDM_SORTCOUNT));
  EXPECT_FALSE(Checked(again.MainMenu(), IDM_SORTTIME));
}

TEST_F(LauncherWindowTest, AnOrderNameInAnotherCaseGivesTheTimeOrderAndChecksNothingNew) {
  WriteThreeEntries();
  WriteSetting("launch", "sort", "Name");
  TfrmLumora& launcher = Start();
  EXPECT_EQ(launcher.List().sortMode, kSortByTime);
  EXPECT_EQ(ListNames(), (std::vector<std::wstring>{L"メモ帳", L"電卓", L"apple"}));
  EXPECT_TRUE(Checked(launcher.MainMenu(), IDM_SORTTIME));  // the check it had from the start
  EXPECT_FALSE(Checked(launcher.MainMenu(), IDM_SORTNAME));

  launcher.popSortNameClick();
  EXPECT_EQ(launcher.SortModeFromText("COUNT"), kSortByTime);
  EXPECT_TRUE(Checked(launcher.MainMenu(), IDM_SORTNAME));  // unchanged
  EXPECT_EQ(launcher.SortModeFromText("count"), kSortByCount);
  EXPECT_TRUE(Checked(launcher.MainMenu(), IDM_SORTCOUNT));
}

// --- the title clock ------------------------------------------------------------------

TEST(LauncherClockTextTest, UsesTheLocaleSeparatorsAndShortWeekday) {
  SYSTEMTIME time{};
  time.wYear = 2026;
  time.wMonth = 12;
  time.wDay = 7;
  time.wDayOfWeek = 1;  // a Monday
  time.wHour = 9;
  time.wMinute = 5;
  time.wSecond = 3;
  const std::wstring text = LauncherClockText(time);
  if (PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) == LANG_JAPANESE) {
    EXPECT_EQ(text, L"[LM] 12/07(月) 09:05:03");
  }
  wchar_t date[8] = {}, clock[8] = {}, weekday[32] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, date, 8);
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, clock, 8);
  GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, L"ddd", weekday, 32);
  EXPECT_EQ(text, std::wstring(L"[LM] 12") + date + L"07(" + weekday + L") 09" + clock + L"05" + clock + L"03");

  time.wMonth = 1;
  time.wDay = 31;
  time.wDayOfWeek = 6;
  time.wHour = 23;
  time.wMinute = 59;
  time.wSecond = 0;
  GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, L"ddd", weekday, 32);
  EXPECT_EQ(LauncherClockText(time),
            std::wstring(L"[LM] 01") + date + L"31(" + weekday + L") 23" + clock + L"59" + clock + L"00");
}

TEST_F(LauncherWindowTest, TheTimerPutsTheClockIntoBothTitles) {
  TfrmLumora& launcher = Start();
  SYSTEMTIME before{};
  GetLocalTime(&before);
  launcher.timerPanelTimer();
  SYSTEMTIME after{};
  GetLocalTime(&after);
  const std::wstring title = TitleOf(launcher.Handle());
  EXPECT_TRUE(title == LauncherClockText(before) || title == LauncherClockText(after)) << platform::WideToUtf8(title);
  EXPECT_EQ(platform::ApplicationTitle(), platform::WideToUtf8(title));

  // The one-second timer runs the same while shown.
  launcher.ShowLauncher();
  SetWindowTextW(launcher.Handle(), L"x");
  SendMessageW(launcher.Handle(), WM_TIMER, 1, 0);
  EXPECT_EQ(TitleOf(launcher.Handle()).substr(0, 5), L"[LM] ");
}

// --- the list box as the list's display ---------------------------------------------

TEST_F(LauncherWindowTest, TheListBoxTakesTenThousandNamesQuickly) {
  Start();
  std::vector<std::string> storage;
  storage.reserve(10000);
  for (int i = 0; i < 10000; ++i) storage.push_back(platform::Utf8ToAnsi("項目" + std::to_string(i)));
  std::vector<std::string_view> names(storage.begin(), storage.end());

  ListBoxDisplay display;
  display.Attach(launcher_->ListBox());
  const auto start = std::chrono::steady_clock::now();
  display.Fill(names);
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  RecordProperty("fill_10000_ms", static_cast<int>(elapsed.count()));
  std::printf("Fill of 10,000 names: %d ms\n", static_cast<int>(elapsed.count()));
  EXPECT_LT(elapsed.count(), 1000);
  EXPECT_EQ(display.Count(), 10000);
  EXPECT_EQ(display.Selection(), -1);
  display.Select(9999);
  EXPECT_EQ(display.Selection(), 9999);
  wchar_t last[32] = {};
  SendMessageW(launcher_->ListBox(), LB_GETTEXT, 9999, reinterpret_cast<LPARAM>(last));
  EXPECT_STREQ(last, L"項目9999");
  display.Fill({});
  EXPECT_EQ(display.Count(), 0);
  EXPECT_EQ(display.Selection(), -1);
}

// --- the program folder ---------------------------------------------------------------

TEST(GetAppFolderTest, IsTheFolderOfTheRunningProgram) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  ASSERT_GT(length, 0u);
  const std::string full(path, length);
  const std::string folder = GetAppFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_EQ(full.compare(0, folder.size(), folder), 0) << full << " / " << folder;
  EXPECT_EQ(full.find('\\', folder.size()), std::string::npos);
  EXPECT_EQ(full.substr(full.size() - 4), ".exe");
}

// --- the real program -------------------------------------------------------------------

std::string LumoraExePath() {
  char buffer[MAX_PATH];
  if (GetEnvironmentVariableA("LUMORA_EXE", buffer, MAX_PATH) > 0) return buffer;
  // The build puts Lumora.exe into bin\ beside the tests' folder.
  return GetAppFolder() + "..\\bin\\Lumora.exe";
}

struct FindData {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindLauncher(HWND hwnd, LPARAM lParam) {
  auto* data = reinterpret_cast<FindData*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t className[64] = {};
  GetClassNameW(hwnd, className, 64);
  if (pid == data->processId && std::wstring(className) == TfrmLumora::kClassName) {
    data->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

TEST(LumoraProgramTest, RunsHiddenAsLMAndEndsWithZeroOnClose) {
  const std::string source = LumoraExePath();
  ASSERT_NE(GetFileAttributesA(source.c_str()), INVALID_FILE_ATTRIBUTES) << source << " (set LUMORA_EXE)";

  // A program folder of its own, so that the run leaves nothing in the build.
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "lumora_run_" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string exe = folder + "Lumora.exe";
  ASSERT_TRUE(CopyFileA(source.c_str(), exe.c_str(), FALSE));

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + exe + "\"";
  ASSERT_TRUE(CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                             folder.c_str(), &startup, &process));

  platform::KernelHandle processHandle(process.hProcess);
  platform::KernelHandle threadHandle(process.hThread);
  FindData data{process.dwProcessId, nullptr};
  for (int i = 0; i < 200 && !data.found; ++i) {
    Sleep(50);
    EnumWindows(FindLauncher, reinterpret_cast<LPARAM>(&data));
  }
  DWORD exitCode = STILL_ACTIVE;
  if (data.found) {
    EXPECT_EQ(TitleOf(data.found), L"[LM]");
    EXPECT_FALSE(IsWindowVisible(data.found));
    PostMessageW(data.found, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(processHandle.get(), 10000), WAIT_OBJECT_0);
    GetExitCodeProcess(processHandle.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
  } else {
    ADD_FAILURE() << "no launcher window appeared";
  }
  if (exitCode == STILL_ACTIVE) TerminateProcess(processHandle.get(), 1);
  WaitForSingleObject(processHandle.get(), 5000);
  // The first run wrote its settings and made the icon folder.
  EXPECT_TRUE(FolderExists(folder + "icons"));
  RemoveTree(folder);
}

}  // namespace
}  // namespace lumora
