// The double-byte-aware text primitives, on Shift-JIS bytes. The lead-byte
// table is the platform's own (code page 932 in both builds).
#include <gtest/gtest.h>

#include <string>

#include "sheet/text_primitives.h"

namespace lumora {
namespace {

// Shift-JIS characters whose second byte is a backslash or a vertical bar.
constexpr const char* kSo = "\x83\x5C";     // katakana so
constexpr const char* kHyo = "\x95\x5C";    // kanji hyo
constexpr const char* kPo = "\x83\x7C";     // katakana po
constexpr const char* kHiraA = "\x82\xA0";  // hiragana a

TEST(MbcsPosTest, CountsCharactersNotBytes) {
  const std::string text = std::string("A") + kHiraA + "B";
  EXPECT_EQ(MbcsPos("B", text), 3);
  EXPECT_EQ(PosFrom("B", text, 1), 4);
  EXPECT_EQ(MbcsPos(kHiraA, text), 2);
  EXPECT_EQ(MbcsPos("C", text), 0);
  EXPECT_EQ(MbcsPos("AB", text), 0);
}

TEST(MbcsPosTest, EmptySearchAndEmptyText) {
  EXPECT_EQ(MbcsPos("", "abc"), 1);
  EXPECT_EQ(MbcsPos("", ""), 0);
  EXPECT_EQ(MbcsPos("a", ""), 0);
}

TEST(MbcsPosTest, NeverMatchesTheSecondByteOfATwoByteCharacter) {
  EXPECT_EQ(MbcsPos("\\", std::string("a") + kSo + kHyo), 0);
  EXPECT_EQ(MbcsPos("|", std::string(kPo) + "x"), 0);
  EXPECT_EQ(MbcsPos("\\", std::string(kSo) + "\\"), 2);
  // A search text longer than what is left and a lone lead byte at the end.
  EXPECT_EQ(MbcsPos("\x83\x5C", "ab\x83"), 0);
  EXPECT_EQ(MbcsPos("\x83", "ab\x83"), 3);
}

TEST(PosFromTest, StartsAtTheGivenByteAndCountsBytes) {
  EXPECT_EQ(PosFrom("a", "banana", 1), 2);
  EXPECT_EQ(PosFrom("a", "banana", 3), 4);
  EXPECT_EQ(PosFrom("a", "banana", 6), 6);
  EXPECT_EQ(PosFrom("a", "banana", 7), 0);  // text shorter than the start
  EXPECT_EQ(PosFrom("", "banana", 1), 0);
  EXPECT_EQ(PosFrom("a", "", 1), 0);
}

TEST(PosFromTest, StartOnASecondByteBeginsBehindThatCharacter) {
  const std::string text = std::string(kSo) + "\\" + kHyo + "\\";
  EXPECT_EQ(PosFrom("\\", text, 1), 3);
  EXPECT_EQ(PosFrom("\\", text, 2), 3);  // byte 2 is the second byte of so
  EXPECT_EQ(PosFrom("\\", text, 4), 6);
  EXPECT_EQ(PosFrom("\\", text, 5), 6);
  EXPECT_EQ(PosFrom("\\", std::string(kSo) + kHyo, 1), 0);
  // A start on the last byte when that is the second byte of a character.
  EXPECT_EQ(PosFrom("\\", kSo, 2), 0);
  // A lone lead byte at the end is skipped without reading past the text.
  EXPECT_EQ(PosFrom("x", "ab\x83", 3), 0);
}

TEST(ReplaceTextTest, FirstOrEveryOccurrence) {
  EXPECT_EQ(ReplaceText("1,234,567", ",", "", true), "1234567");
  EXPECT_EQ(ReplaceText("1,234,567", ",", "", false), "1234,567");
  EXPECT_EQ(ReplaceText("abc", "x", "y", true), "abc");
  EXPECT_EQ(ReplaceText("abc", "", "y", true), "abc");
  EXPECT_EQ(ReplaceText("", "a", "y", true), "");
  EXPECT_EQ(ReplaceText("aXbXc", "X", "--", true), "a--b--c");
}

TEST(ReplaceTextTest, ResumesBehindTheReplacement) {
  EXPECT_EQ(ReplaceText("a\"b\"\"c", "\"", "\"\"", true), "a\"\"b\"\"\"\"c");
  EXPECT_EQ(ReplaceText("aaa", "a", "aa", true), "aaaaaa");
  EXPECT_EQ(ReplaceText("aaa", "aa", "a", true), "aa");
}

TEST(ReplaceTextTest, LeavesTwoByteCharactersAlone) {
  const std::string source = std::string(kSo) + "\\" + kHyo + "|" + kPo;
  EXPECT_EQ(ReplaceText(source, "\\", "/", true), std::string(kSo) + "/" + kHyo + "|" + kPo);
  EXPECT_EQ(ReplaceText(source, "|", "!", true), std::string(kSo) + "\\" + kHyo + "!" + kPo);
}

TEST(ToHalfWidthTest, DigitsLettersAndKatakana) {
  EXPECT_EQ(ToHalfWidth("\x82\x50\x82\x51\x82\x52"), "123");
  EXPECT_EQ(ToHalfWidth("\x82\x60\x82\x81z"), "Aaz");
  EXPECT_EQ(ToHalfWidth("\x83\x4B"), "\xB6\xDE");  // ga
  EXPECT_EQ(ToHalfWidth(kHyo), kHyo);
  EXPECT_EQ(ToHalfWidth(""), "");
}

TEST(ToHalfWidthTest, CutsTo254BytesWithoutSplittingACharacter) {
  const std::string ones(300, '1');
  EXPECT_EQ(ToHalfWidth(ones), std::string(254, '1'));
  // The cut would leave the lead byte of a full-width digit alone: it goes.
  EXPECT_EQ(ToHalfWidth(std::string(253, '1') + "\x82\x50" + "9"), std::string(253, '1'));
  EXPECT_EQ(ToHalfWidth(std::string(252, '1') + "\x82\x50" + "9"), std::string(253, '1'));
  // The text ends at a zero byte.
  EXPECT_EQ(ToHalfWidth(std::string("12\0" "34", 5)), "12");
}

TEST(StrToNumTest, Examples) {
  EXPECT_EQ(StrToNum(""), 0.0);
  EXPECT_EQ(StrToNum("  42  "), 42.0);
  EXPECT_EQ(StrToNum("\t42\r\n"), 42.0);
  EXPECT_EQ(StrToNum("\x82\x50\x82\x51\x82\x52"), 123.0);
  EXPECT_EQ(StrToNum("1,234.5"), 1234.5);
  EXPECT_EQ(StrToNum("\\1,000"), 1000.0);
  EXPECT_EQ(StrToNum("-7.5kg"), -7.5);
  EXPECT_EQ(StrToNum("+3"), 3.0);
  EXPECT_EQ(StrToNum("abc"), 0.0);
  EXPECT_EQ(StrToNum("2.5E+3"), 2500.0);
  EXPECT_EQ(StrToNum("2.5E3"), 2.5);
  EXPECT_EQ(StrToNum("1e5"), 1.0);
  EXPECT_DOUBLE_EQ(StrToNum("4e-1x"), 0.4);
  EXPECT_EQ(StrToNum("1."), 1.0);
  EXPECT_EQ(StrToNum(".5"), 0.5);
  EXPECT_EQ(StrToNum("-0.25"), -0.25);
}

TEST(StrToNumTest, Hexadecimal) {
  EXPECT_EQ(StrToNum("$1F"), 31.0);
  EXPECT_EQ(StrToNum("$xyz"), 0.0);
  EXPECT_EQ(StrToNum("$"), 0.0);
  EXPECT_EQ(StrToNum("$1F kg"), 0.0);
  EXPECT_EQ(StrToNum("$7FFFFFFF"), 2147483647.0);
  EXPECT_EQ(StrToNum("$FFFFFFFF"), -1.0);
  EXPECT_EQ(StrToNum("$100000000"), 0.0);
}

TEST(StrToNumTest, UnconvertibleScansGiveZero) {
  EXPECT_EQ(StrToNum("."), 0.0);
  EXPECT_EQ(StrToNum("-.x"), 0.0);
  EXPECT_EQ(StrToNum("-"), 0.0);
  EXPECT_EQ(StrToNum("1E+999"), 0.0);
  EXPECT_EQ(StrToNum(std::string("\x83", 1)), 0.0);
}

TEST(StrToNumTest, ReadsOnlyTheFirst254Bytes) {
  // 254 digits are read; the digits behind them are not.
  const double expected = StrToNum(std::string(254, '1'));
  EXPECT_GT(expected, 1e252);
  EXPECT_EQ(StrToNum(std::string(254, '1') + "99999"), expected);
  EXPECT_EQ(StrToNum(std::string(250, ' ') + "12345678"), 1234.0);
}

TEST(PathPartsTest, SplitAtTheLastBackslashOrColon) {
  EXPECT_EQ(FolderPart("C:\\dir\\file.txt"), "C:\\dir\\");
  EXPECT_EQ(NamePart("C:\\dir\\file.txt"), "file.txt");
  EXPECT_EQ(FolderPart("C:file"), "C:");
  EXPECT_EQ(NamePart("C:file"), "file");
  EXPECT_EQ(FolderPart("file"), "");
  EXPECT_EQ(NamePart("file"), "file");
  EXPECT_EQ(FolderPart(""), "");
  EXPECT_EQ(NamePart("C:\\dir\\"), "");
}

TEST(PathPartsTest, SecondBytesAreNotSeparators) {
  const std::string path = std::string("C:\\") + kSo + "\\" + kHyo;
  EXPECT_EQ(FolderPart(path), std::string("C:\\") + kSo + "\\");
  EXPECT_EQ(NamePart(path), kHyo);
  const std::string folderOnly = std::string("D:\\") + kHyo + kSo;
  EXPECT_EQ(FolderPart(folderOnly), "D:\\");
  EXPECT_EQ(NamePart(folderOnly), std::string(kHyo) + kSo);
}

}  // namespace
}  // namespace lumora
