// The launcher window TfrmLumora: the program's main window. A small,
// always-on-top tool window, hidden until the tray icon or the hotkey calls
// it: the launcher list (lstMain) above the command line (edtCommand) and the
// memo button (btnConf). Its handlers are spread by subject:
//   app/frmLumoraU_win.cpp          creation, start-up, settings, close, shutdown
//   window/launcher_window_win.cpp  controls and layout, showing and hiding,
//                                   the title clock, the menus
//   launcher/launcher_input_win.cpp command line and list keys, the mouse,
//                                   launching and restarting
//   window/hotkey_commands_win.cpp  the four global hotkeys: registering them
//                                   at start-up, their presses, the commands
//                                   that change them
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "hotkeys/HotKeyManager_win.h"
#include "launcher/launcher_list.h"
#include "platform/handles_win.h"
#include "platform/ini_file_win.h"
#include "platform/window_win.h"
#include "tray/unit_tasktray_win.h"

namespace lumora {

// The list box lstMain as the list logic sees it.
class ListBoxDisplay : public ListDisplay {
 public:
  void Attach(HWND listBox) { listBox_ = listBox; }
  void Fill(const std::vector<std::string_view>& names) override;
  int Count() const override;
  void Select(int index) override;
  int Selection() const override;
  void Repaint() override;

 private:
  HWND listBox_ = nullptr;
};

// One of the hotkeys that may be left unset (window/hotkey_commands_win.cpp).
struct OptionalHotKey;

class TfrmLumora : public platform::Window {
 public:
  static constexpr const wchar_t* kClassName = L"TfrmLumora";

  TfrmLumora();
  ~TfrmLumora() override;

  // Creates the window (hidden) and runs its start-up.
  void CreateForm();

  // Test seam: take folder (ending with a backslash) as the program folder
  // instead of the executable's, and folder + "Lumora.ini" as the settings
  // file. Call before CreateForm.
  void UseProgramFolder(std::string folder) { programFolder_ = std::move(folder); }
  // Test seam: the program that the restart action starts instead of this
  // executable.
  void UseRestartProgram(std::string path) { restartProgram_ = std::move(path); }

  // False once the start-up has run through; when it stopped with an error
  // the window is shown as the message loop starts, so that the user sees
  // the program.
  bool ShowOnStart() const noexcept { return showOnStart_; }

  // --- state ---------------------------------------------------------------
  // A close request ends the program (true) or only hides the window (false).
  bool allowClose = true;
  // The launcher window is shown.
  bool isShown = false;
  // The argument of the next launch; empty means none.
  std::string execArg;

  // The global hotkeys: the manager (created first at start-up) and the
  // registration ids of the four hotkeys, 0 when a hotkey is unset or the
  // system refused it.
  std::unique_ptr<THotKeyManager> hotKeyManager;
  std::uint16_t idShowKey = 0;
  std::uint16_t idMoveCurKey = 0;
  std::uint16_t idMoveWinKey = 0;
  std::uint16_t idRestartKey = 0;

  // --- start-up, settings and shutdown (app/frmLumoraU_win.cpp) -------------
  void FormCloseQuery(bool& canClose);
  void HideLauncher();
  void popCompleteCloseClick();

  // --- the list (app/frmLumoraU_win.cpp, over LauncherList) ----------------
  void SaveList();
  void ResetView();
  void RefreshList();
  // Sets sortMode from the settings text and checks the matching menu item.
  int SortModeFromText(const std::string& text);
  void popSortTimeClick();
  void popSortCountClick();
  void popSortNameClick();
  void AddEntryIfMissing(const std::string& name, const std::string& target);
  void RecordLaunch(const std::string& id);

  // --- presentation (window/launcher_window_win.cpp) -----------------------
  void ShowLauncher();
  void ToggleLauncher();
  void popOpenClick();
  void popCloseClick();
  void popsMainPopup();
  // Opens popsMain at the cursor (after popsMainPopup).
  void ShowMainMenu();
  void timerPanelTimer();
  void panelCommandResize();

  // --- command line, list and launching (launcher/launcher_input_win.cpp) --
  void edtCommandChange();
  // True when the key was consumed.
  bool edtCommandKeyDown(WPARAM virtualKey);
  bool edtCommandKeyPress(WPARAM character);
  bool lstMainKeyPress(WPARAM character);
  void lstMainDblClick();
  void lstMainMouseUp(UINT button, POINT client);
  void MouseWheel(int delta);
  bool RunCommandWord(const std::string& text);
  void AddTypedCommand();
  void ExecSelected();
  void popExecWithArgFileClick();
  void popExecWithArgStrClick();
  void mnuRestartLaunchClick();

  // --- the hotkeys (window/hotkey_commands_win.cpp) -------------------------
  // The hotkey manager's OnHotKeyPressed: tells the hotkeys apart by the
  // registration id alone.
  void HandleHotKey(std::uint32_t hotKey, std::uint16_t index);
  void popHotKeyChangeClick();
  void popHotKeyMoveCurClick();
  void popHotkeyMoveWinClick();
  void popHotkeyRestartClick();
  // The hotkey notation of the process (key names of the keyboard).
  const HotKeyNotation& Notation() const { return hotKeyUnit_.Notation(); }

  // The typed text of edtCommand in the ANSI code page, and setting it
  // (which runs the filter).
  std::string CommandText() const;
  void SetCommandText(const std::string& ansiText);

  // For tests and the other windows.
  LauncherList& List() { return *list_; }
  HWND ListBox() const { return lstMain; }
  HWND CommandBox() const { return edtCommand; }
  HWND ConfButton() const { return btnConf; }
  HMENU MainMenu() const { return popsMain.get(); }
  HMENU FileMenu() const { return popsFile.get(); }
  // The program folder in force: GetAppFolder unless a test chose another.
  std::string ProgramFolder() const;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // app/frmLumoraU_win.cpp
  void FormCreate();
  void InitLauncher();
  void FormDestroy();
  void FreeLauncher();
  void FirstRun();
  // Runs a menu or control command; false when the id is not one of ours.
  bool HandleCommand(WORD id, WORD notification);

  // window/hotkey_commands_win.cpp
  // Start-up: reads the four hotkey texts, registers them and sets the menu
  // captions. A show key that the system refuses is reported once the
  // message loop runs (kShowKeyRefusedMessage).
  void InitHotKeys();
  // Tells the user that the show key text could not be registered.
  void ReportShowKeyRefused(const std::string& ansiText);
  void ShowKeyRefusedAtStart();
  void SetMenuCaption(UINT commandId, const std::wstring& caption);
  void ChangeOptionalHotKey(const OptionalHotKey& key);
  static constexpr UINT kShowKeyRefusedMessage = WM_APP + 1;

  // window/launcher_window_win.cpp
  void CreateControls();
  void BuildMenus();
  void CheckSortItem(int sortMode);
  void DrawListItem(const DRAWITEMSTRUCT& item);
  HBRUSH CommandBoxColors(HDC dc);
  static LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

  // launcher/launcher_input_win.cpp
  LRESULT CommandBoxMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT ListBoxMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  // Controls (children of the window, destroyed with it).
  HWND lstMain = nullptr;
  HWND panelCommand = nullptr;
  HWND edtCommand = nullptr;
  HWND btnConf = nullptr;
  // Menus, fonts and the command line's black brush.
  platform::MenuHandle popsMain;
  platform::MenuHandle popsFile;
  platform::FontHandle formFont;
  platform::FontHandle listFont;
  platform::BrushHandle commandBrush;
  // The built-in tray icon imgIconTray.
  platform::IconHandle imgIconTray;

  std::unique_ptr<platform::IniFile> iniSetting;
  std::unique_ptr<TMarlTasktray> trayIcon;
  ListBoxDisplay listDisplay_;
  std::unique_ptr<LauncherList> list_;

  // The key names and notation: made before the window, kept for its life.
  HotKeyUnit hotKeyUnit_;
  // The show key text that start-up could not register; reported once.
  std::string refusedShowKey_;

  static constexpr UINT_PTR kTimerPanel = 1;
  bool showOnStart_ = true;
  std::string programFolder_;  // empty: GetAppFolder
  std::string restartProgram_;  // empty: this executable
  bool quitOnDestroy_ = true;   // false when the object itself goes first
};

// The program folder: the executable's folder, ending with a backslash.
std::string GetAppFolder();

// The title clock: "[LM] " and time as month/day(weekday) hours:minutes:seconds
// with the user locale's date and time separators and short weekday name.
std::wstring LauncherClockText(const SYSTEMTIME& time);

}  // namespace lumora
