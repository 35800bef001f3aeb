#include "window/launcher_hotkeys_win.h"

#include <optional>
#include <utility>

#include "app/resource_ids.h"
#include "platform/modal_win.h"
#include "platform/unicode_win.h"
#include "shell/gui_benri_win.h"
#include "shell/input_box_win.h"
#include "window/monitors_win.h"

namespace lumora {

// The three keys that may be left unset share one form.
struct OptionalHotKey {
  const char* settingsKey;
  UINT menuId;
  std::uint16_t LauncherHotKeys::*id;
  const wchar_t* captionSetBefore;  // + text + "]の変更"
  const wchar_t* captionUnset;
  const char* dialogCaption;
  const char* dialogPrompt;

  std::wstring Caption(const std::string& ansiText) const {
    if (ansiText.empty()) return captionUnset;
    return captionSetBefore + platform::AnsiToWide(ansiText) + L"]の変更";
  }

  static const OptionalHotKey kMoveCursor;
  static const OptionalHotKey kMoveWindow;
  static const OptionalHotKey kRestart;
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

}  // namespace

const OptionalHotKey OptionalHotKey::kMoveCursor{"movecur",
                                    IDM_HOTKEYMOVECUR,
                                    &LauncherHotKeys::idMoveCurKey_,
                                    L"カーソル移動キー[",
                                    L"カーソル移動キーの設定",
                                    "モニタ間のカーソルを行うホットキーを指定",
                                    kPromptNotUsed};
const OptionalHotKey OptionalHotKey::kMoveWindow{
    "movewin",
    IDM_HOTKEYMOVEWIN,
    &LauncherHotKeys::idMoveWinKey_,
    L"アクティブウィンドウ移動キー[",
    L"アクティブウィンドウ移動キーの設定",
    "アクティブウィンドウ移動ホットキーを指定",
    "ホットキーを指定してください。\r\n空やキャンセルを指定するとホットキーを解除します。"};
const OptionalHotKey OptionalHotKey::kRestart{"restart_self",
                                 IDM_HOTKEYRESTART,
                                 &LauncherHotKeys::idRestartKey_,
                                 L"自身再起動キー[",
                                 L"自身再起動キーの設定",
                                 "自身を再起動するホットキーの指定",
                                 kPromptNotUsed};

LauncherHotKeys::LauncherHotKeys(HotKeyHost& host, platform::IniFile& settings, const HotKeyNotation& notation)
    : host_(host), settings_(settings), notation_(notation) {
  manager_.OnHotKeyPressed = [this](std::uint32_t /*hotKey*/, std::uint16_t id) { Pressed(id); };
}

bool LauncherHotKeys::RegisterAll() {
  const std::string showText = settings_.ReadString(kSection, kShowKey, kDefaultShowKey);
  idShowKey_ = manager_.RegisterCode(notation_.ParseHotKeyText(showText, true));
  host_.SetMenuCaption(IDM_HOTKEYCHANGE, ShowKeyCaption(showText));
  if (idShowKey_ == 0) refusedShowKey_ = showText;

  for (const OptionalHotKey* key : {&OptionalHotKey::kMoveCursor, &OptionalHotKey::kMoveWindow, &OptionalHotKey::kRestart}) {
    const std::string text = settings_.ReadString(kSection, key->settingsKey, "");
    this->*(key->id) = text.empty() ? 0 : manager_.RegisterCode(notation_.ParseHotKeyText(text, true));
    host_.SetMenuCaption(key->menuId, key->Caption(text));
  }
  return idShowKey_ != 0;
}

std::string LauncherHotKeys::ShowKeyText() const {
  if (idShowKey_ == 0) return {};
  const std::string text = settings_.ReadString(kSection, kShowKey, kDefaultShowKey);
  return notation_.FormatHotKeyCode(notation_.ParseHotKeyText(text, true), true);
}

void LauncherHotKeys::ReportRefusedShowKey() {
  const std::string text = std::exchange(refusedShowKey_, std::string());
  // A change may have registered a key in the meantime.
  if (!text.empty() && idShowKey_ == 0) TellShowKeyRefused(text);
}

void LauncherHotKeys::TellShowKeyRefused(const std::string& ansiText) {
  ShowWarning(kShowKeyRefusedBefore + platform::AnsiToUtf8(ansiText) + kShowKeyRefusedAfter, "");
}

void LauncherHotKeys::Pressed(std::uint16_t id) {
  if (id == 0) return;  // never a registration
  if (id == idShowKey_) {
    if (host_.IsShown()) {
      host_.Hide();
    } else {
      host_.Show();
    }
  } else if (id == idRestartKey_) {
    host_.Restart();
  } else if (id == idMoveCurKey_) {
    MoveCursorToNextMonitor();  // nothing with one monitor
  } else if (id == idMoveWinKey_) {
    MoveWindowToNextMonitor();
  }
}

void LauncherHotKeys::ChangeShowKey() {
  const LifeToken::Watch watch = life_.Observe();
  const std::optional<std::string> answer = InputBox(kShowDialogCaption, kShowDialogPrompt, "");
  if (!watch.Alive() || !answer || answer->empty()) return;
  const std::uint32_t code = notation_.ParseHotKeyText(*answer, true);
  if (code == 0) {
    ShowMessage(kInvalidCombination + platform::AnsiToUtf8(*answer));
    return;
  }
  idShowKey_ = idShowKey_ == 0 ? manager_.RegisterCode(code) : manager_.ReplaceCode(idShowKey_, code);
  settings_.WriteString(kSection, kShowKey, *answer);
  host_.SetMenuCaption(IDM_HOTKEYCHANGE, ShowKeyCaption(*answer));
  if (idShowKey_ == 0) TellShowKeyRefused(*answer);
}

// The change command of an optional key: the current text as preset; a text
// (checked by nobody: an invalid one gives the code 0, and the system
// decides) takes the place of the current key, an empty text or Cancel
// releases it. The answer is written in both cases.
void LauncherHotKeys::ChangeOptional(const OptionalHotKey& key) {
  const LifeToken::Watch watch = life_.Observe();
  std::uint16_t& id = this->*(key.id);
  const std::string current = settings_.ReadString(kSection, key.settingsKey, "");
  const std::string text = InputBox(key.dialogCaption, key.dialogPrompt, current).value_or(std::string());
  // The program may have ended while the box was open, or be ending (which
  // closed the box): its Cancel is no answer then.
  if (!watch.Alive() || platform::ModalsEnding()) return;
  if (!text.empty()) {
    const std::uint32_t code = notation_.ParseHotKeyText(text, true);
    id = id != 0 ? manager_.ReplaceCode(id, code) : manager_.RegisterCode(code);
  } else if (id != 0) {
    manager_.UnregisterId(id);
    id = 0;
  }
  host_.SetMenuCaption(key.menuId, key.Caption(text));
  settings_.WriteString(kSection, key.settingsKey, text);
}

void LauncherHotKeys::ChangeMoveCursorKey() { ChangeOptional(OptionalHotKey::kMoveCursor); }

void LauncherHotKeys::ChangeMoveWindowKey() { ChangeOptional(OptionalHotKey::kMoveWindow); }

void LauncherHotKeys::ChangeRestartKey() { ChangeOptional(OptionalHotKey::kRestart); }

void LauncherHotKeys::ReleaseAll() {
  manager_.UnregisterAll();
  idShowKey_ = idMoveCurKey_ = idMoveWinKey_ = idRestartKey_ = 0;
}

}  // namespace lumora
