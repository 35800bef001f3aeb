// The system's open dialog, with its DLL loaded on first use: most runs
// never open it, and loading it at start-up costs time and memory.
#pragma once

#include <windows.h>
#include <commdlg.h>

namespace lumora::platform {

// GetOpenFileNameW of the system's comdlg32.dll, loaded from the system
// folder the first time. Throws AppError when it cannot be loaded.
BOOL GetOpenFileNameLazy(OPENFILENAMEW& open);

}  // namespace lumora::platform
