// The memo window: its controls and their layout at the window's DPI (the
// sizes are in editing/memo_layout.h), loading and saving the note, its
// three buttons, and the launcher's ToggleMemo and btnConfClick.
#include "editing/frmMemoU_win.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "app/frmLumoraU_win.h"
#include "app/resource_ids.h"
#include "editing/memo_file.h"
#include "platform/accessible_name_win.h"
#include "platform/dpi_win.h"
#include "platform/error.h"
#include "platform/error_report_win.h"
#include "platform/ime_win.h"
#include "platform/modal_win.h"
#include "platform/subclass_win.h"
#include "platform/unicode_win.h"

namespace lumora {

namespace {

constexpr wchar_t kCaption[] = L"簡易メモ";
constexpr wchar_t kBuiltInNote[] = L"ここに好きなメモを書いておくことができます。";
// WM_DPICHANGED, which the headers for older systems do not name.
constexpr UINT kDpiChangedMessage = 0x02E0;
// The timer that loads a long note piece by piece.
constexpr UINT_PTR kLoadTimer = 1;
// The edit box takes about 0.2 ms per line under Wine: a piece of this many
// characters (at most about 0.1 s of work even when each line is empty) goes
// in at a time, and pieces follow each other for no longer than a slice.
constexpr std::size_t kPieceChars = 1024;
constexpr DWORD kSliceMs = 40;

HWND MakeControl(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, HWND parent, int id) {
  HWND control = CreateWindowExW(exStyle, className, text, style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                 nullptr);
  if (!control) throw AppError("ウィンドウを作成できません");
  return control;
}

void Place(HWND control, const Rect& r) { MoveWindow(control, r.left, r.top, r.Width(), r.Height(), TRUE); }

}  // namespace

TfrmMemo::TfrmMemo(MemoHost& host) : host_(host) {}

TfrmMemo::~TfrmMemo() {
  if (HWND hwnd = Handle()) DestroyWindow(hwnd);
}

void TfrmMemo::CreateForm() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  ClassSpec windowClass;
  windowClass.name = kClassName;
  windowClass.smallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_LUMORA), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  CreateSpec window;
  // A sizeable, always-on-top tool window; made at the designed size and
  // scaled for its DPI as it is created.
  window.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  window.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
  window.title = kCaption;
  window.width = MemoLayout::kWindowWidth;
  window.height = MemoLayout::kWindowHeight;
  Create(windowClass, window);
}

LRESULT TfrmMemo::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_CLOSE:
      // Every close saves the note; a note that cannot be saved keeps the
      // window open.
      CloseMemo();
      return 0;
    case WM_QUERYENDSESSION:
      // The session ends: the note is saved now, without a word, and the
      // end is never held up.
      SaveBeforeEnd(false);
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) SaveBeforeEnd(false);
      return 0;
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_TIMER:
      if (wParam == kLoadTimer) {
        LoadNextPiece();
        return 0;
      }
      break;
    case kDpiChangedMessage: {
      ApplyDpi(HIWORD(wParam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == PageControl1 && header->code == TCN_SELCHANGE) {
        ShowPage(static_cast<int>(SendMessageW(PageControl1, TCM_GETCURSEL, 0, 0)));
        return 0;
      }
      break;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        // The keys post their button's click: a box may have come up
        // meanwhile, and comes first.
        if (platform::ModalActive()) {
          platform::BringModalToFront();
          return 0;
        }
        switch (LOWORD(wParam)) {
          case kSettingId:
            btnSettingClick();
            return 0;
          case kOpenId:
            btnOpenClick();
            return 0;
          case kCloseId:
            btnCloseClick();
            return 0;
          default:
            break;
        }
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && memo && IsWindowVisible(memo)) {
        SetFocus(memo);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

// --- controls and layout -------------------------------------------------------

void TfrmMemo::CreateControls() {
  HWND self = Handle();
  PageControl1 = MakeControl(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, self,
                             kPageControlId);
  const wchar_t* tabs[] = {L"Memo", L"About"};
  for (int i = 0; i < 2; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(tabs[i]);
    SendMessageW(PageControl1, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }

  memo = MakeControl(WS_EX_CLIENTEDGE, L"EDIT", kBuiltInNote,
                     WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                     self, kMemoId);
  // A note as long as the user likes, not the 32 K of a default edit box.
  SendMessageW(memo, EM_SETLIMITTEXT, 0, 0);

  // The About tab: a lowered panel with a framed box holding the product name.
  panelAbout = MakeControl(0, L"STATIC", L"", WS_CHILD | SS_SUNKEN, self, kAboutPanelId);
  boxAbout = MakeControl(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, panelAbout, 0);
  labelAbout = MakeControl(0, L"STATIC", L"Lumora", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, boxAbout, 0);

  panelBack = MakeControl(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, self, kPanelBackId);
  panelBtn = MakeControl(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, panelBack, kPanelBtnId);
  btnSetting = MakeControl(0, L"BUTTON", L"設定(&S)", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, panelBtn,
                           kSettingId);
  btnOpen = MakeControl(0, L"BUTTON", L"開く(&O)", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, panelBtn,
                        kOpenId);
  btnClose = MakeControl(0, L"BUTTON", L"閉じる(&C)", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, panelBtn,
                         kCloseId);

  // The button panel passes its buttons' clicks on to the window.
  platform::SubclassControl(panelBtn, [this](UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message != WM_COMMAND) return LRESULT{0};
    handled = true;
    return SendMessageW(Handle(), message, wParam, lParam);
  });
  // Alt and the underlined letter presses that button, wherever the focus
  // is; Escape presses "閉じる(&C)" unless it ends an input method's
  // composition.
  auto mnemonics = [this](UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (wParam == VK_ESCAPE && (message == WM_KEYDOWN || message == WM_CHAR)) {
      if (platform::IsComposing(memo)) return LRESULT{0};
      handled = true;
      if (message == WM_KEYDOWN) {
        PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(kCloseId, BN_CLICKED), reinterpret_cast<LPARAM>(btnClose));
      }
      return LRESULT{0};
    }
    // Space on the focused "設定(&S)" clicks it when released, inside the
    // button's own handling of the release.
    if (message == WM_KEYUP && wParam == VK_SPACE && GetFocus() == btnSetting) {
      settingByKeyboard_ = true;
      const LRESULT result = platform::CallControlDefault(btnSetting, message, wParam, lParam);
      settingByKeyboard_ = false;
      handled = true;
      return result;
    }
    if (message != WM_SYSCHAR) return LRESULT{0};
    int id = 0;
    HWND button = nullptr;
    switch (wParam) {
      case L's': case L'S': id = kSettingId; button = btnSetting; settingByKeyboard_ = true; break;
      case L'o': case L'O': id = kOpenId; button = btnOpen; break;
      case L'c': case L'C': id = kCloseId; button = btnClose; break;
      default: return LRESULT{0};
    }
    handled = true;
    PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return LRESULT{0};
  };
  for (HWND control : {btnSetting, btnOpen, btnClose}) platform::SubclassControl(control, mnemonics);
  // The note's box names itself to screen readers: its text is the note.
  platform::SubclassControl(memo, [this, mnemonics](UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_GETOBJECT) return platform::AnswerAccessibleObject(memo, wParam, lParam, L"メモ", handled);
    return mnemonics(message, wParam, lParam, handled);
  });

  ApplyDpi(platform::WindowDpi(self));
  SetWindowPos(self, nullptr, 0, 0, layout_.WindowWidth(), layout_.WindowHeight(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowPage(0);
  LayOut();
}

void TfrmMemo::ApplyDpi(int dpi) {
  layout_ = MemoLayout(dpi);
  font_.reset(CreateFontW(-layout_.FontHeight(), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                          L"ＭＳ Ｐゴシック"));
  if (!font_) throw AppError("フォントを作成できません");
  const WPARAM font = reinterpret_cast<WPARAM>(font_.get());
  for (HWND control : {PageControl1, memo, boxAbout, labelAbout, btnSetting, btnOpen, btnClose}) {
    if (control) SendMessageW(control, WM_SETFONT, font, TRUE);
  }
  LayOut();
}

void TfrmMemo::LayOut() {
  if (!PageControl1 || !panelBack) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  const Rect pages = layout_.PagesBounds(client.right, client.bottom);
  Place(PageControl1, pages);
  // The page of a tab: the tab control's display area, a little inside.
  RECT display{pages.left, pages.top, pages.right, pages.bottom};
  SendMessageW(PageControl1, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const Rect page{display.left, display.top, display.right > display.left ? display.right : display.left,
                  display.bottom > display.top ? display.bottom : display.top};
  Place(memo, page);
  Place(panelAbout, page);
  const Rect box = layout_.AboutBoxBounds();
  Place(boxAbout, box);
  // The name inside the frame, below the frame's top line.
  const int inset = layout_.Scale(6);
  Place(labelAbout, Rect{inset, layout_.Scale(14), box.Width() - inset, box.Height() - inset});
  Place(panelBack, layout_.BackBounds(client.right, client.bottom));
  panelBackResize();
}

void TfrmMemo::panelBackResize() {
  if (!panelBack || !panelBtn) return;
  RECT back{};
  GetClientRect(panelBack, &back);
  Place(panelBtn, layout_.ButtonPanelBounds(back.right - back.left, back.bottom - back.top));
  Place(btnSetting, layout_.ButtonBounds(0));
  Place(btnOpen, layout_.ButtonBounds(1));
  Place(btnClose, layout_.ButtonBounds(2));
}

void TfrmMemo::ShowPage(int index) {
  if (index < 0) index = 0;
  SendMessageW(PageControl1, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  ShowWindow(memo, index == 0 ? SW_SHOW : SW_HIDE);
  ShowWindow(panelAbout, index == 1 ? SW_SHOW : SW_HIDE);
}

// --- showing, loading and saving ----------------------------------------------------

bool TfrmMemo::IsShowing() const { return Handle() && IsWindowVisible(Handle()); }

void TfrmMemo::ShowInCorner() {
  HWND self = Handle();
  if (!self) return;
  // Loaded first: a note that cannot be read is not shown, so that no close
  // writes the text in the box over it.
  FormShow();
  RECT work{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  RECT now{};
  GetWindowRect(self, &now);
  const Point place = MemoCornerPlace(Rect{work.left, work.top, work.right, work.bottom}, now.right - now.left,
                                      now.bottom - now.top);
  SetWindowPos(self, HWND_TOPMOST, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(self);
  SetFocus(memo);
}

void TfrmMemo::FormShow() {
  const std::string path = host_.MemoFilePath();
  const std::optional<MemoFileText> note = ReadMemoFile(path, kMemoShowLimit);
  // A notice or a part of a note in the box is no note to keep.
  const bool boxHoldsNote = !tooLarge_ && !Loading();
  noteFromFile_ = note.has_value();
  tooLarge_ = note && note->tooLarge;
  keepOld_ = false;
  StopLoading();
  if (tooLarge_) {
    ShowTooLarge(path);
  } else if (note) {
    keepOld_ = !MemoSurvivesEditBox(note->text, platform::AnsiToWide, platform::WideToAnsi);
    std::wstring text = platform::AnsiToWide(note->text);
    // The box would end the text at a zero: the rest shows after a blank.
    std::replace(text.begin(), text.end(), L'\0', L' ');
    LoadNote(std::move(text));
  } else if (!boxHoldsNote) {
    SetWindowTextW(memo, L"");
  }
  SendMessageW(memo, EM_SETMODIFY, FALSE, 0);
}

void TfrmMemo::ShowTooLarge(const std::string& path) {
  const std::wstring notice = platform::Utf8ToWide(
      "このメモ ファイルは大きすぎるため、ここには表示できません (" + std::to_string(kMemoShowLimit / 1024) +
      " KB まで)。ファイルはそのまま残っています。\r\n\r\n") + platform::AnsiToWide(path);
  SetWindowTextW(memo, notice.c_str());
  SendMessageW(memo, EM_SETREADONLY, TRUE, 0);
}

void TfrmMemo::LoadNote(std::wstring text) {
  pending_ = std::move(text);
  pendingAt_ = 0;
  SetWindowTextW(memo, NextPiece().c_str());
  if (pendingAt_ < pending_.size()) {
    SendMessageW(memo, EM_SETREADONLY, TRUE, 0);
    SetTimer(Handle(), kLoadTimer, USER_TIMER_MINIMUM, nullptr);
  } else {
    StopLoading();
  }
}

std::wstring TfrmMemo::NextPiece() {
  const std::size_t rest = pending_.size() - pendingAt_;
  std::size_t size = std::min(rest, kPieceChars);
  if (size < rest) {
    const std::size_t lineEnd = pending_.rfind(L'\n', pendingAt_ + size - 1);
    if (lineEnd != std::wstring::npos && lineEnd >= pendingAt_ + size / 2) {
      size = lineEnd + 1 - pendingAt_;
    } else if (IS_HIGH_SURROGATE(pending_[pendingAt_ + size - 1])) {
      --size;
    }
  }
  std::wstring piece = pending_.substr(pendingAt_, size);
  pendingAt_ += size;
  return piece;
}

void TfrmMemo::LoadNextPiece() {
  if (!Loading()) return;
  const DWORD start = GetTickCount();
  // The view stays where the user has it while the pieces go in at the end.
  const LRESULT firstLine = SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(memo, WM_SETREDRAW, FALSE, 0);
  do {
    const int end = GetWindowTextLengthW(memo);
    SendMessageW(memo, EM_SETSEL, static_cast<WPARAM>(end), end);
    const std::wstring piece = NextPiece();
    SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
  } while (pendingAt_ < pending_.size() && GetTickCount() - start < kSliceMs);
  SendMessageW(memo, EM_SETSEL, 0, 0);
  SendMessageW(memo, EM_SCROLLCARET, 0, 0);
  SendMessageW(memo, EM_LINESCROLL, 0, firstLine);
  SendMessageW(memo, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(memo, nullptr, TRUE);
  if (pendingAt_ < pending_.size()) return;
  // All of the note is in: the user's from now on.
  StopLoading();
  SendMessageW(memo, EM_SETMODIFY, FALSE, 0);
}

void TfrmMemo::StopLoading() {
  if (Handle()) KillTimer(Handle(), kLoadTimer);
  pending_.clear();
  pendingAt_ = 0;
  SendMessageW(memo, EM_SETREADONLY, tooLarge_, 0);
}

bool TfrmMemo::NoteBytes(std::string& bytes) const {
  const std::wstring text = NoteText();
  bytes.clear();
  if (text.empty()) return true;
  // Every character must have its own place in the code page: a lookalike or
  // "?" in the file would be a note other than the one the user wrote.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int wideLength = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), wideLength, nullptr, 0, nullptr, usedDefaultOut);
  if (size <= 0 || usedDefault) return false;
  bytes.resize(static_cast<std::size_t>(size));
  WideCharToMultiByte(CP_ACP, flags, text.data(), wideLength, bytes.data(), size, nullptr, usedDefaultOut);
  return !usedDefault;
}

bool TfrmMemo::SaveNote(std::string& failure, bool& keptOld) {
  keptOld = false;
  // A file too large to show, or one still loading (the box read-only until
  // then), is in the file alone: nothing to save.
  if (tooLarge_ || Loading()) return true;
  // A note read from the file and not changed is not written back: the trip
  // through the box does not keep every file's bytes (a zero byte, a byte
  // order mark, bytes the code page cannot decode).
  if (noteFromFile_ && !SendMessageW(memo, EM_GETMODIFY, 0, 0)) return true;
  std::string bytes;
  if (!NoteBytes(bytes)) {
    failure = "メモに、このシステムの文字コードで保存できない文字が含まれています。";
    return false;
  }
  try {
    // Such a file is first kept as it is, once: what is written is the box's.
    if (keepOld_) KeepMemoBackup(host_.MemoFilePath());
    WriteMemoFile(host_.MemoFilePath(), bytes);
    keptOld = keepOld_;
    keepOld_ = false;
    return true;
  } catch (const std::exception& error) {
    failure = error.what();
    return false;
  }
}

void TfrmMemo::TellSaveFailure(const std::string& failure) const {
  const std::wstring text = platform::Utf8ToWide("メモを保存できませんでした。\r\n" + failure +
                                                 "\r\n\r\nメモはウィンドウに残っています。このままもう一度"
                                                 "閉じるか終了すると、保存しません。");
  platform::ModalMessageBox(Handle(), text.c_str(), platform::Utf8ToWide(platform::ApplicationTitle()).c_str(),
                            MB_OK | MB_ICONWARNING);
}

void TfrmMemo::TellBackupKept() const {
  const std::string path = host_.MemoFilePath();
  const std::wstring text =
      platform::Utf8ToWide("メモ ファイル\r\n") + platform::AnsiToWide(path) +
      platform::Utf8ToWide("\r\nには、このウィンドウでそのまま扱えないバイト (ゼロのバイト、バイト順マーク、"
                           "この文字コードで読めないバイト) が含まれていました。メモを保存する前に、"
                           "元のファイルを次の名前で残しました。\r\n") +
      platform::AnsiToWide(MemoBackupPath(path));
  platform::ModalMessageBox(Handle(), text.c_str(), platform::Utf8ToWide(platform::ApplicationTitle()).c_str(),
                            MB_OK | MB_ICONINFORMATION);
}

std::wstring TfrmMemo::NoteText() const {
  const int length = GetWindowTextLengthW(memo);
  std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int got = GetWindowTextW(memo, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

bool TfrmMemo::ToldBefore(const std::string& failure) {
  std::wstring note = NoteText();
  if (toldNote_ && *toldNote_ == note) return true;
  toldNote_ = std::move(note);
  TellSaveFailure(failure);
  return false;
}

bool TfrmMemo::FormClose() {
  std::string failure;
  bool keptOld = false;
  if (SaveNote(failure, keptOld)) {
    toldNote_.reset();
    if (keptOld) TellBackupKept();
    return true;
  }
  return ToldBefore(failure);
}

bool TfrmMemo::CloseMemo() {
  if (!IsShowing()) return true;
  const LifeToken::Watch watch = life_.Observe();
  if (!FormClose()) return false;
  if (!watch.Alive() || !Handle()) return true;  // the program ended meanwhile
  ShowWindow(Handle(), SW_HIDE);
  StopLoading();
  return true;
}

bool TfrmMemo::SaveBeforeEnd(bool tell) {
  if (!IsShowing()) return true;
  std::string failure;
  bool keptOld = false;
  if (SaveNote(failure, keptOld)) {
    toldNote_.reset();
    if (keptOld && tell) TellBackupKept();
    return true;
  }
  return tell && ToldBefore(failure);
}

void TfrmMemo::EndWithProgram() {
  HWND self = Handle();
  if (!self) return;
  SaveBeforeEnd(false);
  DestroyWindow(self);
}

// --- the buttons ---------------------------------------------------------------

void TfrmMemo::btnSettingClick() {
  // A press from the keyboard (Alt+S, Space) puts the menu below the
  // button; a click puts it at the pointer.
  RECT button{};
  GetWindowRect(btnSetting, &button);
  const bool byKeyboard = std::exchange(settingByKeyboard_, false);
  const LifeToken::Watch watch = life_.Observe();
  host_.OpenMainMenu(byKeyboard ? &button : nullptr);
  if (!watch.Alive() || !Handle()) return;  // the menu's command ended the program
  CloseMemo();
}

void TfrmMemo::btnOpenClick() {
  const LifeToken::Watch watch = life_.Observe();
  host_.OpenLauncher();
  if (!watch.Alive() || !Handle()) return;
  CloseMemo();
}

void TfrmMemo::btnCloseClick() { CloseMemo(); }

// --- the launcher's side --------------------------------------------------------

TfrmMemo& TfrmLumora::Memo() {
  if (!frmMemo) {
    auto memo = std::make_unique<TfrmMemo>(static_cast<MemoHost&>(*this));
    memo->CreateForm();
    frmMemo = std::move(memo);
  }
  return *frmMemo;
}

void TfrmLumora::ToggleMemo() {
  Memo();
  if (!frmMemo->Handle()) return;
  if (frmMemo->IsShowing()) {
    frmMemo->CloseMemo();
    return;
  }
  frmMemo->ShowInCorner();
  // The launcher goes: with allowClose false a close request only hides it.
  allowClose = false;
  SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TfrmLumora::btnConfClick() { ToggleMemo(); }

bool TfrmLumora::SaveMemoBeforeEnd() { return !frmMemo || frmMemo->SaveBeforeEnd(true); }

}  // namespace lumora
