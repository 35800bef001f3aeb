#include "app/frmLumoraU_win.h"

#include <vector>

#include "app/resource_ids.h"
#include "platform/error.h"
#include "platform/error_report_win.h"
#include "sheet/text_primitives.h"

namespace lumora {

namespace {
constexpr char kLauncherTitle[] = "[LM]";
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
  window.title = L"[LM]";
  window.width = 214;
  window.height = 201;
  Create(windowClass, window);
}

LRESULT TfrmLumora::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_CLOSE: {
      bool canClose = true;
      FormCloseQuery(canClose);
      if (canClose) DestroyWindow(Handle());
      return 0;
    }
    case WM_QUERYENDSESSION:
      // Logging off or shutting down is never refused.
      return TRUE;
    case WM_DESTROY:
      FormDestroy();
      PostQuitMessage(0);
      return 0;
    default:
      return DefaultHandling(message, wParam, lParam);
  }
}

void TfrmLumora::FormCreate() {
  InitLauncher();
  // Start-up ran through: the window stays hidden when the loop starts.
  showOnStart_ = false;
}

void TfrmLumora::InitLauncher() {
  platform::SetApplicationTitle(kLauncherTitle);
  SetWindowTextW(Handle(), L"[LM]");
  allowClose = true;
  isShown = false;
}

void TfrmLumora::FormCloseQuery(bool& canClose) {
  canClose = allowClose;
  if (!allowClose) HideLauncher();
}

void TfrmLumora::HideLauncher() {
  ShowWindow(Handle(), SW_HIDE);
  allowClose = true;
  isShown = false;
}

void TfrmLumora::FormDestroy() {
  // Everything the launcher owns is released with the object itself.
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
