// The portable Shift-JIS text platform: its half-width mapping and its date
// form. These tests use the portable platform directly, in both builds.
#include <gtest/gtest.h>

#include <string>

#include "platform/text_portable.h"

namespace lumora::platform {
namespace {

TEST(PortableHalfWidthTest, SpaceSignsDigitsAndLetters) {
  const PortableTextPlatform p;
  EXPECT_EQ(p.MapToHalfWidth("\x81\x40"), " ");
  EXPECT_EQ(p.MapToHalfWidth("\x82\x4F\x82\x58"), "09");
  EXPECT_EQ(p.MapToHalfWidth("\x82\x60\x82\x79\x82\x81\x82\x9A"), "AZaz");
  EXPECT_EQ(p.MapToHalfWidth("\x81\x49\x81\x94\x81\x90\x81\x93\x81\x95\x81\x96\x81\x7B"), "!#$%&*+");
  EXPECT_EQ(p.MapToHalfWidth("\x81\x43\x81\x7C\x81\x44\x81\x5E\x81\x46\x81\x47"), ",-./:;");
  EXPECT_EQ(p.MapToHalfWidth("\x81\x83\x81\x81\x81\x84\x81\x48\x81\x97"), "<=>?@");
  EXPECT_EQ(p.MapToHalfWidth("\x81\x6D\x81\x6E\x81\x4F\x81\x51\x81\x4D"), "[]^_`");
  EXPECT_EQ(p.MapToHalfWidth("\x81\x5F"), "\x81\x5F");  // full-width backslash stays
  EXPECT_EQ(p.MapToHalfWidth("\x81\x6F\x81\x62\x81\x70\x81\x60"), "{|}~");
  EXPECT_EQ(p.MapToHalfWidth("\x81\x69\x81\x6A"), "()");
  EXPECT_EQ(p.MapToHalfWidth("\x81\x8F"), "\\");  // full-width yen sign
}

TEST(PortableHalfWidthTest, KatakanaAndTheirSigns) {
  const PortableTextPlatform p;
  EXPECT_EQ(p.MapToHalfWidth("\x83\x41\x83\x43\x83\x45"), "\xB1\xB2\xB3");  // a i u
  EXPECT_EQ(p.MapToHalfWidth("\x83\x40"), "\xA7");                          // small a
  EXPECT_EQ(p.MapToHalfWidth("\x83\x4B"), "\xB6\xDE");                      // ga
  EXPECT_EQ(p.MapToHalfWidth("\x83\x70"), "\xCA\xDF");                      // pa
  EXPECT_EQ(p.MapToHalfWidth("\x83\x94"), "\xB3\xDE");                      // vu
  EXPECT_EQ(p.MapToHalfWidth("\x83\x5C"), "\xBF");                          // so
  EXPECT_EQ(p.MapToHalfWidth("\x83\x7C"), "\xCE\xDF");                      // po
  EXPECT_EQ(p.MapToHalfWidth("\x83\x62\x83\x63"), "\xAF\xC2");              // small tsu, tsu
  EXPECT_EQ(p.MapToHalfWidth("\x83\x7E\x83\x80"), "\xD0\xD1");              // mi mu
  EXPECT_EQ(p.MapToHalfWidth("\x83\x8F\x83\x92\x83\x93"), "\xDC\xA6\xDD");  // wa wo n
  EXPECT_EQ(p.MapToHalfWidth("\x81\x42\x81\x75\x81\x76\x81\x41\x81\x45\x81\x5B\x81\x4A\x81\x4B"),
            "\xA1\xA2\xA3\xA4\xA5\xB0\xDE\xDF");
}

TEST(PortableHalfWidthTest, EverythingElseIsCopied) {
  const PortableTextPlatform p;
  EXPECT_EQ(p.MapToHalfWidth("abc 123\\"), "abc 123\\");
  EXPECT_EQ(p.MapToHalfWidth("\x82\xA0\x95\x5C"), "\x82\xA0\x95\x5C");  // hiragana a, kanji
  EXPECT_EQ(p.MapToHalfWidth("\xB1\xDE"), "\xB1\xDE");                  // half-width already
  EXPECT_EQ(p.MapToHalfWidth("x\x82"), "x\x82");                        // lone lead byte
  EXPECT_EQ(p.MapToHalfWidth("\x83\x8E"), "\x83\x8E");                  // small wa: no form
  EXPECT_EQ(p.MapToHalfWidth("\x88\x9F\xF0\x40"), "\x88\x9F\xF0\x40");  // kanji, user-defined
}

TEST(PortableHalfWidthTest, AsTheSystemConvertsThroughUnicode) {
  const PortableTextPlatform p;
  EXPECT_EQ(p.MapToHalfWidth("\x81\x65\x81\x66\x81\x67\x81\x68"), "''\"\"");  // curly quotes
  EXPECT_EQ(p.MapToHalfWidth("\xFA\x57\xEE\xFB"), "\"'");
  EXPECT_EQ(p.MapToHalfWidth("\x81\x9B\x81\xA8"), "??");  // no code for their half-width forms
  EXPECT_EQ(p.MapToHalfWidth("\x81\x53"), "\x81\x52\xDE");
  // Characters with two codes come out at the preferred one.
  EXPECT_EQ(p.MapToHalfWidth("\xED\x40\xED\x7E\xED\x80\xEE\xEC"), "\xFA\x5C\xFA\x9B\xFA\x9C\xFC\x4B");
  EXPECT_EQ(p.MapToHalfWidth("\xEE\xEF\xEE\xF9\xFA\x4A\x87\x90"), "\xFA\x40\x81\xCA\x87\x54\x81\xE0");
  // Unassigned codes read as the middle dot; a bad second byte is copied.
  EXPECT_EQ(p.MapToHalfWidth("\x81\xAD\xEF\x40\x85\x40"), "\xA5\xA5\xA5");
  EXPECT_EQ(p.MapToHalfWidth("\x81\x30"), "\x81\x30");
}

TEST(PortableTextToDateTest, ProgramDateForms) {
  const PortableTextPlatform p;
  EXPECT_EQ(p.TextToDate("1899/12/30"), 0.0);
  EXPECT_EQ(p.TextToDate("1900/1/1"), 2.0);
  EXPECT_EQ(p.TextToDate("2000/01/01"), 36526.0);
  EXPECT_EQ(p.TextToDate("2000/1/1 12:00"), 36526.5);
  EXPECT_EQ(p.TextToDate("2000/1/1 6:00:00"), 36526.25);
  EXPECT_EQ(p.TextToDate(" 2024/2/29 18:00:00 "), 45351.75);
  EXPECT_EQ(p.TextToDate("1899/12/29 06:00:00"), -1.25);
  const auto withSeconds = p.TextToDate("2026/12/07 13:45:09");
  ASSERT_TRUE(withSeconds.has_value());
  EXPECT_NEAR(*withSeconds, 46363.0 + (13 * 3600 + 45 * 60 + 9) / 86400.0, 1e-9);
}

TEST(PortableTextToDateTest, RejectsWhatIsNotADate) {
  const PortableTextPlatform p;
  for (const char* text : {"", "abc", "2026/13/01", "2026/0/1", "2026/1/0", "2023/02/29",
                           "2024/02/30", "2024/4/31", "2026/12/07 24:00", "2026/12/07 1:60",
                           "2026/12/07 1:00:60", "2026/12/07x", "2026/12/0713:00", "2026/12",
                           "2026-12-07", "2026/12/07 13", "2026/12/07 13:00 pm"}) {
    EXPECT_FALSE(p.TextToDate(text).has_value()) << text;
  }
}

TEST(PortableTextPlatformTest, LeadBytesAndAnsiText) {
  const PortableTextPlatform p;
  EXPECT_FALSE(p.LeadBytes().IsLead('\x80'));
  EXPECT_TRUE(p.LeadBytes().IsLead('\x81'));
  EXPECT_TRUE(p.LeadBytes().IsLead('\x9F'));
  EXPECT_FALSE(p.LeadBytes().IsLead('\xA0'));
  EXPECT_FALSE(p.LeadBytes().IsLead('\xDF'));
  EXPECT_TRUE(p.LeadBytes().IsLead('\xE0'));
  EXPECT_TRUE(p.LeadBytes().IsLead('\xFC'));
  EXPECT_FALSE(p.LeadBytes().IsLead('\xFD'));
  EXPECT_EQ(p.AnsiToUtf8("a\x83\x5C"), "a\x83\x5C");
}

}  // namespace
}  // namespace lumora::platform

namespace {

// The list's time text reads back as the same moment, and midnight is
// written as the date alone; this holds for whichever text platform is in force.
TEST(DateTimeTextTest, ReadsBackAsTheSameMoment) {
  const auto& text = lumora::platform::Text();
  const lumora::platform::LocalTime afternoon{2026, 12, 7, 13, 5, 9, 1};
  const std::string written = text.DateTimeText(afternoon);
  const auto date = text.TextToDate(written);
  ASSERT_TRUE(date.has_value()) << written;
  // 2026-12-07 is day 46363 after 1899-12-30.
  EXPECT_NEAR(*date, 46363.0 + (13 * 3600 + 5 * 60 + 9) / 86400.0, 1e-6) << written;

  const lumora::platform::LocalTime midnight{2026, 1, 2, 0, 0, 0, 5};
  const std::string dateOnly = text.DateTimeText(midnight);
  EXPECT_EQ(dateOnly.find(' '), std::string::npos) << dateOnly;
  const auto midnightDate = text.TextToDate(dateOnly);
  ASSERT_TRUE(midnightDate.has_value()) << dateOnly;
  EXPECT_DOUBLE_EQ(*midnightDate, 46024.0);
}

TEST(DateTimeTextTest, NowIsAValidClockReading) {
  const auto now = lumora::platform::Text().Now();
  EXPECT_GE(now.year, 2020);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.day >= 1 && now.day <= 31);
  EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
  EXPECT_TRUE(now.weekday >= 0 && now.weekday <= 6);
}

}  // namespace
