// The small commands of the main menu: the version message, the help file,
// the program folder, editing the list file in Notepad, and the extras (the
// SendTo folder, the Calculator, the home page).
#include <windows.h>

#include <exception>
#include <string>

#include "app/frmLumoraU_win.h"
#include "app/version.h"
#include "platform/modal_win.h"
#include "platform/unicode_win.h"
#include "shell/gui_benri_win.h"

namespace lumora {

void TfrmLumora::popAboutClick() { ShowMessage("[Lumora 5]\r\nVersion " LUMORA_VERSION_TEXT); }

// The help file beside the program, wherever the current folder is.
void TfrmLumora::popHelpClick() { ShellOpen(ProgramFolder() + "readme.txt"); }

void TfrmLumora::popOpenSetDirClick() { ShellOpen(ProgramFolder()); }

void TfrmLumora::popLaunchEditNoteClick() {
  if (!list_) return;
  HideLauncher();
  // Notepad from the search path, the list file quoted.
  RunAndWait("", "notepad.exe \"" + list_->ListPath() + "\"");
  // Messages kept flowing meanwhile: the program may have ended, or be
  // ending (which stopped the wait).
  if (!LauncherAlive() || platform::ModalsEnding()) return;
  try {
    list_->Reload();
  } catch (const std::exception& error) {
    // The list in memory stays; the user hears why, then gets the launcher.
    ShowWarning(std::string("編集したリストファイルを読み込めませんでした。\r\n") + error.what() +
                    "\r\n\r\nリストは編集前のままです。",
                "");
    if (!LauncherAlive()) return;
  }
  ResetView();
  // Back at the cursor, taking the foreground back from Notepad.
  ShowLauncherFromHotKey();
}

void TfrmLumora::mnuOpenSendToClick() {
  const std::string sendTo = GetSendToFolder();
  if (!sendTo.empty()) ShellOpen(sendTo);
}

void TfrmLumora::mnuOpenCalcClick() { ShellOpen("calc.exe"); }

void TfrmLumora::mnuLumoraWebClick() { ShellOpen(LUMORA_HOME_PAGE); }

}  // namespace lumora
