// The application's main window: the owner of the program's message boxes
// and dialogs. Null until the launcher window registers itself.
#pragma once

#include <windows.h>

namespace lumora::platform {

void SetMainWindow(HWND window);
HWND MainWindow();

}  // namespace lumora::platform
