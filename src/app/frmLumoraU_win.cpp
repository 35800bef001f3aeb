// The launcher window: creation, start-up, settings, the close rule and
// shutdown, the message dispatcher, and the list operations over
// LauncherList.
#include "app/frmLumoraU_win.h"

#include <exception>
#include <optional>
#include <utility>

#include "app/resource_ids.h"
#include "editing/entry_editor_win.h"
#include "platform/application_win.h"
#include "platform/error.h"
#include "platform/error_report_win.h"
#include "platform/menu_win.h"
#include "platform/modal_win.h"
#include "platform/module_win.h"
#include "platform/unicode_win.h"
#include "shell/gui_benri_win.h"
#include "sheet/text_primitives.h"

namespace lumora {

namespace {

constexpr char kLauncherTitle[] = "[LM]";
constexpr wchar_t kLauncherTitleW[] = L"[LM]";
constexpr char kTrayTip[] = "Lumora";
// WM_DPICHANGED, which the headers for older systems do not name.
constexpr UINT kDpiChangedMessage = 0x02E0;

}  // namespace

TfrmLumora::TfrmLumora() = default;

TfrmLumora::~TfrmLumora() {
  // The window goes first, while the members that its destruction uses
  // (tray icon, settings, list, the controls' procedures) still exist.
  // The object ending is not the program ending: no quit message.
  if (HWND hwnd = Handle()) {
    quitOnDestroy_ = false;
    DestroyWindow(hwnd);
  }
  // The end of the session or the program that closed the boxes was this
  // launcher's: it is over.
  platform::ResumeModals();
}

void TfrmLumora::CreateForm() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  ClassSpec windowClass;
  windowClass.name = kClassName;
  windowClass.icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_LUMORA), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXICON),
                                                   GetSystemMetrics(SM_CYICON), LR_SHARED));
  windowClass.smallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_LUMORA), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));

  CreateSpec window;
  // A small, resizable, always-on-top tool window without a taskbar button;
  // created at the designed size, scaled for its DPI as it is created.
  window.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  window.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
  window.title = kLauncherTitleW;
  window.width = LauncherLayout::kWindowWidth;
  window.height = LauncherLayout::kWindowHeight;
  Create(windowClass, window);
}

std::string TfrmLumora::ProgramFolder() const {
  return programFolder_.empty() ? GetAppFolder() : programFolder_;
}

LRESULT TfrmLumora::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  switch (message) {
    case WM_CREATE:
      CreateControls();
      BuildMenus();
      FormCreate();
      break;
    case WM_CLOSE: {
      if (WaitsForModal(message, wParam, allowClose)) break;
      bool canClose = true;
      FormCloseQuery(canClose);
      if (canClose) DestroyWindow(Handle());
      break;
    }
    case WM_QUERYENDSESSION:
      // Logging off or shutting down is never refused, shown or not.
      result = TRUE;
      break;
    case WM_ENDSESSION:
      if (wParam) {
        // The session ends: no box waits for the user, the modals that are
        // up close (their handlers find the window gone), and the window
        // goes without the hide-instead rule.
        platform::EndModals(true);
        allowClose = true;
        DestroyWindow(Handle());
        return 0;
      }
      break;
    case WM_DESTROY:
      FormDestroy();
      if (quitOnDestroy_) PostQuitMessage(0);
      return 0;  // the tray object is gone
    case kLeaveMessage:
      if (!WaitsForModal(message, wParam, true)) DestroyWindow(Handle());
      break;
    case WM_ACTIVATE:
      // The keyboard focus goes back to the control that had it when the
      // window was left (a box, a dialog, another program), the command
      // line by default.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
      } else if (!HIWORD(wParam)) {
        SetFocus(lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) ? lastFocus_ : edtCommand);
      }
      break;
    case WM_COMMAND:
      if (!HandleCommand(LOWORD(wParam), HIWORD(wParam))) result = DefaultHandling(message, wParam, lParam);
      break;
    case WM_SIZE:
      LayOut();
      break;
    case kDpiChangedMessage: {
      // The window moved to a screen of another DPI (or the user changed it).
      ApplyDpi(HIWORD(wParam));
      if (!placing_) {
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      }
      break;
    }
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType == ODT_LISTBOX && measure->CtlID == IDC_LSTMAIN) {
        measure->itemHeight = static_cast<UINT>(layout_.RowHeight());
        result = TRUE;
      } else {
        result = DefaultHandling(message, wParam, lParam);
      }
      break;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      DrawListItem(*item);
      result = TRUE;
      break;
    }
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lParam) == edtCommand) {
        result = reinterpret_cast<LRESULT>(CommandBoxColors(reinterpret_cast<HDC>(wParam)));
      } else {
        result = DefaultHandling(message, wParam, lParam);
      }
      break;
    case WM_TIMER:
      if (wParam == kTimerPanel) timerPanelTimer();
      break;
    case WM_MOUSEWHEEL:
      MouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      break;
    case kShowKeyRefusedMessage:
      if (hotKeys_) hotKeys_->ReportRefusedShowKey();
      break;
    case kFirstRunInstallMessage:
      popInstallClick();
      if (LauncherAlive()) ShowFirstRunBalloon();
      break;
    case kIconsArrivedMessage:
      if (iconList && list_) iconList->IconsArrived(lstMain, list_->sheetView);
      break;
    case kSettingsNotWrittenMessage:
      if (!settingsFailure_.empty()) ShowWarning(std::exchange(settingsFailure_, std::string()), "");
      break;
    case kShowForSecondStartMessage:
      if (!WaitsForModal(0, 0, false)) ShowLauncherFromHotKey();
      break;
    case WM_ACTIVATEAPP:
      // Another program taking the focus leaves the launcher shown.
      result = DefaultHandling(message, wParam, lParam);
      break;
    default:
      result = DefaultHandling(message, wParam, lParam);
      break;
  }
  // Every message also goes to the tray icon, after the window's own handling.
  if (trayIcon) trayIcon->HandleTrayMessage(message, wParam, lParam);
  return result;
}

bool TfrmLumora::HandleCommand(WORD id, WORD notification) {
  switch (id) {
    case IDC_EDTCOMMAND:
      if (notification == EN_CHANGE) edtCommandChange();
      return true;
    case IDC_BTNCONF:
      if (notification == BN_CLICKED) btnConfClick();
      return true;
    case IDC_LSTMAIN:
    case IDC_PANELCOMMAND:
      return false;
    default:
      break;
  }
  // Menu commands (notification 0) and accelerators (1).
  if (notification > 1) return false;
  const bool endsProgram = id == IDM_COMPLETECLOSE || id == IDM_RESTARTLAUNCH || id == IDM_UNINSTALL;
  if (WaitsForModal(WM_COMMAND, MAKEWPARAM(id, notification), endsProgram)) return true;
  switch (id) {
    case IDM_ABOUT:
      popAboutClick();
      return true;
    case IDM_HELP:
      popHelpClick();
      return true;
    case IDM_LAUNCHEDITNOTE:
      popLaunchEditNoteClick();
      return true;
    case IDM_INSTALL:
      popInstallClick();
      return true;
    case IDM_UNINSTALL:
      popUninstallClick();
      return true;
    case IDM_OPENSETDIR:
      popOpenSetDirClick();
      return true;
    case IDM_OPENSENDTO:
      mnuOpenSendToClick();
      return true;
    case IDM_OPENCALC:
      mnuOpenCalcClick();
      return true;
    case IDM_LUMORAWEB:
      mnuLumoraWebClick();
      return true;
    case IDM_SORTTIME:
      popSortTimeClick();
      return true;
    case IDM_SORTCOUNT:
      popSortCountClick();
      return true;
    case IDM_SORTNAME:
      popSortNameClick();
      return true;
    case IDM_RESTARTLAUNCH:
      mnuRestartLaunchClick();
      return true;
    case IDM_HOTKEYCHANGE:
      popHotKeyChangeClick();
      return true;
    case IDM_HOTKEYRESTART:
      popHotkeyRestartClick();
      return true;
    case IDM_HOTKEYMOVECUR:
      popHotKeyMoveCurClick();
      return true;
    case IDM_HOTKEYMOVEWIN:
      popHotkeyMoveWinClick();
      return true;
    case IDM_COMPLETECLOSE:
      popCompleteCloseClick();
      return true;
    case IDM_OPEN:
      popOpenClick();
      return true;
    case IDM_CLOSE:
      popCloseClick();
      return true;
    case IDM_EXECWITHARGFILE:
      popExecWithArgFileClick();
      return true;
    case IDM_EXECWITHARGSTR:
      popExecWithArgStrClick();
      return true;
    case IDM_ADDITEM:
      popAddItemClick();
      return true;
    case IDM_EDITITEM:
      popEditItemClick();
      return true;
    case IDM_DELITEM:
      popDelItemClick();
      return true;
    case IDM_CHECKANDREMOVE:
      popCheckAndRemoveClick();
      return true;
    case IDM_OPENTARGETDIR:
      mnuOpenTargetDirClick();
      return true;
    case IDM_CHANGETRAYICON:
      popChangeTrayIconClick();
      return true;
    case IDM_CLEARICONCACHE:
      mnuClearIconCacheClick();
      return true;
    default:
      return false;
  }
}

void TfrmLumora::FormCreate() {
  InitLauncher();
  // Start-up ran through: the window stays hidden when the loop starts.
  showOnStart_ = false;
  panelCommandResize();
}

void TfrmLumora::InitLauncher() {
  platform::SetApplicationTitle(kLauncherTitle);
  SetWindowTextW(Handle(), kLauncherTitleW);
  platform::SetMainWindow(Handle());

  iconList = std::make_unique<LauncherIcons>(Handle(), kIconsArrivedMessage, ProgramFolder(), iconLookup_);
  iconList->ApplyLayout(layout_);
  allowClose = true;
  isShown = false;
  execArg.clear();

  iniSetting = std::make_unique<platform::IniFile>(
      programFolder_.empty() ? platform::ProgramSettingsPath() : programFolder_ + "Lumora.ini");
  // The hotkey manager and its hidden window; the keys are registered below.
  hotKeys_ = std::make_unique<LauncherHotKeys>(static_cast<HotKeyHost&>(*this), *iniSetting, hotKeyUnit_.Notation());

  // The list first, so that it is ready as soon as can be; a list that
  // cannot be read is told after the tray icon and the keys are in place,
  // as they do not depend on it.
  // "data\" comes into being when missing (a program folder holding the
  // executable alone), so the list and the memo can be saved; when it cannot
  // be made, the first save says why.
  CreateFolderTree(ProgramFolder() + "data\\");
  list_ = std::make_unique<LauncherList>(ProgramFolder() + "data\\applist.tsv", listDisplay_);
  list_->OnEntryIconStale = [this](const std::string& id) {
    if (iconList) iconList->ForgetEntryIcon(id);
  };
  // Before the list is read: when that fails, drops and the dialog's OK are
  // still there to be refused with the reason.
  CreateEditor();
  std::exception_ptr listError;
  try {
    list_->Load();
    list_->sortMode = SortModeFromText(iniSetting->ReadString("launch", "sort", "time"));
    ResetView();
  } catch (...) {
    listError = std::current_exception();
  }

  // The icon file the user chose for the tray; the built-in icon when there
  // is none or it does not load.
  imgIconTray = LoadStoredTrayIcon(*iniSetting);
  if (!imgIconTray) {
    imgIconTray.reset(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON, 16, 16, 0)));
  }
  if (!imgIconTray) {
    imgIconTray.reset(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_LUMORA), IMAGE_ICON, 16, 16, 0)));
  }
  if (!imgIconTray) {
    imgIconTray.reset(CopyIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION))));
  }
  trayIcon = std::make_unique<TMarlTasktray>(Handle(), imgIconTray.get(), kTrayTip, trayNotify_);
  trayIcon->OnLeftClick = [this] {
    if (!WaitsForModal(0, 0, false)) ToggleLauncher();
  };
  // The right click (and Shift with the left click) toggles the memo window.
  trayIcon->OnRightClick = [this] {
    if (!WaitsForModal(0, 0, false)) ToggleMemo();
  };
  trayIcon->EnsureIcon();

  // A refused show key is told once the message loop runs, not in the
  // middle of start-up.
  if (!hotKeys_->RegisterAll()) PostMessageW(Handle(), kShowKeyRefusedMessage, 0, 0);

  if (listError) std::rethrow_exception(listError);
  if (!iniSetting->ReadBool("flag", "installed", false)) FirstRun();
}

void TfrmLumora::FirstRun() {
  CreateFolderTree(ProgramFolder() + "icons\\");
  // Written before anything else happens, so the step never repeats.
  WriteSetting("flag", "installed", "1");
  // The install questions come as the message loop starts, once the window
  // is whole: a command that ends the program meanwhile never meets a window
  // still in its creation.
  PostMessageW(Handle(), kFirstRunInstallMessage, 0, 0);
}

void TfrmLumora::ShowFirstRunBalloon() {
  if (!trayIcon) return;
  // The key's text is ANSI already, as the notation writes it.
  const std::string key = hotKeys_ ? hotKeys_->ShowKeyText() : std::string();
  std::string text = platform::Utf8ToAnsi("Lumoraは通知領域で待機しています。");
  if (!key.empty()) text += key + platform::Utf8ToAnsi(" または");
  text += platform::Utf8ToAnsi("このアイコンのクリックで開きます。");
  trayIcon->ShowBalloon(kTrayTip, text);
}

void TfrmLumora::FormCloseQuery(bool& canClose) {
  canClose = allowClose;
  if (!allowClose) {
    HideLauncher();
  } else if (!SaveMemoBeforeEnd()) {
    // The program would end with a note that could not be saved: it stays,
    // with the note in the memo window.
    canClose = false;
  }
}

void TfrmLumora::HideLauncher() {
  RECT bounds{};
  GetWindowRect(Handle(), &bounds);
  ShowWindow(Handle(), SW_HIDE);
  allowClose = true;
  isShown = false;
  KillTimer(Handle(), kTimerPanel);
  // Stored in 96-DPI units: the same setting gives the same size on every screen.
  WriteSetting("frmLumora", "Height", std::to_string(layout_.Designed(bounds.bottom - bounds.top)));
}

void TfrmLumora::WriteSetting(const char* section, const char* key, const std::string& value) {
  if (!iniSetting) return;
  try {
    iniSetting->WriteString(section, key, value);
  } catch (const AppError& error) {
    // A settings file that cannot be written (read-only, a copy under
    // Program Files) must not stand between the user and the launch that
    // hides the window: told once a run, after the handler is done.
    if (!settingsFailureTold_) {
      settingsFailureTold_ = true;
      settingsFailure_ = error.what();
      PostMessageW(Handle(), kSettingsNotWrittenMessage, 0, 0);
    }
  }
}

bool TfrmLumora::WaitsForModal(UINT message, WPARAM wParam, bool endsProgram) {
  if (!platform::ModalActive()) {
    // The end that closed the modals runs now: its own questions may come.
    if (endsProgram) platform::ResumeModals();
    return false;
  }
  if (endsProgram) {
    platform::EndModals(false);
    PostMessageW(Handle(), message, wParam, 0);
  } else {
    platform::BringModalToFront();
  }
  return true;
}

void TfrmLumora::Show() {
  if (!WaitsForModal(0, 0, false)) ShowLauncherFromHotKey();
}

void TfrmLumora::Hide() {
  if (!WaitsForModal(0, 0, false)) HideLauncher();
}

void TfrmLumora::Restart() {
  if (!WaitsForModal(WM_COMMAND, IDM_RESTARTLAUNCH, true)) mnuRestartLaunchClick();
}

void TfrmLumora::popCompleteCloseClick() {
  allowClose = true;
  SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TfrmLumora::FormDestroy() { FreeLauncher(); }

void TfrmLumora::FreeLauncher() {
  KillTimer(Handle(), kTimerPanel);
  // A note still open in the memo window is saved; its window goes.
  if (frmMemo) frmMemo->EndWithProgram();
  // Message boxes must not be given a window that is going away as owner.
  if (platform::MainWindow() == Handle()) platform::SetMainWindow(nullptr);
  iconList.reset();  // FreeIconList, then the list itself
  trayIcon.reset();  // removes the icon from the tray; trayIconChoice goes with the window object
  hotKeys_.reset();  // releases the hotkeys
  editor_.reset();  // the property dialog and the drop, before the list they work on
  list_.reset();
  listDisplay_.Attach(nullptr);
  iniSetting.reset();
}

// --- the list ----------------------------------------------------------------

void TfrmLumora::SaveList() {
  if (list_) list_->SaveList();
}

void TfrmLumora::ResetView() {
  if (list_) list_->ResetView();
}

void TfrmLumora::RefreshList() {
  if (list_) list_->RefreshList();
}

void TfrmLumora::AddEntryIfMissing(const std::string& name, const std::string& target) {
  if (list_) list_->AddEntryIfMissing(name, target);
}

void TfrmLumora::RecordLaunch(const std::string& id) {
  if (list_) list_->RecordLaunch(id);
}

int TfrmLumora::SortModeFromText(const std::string& text) {
  const std::optional<int> mode = SortModeOfText(text);
  if (!mode) return kSortByTime;  // checks nothing
  CheckSortItem(*mode);
  return *mode;
}

// The sort commands: the order, its setting, then the view in the new order
// (the filter stays).
void TfrmLumora::ApplySort(int mode) {
  CheckSortItem(mode);
  if (!list_) return;
  list_->sortMode = mode;
  WriteSetting("launch", "sort", SortModeText(mode));
  list_->RefreshList();
}

void TfrmLumora::popSortTimeClick() { ApplySort(kSortByTime); }

void TfrmLumora::popSortCountClick() { ApplySort(kSortByCount); }

void TfrmLumora::popSortNameClick() { ApplySort(kSortByName); }

// --- icons -------------------------------------------------------------------

void TfrmLumora::mnuClearIconCacheClick() {
  if (iconList) iconList->ClearIconCache();
}

void TfrmLumora::popChangeTrayIconClick() {
  if (iniSetting && trayIcon) trayIconChoice.Change(*iniSetting, *trayIcon);
}

// --- the hotkeys ---------------------------------------------------------------

void TfrmLumora::HandleHotKey(std::uint32_t /*hotKey*/, std::uint16_t index) {
  if (hotKeys_) hotKeys_->Pressed(index);
}

void TfrmLumora::popHotKeyChangeClick() {
  if (hotKeys_) hotKeys_->ChangeShowKey();
}

void TfrmLumora::popHotKeyMoveCurClick() {
  if (hotKeys_) hotKeys_->ChangeMoveCursorKey();
}

void TfrmLumora::popHotkeyMoveWinClick() {
  if (hotKeys_) hotKeys_->ChangeMoveWindowKey();
}

void TfrmLumora::popHotkeyRestartClick() {
  if (hotKeys_) hotKeys_->ChangeRestartKey();
}

void TfrmLumora::SetMenuCaption(UINT commandId, const std::wstring& caption) {
  platform::SetMenuCaption(popsMain.get(), commandId, caption);
}

std::string GetAppFolder() { return FolderPart(platform::ModulePath()); }

}  // namespace lumora
