// Conversions between the program's three text forms: UTF-8 (UI text in the
// source), UTF-16 (the W functions of the system) and ANSI bytes in the
// system code page (data text, CP_ACP). Invalid input never throws: the
// system's replacement rules apply.
#pragma once

#include <string>
#include <string_view>

namespace lumora::platform {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
std::wstring AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::wstring_view wide);
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace lumora::platform
