#include "platform/menu_win.h"

namespace lumora::platform {
namespace {

void SetCaption(HMENU menu, UINT item, BOOL byPosition, const std::wstring& caption) {
  if (!menu) return;
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
  SetMenuItemInfoW(menu, item, byPosition, &info);
}

}  // namespace

void SetMenuCaption(HMENU menu, UINT commandId, const std::wstring& caption) {
  SetCaption(menu, commandId, FALSE, caption);
}

void SetMenuCaptionAt(HMENU menu, int position, const std::wstring& caption) {
  if (position >= 0) SetCaption(menu, static_cast<UINT>(position), TRUE, caption);
}

void ShowPopupMenu(HMENU menu, HWND owner, const RECT* anchor) {
  if (!menu) return;
  SetForegroundWindow(owner);
  if (anchor) {
    // Below the anchor, or above it when the work area has more room there
    // (not every system moves a menu that does not fit off the anchor).
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(anchor, MONITOR_DEFAULTTONEAREST), &monitor);
    const bool above = anchor->top - monitor.rcWork.top > monitor.rcWork.bottom - anchor->bottom;
    TPMPARAMS keepVisible{};
    keepVisible.cbSize = sizeof keepVisible;
    keepVisible.rcExclude = *anchor;
    TrackPopupMenuEx(menu, TPM_LEFTALIGN | (above ? TPM_BOTTOMALIGN : TPM_TOPALIGN) | TPM_VERTICAL | TPM_RIGHTBUTTON,
                     anchor->left, above ? anchor->top : anchor->bottom, owner, &keepVisible);
  } else {
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, owner, nullptr);
  }
  // The owner gets a message after the menu, as the menu's own loop expects.
  PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace lumora::platform
