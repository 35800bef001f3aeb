// The program entry: COM and the common controls for the UI thread, the
// launcher window (hidden), then the message loop until that window closes.
#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "app/frmLumoraU_win.h"
#include "platform/error_report_win.h"
#include "platform/handles_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  lumora::platform::ComScope com;

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);

  lumora::TfrmLumora launcher;
  try {
    launcher.CreateForm();
  } catch (const std::exception& error) {
    lumora::platform::ShowErrorReport(nullptr, error.what());
    return 1;
  }
  if (launcher.ShowOnStart()) ShowWindow(launcher.Handle(), SW_SHOWNORMAL);

  MSG message;
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return got == -1 ? 1 : static_cast<int>(message.wParam);
}
