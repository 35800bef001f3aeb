// Start-up and shutdown of the real program: it comes up hidden with its
// launcher window titled "[LM]", and a close request while hidden ends it with
// exit code 0.
#include <gtest/gtest.h>

#include "lumora_test.h"

namespace lumora::e2e {
namespace {

class Startup : public LumoraTest {};

TEST_F(Startup, ComesUpHiddenAndEndsOnACloseRequest) {
  folder.WriteSettings(kInstalledSettings);
  LumoraProcess lumora = StartLumora();

  const HWND launcher = WaitForLauncher(lumora);
  ASSERT_NE(launcher, nullptr) << "no window \"[LM]\" within " << kStartTimeout.count() << " ms; the program "
                               << (lumora.IsRunning() ? "runs" : "has ended");
  EXPECT_EQ(ClassNameOf(launcher), kLauncherClass);
  ASSERT_TRUE(lumora.WaitForIdle()) << "start-up did not finish";

  // Hidden after start-up, and it stays hidden.
  EXPECT_FALSE(IsVisible(launcher));
  EXPECT_TRUE(HoldsFor([&] { return !IsVisible(launcher); }, 300ms)) << "the launcher window showed itself";
  // Neither a list file nor an installed program is missing anything: no message.
  EXPECT_EQ(WaitForDialog(lumora.Id(), 200ms), nullptr) << "a dialog came up during start-up";
  SaveScreenshot();

  ASSERT_TRUE(PostClose(launcher));
  const auto exitCode = lumora.WaitForExit(kExitTimeout);
  ASSERT_TRUE(exitCode.has_value()) << "still running " << kExitTimeout.count() << " ms after the close request";
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_FALSE(IsWindow(launcher));
}

TEST_F(Startup, TheLauncherWindowIsTheOnlyOneTitledLM) {
  folder.WriteSettings(kInstalledSettings);
  LumoraProcess lumora = StartLumora();
  ASSERT_NE(WaitForLauncher(lumora), nullptr);
  ASSERT_TRUE(lumora.WaitForIdle());
  int titled = 0;
  for (HWND window : TopLevelWindowsOf(lumora.Id())) {
    wchar_t title[64];
    const int n = GetWindowTextW(window, title, 64);
    if (std::wstring_view(title, n > 0 ? n : 0) == kLauncherTitle) ++titled;
  }
  EXPECT_EQ(titled, 1);
  PostClose(WaitForLauncher(lumora));
  EXPECT_EQ(lumora.WaitForExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace lumora::e2e
