#include "files/name_mask.h"

#include <cstddef>

#include "platform/text_platform.h"

namespace lumora {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The size in bytes of the character at pos.
std::size_t CharSize(std::string_view text, std::size_t pos) {
  return platform::Text().LeadBytes().IsLead(text[pos]) && pos + 1 < text.size() ? 2 : 1;
}

bool Match(std::string_view name, std::string_view mask) {
  std::size_t n = 0;
  std::size_t m = 0;
  // Where the last "*" stood, and the name position it has taken up to.
  std::size_t starMask = std::string_view::npos;
  std::size_t starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = ++m;
      starName = n;
      continue;
    }
    if (m < mask.size()) {
      const std::size_t nameChar = CharSize(name, n);
      const std::size_t maskChar = CharSize(mask, m);
      if (mask[m] == '?') {
        n += nameChar;
        m += 1;
        continue;
      }
      if (nameChar == maskChar &&
          (nameChar == 1 ? Lower(name[n]) == Lower(mask[m]) : name.substr(n, 2) == mask.substr(m, 2))) {
        n += nameChar;
        m += maskChar;
        continue;
      }
    }
    if (starMask == std::string_view::npos) return false;
    // Let the last "*" take one more character.
    starName += CharSize(name, starName);
    n = starName;
    m = starMask;
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

bool MatchesNameMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  return Match(name, mask);
}

}  // namespace lumora
