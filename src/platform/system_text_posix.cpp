// The native build has no ANSI code page of its own: it answers as a
// Japanese system would, in Shift-JIS, with the program's own date form.
#include "platform/text_platform.h"
#include "platform/text_portable.h"

namespace lumora::platform {

const TextPlatform& SystemText() {
  static const PortableTextPlatform instance;
  return instance;
}

}  // namespace lumora::platform
