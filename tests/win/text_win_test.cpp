// The system's text services under code page 932, and the portable
// Shift-JIS services checked against them character by character.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/text_portable.h"
#include "platform/text_win.h"

namespace lumora::platform {
namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  char buffer[4];
  for (unsigned char c : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02X", c);
    if (!out.empty()) out += ' ';
    out += buffer;
  }
  return out.empty() ? "(empty)" : out;
}

TEST(Win32TextPlatformTest, RunsUnderCodePage932) {
  // Every other test in this file assumes a Japanese ANSI code page.
  ASSERT_EQ(GetACP(), 932u) << "run the tests with LANG=ja_JP.UTF-8";
}

TEST(Win32TextPlatformTest, LeadBytesAreThoseOfGetCPInfo) {
  CPINFO info{};
  ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
  std::vector<bool> expected(256, false);
  for (int i = 0; i + 1 < MAX_LEADBYTES && (info.LeadByte[i] || info.LeadByte[i + 1]); i += 2) {
    for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) expected[b] = true;
  }
  Win32TextPlatform text;
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(text.LeadBytes().IsLead(static_cast<unsigned char>(b)), expected[b]) << "byte " << b;
    EXPECT_EQ(text.LeadBytes().IsLead(static_cast<unsigned char>(b)), IsDBCSLeadByte(static_cast<BYTE>(b)) != 0)
        << "byte " << b;
  }
}

TEST(Win32TextPlatformTest, LeadBytesEqualTheShiftJisTable) {
  Win32TextPlatform text;
  const LeadByteTable shiftJis = LeadByteTable::ShiftJis();
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(text.LeadBytes().IsLead(static_cast<unsigned char>(b)),
              shiftJis.IsLead(static_cast<unsigned char>(b)))
        << "byte " << b;
  }
  EXPECT_TRUE(text.LeadBytes().IsLead(static_cast<unsigned char>(0x81)));
  EXPECT_TRUE(text.LeadBytes().IsLead(static_cast<unsigned char>(0xFC)));
  EXPECT_FALSE(text.LeadBytes().IsLead(static_cast<unsigned char>(0xA0)));
  EXPECT_FALSE(text.LeadBytes().IsLead(static_cast<unsigned char>(0xFD)));
}

TEST(Win32TextPlatformTest, SystemTextIsTheWin32One) {
  EXPECT_NE(dynamic_cast<const Win32TextPlatform*>(&SystemText()), nullptr);
  EXPECT_EQ(&SystemText(), &SystemText());
}

TEST(Win32TextPlatformTest, MapsFullWidthToHalfWidth) {
  Win32TextPlatform text;
  // "ＡＢＣ１２３" -> "ABC123"
  EXPECT_EQ(text.MapToHalfWidth("\x82\x60\x82\x61\x82\x62\x82\x50\x82\x51\x82\x52"), "ABC123");
  // "ガ" -> half-width ka + voiced sound mark
  EXPECT_EQ(text.MapToHalfWidth("\x83\x4B"), "\xB6\xDE");
  // Kanji stay: "表" (second byte 0x5C)
  EXPECT_EQ(text.MapToHalfWidth("\x95\x5C"), "\x95\x5C");
  EXPECT_EQ(text.MapToHalfWidth(""), "");
}

TEST(Win32TextPlatformTest, HalfWidthMappingTakes254BytesAndEndsAtAZero) {
  Win32TextPlatform text;
  std::string fullWidthDigits;
  for (int i = 0; i < 127; ++i) fullWidthDigits += "\x82\x4F";  // "０"
  EXPECT_EQ(text.MapToHalfWidth(fullWidthDigits), std::string(127, '0'));
  EXPECT_EQ(text.MapToHalfWidth(std::string("\x82\x60x\0y", 5)), "Ax");
}

// True when the bytes are a character of code page 932 (not an unassigned code).
bool IsAssigned(const std::string& bytes) {
  wchar_t wide[4];
  return MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), wide,
                             4) > 0;
}

// Every one-byte character and every lead/trail pair of code page 932,
// assigned (true) or unassigned codes (false).
std::vector<std::string> CodePage932Characters(bool assigned) {
  const LeadByteTable lead = LeadByteTable::ShiftJis();
  std::vector<std::string> characters;
  for (int b = 1; b < 256; ++b) {
    if (!lead.IsLead(static_cast<unsigned char>(b)) && assigned) characters.push_back(std::string(1, char(b)));
  }
  for (int first = 0; first < 256; ++first) {
    if (!lead.IsLead(static_cast<unsigned char>(first))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      std::string character{char(first), char(trail)};
      if (IsAssigned(character) == assigned) characters.push_back(character);
    }
  }
  return characters;
}

// Lists every character whose mappings differ; empty when they agree.
std::string HalfWidthDifferences(const std::vector<std::string>& characters, int& count) {
  Win32TextPlatform system;
  PortableTextPlatform portable;
  std::string report;
  count = 0;
  for (const std::string& character : characters) {
    const std::string expected = system.MapToHalfWidth(character);
    const std::string actual = portable.MapToHalfWidth(character);
    if (expected == actual) continue;
    ++count;
    report += Hex(character) + ": system " + Hex(expected) + ", portable " + Hex(actual) + "\n";
  }
  return report;
}

TEST(PortableTextPlatformTest, HalfWidthMappingAgreesWithTheSystemForEveryAssignedCharacter) {
  ASSERT_EQ(GetACP(), 932u);
  const std::vector<std::string> characters = CodePage932Characters(true);
  ASSERT_GT(characters.size(), 7000u);
  int count = 0;
  const std::string report = HalfWidthDifferences(characters, count);
  EXPECT_EQ(count, 0) << "of " << characters.size() << " characters:\n" << report;
}

TEST(PortableTextPlatformTest, HalfWidthMappingAgreesWithTheSystemForEveryUnassignedCode) {
  ASSERT_EQ(GetACP(), 932u);
  const std::vector<std::string> codes = CodePage932Characters(false);
  int count = 0;
  const std::string report = HalfWidthDifferences(codes, count);
  EXPECT_EQ(count, 0) << "of " << codes.size() << " unassigned codes:\n" << report.substr(0, 2000);
}

TEST(Win32TextPlatformTest, ReadsDatesWithOrWithoutLeadingZeros) {
  Win32TextPlatform text;
  const std::optional<double> shortForm = text.TextToDate("2026/12/7 13:05:09");
  const std::optional<double> longForm = text.TextToDate("2026/12/07 13:05:09");
  ASSERT_TRUE(shortForm.has_value());
  ASSERT_TRUE(longForm.has_value());
  EXPECT_DOUBLE_EQ(*shortForm, *longForm);
  // 2026-12-07 is day 46363 after 1899-12-30; 13:05:09 is 47109 s of 86400.
  EXPECT_NEAR(*shortForm, 46363.0 + 47109.0 / 86400.0, 1e-7);
  EXPECT_NEAR(*text.TextToDate("2026/1/2"), 46024.0, 1e-9);
}

TEST(Win32TextPlatformTest, TextThatIsNoDateGivesNothing) {
  Win32TextPlatform text;
  EXPECT_FALSE(text.TextToDate("").has_value());
  EXPECT_FALSE(text.TextToDate("abc").has_value());
  EXPECT_FALSE(text.TextToDate("2026/13/45 99:99:99").has_value());
}

TEST(Win32TextPlatformTest, AnsiToUtf8ConvertsShiftJis) {
  Win32TextPlatform text;
  EXPECT_EQ(text.AnsiToUtf8("\x83\x89\x83\x93\x83\x60\x83\x83\x81\x5B"), "ランチャー");
  EXPECT_EQ(text.AnsiToUtf8("abc"), "abc");
}

}  // namespace
}  // namespace lumora::platform
