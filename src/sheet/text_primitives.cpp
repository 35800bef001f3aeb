#include "sheet/text_primitives.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "platform/text_platform.h"

namespace lumora {

namespace {

// Length of the character that starts at offset i: two for a lead byte that
// has a byte after it, else one. Never steps past the end of the text.
inline std::size_t CharLen(const platform::LeadByteTable& lead, std::string_view text,
                           std::size_t i) {
  return (lead.IsLead(text[i]) && i + 1 < text.size()) ? 2 : 1;
}

inline bool StartsWithAt(std::string_view text, std::size_t i, std::string_view search) {
  return text.size() - i >= search.size() &&
         std::memcmp(text.data() + i, search.data(), search.size()) == 0;
}

// Blanks and control characters: every byte up to and including the space.
inline bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view Trim(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && IsTrimmed(s[b])) ++b;
  while (e > b && IsTrimmed(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// The integer conversion used for "$" texts: leading blanks, an optional
// sign, then decimal digits or "$"/"0x" and hexadecimal digits, and nothing
// else. The value is a 32-bit integer; hexadecimal values wrap into the
// signed range ("$FFFFFFFF" is -1) as the platform's conversion does.
bool ParseInt32(std::string_view s, std::int32_t& out) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  std::uint64_t value = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (hex ? value > 0xFFFFFFFFull : value > 0x80000000ull) return false;
  }
  if (hex) {
    auto bits = static_cast<std::uint32_t>(value);
    if (negative) bits = 0u - bits;
    out = static_cast<std::int32_t>(bits);
    return true;
  }
  if (!negative && value > 0x7FFFFFFFull) return false;
  out = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value))
                 : static_cast<std::int32_t>(value);
  return true;
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int MbcsPos(std::string_view search, std::string_view text) {
  const auto& lead = platform::Text().LeadBytes();
  int counter = 1;
  for (std::size_t i = 0; i < text.size(); i += CharLen(lead, text, i), ++counter) {
    if (StartsWithAt(text, i, search)) return counter;
  }
  return 0;
}

int PosFrom(std::string_view search, std::string_view text, int start) {
  if (search.empty() || text.empty()) return 0;
  if (start < 1) start = 1;
  if (text.size() < static_cast<std::size_t>(start)) return 0;
  const auto& lead = platform::Text().LeadBytes();
  // Skip start - 1 bytes a character at a time; a start on the second byte
  // of a two-byte character begins behind that character.
  std::size_t i = 0;
  std::size_t skip = static_cast<std::size_t>(start) - 1;
  while (skip > 0 && i < text.size()) {
    const std::size_t step = lead.IsLead(text[i]) ? 2 : 1;
    i += step;
    skip = step >= skip ? 0 : skip - step;
  }
  for (; i < text.size(); i += CharLen(lead, text, i)) {
    if (StartsWithAt(text, i, search)) return static_cast<int>(i) + 1;
  }
  return 0;
}

std::string ReplaceText(std::string_view source, std::string_view search,
                        std::string_view replacement, bool all) {
  std::string result(source);
  int position = PosFrom(search, result, 1);
  while (position != 0) {
    result.replace(static_cast<std::size_t>(position) - 1, search.size(), replacement);
    if (!all) break;
    const int next = position + static_cast<int>(replacement.size());
    position = PosFrom(search, result, next);
  }
  return result;
}

std::string ToHalfWidth(std::string_view text) {
  constexpr std::size_t kLimit = 254;
  // The text ends at its first zero byte, as a C string does.
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  if (text.size() > kLimit) {
    // Cut to 254 bytes; when the cut falls inside a two-byte character, its
    // lone lead byte goes too.
    const auto& lead = platform::Text().LeadBytes();
    std::size_t i = 0;
    while (i < kLimit) {
      const std::size_t step = lead.IsLead(text[i]) ? 2 : 1;
      if (i + step > kLimit) break;
      i += step;
    }
    text = text.substr(0, i);
  }
  std::string mapped = platform::Text().MapToHalfWidth(text);
  const std::size_t end = mapped.find('\0');
  if (end != std::string::npos) mapped.resize(end);
  return mapped;
}

// Notes on values the scan cannot convert: a scan that holds no digit (a
// lone "." as in "." or "-.x") gives 0, and so does a value outside the
// range of double (such as 1E+999). A locale's decimal separator is never
// used: the point is the separator.
double StrToNum(std::string_view text) {
  if (Trim(text).empty()) return 0.0;
  std::string t = ReplaceText(ToHalfWidth(text), ",", "", true);
  std::string_view s = Trim(t);
  if (!s.empty() && s.front() == '\\') s.remove_prefix(1);  // the yen sign

  std::size_t i = 0;
  while (i < s.size() && (s[i] == '\t' || s[i] == ' ')) ++i;
  if (i < s.size() && s[i] == '$') {
    std::int32_t value = 0;
    return ParseInt32(s, value) ? static_cast<double>(value) : 0.0;
  }
  double sign = 1.0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') sign = -1.0;
    ++i;
  }
  const std::size_t start = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i;
  }
  if (i + 2 < s.size() && (s[i] == 'E' || s[i] == 'e') && (s[i + 1] == '+' || s[i + 1] == '-') &&
      IsDigit(s[i + 2])) {
    i += 3;
    while (i < s.size() && IsDigit(s[i])) ++i;
  }
  if (i == start) return 0.0;

  double value = 0.0;
  const char* first = s.data() + start;
  const char* last = s.data() + i;
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec != std::errc()) return 0.0;
  return sign * value;
}

namespace {
// Offset just behind the last backslash or colon that stands at a character
// boundary; 0 when there is none.
std::size_t FolderEnd(std::string_view path) {
  const auto& lead = platform::Text().LeadBytes();
  std::size_t end = 0;
  for (std::size_t i = 0; i < path.size(); i += CharLen(lead, path, i)) {
    if (path[i] == '\\' || path[i] == ':') end = i + 1;
  }
  return end;
}
}  // namespace

std::string FolderPart(std::string_view path) { return std::string(path.substr(0, FolderEnd(path))); }

std::string NamePart(std::string_view path) { return std::string(path.substr(FolderEnd(path))); }

}  // namespace lumora
