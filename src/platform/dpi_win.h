// The DPI a window is drawn at: its monitor's where the system tells it per
// monitor (Windows 10 1607 and later), else the system's.
#pragma once

#include <windows.h>

namespace lumora::platform {

int WindowDpi(HWND window);

}  // namespace lumora::platform
