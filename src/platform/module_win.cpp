#include "platform/module_win.h"

#include <windows.h>

#include <vector>

#include "platform/error.h"

namespace lumora::platform {

std::string ModulePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) throw AppError("プログラムのパスを取得できません");
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // cut: ask again with more room
  }
}

}  // namespace lumora::platform
