// Entry editing in this process: the drop target TFileDrop on a window of
// its own (attach, accept, detach, the drop read whole and always finished),
// shell link targets, and the launcher window's drop and property dialog
// over a program folder of its own. Deleting and the removal of missing
// files are shown end to end (tests/e2e/entry_editing_test.cpp).
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/frmLumoraU_win.h"
#include "app/resource_ids.h"
#include "editing/NewCtrls_win.h"
#include "editing/entry_editor_win.h"
#include "editing/frmPropU_win.h"
#include "editing/prop_ids.h"
#include "platform/error.h"
#include "platform/error_report_win.h"
#include "platform/handles_win.h"
#include "platform/text_platform.h"
#include "platform/unicode_win.h"
#include "shell/gui_benri_win.h"
#include "win/shell_test_support.h"

namespace lumora {
namespace {

using test::DialogRobot;
using test::ReadFileBytes;
using test::TempFolder;

// A drop handle as the shell makes it: DROPFILES, wide names, double NUL.
HGLOBAL MakeDrop(const std::vector<std::wstring>& files, POINT point) {
  std::size_t chars = 1;
  for (const std::wstring& f : files) chars += f.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = point;
  drop->fWide = TRUE;
  auto* name = reinterpret_cast<wchar_t*>(drop + 1);
  for (const std::wstring& f : files) {
    std::copy(f.begin(), f.end(), name);
    name += f.size() + 1;
  }
  GlobalUnlock(memory);
  return memory;
}

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 7) return 4711;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class FileDropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LumoraDropTarget";
    RegisterClassW(&windowClass);
    window_.reset(CreateWindowExW(0, L"LumoraDropTarget", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(window_);
  }
  bool AcceptsFiles() const { return (GetWindowLongPtrW(window_.get(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }
  WNDPROC Proc() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window_.get(), GWLP_WNDPROC)); }

  platform::WindowHandle window_;
  std::vector<std::string> errors_;
  platform::ScopedErrorReportHook hook_{[this](HWND, const std::string& text) { errors_.push_back(text); }};
};

TEST_F(FileDropTest, AttachAcceptsDetachPutsTheProcedureBack) {
  auto drop = std::make_unique<TFileDrop>();
  EXPECT_TRUE(drop->Accept());
  drop->SetControl(window_.get());
  EXPECT_EQ(drop->Control(), window_.get());
  EXPECT_NE(Proc(), &CountingProc);
  EXPECT_TRUE(AcceptsFiles());
  // Every other message reaches the window's own procedure.
  EXPECT_EQ(SendMessageW(window_.get(), WM_USER + 7, 0, 0), 4711);

  drop->SetAccept(false);
  EXPECT_FALSE(AcceptsFiles());
  drop->SetAccept(true);
  EXPECT_TRUE(AcceptsFiles());

  drop.reset();
  EXPECT_EQ(Proc(), &CountingProc);
  EXPECT_FALSE(AcceptsFiles());

  EXPECT_THROW(TFileDrop().SetControl(reinterpret_cast<HWND>(0x7ff0)), AppError);
}

// Another program's subclass on top of the drop's: answers WM_USER + 8 itself.
WNDPROC procBelowOther = nullptr;

LRESULT CALLBACK OtherSubclassProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 8) return 99;
  return CallWindowProcW(procBelowOther, h, m, w, l);
}

TEST_F(FileDropTest, DetachUnderAnotherSubclassLeavesItsChainWhole) {
  auto drop = std::make_unique<TFileDrop>();
  int drops = 0;
  drop->OnFileDrop = [&](TFileDrop&, int, const std::vector<std::wstring>&, int, int) { ++drops; };
  drop->SetControl(window_.get());
  // Someone subclasses the window on top of ours.
  procBelowOther = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OtherSubclassProc)));
  drop.reset();
  EXPECT_EQ(SendMessageW(window_.get(), WM_USER + 8, 0, 0), 99);
  EXPECT_EQ(SendMessageW(window_.get(), WM_USER + 7, 0, 0), 4711);
  // A drop that still arrives is no longer ours: the window's own procedure gets it.
  HGLOBAL memory = MakeDrop({L"C:\\a.txt"}, POINT{1, 2});
  SendMessageW(window_.get(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  EXPECT_EQ(drops, 0);
  GlobalFree(memory);
}

TEST_F(FileDropTest, DestroyedWindowLetsGoOfTheObject) {
  TFileDrop drop;
  drop.SetControl(window_.get());
  window_.reset();
  EXPECT_EQ(drop.Control(), nullptr);
  EXPECT_FALSE(drop.Accept());
}

TEST_F(FileDropTest, DropReportsEveryPathWholeAndIsFinishedEvenWhenTheHandlerFails) {
  TFileDrop drop;
  drop.SetControl(window_.get());
  std::vector<std::wstring> got;
  int num = 0;
  POINT at{};
  drop.OnFileDrop = [&](TFileDrop& sender, int n, const std::vector<std::wstring>& files, int x, int y) {
    EXPECT_EQ(&sender, &drop);
    num = n;
    got = files;
    at = POINT{x, y};
  };
  const std::wstring longPath = L"C:\\" + std::wstring(290, L'x') + L"\\end.txt";
  const std::vector<std::wstring> files{L"C:\\a b\\メモ.txt", longPath, L"D:\\Tools"};
  HGLOBAL memory = MakeDrop(files, POINT{12, 34});
  EXPECT_EQ(SendMessageW(window_.get(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0), 0);
  EXPECT_EQ(num, 3);
  EXPECT_EQ(got, files);
  EXPECT_EQ(at.x, 12);
  EXPECT_EQ(at.y, 34);
  EXPECT_EQ(GlobalSize(memory), 0u);  // finished: the shell's memory is freed

  drop.OnFileDrop = [](TFileDrop&, int, const std::vector<std::wstring>&, int, int) { throw AppError("drop failed"); };
  memory = MakeDrop({L"C:\\a.txt"}, POINT{});
  SendMessageW(window_.get(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  EXPECT_EQ(errors_, std::vector<std::string>{"drop failed"});
  EXPECT_EQ(GlobalSize(memory), 0u);

  drop.OnFileDrop = nullptr;  // no handler: still finished
  memory = MakeDrop({L"C:\\a.txt"}, POINT{});
  SendMessageW(window_.get(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  EXPECT_EQ(GlobalSize(memory), 0u);
  EXPECT_EQ(SendMessageW(window_.get(), WM_USER + 7, 0, 0), 4711);
}

TEST(ShortcutTargetTest, LongPathOfTheTargetOrEmpty) {
  const platform::ComScope com;
  const TempFolder folder("lnk");
  const std::string target = folder.path() + "Long Folder Name\\Target File.txt";
  ASSERT_TRUE(CreateDirectoryA((folder.path() + "Long Folder Name").c_str(), nullptr));
  { platform::FileHandle file(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)); }
  char shortTarget[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(target.c_str(), shortTarget, MAX_PATH), 0u);
  char longTarget[MAX_PATH] = {};
  ASSERT_GT(GetLongPathNameA(target.c_str(), longTarget, MAX_PATH), 0u);

  const std::string link = folder.path() + "Editor.LNK";
  ASSERT_TRUE(CreateShortcut(link, shortTarget, "", ShortcutWindow::kNormal, ""));
  EXPECT_EQ(GetShortcutTarget(platform::AnsiToWide(link)), platform::AnsiToWide(longTarget));

  const std::string junk = folder.path() + "junk.lnk";
  {
    platform::FileHandle file(CreateFileA(junk.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), "not a link", 10, &written, nullptr);
  }
  EXPECT_EQ(GetShortcutTarget(platform::AnsiToWide(junk)), L"");
  EXPECT_EQ(GetShortcutTarget(platform::AnsiToWide(folder.path() + "missing.lnk")), L"");
}

TEST(PropFontTest, InstalledFacesAreFound) {
  EXPECT_FALSE(FontFaceInstalled(L"No Such Face Lumora"));
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  EXPECT_TRUE(FontFaceInstalled(metrics.lfMessageFont.lfFaceName)) << platform::WideToUtf8(metrics.lfMessageFont.lfFaceName);
}

// --- the launcher window's editing -------------------------------------------------

std::string TimeText(int year, int month, int day) {
  platform::LocalTime time{year, month, day, 10, 0, 0, 0};
  return platform::Text().DateTimeText(time);
}

class EditingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateDirectoryA((folder_.path() + "data").c_str(), nullptr));
    WritePrivateProfileStringA("flag", "installed", "1", (folder_.path() + "Lumora.ini").c_str());
  }
  void TearDown() override {
    launcher_.reset();
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
  // Rows of UTF-8 cells, stored as ANSI with tabs and CR LF.
  void WriteList(const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    for (const auto& row : rows) {
      for (std::size_t i = 0; i < row.size(); ++i) {
        if (i) text += '\t';
        text += platform::Utf8ToAnsi(row[i]);
      }
      text += "\r\n";
    }
    WriteBytes(ListPath(), text);
  }
  static void WriteBytes(const std::string& path, const std::string& bytes) {
    platform::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  // Time order: メモ帳 (1), 電卓 (2), apple (3).
  void WriteThreeEntries() {
    WriteList({{"1", "メモ帳", "C:\\windows\\notepad.exe", "5", TimeText(2026, 1, 3)},
               {"2", "電卓", "calc.exe", "1", TimeText(2026, 1, 5)},
               {"3", "apple", "Z:\\no\\such\\apple.txt", "9", TimeText(2026, 1, 7)}});
  }
  TfrmLumora& Start() {
    launcher_ = std::make_unique<TfrmLumora>();
    launcher_->UseProgramFolder(folder_.path());
    launcher_->CreateForm();
    return *launcher_;
  }
  std::string ListPath() const { return folder_.path() + "data\\applist.tsv"; }
  std::string ListText() const { return platform::AnsiToUtf8(ReadFileBytes(ListPath())); }
  int Selection() const { return static_cast<int>(SendMessageW(launcher_->ListBox(), LB_GETCURSEL, 0, 0)); }
  void Select(int index) { SendMessageW(launcher_->ListBox(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
  void Drop(const std::vector<std::wstring>& files) {
    SendMessageW(launcher_->ListBox(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(files, POINT{5, 5})), 0);
  }
  HWND Prop() const { return launcher_->Editor()->Prop().Handle(); }
  HWND PropItem(int id) const { return GetDlgItem(Prop(), id); }
  std::wstring PropText(int id) const { return test::WindowText(PropItem(id)); }
  void Key(HWND control, WPARAM key) { SendMessageW(control, WM_KEYDOWN, key, 0); }

  TempFolder folder_{"edit"};
  std::unique_ptr<TfrmLumora> launcher_;
  std::vector<std::string> errors_;
  platform::ScopedErrorReportHook hook_{[this](HWND, const std::string& text) { errors_.push_back(text); }};
};

TEST_F(EditingTest, DropAddsWhatItCanAndNamesTheFilesItLeftOut) {
  WriteThreeEntries();
  Start();
  const std::string good = folder_.path() + "Memo.Backup.txt";
  WriteBytes(good, "x");
  const std::string junk = folder_.path() + "Broken.lnk";
  WriteBytes(junk, "not a link");
  const std::wstring foreign = platform::AnsiToWide(folder_.path()) + L"\xD55C\xAE00.txt";  // 한글
  std::wstring warning;
  DialogRobot robot({[&](HWND box) {
    warning = test::StaticTexts(box);
    test::PressButton(box, IDOK);
  }});
  Drop({platform::AnsiToWide(good), platform::AnsiToWide(junk), foreign});
  EXPECT_EQ(robot.Finish(), 1);
  EXPECT_TRUE(errors_.empty());
  EXPECT_NE(warning.find(L"以下のファイルは追加できませんでした。"), std::wstring::npos);
  EXPECT_NE(warning.find(platform::AnsiToWide(junk)), std::wstring::npos);
  EXPECT_NE(warning.find(foreign), std::wstring::npos);
  EXPECT_EQ(warning.find(L"Memo.Backup"), std::wstring::npos);

  // An empty path (no drop block holds one, but a handler may be given one)
  // is left out the same way; the folder after it is added.
  std::wstring second;
  DialogRobot robot2({[&](HWND box) {
    second = test::StaticTexts(box);
    test::PressButton(box, IDOK);
  }});
  TFileDrop& drop = launcher_->Editor()->fileDrop;
  launcher_->fileDropFileDrop(drop, 2, {L"", platform::AnsiToWide(folder_.path() + "data")}, 0, 0);
  EXPECT_EQ(robot2.Finish(), 1);
  EXPECT_NE(second.find(L"パスが空です"), std::wstring::npos);
  const std::string text = ListText();
  EXPECT_NE(text.find("4\tMemo.Backup\t" + good + "\t1\t"), std::string::npos) << text;
  EXPECT_NE(text.find("5\tdata\t" + folder_.path() + "data\t1\t"), std::string::npos) << text;
  EXPECT_EQ(Selection(), 4);
}

TEST_F(EditingTest, ADropOfManyNamesLeftOutNamesTwentyAndCountsTheRest) {
  Start();
  std::vector<std::wstring> foreign;
  for (int i = 0; i < 1500; ++i) foreign.push_back(L"C:\\\xD55C" + std::to_wstring(i) + L".txt");
  std::wstring warning;
  DialogRobot robot({[&](HWND box) {
    warning = test::StaticTexts(box);
    test::PressButton(box, IDOK);
  }});
  Drop(foreign);
  EXPECT_EQ(robot.Finish(), 1);
  EXPECT_NE(warning.find(foreign[19] + L"\r\n"), std::wstring::npos) << platform::WideToUtf8(warning);
  EXPECT_EQ(warning.find(foreign[20] + L"\r\n"), std::wstring::npos);
  EXPECT_NE(warning.find(L"ほかに 1480 個のファイルも追加できませんでした。"), std::wstring::npos);
}

TEST_F(EditingTest, DropOntoAListThatCouldNotBeReadIsRefusedWithTheReason) {
  WriteThreeEntries();
  const std::string original = ReadFileBytes(ListPath());
  // Held open without sharing, the file cannot be read at start-up.
  {
    platform::FileHandle lock(CreateFileA(ListPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    Start();
  }
  errors_.clear();
  Drop({platform::AnsiToWide(folder_.path() + "data")});
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_NE(errors_[0].find("上書き保存しません"), std::string::npos) << errors_[0];
  EXPECT_NE(errors_[0].find("追加していません"), std::string::npos) << errors_[0];
  EXPECT_EQ(ReadFileBytes(ListPath()), original);
}

TEST_F(EditingTest, PropertyDialogIsLaidOutAsDesignedAndWorksByKeyboard) {
  WriteThreeEntries();
  TfrmLumora& launcher = Start();
  EXPECT_EQ(FindWindowW(TfrmProp::kClassName, nullptr), nullptr) << "made at start-up, not when first needed";
  const HWND prop = Prop();
  ASSERT_NE(prop, nullptr);
  EXPECT_FALSE(IsWindowVisible(prop));
  EXPECT_EQ(test::WindowText(prop), L"Property");
  EXPECT_TRUE(GetWindowLongPtrW(prop, GWL_EXSTYLE) & WS_EX_TOPMOST);

  Select(1);  // 電卓
  launcher.popEditItemClick();
  ASSERT_TRUE(IsWindowVisible(prop));
  const PropLayout& layout = launcher.Editor()->frmProp.Layout();
  RECT client{};
  GetClientRect(prop, &client);
  EXPECT_EQ(client.right, layout.ClientWidth());
  EXPECT_EQ(client.bottom, layout.ClientHeight());
  auto placeOf = [&](int id) {
    RECT r{};
    GetWindowRect(PropItem(id), &r);
    MapWindowPoints(nullptr, prop, reinterpret_cast<POINT*>(&r), 2);
    return Rect{r.left, r.top, r.right, r.bottom};
  };
  EXPECT_EQ(placeOf(IDC_PROP_EDTNAME), layout.Scale(PropLayout::kName));
  EXPECT_EQ(placeOf(IDC_PROP_EDTFILE), layout.Scale(PropLayout::kFile));
  EXPECT_EQ(placeOf(IDC_PROP_BTNOK), layout.Scale(PropLayout::kOk));
  EXPECT_EQ(placeOf(IDC_PROP_BTNOPENDIR), layout.Scale(PropLayout::kOpenDir));
  EXPECT_EQ(PropText(IDC_PROP_BTNOK), L"OK(&O)");
  // The designed face where it is installed, else the system's dialog font.
  const std::wstring face = launcher.Editor()->frmProp.FontFace();
  if (FontFaceInstalled(L"ＭＳ Ｐゴシック")) {
    EXPECT_EQ(face, L"ＭＳ Ｐゴシック");
  } else {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    EXPECT_EQ(face, metrics.lfMessageFont.lfFaceName);
  }
  LOGFONTW used{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(PropItem(IDC_PROP_EDTNAME), WM_GETFONT, 0, 0)), sizeof used, &used);
  EXPECT_EQ(std::wstring(used.lfFaceName), face);
  EXPECT_EQ(used.lfHeight, -layout.FontHeight());
  EXPECT_EQ(PropText(IDC_PROP_LBLFILE), L"ファイル名/コマンド/URL");
  // Centred on the screen's work area.
  RECT work{}, frame{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(prop, &frame);
  EXPECT_LE(std::abs((frame.left + frame.right) - (work.left + work.right)), 2);
  EXPECT_LE(std::abs((frame.top + frame.bottom) - (work.top + work.bottom)), 2);

  EXPECT_EQ(PropText(IDC_PROP_EDTNAME), L"電卓");
  EXPECT_EQ(PropText(IDC_PROP_EDTFILE), L"calc.exe");
  EXPECT_EQ(launcher.Editor()->frmProp.EditEntryId(), "2");
  EXPECT_EQ(GetFocus(), PropItem(IDC_PROP_EDTNAME));
  // Tab goes through the boxes and buttons in order, Shift+Tab back.
  for (int id : {IDC_PROP_EDTFILE, IDC_PROP_EDTDATE, IDC_PROP_BTNNOW, IDC_PROP_BTNPATH, IDC_PROP_BTNOPENDIR,
                 IDC_PROP_BTNOK, IDC_PROP_EDTNAME}) {
    Key(GetFocus(), VK_TAB);
    EXPECT_EQ(GetFocus(), PropItem(id)) << id;
  }

  // Escape: away, nothing stored.
  const std::string before = ReadFileBytes(ListPath());
  SetWindowTextW(PropItem(IDC_PROP_EDTNAME), L"changed");
  Key(PropItem(IDC_PROP_EDTNAME), VK_ESCAPE);
  EXPECT_FALSE(IsWindowVisible(prop));
  EXPECT_EQ(ReadFileBytes(ListPath()), before);

  // Reopened (the same window), everything is refilled; Enter is OK.
  launcher.popEditItemClick();
  EXPECT_EQ(Prop(), prop);
  EXPECT_EQ(PropText(IDC_PROP_EDTNAME), L"電卓");
  SetWindowTextW(PropItem(IDC_PROP_EDTNAME), L"電卓２");
  SetWindowTextW(PropItem(IDC_PROP_EDTDATE), L"someday");
  Key(PropItem(IDC_PROP_EDTDATE), VK_RETURN);
  EXPECT_FALSE(IsWindowVisible(prop));
  EXPECT_TRUE(errors_.empty());
  EXPECT_NE(ListText().find("2\t電卓２\tcalc.exe\t1\tsomeday\r\n"), std::string::npos) << ListText();
}

TEST_F(EditingTest, AnEmptyDateIsFilledWithTheTimeAndStoredByOk) {
  WriteList({{"4", "no date", "calc.exe", "2", ""}});
  TfrmLumora& launcher = Start();
  Select(0);
  launcher.popEditItemClick();
  const std::wstring shown = PropText(IDC_PROP_EDTDATE);
  EXPECT_TRUE(platform::Text().TextToDate(platform::WideToAnsi(shown)).has_value()) << platform::WideToUtf8(shown);
  launcher.Editor()->frmProp.btnOKClick();
  EXPECT_NE(ListText().find("4\t\"no date\"\tcalc.exe\t2\t\"" + platform::WideToUtf8(shown) + "\"\r\n"), std::string::npos)
      << ListText();
}

TEST_F(EditingTest, TextTheCodePageCannotHoldIsRefusedNamingTheBox) {
  WriteThreeEntries();
  TfrmLumora& launcher = Start();
  const std::string before = ReadFileBytes(ListPath());
  launcher.popAddItemClick();
  const std::wstring foreign = L"C:\\\xD55C\xAE00.exe";
  SetWindowTextW(PropItem(IDC_PROP_EDTNAME), L"ok name");
  SetWindowTextW(PropItem(IDC_PROP_EDTFILE), foreign.c_str());
  std::wstring warning;
  DialogRobot robot({[&](HWND box) {
    warning = test::StaticTexts(box);
    test::PressButton(box, IDOK);
  }});
  launcher.Editor()->frmProp.btnOKClick();
  EXPECT_EQ(robot.Finish(), 1);
  EXPECT_NE(warning.find(L"「ファイル名/コマンド/URL」"), std::wstring::npos) << platform::WideToUtf8(warning);
  EXPECT_TRUE(IsWindowVisible(Prop()));
  EXPECT_EQ(PropText(IDC_PROP_EDTFILE), foreign);
  EXPECT_EQ(ReadFileBytes(ListPath()), before);
}

TEST_F(EditingTest, OkWhileTheListCouldNotBeReadKeepsTheDialogOpen) {
  WriteThreeEntries();
  const std::string original = ReadFileBytes(ListPath());
  {
    platform::FileHandle lock(CreateFileA(ListPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    Start();
  }
  launcher_->popAddItemClick();
  SetWindowTextW(PropItem(IDC_PROP_EDTNAME), L"typed");
  std::wstring warning;
  DialogRobot robot({[&](HWND box) {
    warning = test::StaticTexts(box);
    test::PressButton(box, IDOK);
  }});
  launcher_->Editor()->frmProp.btnOKClick();
  EXPECT_EQ(robot.Finish(), 1);
  EXPECT_NE(warning.find(L"上書き保存しません"), std::wstring::npos) << platform::WideToUtf8(warning);
  EXPECT_NE(warning.find(L"ダイアログはそのまま開いています"), std::wstring::npos);
  EXPECT_TRUE(IsWindowVisible(Prop()));
  EXPECT_EQ(PropText(IDC_PROP_EDTNAME), L"typed");
  EXPECT_EQ(ReadFileBytes(ListPath()), original);
}

TEST_F(EditingTest, ThePathButtonTakesTheChosenFileAndNowTheTime) {
  WriteThreeEntries();
  TfrmLumora& launcher = Start();
  launcher.popAddItemClick();
  EXPECT_EQ(Selection(), -1);
  TfrmProp& prop = launcher.Editor()->frmProp;
  prop.chooseFile = [] { return std::optional<std::wstring>(L"C:\\Tools\\new tool.exe"); };
  prop.btnPathClick();
  EXPECT_EQ(PropText(IDC_PROP_EDTFILE), L"C:\\Tools\\new tool.exe");
  prop.chooseFile = [] { return std::optional<std::wstring>(); };
  prop.btnPathClick();  // cancelled: unchanged
  EXPECT_EQ(PropText(IDC_PROP_EDTFILE), L"C:\\Tools\\new tool.exe");
  SetWindowTextW(PropItem(IDC_PROP_EDTDATE), L"");
  prop.btnNowClick();
  const std::wstring now = PropText(IDC_PROP_EDTDATE);
  EXPECT_TRUE(platform::Text().TextToDate(platform::WideToAnsi(now)).has_value()) << platform::WideToUtf8(now);
}

}  // namespace
}  // namespace lumora
