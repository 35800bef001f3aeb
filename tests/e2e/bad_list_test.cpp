// Lists edited by hand, in the real program: an entry whose ID is the largest
// integer does not make the next new entry share its ID, and a launch of the
// new entry is counted on the new entry, not on the old one.
#include <gtest/gtest.h>

#include <set>

#include "launcher_fixture.h"

namespace lumora::e2e {
namespace {

class BadList : public LauncherTest {
 protected:
  static std::string U8(const std::wstring& text) { return Utf8FromUtf16(text); }
};

TEST_F(BadList, ANewEntryBesideTheLargestIdGetsAnUnusedIdAndItsLaunchCountsItself) {
  const std::wstring edited = InstallMark(L"tools\\edited.exe");
  const std::wstring typed = InstallMark(L"tools\\typed.exe");
  WriteList({
      {"1", "notepad", "C:\\windows\\notepad.exe", "5", "2026/1/10 9:00:00"},
      {"2147483647", "edited", U8(edited), "7", "2025/11/2 8:15:00"},
  });
  ASSERT_TRUE(Start());
  ASSERT_TRUE(Show());

  // A typed command line that the shell opens becomes a new entry.
  TypeCommand(typed);
  ASSERT_EQ(Items(), Utf16Items({})) << "the path matches an entry: " << Describe(Items());
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitForMark(typed).has_value()) << "the typed command was not started";
  ASSERT_TRUE(WaitUntilHidden(3s));
  ASSERT_TRUE(WaitUntil([&] { return ReadList().rows.size() == 3; }, 3s)) << "no entry was added";
  {
    const ParsedList file = ReadList();
    ASSERT_EQ(file.problem, "");
    std::set<std::string> ids;
    for (const auto& row : file.rows) ids.insert(ParsedList::Cell(&row, 0));
    EXPECT_EQ(ids.size(), 3u) << "two entries share an ID";
    EXPECT_EQ(ParsedList::Cell(&file.rows[2], 2), U8(typed));
    // One more than 2147483647 is no int: the smallest unused positive ID.
    EXPECT_EQ(ParsedList::Cell(&file.rows[2], 0), "2");
  }

  // Launching the new entry counts it, and only it.
  ASSERT_TRUE(DeleteFileW(MarkFileOf(typed).c_str()));
  ASSERT_TRUE(Show());
  TypeCommand(L"typed");
  ASSERT_EQ(Items(), std::vector<std::wstring>{typed}) << Describe(Items());
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitForMark(typed).has_value()) << "Enter did not launch the new entry";
  EXPECT_FALSE(MarkExists(edited)) << "the old entry was launched";
  EXPECT_TRUE(WaitUntil([&] { return ParsedList::Cell(&ReadList().rows.at(2), 3) == "1"; }, 3s))
      << "the new entry's launch was not counted on it";
  const ParsedList file = ReadList();
  ASSERT_EQ(file.problem, "");
  ASSERT_EQ(file.rows.size(), 3u);
  const auto& old = file.rows[1];
  EXPECT_EQ(ParsedList::Cell(&old, 0), "2147483647");
  EXPECT_EQ(ParsedList::Cell(&old, 3), "7") << "the launch was counted on the old entry";
  EXPECT_EQ(ParsedList::Cell(&old, 4), "2025/11/2 8:15:00") << "the launch stamped the old entry";
  const auto seconds = TimeCellSeconds(ParsedList::Cell(&file.rows[2], 4));
  ASSERT_TRUE(seconds.has_value()) << ParsedList::Cell(&file.rows[2], 4);
  EXPECT_LE(std::llabs(*seconds - NowSeconds()), 120);
}

}  // namespace
}  // namespace lumora::e2e
