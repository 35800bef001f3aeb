// Menu item captions.
#pragma once

#include <windows.h>

#include <string>

namespace lumora::platform {

// Sets the caption of the item with the command id, looked for in menu and
// its submenus; nothing when there is no such item.
void SetMenuCaption(HMENU menu, UINT commandId, const std::wstring& caption);
// The same for the item at position in menu (a submenu's own item).
void SetMenuCaptionAt(HMENU menu, int position, const std::wstring& caption);

}  // namespace lumora::platform
