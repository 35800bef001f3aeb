// Reading and filling an edit box, in this process or another.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace lumora::e2e {

std::wstring EditText(HWND edit);
// The text through the ANSI message: bytes in the system code page.
std::string EditTextAnsi(HWND edit);
// The selection as [start, end) in UTF-16 units.
std::pair<int, int> EditSelection(HWND edit);
// Replaces the whole text (WM_SETTEXT); the control reports EN_CHANGE as for typing.
bool SetEditText(HWND edit, std::wstring_view text);

}  // namespace lumora::e2e
