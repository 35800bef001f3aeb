// The application's main window, kept for the owners of boxes and dialogs.
#include "platform/application_win.h"

namespace lumora::platform {
namespace {

HWND mainWindow = nullptr;

}  // namespace

void SetMainWindow(HWND window) { mainWindow = window; }

HWND MainWindow() { return mainWindow; }

}  // namespace lumora::platform
