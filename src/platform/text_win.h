// The text services of the running system: the ANSI code page's lead bytes
// (GetCPInfo), the half-width mapping (LCMapStringA) and the user locale's
// date conversion (VarDateFromStr).
#pragma once

#include "platform/text_platform.h"

namespace lumora::platform {

class Win32TextPlatform : public TextPlatform {
 public:
  // Reads the lead-byte ranges of CP_ACP once.
  Win32TextPlatform();

  const LeadByteTable& LeadBytes() const override { return leadBytes_; }
  // LCMapStringA(LCMAP_HALFWIDTH) in the system locale into a 256-byte
  // buffer; the result ends at its first zero byte; empty when the system
  // refuses the text (for instance when it is longer than the buffer).
  std::string MapToHalfWidth(std::string_view ansiText) const override;
  std::optional<double> TextToDate(std::string_view ansiText) const override;
  std::string AnsiToUtf8(std::string_view ansiText) const override;
  LocalTime Now() const override;
  // GetDateFormatA (DATE_SHORTDATE) and GetTimeFormatA of the user's locale.
  std::string DateTimeText(const LocalTime& time) const override;

 private:
  LeadByteTable leadBytes_;
};

}  // namespace lumora::platform
