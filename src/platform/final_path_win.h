// Where a file or folder really is: the final path of an open handle, with
// every link, junction and 8.3 name resolved (under Wine, Unix links too).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace lumora::platform {

// The final path of an open file or folder, without the "\\?\" the system
// puts before it; nothing when the system cannot give one.
std::optional<std::wstring> FinalPathOf(HANDLE file);

// Paths compared as the file system compares names: without regard to
// letter case.
bool SamePath(std::wstring_view a, std::wstring_view b);

}  // namespace lumora::platform
