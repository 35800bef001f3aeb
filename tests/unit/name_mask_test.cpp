// File name masks as the file search applies them to the names it finds.
#include "files/name_mask.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

TEST(NameMaskTest, StarAndQuestionMarkMatchWithoutRegardToCase) {
  EXPECT_TRUE(MatchesNameMask("a.bmp", "*.bmp"));
  EXPECT_TRUE(MatchesNameMask("A.BMP", "*.bmp"));
  EXPECT_TRUE(MatchesNameMask(".bmp", "*.bmp"));
  EXPECT_TRUE(MatchesNameMask("x.y.bmp", "*.bmp"));
  EXPECT_TRUE(MatchesNameMask("old.bmp", "*.bmp"));
  EXPECT_FALSE(MatchesNameMask("a.bmpx", "*.bmp"));
  EXPECT_FALSE(MatchesNameMask("abmp", "*.bmp"));
  EXPECT_FALSE(MatchesNameMask("a.bm", "*.bmp"));
  EXPECT_TRUE(MatchesNameMask("12.bmp", "??.bmp"));
  EXPECT_FALSE(MatchesNameMask("1.bmp", "??.bmp"));
  EXPECT_TRUE(MatchesNameMask("abc", "a*c"));
  EXPECT_TRUE(MatchesNameMask("ac", "a*c"));
  EXPECT_TRUE(MatchesNameMask("abcbc", "a*bc"));
  EXPECT_FALSE(MatchesNameMask("abcb", "a*bc"));
}

TEST(NameMaskTest, EveryNameMatchesStarAndStarDotStar) {
  EXPECT_TRUE(MatchesNameMask("noext", "*.*"));
  EXPECT_TRUE(MatchesNameMask("a.b", "*.*"));
  EXPECT_TRUE(MatchesNameMask("", "*"));
  EXPECT_TRUE(MatchesNameMask("anything", "*"));
}

TEST(NameMaskTest, ATwoByteCharacterIsOneCharacterAndItsSecondByteNoSign) {
  // 表 is 0x95 0x5C in Shift-JIS: its second byte is a backslash; ソ ends in 0x5C too.
  EXPECT_TRUE(MatchesNameMask("\x95\x5C.bmp", "?.bmp"));
  EXPECT_FALSE(MatchesNameMask("\x95\x5C.bmp", "??.bmp"));
  // A two-byte character whose second byte is "a" is not matched by the letter.
  EXPECT_FALSE(MatchesNameMask("\x83\x61", "*a"));
  EXPECT_TRUE(MatchesNameMask("\x83\x61", "\x83\x61"));
}

}  // namespace
}  // namespace lumora
