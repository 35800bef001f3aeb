// Hotkey texts from the settings file: parsed with the local and the English
// key names; a code a text gives is written out and, unless its key is a
// modifier key itself (whose name reads back as the modifier word), reads
// back as itself.
#include <map>
#include <string>

#include "fuzz/fuzz_support.h"
#include "hotkeys/HotKeyManager.h"

namespace {

// Key names as a Japanese keyboard gives them, some of them Shift-JIS.
class KeyNames : public lumora::KeyNameProvider {
 public:
  KeyNames() {
    for (char c = 'A'; c <= 'Z'; ++c) names_[c] = std::string(1, c);
    for (char c = '0'; c <= '9'; ++c) names_[c] = std::string(1, c);
    for (int f = 1; f <= 24; ++f) names_[111 + f] = "F" + std::to_string(f);
    names_[8] = "Backspace";
    names_[13] = "Enter";
    names_[16] = "Shift";
    names_[17] = "Ctrl";
    names_[18] = "Alt";
    names_[28] = "\x95\xCF\x8A\xB7";  // henkan
    names_[32] = "Space";
    names_[107] = "Num +";
    names_[173] = "\x83\x7E";  // a name of one character
    names_[188] = ",";
    names_[242] = "\x83\x4A\x83\x5E\x83\x4A\x83\x69";  // katakana
  }
  std::string KeyName(int virtualKey, bool) const override {
    const auto it = names_.find(virtualKey);
    return it == names_.end() ? std::string() : it->second;
  }

 private:
  std::map<int, std::string> names_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lumora::fuzz::UseShiftJis();
  static const KeyNames names;
  static lumora::HotKeyNotation notation = [] {
    lumora::HotKeyNotation made(names);
    made.Startup();
    return made;
  }();
  const std::string_view text = lumora::fuzz::AsText(data, size);
  for (const bool localized : {true, false}) {
    const std::uint32_t code = notation.ParseHotKeyText(text, localized);
    const std::string written = notation.FormatHotKeyCode(code, localized);
    const unsigned key = lumora::SplitHotKeyCode(code).virtualKey;
    const bool modifierKey = key == 16 || key == 17 || key == 18 || key == 91 || key == 92 ||
                             (key >= 160 && key <= 165);
    if (code != 0 && !modifierKey && notation.ParseHotKeyText(written, localized) != code) std::abort();
  }
  (void)lumora::HotKeyNotation::SplitPieces(text);
  return 0;
}
