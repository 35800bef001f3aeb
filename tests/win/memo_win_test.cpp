// The memo window in this process, with the launcher window over a program
// folder of its own: the toggle and the corner, the built-in line, the memo
// file written exactly, a save that fails keeping the window and its text,
// the note saved when the program or the session ends, and the first run's
// install questions.
#include <windows.h>
#include <oleacc.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/frmLumoraU_win.h"
#include "editing/frmMemoU_win.h"
#include "platform/error_report_win.h"
#include "platform/messages_win.h"
#include "platform/unicode_win.h"
#include "win/shell_test_support.h"

namespace lumora {
namespace {

constexpr wchar_t kBuiltInNote[] = L"ここに好きなメモを書いておくことができます。";

RECT WorkArea() {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

RECT RectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

class MemoWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateDirectoryA(DataFolder().c_str(), nullptr));
    ASSERT_TRUE(WritePrivateProfileStringA("flag", "installed", "1", (folder_.path() + "Lumora.ini").c_str()));
  }
  void TearDown() override {
    launcher_.reset();
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }

  TfrmLumora& Start() {
    launcher_ = std::make_unique<TfrmLumora>();
    launcher_->UseProgramFolder(folder_.path());
    launcher_->CreateForm();
    return *launcher_;
  }
  TfrmMemo& Memo() { return launcher_->Memo(); }
  std::wstring Note() { return test::WindowText(Memo().MemoBox()); }
  // The text as typed: the box marked changed, as typing marks it.
  void Type(const std::wstring& text) {
    SetWindowTextW(Memo().MemoBox(), text.c_str());
    SendMessageW(Memo().MemoBox(), EM_SETMODIFY, TRUE, 0);
  }
  bool MemoShown() { return IsWindowVisible(Memo().Handle()) != FALSE; }

  std::string DataFolder() const { return folder_.path() + "data"; }
  std::string MemoPath() const { return folder_.path() + "data\\memo.txt"; }
  std::string MemoFile() const { return test::ReadFileBytes(MemoPath()); }

  test::TempFolder folder_{"memo"};
  std::unique_ptr<TfrmLumora> launcher_;
  std::vector<std::string> errors_;
  platform::ScopedErrorReportHook hook_{[this](HWND, const std::string& text) { errors_.push_back(text); }};
};

// The name a screen reader hears: the control's client object through the
// accessibility API.
std::wstring AccessibleName(HWND control) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object))) ||
      !object) {
    return L"<no object>";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring text = SUCCEEDED(object->get_accName(self, &name)) && name ? std::wstring(name) : L"<no name>";
  SysFreeString(name);
  object->Release();
  return text;
}

TEST_F(MemoWindowTest, TheControlsNameThemselvesToScreenReadersWhateverTheyHold) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  TfrmLumora& launcher = Start();
  SetWindowTextW(launcher.CommandBox(), L"typed");
  Type(L"a note");
  EXPECT_EQ(AccessibleName(launcher.CommandBox()), L"コマンド");
  EXPECT_EQ(AccessibleName(launcher.ListBox()), L"一覧");
  EXPECT_EQ(AccessibleName(launcher.ConfButton()), L"メモ");
  EXPECT_EQ(AccessibleName(Memo().MemoBox()), L"メモ");
  launcher_.reset();
  CoUninitialize();
}

TEST_F(MemoWindowTest, TheToggleShowsTheMemoInTheCornerHidesTheLauncherAndClosesAgain) {
  TfrmLumora& launcher = Start();
  EXPECT_EQ(FindWindowW(TfrmMemo::kClassName, nullptr), nullptr) << "made at start-up, not when first needed";
  HWND memo = Memo().Handle();
  ASSERT_NE(memo, nullptr);
  EXPECT_FALSE(MemoShown());
  EXPECT_EQ(test::WindowText(memo), L"簡易メモ");
  EXPECT_TRUE(GetWindowLongPtrW(memo, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongPtrW(memo, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(GetWindowLongPtrW(memo, GWL_STYLE) & WS_THICKFRAME);
  EXPECT_EQ(RectOf(memo).right - RectOf(memo).left, 324);
  EXPECT_EQ(RectOf(memo).bottom - RectOf(memo).top, 251);
  EXPECT_EQ(SendMessageW(Memo().PageControl(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(Memo().PageControl(), TCM_GETCURSEL, 0, 0), 0);

  launcher.ShowLauncher();
  ASSERT_TRUE(launcher.IsShown());
  launcher.ToggleMemo();
  EXPECT_TRUE(MemoShown());
  EXPECT_FALSE(launcher.IsShown());
  EXPECT_FALSE(IsWindowVisible(launcher.Handle()));
  const RECT area = WorkArea();
  EXPECT_EQ(RectOf(memo).right, area.right);
  EXPECT_EQ(RectOf(memo).bottom, area.bottom);
  EXPECT_EQ(Note(), kBuiltInNote);  // no memo file yet

  // Closing writes the built-in line, exactly, without a line break after it.
  launcher.ToggleMemo();
  EXPECT_FALSE(MemoShown());
  EXPECT_FALSE(launcher.IsShown());  // the toggle that closes leaves the launcher alone
  EXPECT_EQ(MemoFile(), platform::WideToAnsi(kBuiltInNote));

  // Resized, it is placed flush with the corner at its new size, the buttons
  // centred in the bar.
  SetWindowPos(memo, nullptr, 0, 0, 420, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  launcher.ToggleMemo();
  EXPECT_EQ(RectOf(memo).right, area.right);
  EXPECT_EQ(RectOf(memo).bottom, area.bottom);
  EXPECT_EQ(RectOf(memo).right - RectOf(memo).left, 420);
  RECT back{}, bar = RectOf(Memo().ButtonPanel());
  GetClientRect(Memo().BackPanel(), &back);
  POINT origin{0, 0};
  ClientToScreen(Memo().BackPanel(), &origin);
  EXPECT_EQ(bar.left - origin.x, (back.right - 249) / 2);
  EXPECT_EQ(bar.right - bar.left, 249);
  EXPECT_EQ(back.bottom, 31);
  Memo().btnCloseClick();
  EXPECT_FALSE(MemoShown());
  EXPECT_TRUE(errors_.empty());
}

TEST_F(MemoWindowTest, ASaveThatFailsIsToldOnceAndTheWindowKeepsTheText) {
  TfrmLumora& launcher = Start();
  launcher.ToggleMemo();
  Type(L"大事なメモ");
  ASSERT_TRUE(RemoveDirectoryA(DataFolder().c_str()));
  std::wstring told;
  {
    test::DialogRobot robot({[&](HWND box) {
      told = test::StaticTexts(box);
      test::PressButton(box, IDOK);
    }});
    launcher.ToggleMemo();
    EXPECT_EQ(robot.Finish(), 1);
    EXPECT_EQ(robot.Unexpected(), 0);
  }
  EXPECT_NE(told.find(L"メモを保存できませんでした"), std::wstring::npos) << platform::WideToUtf8(told);
  EXPECT_NE(told.find(L"memo.txt"), std::wstring::npos) << platform::WideToUtf8(told);
  EXPECT_TRUE(MemoShown());
  EXPECT_EQ(Note(), L"大事なメモ");

  // Text the code page cannot hold is never stored as "?".
  ASSERT_TRUE(CreateDirectoryA(DataFolder().c_str(), nullptr));
  Type(L"메모 \U0001F600");
  {
    test::DialogRobot robot({[&](HWND box) {
      told = test::StaticTexts(box);
      test::PressButton(box, IDOK);
    }});
    Memo().btnCloseClick();
    EXPECT_EQ(robot.Finish(), 1);
  }
  EXPECT_NE(told.find(L"文字コード"), std::wstring::npos) << platform::WideToUtf8(told);
  EXPECT_TRUE(MemoShown());
  EXPECT_FALSE(test::FileExists(MemoPath()));

  // Once it can be written, the close goes through.
  Type(L"大事なメモ");
  launcher.ToggleMemo();
  EXPECT_FALSE(MemoShown());
  EXPECT_EQ(MemoFile(), platform::WideToAnsi(L"大事なメモ"));
}

// Told once: a second close of the same text that still cannot be saved
// closes the window without another word; a changed text is told again.
TEST_F(MemoWindowTest, TheSameUnsavedTextIsToldOnlyOnce) {
  TfrmLumora& launcher = Start();
  launcher.ToggleMemo();
  Type(L"一度だけ");
  ASSERT_TRUE(RemoveDirectoryA(DataFolder().c_str()));
  auto ok = [](HWND box) { test::PressButton(box, IDOK); };
  {
    test::DialogRobot robot({ok}, std::chrono::seconds(5));
    launcher.ToggleMemo();
    EXPECT_TRUE(MemoShown());
    launcher.ToggleMemo();
    EXPECT_FALSE(MemoShown());
    EXPECT_EQ(robot.Finish(), 1);
    EXPECT_EQ(robot.Unexpected(), 0);
  }
  launcher.ToggleMemo();
  EXPECT_EQ(Note(), L"一度だけ");  // no file: the box kept the text
  Type(L"書き足した");
  {
    test::DialogRobot robot({ok}, std::chrono::seconds(5));
    launcher.ToggleMemo();
    EXPECT_EQ(robot.Finish(), 1);
  }
  EXPECT_TRUE(MemoShown());
}

TEST_F(MemoWindowTest, ANoteOpenWhenTheProgramEndsIsSaved) {
  // The quit command.
  TfrmLumora& launcher = Start();
  launcher.ToggleMemo();
  Type(L"終了前のメモ");
  launcher.popCompleteCloseClick();
  EXPECT_EQ(launcher.Handle(), nullptr);
  EXPECT_EQ(MemoFile(), platform::WideToAnsi(L"終了前のメモ"));
  launcher_.reset();
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

  // The session ends: saved at the query, which is never refused, and again
  // as the session ends.
  TfrmLumora& again = Start();
  again.ToggleMemo();
  EXPECT_EQ(Note(), L"終了前のメモ");
  Type(L"ログオフ前");
  EXPECT_EQ(SendMessageW(Memo().Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(MemoFile(), platform::WideToAnsi(L"ログオフ前"));
  Type(L"ログオフ中");
  SendMessageW(again.Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(again.Handle(), nullptr);
  EXPECT_EQ(MemoFile(), platform::WideToAnsi(L"ログオフ中"));
  EXPECT_TRUE(errors_.empty());
}

TEST_F(MemoWindowTest, AtTheSessionsEndAFailedSaveAsksNothing) {
  TfrmLumora& launcher = Start();
  launcher.ToggleMemo();
  Type(L"x");
  ASSERT_TRUE(RemoveDirectoryA(DataFolder().c_str()));
  test::DialogRobot robot({}, std::chrono::seconds(3));
  EXPECT_EQ(SendMessageW(Memo().Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  SendMessageW(launcher.Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(launcher.Handle(), nullptr);
  robot.Finish();
  EXPECT_EQ(robot.Unexpected(), 0);
}

TEST_F(MemoWindowTest, AQuitWhoseNoteCannotBeSavedKeepsTheProgramAndTheNote) {
  TfrmLumora& launcher = Start();
  launcher.ToggleMemo();
  Type(L"残すメモ");
  ASSERT_TRUE(RemoveDirectoryA(DataFolder().c_str()));
  {
    test::DialogRobot robot({[](HWND box) { test::PressButton(box, IDOK); }});
    launcher.popCompleteCloseClick();
    EXPECT_EQ(robot.Finish(), 1);
  }
  EXPECT_NE(launcher.Handle(), nullptr);
  EXPECT_TRUE(MemoShown());
  EXPECT_EQ(Note(), L"残すメモ");

  // The user was told: the same quit again ends the program without a word.
  test::DialogRobot robot({}, std::chrono::seconds(3));
  launcher.popCompleteCloseClick();
  EXPECT_EQ(launcher.Handle(), nullptr);
  robot.Finish();
  EXPECT_EQ(robot.Unexpected(), 0);
}

TEST_F(MemoWindowTest, TheOpenButtonShowsTheLauncherAndClosesTheMemo) {
  TfrmLumora& launcher = Start();
  launcher.btnConfClick();
  ASSERT_TRUE(MemoShown());
  EXPECT_FALSE(launcher.IsShown());
  Memo().btnOpenClick();
  EXPECT_TRUE(launcher.IsShown());
  EXPECT_TRUE(IsWindowVisible(launcher.Handle()));
  EXPECT_FALSE(MemoShown());
  EXPECT_EQ(MemoFile(), platform::WideToAnsi(kBuiltInNote));
}

// Bytes that do not survive the trip into the box and back (a zero byte, a
// byte order mark) stay when the note is opened and closed unchanged.
TEST_F(MemoWindowTest, AnUnchangedNoteLeavesTheFileAsItWas) {
  using namespace std::string_literals;
  const std::string bytes = "\xEF\xBB\xBF" "first line\r\nsecond\0after\r\n\xFF\xFE"s;
  TfrmLumora& launcher = Start();
  platform::FileHandle file(
      CreateFileA(MemoPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  file.reset();
  launcher.ToggleMemo();
  ASSERT_TRUE(MemoShown());
  launcher.ToggleMemo();
  EXPECT_EQ(MemoFile(), bytes);
}

// A memo file that exists but cannot be read is reported, and the window
// stays closed: a close would write the text in the box over the file.
TEST_F(MemoWindowTest, AMemoFileThatCannotBeReadIsReportedAndNeverWrittenOver) {
  TfrmLumora& launcher = Start();
  {
    platform::FileHandle file(CreateFileA(MemoPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), "keep", 4, &written, nullptr);
  }
  platform::FileHandle lock(
      CreateFileA(MemoPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(lock);
  // The tray's click runs the toggle under the window's error guard.
  SendMessageW(launcher.Handle(), TMarlTasktray::kCallbackMessage, TMarlTasktray::kIconId, WM_RBUTTONDOWN);
  EXPECT_EQ(errors_.size(), 1u);
  EXPECT_FALSE(MemoShown());
  lock.reset();
  EXPECT_EQ(MemoFile(), "keep");
  launcher.ToggleMemo();
  EXPECT_TRUE(MemoShown());
  EXPECT_EQ(Note(), L"keep");
}

}  // namespace
}  // namespace lumora
