#include "editing/frmPropU_win.h"


#include <array>
#include <utility>
#include <vector>

#include "editing/ansi_text_win.h"
#include "editing/entry_names.h"
#include "editing/prop_ids.h"
#include "launcher/launcher_list.h"
#include "platform/dpi_win.h"
#include "platform/error.h"
#include "platform/error_report_win.h"
#include "platform/modal_win.h"
#include "platform/open_dialog_win.h"
#include "platform/subclass_win.h"
#include "platform/text_platform.h"
#include "platform/unicode_win.h"
#include "shell/gui_benri_win.h"

namespace lumora {

namespace {

constexpr wchar_t kFormFace[] = L"ＭＳ Ｐゴシック";
// WM_DPICHANGED, which the headers for older systems do not name.
constexpr UINT kDpiChangedMessage = 0x02E0;

constexpr char kNameLabel[] = "表示名";
constexpr char kFileLabel[] = "ファイル名/コマンド/URL";
constexpr char kDateLabel[] = "最終利用日";

HWND MakeControl(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, HWND parent, int id) {
  HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                 nullptr);
  if (!control) throw AppError("ウィンドウを作成できません");
  return control;
}

void Place(HWND control, const Rect& r) { MoveWindow(control, r.left, r.top, r.Width(), r.Height(), TRUE); }

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

std::string NowText() {
  const platform::TextPlatform& text = platform::Text();
  return text.DateTimeText(text.Now());
}

void SetBoxText(HWND box, const std::string& ansi) { SetWindowTextW(box, platform::AnsiToWide(ansi).c_str()); }

}  // namespace

bool FontFaceInstalled(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  platform::WindowDc screen(nullptr);
  bool found = false;
  EnumFontFamiliesExW(screen.get(), &wanted, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

TfrmProp::TfrmProp(LauncherList& list) : list_(list) {}

TfrmProp::~TfrmProp() {
  if (HWND hwnd = Handle()) DestroyWindow(hwnd);
}

void TfrmProp::CreateForm(HWND owner) {
  ClassSpec windowClass;
  windowClass.name = kClassName;
  CreateSpec window;
  // A fixed dialog frame without a taskbar button, always on top; made at
  // the designed size and scaled for its DPI as the controls are made.
  window.exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
  window.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  window.title = kCaption;
  window.width = PropLayout::kClientWidth;
  window.height = PropLayout::kClientHeight;
  window.parent = owner;
  Create(windowClass, window);
}

LRESULT TfrmProp::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
          case IDC_PROP_BTNNOW:
            btnNowClick();
            return 0;
          case IDC_PROP_BTNPATH:
            btnPathClick();
            return 0;
          case IDC_PROP_BTNOPENDIR:
            btnOpenDirClick();
            return 0;
          case IDC_PROP_BTNOK:
          case IDOK:
            btnOKClick();
            return 0;
          case IDCANCEL:
            CloseWithoutStoring();
            return 0;
          default:
            break;
        }
      }
      break;
    case WM_CLOSE:
      CloseWithoutStoring();
      return 0;
    case WM_ACTIVATE:
      // The focus goes back to the control that had it.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
      } else if (lastFocus_ && IsWindow(lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case kDpiChangedMessage: {
      ApplyDpi(HIWORD(wParam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      RECT frame{}, client{};
      GetWindowRect(Handle(), &frame);
      GetClientRect(Handle(), &client);
      const int width = layout_.ClientWidth() + (frame.right - frame.left) - client.right;
      const int height = layout_.ClientHeight() + (frame.bottom - frame.top) - client.bottom;
      SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    default:
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

void TfrmProp::CreateControls() {
  HWND self = Handle();
  // Made in the tab order; the labels between them take no focus.
  lblName = MakeControl(0, L"STATIC", platform::Utf8ToWide(kNameLabel).c_str(), SS_LEFT | SS_NOPREFIX, self,
                        IDC_PROP_LBLNAME);
  edtName = MakeControl(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, self, IDC_PROP_EDTNAME);
  lblFile = MakeControl(0, L"STATIC", platform::Utf8ToWide(kFileLabel).c_str(), SS_LEFT | SS_NOPREFIX, self,
                        IDC_PROP_LBLFILE);
  edtFile = MakeControl(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, self, IDC_PROP_EDTFILE);
  lblDate = MakeControl(0, L"STATIC", platform::Utf8ToWide(kDateLabel).c_str(), SS_LEFT | SS_NOPREFIX, self,
                        IDC_PROP_LBLDATE);
  edtDate = MakeControl(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, self, IDC_PROP_EDTDATE);
  btnNow = MakeControl(0, L"BUTTON", L"今", WS_TABSTOP | BS_PUSHBUTTON, self, IDC_PROP_BTNNOW);
  btnPath = MakeControl(0, L"BUTTON", L"...", WS_TABSTOP | BS_PUSHBUTTON, self, IDC_PROP_BTNPATH);
  btnOpenDir = MakeControl(0, L"BUTTON", L"フォルダを開く", WS_TABSTOP | BS_PUSHBUTTON, self, IDC_PROP_BTNOPENDIR);
  bevel = MakeControl(0, L"STATIC", L"", SS_ETCHEDHORZ, self, IDC_PROP_BEVEL);
  btnOK = MakeControl(0, L"BUTTON", L"OK(&O)", WS_TABSTOP | BS_DEFPUSHBUTTON, self, IDC_PROP_BTNOK);

  for (HWND control : {edtName, edtFile, edtDate, btnNow, btnPath, btnOpenDir, btnOK}) {
    platform::SubclassControl(control, [this, control](UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
      return ControlMessage(control, message, wParam, lParam, handled);
    });
  }
  ApplyDpi(platform::WindowDpi(self));
  SizeAndCentre();
}

void TfrmProp::ApplyDpi(int dpi) {
  layout_ = PropLayout(dpi);
  // The designed face where it is installed, else the system's own dialog
  // font, both at the designed height.
  fontFace_ = kFormFace;
  if (!FontFaceInstalled(kFormFace)) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    fontFace_ = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
                        metrics.lfMessageFont.lfFaceName[0]
                    ? metrics.lfMessageFont.lfFaceName
                    : L"MS Shell Dlg 2";
  }
  HFONT font = CreateFontW(-layout_.FontHeight(), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                           fontFace_.c_str());
  if (!font) throw AppError("フォントを作成できません");
  // The controls take the new font before the old one goes.
  const platform::FontHandle previous = std::move(font_);
  font_.reset(font);
  for (HWND control : {lblName, edtName, lblFile, edtFile, lblDate, edtDate, btnNow, btnPath, btnOpenDir, btnOK}) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  Place(lblName, layout_.Scale(PropLayout::kNameLabel));
  Place(edtName, layout_.Scale(PropLayout::kName));
  Place(lblFile, layout_.Scale(PropLayout::kFileLabel));
  Place(btnOpenDir, layout_.Scale(PropLayout::kOpenDir));
  Place(edtFile, layout_.Scale(PropLayout::kFile));
  Place(btnPath, layout_.Scale(PropLayout::kPath));
  Place(lblDate, layout_.Scale(PropLayout::kDateLabel));
  Place(edtDate, layout_.Scale(PropLayout::kDate));
  Place(btnNow, layout_.Scale(PropLayout::kNow));
  Place(bevel, layout_.Scale(PropLayout::kBevel));
  Place(btnOK, layout_.Scale(PropLayout::kOk));
}

void TfrmProp::SizeAndCentre() {
  HWND self = Handle();
  RECT frame{}, client{};
  GetWindowRect(self, &frame);
  GetClientRect(self, &client);
  const int width = layout_.ClientWidth() + (frame.right - frame.left) - client.right;
  const int height = layout_.ClientHeight() + (frame.bottom - frame.top) - client.bottom;
  // Centred on the work area of the screen under the cursor.
  POINT cursor{};
  GetCursorPos(&cursor);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY), &monitor)) work = monitor.rcWork;
  const int x = work.left + ((work.right - work.left) - width) / 2;
  const int y = work.top + ((work.bottom - work.top) - height) / 2;
  SetWindowPos(self, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE);
}

void TfrmProp::Open(const std::string& id, const std::string& name, const std::string& file,
                    const std::string& date) {
  editEntryId = id;
  editEntryTarget_ = file;
  SetBoxText(edtName, name);
  SetBoxText(edtFile, file);
  SetBoxText(edtDate, date.empty() ? NowText() : date);

  const int dpi = platform::WindowDpi(Handle());
  if (dpi != layout_.Dpi()) ApplyDpi(dpi);
  SizeAndCentre();
  // Centred on another screen, the dialog may have taken that screen's DPI.
  if (platform::WindowDpi(Handle()) != layout_.Dpi()) {
    ApplyDpi(platform::WindowDpi(Handle()));
    SizeAndCentre();
  }
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  lastFocus_ = edtName;
  SetFocus(edtName);
  SendMessageW(edtName, EM_SETSEL, 0, -1);
}

void TfrmProp::CloseWithoutStoring() { ShowWindow(Handle(), SW_HIDE); }

void TfrmProp::btnNowClick() { SetBoxText(edtDate, NowText()); }

std::optional<std::wstring> TfrmProp::RunOpenDialog() {
  if (chooseFile) return chooseFile();
  // dlgOpen: one filter for every file; the program's current folder stays.
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = Handle();
  open.lpstrFilter = L"*.*\0*.*\0";
  open.nFilterIndex = 1;
  open.lpstrFile = file.data();
  open.nMaxFile = static_cast<DWORD>(file.size());
  open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  if (!platform::GetOpenFileNameLazy(open)) return std::nullopt;
  return std::wstring(file.data());
}

void TfrmProp::btnPathClick() {
  const std::optional<std::wstring> chosen = RunOpenDialog();
  // Shown as chosen; OK refuses it when the code page cannot hold it.
  if (chosen && Handle()) SetWindowTextW(edtFile, chosen->c_str());
}

void TfrmProp::btnOpenDirClick() {
  const std::optional<std::string> file = BoxText(edtFile, kFileLabel);
  if (!file) return;
  // A quoted target with arguments stands for the quoted path.
  std::string folder = TargetPath(*file);
  const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) folder = TargetFolder(folder);
  // A failure of the shell shows nothing; an empty text is not handed on.
  if (!folder.empty()) ShellOpen(folder);
}

void TfrmProp::btnOKClick() {
  const std::optional<std::string> name = BoxText(edtName, kNameLabel);
  if (!name) return;
  const std::optional<std::string> file = BoxText(edtFile, kFileLabel);
  if (!file) return;
  const std::optional<std::string> date = BoxText(edtDate, kDateLabel);
  if (!date) return;
  // The entry may have been deleted (and its ID given to another one) or
  // changed while the dialog was open: the text typed here then goes into a
  // new entry instead of over another.
  const bool asNewEntry = !editEntryId.empty() && !list_.HasEntry(editEntryId, editEntryTarget_);
  try {
    list_.StoreEntry(asNewEntry ? list_.NewId() : editEntryId, *name, *file, *date, &editEntryId);
  } catch (const AppError& error) {
    // Nothing typed is lost: the dialog stays open with its text.
    Warn(std::string(error.what()) + "\r\n\r\n入力した内容は保存されていません。ダイアログはそのまま開いています。");
    return;
  }
  editEntryTarget_ = *file;
  ShowWindow(Handle(), SW_HIDE);
  if (asNewEntry) {
    ShowMessage("編集していた項目はリストから削除されたか変更されていたため、新しい項目として追加しました。");
  }
}

std::optional<std::string> TfrmProp::BoxText(HWND box, const char* utf8Label) {
  std::optional<std::string> text = ExactAnsi(WindowTextOf(box));
  if (!text) {
    Warn(std::string("「") + utf8Label + "」に、リストファイルに保存できない文字（この環境の文字コードにない文字）が含まれています。");
    SetFocus(box);
  }
  return text;
}

void TfrmProp::Warn(const std::string& utf8Message) {
  // Owned by the dialog, so that it comes up in front of it.
  platform::ModalMessageBox(Handle(), platform::Utf8ToWide(utf8Message).c_str(),
                            platform::Utf8ToWide(platform::ApplicationTitle()).c_str(), MB_ICONWARNING | MB_OK);
}

void TfrmProp::MoveFocus(HWND from, bool backwards) {
  const std::array<HWND, 7> order{edtName, edtFile, edtDate, btnNow, btnPath, btnOpenDir, btnOK};
  std::size_t at = 0;
  while (at < order.size() && order[at] != from) ++at;
  if (at == order.size()) at = 0;
  const std::size_t next = backwards ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
  SetFocus(order[next]);
  // An edit box reached with Tab shows its whole text selected, as in a dialog.
  if (next < 3) SendMessageW(order[next], EM_SETSEL, 0, -1);
}

LRESULT TfrmProp::ControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM /*lParam*/, bool& handled) {
  const bool isButton = control == btnNow || control == btnPath || control == btnOpenDir || control == btnOK;
  switch (message) {
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_TAB:
          handled = true;
          MoveFocus(control, GetKeyState(VK_SHIFT) < 0);
          return 0;
        case VK_RETURN:
          handled = true;
          // Enter presses the focused button, and OK anywhere else.
          if (isButton) {
            SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                         reinterpret_cast<LPARAM>(control));
          } else {
            btnOKClick();
          }
          return 0;
        case VK_ESCAPE:
          handled = true;
          CloseWithoutStoring();
          return 0;
        default:
          break;
      }
      break;
    case WM_CHAR:
      // The characters of those keys would only make the edit box beep.
      if (wParam == L'\t' || wParam == L'\r' || wParam == 0x1B) {
        handled = true;
        return 0;
      }
      break;
    case WM_SYSCHAR:
      // Alt+O: "OK(&O)".
      if (wParam == L'o' || wParam == L'O') {
        handled = true;
        btnOKClick();
        return 0;
      }
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace lumora
