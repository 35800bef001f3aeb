// Install and uninstall: the start-up shortcut "Lumora5.lnk" in the user's
// Startup folder and the two starter entries, offered once on the first run
// and at any time from the main menu; uninstall removes the shortcut and
// ends the program, or says why the shortcut stays.
#include <windows.h>

#include <string>

#include "app/frmLumoraU_win.h"
#include "platform/module_win.h"
#include "platform/system_error_win.h"
#include "platform/unicode_win.h"
#include "shell/gui_benri_win.h"

namespace lumora {

namespace {

constexpr char kShortcutName[] = "Lumora5.lnk";

}  // namespace

void TfrmLumora::popInstallClick() {
  if (AskYesNo("スタートアップに登録しますか？\r\n(Windows起動時に自動的に起動するようになります。)")) {
    if (!LauncherAlive()) return;  // the program ended while the question was up
    // A Startup folder the shell cannot name gets no shortcut, and no word.
    const std::string startup = GetStartupFolder();
    if (!startup.empty()) {
      CreateShortcut(startup + kShortcutName, platform::ModulePath(), "", ShortcutWindow::kNormal, GetAppFolder());
    }
  }
  if (!LauncherAlive()) return;
  const bool addStarters = AskYesNo("メモ帳や電卓を追加しますか？");
  if (!LauncherAlive()) return;
  // The starter entries go onto the rows the list file holds now.
  List().CatchUpWithFile();
  if (addStarters) {
    AddEntryIfMissing("calc", GetSystemFolder() + "calc.exe");
    AddEntryIfMissing("notepad", GetWindowsFolder() + "notepad.exe");
  }
  // A failed save takes the starter entries back out: the user is told they
  // were not saved.
  List().SaveOrTakeBack([this] { ResetView(); });
}

void TfrmLumora::popUninstallClick() {
  if (!AskYesNo("アンインストールしてもよろしいですか？")) return;
  if (!LauncherAlive()) return;
  const std::string startup = GetStartupFolder();
  if (!startup.empty()) {
    const std::string shortcut = startup + kShortcutName;
    if (!DeleteFileA(shortcut.c_str())) {
      // A missing shortcut is no error. One that stays (read-only, held
      // open, no right to delete it) is told, and the program goes on: the
      // program would otherwise start with Windows after saying it was
      // uninstalled.
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
        ShowWarning("スタートアップのショートカット \"" + platform::AnsiToUtf8(shortcut) +
                        "\" を削除できませんでした。\r\n" + platform::SystemErrorText(error),
                    "");
        return;
      }
    }
  }
  ShowMessage("無事終わりました。");
  if (!LauncherAlive()) return;
  popCompleteCloseClick();
}

}  // namespace lumora
