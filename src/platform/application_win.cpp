// The application's main window, kept for the owners of boxes and dialogs.
#include "platform/application_win.h"

namespace lumora::platform {
namespace {

HWND mainWindow = nullptr;

}  // namespace

void SetMainWindow(HWND window) { mainWindow = window; }

// A window destroyed without being cleared here would make every box and
// dialog fail to open (an invalid owner): such a handle counts as none.
HWND MainWindow() { return mainWindow && IsWindow(mainWindow) ? mainWindow : nullptr; }

}  // namespace lumora::platform
