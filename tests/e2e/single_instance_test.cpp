// One instance per program folder: a second start from the same folder
// brings the running launcher up and ends without touching a file; copies in
// different folders run side by side. (The restart action, which must not
// count as a second start, is tested with the launcher's commands.)
#include <gtest/gtest.h>

#include "lumora_test.h"

namespace lumora::e2e {
namespace {

class SingleInstance : public LumoraTest {
 protected:
  static constexpr std::string_view kList = "1\tnotepad\tC:\\windows\\notepad.exe\t5\t2026/1/10 9:00:00\r\n";
};

TEST_F(SingleInstance, SecondStartFromTheSameFolderShowsTheRunningLauncherAndEnds) {
  folder.WriteSettings(kInstalledSettings);
  folder.WriteFile(L"data\\applist.tsv", kList);
  LumoraProcess first = StartLumora();
  const HWND launcher = WaitForLauncher(first);
  ASSERT_NE(launcher, nullptr);
  ASSERT_TRUE(first.WaitForIdle());
  ASSERT_FALSE(IsVisible(launcher));
  const std::optional<std::string> settings = folder.ReadFile(folder.SettingsPath().substr(folder.Path().size()));
  ASSERT_TRUE(settings.has_value());

  LumoraProcess second = StartLumora();
  EXPECT_EQ(second.WaitForExit(10s), std::optional<DWORD>(0)) << "the second start did not end by itself";
  EXPECT_TRUE(WaitUntil([&] { return IsVisible(launcher); }, 5s)) << "the running launcher did not come up";
  EXPECT_TRUE(first.IsRunning());
  EXPECT_EQ(folder.ReadFile(L"data\\applist.tsv"), std::optional<std::string>(kList));
  EXPECT_EQ(folder.ReadFile(folder.SettingsPath().substr(folder.Path().size())), settings);
  EXPECT_EQ(FindTopLevelWindowByClass(second.Id(), kLauncherClass), nullptr);

  // Still the one launcher: a close request hides it, the next ends it.
  ASSERT_TRUE(PostClose(launcher));
  ASSERT_TRUE(WaitUntil([&] { return !IsVisible(launcher); }, 5s));
  ASSERT_TRUE(PostClose(launcher));
  EXPECT_EQ(first.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(SingleInstance, AStartThroughTheFoldersShortNameMeetsTheRunningInstance) {
  folder.WriteSettings(kInstalledSettings);
  wchar_t shortFolder[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameW(folder.Path().c_str(), shortFolder, MAX_PATH), 0u);
  if (_wcsicmp(shortFolder, folder.Path().c_str()) == 0) GTEST_SKIP() << "the folder has no 8.3 name here";
  LumoraProcess first = StartLumora();
  ASSERT_NE(WaitForLauncher(first), nullptr);
  ASSERT_TRUE(first.WaitForIdle());
  LumoraProcess second = LumoraProcess::Start(std::wstring(shortFolder) + L"Lumora.exe", shortFolder);
  EXPECT_EQ(second.WaitForExit(10s), std::optional<DWORD>(0)) << "a second instance runs on the same folder";
  first.Kill();
}

TEST_F(SingleInstance, CopiesInDifferentFoldersRunSideBySide) {
  ProgramFolder other;
  other.CopyProgram(LumoraExePath(), L"Lumora.exe");
  folder.WriteSettings(kInstalledSettings);
  other.WriteSettings(kInstalledSettings);

  LumoraProcess first = StartLumora();
  ASSERT_NE(WaitForLauncher(first), nullptr);
  ASSERT_TRUE(first.WaitForIdle());
  LumoraProcess second = LumoraProcess::StartIn(other);
  const HWND secondLauncher = WaitForLauncher(second);
  ASSERT_NE(secondLauncher, nullptr) << "the copy in another folder did not come up";
  EXPECT_TRUE(first.IsRunning());
  EXPECT_FALSE(IsVisible(secondLauncher));

  PostClose(secondLauncher);
  EXPECT_EQ(second.WaitForExit(), std::optional<DWORD>(0));
  PostClose(WaitForLauncher(first));
  EXPECT_EQ(first.WaitForExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace lumora::e2e
