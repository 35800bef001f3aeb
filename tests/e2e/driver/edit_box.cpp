#include "driver/edit_box.h"

#include "driver/window.h"

namespace lumora::e2e {

std::wstring EditText(HWND edit) { return TextOf(edit); }

std::string EditTextAnsi(HWND edit) {
  const auto length = static_cast<size_t>(SendAnsi(edit, WM_GETTEXTLENGTH));
  std::string text(length * 2 + 2, '\0');
  SendAnsi(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(text.find('\0'));
  return text;
}

std::pair<int, int> EditSelection(HWND edit) {
  // Pointers in wParam/lParam would not cross a process boundary; the packed
  // result does (it holds positions up to 65535, plenty for a command line).
  const auto packed = static_cast<DWORD>(Send(edit, EM_GETSEL));
  return {LOWORD(packed), HIWORD(packed)};
}

bool SetEditText(HWND edit, std::wstring_view text) { return SetText(edit, text); }

}  // namespace lumora::e2e
