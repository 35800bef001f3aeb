// The launcher window's life in this process, and the real Lumora.exe
// started as a program: hidden, titled "[LM]", ending with 0 on a close.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/frmLumoraU_win.h"
#include "platform/error_report_win.h"
#include "platform/handles_win.h"

namespace lumora {
namespace {

std::wstring TitleOf(HWND hwnd) {
  wchar_t title[64] = {};
  GetWindowTextW(hwnd, title, 64);
  return title;
}

// Takes the WM_QUIT that the launcher posts when it is destroyed; -1 if none.
int TakeQuitCode() {
  MSG msg;
  if (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return static_cast<int>(msg.wParam);
  return -1;
}

TEST(TfrmLumoraTest, StartsHiddenWithTheTitleLM) {
  TfrmLumora launcher;
  launcher.CreateForm();
  ASSERT_NE(launcher.Handle(), nullptr);
  EXPECT_EQ(TitleOf(launcher.Handle()), L"[LM]");
  EXPECT_FALSE(IsWindowVisible(launcher.Handle()));
  EXPECT_FALSE(launcher.ShowOnStart());
  EXPECT_TRUE(launcher.allowClose);
  EXPECT_FALSE(launcher.isShown);
  EXPECT_EQ(platform::ApplicationTitle(), "[LM]");
  const LONG_PTR exStyle = GetWindowLongPtrW(launcher.Handle(), GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
}

TEST(TfrmLumoraTest, CloseWhileAllowedEndsTheProgramWithZero) {
  TfrmLumora launcher;
  launcher.CreateForm();
  HWND hwnd = launcher.Handle();
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(launcher.Handle(), nullptr);
  EXPECT_EQ(TakeQuitCode(), 0);
}

TEST(TfrmLumoraTest, CloseWhileShownOnlyHidesAndTheSecondCloseEnds) {
  TfrmLumora launcher;
  launcher.CreateForm();
  HWND hwnd = launcher.Handle();
  // What showing the launcher does to the state.
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  launcher.allowClose = false;
  launcher.isShown = true;

  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_TRUE(launcher.allowClose);
  EXPECT_FALSE(launcher.isShown);
  EXPECT_EQ(TakeQuitCode(), -1);

  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(TakeQuitCode(), 0);
}

TEST(TfrmLumoraTest, FormCloseQueryFollowsAllowClose) {
  TfrmLumora launcher;
  launcher.CreateForm();
  bool canClose = false;
  launcher.FormCloseQuery(canClose);
  EXPECT_TRUE(canClose);
  launcher.allowClose = false;
  launcher.isShown = true;
  launcher.FormCloseQuery(canClose);
  EXPECT_FALSE(canClose);
  EXPECT_TRUE(launcher.allowClose);  // hidden now: the next close ends it
  EXPECT_FALSE(launcher.isShown);
}

TEST(TfrmLumoraTest, NeverRefusesTheEndOfTheSession) {
  TfrmLumora launcher;
  launcher.CreateForm();
  EXPECT_EQ(SendMessageW(launcher.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  launcher.allowClose = false;
  EXPECT_EQ(SendMessageW(launcher.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_TRUE(IsWindow(launcher.Handle()));
}

TEST(GetAppFolderTest, IsTheFolderOfTheRunningProgram) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  ASSERT_GT(length, 0u);
  const std::string full(path, length);
  const std::string folder = GetAppFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_EQ(full.compare(0, folder.size(), folder), 0) << full << " / " << folder;
  EXPECT_EQ(full.find('\\', folder.size()), std::string::npos);
  EXPECT_EQ(full.substr(folder.size()), "lumora_win_tests.exe");
}

// --- the real program ---------------------------------------------------------

std::string LumoraExePath() {
  char buffer[MAX_PATH];
  if (GetEnvironmentVariableA("LUMORA_EXE", buffer, MAX_PATH) > 0) return buffer;
  // The build puts Lumora.exe into bin\ beside the tests' folder.
  return GetAppFolder() + "..\\bin\\Lumora.exe";
}

struct FindData {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindLauncher(HWND hwnd, LPARAM lParam) {
  auto* data = reinterpret_cast<FindData*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t className[64] = {};
  GetClassNameW(hwnd, className, 64);
  if (pid == data->processId && std::wstring(className) == TfrmLumora::kClassName) {
    data->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

TEST(LumoraProgramTest, RunsHiddenAsLMAndEndsWithZeroOnClose) {
  const std::string source = LumoraExePath();
  ASSERT_NE(GetFileAttributesA(source.c_str()), INVALID_FILE_ATTRIBUTES) << source << " (set LUMORA_EXE)";

  // A program folder of its own, so that the run leaves nothing in the build.
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "lumora_run_" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string exe = folder + "Lumora.exe";
  ASSERT_TRUE(CopyFileA(source.c_str(), exe.c_str(), FALSE));

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + exe + "\"";
  ASSERT_TRUE(CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                             folder.c_str(), &startup, &process));

  platform::KernelHandle processHandle(process.hProcess);
  platform::KernelHandle threadHandle(process.hThread);
  FindData data{process.dwProcessId, nullptr};
  for (int i = 0; i < 200 && !data.found; ++i) {
    Sleep(50);
    EnumWindows(FindLauncher, reinterpret_cast<LPARAM>(&data));
  }
  DWORD exitCode = STILL_ACTIVE;
  if (data.found) {
    EXPECT_EQ(TitleOf(data.found), L"[LM]");
    EXPECT_FALSE(IsWindowVisible(data.found));
    PostMessageW(data.found, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(processHandle.get(), 10000), WAIT_OBJECT_0);
    GetExitCodeProcess(processHandle.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
  } else {
    ADD_FAILURE() << "no launcher window appeared";
  }
  if (exitCode == STILL_ACTIVE) TerminateProcess(processHandle.get(), 1);
  WaitForSingleObject(processHandle.get(), 5000);
  DeleteFileA(exe.c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace lumora
