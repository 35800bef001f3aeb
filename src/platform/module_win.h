// The running executable's own path.
#pragma once

#include <string>

namespace lumora::platform {

// The full path of the program's executable in the ANSI code page, however
// long. Throws AppError when the system cannot tell it.
std::string ModulePath();

}  // namespace lumora::platform
