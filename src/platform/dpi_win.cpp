#include "platform/dpi_win.h"

namespace lumora::platform {
namespace {

// Looked up at run time: older systems lack both calls.
template <typename Function>
Function UserFunction(const char* name) {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  return user ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

}  // namespace

int WindowDpi(HWND window) {
  using ForWindow = UINT(WINAPI*)(HWND);
  using ForSystem = UINT(WINAPI*)();
  static const auto forWindow = UserFunction<ForWindow>("GetDpiForWindow");
  static const auto forSystem = UserFunction<ForSystem>("GetDpiForSystem");
  UINT dpi = 0;
  if (forWindow && window) dpi = forWindow(window);
  if (dpi == 0 && forSystem) dpi = forSystem();
  if (dpi == 0) {
    if (HDC screen = GetDC(nullptr)) {
      dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
      ReleaseDC(nullptr, screen);
    }
  }
  return dpi > 0 ? static_cast<int>(dpi) : 96;
}

}  // namespace lumora::platform
