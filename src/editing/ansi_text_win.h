// User text from the wide controls into the ANSI code page of the list file,
// and only when the code page holds it exactly: a character it has no bytes
// for would come back as "?" or a lookalike and name some other file.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace lumora {

// The text in the ANSI code page, or nothing when the code page cannot hold
// every character of it.
std::optional<std::string> ExactAnsi(std::wstring_view text);

// The whole text of a window (an edit box) as UTF-16.
std::wstring WindowTextOf(HWND window);

}  // namespace lumora
