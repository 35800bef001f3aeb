// Filtering and launching in the real program: typing narrows the list by
// name; Enter, a second Enter in the list and a click launch the mark
// program (which reports its working folder); a launch is counted and
// time-stamped in the list file, which is replaced whole; a failing target is
// reported; a launch keeps what another program wrote to the list file
// meanwhile; a typed command that opens becomes an entry; "restart" starts a
// new instance and ends the old one.
#include <gtest/gtest.h>

#include "launcher_fixture.h"

namespace lumora::e2e {
namespace {

class CommandLine : public LauncherTest {};

TEST_F(CommandLine, TypingNarrowsTheListByNameOnly) {
  WriteList({
      {"1", "notepad", "C:\\windows\\notepad.exe", "5", "2026/1/10 9:00:00"},
      {"2", "メモ帳", "C:\\windows\\system32\\notepad.exe", "2", "2026/03/05 12:30:00"},
      {"3", "ＮＯＴＥ帳", "C:\\tools\\note.exe", "9", "2025/12/31 23:59:59"},
      {"4", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/12/7 13:05:09"},
  });
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());

  TypeCommand(L"NOTE");
  EXPECT_EQ(Items(), Utf16Items({"notepad"})) << "NOTE: " << Describe(Items());
  EXPECT_EQ(Selection(), 0);

  // Full-width letters are not folded: each matches only itself.
  TypeCommand(Utf16FromUtf8("ＮＯ"));
  EXPECT_EQ(Items(), Utf16Items({"ＮＯＴＥ帳"})) << "ＮＯ: " << Describe(Items());
  TypeCommand(Utf16FromUtf8("ｎｏ"));
  EXPECT_EQ(Items(), Utf16Items({})) << "ｎｏ: " << Describe(Items());
  EXPECT_EQ(Selection(), -1);
  TypeCommand(Utf16FromUtf8("帳"));
  EXPECT_EQ(Items(), Utf16Items({"ＮＯＴＥ帳", "メモ帳"})) << "帳: " << Describe(Items());
  EXPECT_EQ(Selection(), 1);

  // Text that only a target holds matches nothing.
  TypeCommand(L"windows");
  EXPECT_EQ(Items(), Utf16Items({})) << "windows: " << Describe(Items());

  // Clearing the text shows every entry again, bottom row selected.
  TypeCommand(L"");
  EXPECT_EQ(Items(), Utf16Items({"ＮＯＴＥ帳", "notepad", "メモ帳", "calc"})) << Describe(Items());
  EXPECT_EQ(Selection(), 3);
}

// In Shift-JIS the second byte of a double-byte character can be an ASCII
// letter (ア is 0x83 0x41, "A"); the filter must not fold or match it.
TEST_F(CommandLine, TheSecondByteOfAJapaneseCharacterIsNoLetter) {
  WriteList({
      {"1", "アイコン", "C:\\tools\\icons.exe", "1", "2026/1/10 9:00:00"},
      {"2", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/12/7 13:05:09"},
  });
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  TypeCommand(L"a");
  EXPECT_EQ(Items(), Utf16Items({"calc"})) << "\"a\" matched inside a Japanese name: " << Describe(Items());
  TypeCommand(L"A");
  EXPECT_EQ(Items(), Utf16Items({"calc"})) << "\"A\" matched inside a Japanese name: " << Describe(Items());
}

class Launch : public LauncherTest {
 protected:
  // The entry's row in the list file after a launch: count old + 1 and a
  // time within two minutes of now; the file replaced whole, nothing left.
  void ExpectLaunchRecorded(const std::string& id, int countBefore, const std::string& timeBefore) {
    const ParsedList file = ReadList();
    ASSERT_EQ(file.problem, "");
    const auto* row = file.Row(id);
    ASSERT_NE(row, nullptr) << "entry " << id << " is gone from the list file";
    EXPECT_EQ(ParsedList::Cell(row, 3), std::to_string(countBefore + 1));
    const std::string time = ParsedList::Cell(row, 4);
    EXPECT_NE(time, timeBefore);
    const auto seconds = TimeCellSeconds(time);
    ASSERT_TRUE(seconds.has_value()) << "time cell \"" << time << "\" is not a date and time";
    EXPECT_LE(std::llabs(*seconds - NowSeconds()), 120) << "time cell \"" << time << "\" is not now";
    ExpectOnlyTheListInData();
  }
  void ExpectOnlyTheListInData() {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(folder.PathOf(L"data\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::vector<std::wstring> names;
    do {
      if (std::wstring_view(found.cFileName) != L"." && std::wstring_view(found.cFileName) != L"..") {
        names.push_back(found.cFileName);
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(names, std::vector<std::wstring>{L"applist.tsv"}) << "data\\ holds " << Describe(names);
  }
  static std::string U8(const std::wstring& text) { return Utf8FromUtf16(text); }
};

TEST_F(Launch, EnterWithOneMatchLaunchesFromTheTargetsFolderAndCountsIt) {
  const std::wstring mark = InstallMark(Utf16FromUtf8("tools\\マーク.exe"));
  WriteList({
      {"1", "notepad", "C:\\windows\\notepad.exe", "5", "2026/1/10 9:00:00"},
      {"7", "マーク", U8(mark), "3", "2025/11/2 8:15:00"},
      {"3", "メモ帳", "C:\\windows\\system32\\notepad.exe", "", "2026/03/05 12:30:00"},
  });
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  TypeCommand(Utf16FromUtf8("マー"));
  ASSERT_EQ(Items(), Utf16Items({"マーク"})) << Describe(Items());

  PressKey(VK_RETURN);
  const auto launched = WaitForMark(mark);
  ASSERT_TRUE(launched.has_value()) << "Enter did not start the only match";
  EXPECT_EQ(FolderKey(launched->folder), FolderKey(folder.PathOf(L"tools")))
      << "started in " << Utf8FromUtf16(launched->folder);
  EXPECT_NE(launched->commandLine.find(Utf16FromUtf8("マーク.exe")), std::wstring::npos)
      << Utf8FromUtf16(launched->commandLine);
  EXPECT_TRUE(WaitUntilHidden(3s)) << "the window stays shown after a launch";
  EXPECT_TRUE(WaitUntil([&] { return EditText(edit).empty(); }, 2s)) << "the command line was not cleared";

  ASSERT_TRUE(WaitUntil([&] { return ParsedList::Cell(ReadList().Row("7"), 3) == "4"; }, 3s));
  ExpectLaunchRecorded("7", 3, "2025/11/2 8:15:00");
  const ParsedList file = ReadList();
  ASSERT_EQ(file.rows.size(), 3u);
  EXPECT_EQ(ParsedList::Cell(file.Row("1"), 1), "notepad");
  EXPECT_EQ(ParsedList::Cell(file.Row("3"), 1), "メモ帳");
  EXPECT_EQ(ParsedList::Cell(file.Row("7"), 2), U8(mark)) << "the target changed";
  // The store keeps the file's order; the view moves the launched entry to the bottom.
  EXPECT_EQ(file.rows[1][0], "7");
  EXPECT_EQ(Items(), Utf16Items({"notepad", "メモ帳", "マーク"})) << Describe(Items());
  EXPECT_EQ(Selection(), 2);
}

TEST_F(Launch, WithTwoMatchesEnterMovesToTheListAndASecondEnterLaunchesTheBottomRow) {
  const std::wstring older = InstallMark(L"tools\\mark-older.exe");
  const std::wstring newer = InstallMark(L"tools\\mark-newer.exe");
  WriteList({
      {"1", "mark newer", U8(newer), "", "2026/2/1 10:00:00"},
      {"2", "mark older", U8(older), "", "2026/1/1 10:00:00"},
      {"3", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/3/1 10:00:00"},
  });
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  TypeCommand(L"mark");
  ASSERT_EQ(Items(), Utf16Items({"mark older", "mark newer"})) << Describe(Items());

  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return FocusedWindow() == list; }, 2s)) << "Enter did not move the focus to the list";
  EXPECT_EQ(Selection(), 1);
  EXPECT_TRUE(IsVisible(launcher));
  EXPECT_TRUE(HoldsFor([&] { return !MarkExists(older) && !MarkExists(newer); }, 300ms))
      << "the first Enter launched something";

  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitForMark(newer).has_value()) << "the second Enter did not launch the bottom row";
  EXPECT_FALSE(MarkExists(older));
  EXPECT_TRUE(WaitUntilHidden(3s));
  ASSERT_TRUE(WaitUntil([&] { return ParsedList::Cell(ReadList().Row("1"), 3) == "1"; }, 3s))
      << "an empty count does not become 1";
  ExpectLaunchRecorded("1", 0, "2026/2/1 10:00:00");
}

TEST_F(Launch, AClickOnAnItemLaunchesIt) {
  const std::wstring mark = InstallMark(L"tools\\clicked.exe");
  WriteList({
      {"1", "clicked", U8(mark), "", "2026/1/1 10:00:00"},
      {"2", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/3/1 10:00:00"},
  });
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  ASSERT_EQ(Items(), Utf16Items({"clicked", "calc"})) << Describe(Items());
  ClickAt(CenterOf(ListBox(list).ItemRectOnScreen(0)));
  const auto launched = WaitForMark(mark);
  ASSERT_TRUE(launched.has_value()) << "a click on the item did not launch it";
  EXPECT_EQ(FolderKey(launched->folder), FolderKey(folder.PathOf(L"tools")));
  EXPECT_TRUE(WaitUntilHidden(3s));
  ASSERT_TRUE(WaitUntil([&] { return ParsedList::Cell(ReadList().Row("1"), 3) == "1"; }, 3s));
  ExpectLaunchRecorded("1", 0, "2026/1/1 10:00:00");
}

TEST_F(Launch, ALaunchKeepsWhatAnotherProgramWroteToTheListMeanwhile) {
  const std::wstring mark = InstallMark(L"tools\\mark.exe");
  WriteList({
      {"1", "mark", U8(mark), "2", "2026/1/1 10:00:00"},
      {"2", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/3/1 10:00:00"},
  });
  ASSERT_TRUE(Start());
  // While Lumora runs another program removes calc and adds an entry.
  WriteList({
      {"1", "mark", U8(mark), "2", "2026/1/1 10:00:00"},
      {"5", "added", "C:\\added.exe", "", "2026/2/1 10:00:00"},
  });
  ASSERT_TRUE(Show());
  TypeCommand(L"mark");
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitForMark(mark).has_value());
  ASSERT_TRUE(WaitUntil([&] { return ParsedList::Cell(ReadList().Row("1"), 3) == "3"; }, 3s)) << "not counted";
  const ParsedList file = ReadList();
  EXPECT_EQ(file.rows.size(), 2u);
  EXPECT_NE(file.Row("5"), nullptr) << "the added row is gone";
  EXPECT_EQ(file.Row("2"), nullptr) << "the removed row is back";
  EXPECT_EQ(Items(), Utf16Items({"added", "mark"})) << Describe(Items());
}

TEST_F(Launch, AClickBelowTheLastRowLaunchesNothing) {
  const std::wstring mark = InstallMark(L"tools\\only.exe");
  WriteList({{"1", "only", U8(mark), "", "2026/1/1 10:00:00"}});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  const RECT item = ListBox(list).ItemRectOnScreen(0);
  const RECT client = ClientRectOnScreen(list);
  ASSERT_LT(item.bottom + 5, client.bottom) << "no empty area below the row";
  ClickAt(POINT{(item.left + item.right) / 2, item.bottom + 5});
  EXPECT_TRUE(WaitUntil([&] { return Selection() == -1; }, 2s)) << "the selection stays";
  EXPECT_TRUE(HoldsFor([&] { return !MarkExists(mark) && IsVisible(launcher); }, 500ms));
}

TEST_F(Launch, AFailingTargetIsReportedAndNothingIsRecorded) {
  WriteList({
      {"1", "missing", "C:\\no-such-folder\\no-such-program.exe", "2", "2026/1/1 10:00:00"},
      {"2", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/3/1 10:00:00"},
  });
  const auto before = folder.ReadFile(L"data\\applist.tsv");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  TypeCommand(L"missing");
  ASSERT_EQ(Items(), Utf16Items({"missing"}));
  // Posted: the launch shows a modal message box inside the key's handler.
  Post(edit, WM_KEYDOWN, VK_RETURN, 1);
  const HWND box = WaitForDialog(lumora.Id());
  ASSERT_NE(box, nullptr) << "no message for a target that cannot be started";
  EXPECT_NE(DialogMessage(box).find(Utf16FromUtf8("実行に失敗しました。")), std::wstring::npos)
      << Utf8FromUtf16(DialogMessage(box));
  EXPECT_FALSE(IsVisible(launcher)) << "the window hides before the target starts";
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitForDialogToClose(box));
  EXPECT_EQ(folder.ReadFile(L"data\\applist.tsv"), before) << "a failed launch was recorded";
  EXPECT_EQ(EditText(edit), L"missing") << "the typed text stays after a failure";
  EXPECT_TRUE(lumora.IsRunning());
}

TEST_F(Launch, ATypedCommandThatOpensBecomesAnEntry) {
  const std::wstring mark = InstallMark(Utf16FromUtf8("tools\\マーク.exe"));
  WriteList({
      {"4", "notepad", "C:\\windows\\notepad.exe", "5", "2026/1/10 9:00:00"},
      {"9", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/12/7 13:05:09"},
  });
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  TypeCommand(mark);
  ASSERT_EQ(Items(), Utf16Items({})) << "the path matches an entry: " << Describe(Items());
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitForMark(mark).has_value()) << "the typed command was not started";
  EXPECT_TRUE(WaitUntilHidden(3s));
  ASSERT_TRUE(WaitUntil([&] { return ReadList().rows.size() == 3; }, 3s)) << "no entry was added";

  const ParsedList file = ReadList();
  ASSERT_EQ(file.problem, "");
  const auto& added = file.rows.back();
  EXPECT_EQ(ParsedList::Cell(&added, 0), "10") << "the new ID is one more than the largest";
  EXPECT_EQ(ParsedList::Cell(&added, 1), U8(mark));
  EXPECT_EQ(ParsedList::Cell(&added, 2), U8(mark));
  EXPECT_EQ(ParsedList::Cell(&added, 3), "") << "a typed command starts without a count";
  const auto seconds = TimeCellSeconds(ParsedList::Cell(&added, 4));
  ASSERT_TRUE(seconds.has_value()) << ParsedList::Cell(&added, 4);
  EXPECT_LE(std::llabs(*seconds - NowSeconds()), 120);
  ExpectOnlyTheListInData();
  EXPECT_TRUE(EditText(edit).empty());
  // The newest entry sorts to the bottom.
  EXPECT_EQ(Items().size(), 3u);
  EXPECT_EQ(Items().back(), mark);
}

TEST_F(Launch, RestartStartsANewInstanceAndEndsThisOne) {
  WriteList({{"1", "notepad", "C:\\windows\\notepad.exe", "5", "2026/1/10 9:00:00"}});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  ASSERT_TRUE(OtherLaunchers().empty()) << "another launcher runs already";
  TypeCommand(L"restart");
  ASSERT_EQ(Items(), Utf16Items({}));
  PressKey(VK_RETURN);

  const auto old = lumora.WaitForExit(5s);
  EXPECT_EQ(old, std::optional<DWORD>(0)) << "the old instance did not end";
  const HWND fresh = WaitForNewLauncher();
  ASSERT_NE(fresh, nullptr) << "no new launcher came up";
  const UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE,
                                         ProcessIdOf(fresh)));
  ASSERT_TRUE(process.Valid());
  WaitForInputIdle(process.Get(), 10000);
  EXPECT_FALSE(IsVisible(fresh)) << "the new instance comes up shown";
  EXPECT_EQ(ListBox(FindChild(fresh, L"ListBox", IDC_LSTMAIN)).Items(), Utf16Items({"notepad"}));
  // It is an ordinary launcher: hidden, a close request ends it.
  PostClose(fresh);
  const bool ended = WaitForSingleObject(process.Get(), 5000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.Get(), 1);
  EXPECT_TRUE(ended) << "the new instance did not end on a close request";
  EXPECT_EQ(ReadList().rows.size(), 1u) << "\"restart\" became an entry";
}

TEST_F(Launch, RestartIsAnEntryNameWhenOneMatches) {
  WriteList({
      {"1", "restart-a", "C:\\windows\\notepad.exe", "", "2026/1/10 9:00:00"},
      {"2", "restart-b", "C:\\windows\\notepad.exe", "", "2026/1/11 9:00:00"},
  });
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  TypeCommand(L"restart");
  ASSERT_EQ(Items().size(), 2u);
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return FocusedWindow() == list; }, 2s));
  EXPECT_TRUE(HoldsFor([&] { return lumora.IsRunning() && OtherLaunchers().empty(); }, 500ms))
      << "\"restart\" restarted although entries match it";
}

}  // namespace
}  // namespace lumora::e2e
