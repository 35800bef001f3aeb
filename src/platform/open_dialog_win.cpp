#include "platform/open_dialog_win.h"

#include "platform/error.h"

namespace lumora::platform {

BOOL GetOpenFileNameLazy(OPENFILENAMEW& open) {
  using OpenFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);
  // Loaded once and kept for the rest of the run, as an import would be.
  static const OpenFunction function = []() -> OpenFunction {
    HMODULE module = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) module = LoadLibraryExW(L"comdlg32.dll", nullptr, 0);  // systems without the flag
    if (!module) return nullptr;
    return reinterpret_cast<OpenFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "GetOpenFileNameW")));
  }();
  if (!function) throw AppError("ファイルを開くダイアログを表示できません。");
  return function(&open);
}

}  // namespace lumora::platform
