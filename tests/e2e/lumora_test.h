// Base of the tests that drive the real Lumora.exe: each test gets a fresh
// program folder holding a copy of the built program and an empty "data"
// folder, and helpers to start it and find its launcher window.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "driver/driver.h"

namespace lumora::e2e {

inline constexpr std::wstring_view kLauncherTitle = L"[LM]";
inline constexpr std::wstring_view kLauncherClass = L"TfrmLumora";

// Settings of a program that has had its first run: start-up asks nothing.
inline constexpr std::string_view kInstalledSettings = "[flag]\r\ninstalled=1\r\n";

// The program under test: LUMORA_EXE_PATH when set (a Unix or Windows path),
// otherwise the one this build made.
inline std::wstring LumoraExePath() {
  const std::wstring fromEnvironment = EnvironmentValue(L"LUMORA_EXE_PATH");
  if (!fromEnvironment.empty()) return WindowsPathFromAnyPath(Utf8FromUtf16(fromEnvironment));
  return WindowsPathFromAnyPath(LUMORA_EXE);
}

class LumoraTest : public ::testing::Test {
 protected:
  LumoraTest() { folder.CopyProgram(LumoraExePath(), L"Lumora.exe"); }

  LumoraProcess StartLumora() { return LumoraProcess::StartIn(folder); }

  // The launcher window of the process, or null when it does not come within
  // the timeout. Found by its class: a message box of the program carries the
  // same title.
  static HWND WaitForLauncher(const LumoraProcess& process, Millis timeout = kStartTimeout) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
          found = FindTopLevelWindowByClass(process.Id(), kLauncherClass);
          return found != nullptr || !process.IsRunning();
        },
        timeout);
    return found;
  }

  // Saves the screen as <reports>\e2e-<suite>.<test>[-<suffix>].bmp when
  // LUMORA_REPORTS_DIR is set; does nothing otherwise.
  static void SaveScreenshot(std::wstring_view suffix = {}) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name = L"e2e-" + Utf16FromUtf8(info->test_suite_name()) + L"." + Utf16FromUtf8(info->name());
    if (!suffix.empty()) name += L"-" + std::wstring(suffix);
    SaveScreenshotToReports(name);
  }

  ProgramFolder folder;
};

}  // namespace lumora::e2e
