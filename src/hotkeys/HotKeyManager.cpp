#include "hotkeys/HotKeyManager.h"

#include "platform/text_platform.h"

namespace lumora {
namespace {

constexpr std::string_view kShiftWord = "Shift";
constexpr std::string_view kCtrlWord = "Ctrl";
constexpr std::string_view kAltWord = "Alt";
constexpr std::string_view kWinWord = "Win";

constexpr int kFirstMediaKey = 166;
constexpr const char* kMediaKeyNames[] = {
    "Browser Back",      "Browser Forward", "Browser Refresh", "Browser Stop",
    "Browser Search",    "Browser Favorites", "Browser Start/Home", "Volume Mute",
    "Volume Down",       "Volume Up",       "Next Track",      "Previous Track",
    "Stop Media",        "Play/Pause Media", "Start Mail",     "Select Media",
    "Start Application 1", "Start Application 2",
};
constexpr int kMediaKeyCount = static_cast<int>(sizeof kMediaKeyNames / sizeof kMediaKeyNames[0]);

// Length in bytes of the character that starts at text[i]: 2 for a lead byte
// followed by a second byte, otherwise 1.
std::size_t CharLength(std::string_view text, std::size_t i, const platform::LeadByteTable& lead) {
  return lead.IsLead(text[i]) && i + 1 < text.size() ? 2 : 1;
}

std::size_t CharCount(std::string_view text) {
  const platform::LeadByteTable& lead = platform::Text().LeadBytes();
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); i += CharLength(text, i, lead)) ++count;
  return count;
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Removes the characters up to and including the blank (control characters
// and spaces) at both ends. No second byte of a double-byte character is
// that low, so the ends are always whole characters.
std::string_view Trim(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlankOrControl(text[first])) ++first;
  while (last > first && IsBlankOrControl(text[last - 1])) --last;
  return text.substr(first, last - first);
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool AsciiEqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const platform::LeadByteTable& lead = platform::Text().LeadBytes();
  for (std::size_t i = 0; i < a.size();) {
    if (lead.IsLead(a[i]) && i + 1 < a.size()) {
      // A double-byte character: both bytes must match as they stand.
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      i += 2;
    } else {
      if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
      ++i;
    }
  }
  return true;
}

bool KeyNameProvider::EqualsIgnoringCase(std::string_view a, std::string_view b) const {
  return AsciiEqualsIgnoringCase(a, b);
}

HotKeyParts SplitHotKeyCode(std::uint32_t code) {
  HotKeyParts parts;
  parts.virtualKey = code & 0xFF;
  if (code & kHotKeyWin) parts.flags += kModWin;
  if (code & kHotKeyAlt) parts.flags += kModAlt;
  if (code & kHotKeyCtrl) parts.flags += kModControl;
  if (code & kHotKeyShift) parts.flags += kModShift;
  return parts;
}

std::uint32_t JoinHotKeyCode(unsigned flags, unsigned virtualKey) {
  std::uint32_t code = 0;
  if (flags & kModAlt) code += kHotKeyAlt;
  if (flags & kModControl) code += kHotKeyCtrl;
  if (flags & kModShift) code += kHotKeyShift;
  if (flags & kModWin) code += kHotKeyWin;
  return code + virtualKey;
}

const char* MediaKeyName(int virtualKey) {
  if (virtualKey < kFirstMediaKey || virtualKey >= kFirstMediaKey + kMediaKeyCount) return nullptr;
  return kMediaKeyNames[virtualKey - kFirstMediaKey];
}

HotKeyNotation::HotKeyNotation(const KeyNameProvider& names)
    : names_(names),
      localModifierNames_{std::string(kShiftWord), std::string(kCtrlWord), std::string(kAltWord),
                          std::string(kWinWord)} {}

void HotKeyNotation::Startup() {
  localModifierNames_[kShiftName] = FormatHotKeyCode(16, true);
  localModifierNames_[kCtrlName] = FormatHotKeyCode(17, true);
  localModifierNames_[kAltName] = FormatHotKeyCode(18, true);
  bool capitalsOnly = true;
  for (char c : localModifierNames_[kAltName]) {
    if (c < 'A' || c > 'Z') capitalsOnly = false;
  }
  if (capitalsOnly) {
    for (char& c : localModifierNames_[kWinName]) c = AsciiUpper(c);
  }
}

void HotKeyNotation::Exit() {
  for (std::string& name : localModifierNames_) name.clear();
}

std::string HotKeyNotation::KeyNameOf(int virtualKey, bool localized) const {
  std::string name = names_.KeyName(virtualKey, localized);
  if (CharCount(name) <= 1) {
    if (const char* media = MediaKeyName(virtualKey)) name = media;
  }
  return name;
}

std::string HotKeyNotation::FormatHotKeyCode(std::uint32_t code, bool localized) const {
  auto word = [&](Modifier which, std::string_view english) -> std::string_view {
    return localized ? std::string_view(localModifierNames_[which]) : english;
  };
  std::string text;
  if (code & kHotKeyCtrl) (text += word(kCtrlName, kCtrlWord)) += '+';
  if (code & kHotKeyShift) (text += word(kShiftName, kShiftWord)) += '+';
  if (code & kHotKeyAlt) (text += word(kAltName, kAltWord)) += '+';
  if (code & kHotKeyWin) (text += word(kWinName, kWinWord)) += '+';
  text += KeyNameOf(static_cast<int>(code & 0xFF), localized);
  return text;
}

std::vector<std::string> HotKeyNotation::SplitPieces(std::string_view text) {
  const platform::LeadByteTable& lead = platform::Text().LeadBytes();
  std::vector<std::string> pieces;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\r' || text[i] == '\n')) ++i;
    const std::size_t head = i;
    char quote = 0;  // the quote character of an open quoted stretch
    while (i < text.size()) {
      const char c = text[i];
      if (quote) {
        // Inside a quoted stretch no separator, carriage return or line
        // feed ends the piece; only the same quote character closes it.
        if (c == quote) quote = 0;
      } else if (c == '+' || c == '\r' || c == '\n') {
        break;
      } else if (c == '"' || c == '\'') {
        quote = c;
      }
      i += CharLength(text, i, lead);
    }
    if (i > head) pieces.emplace_back(text.substr(head, i - head));
    ++i;  // past the separator
  }
  return pieces;
}

unsigned HotKeyNotation::ModifierFlagOf(std::string_view word) const {
  // A local name that the keyboard left empty names nothing.
  auto is = [&](std::string_view english, Modifier local) {
    const std::string& localName = localModifierNames_[local];
    return names_.EqualsIgnoringCase(word, english) ||
           (!localName.empty() && names_.EqualsIgnoringCase(word, localName));
  };
  if (is(kShiftWord, kShiftName)) return kModShift;
  if (is(kCtrlWord, kCtrlName)) return kModControl;
  if (is(kAltWord, kAltName)) return kModAlt;
  if (is(kWinWord, kWinName)) return kModWin;
  return 0;
}

bool HotKeyNotation::IsModifierWord(std::string_view piece) const {
  if (piece == kCtrlWord || piece == kAltWord || piece == kShiftWord || piece == kWinWord) return true;
  for (const std::string& localName : localModifierNames_) {
    if (!localName.empty() && piece == localName) return true;
  }
  return false;
}

unsigned HotKeyNotation::LookUpByName(std::string_view name, bool localized) const {
  for (unsigned vk = 8; vk <= 255; ++vk) {
    if (names_.EqualsIgnoringCase(FormatHotKeyCode(vk, localized), name)) return vk;
  }
  return 0;
}

std::uint32_t HotKeyNotation::ParseHotKeyText(std::string_view text, bool localized) const {
  const std::vector<std::string> pieces = SplitPieces(text);
  if (pieces.empty()) return 0;

  unsigned flags = 0;
  for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
    const unsigned flag = ModifierFlagOf(Trim(pieces[i]));
    if (flag == 0) {
      flags = 0;
      break;
    }
    flags |= flag;
  }
  if (flags == 0 && pieces.size() >= 2) return 0;

  std::string key(Trim(pieces.back()));
  unsigned virtualKey = 0;
  if (key.empty()) {
    // Only blanks or control characters: no key, rather than the first key
    // that the keyboard cannot name.
    virtualKey = 0;
  } else if (CharCount(key) == 1) {
    if (key.size() == 1) key[0] = AsciiUpper(key[0]);
    const char c = key[0];
    if (key.size() == 1 && ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) {
      virtualKey = static_cast<unsigned char>(c);
    } else {
      virtualKey = LookUpByName(key, localized);
    }
  } else {
    // The keypad's plus key is named "Num +" and was cut at its "+".
    if (key == "Num") key += " +";
    if (IsModifierWord(key)) return 0;
    virtualKey = LookUpByName(key, localized);
  }
  if (virtualKey == 0) return 0;
  return JoinHotKeyCode(flags, virtualKey);
}

}  // namespace lumora
