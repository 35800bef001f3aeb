// The launcher window of the real program: a tray click shows it at the
// cursor inside the work area and a second one hides it; its height is kept;
// a close request hides it while shown and ends the program while hidden;
// logging off is not refused.
#include <gtest/gtest.h>

#include <regex>

#include "launcher_fixture.h"

namespace lumora::e2e {
namespace {

class LauncherWindow : public LauncherTest {
 protected:
  void SetUp() override {
    WriteList({{"1", "メモ帳", "C:\\windows\\notepad.exe", "1", "2026/1/10 9:00:00"},
               {"2", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/12/7 13:05:09"}});
  }
};

TEST_F(LauncherWindow, ATrayClickShowsTheWindowAtTheCursorInsideTheWorkArea) {
  ASSERT_TRUE(Start());
  const RECT area = WorkArea();
  const RECT hidden = WindowRectOf(launcher);
  const int w = hidden.right - hidden.left;
  const int h = hidden.bottom - hidden.top;
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);
  const POINT middle = MiddleOfWorkArea();

  // Middle: left edge at the cursor, vertical middle at the cursor.
  auto rect = RectShownAt(middle);
  ASSERT_TRUE(rect.has_value());
  EXPECT_EQ(rect->left, middle.x);
  EXPECT_EQ(rect->top, middle.y - h / 2);
  EXPECT_EQ(rect->right - rect->left, w);
  EXPECT_EQ(rect->bottom - rect->top, h);
  EXPECT_FALSE(IsVisible(launcher)) << "the second tray click did not hide the window";

  // Near the right edge: the right edge lies on the work area's right edge.
  const POINT right{area.right - w / 2, middle.y};
  rect = RectShownAt(right);
  ASSERT_TRUE(rect.has_value());
  EXPECT_EQ(rect->right, area.right);
  EXPECT_EQ(rect->top, right.y - h / 2);

  // Near the bottom: the bottom edge lies on the work area's bottom edge.
  const POINT bottom{middle.x, area.bottom - 3};
  rect = RectShownAt(bottom);
  ASSERT_TRUE(rect.has_value());
  EXPECT_EQ(rect->bottom, area.bottom);
  EXPECT_EQ(rect->left, bottom.x);

  // Near the top: the top edge lies on the work area's top edge.
  const POINT top{middle.x, area.top + 3};
  rect = RectShownAt(top);
  ASSERT_TRUE(rect.has_value());
  EXPECT_EQ(rect->top, area.top);
  EXPECT_EQ(rect->left, top.x);

  // The synthetic focus click puts the cursor back where it was.
  const POINT after = CursorPosition();
  EXPECT_EQ(after.x, top.x);
  EXPECT_EQ(after.y, top.y);
}

TEST_F(LauncherWindow, ShownWindowHasTheClockTitleAndTheFocusInTheCommandLine) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(TextOf(launcher), kLauncherTitle) << "the clock runs while hidden";
  ASSERT_TRUE(Show());
  EXPECT_EQ(FocusedWindow(), edit);
  // "[LM] MM/dd(ddd) HH:mm:ss"
  const std::wstring title = TextOf(launcher);
  std::wsmatch clock;
  const std::wregex clockTitle(L"\\[LM\\] (\\d\\d)/(\\d\\d)\\((.+)\\) (\\d\\d):(\\d\\d):(\\d\\d)");
  ASSERT_TRUE(std::regex_match(title, clock, clockTitle))
      << "title: " << Utf8FromUtf16(title);
  const int month = std::stoi(clock[1].str());
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_EQ(month, now.wMonth);
  // The clock ticks: the title changes within two seconds.
  EXPECT_TRUE(WaitUntil([&] { return TextOf(launcher) != title; }, 2500ms)) << "the title clock does not tick";
  // Real typing goes to the command line.
  TypeText(L"calc");
  EXPECT_TRUE(WaitUntil([&] { return EditText(edit) == L"calc"; }, 2s)) << Utf8FromUtf16(EditText(edit));
  EXPECT_TRUE(WaitUntil([&] { return Items() == Utf16Items({"calc"}); }, 2s)) << Describe(Items());
}

TEST_F(LauncherWindow, TheHeightIsKeptAcrossHidingAndAStart) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  const RECT shown = WindowRectOf(launcher);
  ASSERT_TRUE(SetWindowPos(launcher, nullptr, 0, 0, shown.right - shown.left, 300,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(WaitUntil([&] { const RECT r = WindowRectOf(launcher); return r.bottom - r.top == 300; }, 2s));
  ASSERT_TRUE(HideByTrayClick());
  // Written once the window is hidden.
  EXPECT_TRUE(WaitUntil([&] { return SettingsValue(L"frmLumora", L"Height") == "300"; }, 5s))
      << SettingsValue(L"frmLumora", L"Height");

  ASSERT_TRUE(Show());
  RECT again = WindowRectOf(launcher);
  EXPECT_EQ(again.bottom - again.top, 300);
  // The command line stays at the bottom of the taller window.
  const RECT client = ClientRectOnScreen(launcher);
  const RECT editRect = WindowRectOf(edit);
  EXPECT_LE(editRect.bottom, client.bottom);
  EXPECT_GE(editRect.bottom, client.bottom - 4);
  ASSERT_TRUE(HideByTrayClick());

  // A new start reads the height when it shows.
  PostClose(launcher);
  ASSERT_EQ(lumora.WaitForExit(), std::optional<DWORD>(0));
  ASSERT_TRUE(StartWithoutSettings());
  ASSERT_TRUE(Show());
  again = WindowRectOf(launcher);
  EXPECT_EQ(again.bottom - again.top, 300);
}

TEST_F(LauncherWindow, ACloseRequestHidesWhileShownAndEndsWhileHidden) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  ASSERT_TRUE(PostClose(launcher));
  EXPECT_TRUE(WaitUntilHidden(3s)) << "the close request did not hide the window";
  EXPECT_FALSE(lumora.WaitForExit(300ms).has_value()) << "a close request while shown ended the program";
  ASSERT_TRUE(IsWindow(launcher));
  EXPECT_FALSE(SettingsValue(L"frmLumora", L"Height") == "<missing>") << "hiding did not write the height";

  ASSERT_TRUE(PostClose(launcher));
  EXPECT_EQ(lumora.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(LauncherWindow, TheCloseMenuCommandsHideAndEnd) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  Post(launcher, WM_COMMAND, IDM_CLOSE, 0);
  EXPECT_TRUE(WaitUntilHidden(3s)) << "\"閉じる\" did not hide the window";
  EXPECT_TRUE(lumora.IsRunning());

  ASSERT_TRUE(Show());
  Post(launcher, WM_COMMAND, IDM_COMPLETECLOSE, 0);
  EXPECT_EQ(lumora.WaitForExit(), std::optional<DWORD>(0)) << "\"完全に閉じる\" did not end the shown program";
}

TEST_F(LauncherWindow, LoggingOffIsNotRefusedWhileShown) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  EXPECT_NE(Send(launcher, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0) << "the launcher refused the log-off";
  EXPECT_TRUE(lumora.IsRunning());
  // It still answers afterwards.
  EXPECT_NO_THROW(Send(launcher, WM_NULL));
}

}  // namespace
}  // namespace lumora::e2e
