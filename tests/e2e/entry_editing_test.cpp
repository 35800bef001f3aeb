// Adding, editing and removing entries in the real program, driven from
// outside: the property dialog from the entry menu (a right click, then the
// keyboard in the menu) on a selected row and below the last row, and from
// "アイテムの追加"; deleting (a click on the menu item) with its question; the
// removal of entries whose files are gone; and real file drops, whose
// DROPFILES block is written into the program's own memory and posted to the
// list box as the drop handle.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "editing/prop_ids.h"
#include "launcher_fixture.h"

namespace lumora::e2e {
namespace {

constexpr std::wstring_view kMenuClass = L"#32768";
constexpr std::wstring_view kPropClass = L"TfrmProp";

class EntryEditing : public LauncherTest {
 protected:
  // The program's shown popup menu window, or null.
  HWND ShownMenu() const {
    for (HWND w : TopLevelWindowsOf(lumora.Id())) {
      if (ClassNameOf(w) == kMenuClass && IsVisible(w)) return w;
    }
    return nullptr;
  }
  // The entry menu of the row at index (or below the last row for -1),
  // opened by a right click; then the keys given, or a click on the item at
  // clickItem (its four items are equally high).
  bool ChooseFromEntryMenu(int index, std::initializer_list<WORD> keys, int clickItem = -1) {
    POINT at{};
    if (index >= 0) {
      at = CenterOf(ListBox(list).ItemRectOnScreen(index));
    } else {
      const RECT client = ClientRectOnScreen(list);
      at = POINT{(client.left + client.right) / 2, client.bottom - 3};
    }
    HWND menu = nullptr;
    // Wine now and then lets a click right after a message box or a menu
    // closed go by (seen twice in many full runs, never alone): one more
    // right click when no menu came.
    for (int attempt = 0; attempt < 2 && menu == nullptr; ++attempt) {
      if (ShownMenu() == nullptr) ClickAt(at, MouseButton::kRight);
      WaitUntil([&] { return (menu = ShownMenu()) != nullptr; }, 3s);
    }
    if (menu == nullptr) {
      ADD_FAILURE() << "the entry menu did not open; the launcher " << (IsVisible(launcher) ? "is shown" : "is hidden")
                    << ", foreground " << static_cast<void*>(GetForegroundWindow());
      return false;
    }
    for (WORD key : keys) PressKey(key);
    if (clickItem >= 0) {
      // Wine's menu now and then lets a click that comes the moment it
      // opens go by (seen once in many runs): the item is clicked again
      // while the menu is still there.
      for (int attempt = 0; attempt < 3; ++attempt) {
        if (ShownMenu() != menu) break;  // closed: never click what lies under it
        const RECT items = ClientRectOnScreen(menu);
        const int height = (items.bottom - items.top) / 4;
        ClickAt(POINT{(items.left + items.right) / 2, items.top + height * clickItem + height / 2});
        if (WaitUntil([&] { return ShownMenu() == nullptr; }, 1500ms)) return true;
      }
    }
    return WaitUntil([&] { return ShownMenu() == nullptr; }, 5s);
  }
  // The property dialog once it is shown, or null.
  HWND WaitForProp() {
    HWND prop = nullptr;
    WaitUntil(
        [&] {
          prop = FindTopLevelWindowByClass(lumora.Id(), kPropClass);
          return IsVisible(prop);
        },
        5s);
    return IsVisible(prop) ? prop : nullptr;
  }
  static HWND Box(HWND prop, int id) { return GetDlgItem(prop, id); }
  // Waits until the list file parses and the predicate holds for it.
  std::optional<ParsedList> WaitForList(const std::function<bool(const ParsedList&)>& done, Millis timeout = 5s) {
    std::optional<ParsedList> got;
    WaitUntil(
        [&] {
          ParsedList parsed = ReadList();
          if (!parsed.problem.empty() || !done(parsed)) return false;
          got = std::move(parsed);
          return true;
        },
        timeout);
    return got;
  }
  // Answers the program's next message box with the button; its text.
  std::wstring Answer(int button) {
    const HWND box = WaitForDialog(lumora.Id());
    if (!box) {
      ADD_FAILURE() << "no message box came";
      return {};
    }
    const std::wstring text = DialogMessage(box);
    PressButton(box, button);
    WaitForDialogToClose(box);
    // The box disabled its owner, the launcher window, which takes clicks
    // again once it is enabled.
    WaitUntil([&] { return IsWindowEnabled(launcher) != FALSE; }, 5s);
    return text;
  }

  // A real drop: the DROPFILES block (wide names, double NUL at the end)
  // written into the program's memory and posted to the list box as the
  // drop handle.
  bool DropFiles(const std::vector<std::wstring>& files) {
    std::vector<wchar_t> names;
    for (const std::wstring& f : files) {
      names.insert(names.end(), f.begin(), f.end());
      names.push_back(L'\0');
    }
    names.push_back(L'\0');
    std::vector<char> block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.pt = POINT{10, 10};
    header.fWide = TRUE;
    memcpy(block.data(), &header, sizeof header);
    memcpy(block.data() + sizeof header, names.data(), names.size() * sizeof(wchar_t));
    void* remote = VirtualAllocEx(lumora.Handle(), nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) {
      ADD_FAILURE() << "VirtualAllocEx failed, error " << GetLastError();
      return false;
    }
    SIZE_T written = 0;
    if (!WriteProcessMemory(lumora.Handle(), remote, block.data(), block.size(), &written) ||
        written != block.size()) {
      ADD_FAILURE() << "WriteProcessMemory failed, error " << GetLastError();
      return false;
    }
    return Post(list, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
  }

  // A shell link to target, made with the shell link object.
  static bool MakeShortcut(const std::wstring& link, const std::wstring& target) {
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink)))) {
      return false;
    }
    bool saved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->SetPath(target.c_str())) &&
        SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      saved = SUCCEEDED(file->Save(link.c_str(), TRUE));
      file->Release();
    }
    shellLink->Release();
    return saved;
  }

  static bool TimeIsNow(const std::string& cell) {
    const std::optional<long long> seconds = TimeCellSeconds(cell);
    return seconds && *seconds <= NowSeconds() + 1 && *seconds >= NowSeconds() - 120;
  }

  void WriteThree() {
    WriteList({{"1", "メモ帳", "C:\\windows\\notepad.exe", "5", "2026/1/3 10:00:00"},
               {"7", "電卓", "calc.exe", "2", "2026/1/5 10:00:00"},
               {"3", "apple", "C:\\windows", "9", "2026/1/7 10:00:00"}});
  }
};

TEST_F(EntryEditing, TheEntryMenuEditsTheSelectedEntryKeepingIdAndCount) {
  WriteThree();
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  ASSERT_EQ(Items(), Utf16Items({"メモ帳", "電卓", "apple"}));
  ASSERT_TRUE(ChooseFromEntryMenu(1, {'C'}));  // 編集(&C)
  const HWND prop = WaitForProp();
  ASSERT_NE(prop, nullptr);
  EXPECT_EQ(TextOf(prop), L"Property");
  EXPECT_EQ(TextOf(Box(prop, IDC_PROP_EDTNAME)), Utf16FromUtf8("電卓"));
  EXPECT_EQ(TextOf(Box(prop, IDC_PROP_EDTFILE)), L"calc.exe");
  EXPECT_EQ(TextOf(Box(prop, IDC_PROP_EDTDATE)), L"2026/1/5 10:00:00");

  SetText(Box(prop, IDC_PROP_EDTNAME), Utf16FromUtf8("電卓２"));
  SetText(Box(prop, IDC_PROP_EDTFILE), L"C:\\windows\\system32\\calc.exe");
  SetText(Box(prop, IDC_PROP_EDTDATE), L"2026/2/1 8:00:00");
  ASSERT_TRUE(PressButton(prop, IDC_PROP_BTNOK));
  EXPECT_TRUE(WaitForVisibility(prop, false));
  const auto parsed = WaitForList([](const ParsedList& l) { return ParsedList::Cell(l.Row("7"), 1) == "電卓２"; });
  ASSERT_TRUE(parsed) << ReadList().problem;
  ASSERT_EQ(parsed->rows.size(), 3u);
  EXPECT_EQ(parsed->rows[1], (std::vector<std::string>{"7", "電卓２", "C:\\windows\\system32\\calc.exe", "2",
                                                       "2026/2/1 8:00:00"}));
}

TEST_F(EntryEditing, DownThenShiftF10OpensTheEntryMenuAtTheRowAndEditsItWithoutTheMouse) {
  WriteThree();
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  PressKey(VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return FocusedWindow() == list && Selection() == 2; }, 3s));
  PressKey(VK_F10, kShift);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (menu = ShownMenu()) != nullptr; }, 3s)) << "no entry menu came";
  // Below the selected row, starting at its left edge; not at the pointer.
  const RECT row = ListBox(list).ItemRectOnScreen(2);
  const RECT at = WindowRectOf(menu);
  EXPECT_LE(std::abs(at.left - row.left), 2);
  EXPECT_TRUE(std::abs(at.top - row.bottom) <= 2 || std::abs(at.bottom - row.top) <= 2)
      << "menu " << at.top << ".." << at.bottom << ", row " << row.top << ".." << row.bottom;
  PressKey('C');  // 編集(&C)
  const HWND prop = WaitForProp();
  ASSERT_NE(prop, nullptr);
  EXPECT_EQ(TextOf(Box(prop, IDC_PROP_EDTNAME)), L"apple");
  EXPECT_EQ(TextOf(Box(prop, IDC_PROP_EDTFILE)), L"C:\\windows");
}

TEST_F(EntryEditing, BelowTheLastRowAndTheAddCommandAppendWithTheNextId) {
  WriteThree();
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  ASSERT_TRUE(ChooseFromEntryMenu(-1, {'C'}));
  HWND prop = WaitForProp();
  ASSERT_NE(prop, nullptr);
  EXPECT_EQ(TextOf(Box(prop, IDC_PROP_EDTNAME)), L"");
  EXPECT_EQ(TextOf(Box(prop, IDC_PROP_EDTFILE)), L"");
  const std::string shown = Utf8FromUtf16(TextOf(Box(prop, IDC_PROP_EDTDATE)));
  EXPECT_TRUE(TimeIsNow(shown)) << shown;
  SetText(Box(prop, IDC_PROP_EDTNAME), L"Wiki");
  SetText(Box(prop, IDC_PROP_EDTFILE), L"https://example.com/wiki");
  ASSERT_TRUE(PressButton(prop, IDC_PROP_BTNOK));
  auto parsed = WaitForList([](const ParsedList& l) { return l.rows.size() == 4; });
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->rows[3], (std::vector<std::string>{"8", "Wiki", "https://example.com/wiki", "", shown}));

  // "アイテムの追加" of the main menu: the same empty dialog.
  ASSERT_TRUE(Post(launcher, WM_COMMAND, IDM_ADDITEM, 0));
  prop = WaitForProp();
  ASSERT_NE(prop, nullptr);
  EXPECT_EQ(TextOf(Box(prop, IDC_PROP_EDTNAME)), L"");
  SetText(Box(prop, IDC_PROP_EDTNAME), L"Second");
  ASSERT_TRUE(PressButton(prop, IDC_PROP_BTNOK));
  parsed = WaitForList([](const ParsedList& l) { return l.rows.size() == 5; });
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->rows[4][0], "9");
  EXPECT_EQ(parsed->rows[4][1], "Second");
  EXPECT_EQ(parsed->rows[4][3], "");
  EXPECT_TRUE(TimeIsNow(parsed->rows[4][4])) << parsed->rows[4][4];
}

TEST_F(EntryEditing, DeleteAsksNoKeepsTheFileYesRemovesTheRow) {
  WriteThree();
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());
  const std::optional<std::string> before = folder.ReadFile(L"data\\applist.tsv");
  ASSERT_TRUE(ChooseFromEntryMenu(2, {}, 1));  // 削除
  EXPECT_EQ(Answer(IDNO), Utf16FromUtf8("以下のファイルを削除しますか？\r\napple\r\nC:\\windows"));
  EXPECT_TRUE(HoldsFor([&] { return folder.ReadFile(L"data\\applist.tsv") == before; }, 300ms));
  EXPECT_EQ(Items().size(), 3u);

  // The third item (apple) is store row 2; then メモ帳 (item 0, store row 0).
  ASSERT_TRUE(ChooseFromEntryMenu(2, {}, 1));
  Answer(IDYES);
  ASSERT_TRUE(WaitForList([](const ParsedList& l) { return l.rows.size() == 2; }));
  EXPECT_EQ(Items(), Utf16Items({"メモ帳", "電卓"}));
  EXPECT_EQ(Selection(), 1);  // store row 2 is past the list: the last stays
  ASSERT_TRUE(ChooseFromEntryMenu(0, {}, 1));
  Answer(IDYES);
  ASSERT_TRUE(WaitForList([](const ParsedList& l) { return l.rows.size() == 1; }));
  EXPECT_EQ(Items(), Utf16Items({"電卓"}));
  EXPECT_EQ(Selection(), 0);  // store row 0
}

TEST_F(EntryEditing, RemovalOfMissingFilesAsksPerDriveTargetInStoreOrder) {
  WriteList({{"1", "gone", "Q:\\Games\\x.exe", "", ""},
             {"2", "web", "https://example.com/", "", ""},
             {"3", "calc", "calc.exe", "", ""},
             {"4", "share", "\\\\server\\share\\a.exe", "", ""},
             {"5", "here", "C:\\windows\\notepad.exe", "", ""},
             {"6", "gone too", "C:\\no\\such\\file.txt", "", ""}});
  ASSERT_TRUE(Start());
  // The file goes behind the program's back: the command writes its list.
  ASSERT_TRUE(DeleteFileW(folder.PathOf(L"data\\applist.tsv").c_str()));
  ASSERT_TRUE(Post(launcher, WM_COMMAND, IDM_CHECKANDREMOVE, 0));
  EXPECT_EQ(Answer(IDYES), Utf16FromUtf8("以下のファイルは存在しません。削除してもよろしいですか？\r\ngone\r\nQ:\\Games\\x.exe"));
  EXPECT_EQ(Answer(IDNO),
            Utf16FromUtf8("以下のファイルは存在しません。削除してもよろしいですか？\r\ngone too\r\nC:\\no\\such\\file.txt"));
  const auto parsed = WaitForList([](const ParsedList& l) { return l.rows.size() == 5; });
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->rows[0][1], "web");
  EXPECT_EQ(parsed->rows[4][1], "gone too");
  EXPECT_EQ(WaitForDialog(lumora.Id(), 300ms), nullptr) << "a question too many";

  // Every answer No: saved all the same.
  ASSERT_TRUE(DeleteFileW(folder.PathOf(L"data\\applist.tsv").c_str()));
  ASSERT_TRUE(Post(launcher, WM_COMMAND, IDM_CHECKANDREMOVE, 0));
  Answer(IDNO);
  EXPECT_TRUE(WaitForList([](const ParsedList& l) { return l.rows.size() == 5; }));
}

TEST_F(EntryEditing, RealDropsAddEntriesWholeNamedByTheirRules) {
  WriteList({{"1", "メモ帳", "C:\\windows\\notepad.exe", "5", "2026/1/3 10:00:00"},
             {"12", "電卓", "calc.exe", "2", "2026/1/5 10:00:00"}});
  folder.WriteFile(L"files\\a.txt", "a");
  folder.WriteFile(Utf16FromUtf8("files\\日本語メモ.txt"), "b");
  folder.WriteFile(L"files\\Memo.Backup.txt", "c");
  folder.MakeFolder(L"files\\Tool.Box");
  ASSERT_TRUE(Start());
  const std::wstring files = folder.PathOf(L"files\\");

  // Three files in one drop: consecutive IDs after the largest, the last row selected.
  ASSERT_TRUE(DropFiles({files + L"a.txt", files + Utf16FromUtf8("日本語メモ.txt"), files + L"Memo.Backup.txt"}));
  auto parsed = WaitForList([](const ParsedList& l) { return l.rows.size() == 5; });
  ASSERT_TRUE(parsed) << ReadList().problem;
  const std::string base = Utf8FromUtf16(files);
  EXPECT_EQ(parsed->rows[2][0], "13");
  EXPECT_EQ(parsed->rows[2][1], "a");
  EXPECT_EQ(parsed->rows[3][0], "14");
  EXPECT_EQ(parsed->rows[3][1], "日本語メモ");
  EXPECT_EQ(parsed->rows[3][2], base + "日本語メモ.txt");
  EXPECT_EQ(parsed->rows[4][0], "15");
  EXPECT_EQ(parsed->rows[4][1], "Memo.Backup");
  EXPECT_EQ(parsed->rows[4][3], "1");
  EXPECT_TRUE(TimeIsNow(parsed->rows[4][4])) << parsed->rows[4][4];
  EXPECT_EQ(Selection(), ListBox(list).Count() - 1);

  // A folder, a shortcut and a path of 300 bytes.
  {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(MakeShortcut(files + L"Editor.LNK", files + L"Memo.Backup.txt"));
    if (SUCCEEDED(com)) CoUninitialize();
  }
  std::wstring longPath = L"C:\\";
  while (longPath.size() < 292) longPath += L"abcdefghij\\";
  longPath += L"long.txt";
  longPath.resize(300 - 4);
  longPath += L".txt";
  ASSERT_EQ(longPath.size(), 300u);
  ASSERT_TRUE(DropFiles({files + L"Tool.Box", files + L"Editor.LNK", longPath}));
  parsed = WaitForList([](const ParsedList& l) { return l.rows.size() == 8; });
  ASSERT_TRUE(parsed) << ReadList().problem;
  EXPECT_EQ(parsed->rows[5][1], "Tool.Box");
  EXPECT_EQ(parsed->rows[5][2], base + "Tool.Box");
  EXPECT_EQ(parsed->rows[6][1], "Memo.Backup");
  EXPECT_EQ(parsed->rows[6][2], base + "Memo.Backup.txt");
  EXPECT_EQ(parsed->rows[7][2], Utf8FromUtf16(longPath));
  // Every line has seven fields, the last two empty.
  for (const auto& row : parsed->rows) {
    ASSERT_EQ(row.size(), 7u);
    EXPECT_EQ(row[5], "");
    EXPECT_EQ(row[6], "");
  }

  // A drop that fails half-way keeps what it added and names the file it left out.
  folder.WriteFile(L"files\\Broken.lnk", "not a link");
  ASSERT_TRUE(DropFiles({files + L"a.txt", files + L"Broken.lnk", files + L"Memo.Backup.txt"}));
  const std::wstring message = Answer(IDOK);
  EXPECT_NE(message.find(files + L"Broken.lnk"), std::wstring::npos) << Utf8FromUtf16(message);
  parsed = WaitForList([](const ParsedList& l) { return l.rows.size() == 10; });
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->rows[8][1], "a");
  EXPECT_EQ(parsed->rows[9][1], "Memo.Backup");
}

}  // namespace
}  // namespace lumora::e2e
