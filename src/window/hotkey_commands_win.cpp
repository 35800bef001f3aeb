// The launcher window's four global hotkeys: registering them at start-up
// from the settings, what each does when pressed, and the menu commands that
// change them. Each hotkey has its settings key in the section "hotkey", a
// menu item whose caption shows the key text as the user typed it, and a
// registration id (0 = not registered).
#include <windows.h>

#include <optional>
#include <string>

#include "app/frmLumoraU_win.h"
#include "app/resource_ids.h"
#include "shell/gui_benri_win.h"
#include "shell/input_box_win.h"
#include "platform/unicode_win.h"
#include "window/monitors_win.h"

namespace lumora {

// The three hotkeys that may be left unset share one form.
struct OptionalHotKey {
  const char* settingsKey;
  UINT menuId;
  std::uint16_t TfrmLumora::*id;
  const wchar_t* captionSetBefore;  // + text + "]の変更"
  const wchar_t* captionUnset;
  const char* dialogCaption;
  const char* dialogPrompt;

  std::wstring Caption(const std::string& ansiText) const {
    if (ansiText.empty()) return captionUnset;
    return captionSetBefore + platform::AnsiToWide(ansiText) + L"]の変更";
  }
};

namespace {

constexpr char kSection[] = "hotkey";
constexpr char kShowKey[] = "show";
constexpr char kDefaultShowKey[] = "Ctrl+Shift+Q";

constexpr char kShowDialogCaption[] = "ホットキー";
constexpr char kShowDialogPrompt[] = "変更したいホットキーを入力してください。\r\n例) Ctrl + Shift + Alt + Q";
constexpr char kInvalidCombination[] = "正しくない組み合わせです。\r\n";

// Without a show key the launcher can only be called from the tray icon: the
// user is told so when the system refuses the key.
constexpr char kShowKeyRefusedBefore[] = "起動キー[";
constexpr char kShowKeyRefusedAfter[] =
    "]を登録できませんでした。他のプログラムが使用している可能性があります。トレイアイコンから開いてください。";

std::wstring ShowKeyCaption(const std::string& ansiText) {
  return L"起動キー[" + platform::AnsiToWide(ansiText) + L"]の変更";
}

constexpr char kPromptNotUsed[] = "ホットキーを指定してください。\r\n空やキャンセルを指定すると利用しません。";

const OptionalHotKey kMoveCursorKey{"movecur",
                                    IDM_HOTKEYMOVECUR,
                                    &TfrmLumora::idMoveCurKey,
                                    L"カーソル移動キー[",
                                    L"カーソル移動キーの設定",
                                    "モニタ間のカーソルを行うホットキーを指定",
                                    kPromptNotUsed};
const OptionalHotKey kMoveWindowKey{
    "movewin",
    IDM_HOTKEYMOVEWIN,
    &TfrmLumora::idMoveWinKey,
    L"アクティブウィンドウ移動キー[",
    L"アクティブウィンドウ移動キーの設定",
    "アクティブウィンドウ移動ホットキーを指定",
    "ホットキーを指定してください。\r\n空やキャンセルを指定するとホットキーを解除します。"};
const OptionalHotKey kRestartKey{"restart_self",
                                 IDM_HOTKEYRESTART,
                                 &TfrmLumora::idRestartKey,
                                 L"自身再起動キー[",
                                 L"自身再起動キーの設定",
                                 "自身を再起動するホットキーの指定",
                                 kPromptNotUsed};

// Dispatches every message waiting for this thread; a WM_QUIT met here is
// posted again for the main loop.
void ProcessPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

void TfrmLumora::SetMenuCaption(UINT commandId, const std::wstring& caption) {
  if (!popsMain) return;
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
  // By command: the item is found in the submenus too.
  SetMenuItemInfoW(popsMain.get(), commandId, FALSE, &info);
}

void TfrmLumora::InitHotKeys() {
  // The show key is registered whatever its text.
  const std::string showText = iniSetting->ReadString(kSection, kShowKey, kDefaultShowKey);
  idShowKey = hotKeyManager->RegisterCode(Notation().ParseHotKeyText(showText, true));
  SetMenuCaption(IDM_HOTKEYCHANGE, ShowKeyCaption(showText));
  if (idShowKey == 0) {
    // Reported once the message loop runs, not in the middle of start-up.
    refusedShowKey_ = showText;
    PostMessageW(Handle(), kShowKeyRefusedMessage, 0, 0);
  }

  for (const OptionalHotKey* key : {&kMoveCursorKey, &kMoveWindowKey, &kRestartKey}) {
    const std::string text = iniSetting->ReadString(kSection, key->settingsKey, "");
    this->*(key->id) = text.empty() ? 0 : hotKeyManager->RegisterCode(Notation().ParseHotKeyText(text, true));
    SetMenuCaption(key->menuId, key->Caption(text));
  }
}

void TfrmLumora::ShowKeyRefusedAtStart() {
  if (refusedShowKey_.empty()) return;
  const std::string text = std::move(refusedShowKey_);
  refusedShowKey_.clear();
  // A later change may have registered a key in the meantime.
  if (idShowKey == 0) ReportShowKeyRefused(text);
}

void TfrmLumora::ReportShowKeyRefused(const std::string& ansiText) {
  ShowWarning(kShowKeyRefusedBefore + platform::AnsiToUtf8(ansiText) + kShowKeyRefusedAfter, "");
}

void TfrmLumora::HandleHotKey(std::uint32_t /*hotKey*/, std::uint16_t index) {
  if (index == 0) return;  // never a registration
  if (index == idShowKey) {
    if (isShown) {
      HideLauncher();
      return;
    }
    ShowLauncher();
    ProcessPendingMessages();
    // The hotkey comes from another program's foreground: take it.
    SetForegroundWindow(Handle());
    BringWindowToTop(Handle());
    if (edtCommand) SetFocus(edtCommand);
  } else if (index == idRestartKey) {
    mnuRestartLaunchClick();
  } else if (index == idMoveCurKey) {
    MoveCursorToNextMonitor();  // nothing with one monitor
  } else if (index == idMoveWinKey) {
    MoveWindowToNextMonitor();
  }
}

void TfrmLumora::popHotKeyChangeClick() {
  const std::optional<std::string> answer = InputBox(kShowDialogCaption, kShowDialogPrompt, "");
  if (!answer || answer->empty()) return;
  const std::uint32_t code = Notation().ParseHotKeyText(*answer, true);
  if (code == 0) {
    ShowMessage(kInvalidCombination + platform::AnsiToUtf8(*answer));
    return;
  }
  idShowKey = idShowKey == 0 ? hotKeyManager->RegisterCode(code) : hotKeyManager->ReplaceCode(idShowKey, code);
  iniSetting->WriteString(kSection, kShowKey, *answer);
  SetMenuCaption(IDM_HOTKEYCHANGE, ShowKeyCaption(*answer));
  if (idShowKey == 0) ReportShowKeyRefused(*answer);
}

// The change command of an optional hotkey: the current text as preset; a
// text (checked by nobody: an invalid one gives the code 0, and the system
// decides) takes the place of the current key, an empty text or Cancel
// releases it. The answer is written in both cases.
void TfrmLumora::ChangeOptionalHotKey(const OptionalHotKey& key) {
  std::uint16_t& id = this->*(key.id);
  const std::string current = iniSetting->ReadString(kSection, key.settingsKey, "");
  const std::string text = InputBox(key.dialogCaption, key.dialogPrompt, current).value_or(std::string());
  if (!text.empty()) {
    const std::uint32_t code = Notation().ParseHotKeyText(text, true);
    id = id != 0 ? hotKeyManager->ReplaceCode(id, code) : hotKeyManager->RegisterCode(code);
  } else if (id != 0) {
    hotKeyManager->UnregisterId(id);
    id = 0;
  }
  SetMenuCaption(key.menuId, key.Caption(text));
  iniSetting->WriteString(kSection, key.settingsKey, text);
}

void TfrmLumora::popHotKeyMoveCurClick() { ChangeOptionalHotKey(kMoveCursorKey); }

void TfrmLumora::popHotkeyMoveWinClick() { ChangeOptionalHotKey(kMoveWindowKey); }

void TfrmLumora::popHotkeyRestartClick() { ChangeOptionalHotKey(kRestartKey); }

}  // namespace lumora
