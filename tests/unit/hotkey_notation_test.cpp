// The hotkey notation against a keyboard of its own: a small table of key
// names like a Windows keyboard's (and one with Japanese names in Shift-JIS
// for the modifier keys), so that every rule that does not depend on the real
// keyboard is checked the same way natively and under Wine.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "hotkeys/HotKeyManager.h"

namespace lumora {
namespace {

// Shift-JIS bytes.
const std::string kHenkan = "\x95\xCF\x8A\xB7";                      // 変換
const std::string kMuhenkan = "\x96\xB3\x95\xCF\x8A\xB7";            // 無変換
const std::string kKatakanaA = "\x83\x41";                           // ア: second byte is "A"
const std::string kKatakanaDi = "\x83\x61";                          // ヂ: second byte is "a"
const std::string kShiftJa = "\x83\x56\x83\x74\x83\x67";             // シフト
const std::string kShiftJaUpperTrail = "\x83\x56\x83\x54\x83\x47";   // シフト with its second bytes upper-cased
const std::string kCtrlJa = "\x83\x52\x83\x93\x83\x67\x83\x8D\x81\x5B\x83\x8B";  // コントロール
const std::string kAltJa = "\x83\x49\x83\x8B\x83\x67";               // オルト
const std::string kMuteJa = "\x83\x7E";                              // ミ (one character)
const std::string kVolumeJa = "\x89\xB9\x97\xCA";                    // 音量

class FakeKeyNames : public KeyNameProvider {
 public:
  FakeKeyNames() {
    for (char c = 'A'; c <= 'Z'; ++c) local[c] = std::string(1, c);
    for (char c = '0'; c <= '9'; ++c) local[c] = std::string(1, c);
    for (int f = 1; f <= 12; ++f) local[111 + f] = "F" + std::to_string(f);
    local[8] = "Backspace";
    local[13] = "Enter";
    local[16] = "Shift";
    local[17] = "Ctrl";
    local[18] = "Alt";
    local[28] = kHenkan;
    local[29] = kMuhenkan;
    local[32] = "Space";
    local[96] = "Num 0";
    local[107] = "Num +";
    local[109] = "Num -";
    local[160] = "Shift";  // the left Shift key bears the same name
    local[167] = "?";
    local[168] = "Browser Refresh Key";
    local[173] = kMuteJa;
    local[174] = kVolumeJa;
    local[188] = ",";
    local[190] = ".";
    local[222] = "'";
    local[230] = "Space";  // a second key with the name of the space bar
    local[242] = kKatakanaA;
    local[243] = kKatakanaDi;
    english = local;
    english[28] = "Convert";
    english[29] = "Nonconvert";
    english[242] = "Kana";
    english[243] = "Eisu";
  }

  std::string KeyName(int virtualKey, bool localized) const override {
    const auto& table = localized ? local : english;
    auto it = table.find(virtualKey);
    return it == table.end() ? std::string() : it->second;
  }

  std::map<int, std::string> local;
  std::map<int, std::string> english;
};

class HotKeyNotationTest : public ::testing::Test {
 protected:
  HotKeyNotationTest() : notation(keys) {}

  std::uint32_t Parse(std::string_view text) const { return notation.ParseHotKeyText(text, true); }

  FakeKeyNames keys;
  HotKeyNotation notation;
};

std::vector<std::string> Pieces(std::string_view text) { return HotKeyNotation::SplitPieces(text); }

TEST(HotKeyCodeTest, SplitGivesTheSystemFlagsAndTheLowByte) {
  EXPECT_EQ(SplitHotKeyCode(0x6051), (HotKeyParts{kModControl | kModShift, 81}));
  EXPECT_EQ(SplitHotKeyCode(0x8000 + 112), (HotKeyParts{kModAlt, 112}));
  EXPECT_EQ(SplitHotKeyCode(0x10000 + 69), (HotKeyParts{kModWin, 69}));
  EXPECT_EQ(SplitHotKeyCode(0x1E000 + 255), (HotKeyParts{15, 255}));
  EXPECT_EQ(SplitHotKeyCode(0), (HotKeyParts{0, 0}));
  // Bits 8-12 are no part of the code.
  EXPECT_EQ(SplitHotKeyCode(0x6051 | 0x1F00), SplitHotKeyCode(0x6051));
  EXPECT_EQ(SplitHotKeyCode(0x0100), (HotKeyParts{0, 0}));
}

TEST(HotKeyCodeTest, JoinAndSplitAreInverseForEveryModifierSetAndKey) {
  const std::uint32_t bits[] = {kHotKeyShift, kHotKeyCtrl, kHotKeyAlt, kHotKeyWin};
  for (unsigned set = 0; set < 16; ++set) {
    std::uint32_t modifiers = 0;
    for (int b = 0; b < 4; ++b) {
      if (set & (1u << b)) modifiers |= bits[b];
    }
    for (unsigned vk = 1; vk <= 255; ++vk) {
      const std::uint32_t code = modifiers | vk;
      const HotKeyParts parts = SplitHotKeyCode(code);
      ASSERT_EQ(JoinHotKeyCode(parts.flags, parts.virtualKey), code) << std::hex << code;
    }
  }
  EXPECT_EQ(JoinHotKeyCode(kModControl | kModShift, 81), 0x6051u);
  EXPECT_EQ(JoinHotKeyCode(kModAlt, 0), 0x8000u);
  EXPECT_EQ(JoinHotKeyCode(kModWin, 69), 0x10045u);
  // Flags beyond the four modifiers (such as the no-repeat flag 0x4000) are ignored.
  EXPECT_EQ(JoinHotKeyCode(kModControl | kModShift | 0x4000, 81), 0x6051u);
}

TEST_F(HotKeyNotationTest, FormatWritesTheModifiersInTheOrderCtrlShiftAltWin) {
  EXPECT_EQ(notation.FormatHotKeyCode(0x6051, true), "Ctrl+Shift+Q");
  EXPECT_EQ(notation.FormatHotKeyCode(0x1E000 + 81, true), "Ctrl+Shift+Alt+Win+Q");
  EXPECT_EQ(notation.FormatHotKeyCode(0x18000 + 112, true), "Alt+Win+F1");
  EXPECT_EQ(notation.FormatHotKeyCode(0x2000 + 107, true), "Shift+Num +");
  EXPECT_EQ(notation.FormatHotKeyCode(32, true), "Space");
  EXPECT_EQ(notation.FormatHotKeyCode(0x4000 + 28, true), "Ctrl+" + kHenkan);
  EXPECT_EQ(notation.FormatHotKeyCode(0x4000 + 28, false), "Ctrl+Convert");
  // A key the keyboard cannot name leaves the prefix alone.
  EXPECT_EQ(notation.FormatHotKeyCode(0x4000 + 9, true), "Ctrl+");
  // Bits 8-12 do not reach the key.
  EXPECT_EQ(notation.FormatHotKeyCode(0x4000 + 0x100 + 81, true), "Ctrl+Q");
}

TEST_F(HotKeyNotationTest, MediaKeysTakeTheTableNamesWhenTheKeyboardGivesAtMostOneCharacter) {
  EXPECT_EQ(notation.KeyNameOf(166, true), "Browser Back");     // no name
  EXPECT_EQ(notation.KeyNameOf(167, true), "Browser Forward");  // one character
  EXPECT_EQ(notation.KeyNameOf(173, true), "Volume Mute");      // one double-byte character
  EXPECT_EQ(notation.KeyNameOf(168, true), "Browser Refresh Key");
  EXPECT_EQ(notation.KeyNameOf(174, true), kVolumeJa);          // two double-byte characters
  EXPECT_EQ(notation.KeyNameOf(172, true), "Browser Start/Home");
  EXPECT_EQ(notation.KeyNameOf(179, false), "Play/Pause Media");
  EXPECT_EQ(notation.KeyNameOf(183, true), "Start Application 2");
  // Only 166-183 have table names.
  EXPECT_EQ(notation.KeyNameOf(165, true), "");
  EXPECT_EQ(notation.KeyNameOf(184, true), "");
  const char* expected[] = {"Browser Back", "Browser Forward", "Browser Refresh", "Browser Stop",
                            "Browser Search", "Browser Favorites", "Browser Start/Home", "Volume Mute",
                            "Volume Down", "Volume Up", "Next Track", "Previous Track", "Stop Media",
                            "Play/Pause Media", "Start Mail", "Select Media", "Start Application 1",
                            "Start Application 2"};
  for (int vk = 166; vk <= 183; ++vk) EXPECT_STREQ(MediaKeyName(vk), expected[vk - 166]) << vk;
  // Media keys are found by their table names.
  EXPECT_EQ(Parse("Ctrl+Volume Mute"), 0x4000u + 173);
  EXPECT_EQ(Parse("Alt+stop media"), 0x8000u + 178);
}

TEST_F(HotKeyNotationTest, ModifierWordsAndSingleLetters) {
  EXPECT_EQ(Parse(""), 0u);
  EXPECT_EQ(Parse("Q"), 81u);
  EXPECT_EQ(Parse("q"), 81u);
  EXPECT_EQ(Parse("7"), 55u);
  EXPECT_EQ(Parse("Ctrl+Shift+Q"), 0x6051u);
  EXPECT_EQ(Parse("ctrl+shift+q"), 0x6051u);
  EXPECT_EQ(Parse("CTRL+SHIFT+Q"), 0x6051u);
  EXPECT_EQ(Parse("Ctrl + Shift + Alt + Q"), 0x4000u + 0x2000 + 0x8000 + 81);
  EXPECT_EQ(Parse("Shift+Ctrl+Q"), Parse("Ctrl+Shift+Q"));
  EXPECT_EQ(Parse("Alt+Win+Shift+Ctrl+Q"), 0x1E051u);
  EXPECT_EQ(Parse("Ctrl+Ctrl+Q"), 0x4000u + 81);
  EXPECT_EQ(Parse("Win+E"), 0x10000u + 69);
  EXPECT_EQ(Parse("Ctrl\t+\tQ\t"), 0x4051u);  // tabs are trimmed like blanks
}

TEST_F(HotKeyNotationTest, KeysFoundByTheirNames) {
  EXPECT_EQ(Parse("Ctrl+F1"), 0x4000u + 112);
  EXPECT_EQ(Parse("ctrl+f12"), 0x4000u + 123);
  EXPECT_EQ(Parse("Ctrl+Num +"), 0x4000u + 107);
  EXPECT_EQ(Parse("Num +"), 107u);
  EXPECT_EQ(Parse("Shift+Num -"), 0x2000u + 109);
  EXPECT_EQ(Parse("Ctrl+,"), 0x4000u + 188);  // one character, not a letter: by name
  EXPECT_EQ(Parse("."), 190u);
  EXPECT_EQ(Parse("Ctrl+'"), 0x4000u + 222);  // a lone quote is a key name too
  EXPECT_EQ(Parse("Alt+space"), 0x8000u + 32);
  EXPECT_EQ(Parse("Ctrl+" + kHenkan), 0x4000u + 28);
  // Only the exact word "Num" is the keypad's plus key cut at its "+".
  EXPECT_EQ(Parse("Ctrl+num +"), 0u);
  // The English variant asks the US layout's names.
  EXPECT_EQ(notation.ParseHotKeyText("Ctrl+Convert", false), 0x4000u + 28);
  EXPECT_EQ(notation.ParseHotKeyText("Ctrl+" + kHenkan, false), 0u);
}

TEST_F(HotKeyNotationTest, InvalidTextsGiveZero) {
  EXPECT_EQ(Parse("Ctrl+Foo+Q"), 0u);   // an unknown modifier voids the text
  EXPECT_EQ(Parse("Foo+Q"), 0u);
  EXPECT_EQ(Parse("Foo"), 0u);          // no key bears the name
  EXPECT_EQ(Parse("Ctrl+Foo"), 0u);
  EXPECT_EQ(Parse("Shift+Ctrl"), 0u);   // a modifier word as the key
  EXPECT_EQ(Parse("Alt"), 0u);
  EXPECT_EQ(Parse("Ctrl++"), 0u);       // only "Ctrl" is left
  EXPECT_EQ(Parse("Ctrl+"), 0u);
  EXPECT_EQ(Parse("+"), 0u);
  EXPECT_EQ(Parse("   "), 0u);
  EXPECT_EQ(Parse("\r\n"), 0u);
  // A key piece of only control characters names no key (the keyboard leaves
  // many keys unnamed; none of them is meant).
  EXPECT_EQ(Parse("Ctrl+\t"), 0u);
  EXPECT_EQ(Parse("\t"), 0u);
}

TEST_F(HotKeyNotationTest, TheRefusalOfModifierWordsIsExactButTheLookupIgnoresCase) {
  EXPECT_EQ(Parse("Ctrl+shift"), 0x4000u + 16);  // the first key named Shift, not 160
  EXPECT_EQ(Parse("Ctrl+SHIFT"), 0x4000u + 16);
  EXPECT_EQ(Parse("Shift+ctrl"), 0x2000u + 17);
  EXPECT_EQ(Parse("Ctrl+Shift"), 0u);
  EXPECT_EQ(Parse("Win"), 0u);
  EXPECT_EQ(Parse("Ctrl+win"), 0u);  // no key is named Win
}

TEST(HotKeyPiecesTest, SplitsAtPlusSkippingLeadingBlanksAndDroppingEmptyPieces) {
  EXPECT_EQ(Pieces(""), std::vector<std::string>{});
  EXPECT_EQ(Pieces("Ctrl+Q"), (std::vector<std::string>{"Ctrl", "Q"}));
  EXPECT_EQ(Pieces("  Ctrl  +  Q  "), (std::vector<std::string>{"Ctrl  ", "Q  "}));
  EXPECT_EQ(Pieces("Ctrl++Q"), (std::vector<std::string>{"Ctrl", "Q"}));
  EXPECT_EQ(Pieces("Ctrl+ +Q+"), (std::vector<std::string>{"Ctrl", "Q"}));
  EXPECT_EQ(Pieces("Ctrl+Num +"), (std::vector<std::string>{"Ctrl", "Num "}));
  EXPECT_EQ(Pieces("+++"), std::vector<std::string>{});
}

TEST(HotKeyPiecesTest, CarriageReturnsAndLineFeedsEndAPiece) {
  EXPECT_EQ(Pieces("Ctrl\r\n+Q"), (std::vector<std::string>{"Ctrl", "Q"}));
  EXPECT_EQ(Pieces("Ctrl\r\nQ"), (std::vector<std::string>{"Ctrl", "Q"}));
  EXPECT_EQ(Pieces("\r\n  \nCtrl+\r\nQ\r\n"), (std::vector<std::string>{"Ctrl", "Q"}));
}

TEST(HotKeyPiecesTest, QuotedStretchesAreNotSplitAndKeepTheirQuotes) {
  EXPECT_EQ(Pieces("Ctrl+\"a+b\"+Q"), (std::vector<std::string>{"Ctrl", "\"a+b\"", "Q"}));
  EXPECT_EQ(Pieces("'x+y'z+Q"), (std::vector<std::string>{"'x+y'z", "Q"}));
  // The other quote character inside a quoted stretch is an ordinary character.
  EXPECT_EQ(Pieces("\"it's+\"+Q"), (std::vector<std::string>{"\"it's+\"", "Q"}));
  // Carriage returns and line feeds inside quotes stay in the piece.
  EXPECT_EQ(Pieces("'a\r\nb'+Q"), (std::vector<std::string>{"'a\r\nb'", "Q"}));
  // An unclosed quote runs to the end of the text.
  EXPECT_EQ(Pieces("Ctrl+'Q+W"), (std::vector<std::string>{"Ctrl", "'Q+W"}));
}

TEST_F(HotKeyNotationTest, QuotedPiecesAreMatchedWithTheirQuotes) {
  keys.local[227] = "\"Key+Name\"";
  EXPECT_EQ(Parse("Ctrl+\"Key+Name\""), 0x4000u + 227);
  EXPECT_EQ(Parse("Ctrl+Key+Name"), 0u);
  EXPECT_EQ(Parse("\"Ctrl\"+Q"), 0u);  // a quoted word is no modifier
}

TEST(HotKeyPiecesTest, ALeadByteAlwaysTakesTheNextByteWithIt) {
  // Walking a character at a time, as the system does: the byte after a
  // Shift-JIS lead byte is never a separator or a quote.
  EXPECT_EQ(Pieces("\x81+A+B"), (std::vector<std::string>{"\x81+A", "B"}));
  EXPECT_EQ(Pieces("\x81\"+Q"), (std::vector<std::string>{"\x81\"", "Q"}));
  EXPECT_EQ(Pieces("\x81\r+Q"), (std::vector<std::string>{"\x81\r", "Q"}));
  // A lead byte at the very end stands alone.
  EXPECT_EQ(Pieces("Q+\x81"), (std::vector<std::string>{"Q", "\x81"}));
}

TEST_F(HotKeyNotationTest, DoubleByteNamesAreComparedWithoutFoldingTheirSecondBytes) {
  // ア and ヂ differ only in a second byte that reads as "A" and "a".
  EXPECT_FALSE(AsciiEqualsIgnoringCase(kKatakanaA, kKatakanaDi));
  EXPECT_TRUE(AsciiEqualsIgnoringCase("Ctrl" + kKatakanaA, "CTRL" + kKatakanaA));
  EXPECT_EQ(Parse(kKatakanaA), 242u);
  EXPECT_EQ(Parse(kKatakanaDi), 243u);  // one character, yet not upper-cased
  EXPECT_EQ(Parse("Ctrl+" + kKatakanaDi), 0x4000u + 243);
  EXPECT_EQ(Parse("Ctrl+" + kMuhenkan), 0x4000u + 29);
}

TEST_F(HotKeyNotationTest, EveryNamedKeyComesBackFromItsText) {
  // Format, then parse: the same code, save for the keys named like a
  // modifier (refused) and the second key of a shared name (the first wins).
  int checked = 0;
  for (std::uint32_t modifiers : {0u, 0x4000u, 0x6000u, 0x1E000u}) {
    for (int vk = 8; vk <= 255; ++vk) {
      if (notation.KeyNameOf(vk, true).empty()) continue;
      const std::uint32_t code = modifiers | static_cast<std::uint32_t>(vk);
      const std::string text = notation.FormatHotKeyCode(code, true);
      std::uint32_t expected = code;
      if (vk == 16 || vk == 17 || vk == 18 || vk == 160) expected = 0;
      if (vk == 230) expected = modifiers | 32;
      EXPECT_EQ(Parse(text), expected) << text;
      ++checked;
    }
  }
  EXPECT_GT(checked, 4 * 60);
}

TEST(HotKeyLocalNamesTest, BeforeStartupTheEnglishWords) {
  FakeKeyNames keys;
  HotKeyNotation notation(keys);
  EXPECT_EQ(notation.LocalModifierNames(), (std::array<std::string, 4>{"Shift", "Ctrl", "Alt", "Win"}));
}

TEST(HotKeyLocalNamesTest, StartupTakesTheKeyboardsNamesOfShiftCtrlAndAlt) {
  FakeKeyNames keys;
  keys.local[16] = kShiftJa;
  keys.local[17] = kCtrlJa;
  keys.local[18] = kAltJa;
  HotKeyNotation notation(keys);
  notation.Startup();
  EXPECT_EQ(notation.LocalModifierNames(), (std::array<std::string, 4>{kShiftJa, kCtrlJa, kAltJa, "Win"}));

  // Local names and English words both work, in any mix.
  EXPECT_EQ(notation.ParseHotKeyText(kCtrlJa + "+" + kShiftJa + "+Q", true), 0x6051u);
  EXPECT_EQ(notation.ParseHotKeyText("Ctrl+" + kShiftJa + "+Q", true), 0x6051u);
  EXPECT_EQ(notation.ParseHotKeyText(" " + kAltJa + " + Win + F1", true), 0x18000u + 112);
  EXPECT_EQ(notation.ParseHotKeyText("Ctrl+Shift+Q", true), 0x6051u);
  // A local modifier name as the key is refused like an English word.
  EXPECT_EQ(notation.ParseHotKeyText("Ctrl+" + kShiftJa, true), 0u);
  EXPECT_EQ(notation.ParseHotKeyText(kAltJa, true), 0u);
  // Upper-casing the second bytes makes another word, not the same one.
  EXPECT_EQ(notation.ParseHotKeyText(kShiftJaUpperTrail + "+Q", true), 0u);

  EXPECT_EQ(notation.FormatHotKeyCode(0x6051, true), kCtrlJa + "+" + kShiftJa + "+Q");
  EXPECT_EQ(notation.FormatHotKeyCode(0x18000 + 112, true), kAltJa + "+Win+F1");
  EXPECT_EQ(notation.FormatHotKeyCode(0x6051, false), "Ctrl+Shift+Q");
}

TEST(HotKeyLocalNamesTest, AnAltKeyNamedInCapitalsMakesTheWinNameCapitalToo) {
  struct Case {
    std::string altName;
    std::string winName;
  };
  for (const Case& c : {Case{"ALT", "WIN"}, Case{"Alt", "Win"}, Case{"", "WIN"}, Case{kAltJa, "Win"},
                        Case{"ALT GR", "Win"}, Case{"ALT1", "Win"}}) {
    FakeKeyNames keys;
    keys.local[18] = c.altName;
    HotKeyNotation notation(keys);
    notation.Startup();
    EXPECT_EQ(notation.LocalModifierNames()[HotKeyNotation::kWinName], c.winName) << c.altName;
    EXPECT_EQ(notation.FormatHotKeyCode(0x10000 + 69, true), c.winName + "+E");
    EXPECT_EQ(notation.ParseHotKeyText(c.winName + "+E", true), 0x10000u + 69);
  }
}

TEST(HotKeyLocalNamesTest, AnUnnamedModifierKeyNamesNothing) {
  FakeKeyNames keys;
  keys.local.erase(16);
  HotKeyNotation notation(keys);
  notation.Startup();
  EXPECT_EQ(notation.LocalModifierNames()[HotKeyNotation::kShiftName], "");
  // A piece of blanks must not pass for the empty local Shift name.
  EXPECT_EQ(notation.ParseHotKeyText("Ctrl+\t+Q", true), 0u);
  EXPECT_EQ(notation.ParseHotKeyText("Shift+Q", true), 0x2051u);
}

TEST(HotKeyLocalNamesTest, ExitClearsTheLocalNames) {
  FakeKeyNames keys;
  keys.local[17] = kCtrlJa;
  HotKeyNotation notation(keys);
  notation.Startup();
  EXPECT_EQ(notation.ParseHotKeyText(kCtrlJa + "+Q", true), 0x4051u);
  notation.Exit();
  EXPECT_EQ(notation.LocalModifierNames(), (std::array<std::string, 4>{"", "", "", ""}));
  EXPECT_EQ(notation.ParseHotKeyText(kCtrlJa + "+Q", true), 0u);
  EXPECT_EQ(notation.ParseHotKeyText("Ctrl+Q", true), 0x4051u);
}

}  // namespace
}  // namespace lumora
