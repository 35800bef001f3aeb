// The launcher window TfrmLumora: the program's main window. A small,
// always-on-top tool window, hidden until the tray icon or the hotkey calls
// it: the launcher list (lstMain) above the command line (edtCommand) and the
// memo button (btnConf). The window owns one object per subsystem and keeps
// the handler names as thin forwards to them; its code is spread by subject:
//   app/frmLumoraU_win.cpp           creation, start-up, settings, the close
//                                    rule, shutdown, the message dispatcher,
//                                    the list operations (over LauncherList)
//   window/launcher_window_win.cpp   controls, their layout at the window's
//                                    DPI (sizes in window/launcher_layout.h),
//                                    row painting, showing and hiding, the
//                                    title clock, the menus
//   launcher/launcher_input_win.cpp  the command line's and the list's
//                                    messages: keys, mouse, launching, restart
//   window/launcher_hotkeys_win.cpp  the four global hotkeys (LauncherHotKeys)
//   editing/frmMemoU_win.cpp         the memo window's toggle (TfrmMemo)
//   editing/install_win.cpp          install and uninstall
//   editing/auxiliary_commands_win.cpp  the small commands of the main menu
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editing/frmMemoU_win.h"
#include "hotkeys/HotKeyManager_win.h"
#include "icons/launcher_icons_win.h"
#include "icons/tray_icon_choice_win.h"
#include "launcher/launcher_list.h"
#include "platform/handles_win.h"
#include "platform/ini_file_win.h"
#include "platform/window_win.h"
#include "tray/unit_tasktray_win.h"
#include "window/launcher_hotkeys_win.h"
#include "window/launcher_layout.h"

namespace lumora {

class EntryEditor;
class TFileDrop;

// The list box lstMain as the list logic sees it. Its messages go straight
// to the list box class's own procedure: none of them is one the launcher's
// subclass acts on, and a refill sends one message per name.
class ListBoxDisplay : public ListDisplay {
 public:
  void Attach(HWND listBox);
  void Fill(const std::vector<std::string_view>& names) override;
  int Count() const override;
  void Select(int index) override;
  int Selection() const override;
  void Repaint() override;

 private:
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;

  HWND listBox_ = nullptr;
  WNDPROC classProc_ = nullptr;
};

class TfrmLumora : public platform::Window, private HotKeyHost, private MemoHost {
 public:
  static constexpr const wchar_t* kClassName = L"TfrmLumora";
  // Posted by a second start of the program from the same folder: show the
  // launcher at the cursor, as the show hotkey does.
  static constexpr UINT kShowForSecondStartMessage = WM_APP + 3;

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
  // Test seams: the icon lookup of the rows (run on the lookup thread), and
  // the open dialog of the tray icon command. Call before CreateForm.
  void UseIconLookup(IconLookup lookup) { iconLookup_ = std::move(lookup); }
  // Test seam: the shell's notification-area call of the tray icon. Call
  // before CreateForm.
  void UseTrayNotify(TMarlTasktray::NotifyFunction notify) { trayNotify_ = std::move(notify); }
  void UseTrayIconChooser(TrayIconChoice::ChooseFile choose) { trayIconChoice = TrayIconChoice(std::move(choose)); }

  // False once the start-up has run through; when it stopped with an error
  // the window is shown as the message loop starts, so that the user sees
  // the program.
  bool ShowOnStart() const noexcept { return showOnStart_; }

  // The launcher window is shown (by ShowLauncher, until it hides).
  bool IsShown() const override { return isShown; }

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

  // --- entry editing (editing/frmLumora_editing_win.cpp, over EntryEditor) --
  void fileDropFileDrop(TFileDrop& sender, int num, const std::vector<std::wstring>& files, int x, int y);
  void popAddItemClick();
  void popEditItemClick();
  void popDelItemClick();
  void popCheckAndRemoveClick();
  void mnuOpenTargetDirClick();
  // Null before start-up and after shutdown.
  EntryEditor* Editor() const { return editor_.get(); }
  // --- icons (icons/) -------------------------------------------------------
  void mnuClearIconCacheClick();
  void popChangeTrayIconClick();
  // Null before start-up and after shutdown.
  LauncherIcons* Icons() const { return iconList.get(); }
  const TrayIconChoice& TrayChoice() const { return trayIconChoice; }
  const TMarlTasktray* Tray() const { return trayIcon.get(); }

  // --- presentation (window/launcher_window_win.cpp) -----------------------
  void ShowLauncher();
  void ToggleLauncher();
  void popOpenClick();
  void popCloseClick();
  void popsMainPopup();
  // Opens popsMain (after popsMainPopup) at the pointer, or below anchor
  // (screen coordinates) when one is given.
  void ShowMainMenu(const RECT* anchor = nullptr);
  void timerPanelTimer();
  void panelCommandResize();

  // --- the memo window (editing/frmMemoU_win.cpp) ---------------------------
  void ToggleMemo();
  void btnConfClick();
  // The memo window, made hidden the first time it is asked for: start-up
  // does not wait for it (under Wine it took as long as the whole launcher).
  TfrmMemo& Memo();

  // --- install and the main menu's small commands (editing/) ---------------
  void popInstallClick();
  void popUninstallClick();
  void popAboutClick();
  void popHelpClick();
  void popOpenSetDirClick();
  void popLaunchEditNoteClick();
  void mnuOpenSendToClick();
  void mnuOpenCalcClick();
  void mnuLumoraWebClick();

  // --- command line, list and launching (launcher/launcher_input_win.cpp) --
  void edtCommandChange();
  // True when the key was consumed.
  bool edtCommandKeyDown(WPARAM virtualKey);
  bool edtCommandKeyPress(WPARAM character);
  bool lstMainKeyPress(WPARAM character);
  void lstMainDblClick();
  void lstMainMouseUp(UINT button, POINT client);
  // The entry menu asked for by the keyboard (Shift+F10, the Apps key) or
  // by a WM_CONTEXTMENU at a screen point (-1, -1: the keyboard).
  void lstMainContextPopup(LPARAM screenPoint);
  void MouseWheel(int delta);
  bool RunCommandWord(const std::string& text);
  void AddTypedCommand();
  void ExecSelected();
  void popExecWithArgFileClick();
  void popExecWithArgStrClick();
  void mnuRestartLaunchClick();

  // --- the hotkeys (window/launcher_hotkeys_win.cpp) ------------------------
  void HandleHotKey(std::uint32_t hotKey, std::uint16_t index);
  void popHotKeyChangeClick();
  void popHotKeyMoveCurClick();
  void popHotkeyMoveWinClick();
  void popHotkeyRestartClick();
  // Null before start-up and after shutdown.
  const LauncherHotKeys* HotKeys() const { return hotKeys_.get(); }

  // The typed text of edtCommand in the ANSI code page (empty when the code
  // page cannot hold it), and setting it (which runs the filter).
  std::string CommandText() const;
  void SetCommandText(const std::string& ansiText);

  // For the other windows.
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
  // HotKeyHost
  // The keys bring a modal that is up to the front instead.
  void Show() override;
  void Hide() override;
  void Restart() override;
  void SetMenuCaption(UINT commandId, const std::wstring& caption) override;

  // MemoHost
  void OpenMainMenu(const RECT* anchor) override { ShowMainMenu(anchor); }
  void OpenLauncher() override { ShowLauncher(); }
  std::string MemoFilePath() const override { return ProgramFolder() + "data\\memo.txt"; }

  // A command or request that arrived while a modal is up (platform/
  // modal_win.h): true when it must not run now. One that ends the program
  // (endsProgram) closes the modal as Cancel/No and is posted again as
  // message/wParam, to run once the handler under the modal has returned;
  // any other brings the modal to the front instead.
  bool WaitsForModal(UINT message, WPARAM wParam, bool endsProgram);

  // The window and its list still exist: asked after every wait in which
  // other commands, the program's end included, may have run.
  bool LauncherAlive() const { return Handle() != nullptr && list_ != nullptr; }
  // The program is about to end: a note open in the memo window is saved;
  // false (the user told why) when it cannot be, and the program stays.
  bool SaveMemoBeforeEnd();

  // app/frmLumoraU_win.cpp
  void FormCreate();
  void InitLauncher();
  void FormDestroy();
  void FreeLauncher();
  void FirstRun();
  // After the first run's questions: a balloon from the tray icon says where
  // the program waits and which key shows it.
  void ShowFirstRunBalloon();
  // editing/frmLumora_editing_win.cpp: the property dialog and the list's file drop.
  void CreateEditor();
  // Runs a menu or control command; false when the id is not one of ours.
  bool HandleCommand(WORD id, WORD notification);
  // Writes a setting of the window's own (height, sort order, first-run
  // flag); a settings file that cannot be written is told once a run, and
  // the caller goes on.
  void WriteSetting(const char* section, const char* key, const std::string& value);
  void ApplySort(int mode);
  static constexpr UINT kShowKeyRefusedMessage = WM_APP + 1;
  // The restart's end of this instance: the window goes, whatever showed it
  // meanwhile.
  static constexpr UINT kLeaveMessage = WM_APP + 4;
  static constexpr UINT kSettingsNotWrittenMessage = WM_APP + 2;
  // The first run's install questions, asked as the message loop starts.
  static constexpr UINT kFirstRunInstallMessage = WM_APP + 40;
  // Icons looked up for the rows have arrived.
  static constexpr UINT kIconsArrivedMessage = WM_APP + 10;

  // window/launcher_window_win.cpp
  void CreateControls();
  // Fonts, row height and sizes for the window's DPI; resize: also the
  // window's own size (at creation).
  void ApplyDpi(int dpi);
  // Places the controls in the client area.
  void LayOut();
  void BuildMenus();
  void CheckSortItem(int sortMode);
  void DrawListItem(const DRAWITEMSTRUCT& item);
  HBRUSH CommandBoxColors(HDC dc);
  // The show key's ShowLauncher: the window also takes the foreground from
  // the program that had it.
  void ShowLauncherFromHotKey();

  // launcher/launcher_input_win.cpp
  LRESULT CommandBoxMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT ListBoxMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  // --- state ---------------------------------------------------------------
  // A close request ends the program (true) or only hides the window (false).
  bool allowClose = true;
  // The launcher window is shown.
  bool isShown = false;
  // A restart is under way: the window is never shown again.
  bool leaving_ = false;
  // The control that had the focus when the window was last deactivated; it
  // gets the focus back when the window is activated again.
  HWND lastFocus_ = nullptr;
  // The argument of the next launch; empty means none.
  std::string execArg;

  // Controls (children of the window, destroyed with it).
  HWND lstMain = nullptr;
  HWND panelCommand = nullptr;
  HWND edtCommand = nullptr;
  HWND btnConf = nullptr;
  // Menus, the fonts of the current DPI and the command line's black brush.
  platform::MenuHandle popsMain;
  platform::MenuHandle popsFile;
  platform::FontHandle formFont;
  platform::FontHandle listFont;
  platform::BrushHandle commandBrush;
  // The built-in tray icon imgIconTray.
  platform::IconHandle imgIconTray;
  // The sizes of the window at its DPI.
  LauncherLayout layout_;
  // Set while ShowLauncher places the window: a DPI change on the way keeps
  // the place ShowLauncher chose.
  bool placing_ = false;

  std::unique_ptr<platform::IniFile> iniSetting;
  std::unique_ptr<TMarlTasktray> trayIcon;
  // The entry icons: built-in pictures, caches, row painting.
  std::unique_ptr<LauncherIcons> iconList;
  IconLookup iconLookup_;  // empty: the shell's
  TMarlTasktray::NotifyFunction trayNotify_;  // empty: the shell's
  // The tray icon the user chose last (kept alive while the tray shows it).
  TrayIconChoice trayIconChoice;
  ListBoxDisplay listDisplay_;
  std::unique_ptr<LauncherList> list_;
  std::unique_ptr<LauncherHotKeys> hotKeys_;
  // The memo window: made with the launcher window, its window gone with it.
  std::unique_ptr<TfrmMemo> frmMemo;
  std::unique_ptr<EntryEditor> editor_;

  // The key names and notation: made before the window, kept for its life.
  HotKeyUnit hotKeyUnit_;

  static constexpr UINT_PTR kTimerPanel = 1;
  bool showOnStart_ = true;
  // A setting could not be written: told once (settingsFailure_ until then).
  bool settingsFailureTold_ = false;
  std::string settingsFailure_;
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
