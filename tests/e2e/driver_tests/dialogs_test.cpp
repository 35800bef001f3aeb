// Dialog pieces against a message box and an input dialog opened by another
// thread of this process.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "driver/driver.h"

namespace lumora::e2e {
namespace {

// Joins the thread at scope end, after closing any dialog it still shows, so
// a failed check never leaves a modal loop behind.
class DialogThread {
 public:
  template <class F>
  explicit DialogThread(F body) : thread_([this, body] {
    threadId_ = GetCurrentThreadId();
    body();
    done_ = true;
  }) {}
  ~DialogThread() {
    // Bounded: a thread stuck elsewhere is left to the test program's timeout.
    for (int attempt = 0; attempt < 50 && !done_; ++attempt) {
      if (HWND dialog = WaitForDialog(GetCurrentProcessId(), 100ms)) PostMessageW(dialog, WM_CLOSE, 0, 0);
      PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    }
    thread_.join();
  }
  bool Done() const { return done_; }

 private:
  std::atomic<bool> done_{false};
  std::atomic<DWORD> threadId_{0};
  std::thread thread_;
};

TEST(DriverDialogs, AnswersAMessageBox) {
  std::atomic<int> answer{0};
  DialogThread thread([&] { answer = MessageBoxW(nullptr, L"リストを保存しますか？", L"Lumora", MB_YESNOCANCEL); });
  const HWND dialog = WaitForDialog(GetCurrentProcessId());
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(DialogCaption(dialog), L"Lumora");
  EXPECT_EQ(DialogMessage(dialog), L"リストを保存しますか？");
  EXPECT_TRUE(HasButton(dialog, IDCANCEL));
  ASSERT_TRUE(PressButton(dialog, IDYES));
  EXPECT_TRUE(WaitUntil([&] { return thread.Done(); }, 5s));
  EXPECT_EQ(answer, IDYES);
}

// An in-memory dialog template: a prompt, an edit box, OK and Cancel.
class InputDialogTemplate {
 public:
  InputDialogTemplate() {
    Align();
    DLGTEMPLATE dialog{};
    dialog.style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    dialog.cdit = 4;
    dialog.cx = 200;
    dialog.cy = 70;
    Add(&dialog, sizeof dialog);
    Words({0, 0});  // no menu, default class
    String(L"入力");
    Words({9});
    String(L"MS Shell Dlg");
    Item(0xFFFF, 0x0082, WS_CHILD | WS_VISIBLE | SS_LEFT, 5, 5, 190, 10, L"名前を入力してください");
    Item(100, 0x0081, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 5, 20, 190, 12, L"");
    Item(IDOK, 0x0080, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP, 90, 45, 50, 14, L"OK");
    Item(IDCANCEL, 0x0080, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 145, 45, 50, 14, L"Cancel");
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

 private:
  void Add(const void* data, size_t size) {
    const auto* p = static_cast<const char*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
  }
  void Words(std::initializer_list<WORD> words) {
    for (WORD w : words) Add(&w, sizeof w);
  }
  void String(const wchar_t* text) { Add(text, (wcslen(text) + 1) * sizeof(wchar_t)); }
  void Align() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  void Item(WORD id, WORD atom, DWORD style, short x, short y, short cx, short cy, const wchar_t* text) {
    Align();
    DLGITEMTEMPLATE item{};
    item.style = style;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    Add(&item, sizeof item);
    Words({0xFFFF, atom});
    String(text);
    Words({0});  // no creation data
  }
  std::vector<char> bytes_;
};

struct InputResult {
  std::wstring text;
  INT_PTR button = 0;
};

INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    auto* result = reinterpret_cast<InputResult*>(GetWindowLongPtrW(dialog, DWLP_USER));
    wchar_t buffer[256];
    const UINT n = GetDlgItemTextW(dialog, 100, buffer, 256);
    result->text.assign(buffer, n);
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

TEST(DriverDialogs, FillsAndConfirmsAnInputDialog) {
  const InputDialogTemplate dialogTemplate;
  InputResult result;
  DialogThread thread([&] {
    result.button = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.Get(), nullptr, InputProc,
                                            reinterpret_cast<LPARAM>(&result));
  });
  const HWND dialog = WaitForDialog(GetCurrentProcessId());
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(DialogCaption(dialog), L"入力");
  EXPECT_EQ(DialogMessage(dialog), L"名前を入力してください");
  ASSERT_TRUE(TypeIntoDialog(dialog, L"Ctrl+Shift+Q"));
  ASSERT_TRUE(PressButton(dialog, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return thread.Done(); }, 5s));
  EXPECT_EQ(result.button, IDOK);
  EXPECT_EQ(result.text, L"Ctrl+Shift+Q");
}

TEST(DriverDialogs, TypeIntoDialogNeedsAnEditBox) {
  std::atomic<int> answer{0};
  DialogThread thread([&] { answer = MessageBoxW(nullptr, L"終了", L"Lumora", MB_OK); });
  const HWND dialog = WaitForDialog(GetCurrentProcessId());
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(TypeIntoDialog(dialog, L"x"));
  ASSERT_TRUE(PressButton(dialog, IDOK));
  ASSERT_TRUE(WaitForDialogToClose(dialog));
  EXPECT_TRUE(WaitUntil([&] { return thread.Done(); }, 5s));
  EXPECT_EQ(answer, IDOK);
}

}  // namespace
}  // namespace lumora::e2e
