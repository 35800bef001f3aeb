// Menu item captions, and popup menus at the pointer or beside a control.
#pragma once

#include <windows.h>

#include <string>

namespace lumora::platform {

// Sets the caption of the item with the command id, looked for in menu and
// its submenus; nothing when there is no such item.
void SetMenuCaption(HMENU menu, UINT commandId, const std::wstring& caption);
// The same for the item at position in menu (a submenu's own item).
void SetMenuCaptionAt(HMENU menu, int position, const std::wstring& caption);

// Shows the popup menu for owner, which gets its command: at the mouse
// pointer when anchor is null (a menu opened by the mouse), otherwise from
// the anchor's left edge below it, or above it when the work area has more
// room there, never covering it (a menu opened from the keyboard, beside
// the button or row it belongs to). Owner comes to the
// front first, so that the menu closes when the user clicks elsewhere.
void ShowPopupMenu(HMENU menu, HWND owner, const RECT* anchor);

}  // namespace lumora::platform
