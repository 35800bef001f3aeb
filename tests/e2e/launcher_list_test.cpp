// The launcher list of the real program: a Shift-JIS list file with Japanese
// and English names loads and shows in the time order with the bottom row
// selected; the sort commands reorder it and are remembered; the sort setting
// is read exactly; an unreadable list file is reported and never overwritten.
#include <gtest/gtest.h>

#include "launcher_fixture.h"

namespace lumora::e2e {
namespace {

// Times in both forms the list is read in: the locale's "2026/1/10 9:00:00"
// and "yyyy/MM/dd H:mm:ss". The orders differ by time, count and name.
std::vector<Entry> FiveEntries() {
  return {
      {"1", "notepad", "C:\\windows\\notepad.exe", "5", "2026/1/10 9:00:00"},
      {"2", "メモ帳", "C:\\windows\\system32\\notepad.exe", "2", "2026/03/05 12:30:00"},
      {"3", "ＮＯＴＥ帳", "C:\\tools\\note.exe", "9", "2025/12/31 23:59:59"},
      {"4", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/12/7 13:05:09"},
      {"5", "アイコン", "C:\\tools\\icons.exe", "1", ""},
  };
}
const auto kTimeOrder = Utf16Items({"アイコン", "ＮＯＴＥ帳", "notepad", "メモ帳", "calc"});
const auto kCountOrder = Utf16Items({"calc", "アイコン", "メモ帳", "notepad", "ＮＯＴＥ帳"});
const auto kNameOrder = Utf16Items({"calc", "notepad", "ＮＯＴＥ帳", "アイコン", "メモ帳"});

class LauncherList : public LauncherTest {};

TEST_F(LauncherList, ShiftJisListShowsInTimeOrderWithTheBottomRowSelected) {
  WriteList(FiveEntries());
  ASSERT_TRUE(Start());

  ListBox box(list);
  ASSERT_TRUE(box.HasStrings()) << "the list box keeps no text; its items cannot be read";
  EXPECT_EQ(box.Items(), kTimeOrder) << Describe(box.Items());
  EXPECT_EQ(box.Selection(), 4) << "the bottom row (the latest launch) is selected";
  // The program's ANSI view of a Japanese name is the file's Shift-JIS bytes.
  EXPECT_EQ(box.ItemAnsi(3), ShiftJis("メモ帳"));

  // Showing refills the list: same order, bottom row selected.
  ASSERT_TRUE(Show());
  EXPECT_EQ(box.Items(), kTimeOrder) << Describe(box.Items());
  EXPECT_EQ(box.Selection(), 4);
  SaveScreenshot(L"japanese-names");
}

TEST_F(LauncherList, AMissingListFileGivesAnEmptyListAndNoMessage) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(ListBox(list).Count(), 0);
  EXPECT_EQ(ListBox(list).Selection(), -1);
  EXPECT_EQ(WaitForDialog(lumora.Id(), 300ms), nullptr) << "a message came up for a missing list file";
  EXPECT_FALSE(folder.Exists(L"data\\applist.tsv")) << "start-up wrote a list file";
}

TEST_F(LauncherList, SortCommandsReorderTheListAndAreRememberedAcrossAStart) {
  WriteList(FiveEntries());
  const auto before = folder.ReadFile(L"data\\applist.tsv");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());

  Send(launcher, WM_COMMAND, IDM_SORTCOUNT, 0);
  EXPECT_EQ(Items(), kCountOrder) << Describe(Items());
  EXPECT_EQ(Selection(), 4);
  EXPECT_EQ(SettingsValue(L"launch", L"sort"), "count");

  Send(launcher, WM_COMMAND, IDM_SORTNAME, 0);
  EXPECT_EQ(Items(), kNameOrder) << Describe(Items());
  EXPECT_EQ(Selection(), 4);
  EXPECT_EQ(SettingsValue(L"launch", L"sort"), "name");

  // The filter stays while the order changes: "p" still matches notepad alone.
  TypeCommand(L"p");
  EXPECT_EQ(Items(), Utf16Items({"notepad"})) << Describe(Items());
  Send(launcher, WM_COMMAND, IDM_SORTTIME, 0);
  EXPECT_EQ(Items(), Utf16Items({"notepad"})) << Describe(Items());
  EXPECT_EQ(SettingsValue(L"launch", L"sort"), "time");
  TypeCommand(L"");
  EXPECT_EQ(Items(), kTimeOrder) << Describe(Items());

  // Sorting never writes the list file.
  EXPECT_EQ(folder.ReadFile(L"data\\applist.tsv"), before);

  // The order chosen last is the order of the next start.
  Send(launcher, WM_COMMAND, IDM_SORTCOUNT, 0);
  ASSERT_TRUE(HideByTrayClick());
  PostClose(launcher);
  ASSERT_EQ(lumora.WaitForExit(), std::optional<DWORD>(0));
  ASSERT_TRUE(StartWithoutSettings());
  EXPECT_EQ(Items(), kCountOrder) << Describe(Items());
}

TEST_F(LauncherList, TheSortSettingIsReadExactly) {
  WriteList(FiveEntries());
  ASSERT_TRUE(Start("[launch]\r\nsort=name\r\n"));
  EXPECT_EQ(Items(), kNameOrder) << "sort=name: " << Describe(Items());
  PostClose(launcher);
  ASSERT_EQ(lumora.WaitForExit(), std::optional<DWORD>(0));

  ASSERT_TRUE(Start("[launch]\r\nsort=Name\r\n"));
  EXPECT_EQ(Items(), kTimeOrder) << "sort=Name is not one of the three words: " << Describe(Items());
  EXPECT_EQ(Selection(), 4);
}

// The list file exists but another program holds it open without sharing
// while the launcher starts: the start-up reports it, and nothing the user
// does later replaces the user's file with the empty list.
TEST_F(LauncherList, AListFileThatCannotBeReadIsReportedAndNeverOverwritten) {
  WriteList(FiveEntries());
  const auto original = folder.ReadFile(L"data\\applist.tsv");
  ASSERT_TRUE(original.has_value());
  const std::wstring mark = InstallMark(L"tools\\mark.exe");
  folder.WriteSettings(kInstalledSettings);
  {
    const UniqueHandle lock(CreateFileW(folder.PathOf(L"data\\applist.tsv").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock.Valid()) << "cannot lock the list file, error " << GetLastError();
    lumora = StartLumora();
    const HWND report = WaitForDialog(lumora.Id(), 10s);
    ASSERT_NE(report, nullptr) << "no message about the unreadable list file";
    EXPECT_NE(DialogMessage(report).find(L"applist.tsv"), std::wstring::npos)
        << "the message does not name the file: " << Utf8FromUtf16(DialogMessage(report));
    PressButton(report, IDOK);
    ASSERT_TRUE(WaitForDialogToClose(report));
  }
  launcher = WaitForLauncher(lumora);
  ASSERT_NE(launcher, nullptr);
  ASSERT_TRUE(FindControls());
  EXPECT_EQ(ListBox(list).Count(), 0);

  // A typed command that opens would add an entry and save the list.
  TypeCommand(mark);
  Post(edit, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(WaitForMark(mark).has_value()) << "the typed command was not started";
  if (const HWND refusal = WaitForDialog(lumora.Id(), 3s)) {
    PressButton(refusal, IDOK);
    WaitForDialogToClose(refusal);
  }
  EXPECT_TRUE(HoldsFor([&] { return folder.ReadFile(L"data\\applist.tsv") == original; }, 500ms))
      << "the user's list file was overwritten";
  EXPECT_FALSE(folder.Exists(L"data\\applist.tsv.tmp~"));
  EXPECT_TRUE(lumora.IsRunning());
}

// A folder where the list file belongs is no list file: the list starts
// empty (a start-up message is allowed), and the first save is reported
// instead of touching the folder.
TEST_F(LauncherList, AFolderInPlaceOfTheListFileIsReportedOnSavingAndStaysAsItIs) {
  folder.MakeFolder(L"data\\applist.tsv");
  folder.WriteFile(L"data\\applist.tsv\\keep.txt", "user data");
  const std::wstring mark = InstallMark(L"tools\\mark.exe");
  folder.WriteSettings(kInstalledSettings);
  lumora = StartLumora();
  launcher = WaitForLauncher(lumora);
  ASSERT_NE(launcher, nullptr);
  if (const HWND report = WaitForDialog(lumora.Id(), 1s)) {
    PressButton(report, IDOK);
    ASSERT_TRUE(WaitForDialogToClose(report));
  }
  ASSERT_TRUE(lumora.WaitForIdle());
  ASSERT_TRUE(FindControls());
  EXPECT_EQ(ListBox(list).Count(), 0);

  TypeCommand(mark);
  Post(edit, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(WaitForMark(mark).has_value()) << "the typed command was not started";
  const HWND refusal = WaitForDialog(lumora.Id(), 3s);
  EXPECT_NE(refusal, nullptr) << "saving over a folder failed without a message";
  if (refusal != nullptr) {
    PressButton(refusal, IDOK);
    WaitForDialogToClose(refusal);
  }
  EXPECT_TRUE(lumora.IsRunning()) << "the program ended after the report";
  EXPECT_EQ(folder.ReadFile(L"data\\applist.tsv\\keep.txt"), std::optional<std::string>("user data"));
  EXPECT_FALSE(folder.Exists(L"data\\applist.tsv.tmp~")) << "a temporary file was left behind";
}

}  // namespace
}  // namespace lumora::e2e
