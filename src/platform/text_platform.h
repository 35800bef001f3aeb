// Text services that the portable core asks of the platform: the lead-byte
// table of the ANSI code page, the full-width to half-width mapping, the
// locale's text-to-date conversion and the conversion of ANSI bytes into
// UTF-8 for messages. The Win32 build answers with the system's own services;
// the portable build answers for Shift-JIS so that native tests see the same
// bytes as a Japanese Windows.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace lumora::platform {

// Which bytes start a two-byte character in the ANSI code page.
class LeadByteTable {
 public:
  LeadByteTable() = default;
  // Marks first..last (inclusive) as lead bytes.
  void AddRange(unsigned char first, unsigned char last);
  bool IsLead(unsigned char byte) const { return lead_[byte]; }
  bool IsLead(char byte) const { return lead_[static_cast<unsigned char>(byte)]; }

  // 0x81-0x9F and 0xE0-0xFC, the lead bytes of code page 932.
  static LeadByteTable ShiftJis();

 private:
  std::array<bool, 256> lead_{};
};

// A local date and time of day, as the clock reads it.
struct LocalTime {
  int year = 0;
  int month = 0;    // 1-12
  int day = 0;      // 1-31
  int hour = 0;     // 0-23
  int minute = 0;
  int second = 0;
  int weekday = 0;  // 0 = Sunday
};

class TextPlatform {
 public:
  virtual ~TextPlatform() = default;

  virtual const LeadByteTable& LeadBytes() const = 0;

  // Maps full-width characters of the ANSI text to half-width ones (digits,
  // Latin letters, signs, katakana); everything else is copied. The caller
  // has already cut the text to its size limit.
  virtual std::string MapToHalfWidth(std::string_view ansiText) const = 0;

  // The user's locale's conversion of a date-and-time text to an OLE
  // automation date (days since 1899-12-30, the time as the fraction);
  // nothing when the text is not a date.
  virtual std::optional<double> TextToDate(std::string_view ansiText) const = 0;

  // ANSI bytes to UTF-8, for texts that go into messages.
  virtual std::string AnsiToUtf8(std::string_view ansiText) const = 0;

  // The current local date and time.
  virtual LocalTime Now() const = 0;

  // The time text of the launcher list: the locale's short date, a blank and
  // its long time; at 00:00:00 to the second only the date. TextToDate reads
  // it back.
  virtual std::string DateTimeText(const LocalTime& time) const = 0;
};

// The text services in force: the system's, unless a test has put others in
// place with ScopedTextPlatform.
const TextPlatform& Text();

// The system's own text services (Win32 build: the ANSI code page and the
// user's locale; portable build: Shift-JIS and the program's own date form).
const TextPlatform& SystemText();

// Puts another text platform in force for the lifetime of the object.
class ScopedTextPlatform {
 public:
  explicit ScopedTextPlatform(const TextPlatform& replacement);
  ~ScopedTextPlatform();
  ScopedTextPlatform(const ScopedTextPlatform&) = delete;
  ScopedTextPlatform& operator=(const ScopedTextPlatform&) = delete;

 private:
  const TextPlatform* previous_;
};

}  // namespace lumora::platform
