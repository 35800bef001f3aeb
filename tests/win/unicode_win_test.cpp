#include <gtest/gtest.h>

#include "platform/unicode_win.h"

namespace lumora::platform {
namespace {

// "ランチャー表\能" in Shift-JIS: two kanji whose second byte is a backslash.
const char kAnsi[] = "\x83\x89\x83\x93\x83\x60\x83\x83\x81\x5B\x95\x5C\\\x94\x5C";
const char kUtf8[] = "ランチャー表\\能";
const wchar_t kWide[] = L"\u30E9\u30F3\u30C1\u30E3\u30FC\u8868\\\u80FD";

TEST(UnicodeTest, AnsiIsShiftJis) {
  EXPECT_EQ(AnsiToWide(kAnsi), kWide);
  EXPECT_EQ(WideToAnsi(kWide), kAnsi);
  EXPECT_EQ(AnsiToUtf8(kAnsi), kUtf8);
  EXPECT_EQ(Utf8ToAnsi(kUtf8), kAnsi);
}

TEST(UnicodeTest, Utf8RoundTrips) {
  EXPECT_EQ(Utf8ToWide(kUtf8), kWide);
  EXPECT_EQ(WideToUtf8(kWide), kUtf8);
  const std::string mixed = "完全に閉じる(&T) 🚀 é";
  EXPECT_EQ(WideToUtf8(Utf8ToWide(mixed)), mixed);
  EXPECT_EQ(Utf8ToWide("🚀").size(), 2u);  // a surrogate pair
}

TEST(UnicodeTest, HalfWidthKatakanaAndEmbeddedZeros) {
  EXPECT_EQ(AnsiToWide("\xB6\xDE"), L"\uFF76\uFF9E");
  const std::string withZero("a\0b", 3);
  EXPECT_EQ(AnsiToWide(withZero), std::wstring(L"a\0b", 3));
  EXPECT_EQ(WideToUtf8(std::wstring(L"a\0b", 3)), withZero);
}

TEST(UnicodeTest, EmptyTexts) {
  EXPECT_EQ(Utf8ToWide(""), L"");
  EXPECT_EQ(WideToUtf8(L""), "");
  EXPECT_EQ(AnsiToWide(""), L"");
  EXPECT_EQ(WideToAnsi(L""), "");
}

TEST(UnicodeTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(WideToAnsi(L"a\u0E01b"), "a?b");  // a Thai letter
}

}  // namespace
}  // namespace lumora::platform
