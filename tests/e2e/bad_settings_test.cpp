// The real program with settings and lists a hand edit or a locked-down
// machine gives it: a settings file that cannot be written, a stored window
// height of no use, a name of hundreds of thousands of characters.
#include <gtest/gtest.h>

#include <string>

#include "launcher_fixture.h"

namespace lumora::e2e {
namespace {

class BadSettings : public LauncherTest {
 protected:
  // The dialogs the program shows within the time; each is read and closed.
  // The first run's install questions (asked at every start while the first
  // run cannot note itself) are answered No and not counted.
  std::vector<std::wstring> CloseDialogs(Millis within) {
    std::vector<std::wstring> texts;
    for (HWND box; (box = WaitForDialog(lumora.Id(), within)) != nullptr;) {
      if (HasButton(box, IDNO)) {
        PressButton(box, IDNO);
        if (!WaitForDialogToClose(box)) break;
        continue;
      }
      texts.push_back(DialogMessage(box));
      PressButton(box, IDOK);
      if (!WaitForDialogToClose(box)) break;
    }
    return texts;
  }
};

TEST_F(BadSettings, ASettingsFileThatCannotBeWrittenNeitherBlocksALaunchNorKeepsTheWindowUp) {
  const std::wstring mark = InstallMark(L"tools\\mark.exe");
  WriteList({{"1", "mark", Utf8FromUtf16(mark), "", "2026/1/1 9:00:00"},
             {"2", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/1/2 9:00:00"}});
  // A folder in its place makes every write fail, even for an administrator.
  folder.MakeFolder(L"Lumora.ini");
  lumora = StartLumora();
  launcher = WaitForLauncher(lumora);
  ASSERT_NE(launcher, nullptr);
  // The first run cannot note itself: told once, naming the file.
  std::vector<std::wstring> told = CloseDialogs(3s);
  ASSERT_TRUE(FindControls());
  if (IsVisible(launcher)) {
    ASSERT_TRUE(HideByTrayClick());
  }

  ASSERT_TRUE(Show());
  TypeCommand(L"mark");
  ASSERT_EQ(Items(), Utf16Items({"mark"}));
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitForMark(mark).has_value()) << "Enter launched nothing";
  EXPECT_TRUE(WaitUntilHidden(3s)) << "the window stays up after the launch";
  const std::vector<std::wstring> more = CloseDialogs(2s);
  told.insert(told.end(), more.begin(), more.end());

  // Escape, the tray and a close request hide it as ever, with no box.
  ASSERT_TRUE(Show());
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntilHidden(3s));
  ASSERT_TRUE(Show());
  ASSERT_TRUE(HideByTrayClick());
  ASSERT_TRUE(Show());
  Post(launcher, WM_CLOSE);
  EXPECT_TRUE(WaitUntilHidden(3s));
  const std::vector<std::wstring> after = CloseDialogs(1500ms);
  told.insert(told.end(), after.begin(), after.end());

  ASSERT_LE(told.size(), 1u);
  for (const std::wstring& text : told) {
    EXPECT_NE(text.find(L"Lumora.ini"), std::wstring::npos) << Utf8FromUtf16(text);
  }
  EXPECT_TRUE(lumora.IsRunning());
}

TEST_F(BadSettings, AStoredHeightOfNoUseShowsTheWholeWindowInsideTheWorkArea) {
  WriteList({{"1", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/1/2 9:00:00"}});
  for (const char* height : {"99999", "0", "-5", "2147483647", "-2147483648"}) {
    SCOPED_TRACE(height);
    ASSERT_TRUE(Start(std::string("[frmLumora]\r\nHeight=") + height + "\r\n"));
    const RECT area = WorkArea();
    for (const POINT cursor : {MiddleOfWorkArea(), POINT{area.left + 10, area.bottom - 5}}) {
      ASSERT_TRUE(ShowAt(cursor));
      const RECT rect = WindowRectOf(launcher);
      EXPECT_GE(rect.top, area.top);
      EXPECT_LE(rect.bottom, area.bottom);
      // The command line and at least one row of the list.
      const RECT commandLine = WindowRectOf(edit);
      const RECT rows = WindowRectOf(list);
      EXPECT_GT(commandLine.bottom - commandLine.top, 10);
      EXPECT_GE(rows.bottom - rows.top, 18);
      EXPECT_GE(rect.bottom, commandLine.bottom);
      ASSERT_TRUE(HideByTrayClick());
    }
    // What is stored again is a usable height.
    const int stored = std::stoi(SettingsValue(L"frmLumora", L"Height"));
    EXPECT_GT(stored, 40);
    EXPECT_LE(stored, area.bottom - area.top);
    Post(launcher, WM_CLOSE);
    ASSERT_TRUE(lumora.WaitForExit(5s).has_value());
  }
}

TEST_F(BadSettings, ANameOfSevenHundredThousandCharactersShowsAndTheProgramRunsOn) {
  // One unbalanced quote in a hand-edited list makes the rest of the file one name.
  WriteList({{"1", std::string(700000, 'x'), "C:\\windows\\system32\\calc.exe", "", "2026/1/2 9:00:00"},
             {"2", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/1/3 9:00:00"}});
  ASSERT_TRUE(Start());
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(Show());
    EXPECT_EQ(Items().size(), 2u);
    ASSERT_TRUE(HideByTrayClick());
  }
  EXPECT_TRUE(lumora.IsRunning());
}

}  // namespace
}  // namespace lumora::e2e
