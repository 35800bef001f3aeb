// The one-line input box, a modal dialog built in memory, and the open-file
// dialog.
#include "shell/input_box_win.h"

#include <windows.h>

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/application_win.h"
#include "platform/error.h"
#include "platform/error_report_win.h"
#include "platform/modal_win.h"
#include "platform/open_dialog_win.h"
#include "platform/unicode_win.h"
#include "shell/gui_benri_win.h"

namespace lumora {
namespace {

constexpr WORD kPromptId = 100;
constexpr WORD kEditId = 101;

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

// Dialog units of the layout.
constexpr short kWidth = 280;
constexpr short kMargin = 7;
constexpr short kLineHeight = 9;
constexpr short kEditHeight = 13;
constexpr short kButtonWidth = 50;
constexpr short kButtonHeight = 14;
constexpr int kMaxPromptLines = 12;

// An in-memory dialog template: the header, then the items, each starting
// on a DWORD boundary.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short cx, short cy, std::wstring_view caption,
                 WORD pointSize, std::wstring_view font) {
    PutDword(style);
    PutDword(0);        // extended style
    countIndex_ = words_.size();
    Put(0);             // number of items, counted as they are added
    Put(0);             // x
    Put(0);             // y
    Put(static_cast<WORD>(cx));
    Put(static_cast<WORD>(cy));
    Put(0);             // no menu
    Put(0);             // the standard dialog class
    PutText(caption);
    Put(pointSize);
    PutText(font);
  }

  void AddItem(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
               std::wstring_view text) {
    if (words_.size() % 2 != 0) Put(0);  // DWORD alignment
    PutDword(style | WS_CHILD | WS_VISIBLE);
    PutDword(0);
    Put(static_cast<WORD>(x));
    Put(static_cast<WORD>(y));
    Put(static_cast<WORD>(cx));
    Put(static_cast<WORD>(cy));
    Put(id);
    Put(0xFFFF);
    Put(classAtom);
    PutText(text);
    Put(0);  // no creation data
    ++words_[countIndex_];
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Put(WORD w) { words_.push_back(w); }
  void PutDword(DWORD d) {
    Put(LOWORD(d));
    Put(HIWORD(d));
  }
  void PutText(std::wstring_view text) {
    for (wchar_t c : text) Put(static_cast<WORD>(c));
    Put(0);
  }

  std::vector<WORD> words_;  // WORD storage keeps the template 2-byte aligned;
  std::size_t countIndex_ = 0;  // the allocator gives at least 4 for the start
};

// Lines the prompt takes in a static control of the given width, counting
// about 4 dialog units for a one-byte character and 8 for a wide one.
int PromptLines(std::wstring_view prompt, int widthDu) {
  int lines = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = prompt.find(L'\n', start);
    const std::wstring_view line =
        prompt.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
    int units = 0;
    for (wchar_t c : line) units += (c < 0x0100 || (c >= 0xFF61 && c <= 0xFF9F)) ? 4 : 8;
    lines += std::max(1, (units + widthDu - 1) / widthDu);
    if (end == std::wstring_view::npos) break;
    start = end + 1;
  }
  return std::min(lines, kMaxPromptLines);
}

struct InputState {
  std::wstring preset;
  std::wstring answer;
};

// Puts the dialog in the middle of its owner when the owner is on screen,
// otherwise in the middle of the work area; never outside the work area.
void CenterDialog(HWND dialog) {
  RECT box{};
  GetWindowRect(dialog, &box);
  const HWND owner = GetWindow(dialog, GW_OWNER);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTONEAREST), &monitor);
  RECT reference = monitor.rcWork;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &reference);
  const LONG width = box.right - box.left;
  const LONG height = box.bottom - box.top;
  LONG x = reference.left + (reference.right - reference.left - width) / 2;
  LONG y = reference.top + (reference.bottom - reference.top - height) / 2;
  const RECT& work = monitor.rcWork;
  x = std::max(work.left, std::min(x, work.right - width));
  y = std::max(work.top, std::min(y, work.bottom - height));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR HandleInputMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      const auto* state = reinterpret_cast<const InputState*>(lParam);
      const HWND edit = GetDlgItem(dialog, kEditId);
      SetWindowTextW(edit, state->preset.c_str());
      SendMessageW(edit, EM_SETSEL, 0, -1);
      CenterDialog(dialog);
      SetFocus(edit);
      return FALSE;  // the focus is set here
    }
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam);
      if (id == IDOK) {
        auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        const HWND edit = GetDlgItem(dialog, kEditId);
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        state->answer = std::move(text);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK InputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  INT_PTR result = FALSE;
  platform::Guarded(dialog, [&] { result = HandleInputMessage(dialog, message, wParam, lParam); });
  return result;
}

}  // namespace

std::optional<std::string> InputBox(const std::string& utf8Caption, const std::string& utf8Prompt,
                                    const std::string& ansiPreset) {
  const std::wstring prompt = platform::Utf8ToWide(utf8Prompt);
  const short promptWidth = kWidth - 2 * kMargin;
  const short promptHeight = static_cast<short>(kLineHeight * PromptLines(prompt, promptWidth));
  const short editY = kMargin + promptHeight + 4;
  const short buttonY = editY + kEditHeight + 8;
  const short height = buttonY + kButtonHeight + kMargin;

  DialogTemplate dialog(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, kWidth,
                        height, platform::Utf8ToWide(utf8Caption), 9, L"MS UI Gothic");
  dialog.AddItem(SS_LEFT | SS_NOPREFIX, kMargin, kMargin, promptWidth, promptHeight, kPromptId,
                 kStaticClass, prompt);
  dialog.AddItem(ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kMargin, editY, promptWidth,
                 kEditHeight, kEditId, kEditClass, L"");
  dialog.AddItem(BS_DEFPUSHBUTTON | WS_TABSTOP, kWidth - kMargin - 2 * kButtonWidth - 4, buttonY,
                 kButtonWidth, kButtonHeight, IDOK, kButtonClass, L"OK");
  dialog.AddItem(BS_PUSHBUTTON | WS_TABSTOP, kWidth - kMargin - kButtonWidth, buttonY, kButtonWidth,
                 kButtonHeight, IDCANCEL, kButtonClass, platform::Utf8ToWide("キャンセル"));

  InputState state{platform::AnsiToWide(ansiPreset), {}};
  const HWND owner = platform::MainWindow();
  const platform::ModalScope scope(platform::ModalScope::Kind::kQuestion, owner, IDCANCEL);
  if (!scope.Allowed()) return std::nullopt;
  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), owner,
                                                 InputDialogProc, reinterpret_cast<LPARAM>(&state));
  if (result == -1) throw AppError("入力のダイアログを開けません");
  if (result != IDOK || scope.Ended()) return std::nullopt;
  return platform::WideToAnsi(state.answer);
}

std::optional<std::string> ChooseFileToOpen() {
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = platform::MainWindow();
  open.lpstrFilter = L"*.*\0*.*\0";
  open.nFilterIndex = 1;
  open.lpstrFile = file.data();
  open.nMaxFile = static_cast<DWORD>(file.size());
  // OFN_NOCHANGEDIR: the dialog would otherwise leave the chosen file's
  // folder as the program's current folder, held open for as long as the
  // program runs (a removable drive could not be ejected).
  open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (!platform::GetOpenFileNameLazy(open)) return std::nullopt;

  const std::wstring chosen(file.data());
  std::string ansi = platform::WideToAnsi(chosen);
  // The programs are started through the ANSI calls: a name the code page
  // cannot hold would name some other file, or none.
  if (platform::AnsiToWide(ansi) != chosen) {
    ShowWarning("このファイル名は使えません。", "");
    return std::nullopt;
  }
  return ansi;
}

}  // namespace lumora
