// The launcher window: creation, start-up, settings, the close rule and
// shutdown, the message dispatcher, and the list operations over
// LauncherList.
#include "app/frmLumoraU_win.h"

#include <optional>
#include <vector>

#include "app/resource_ids.h"
#include "platform/application_win.h"
#include "platform/error.h"
#include "platform/error_report_win.h"
#include "sheet/text_primitives.h"

namespace lumora {

namespace {

constexpr char kLauncherTitle[] = "[LM]";
constexpr wchar_t kLauncherTitleW[] = L"[LM]";
constexpr char kTrayTip[] = "Lumora";

// Creates folder and every missing folder above it. Failure is left to the
// code that later writes into the folder.
void CreateFolderTree(const std::string& folder) {
  std::string path = folder;
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  if (path.empty() || path.back() == ':') return;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return;
  const std::string::size_type cut = path.find_last_of("\\/");
  if (cut != std::string::npos) CreateFolderTree(path.substr(0, cut + 1));
  CreateDirectoryA(path.c_str(), nullptr);
}

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
  // A small, resizable, always-on-top tool window without a taskbar button.
  window.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  window.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
  window.title = kLauncherTitleW;
  window.width = 214;
  window.height = 201;
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
        // The session ends: the window goes without the hide-instead rule.
        allowClose = true;
        DestroyWindow(Handle());
        return 0;
      }
      break;
    case WM_DESTROY:
      FormDestroy();
      if (quitOnDestroy_) PostQuitMessage(0);
      return 0;  // the tray object is gone
    case WM_COMMAND:
      if (!HandleCommand(LOWORD(wParam), HIWORD(wParam))) result = DefaultHandling(message, wParam, lParam);
      break;
    case WM_SIZE: {
      const int width = LOWORD(lParam);
      const int height = HIWORD(lParam);
      constexpr int kPanelHeight = 22;
      const int listHeight = height > kPanelHeight ? height - kPanelHeight : 0;
      if (lstMain) MoveWindow(lstMain, 0, 0, width, listHeight, TRUE);
      if (panelCommand) {
        MoveWindow(panelCommand, 0, listHeight, width, kPanelHeight, TRUE);
        panelCommandResize();
      }
      break;
    }
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType == ODT_LISTBOX && measure->CtlID == IDC_LSTMAIN) {
        measure->itemHeight = 18;
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
      ShowKeyRefusedAtStart();
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
      // The memo window's toggle: the button stays disabled until that
      // window exists.
      return true;
    case IDC_LSTMAIN:
    case IDC_PANELCOMMAND:
      return false;
    default:
      break;
  }
  // Menu commands (notification 0) and accelerators (1).
  if (notification > 1) return false;
  switch (id) {
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
    default:
      // The other items are greyed until their commands exist.
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
  hotKeyManager = std::make_unique<THotKeyManager>();
  hotKeyManager->OnHotKeyPressed = [this](std::uint32_t hotKey, std::uint16_t index) {
    HandleHotKey(hotKey, index);
  };

  platform::SetApplicationTitle(kLauncherTitle);
  SetWindowTextW(Handle(), kLauncherTitleW);
  platform::SetMainWindow(Handle());

  allowClose = true;
  isShown = false;
  execArg.clear();

  iniSetting = std::make_unique<platform::IniFile>(
      programFolder_.empty() ? platform::ProgramSettingsPath() : programFolder_ + "Lumora.ini");

  // "icon"/"tasktray" (a picture file for the tray icon) is read here once
  // the tray icon choice exists; until then the built-in icon is shown.
  imgIconTray.reset(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON, 16, 16, 0)));
  if (!imgIconTray) {
    imgIconTray.reset(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_LUMORA), IMAGE_ICON, 16, 16, 0)));
  }
  if (!imgIconTray) {
    imgIconTray.reset(CopyIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION))));
  }
  trayIcon = std::make_unique<TMarlTasktray>(Handle(), imgIconTray.get(), kTrayTip);
  trayIcon->OnLeftClick = [this] { ToggleLauncher(); };
  // The right click (and Shift with the left click) toggles the memo window
  // once it exists; until then it opens the main menu directly.
  trayIcon->OnRightClick = [this] { ShowMainMenu(); };
  trayIcon->EnsureIcon();

  InitHotKeys();

  list_ = std::make_unique<LauncherList>(ProgramFolder() + "data\\applist.tsv", listDisplay_);
  list_->Load();

  list_->sortMode = SortModeFromText(iniSetting->ReadString("launch", "sort", "time"));
  ResetView();

  if (!iniSetting->ReadBool("flag", "installed", false)) FirstRun();
}

void TfrmLumora::FirstRun() {
  CreateFolderTree(ProgramFolder() + "icons\\");
  // Written before anything else happens, so the step never repeats.
  iniSetting->WriteString("flag", "installed", "1");
  // The install command runs here once it exists.
}

void TfrmLumora::FormCloseQuery(bool& canClose) {
  canClose = allowClose;
  if (!allowClose) HideLauncher();
}

void TfrmLumora::HideLauncher() {
  RECT bounds{};
  GetWindowRect(Handle(), &bounds);
  if (iniSetting) iniSetting->WriteInteger("frmLumora", "Height", bounds.bottom - bounds.top);
  ShowWindow(Handle(), SW_HIDE);
  allowClose = true;
  isShown = false;
  KillTimer(Handle(), kTimerPanel);
}

void TfrmLumora::popCompleteCloseClick() {
  allowClose = true;
  SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void TfrmLumora::FormDestroy() { FreeLauncher(); }

void TfrmLumora::FreeLauncher() {
  KillTimer(Handle(), kTimerPanel);
  // Message boxes must not be given a window that is going away as owner.
  if (platform::MainWindow() == Handle()) platform::SetMainWindow(nullptr);
  // The icon list is freed here once it exists.
  trayIcon.reset();  // removes the icon from the tray
  hotKeyManager.reset();  // releases the hotkeys
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

namespace {
// The sort commands: the order, its setting, then the view in the new order
// (the filter stays).
void ApplySort(LauncherList* list, platform::IniFile* settings, int mode) {
  if (!list) return;
  list->sortMode = mode;
  if (settings) settings->WriteString("launch", "sort", SortModeText(mode));
  list->RefreshList();
}
}  // namespace

void TfrmLumora::popSortTimeClick() {
  CheckSortItem(kSortByTime);
  ApplySort(list_.get(), iniSetting.get(), kSortByTime);
}

void TfrmLumora::popSortCountClick() {
  CheckSortItem(kSortByCount);
  ApplySort(list_.get(), iniSetting.get(), kSortByCount);
}

void TfrmLumora::popSortNameClick() {
  CheckSortItem(kSortByName);
  ApplySort(list_.get(), iniSetting.get(), kSortByName);
}

std::string GetAppFolder() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) throw AppError("プログラムのパスを取得できません");
    if (length < buffer.size()) return FolderPart(std::string_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);  // cut: ask again with more room
  }
}

}  // namespace lumora
