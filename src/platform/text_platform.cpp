#include "platform/text_platform.h"

namespace lumora::platform {

void LeadByteTable::AddRange(unsigned char first, unsigned char last) {
  for (int b = first; b <= last; ++b) lead_[b] = true;
}

LeadByteTable LeadByteTable::ShiftJis() {
  LeadByteTable table;
  table.AddRange(0x81, 0x9F);
  table.AddRange(0xE0, 0xFC);
  return table;
}

namespace {
const TextPlatform* g_override = nullptr;
}

const TextPlatform& Text() { return g_override ? *g_override : SystemText(); }

ScopedTextPlatform::ScopedTextPlatform(const TextPlatform& replacement) : previous_(g_override) {
  g_override = &replacement;
}

ScopedTextPlatform::~ScopedTextPlatform() { g_override = previous_; }

}  // namespace lumora::platform
