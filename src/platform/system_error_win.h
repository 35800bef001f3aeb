// The system's own text for a Win32 error code, in UTF-8, without its
// trailing line break and full stop; "エラー <code>" when the system has none.
#pragma once

#include <string>

namespace lumora::platform {

std::string SystemErrorText(unsigned long code);

}  // namespace lumora::platform
