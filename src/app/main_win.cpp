// The program entry: DLLs from the system folder only, one instance per
// program folder, COM and the common controls for the UI thread, the launcher window (hidden), then the message
// loop until that window closes.
#include <windows.h>
#include <commctrl.h>

#include "app/frmLumoraU_win.h"
#include "app/single_instance_win.h"
#include "platform/dll_search_win.h"
#include "platform/error_report_win.h"
#include "platform/handles_win.h"
#include "shell/gui_benri_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything loads a DLL by name.
  lumora::platform::RestrictDllSearchToSystem();
  // A second start from the same folder brings the running launcher up and
  // ends, touching no file.
  using namespace std::chrono_literals;
  const std::optional<lumora::SingleInstance> instance = lumora::SingleInstance::Claim(10s);
  if (!instance) {
    if (!lumora::SingleInstance::ShowRunningInstance(lumora::TfrmLumora::kShowForSecondStartMessage, 5s)) {
      // An instance holds the folder but shows no launcher (it is ending, or
      // hangs): said, rather than ending silently or running beside it.
      lumora::ShowWarning(
          "このフォルダの Lumora がすでに動いていますが、ランチャのウィンドウがないか応答しません。\r\n"
          "しばらく待ってからもう一度起動するか、動いている Lumora を終了してください。",
          "");
      return 1;
    }
    return 0;
  }
  lumora::platform::ComScope com;

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);

  lumora::TfrmLumora launcher;
  if (!lumora::platform::Guarded(nullptr, [&] { launcher.CreateForm(); })) return 1;
  if (launcher.ShowOnStart()) ShowWindow(launcher.Handle(), SW_SHOWNORMAL);

  MSG message{};
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    // A modal loop (a menu, a window being sized) that was running when the
    // launcher window closed may have taken the quit message for itself; the
    // program ends with its window all the same.
    if (!launcher.Handle()) return 0;
  }
  return static_cast<int>(message.wParam);
}
