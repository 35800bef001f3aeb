// The memo window's portable part: its sizes at 96 DPI and scaled, the
// button bar kept centred, the corner place, and the memo file's format.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "editing/memo_file.h"
#include "editing/memo_layout.h"
#include "platform/error.h"
#include "support/sheet_temp_folder.h"

namespace lumora {
namespace {

TEST(MemoLayoutTest, At96DpiTheBarAndButtonsAreAsDesigned) {
  const MemoLayout layout(96);
  EXPECT_EQ(layout.WindowWidth(), 324);
  EXPECT_EQ(layout.WindowHeight(), 251);
  EXPECT_EQ(layout.FontHeight(), 12);
  // A client area of 316 x 224: the bar's 31 at the bottom, the tabs above.
  EXPECT_EQ(layout.PagesBounds(316, 224), (Rect{0, 0, 316, 193}));
  EXPECT_EQ(layout.BackBounds(316, 224), (Rect{0, 193, 316, 224}));
  EXPECT_EQ(layout.ButtonBounds(0), (Rect{7, 1, 80, 26}));
  EXPECT_EQ(layout.ButtonBounds(1), (Rect{86, 1, 159, 26}));
  EXPECT_EQ(layout.ButtonBounds(2), (Rect{166, 1, 239, 26}));
  EXPECT_EQ(layout.AboutBoxBounds(), (Rect{8, 8, 113, 57}));
  // Smaller than the bar: nothing negative.
  EXPECT_EQ(layout.PagesBounds(10, 20).Height(), 0);
  EXPECT_EQ(layout.BackBounds(10, 20), (Rect{0, 0, 10, 20}));
}

TEST(MemoLayoutTest, TheButtonPanelStaysCentredRoundingTowardZero) {
  const MemoLayout layout(96);
  EXPECT_EQ(layout.ButtonPanelBounds(316, 31).left, 33);  // (316 - 249) / 2 = 33.5
  EXPECT_EQ(layout.ButtonPanelBounds(317, 31).left, 34);
  EXPECT_EQ(layout.ButtonPanelBounds(249, 31).left, 0);
  EXPECT_EQ(layout.ButtonPanelBounds(200, 31).left, -24);  // -24.5 toward zero
  EXPECT_EQ(layout.ButtonPanelBounds(500, 31), (Rect{125, 1, 374, 29}));
}

TEST(MemoLayoutTest, OtherDpisScale) {
  const MemoLayout large(144);
  EXPECT_EQ(large.WindowWidth(), 486);
  EXPECT_EQ(large.WindowHeight(), 377);  // 376.5
  EXPECT_EQ(large.FontHeight(), 18);
  EXPECT_EQ(large.BackBounds(400, 300), (Rect{0, 253, 400, 300}));  // 46.5 -> 47
  EXPECT_EQ(large.ButtonPanelBounds(400, 47).left, (400 - 374) / 2);
  EXPECT_EQ(large.ButtonBounds(2).left, 249);
}

TEST(MemoLayoutTest, TheCornerPlaceIsFlushWithTheWorkAreasBottomRight) {
  EXPECT_EQ(MemoCornerPlace(Rect{0, 0, 1920, 1040}, 324, 251), (Point{1596, 789}));
  // A work area that does not start at 0 (a taskbar on the left or top).
  EXPECT_EQ(MemoCornerPlace(Rect{60, 30, 1280, 1024}, 400, 300), (Point{880, 724}));
}

TEST(MemoFileTest, EveryLineBreakReadsAsCrLf) {
  EXPECT_EQ(MemoLineBreaks("a\r\nb\nc\rd"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(MemoLineBreaks("\n\r\r\n\n\r"), "\r\n\r\n\r\n\r\n\r\n");
  EXPECT_EQ(MemoLineBreaks("\r\n\r\n"), "\r\n\r\n");
  EXPECT_EQ(MemoLineBreaks(""), "");
  // Shift-JIS 表 (95 5C) and ソ (83 5C): the second bytes are no line breaks.
  EXPECT_EQ(MemoLineBreaks("\x95\x5C\n\x83\x5C"), "\x95\x5C\r\n\x83\x5C");
}

TEST(MemoFileTest, WrittenExactlyAndReadBack) {
  const test::TempFolder folder;
  const std::string path = folder.File("memo.txt");
  EXPECT_EQ(ReadMemoFile(path), std::nullopt);  // no file yet: not an error

  WriteMemoFile(path, "first\r\nsecond");
  EXPECT_EQ(test::ReadBytes(path), "first\r\nsecond");  // no line break added
  EXPECT_EQ(ReadMemoFile(path), std::optional<std::string>("first\r\nsecond"));

  // A file written elsewhere with other line breaks.
  test::WriteBytes(path, "x\ny\rz\r\n");
  EXPECT_EQ(ReadMemoFile(path), std::optional<std::string>("x\r\ny\r\nz\r\n"));

  WriteMemoFile(path, "");
  EXPECT_EQ(test::ReadBytes(path), "");
  EXPECT_EQ(ReadMemoFile(path), std::optional<std::string>(""));
}

// A code page whose bytes are each a character of the same number, except
// 0x80, which it cannot decode; characters past 0xFF come back as '?'.
std::wstring FakeToWide(std::string_view bytes) {
  std::wstring wide;
  for (const unsigned char c : bytes) wide += c == 0x80 ? L'\x30FB' : static_cast<wchar_t>(c);
  return wide;
}
std::string FakeToCodePage(std::wstring_view wide) {
  std::string bytes;
  for (const wchar_t c : wide) bytes += c < 0x100 ? static_cast<char>(c) : '?';
  return bytes;
}

TEST(MemoFileTest, OnlyBytesThatComeBackFromTheEditBoxUnchangedSurviveIt) {
  using namespace std::string_literals;
  for (const std::string& text : {"first\r\nsecond \xE9 \xFF\xFE"s, ""s}) {
    EXPECT_TRUE(MemoSurvivesEditBox(text, FakeToWide, FakeToCodePage)) << text;
  }
  // A zero (the box ends there), an undecodable byte, and a byte order mark
  // (a file in another encoding) even where the code page would keep it.
  for (const std::string& text : {"second\0after"s, "bad \x80"s, "\xEF\xBB\xBFnote"s, "\xFF\xFEn\0"s, "\xFE\xFF"s}) {
    EXPECT_FALSE(MemoSurvivesEditBox(text, FakeToWide, FakeToCodePage)) << text;
  }
}

TEST(MemoFileTest, AFileOverTheLimitIsNotReadAndItsBackupKeepsItsBytes) {
  using namespace std::string_literals;
  const test::TempFolder folder;
  const std::string path = folder.File("memo.txt");
  const std::string bytes = "12\n\xFF\xFEo\0"s;
  test::WriteBytes(path, bytes);
  EXPECT_EQ(ReadMemoFile(path, 7)->text, "12\r\n\xFF\xFEo\0"s);
  EXPECT_TRUE(ReadMemoFile(path, 6)->tooLarge);
  EXPECT_EQ(ReadMemoFile(path, 6)->text, "");

  test::WriteBytes(path + ".bak", "older");
  KeepMemoBackup(path);
  EXPECT_EQ(test::ReadBytes(MemoBackupPath(path)), bytes);
}

TEST(MemoFileTest, AFileThatCannotBeWrittenThrowsAndLeavesTheOldOne) {
  const test::TempFolder folder;
  EXPECT_THROW(WriteMemoFile(folder.File("missing/memo.txt"), "note"), AppError);
  EXPECT_FALSE(std::filesystem::exists(folder.File("missing")));

  // A folder in the file's place: the write fails, the folder stays.
  std::filesystem::create_directory(folder.File("memo.txt"));
  EXPECT_THROW(WriteMemoFile(folder.File("memo.txt"), "note"), AppError);
  EXPECT_TRUE(std::filesystem::is_directory(folder.File("memo.txt")));
}

}  // namespace
}  // namespace lumora
