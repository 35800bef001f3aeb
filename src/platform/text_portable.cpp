#include "platform/text_portable.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string_view>

namespace lumora::platform {

namespace {

struct HalfWidthPair {
  std::uint16_t code;  // the two-byte Shift-JIS code
  char ascii;
};

// The code page 932 codes of U+3000 and U+FF01..U+FF5E that have an ASCII
// half-width form. U+FF02 and U+FF07 are found only among the extension
// characters, each at two codes (NEC-selected and IBM).
constexpr HalfWidthPair kAsciiForms[] = {
    {0x8140, ' '},  {0x8149, '!'},  {0xFA57, '"'},  {0xEEFC, '"'},  {0x8194, '#'},
    {0x8190, '$'},  {0x8193, '%'},  {0x8195, '&'},  {0xFA56, '\''}, {0xEEFB, '\''},
    {0x8169, '('},  {0x816A, ')'},  {0x8196, '*'},  {0x817B, '+'},  {0x8143, ','},
    {0x817C, '-'},  {0x8144, '.'},  {0x815E, '/'},  {0x8146, ':'},  {0x8147, ';'},
    {0x8183, '<'},  {0x8181, '='},  {0x8184, '>'},  {0x8148, '?'},  {0x8197, '@'},
    {0x816D, '['},  {0x818F, '\\'}, {0x816E, ']'},  {0x814F, '^'},
    {0x8151, '_'},  {0x814D, '`'},  {0x816F, '{'},  {0x8162, '|'},  {0x8170, '}'},
    {0x8160, '~'},
};

// Katakana signs: 。「」、・ー゛゜
constexpr HalfWidthPair kKanaSigns[] = {
    {0x8142, '\xA1'}, {0x8175, '\xA2'}, {0x8176, '\xA3'}, {0x8141, '\xA4'},
    {0x8145, '\xA5'}, {0x815B, '\xB0'}, {0x814A, '\xDE'}, {0x814B, '\xDF'},
};

// Half-width forms of the katakana U+30A1..U+30F6 (Shift-JIS 0x8340..0x837E
// and 0x8380..0x8396), in Unicode order; empty where there is no half-width
// form (small wa, wi, we, small ka, small ke).
constexpr const char* kKatakana[86] = {
    "\xA7",     "\xB1",     "\xA8",     "\xB2",     "\xA9",     "\xB3",      // ァアィイゥウ
    "\xAA",     "\xB4",     "\xAB",     "\xB5",                              // ェエォオ
    "\xB6",     "\xB6\xDE", "\xB7",     "\xB7\xDE", "\xB8",     "\xB8\xDE",  // カガキギクグ
    "\xB9",     "\xB9\xDE", "\xBA",     "\xBA\xDE",                          // ケゲコゴ
    "\xBB",     "\xBB\xDE", "\xBC",     "\xBC\xDE", "\xBD",     "\xBD\xDE",  // サザシジスズ
    "\xBE",     "\xBE\xDE", "\xBF",     "\xBF\xDE",                          // セゼソゾ
    "\xC0",     "\xC0\xDE", "\xC1",     "\xC1\xDE", "\xAF",     "\xC2",      // タダチヂッツ
    "\xC2\xDE", "\xC3",     "\xC3\xDE", "\xC4",     "\xC4\xDE",              // ヅテデトド
    "\xC5",     "\xC6",     "\xC7",     "\xC8",     "\xC9",                  // ナニヌネノ
    "\xCA",     "\xCA\xDE", "\xCA\xDF", "\xCB",     "\xCB\xDE", "\xCB\xDF",  // ハバパヒビピ
    "\xCC",     "\xCC\xDE", "\xCC\xDF", "\xCD",     "\xCD\xDE", "\xCD\xDF",  // フブプヘベペ
    "\xCE",     "\xCE\xDE", "\xCE\xDF",                                      // ホボポ
    "\xCF",     "\xD0",     "\xD1",     "\xD2",     "\xD3",                  // マミムメモ
    "\xAC",     "\xD4",     "\xAD",     "\xD5",     "\xAE",     "\xD6",      // ャヤュユョヨ
    "\xD7",     "\xD8",     "\xD9",     "\xDA",     "\xDB",                  // ラリルレロ
    "",         "\xDC",     "",         "",         "\xA6",     "\xDD",      // ヮワヰヱヲン
    "\xB3\xDE", "",         "",                                              // ヴヵヶ
};

// Other characters that the system's mapping changes: the typographic
// quotes become ASCII ones; signs whose half-width forms have no code in
// code page 932 become "?"; characters with two codes in code page 932 come
// out at the code the system converts back to.
struct TwoByteForm {
  std::uint16_t code;
  const char* form;
};
constexpr TwoByteForm kOtherForms[] = {
    {0x8153, "\x81\x52\xDE"},  // katakana iteration mark with sound mark
    {0x8165, "'"}, {0x8166, "'"}, {0x8167, "\""}, {0x8168, "\""},
    {0x819B, "?"}, {0x81A1, "?"}, {0x81A8, "?"}, {0x81A9, "?"}, {0x81AA, "?"}, {0x81AB, "?"},
    {0x84A0, "?"},
    {0x8790, "\x81\xE0"}, {0x8791, "\x81\xDF"}, {0x8792, "\x81\xE7"}, {0x8795, "\x81\xE3"},
    {0x8796, "\x81\xDB"}, {0x8797, "\x81\xDA"}, {0x879A, "\x81\xE6"}, {0x879B, "\x81\xBF"},
    {0x879C, "\x81\xBE"},
    {0xFA4A, "\x87\x54"}, {0xFA4B, "\x87\x55"}, {0xFA4C, "\x87\x56"}, {0xFA4D, "\x87\x57"},
    {0xFA4E, "\x87\x58"}, {0xFA4F, "\x87\x59"}, {0xFA50, "\x87\x5A"}, {0xFA51, "\x87\x5B"},
    {0xFA52, "\x87\x5C"}, {0xFA53, "\x87\x5D"}, {0xFA54, "\x81\xCA"}, {0xFA55, "|"},
    {0xFA58, "\x87\x8A"}, {0xFA59, "\x87\x82"}, {0xFA5A, "\x87\x84"}, {0xFA5B, "\x81\xE6"},
    {0xEEF9, "\x81\xCA"}, {0xEEFA, "|"},
};

// The assigned two-byte codes of code page 932 (second bytes 0x40..0xFC
// without 0x7F), as ranges in code order.
struct CodeRange {
  std::uint16_t first;
  std::uint16_t last;
};
constexpr CodeRange kAssigned[] = {
    {0x8140, 0x81AC}, {0x81B8, 0x81BF}, {0x81C8, 0x81CE}, {0x81DA, 0x81E8}, {0x81F0, 0x81F7},
    {0x81FC, 0x81FC}, {0x824F, 0x8258}, {0x8260, 0x8279}, {0x8281, 0x829A}, {0x829F, 0x82F1},
    {0x8340, 0x8396}, {0x839F, 0x83B6}, {0x83BF, 0x83D6}, {0x8440, 0x8460}, {0x8470, 0x8491},
    {0x849F, 0x84BE}, {0x8740, 0x875D}, {0x875F, 0x8775}, {0x877E, 0x879C}, {0x889F, 0x9872},
    {0x989F, 0xEAA4}, {0xED40, 0xEEEC}, {0xEEEF, 0xEEFC}, {0xF040, 0xFC4B},
};

bool IsAssigned(std::uint16_t code) {
  for (const auto& r : kAssigned) {
    if (code >= r.first && code <= r.last) return true;
  }
  return false;
}

// The next two-byte code in code order (second bytes 0x40..0xFC, no 0x7F).
std::uint16_t NextCode(std::uint16_t code) {
  unsigned trail = (code & 0xFFu) + 1;
  if (trail == 0x7F) ++trail;
  if (trail > 0xFC) return static_cast<std::uint16_t>(((code >> 8) + 1) << 8 | 0x40);
  return static_cast<std::uint16_t>((code & 0xFF00u) | trail);
}

// The NEC-selected IBM extensions (0xED40..0xEEEC) stand in code order for
// the IBM extension kanji from 0xFA5C; 0xEEEF..0xEEF8 for 0xFA40..0xFA49.
std::uint16_t IbmCodeOf(std::uint16_t code) {
  if (code >= 0xEEEF) return static_cast<std::uint16_t>(0xFA40 + (code - 0xEEEF));
  std::uint16_t target = 0xFA5C;
  for (std::uint16_t c = 0xED40; c != code; c = NextCode(c)) target = NextCode(target);
  return target;
}

// The half-width form of one two-byte character, written to out; false
// when it is copied unchanged.
bool HalfWidthOf(std::uint16_t code, std::string& out) {
  const unsigned trail = code & 0xFFu;
  if (trail < 0x40 || trail > 0xFC || trail == 0x7F) return false;
  if (!IsAssigned(code)) {
    out += '\xA5';  // an unassigned code reads as the middle dot
    return true;
  }
  if (code >= 0x8340 && code <= 0x837E) {
    out += kKatakana[code - 0x8340];
    return *kKatakana[code - 0x8340] != 0;
  }
  if (code >= 0x8380 && code <= 0x8396) {
    out += kKatakana[code - 0x8380 + 63];
    return *kKatakana[code - 0x8380 + 63] != 0;
  }
  if (code >= 0x824F && code <= 0x8258) {
    out += static_cast<char>('0' + (code - 0x824F));
    return true;
  }
  if (code >= 0x8260 && code <= 0x8279) {
    out += static_cast<char>('A' + (code - 0x8260));
    return true;
  }
  if (code >= 0x8281 && code <= 0x829A) {
    out += static_cast<char>('a' + (code - 0x8281));
    return true;
  }
  for (const auto& p : kAsciiForms) {
    if (p.code == code) {
      out += p.ascii;
      return true;
    }
  }
  for (const auto& p : kKanaSigns) {
    if (p.code == code) {
      out += p.ascii;
      return true;
    }
  }
  for (const auto& p : kOtherForms) {
    if (p.code == code) {
      out += p.form;
      return true;
    }
  }
  if (code >= 0xED40 && code <= 0xEEF8) {
    const std::uint16_t ibm = IbmCodeOf(code);
    out += static_cast<char>(ibm >> 8);
    out += static_cast<char>(ibm & 0xFF);
    return true;
  }
  return false;
}

// Days from 1899-12-30 to the civil date (proleptic Gregorian calendar).
long long DaysFromEpoch(int y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long long daysFrom1970 = era * 146097 + static_cast<long long>(doe) - 719468;
  return daysFrom1970 + 25569;  // 1970-01-01 is day 25569
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Reads 1..maxDigits decimal digits at pos.
bool ReadNumber(std::string_view s, std::size_t& pos, std::size_t maxDigits, int& value) {
  std::size_t n = 0;
  value = 0;
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && n < maxDigits) {
    value = value * 10 + (s[pos] - '0');
    ++pos;
    ++n;
  }
  return n > 0;
}

}  // namespace

PortableTextPlatform::PortableTextPlatform() : lead_(LeadByteTable::ShiftJis()) {}

std::string PortableTextPlatform::MapToHalfWidth(std::string_view ansiText) const {
  std::string out;
  out.reserve(ansiText.size());
  for (std::size_t i = 0; i < ansiText.size();) {
    const char c = ansiText[i];
    if (lead_.IsLead(c) && i + 1 < ansiText.size()) {
      const auto code = static_cast<std::uint16_t>((static_cast<unsigned char>(c) << 8) |
                                                   static_cast<unsigned char>(ansiText[i + 1]));
      if (!HalfWidthOf(code, out)) out.append(ansiText.data() + i, 2);
      i += 2;
    } else {
      out.push_back(c);
      ++i;
    }
  }
  return out;
}

std::optional<double> PortableTextPlatform::TextToDate(std::string_view text) const {
  std::size_t pos = 0;
  auto skipBlanks = [&] {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  };
  skipBlanks();
  int year = 0;
  int month = 0;
  int day = 0;
  if (!ReadNumber(text, pos, 4, year) || pos >= text.size() || text[pos++] != '/') return {};
  if (!ReadNumber(text, pos, 2, month) || pos >= text.size() || text[pos++] != '/') return {};
  if (!ReadNumber(text, pos, 2, day)) return {};
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return {};

  int hour = 0;
  int minute = 0;
  int second = 0;
  const std::size_t afterDate = pos;
  skipBlanks();
  if (pos < text.size()) {
    if (pos == afterDate) return {};  // the time needs a blank before it
    if (!ReadNumber(text, pos, 2, hour) || pos >= text.size() || text[pos++] != ':') return {};
    if (!ReadNumber(text, pos, 2, minute)) return {};
    if (pos < text.size() && text[pos] == ':') {
      ++pos;
      if (!ReadNumber(text, pos, 2, second)) return {};
    }
    skipBlanks();
    if (pos < text.size()) return {};
    if (hour > 23 || minute > 59 || second > 59) return {};
  }

  const double days = static_cast<double>(DaysFromEpoch(year, static_cast<unsigned>(month),
                                                        static_cast<unsigned>(day)));
  const double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  // Before 1899-12-30 the fraction counts away from zero, as OLE dates do.
  return days < 0 ? days - fraction : days + fraction;
}

LocalTime PortableTextPlatform::Now() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                   local.tm_min, local.tm_sec, local.tm_wday};
}

std::string PortableTextPlatform::DateTimeText(const LocalTime& time) const {
  char buffer[64];
  if (time.hour == 0 && time.minute == 0 && time.second == 0) {
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", time.year, time.month, time.day);
  } else {
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
  }
  return buffer;
}

}  // namespace lumora::platform
