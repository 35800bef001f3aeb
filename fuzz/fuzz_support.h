// What every fuzz target shares: the Shift-JIS text services of the
// portable core, in force for the whole run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/text_platform.h"
#include "platform/text_portable.h"

namespace lumora::fuzz {

inline const platform::TextPlatform& UseShiftJis() {
  static platform::PortableTextPlatform text;
  static platform::ScopedTextPlatform use(text);
  return text;
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace lumora::fuzz
