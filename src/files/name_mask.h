// Wildcard masks of file names as the file search reads them: "*" matches
// any run of characters (none included), "?" one character, letters match
// without regard to case, "*.*" matches every name. Two-byte characters of
// the ANSI code page count as one character. The system's own search also
// matches a name by its short 8.3 alias ("*.bmp" finds "a.bmpx" through
// "A~1.BMP"); this check keeps to the name itself.
#pragma once

#include <string_view>

namespace lumora {

bool MatchesNameMask(std::string_view name, std::string_view mask);

}  // namespace lumora
