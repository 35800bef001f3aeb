#include "platform/text_portable.h"

#include <cstdint>
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
    {0x816D, '['},  {0x815F, '\\'}, {0x818F, '\\'}, {0x816E, ']'},  {0x814F, '^'},
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

// The half-width form of one two-byte character; empty when it has none.
std::string_view HalfWidthOf(std::uint16_t code) {
  if (code >= 0x8340 && code <= 0x837E) return kKatakana[code - 0x8340];
  if (code >= 0x8380 && code <= 0x8396) return kKatakana[code - 0x8380 + 63];
  static constexpr std::string_view kDigits = "0123456789";
  static constexpr std::string_view kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  static constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
  if (code >= 0x824F && code <= 0x8258) return kDigits.substr(code - 0x824F, 1);
  if (code >= 0x8260 && code <= 0x8279) return kUpper.substr(code - 0x8260, 1);
  if (code >= 0x8281 && code <= 0x829A) return kLower.substr(code - 0x8281, 1);
  for (const auto& p : kAsciiForms) {
    if (p.code == code) return {&p.ascii, 1};
  }
  for (const auto& p : kKanaSigns) {
    if (p.code == code) return {&p.ascii, 1};
  }
  return {};
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
      const std::string_view form = HalfWidthOf(code);
      if (!form.empty()) {
        out += form;
      } else {
        out.append(ansiText.data() + i, 2);
      }
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

}  // namespace lumora::platform
