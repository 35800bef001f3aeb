// The driver's plain pieces: text and path conversions, waiting, and the
// throw-away program folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>

#include "driver/driver.h"
#include "test_windows.h"

namespace lumora::e2e {
namespace {

TEST(DriverText, UnixPathsBecomeDriveZPaths) {
  EXPECT_EQ(WindowsPathFromAnyPath("/tmp/b/bin/Lumora.exe"), L"Z:\\tmp\\b\\bin\\Lumora.exe");
  EXPECT_EQ(WindowsPathFromAnyPath("C:/x/y.exe"), L"C:\\x\\y.exe");
  EXPECT_EQ(WindowsPathFromAnyPath("C:\\x\\y.exe"), L"C:\\x\\y.exe");
}

TEST(DriverText, ShiftJisRoundTrip) {
  const std::string bytes = AnsiFromUtf16(L"メモ帳", 932);
  EXPECT_EQ(bytes, "\x83\x81\x83\x82\x92\xA0");
  EXPECT_EQ(Utf16FromAnsi(bytes, 932), L"メモ帳");
  EXPECT_EQ(Utf8FromUtf16(Utf16FromUtf8("電卓")), "電卓");
}

TEST(DriverWait, TrueAtOnceWhenTheConditionHolds) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(WaitUntil([] { return true; }, 5s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
}

TEST(DriverWait, FalseAfterTheTimeout) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(WaitUntil([] { return false; }, 200ms));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, 200ms);
  EXPECT_LT(elapsed, 1s);
}

TEST(DriverWait, HoldsForTellsWhetherAConditionLasts) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(HoldsFor([] { return true; }, 150ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
  int calls = 0;
  EXPECT_FALSE(HoldsFor([&] { return ++calls < 3; }, 5s));
  EXPECT_EQ(calls, 3);
}

TEST(DriverWait, PollsUntilTheConditionTurnsTrue) {
  int calls = 0;
  EXPECT_TRUE(WaitUntil([&] { return ++calls == 5; }, 5s));
  EXPECT_EQ(calls, 5);
}

TEST(DriverWait, DispatchesThisThreadsMessagesWhileWaiting) {
  // A message posted to our own window is handled only if the wait pumps.
  testing::TestWindow window({10, 10, 60, 60}, RGB(0, 0, 0), false);
  PostMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(testing::kButtonId, BN_CLICKED), 0);
  EXPECT_EQ(window.buttonClicks, 0);
  EXPECT_TRUE(WaitUntil([&] { return window.buttonClicks == 1; }, 1s));
}

TEST(DriverWait, WaitForValueGivesTheFirstValue) {
  int calls = 0;
  const auto result = WaitForValue<int>([&] { return ++calls < 3 ? std::nullopt : std::optional<int>(calls); }, 1s);
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(*result, 3);
  EXPECT_FALSE(WaitForValue<int>([] { return std::optional<int>(); }, 50ms).has_value());
}

TEST(DriverProgramFolder, IsFreshWithADataFolderAndGoesAway) {
  std::wstring path;
  {
    ProgramFolder folder;
    path = folder.Path();
    ASSERT_EQ(path.back(), L'\\');
    EXPECT_NE(path.find(L"lumora-e2e-"), std::wstring::npos);
    const DWORD attributes = GetFileAttributesW(folder.PathOf(L"data").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    folder.WriteFile(L"icons\\sub\\x.bin", "x");  // leaves something nested to remove
    ProgramFolder other;
    EXPECT_NE(other.Path(), path);
  }
  EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(DriverProgramFolder, WritesAndReadsRawBytes) {
  ProgramFolder folder;
  // Shift-JIS, a tab, CR LF and a zero byte must pass through untouched.
  const std::string bytes("1\t\x83\x81\x83\x82\x92\xA0\tnotepad.exe\r\n\0end", 30);
  folder.WriteFile(L"data\\applist.tsv", bytes);
  const auto back = folder.ReadFile(L"data\\applist.tsv");
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, bytes);
  EXPECT_TRUE(folder.Exists(L"data\\applist.tsv"));
  EXPECT_FALSE(folder.Exists(L"data\\memo.txt"));
  EXPECT_FALSE(folder.ReadFile(L"data\\memo.txt").has_value());
}

TEST(DriverProgramFolder, CopiesTheProgramAndPlacesItsSettingsBesideIt) {
  ProgramFolder folder;
  EXPECT_TRUE(folder.SettingsPath().empty());
  EXPECT_THROW(folder.WriteSettings("[flag]\r\n"), std::runtime_error);
  const std::wstring exe = folder.CopyProgram(WindowsPathFromAnyPath(LUMORA_FAKE_PROGRAM), L"Lumora.exe");
  EXPECT_EQ(exe, folder.Path() + L"Lumora.exe");
  EXPECT_EQ(folder.ProgramPath(), exe);
  EXPECT_TRUE(folder.Exists(L"Lumora.exe"));
  EXPECT_EQ(folder.SettingsPath(), folder.Path() + L"Lumora.ini");
  folder.WriteSettings("[flag]\r\ninstalled=1\r\n");
  EXPECT_EQ(folder.ReadFile(L"Lumora.ini"), std::optional<std::string>("[flag]\r\ninstalled=1\r\n"));
  EXPECT_THROW(folder.CopyProgram(L"Z:\\no\\such\\program.exe"), std::runtime_error);
}

}  // namespace
}  // namespace lumora::e2e
