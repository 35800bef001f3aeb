// Text services written out for Shift-JIS (code page 932) and the program's
// own date form, with no call into a system: the lead bytes of code page
// 932, its full-width to half-width mapping, dates written as
// "yyyy/M/d H:mm:ss", and ANSI bytes handed on unchanged as UTF-8.
#pragma once

#include "platform/text_platform.h"

namespace lumora::platform {

class PortableTextPlatform : public TextPlatform {
 public:
  PortableTextPlatform();

  const LeadByteTable& LeadBytes() const override { return lead_; }

  // As code page 932's mapping through Unicode does it: the full-width
  // space, the full-width forms of the ASCII signs (not the backslash),
  // digits and letters, the full-width katakana (voiced ones as a letter and
  // a sound mark) and the katakana signs become their one-byte forms; curly
  // quotes become ASCII quotes; characters with two codes come out at the
  // preferred one; unassigned codes become the half-width middle dot; every
  // other byte and character is copied.
  std::string MapToHalfWidth(std::string_view ansiText) const override;

  // "yyyy/M/d", optionally followed by blanks and "H:mm" or "H:mm:ss";
  // invalid dates and times give nothing.
  std::optional<double> TextToDate(std::string_view ansiText) const override;

  std::string AnsiToUtf8(std::string_view ansiText) const override {
    return std::string(ansiText);
  }

  // The clock of the C library, in local time.
  LocalTime Now() const override;

  // "yyyy/MM/dd H:mm:ss", or only the date at 00:00:00.
  std::string DateTimeText(const LocalTime& time) const override;

 private:
  LeadByteTable lead_;
};

}  // namespace lumora::platform
