// The launcher window's command line and list: typing filters the list, the
// arrow keys, Enter and Escape move between the two controls and launch, a
// single left click launches, the right button opens the entry menu, the
// wheel moves the selection. Launching hands the selected entry's target to
// the shell (or, with an argument, starts it as a program) and records it;
// the restart action starts a new instance and ends this one.
//
// The subclasses of edtCommand and lstMain (made in
// window/launcher_window_win.cpp) hand every message to CommandBoxMessage and
// ListBoxMessage below; what these leave unhandled goes on to the control.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/frmLumoraU_win.h"
#include "app/single_instance_win.h"
#include "launcher/launch_rules.h"
#include "platform/accessible_name_win.h"
#include "platform/ime_win.h"
#include "platform/menu_win.h"
#include "platform/module_win.h"
#include "platform/subclass_win.h"
#include "shell/gui_benri_win.h"
#include "shell/input_box_win.h"
#include "sheet/text_primitives.h"

namespace lumora {

namespace {

constexpr char kLaunchFailed[] = "実行に失敗しました。";
constexpr char kArgumentCaption[] = "引数をつけて起動";
constexpr char kArgumentPrompt[] = "引数を指定してください。";

int ItemCount(HWND listBox) { return static_cast<int>(SendMessageW(listBox, LB_GETCOUNT, 0, 0)); }

int SelectedItem(HWND listBox) { return static_cast<int>(SendMessageW(listBox, LB_GETCURSEL, 0, 0)); }

void SelectItem(HWND listBox, int index) { SendMessageW(listBox, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void SelectLastItem(HWND listBox) {
  const int count = ItemCount(listBox);
  if (count > 0) SelectItem(listBox, count - 1);
}

// The item under a point of the list's client area, or -1 when the point is
// below the last item or outside the list.
int ItemAt(HWND listBox, POINT client) {
  const LRESULT hit =
      SendMessageW(listBox, LB_ITEMFROMPOINT, 0, MAKELPARAM(static_cast<WORD>(client.x), static_cast<WORD>(client.y)));
  if (HIWORD(hit) != 0) return -1;
  const int index = LOWORD(hit);
  return index < ItemCount(listBox) ? index : -1;
}

// The working folder for a started target: its folder part when that is an
// existing folder; otherwise none, and the started program gets the
// launcher's own current folder.
std::string WorkingFolderOf(const std::string& target) {
  const std::string folder = FolderPart(target);
  if (folder.empty()) return folder;
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
  return folder;
}

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// The edit box's text in the ANSI code page; nothing when it holds a
// character the code page has no byte sequence of its own for (한 in
// Shift-JIS): the lookalike or "?" the system would put in its place could
// match some other entry's name or open some other file.
std::optional<std::string> HeldText(HWND edit) {
  const int length = GetWindowTextLengthW(edit);
  if (length <= 0) return std::string();
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(edit, wide.data(), length + 1);
  wide.resize(static_cast<size_t>(std::clamp(got, 0, length)));
  if (wide.empty()) return std::string();

  // UTF-8 as the code page holds every character and takes none of the flags.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int wideLength = static_cast<int>(wide.size());
  const int size = WideCharToMultiByte(CP_ACP, flags, wide.data(), wideLength, nullptr, 0, nullptr, usedDefaultOut);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), wideLength, text.data(), size, nullptr, usedDefaultOut);
  if (usedDefault) return std::nullopt;
  return text;
}

}  // namespace

// --- the typed text ---------------------------------------------------------

std::string TfrmLumora::CommandText() const {
  // Text the code page cannot hold reads as empty: it is nothing that could
  // be looked up or opened.
  return HeldText(edtCommand).value_or(std::string());
}

void TfrmLumora::SetCommandText(const std::string& ansiText) {
  // The edit box reports the change (EN_CHANGE), which runs the filter.
  SetWindowTextA(edtCommand, ansiText.c_str());
}

void TfrmLumora::edtCommandChange() {
  const std::optional<std::string> text = HeldText(edtCommand);
  if (text) {
    list_->Filter(*text);
  } else {
    // No name holds a character that the list file cannot hold: no entry.
    list_->sheetView.Clear();
    list_->RefreshList();
  }
}

// --- keys -------------------------------------------------------------------

bool TfrmLumora::edtCommandKeyDown(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_ESCAPE:
      HideLauncher();
      return true;
    case VK_DOWN:
    case VK_UP:
      // Both keys go to the bottom row, whatever was selected before.
      SetFocus(lstMain);
      SelectLastItem(lstMain);
      return true;
    case VK_RETURN:
      break;
    default:
      // Every other key edits the text; so does VK_PROCESSKEY, the keys an
      // input method is composing with.
      return false;
  }

  if (platform::IsComposing(edtCommand)) return false;
  const int count = ItemCount(lstMain);
  switch (CommandEnterFor(count)) {
    case CommandEnter::kGoToList:
      SelectItem(lstMain, count - 1);
      SetFocus(lstMain);
      return true;
    case CommandEnter::kLaunchOnly:
      SelectItem(lstMain, 0);
      ExecSelected();
      return true;
    case CommandEnter::kTypedCommand:
      break;
  }

  const std::optional<std::string> text = HeldText(edtCommand);
  if (text && RunCommandWord(*text)) return true;
  // Text the code page cannot hold is never handed to the shell.
  if (!text || ShellOpen(*text) <= 32) {
    MessageBeep(MB_OK);
    return true;
  }
  // The command has started: the command line is done with it even when the
  // list cannot be saved, so that a second Enter does not start it again. The
  // save's error goes on to the error guard afterwards.
  std::exception_ptr saveError;
  try {
    AddTypedCommand();
  } catch (...) {
    saveError = std::current_exception();
    SetCommandText("");
  }
  HideLauncher();
  if (saveError) std::rethrow_exception(saveError);
  return true;
}

bool TfrmLumora::edtCommandKeyPress(WPARAM character) {
  // The Enter character would make the single-line edit box beep.
  return character == 13;
}

bool TfrmLumora::lstMainKeyPress(WPARAM character) {
  switch (character) {
    case 27:
      // Back to the command line; the typed text and the filter stay.
      SetFocus(edtCommand);
      return true;
    case 13:
      ExecSelected();
      return true;
    default:
      return false;
  }
}

// --- mouse ------------------------------------------------------------------

void TfrmLumora::lstMainDblClick() { ExecSelected(); }

// button is VK_LBUTTON, VK_RBUTTON or VK_MBUTTON; client is the pointer in
// the list's client area.
void TfrmLumora::lstMainMouseUp(UINT button, POINT client) {
  SelectItem(lstMain, ItemAt(lstMain, client));
  if (button == VK_LBUTTON) {
    ExecSelected();
  } else if (button == VK_RBUTTON) {
    platform::ShowPopupMenu(popsFile.get(), Handle(), nullptr);
  }
}

void TfrmLumora::lstMainContextPopup(LPARAM screenPoint) {
  const bool fromKeyboard = GET_X_LPARAM(screenPoint) == -1 && GET_Y_LPARAM(screenPoint) == -1;
  if (!fromKeyboard) {
    // A context menu at a point: the row there is the menu's row, as for a
    // right click.
    POINT client = PointOf(screenPoint);
    ScreenToClient(lstMain, &client);
    lstMainMouseUp(VK_RBUTTON, client);
    return;
  }
  // From the keyboard: below the selected row, or at the list's top when no
  // row is selected; both kept inside the list's visible part.
  RECT list{};
  GetClientRect(lstMain, &list);
  RECT anchor{list.left, list.top, list.left, list.top};
  const int selection = SelectedItem(lstMain);
  RECT row{};
  if (selection >= 0 && SendMessageW(lstMain, LB_GETITEMRECT, static_cast<WPARAM>(selection),
                                     reinterpret_cast<LPARAM>(&row)) != LB_ERR) {
    IntersectRect(&anchor, &row, &list);
    if (IsRectEmpty(&anchor)) anchor = RECT{list.left, list.top, list.left, list.top};
  }
  MapWindowPoints(lstMain, nullptr, reinterpret_cast<POINT*>(&anchor), 2);
  platform::ShowPopupMenu(popsFile.get(), Handle(), &anchor);
}

void TfrmLumora::MouseWheel(int delta) {
  const int selection = SelectedItem(lstMain);
  const int next = WheelSelection(selection, ItemCount(lstMain), delta);
  if (next != selection) SelectItem(lstMain, next);
}

// --- the typed command line -------------------------------------------------

bool TfrmLumora::RunCommandWord(const std::string& text) {
  if (!IsRestartWord(text)) return false;
  mnuRestartLaunchClick();
  return true;
}

void TfrmLumora::AddTypedCommand() {
  list_->AddTypedCommand(CommandText());
  SetCommandText("");
}

// --- launching --------------------------------------------------------------

void TfrmLumora::ExecSelected() {
  const int selection = SelectedItem(lstMain);
  if (selection < 0) {
    execArg.clear();
    return;
  }
  HideLauncher();

  const std::string id = list_->ViewId(selection);
  const std::string target = list_->ViewTarget(selection);
  INT_PTR result = 0;
  if (!execArg.empty()) {
    const std::string commandLine = ArgumentCommandLine(target, execArg);
    execArg.clear();
    result = StartCommandLine(commandLine);
  } else {
    // The target's folder is the started program's working folder; the
    // launcher's own current folder never changes, so it holds no folder
    // open (a removable drive stays ejectable).
    result = ShellOpenIn(target, WorkingFolderOf(target));
  }

  if (result > 32) {
    SetCommandText("");
    RecordLaunch(id);
  } else {
    ShowMessage(kLaunchFailed);
    MessageBeep(MB_OK);
  }
}

void TfrmLumora::popExecWithArgFileClick() {
  const std::optional<std::string> file = ChooseFileToOpen();
  // The program may have ended while the dialog was open.
  if (!file || !Handle()) return;
  execArg = QuotedPath(*file);
  ExecSelected();
}

void TfrmLumora::popExecWithArgStrClick() {
  const std::optional<std::string> answer = InputBox(kArgumentCaption, kArgumentPrompt, "");
  if (!answer || answer->empty() || !Handle()) return;
  execArg = *answer;
  ExecSelected();
}

void TfrmLumora::mnuRestartLaunchClick() {
  // The new instance reads the memo file: a note open here is saved first.
  if (!SaveMemoBeforeEnd()) return;
  const std::string self = restartProgram_.empty() ? platform::ModulePath() : restartProgram_;
  allowClose = true;
  // From here on nothing shows the launcher again: a tray click or a hotkey
  // racing the close must not turn it into a hide.
  leaving_ = true;
  // This instance's hotkeys go before the new instance starts, so that it
  // can register the same keys.
  if (hotKeys_) hotKeys_->ReleaseAll();
  // The new instance waits for this one to end instead of handing over to it.
  SingleInstance::MarkLeavingForRestart();
  ShellOpen(self);  // this instance ends whatever the result
  // Posted, not sent: the request may come from inside a control's message
  // (Enter on "restart"), and the window's end destroys the controls.
  PostMessageW(Handle(), kLeaveMessage, 0, 0);
}

// --- the controls' messages -------------------------------------------------

LRESULT TfrmLumora::CommandBoxMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (message == WM_SETFOCUS) lastFocus_ = edtCommand;
  switch (message) {
    case WM_GETOBJECT:
      return platform::AnswerAccessibleObject(edtCommand, wParam, lParam, L"コマンド", handled);
    case WM_GETDLGCODE:
      // Enter, Escape and the arrows belong to the command line even inside
      // a dialog-style message loop.
      handled = true;
      return platform::CallControlDefault(edtCommand, message, wParam, lParam) | DLGC_WANTALLKEYS | DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if (edtCommandKeyDown(wParam)) {
        handled = true;
        return 0;
      }
      break;
    case WM_CHAR:
      if (edtCommandKeyPress(wParam)) {
        handled = true;
        return 0;
      }
      break;
    case WM_MOUSEWHEEL:
      MouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      handled = true;
      return 0;
    default:
      break;
  }
  return 0;
}

LRESULT TfrmLumora::ListBoxMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  // Clicks act only while the launcher is shown: the first button-up of a
  // double click launches and hides the window, and what is still queued of
  // that double click (the double-click message, the second button-up) must
  // not launch again.
  const bool shown = IsWindowVisible(Handle()) != FALSE;
  if (message == WM_SETFOCUS) lastFocus_ = lstMain;
  switch (message) {
    case WM_GETOBJECT:
      return platform::AnswerAccessibleObject(lstMain, wParam, lParam, L"一覧", handled);
    case WM_CHAR:
      if (lstMainKeyPress(wParam)) {
        handled = true;
        return 0;
      }
      break;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP: {
      // The list box ends its own click (selection, mouse capture) first.
      handled = true;
      const LRESULT result = platform::CallControlDefault(lstMain, message, wParam, lParam);
      if (shown) lstMainMouseUp(message == WM_LBUTTONUP ? VK_LBUTTON : VK_MBUTTON, PointOf(lParam));
      return result;
    }
    case WM_RBUTTONUP:
      // Not passed on: the default would also raise the window's context menu.
      handled = true;
      if (shown) lstMainMouseUp(VK_RBUTTON, PointOf(lParam));
      return 0;
    case WM_LBUTTONDBLCLK: {
      handled = true;
      const LRESULT result = platform::CallControlDefault(lstMain, message, wParam, lParam);
      if (shown) {
        // The list box selects the bottom row for a press below it; as for a
        // single click, only an item under the pointer is launched.
        SelectItem(lstMain, ItemAt(lstMain, PointOf(lParam)));
        lstMainDblClick();
      }
      return result;
    }
    case WM_MOUSEWHEEL:
      MouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      handled = true;
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // Shift+F10 and the Apps key ask for the entry menu. Both the press and
      // the release are kept from the list box's default, which would raise
      // a second context menu or F10's menu-bar mode; the menu opens after
      // the press has returned.
      if (wParam == VK_APPS || (wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0)) {
        handled = true;
        if (shown && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && (lParam & (1 << 30)) == 0) {
          PostMessageW(lstMain, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(lstMain), -1);
        }
        return 0;
      }
      break;
    case WM_CONTEXTMENU:
      // Posted for the keys: a box may have come up meanwhile.
      handled = true;
      if (shown && !WaitsForModal(0, 0, false)) lstMainContextPopup(lParam);
      return 0;
    default:
      break;
  }
  return 0;
}

}  // namespace lumora
