#include "driver/dialogs.h"

#include "driver/window.h"

namespace lumora::e2e {

HWND WaitForDialog(DWORD processId, Millis timeout, std::wstring_view className) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindowsOf(processId)) {
          if (IsVisible(window) && ClassNameOf(window) == className) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeout);
  return found;
}

bool WaitForDialogToClose(HWND dialog, Millis timeout) {
  return WaitUntil([&] { return !IsWindow(dialog) || !IsVisible(dialog); }, timeout);
}

std::wstring DialogCaption(HWND dialog) { return TextOf(dialog); }

std::wstring DialogMessage(HWND dialog) {
  std::wstring message;
  for (HWND control : ChildrenOf(dialog, L"Static")) {
    const std::wstring text = TextOf(control);
    if (text.empty()) continue;
    if (!message.empty()) message += L'\n';
    message += text;
  }
  return message;
}

bool HasButton(HWND dialog, int id) { return GetDlgItem(dialog, id) != nullptr; }

bool PressButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  return Post(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool TypeIntoDialog(HWND dialog, std::wstring_view text) {
  HWND edit = FindChild(dialog, L"Edit");
  return edit != nullptr && SetText(edit, text);
}

}  // namespace lumora::e2e
