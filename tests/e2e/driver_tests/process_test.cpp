// The process, window, list box, edit box and message box pieces against a
// stand-in program in another process.
#include <gtest/gtest.h>

#include <windows.h>

#include "driver/driver.h"

namespace lumora::e2e {
namespace {

class DriverProcess : public ::testing::Test {
 protected:
  void SetUp() override { folder_.CopyProgram(WindowsPathFromAnyPath(LUMORA_FAKE_PROGRAM), L"Lumora.exe"); }

  LumoraProcess Start(std::wstring_view arguments) { return LumoraProcess::StartIn(folder_, arguments); }

  ProgramFolder folder_;
};

TEST_F(DriverProcess, FindsTheWindowByTitleAndEndsWithItsExitCode) {
  LumoraProcess process = Start(L"--title \"[偽LM]\" --exit-code 7");
  ASSERT_TRUE(process.IsRunning());
  const HWND window = process.WaitForWindow(L"[偽LM]");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ProcessIdOf(window), process.Id());
  EXPECT_EQ(ClassNameOf(window), L"TfrmFake");
  EXPECT_FALSE(IsVisible(window));
  EXPECT_EQ(TextOf(window), L"[偽LM]");

  ASSERT_TRUE(PostClose(window));
  const auto code = process.WaitForExit();
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 7u);
  EXPECT_FALSE(process.IsRunning());
}

TEST_F(DriverProcess, IdleMeansTheStartUpIsDone) {
  LumoraProcess process = Start(L"--show");
  ASSERT_TRUE(process.WaitForIdle());
  const HWND window = FindTopLevelWindow(process.Id(), L"[FAKE]");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsVisible(window));
  EXPECT_TRUE(HoldsFor([&] { return IsVisible(window); }, 200ms));
  EXPECT_FALSE(WaitForVisibility(window, false, 200ms));
}

TEST_F(DriverProcess, RunsInTheProgramFolder) {
  LumoraProcess process = Start(L"");
  ASSERT_NE(process.WaitForWindow(L"[FAKE]"), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return folder_.Exists(L"started.txt"); }, 2s));
  std::wstring cwd = Utf16FromUtf8(folder_.ReadFile(L"started.txt").value_or(""));
  if (!cwd.empty() && cwd.back() != L'\\') cwd += L'\\';
  EXPECT_EQ(_wcsicmp(cwd.c_str(), folder_.Path().c_str()), 0) << Utf8FromUtf16(cwd);
}

TEST_F(DriverProcess, AWrongTitleOrAnotherProcessIsNotFound) {
  LumoraProcess first = Start(L"--title \"[LM]\"");
  LumoraProcess second = Start(L"--title \"[LM]\"");
  const HWND firstWindow = first.WaitForWindow(L"[LM]");
  const HWND secondWindow = second.WaitForWindow(L"[LM]");
  ASSERT_NE(firstWindow, nullptr);
  ASSERT_NE(secondWindow, nullptr);
  EXPECT_NE(firstWindow, secondWindow);
  EXPECT_EQ(ProcessIdOf(secondWindow), second.Id());
  // Titles are compared whole, not as prefixes, and case matters.
  EXPECT_EQ(first.WaitForWindow(L"[LM", 300ms), nullptr);
  EXPECT_EQ(first.WaitForWindow(L"[lm]", 300ms), nullptr);
}

TEST_F(DriverProcess, ATimedOutWaitReportsNothingAndTheDestructorKills) {
  DWORD id = 0;
  UniqueHandle watcher;
  {
    LumoraProcess process = Start(L"--refuse-close");
    const HWND window = process.WaitForWindow(L"[FAKE]");
    ASSERT_NE(window, nullptr);
    id = process.Id();
    watcher = UniqueHandle(OpenProcess(SYNCHRONIZE, FALSE, id));
    ASSERT_TRUE(watcher.Valid());
    PostClose(window);
    EXPECT_FALSE(process.WaitForExit(500ms).has_value());
    EXPECT_TRUE(process.IsRunning());
  }
  EXPECT_EQ(WaitForSingleObject(watcher.Get(), 0), WAIT_OBJECT_0);
}

TEST_F(DriverProcess, WaitForWindowGivesUpWhenTheProcessEnds) {
  LumoraProcess process = Start(L"--title \"[X]\"");
  ASSERT_NE(process.WaitForWindow(L"[X]"), nullptr);
  process.Kill();
  EXPECT_FALSE(process.IsRunning());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(process.WaitForWindow(L"[never]", 5s), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

TEST_F(DriverProcess, ReadsAnotherProcesssListBoxAndEditBox) {
  LumoraProcess process = Start(L"--show");
  const HWND window = process.WaitForWindow(L"[FAKE]");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(WaitForVisibility(window, true));
  const HWND listHandle = FindChild(window, L"ListBox");
  ASSERT_NE(listHandle, nullptr);
  EXPECT_EQ(ControlIdOf(listHandle), 100);
  EXPECT_EQ(FindChild(window, L"ListBox", 55), nullptr);

  const ListBox list(listHandle);
  EXPECT_TRUE(list.HasStrings());
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Items(), (std::vector<std::wstring>{L"メモ帳", L"電卓", L"abc"}));
  EXPECT_EQ(list.ItemAnsi(2), "abc");
  if (GetACP() == 932) {
    EXPECT_EQ(list.ItemAnsi(0), "\x83\x81\x83\x82\x92\xA0");
  }
  EXPECT_EQ(list.Selection(), -1);
  list.Select(1);
  EXPECT_EQ(list.Selection(), 1);
  const RECT first = list.ItemRect(0);
  const RECT second = list.ItemRect(1);
  EXPECT_GT(first.bottom, first.top);
  EXPECT_EQ(second.top, first.bottom);
  const RECT onScreen = list.ItemRectOnScreen(0);
  const RECT listOnScreen = ClientRectOnScreen(listHandle);
  EXPECT_EQ(onScreen.top, listOnScreen.top + first.top);
  EXPECT_THROW(list.Item(3), std::out_of_range);

  const HWND edit = FindChild(window, L"Edit", 101);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(SetEditText(edit, L"メモ"));
  Send(edit, EM_SETSEL, 2, 2);  // WM_SETTEXT leaves the caret at the start
  SendChars(edit, L"帳x");
  EXPECT_EQ(EditText(edit), L"メモ帳x");
  if (GetACP() == 932) {
    EXPECT_EQ(EditTextAnsi(edit), "\x83\x81\x83\x82\x92\xA0x");
  }
  Send(edit, EM_SETSEL, 1, 3);
  EXPECT_EQ(EditSelection(edit), std::make_pair(1, 3));
}

TEST_F(DriverProcess, ReadsAnotherProcesssAnsiListBox) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese code page";
  LumoraProcess process = Start(L"--show");
  const HWND window = process.WaitForWindow(L"[FAKE]");
  ASSERT_NE(window, nullptr);
  // The program makes this list, and fills it, after its window is there.
  HWND listHandle = nullptr;
  WaitUntil([&] { return (listHandle = FindChild(window, L"ListBox", 102)) != nullptr; }, 3s);
  ASSERT_NE(listHandle, nullptr) << DescribeWindowTree(window);
  const ListBox list(listHandle);
  WaitUntil([&] { return list.Count() == 2; }, 3s);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.ItemAnsi(0), "\x93\x64\x91\xEC");
  EXPECT_EQ(list.Item(0), L"電卓");
  EXPECT_EQ(list.ItemAnsi(1), "xyz");
}

TEST_F(DriverProcess, AnswersAnotherProcesssMessageBox) {
  LumoraProcess process = Start(L"--message-box \"実行しますか？\"");
  const HWND dialog = WaitForDialog(process.Id());
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(DialogCaption(dialog), L"Fake");
  EXPECT_EQ(DialogMessage(dialog), L"実行しますか？");
  EXPECT_TRUE(HasButton(dialog, IDYES));
  EXPECT_TRUE(HasButton(dialog, IDNO));
  EXPECT_FALSE(HasButton(dialog, IDOK));
  ASSERT_TRUE(PressButton(dialog, IDNO));
  EXPECT_TRUE(WaitForDialogToClose(dialog));
  ASSERT_TRUE(WaitUntil([&] { return folder_.Exists(L"answer.txt"); }, 2s));
  EXPECT_EQ(folder_.ReadFile(L"answer.txt"), std::optional<std::string>("7"));
}

TEST_F(DriverProcess, NoDialogIsReportedWhenNoneOpens) {
  LumoraProcess process = Start(L"--show");
  ASSERT_NE(process.WaitForWindow(L"[FAKE]"), nullptr);
  EXPECT_EQ(WaitForDialog(process.Id(), 300ms), nullptr);
}

}  // namespace
}  // namespace lumora::e2e
