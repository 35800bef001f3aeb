// Two things at once, as a user's hands do them: commands, quit and log-off
// while a question, a dialog or Notepad is up; restart and start races.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

#include "app/resource_ids.h"
#include "launcher_fixture.h"

namespace lumora::e2e {
namespace {

constexpr UINT kShowForSecondStart = WM_APP + 3;

// Wine's freed-heap check for the programs started while it lives: freed
// blocks read as 0xFEEEFEEE, and a use after free faults.
struct FreedHeapCheck {
  static constexpr const wchar_t* kKey = L"System\\CurrentControlSet\\Control\\Session Manager";
  FreedHeapCheck() {
    const DWORD flags = 0x70;
    EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"GlobalFlag", REG_DWORD, &flags, sizeof flags), ERROR_SUCCESS);
  }
  ~FreedHeapCheck() { RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kKey, L"GlobalFlag"); }
};

class ModalDiscipline : public LauncherTest {
 protected:
  HWND OpenMemo() {
    Post(launcher, kTrayCallback, 1, WM_RBUTTONDOWN);
    HWND memo = nullptr;
    WaitUntil([&] { return IsVisible(memo = FindTopLevelWindowByClass(lumora.Id(), L"TfrmMemo")); }, 5s);
    return memo;
  }
  // A click on the memo window's "設定(&S)" and, when its menu comes, the
  // item chosen (the menu posts its command to the launcher). False when no
  // menu came.
  bool ChooseFromMemoMenu(HWND memo, UINT command) {
    for (HWND button : ChildrenOf(memo, L"Button")) {
      if (TextOf(button) == L"設定(&S)") ClickAt(CenterOf(WindowRectOf(button)));
    }
    HWND menu = nullptr;
    if (!WaitUntil([&] { return IsVisible(menu = FindTopLevelWindowByClass(lumora.Id(), L"#32768")); }, 2s)) {
      return false;
    }
    Post(launcher, WM_CANCELMODE);
    WaitForVisibility(menu, false, 5s);
    Post(launcher, WM_COMMAND, command);
    return true;
  }
  // Answers every question that comes with the button until none comes.
  int AnswerAll(int button) {
    int answered = 0;
    for (HWND box; (box = WaitForDialog(lumora.Id(), 2s)) != nullptr; ++answered) {
      PressButton(box, button);
      WaitForDialogToClose(box);
    }
    return answered;
  }
  bool ListHolds(const char* id) { return ReadList().Row(id) != nullptr; }
};

TEST_F(ModalDiscipline, QuitFromTheMemoMenuDuringAQuestionEndsTheQuestionFirst) {
  const FreedHeapCheck heapCheck;
  WriteList({{"1", "gone", "C:\\nowhere\\gone.exe", "", "2026/1/1 9:00:00"}});
  ASSERT_TRUE(Start());
  const HWND memo = OpenMemo();
  ASSERT_TRUE(IsVisible(memo));
  Post(launcher, WM_COMMAND, IDM_CHECKANDREMOVE);
  const HWND question = WaitForDialog(lumora.Id());
  ASSERT_NE(question, nullptr);
  EXPECT_FALSE(ChooseFromMemoMenu(memo, IDM_COMPLETECLOSE)) << "the memo window's menu works under a question";
  EXPECT_EQ(GetForegroundWindow(), question) << "the click did not bring the question up";
  // The quit as any other way brings it: the question closes as No first.
  Post(launcher, WM_COMMAND, IDM_COMPLETECLOSE);
  EXPECT_EQ(lumora.WaitForExit(10s), std::optional<DWORD>(0));
  EXPECT_TRUE(ListHolds("1"));
}

TEST_F(ModalDiscipline, RemovalStartedAgainDuringItsQuestionRemovesOnlyTheMissingEntry) {
  WriteList({{"1", "gone", "C:\\nowhere\\gone.exe", "", "2026/1/1 9:00:00"},
             {"2", "keep", "C:\\windows\\notepad.exe", "", "2026/1/2 9:00:00"}});
  ASSERT_TRUE(Start());
  const HWND memo = OpenMemo();
  Post(launcher, WM_COMMAND, IDM_CHECKANDREMOVE);
  ASSERT_NE(WaitForDialog(lumora.Id()), nullptr);
  EXPECT_FALSE(ChooseFromMemoMenu(memo, IDM_CHECKANDREMOVE));
  EXPECT_EQ(AnswerAll(IDYES), 1);
  ASSERT_TRUE(WaitUntil([&] { return !ListHolds("1"); }, 5s));
  EXPECT_TRUE(ListHolds("2")) << "another entry was deleted";
}

TEST_F(ModalDiscipline, LogOffDuringAQuestionNeverWaitsForTheUser) {
  const FreedHeapCheck heapCheck;
  WriteList({{"1", "gone", "C:\\nowhere\\gone.exe", "", "2026/1/1 9:00:00"}});
  ASSERT_TRUE(Start());
  Post(launcher, WM_COMMAND, IDM_CHECKANDREMOVE);
  ASSERT_NE(WaitForDialog(lumora.Id()), nullptr);
  Post(launcher, WM_QUERYENDSESSION);
  Post(launcher, WM_ENDSESSION, TRUE);
  EXPECT_EQ(lumora.WaitForExit(10s), std::optional<DWORD>(0));
  EXPECT_TRUE(ListHolds("1"));
}

TEST_F(ModalDiscipline, OkInADialogWhoseEntryWasDeletedAddsANewEntry) {
  const std::wstring mark = InstallMark(L"tools\\mark.exe");
  WriteList({{"1", "a", "C:\\windows\\notepad.exe", "", "2026/1/1 9:00:00"},
             {"2", "b", "C:\\windows\\system32\\calc.exe", "", "2026/1/2 9:00:00"}});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  ASSERT_EQ(Items(), Utf16Items({"a", "b"}));
  Send(list, LB_SETCURSEL, 1);
  Post(launcher, WM_COMMAND, IDM_EDITITEM);
  HWND prop = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return IsVisible(prop = FindTopLevelWindowByClass(lumora.Id(), L"TfrmProp")); }, 5s));
  Send(list, LB_SETCURSEL, 1);
  Post(launcher, WM_COMMAND, IDM_DELITEM);
  EXPECT_EQ(AnswerAll(IDYES), 1);
  // A typed command that opens becomes an entry: ID 2 again.
  TypeCommand(mark);
  Post(edit, WM_KEYDOWN, VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return ListHolds("2") && ReadList().rows.size() == 2; }, 5s));

  Post(prop, WM_COMMAND, IDOK);
  const HWND told = WaitForDialog(lumora.Id());
  ASSERT_NE(told, nullptr) << "the dialog's OK did not say where its text went";
  PressButton(told, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return ReadList().rows.size() == 3; }, 5s));
  const ParsedList file = ReadList();
  EXPECT_EQ(ParsedList::Cell(file.Row("2"), 2), Utf8FromUtf16(mark)) << "the new entry was overwritten";
  EXPECT_EQ(ParsedList::Cell(file.Row("3"), 1), "b");
}

TEST_F(ModalDiscipline, FocusComesBackAfterABoxAndTheShowRequestBringsTheBoxUp) {
  ASSERT_TRUE(Start());
  Post(launcher, WM_COMMAND, IDM_ABOUT);
  HWND box = WaitForDialog(lumora.Id());
  ASSERT_NE(box, nullptr);
  Post(launcher, kShowForSecondStart);
  EXPECT_TRUE(HoldsFor([&] { return !IsVisible(launcher); }, 1s)) << "a disabled launcher came up over the box";
  EXPECT_EQ(GetForegroundWindow(), box);
  PressButton(box, IDOK);
  WaitForDialogToClose(box);

  ASSERT_TRUE(Show());
  Post(launcher, WM_COMMAND, IDM_ABOUT);
  ASSERT_NE(box = WaitForDialog(lumora.Id()), nullptr);
  PressButton(box, IDOK);
  WaitForDialogToClose(box);
  EXPECT_TRUE(WaitUntil([&] { return FocusedWindow() == edit; }, 5s)) << "no control has the focus";
}

TEST_F(ModalDiscipline, RestartRacedByATrayClickStillEndsThisInstance) {
  ASSERT_TRUE(Start());
  Post(launcher, WM_COMMAND, IDM_RESTARTLAUNCH);
  Post(launcher, kTrayCallback, 1, WM_LBUTTONDOWN);
  EXPECT_EQ(lumora.WaitForExit(10s), std::optional<DWORD>(0)) << "the restart became a hide";
  const HWND fresh = WaitForNewLauncher();
  ASSERT_NE(fresh, nullptr);
  const UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, ProcessIdOf(fresh)));
  TerminateProcess(process.Get(), 0);
}

TEST_F(ModalDiscipline, AStartThatFindsAWindowlessInstanceOfItsFolderSaysSo) {
  // What a running instance holds: the named mutex of its folder (the
  // folder's upper-cased final path, hashed with FNV-1a over its UTF-16 units).
  std::wstring key = folder.Path();
  const UniqueHandle opened(CreateFileW(key.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  wchar_t finalPath[1024] = L"";
  const DWORD length = GetFinalPathNameByHandleW(opened.Get(), finalPath, 1024, 0);
  if (length > 0 && length < 1024) key = std::wstring_view(finalPath).starts_with(L"\\\\?\\") ? finalPath + 4 : finalPath;
  while (!key.empty() && key.back() == L'\\') key.pop_back();
  CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
  std::uint64_t hash = 14695981039346656037ull;
  for (const wchar_t c : key) hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
  wchar_t name[64];
  std::swprintf(name, 64, L"Local\\Lumora-%016llx-running", static_cast<unsigned long long>(hash));
  const UniqueHandle held(CreateMutexW(nullptr, TRUE, name));
  ASSERT_TRUE(held.Valid());

  folder.WriteSettings(kInstalledSettings);
  lumora = StartLumora();
  const HWND told = WaitForDialog(lumora.Id(), 15s);
  ASSERT_NE(told, nullptr) << "the start ended silently";
  // Wine's box now and then answers only seconds after it is shown.
  EXPECT_TRUE(WaitUntil([&] {
    try {
      return DialogMessage(told).find(L"応答しません") != std::wstring::npos;
    } catch (const std::exception&) {
      return false;
    }
  }, 15s));
  PressButton(told, IDOK);
  EXPECT_EQ(lumora.WaitForExit(5s), std::optional<DWORD>(1));
}

}  // namespace
}  // namespace lumora::e2e
