// The real program's first start and its install and uninstall, the memo
// window from the tray and its buttons, the note saved at the quit command,
// the version message, and the list edited in Notepad (a stand-in put where
// the launcher finds Notepad first: the program folder).
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "launcher_fixture.h"

namespace lumora::e2e {
namespace {

constexpr wchar_t kMemoClass[] = L"TfrmMemo";
constexpr char kBuiltInNote[] = "ここに好きなメモを書いておくことができます。";

std::wstring WithBackslash(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder;
}

std::wstring StartupShortcut() {
  wchar_t folder[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, TRUE)) return {};
  return WithBackslash(folder) + L"Lumora5.lnk";
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetSystemDirectoryW(folder, MAX_PATH);
  return WithBackslash(folder);
}

std::wstring WindowsFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetWindowsDirectoryW(folder, MAX_PATH);
  return WithBackslash(folder);
}

struct Shortcut {
  std::wstring target, arguments, workingFolder;
  int showCommand = 0;
};

// The shortcut as the shell link object reads it back.
std::optional<Shortcut> ReadShortcut(const std::wstring& path) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return std::nullopt;
  }
  std::optional<Shortcut> result;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
      Shortcut s;
      wchar_t text[MAX_PATH * 2] = {};
      if (SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) s.target = text;
      text[0] = L'\0';
      if (SUCCEEDED(link->GetArguments(text, MAX_PATH * 2))) s.arguments = text;
      text[0] = L'\0';
      if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH * 2))) s.workingFolder = text;
      link->GetShowCmd(&s.showCommand);
      result = s;
    }
    file->Release();
  }
  link->Release();
  return result;
}

class Installing : public LauncherTest {
 protected:
  Installing() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    shortcut_ = StartupShortcut();
    DeleteFileW(shortcut_.c_str());
  }
  ~Installing() override {
    lumora.Kill();
    DeleteFileW(shortcut_.c_str());
    CoUninitialize();
  }

  // Waits for the program's next message box, checks that its text holds
  // the words, and presses the button. False (with a failure) when no box
  // came or another text.
  bool Answer(std::string_view words, int button) {
    const HWND box = WaitForDialog(lumora.Id(), 10s);
    if (box == nullptr) {
      ADD_FAILURE() << "no message box with \"" << words << "\"";
      return false;
    }
    const std::wstring text = DialogMessage(box);
    if (text.find(Utf16FromUtf8(words)) == std::wstring::npos) {
      ADD_FAILURE() << "the box says \"" << Utf8FromUtf16(text) << "\", not \"" << words << "\"";
      PressButton(box, HasButton(box, IDNO) ? IDNO : IDOK);
      return false;
    }
    EXPECT_TRUE(HasButton(box, button)) << words;
    PressButton(box, button);
    return WaitForDialogToClose(box);
  }
  bool NoDialogFor(Millis duration) {
    return HoldsFor([&] { return FindTopLevelWindowByClass(lumora.Id(), kDialogClass) == nullptr; }, duration);
  }
  bool ListFileThere() const { return folder.Exists(L"data\\applist.tsv"); }

  std::wstring shortcut_;
};

TEST_F(Installing, AFirstStartAsksBothQuestionsAndYesAndYesInstallsOnce) {
  ASSERT_FALSE(shortcut_.empty()) << "the Startup folder has no path here";
  lumora = StartLumora();
  ASSERT_TRUE(Answer("スタートアップに登録しますか？\r\n(Windows起動時に自動的に起動するようになります。)", IDYES));
  ASSERT_TRUE(Answer("メモ帳や電卓を追加しますか？", IDYES));
  ASSERT_TRUE(WaitUntil([&] { return ListFileThere(); }, 10s));
  EXPECT_EQ(SettingsValue(L"flag", L"installed"), "1");

  const std::optional<Shortcut> link = ReadShortcut(shortcut_);
  ASSERT_TRUE(link.has_value()) << "no readable Lumora5.lnk in the Startup folder";
  EXPECT_EQ(FolderKey(link->target), FolderKey(folder.ProgramPath()));
  EXPECT_EQ(FolderKey(link->workingFolder), FolderKey(folder.Path()));
  EXPECT_EQ(link->arguments, L"");
  EXPECT_EQ(link->showCommand, SW_SHOWNORMAL);

  const ParsedList list = ReadList();
  ASSERT_TRUE(list.problem.empty()) << list.problem;
  ASSERT_EQ(list.rows.size(), 2u);
  EXPECT_EQ(ParsedList::Cell(list.Row("1"), 1), "calc");
  EXPECT_EQ(Utf16FromUtf8(ParsedList::Cell(list.Row("1"), 2)), SystemFolder() + L"calc.exe");
  EXPECT_EQ(ParsedList::Cell(list.Row("1"), 3), "");
  EXPECT_EQ(ParsedList::Cell(list.Row("2"), 1), "notepad");
  EXPECT_EQ(Utf16FromUtf8(ParsedList::Cell(list.Row("2"), 2)), WindowsFolder() + L"notepad.exe");
  EXPECT_EQ(ParsedList::Cell(list.Row("2"), 3), "");

  // Installing again from the menu adds nothing and writes the shortcut again.
  launcher = WaitForLauncher(lumora);
  ASSERT_NE(launcher, nullptr);
  ASSERT_TRUE(DeleteFileW(shortcut_.c_str()));
  Post(launcher, WM_COMMAND, IDM_INSTALL);
  ASSERT_TRUE(Answer("スタートアップに登録しますか？", IDYES));
  ASSERT_TRUE(Answer("メモ帳や電卓を追加しますか？", IDYES));
  ASSERT_TRUE(lumora.WaitForIdle());
  EXPECT_TRUE(WaitUntil([&] { return ReadShortcut(shortcut_).has_value(); }, 5s));
  EXPECT_EQ(ReadList().rows.size(), 2u);
}

TEST_F(Installing, NoAndNoInstallsNothingYetSavesTheList) {
  lumora = StartLumora();
  ASSERT_TRUE(Answer("スタートアップに登録しますか？", IDNO));
  ASSERT_TRUE(Answer("メモ帳や電卓を追加しますか？", IDNO));
  ASSERT_TRUE(WaitUntil([&] { return ListFileThere(); }, 10s)) << "the list was not saved";
  EXPECT_EQ(folder.ReadFile(L"data\\applist.tsv"), std::optional<std::string>(""));
  EXPECT_EQ(GetFileAttributesW(shortcut_.c_str()), INVALID_FILE_ATTRIBUTES);

  // The next start asks nothing.
  launcher = WaitForLauncher(lumora);
  PostClose(launcher);
  ASSERT_EQ(lumora.WaitForExit(), std::optional<DWORD>(0));
  ASSERT_TRUE(StartWithoutSettings());
  EXPECT_TRUE(NoDialogFor(1500ms));
}

TEST_F(Installing, AFolderWithoutDataGetsOneAndSavesTheStarterEntries) {
  ASSERT_TRUE(RemoveDirectoryW(folder.PathOf(L"data").c_str()));
  lumora = StartLumora();
  ASSERT_TRUE(Answer("スタートアップに登録しますか？", IDNO));
  ASSERT_TRUE(Answer("メモ帳や電卓を追加しますか？", IDYES));
  ASSERT_TRUE(WaitUntil([&] { return ListFileThere(); }, 10s)) << "the list was not saved";
  EXPECT_EQ(ReadList().rows.size(), 2u);
  EXPECT_TRUE(NoDialogFor(500ms));
}

TEST_F(Installing, UninstallRemovesTheShortcutSaysSoAndEnds) {
  ASSERT_TRUE(Start());
  folder.WriteFile(L"data\\applist.tsv", ListFileBytes({{"1", "calc", "C:\\windows\\system32\\calc.exe", "", ""}}));
  ASSERT_TRUE(CopyFileW(folder.ProgramPath().c_str(), shortcut_.c_str(), FALSE));  // any file of that name

  // No keeps everything.
  Post(launcher, WM_COMMAND, IDM_UNINSTALL);
  ASSERT_TRUE(Answer("アンインストールしてもよろしいですか？", IDNO));
  EXPECT_TRUE(lumora.IsRunning());
  EXPECT_NE(GetFileAttributesW(shortcut_.c_str()), INVALID_FILE_ATTRIBUTES);

  Post(launcher, WM_COMMAND, IDM_UNINSTALL);
  ASSERT_TRUE(Answer("アンインストールしてもよろしいですか？", IDYES));
  const HWND done = WaitForDialog(lumora.Id(), 10s);
  ASSERT_NE(done, nullptr);
  EXPECT_EQ(DialogMessage(done), L"無事終わりました。");
  EXPECT_FALSE(HasButton(done, IDCANCEL) && HasButton(done, IDNO));
  EXPECT_EQ(GetFileAttributesW(shortcut_.c_str()), INVALID_FILE_ATTRIBUTES);
  PressButton(done, IDOK);
  EXPECT_EQ(lumora.WaitForExit(), std::optional<DWORD>(0));
  EXPECT_TRUE(folder.Exists(L"data\\applist.tsv"));
  EXPECT_EQ(SettingsValue(L"flag", L"installed"), "1");
}

TEST_F(Installing, AShortcutThatCannotBeDeletedIsToldAndTheProgramStays) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(CopyFileW(folder.ProgramPath().c_str(), shortcut_.c_str(), FALSE));
  ASSERT_TRUE(SetFileAttributesW(shortcut_.c_str(), FILE_ATTRIBUTE_READONLY));
  Post(launcher, WM_COMMAND, IDM_UNINSTALL);
  ASSERT_TRUE(Answer("アンインストールしてもよろしいですか？", IDYES));
  const bool told = Answer("を削除できませんでした。", IDOK);
  SetFileAttributesW(shortcut_.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(shortcut_.c_str());
  EXPECT_TRUE(told);
  EXPECT_TRUE(NoDialogFor(500ms));
  EXPECT_TRUE(lumora.IsRunning());
}

TEST_F(Installing, TheVersionMessageAndTheVersionResourceAgree) {
  ASSERT_TRUE(Start());
  Post(launcher, WM_COMMAND, IDM_ABOUT);
  const HWND box = WaitForDialog(lumora.Id(), 10s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(DialogMessage(box), L"[Lumora 5]\r\nVersion 1.015");
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitForDialogToClose(box));

  const std::wstring exe = folder.ProgramPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
  wchar_t* text = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\041103A4\\FileVersion",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_EQ(std::wstring(text), L"1.015");
  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(5, 1));
}

class MemoWindow : public LauncherTest {
 protected:
  HWND Memo() const { return FindTopLevelWindowByClass(lumora.Id(), kMemoClass); }
  // The memo window once it is shown; it is made the first time it opens.
  HWND ShownMemo() const {
    HWND memo = nullptr;
    WaitUntil([&] { return (memo = Memo()) != nullptr && IsVisible(memo); }, 5s);
    return memo != nullptr && IsVisible(memo) ? memo : nullptr;
  }
  HWND MemoBox() const { return FindChild(Memo(), L"Edit"); }
  void RightClickTray() { Post(launcher, kTrayCallback, 1, WM_RBUTTONDOWN); }
  std::optional<std::string> MemoFile() const { return folder.ReadFile(L"data\\memo.txt"); }
};

TEST_F(MemoWindow, TheTrayRightClickOpensItInTheCornerAndTheNoteIsKeptExactly) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  EXPECT_EQ(Memo(), nullptr) << "made at start-up, not when first opened";
  RightClickTray();
  const HWND memo = ShownMemo();
  ASSERT_NE(memo, nullptr);
  EXPECT_TRUE(WaitUntilHidden(5s)) << "the launcher stays up beside the memo window";
  EXPECT_EQ(TextOf(memo), L"簡易メモ");
  const RECT area = WorkArea();
  EXPECT_EQ(WindowRectOf(memo).right, area.right);
  EXPECT_EQ(WindowRectOf(memo).bottom, area.bottom);
  EXPECT_EQ(EditText(MemoBox()), Utf16FromUtf8(kBuiltInNote));

  ASSERT_TRUE(SetText(MemoBox(), L"買い物\r\n牛乳と卵"));
  PostClose(memo);
  ASSERT_TRUE(WaitForVisibility(memo, false, 5s));
  EXPECT_EQ(MemoFile(), std::optional<std::string>(ShiftJis("買い物\r\n牛乳と卵")));

  // Shift and a left click on the tray opens it again, with the note.
  ASSERT_TRUE(SetText(MemoBox(), L""));
  KeyDown(VK_SHIFT);
  // The program reads the key's state at the click: let it be down first,
  // and past Wine's per-thread cache of that state (tens of milliseconds).
  ASSERT_TRUE(WaitUntil([] { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }, 2s));
  Sleep(200);
  Post(launcher, kTrayCallback, 1, WM_LBUTTONDOWN);
  const bool shown = WaitForVisibility(memo, true, 5s);
  KeyUp(VK_SHIFT);
  ASSERT_TRUE(shown);
  EXPECT_FALSE(IsVisible(launcher));
  EXPECT_EQ(EditText(MemoBox()), L"買い物\r\n牛乳と卵");
  // The right click closes it.
  RightClickTray();
  ASSERT_TRUE(WaitForVisibility(memo, false, 5s));
  EXPECT_FALSE(IsVisible(launcher));
}

TEST_F(MemoWindow, TheSettingButtonOpensTheMainMenuAtTheCursorAndClosesTheMemo) {
  ASSERT_TRUE(Start());
  // The memo button of the launcher opens it too.
  ASSERT_TRUE(Show());
  const HWND conf = FindChild(launcher, L"Button", IDC_BTNCONF);
  ASSERT_NE(conf, nullptr);
  EXPECT_TRUE(IsWindowEnabled(conf));
  Post(conf, BM_CLICK);
  const HWND memo = ShownMemo();
  ASSERT_NE(memo, nullptr);
  EXPECT_TRUE(WaitUntilHidden(5s));

  const POINT cursor = MiddleOfWorkArea();
  MoveMouse(cursor);
  HWND setting = nullptr;
  for (HWND button : ChildrenOf(memo, L"Button")) {
    if (TextOf(button) == L"設定(&S)") setting = button;
  }
  ASSERT_NE(setting, nullptr) << DescribeWindowTree(memo);
  Post(setting, BM_CLICK);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    menu = FindTopLevelWindowByClass(lumora.Id(), L"#32768");
    return menu != nullptr && IsVisible(menu);
  }, 5s)) << "no menu came up";
  const RECT at = WindowRectOf(menu);
  EXPECT_LE(std::abs(at.left - cursor.x), 2);
  EXPECT_LE(std::abs(at.top - cursor.y), 2);
  SaveScreenshot(L"menu");
  // The menu belongs to the launcher window: cancelling there closes it.
  Post(launcher, WM_CANCELMODE);
  EXPECT_TRUE(WaitForVisibility(menu, false, 5s));
  EXPECT_TRUE(WaitForVisibility(memo, false, 5s)) << "the memo window stays after the menu";
  EXPECT_EQ(MemoFile(), std::optional<std::string>(ShiftJis(kBuiltInNote)));
}

TEST_F(MemoWindow, AltSPutsTheMainMenuAtItsButtonAndEscapeClosesItSavingTheNote) {
  ASSERT_TRUE(Start());
  MoveMouse(POINT{WorkArea().left + 5, WorkArea().top + 5});
  RightClickTray();
  const HWND memo = ShownMemo();
  ASSERT_NE(memo, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == memo; }, 3s));
  HWND setting = nullptr;
  for (HWND button : ChildrenOf(memo, L"Button")) {
    if (TextOf(button) == L"設定(&S)") setting = button;
  }
  ASSERT_NE(setting, nullptr) << DescribeWindowTree(memo);

  PressKey('S', kAlt);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    menu = FindTopLevelWindowByClass(lumora.Id(), L"#32768");
    return menu != nullptr && IsVisible(menu);
  }, 5s)) << "no menu came up";
  // Beside the button (above it: the memo window sits on the work area's
  // bottom), far from the pointer in the top-left corner.
  const RECT button = WindowRectOf(setting);
  const RECT at = WindowRectOf(menu);
  EXPECT_TRUE(std::abs(at.top - button.bottom) <= 2 || std::abs(at.bottom - button.top) <= 2)
      << "menu " << at.top << ".." << at.bottom << ", button " << button.top << ".." << button.bottom;
  EXPECT_TRUE(at.left <= button.right && at.right >= button.left);
  Post(launcher, WM_CANCELMODE);
  EXPECT_TRUE(WaitForVisibility(menu, false, 5s));
  ASSERT_TRUE(WaitForVisibility(memo, false, 5s));

  RightClickTray();
  ASSERT_NE(ShownMemo(), nullptr);
  ASSERT_TRUE(SetText(MemoBox(), L"エスケープで閉じる"));
  Send(MemoBox(), EM_SETMODIFY, TRUE);  // as typing would: the note read from the file changed
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == memo; }, 3s));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitForVisibility(memo, false, 5s)) << "Escape left the memo window open";
  EXPECT_EQ(MemoFile(), std::optional<std::string>(ShiftJis("エスケープで閉じる")));
}

TEST_F(MemoWindow, ANoteOpenWhenTheQuitCommandRunsIsSaved) {
  ASSERT_TRUE(Start());
  RightClickTray();
  ASSERT_NE(ShownMemo(), nullptr);
  ASSERT_TRUE(SetText(MemoBox(), L"閉じる前に書いたこと"));
  Post(launcher, WM_COMMAND, IDM_COMPLETECLOSE);
  EXPECT_EQ(lumora.WaitForExit(), std::optional<DWORD>(0));
  EXPECT_EQ(MemoFile(), std::optional<std::string>(ShiftJis("閉じる前に書いたこと")));
}

// Memo files whose bytes the edit box would not give back (a zero byte, a
// UTF-16 file with its byte order mark), a long one and one too large to
// show stay as they are when the window is opened and closed unchanged, and
// the program answers all along. A changed note is saved only after the old
// file is kept as "memo.txt.bak", which the user is told once.
TEST_F(MemoWindow, FilesTheBoxCannotKeepStayAsTheyAreAndABigOneNeverStallsTheProgram) {
  using namespace std::string_literals;
  const std::string zero = "first line\r\nsecond\0after\r\n"s + ShiftJis("日本語のメモ") + "\r\nlast";
  const std::wstring wide = L"\xFEFFメモ\r\nnote";
  const std::string utf16(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
  std::string longer, big;
  const std::string line = ShiftJis("大きなメモの一行 with some text 0123456789") + "\r\n";
  while (longer.size() < 200 * 1024) longer += line;
  while (big.size() < 10 * 1024 * 1024) big += line;
  const auto readOnly = [&] { return (GetWindowLongW(MemoBox(), GWL_STYLE) & ES_READONLY) != 0; };
  ASSERT_TRUE(Start());
  for (const std::string* bytes : std::vector<const std::string*>{&zero, &utf16, &longer, &big}) {
    folder.WriteFile(L"data\\memo.txt", *bytes);
    const auto start = std::chrono::steady_clock::now();
    RightClickTray();
    const HWND memo = ShownMemo();
    ASSERT_NE(memo, nullptr) << bytes->size();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << bytes->size();
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(launcher, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer)) << bytes->size();
    if (bytes == &longer) {  // read-only until all of it is in
      EXPECT_TRUE(readOnly());
      EXPECT_TRUE(WaitUntil([&] { return !readOnly(); }, 60s));
      EXPECT_TRUE(EditText(MemoBox()) == Utf16FromAnsi(longer, kShiftJis));
    } else if (bytes == &big) {  // only named
      EXPECT_TRUE(readOnly());
      EXPECT_NE(EditText(MemoBox()).find(L"data\\memo.txt"), std::wstring::npos);
    }
    RightClickTray();
    ASSERT_TRUE(WaitForVisibility(memo, false, 5s));
    EXPECT_TRUE(MemoFile() == *bytes) << bytes->size();
  }
  EXPECT_FALSE(folder.Exists(L"data\\memo.txt.bak"));

  folder.WriteFile(L"data\\memo.txt", zero);
  for (const wchar_t* typed : {L"追記", L"!"}) {
    RightClickTray();
    const HWND memo = ShownMemo();
    ASSERT_NE(memo, nullptr);
    SendChars(MemoBox(), typed);
    const std::wstring note = EditText(MemoBox());
    EXPECT_NE(note.find(L"after"), std::wstring::npos) << "the text after the zero byte is not shown";
    RightClickTray();
    const HWND told = WaitForDialog(lumora.Id(), typed[0] == L'!' ? 500ms : 5s);
    if (typed[0] == L'!') {
      EXPECT_EQ(told, nullptr) << "told again";
    } else {
      ASSERT_NE(told, nullptr) << "the kept file was not told";
      EXPECT_NE(DialogMessage(told).find(L"memo.txt.bak"), std::wstring::npos);
      PressButton(told, IDOK);
    }
    ASSERT_TRUE(WaitForVisibility(memo, false, 5s));
    EXPECT_EQ(MemoFile(), std::optional<std::string>(AnsiFromUtf16(note, kShiftJis)));
    EXPECT_EQ(folder.ReadFile(L"data\\memo.txt.bak"), std::optional<std::string>(zero));
  }
}

class EditInNotepad : public LauncherTest {
 protected:
  void PutEditor() {
    const std::wstring target = folder.PathOf(L"notepad.exe");
    ASSERT_TRUE(CopyFileW(WindowsPathFromAnyPath(LUMORA_LIST_EDITOR).c_str(), target.c_str(), FALSE));
  }
  // Opens the list in the stand-in from the menu and waits until it runs.
  bool OpenEditor() {
    Post(launcher, WM_COMMAND, IDM_LAUNCHEDITNOTE);
    if (!WaitUntil([&] { return folder.Exists(L"notepad.started"); }, 10s)) {
      ADD_FAILURE() << "the list editor did not start";
      return false;
    }
    return true;
  }
  void Order(std::string_view order) { folder.WriteFile(L"notepad.go", order); }
};

TEST_F(EditInNotepad, TheEditedNameShowsWithTheLauncherBackAtTheCursor) {
  PutEditor();
  WriteList({{"1", "old name", "C:\\windows\\system32\\calc.exe", "2", "2026/1/1 9:00:00"},
             {"2", "other", "C:\\windows\\notepad.exe", "", "2026/1/2 9:00:00"}});
  ASSERT_TRUE(Start());
  const POINT cursor = MiddleOfWorkArea();
  ASSERT_TRUE(ShowAt(cursor));
  ASSERT_TRUE(OpenEditor());
  EXPECT_TRUE(WaitUntilHidden(5s)) << "the launcher stays up while Notepad runs";
  Order("replace\nold name\nnew name\n");
  ASSERT_TRUE(WaitForVisibility(launcher, true, 15s)) << "the launcher did not come back";
  EXPECT_TRUE(WaitUntil([&] { return Items() == Utf16Items({"new name", "other"}); }, 5s)) << Describe(Items());
  EXPECT_TRUE(WaitUntil([&] { return FocusedWindow() == edit; }, 5s)) << "the command line lacks the focus";
  const RECT rect = WindowRectOf(launcher);
  EXPECT_EQ(rect.left, cursor.x);
  EXPECT_EQ(rect.top, cursor.y - (rect.bottom - rect.top) / 2);
}

TEST_F(EditInNotepad, AListFileDeletedMeanwhileLeavesTheListAndTheNextSaveWritesIt) {
  PutEditor();
  WriteList({{"1", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/1/1 9:00:00"},
             {"2", "other", "C:\\windows\\notepad.exe", "", "2026/1/2 9:00:00"}});
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  ASSERT_TRUE(OpenEditor());
  Order("delete\n");
  const HWND told = WaitForDialog(lumora.Id(), 15s);
  ASSERT_NE(told, nullptr) << "the failed reload was not told";
  EXPECT_NE(DialogMessage(told).find(L"applist.tsv"), std::wstring::npos) << Utf8FromUtf16(DialogMessage(told));
  EXPECT_FALSE(folder.Exists(L"data\\applist.tsv"));
  PressButton(told, IDOK);
  ASSERT_TRUE(WaitForDialogToClose(told));
  ASSERT_TRUE(WaitForVisibility(launcher, true, 10s)) << "the launcher did not come back";
  EXPECT_EQ(Items(), Utf16Items({"calc", "other"})) << Describe(Items());

  // The next save writes the whole list again: the install command saves
  // whatever the answers.
  Post(launcher, WM_COMMAND, IDM_INSTALL);
  for (int question = 0; question < 2; ++question) {
    const HWND box = WaitForDialog(lumora.Id(), 10s);
    ASSERT_NE(box, nullptr) << "install question " << question;
    PressButton(box, IDNO);
    ASSERT_TRUE(WaitForDialogToClose(box));
  }
  ASSERT_TRUE(WaitUntil([&] { return folder.Exists(L"data\\applist.tsv"); }, 5s));
  const ParsedList list = ReadList();
  ASSERT_TRUE(list.problem.empty()) << list.problem;
  EXPECT_EQ(list.rows.size(), 2u);
  EXPECT_EQ(ParsedList::Cell(list.Row("1"), 1), "calc");
  EXPECT_EQ(ParsedList::Cell(list.Row("2"), 1), "other");
}

TEST_F(EditInNotepad, TheQuitCommandWhileNotepadRunsEndsTheProgramAtOnce) {
  PutEditor();
  WriteList({{"1", "calc", "C:\\windows\\system32\\calc.exe", "", "2026/1/1 9:00:00"}});
  const auto before = folder.ReadFile(L"data\\applist.tsv");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(OpenEditor());
  Post(launcher, WM_COMMAND, IDM_COMPLETECLOSE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(launcher); }, 5s)) << "the quit command did not close the window";
  // No windowless process waits for Notepad, holding the folder.
  EXPECT_EQ(lumora.WaitForExit(10s), std::optional<DWORD>(0)) << "the program waits for Notepad, or crashed";
  Order("replace\ncalc\nrenamed\n");
  // Notepad's save stands.
  EXPECT_TRUE(WaitUntil([&] { return folder.ReadFile(L"data\\applist.tsv") != before; }, 10s));
}

}  // namespace
}  // namespace lumora::e2e
