#include "platform/open_dialog_win.h"

#include "platform/error.h"
#include "platform/modal_win.h"

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
  if (open.hwndOwner && !IsWindow(open.hwndOwner)) open.hwndOwner = nullptr;
  const ModalScope scope(ModalScope::Kind::kQuestion, open.hwndOwner, IDCANCEL);
  if (!scope.Allowed()) return FALSE;
  const BOOL chosen = function(&open);
  return chosen && !scope.Ended();
}

}  // namespace lumora::platform
