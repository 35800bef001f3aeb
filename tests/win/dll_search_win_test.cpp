// The start-up restriction of the DLL search: a DLL planted beside a program
// is found by name before it and never after it. Run in a probe program of
// its own, since the restriction holds for the whole process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

DWORD RunProbe(const char* argument) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string path = exe;
  path = path.substr(0, path.rfind('\\') + 1) + "lumora_dll_search_probe.exe";
  std::string commandLine = "\"" + path + "\" " + argument;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    ADD_FAILURE() << "cannot start " << path;
    return 99;
  }
  WaitForSingleObject(process.hProcess, 30000);
  DWORD code = 99;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

TEST(DllSearchTest, PlantedDllBesideTheProgramIsNeverLoadedOnceRestricted) {
  EXPECT_EQ(RunProbe("open"), 0u) << "the planted DLL must be findable without the restriction";
  EXPECT_EQ(RunProbe("restricted"), 1u);
}

}  // namespace
