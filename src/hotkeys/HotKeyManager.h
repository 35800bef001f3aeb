// Hotkey notation: the text a user writes for a global hotkey ("Ctrl+Shift+Q",
// "Ctrl + Shift + Alt + Q") and the numeric hotkey code that the hotkey
// manager registers with the system.
//
// A hotkey code is an unsigned 32-bit value: bits 0-7 hold the virtual key
// (1-255; "A"-"Z" are 65-90, "0"-"9" are 48-57), 0x2000 is Shift, 0x4000 Ctrl,
// 0x8000 Alt and 0x10000 Win. All other bits are zero; 0 means no hotkey and
// is also what an invalid text parses to. "Ctrl+Shift+Q" is 0x6051.
//
// Key names come from the keyboard, through a KeyNameProvider: the local
// variant (localized = true, the one this program uses) asks the active
// layout and also accepts the keyboard's own names of the modifier keys; the
// English variant asks the US English layout.
//
// Texts are ANSI bytes. On a Japanese system the keyboard's names may hold
// double-byte (Shift-JIS) characters; every walk over a text steps over the
// second byte of such a character with the lead-byte table of
// platform::Text(), so that no separator, quote or case rule applies to it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

// Modifier bits of a hotkey code.
inline constexpr std::uint32_t kHotKeyShift = 0x2000;
inline constexpr std::uint32_t kHotKeyCtrl = 0x4000;
inline constexpr std::uint32_t kHotKeyAlt = 0x8000;
inline constexpr std::uint32_t kHotKeyWin = 0x10000;

// The system's modifier flags: the modifier argument of RegisterHotKey and the
// low word of a hotkey message's lParam.
inline constexpr unsigned kModAlt = 1;
inline constexpr unsigned kModControl = 2;
inline constexpr unsigned kModShift = 4;
inline constexpr unsigned kModWin = 8;

// The platform service that names keys and compares names.
class KeyNameProvider {
 public:
  virtual ~KeyNameProvider() = default;

  // The keyboard's name of one virtual key (ANSI), possibly empty. localized
  // selects the active layout; otherwise the US English layout answers.
  virtual std::string KeyName(int virtualKey, bool localized) const = 0;

  // Equality without regard to case. The default folds the ASCII letters
  // only, and never the second byte of a double-byte character.
  virtual bool EqualsIgnoringCase(std::string_view a, std::string_view b) const;
};

// ASCII case folding that steps over double-byte characters (lead bytes of
// platform::Text()).
bool AsciiEqualsIgnoringCase(std::string_view a, std::string_view b);

// Modifier flags and virtual key of a code. The virtual key is the low byte;
// bits 8-12 are ignored.
struct HotKeyParts {
  unsigned flags = 0;
  unsigned virtualKey = 0;
  friend bool operator==(const HotKeyParts&, const HotKeyParts&) = default;
};

HotKeyParts SplitHotKeyCode(std::uint32_t code);

// The code of modifier flags (bits other than the four modifier flags are
// ignored) plus the virtual key.
std::uint32_t JoinHotKeyCode(unsigned flags, unsigned virtualKey);

// Name of a media key (166-183) from the program's own table, or null.
const char* MediaKeyName(int virtualKey);

// The notation with its process-wide state: the keyboard's own names of the
// modifier keys. The provider must outlive the object.
class HotKeyNotation {
 public:
  enum Modifier { kShiftName = 0, kCtrlName = 1, kAltName = 2, kWinName = 3 };

  explicit HotKeyNotation(const KeyNameProvider& names);

  // Takes the local names of the Shift, Ctrl and Alt keys from the keyboard;
  // when the Alt name is written in capitals only (or is empty) the Win name
  // becomes "WIN". Runs once, before the first conversion.
  void Startup();
  // Clears the four local names.
  void Exit();

  // Shift, Ctrl, Alt, Win: "Shift", "Ctrl", "Alt", "Win" before Startup.
  const std::array<std::string, 4>& LocalModifierNames() const { return localModifierNames_; }

  // The code of a hotkey text; 0 when the text is not a valid hotkey.
  std::uint32_t ParseHotKeyText(std::string_view text, bool localized) const;

  // The text of a code: the set modifiers in the order Ctrl, Shift, Alt,
  // Win, each followed by "+", then the key's name.
  std::string FormatHotKeyCode(std::uint32_t code, bool localized) const;

  // The keyboard's name of one key, possibly empty; the media keys 166-183
  // take the program's own names when the keyboard gives at most one
  // character.
  std::string KeyNameOf(int virtualKey, bool localized) const;

  // The pieces of a hotkey text, split at "+" (exposed for tests).
  static std::vector<std::string> SplitPieces(std::string_view text);

 private:
  // The flag of a trimmed modifier word (any case), 0 for any other word.
  unsigned ModifierFlagOf(std::string_view word) const;
  // True when piece is exactly, case included, one of the modifier words.
  bool IsModifierWord(std::string_view piece) const;
  unsigned LookUpByName(std::string_view name, bool localized) const;

  const KeyNameProvider& names_;
  std::array<std::string, 4> localModifierNames_;
};

}  // namespace lumora
