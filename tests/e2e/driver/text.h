// Text conversions the driver needs at the edge of Win32: UTF-8 for test
// messages, UTF-16 for window text, the ANSI code page for the program's data
// files, and Unix build paths turned into the paths Wine's programs see.
#pragma once

#include <string>
#include <string_view>

namespace lumora::e2e {

std::wstring Utf16FromUtf8(std::string_view utf8);
std::string Utf8FromUtf16(std::wstring_view text);

// Bytes in the given code page (CP_ACP by default, 932 on the test machines).
std::string AnsiFromUtf16(std::wstring_view text, unsigned codePage = 0);
std::wstring Utf16FromAnsi(std::string_view bytes, unsigned codePage = 0);

// "/tmp/x/Lumora.exe" -> "Z:\tmp\x\Lumora.exe" (Wine maps the Unix root to
// drive Z:). A path that already has a drive letter or starts with "\\" is
// returned with its slashes turned into backslashes.
std::wstring WindowsPathFromAnyPath(std::string_view path);

// The value of an environment variable, empty when unset.
std::wstring EnvironmentValue(const wchar_t* name);

}  // namespace lumora::e2e
