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

}  // namespace lumora::platform
