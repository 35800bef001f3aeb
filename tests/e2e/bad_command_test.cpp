// Bad input at the command line of the real program: a typed command or an
// entry's target longer than the shell takes fails the way a target that does
// not open fails, and the program runs on; a character that Shift-JIS cannot
// hold matches no entry and starts nothing.
#include <gtest/gtest.h>

#include "launcher_fixture.h"

namespace lumora::e2e {
namespace {

class BadCommand : public LauncherTest {
 protected:
  // The program runs, and its window answers: typing still filters.
  void ExpectAnswering() {
    EXPECT_TRUE(lumora.IsRunning()) << "the program has ended";
    if (!lumora.IsRunning()) return;
    TypeCommand(L"calc");
    EXPECT_EQ(Items(), Utf16Items({"calc"})) << Describe(Items());
  }
};

TEST_F(BadCommand, EnterOnAVeryLongTypedCommandBeepsAndTheProgramRunsOn) {
  WriteList({{"1", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/3/1 10:00:00"}});
  const auto before = folder.ReadFile(L"data\\applist.tsv");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());

  // A path of 1,100 characters, and a web address longer than any shell
  // takes (2,100; Wine's ends the process from about 970 on).
  const std::wstring path = L"C:\\tools\\" + std::wstring(1100 - 9, L'p');
  const std::wstring address = L"http://example.invalid/" + std::wstring(2100 - 23, L'u');
  ASSERT_EQ(path.size(), 1100u);
  for (const std::wstring& text : {path, address}) {
    ASSERT_TRUE(SetEditText(edit, text));
    ASSERT_EQ(Items(), Utf16Items({})) << Describe(Items());
    PressKey(VK_RETURN);
    EXPECT_TRUE(HoldsFor([&] { return lumora.IsRunning() && IsVisible(launcher); }, 1500ms))
        << "after Enter on " << Utf8FromUtf16(text.substr(0, 30)) << "...: the program "
        << (lumora.IsRunning() ? "hid its window" : "has ended");
    ASSERT_TRUE(lumora.IsRunning());
    EXPECT_EQ(EditText(edit), text) << "the typed text stays after a command that does not open";
    EXPECT_EQ(WaitForDialog(lumora.Id(), 300ms), nullptr) << "a typed command that fails shows no message";
  }
  EXPECT_EQ(folder.ReadFile(L"data\\applist.tsv"), before) << "a command that did not open became an entry";
  ExpectAnswering();
}

TEST_F(BadCommand, AnEntryWithAVeryLongTargetFailsWithTheMessageAndTheProgramRunsOn) {
  const std::string target = "C:\\tools\\" + std::string(2000 - 9 - 4, 't') + ".exe";
  ASSERT_EQ(target.size(), 2000u);
  WriteList({
      {"1", "long target", target, "2", "2026/1/1 10:00:00"},
      {"2", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/3/1 10:00:00"},
  });
  const auto before = folder.ReadFile(L"data\\applist.tsv");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  TypeCommand(L"long");
  ASSERT_EQ(Items(), Utf16Items({"long target"})) << Describe(Items());

  // Posted: the failure shows a modal message box inside the key's handler.
  Post(edit, WM_KEYDOWN, VK_RETURN, 1);
  const HWND box = WaitForDialog(lumora.Id());
  ASSERT_NE(box, nullptr) << "no failure message; the program " << (lumora.IsRunning() ? "runs" : "has ended");
  EXPECT_NE(DialogMessage(box).find(Utf16FromUtf8("実行に失敗しました。")), std::wstring::npos)
      << Utf8FromUtf16(DialogMessage(box));
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitForDialogToClose(box));
  EXPECT_EQ(folder.ReadFile(L"data\\applist.tsv"), before) << "a failed launch was recorded";

  ASSERT_TRUE(Show());
  ExpectAnswering();
}

// 한 (U+D55C) has no Shift-JIS form; read through the code page it would be
// "?", which is in the name "a?b".
TEST_F(BadCommand, ACharacterOutsideShiftJisMatchesNothingAndStartsNothing) {
  const std::wstring mark = InstallMark(L"tools\\mark.exe");
  WriteList({
      {"1", "a?b", Utf8FromUtf16(mark), "", "2026/1/1 10:00:00"},
      {"2", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/3/1 10:00:00"},
  });
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  ASSERT_EQ(Items(), Utf16Items({"a?b", "calc"})) << Describe(Items());

  // Typed as a character.
  TypeCommand(L"\xD55C");
  EXPECT_EQ(Items(), Utf16Items({})) << "한 matched: " << Describe(Items());
  EXPECT_EQ(Selection(), -1);
  PressKey(VK_RETURN);
  EXPECT_TRUE(HoldsFor([&] { return !MarkExists(mark) && IsVisible(launcher); }, 1s))
      << "Enter on 한 " << (MarkExists(mark) ? "started the entry a?b" : "hid the window");
  EXPECT_EQ(EditText(edit), L"\xD55C");

  // Set as the whole text, between letters the name has.
  ASSERT_TRUE(SetEditText(edit, L"a\xD55C" L"b"));
  EXPECT_EQ(Items(), Utf16Items({})) << "a한b matched: " << Describe(Items());
  PressKey(VK_RETURN);
  EXPECT_TRUE(HoldsFor([&] { return !MarkExists(mark) && IsVisible(launcher); }, 1s));

  // Text Shift-JIS holds still filters.
  TypeCommand(L"a?");
  EXPECT_EQ(Items(), Utf16Items({"a?b"})) << Describe(Items());
  EXPECT_TRUE(lumora.IsRunning());
}

}  // namespace
}  // namespace lumora::e2e
