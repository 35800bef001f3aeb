// The program under test as a running process: started detached (so it never
// holds the test's console), found by its windows, waited for, and killed at
// the end when a failing test left it running.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "driver/handles.h"
#include "driver/wait.h"

namespace lumora::e2e {

class ProgramFolder;

// How long a first start under Wine may take to show its window.
inline constexpr Millis kStartTimeout = 10s;
// How long a program may take to end after a close request.
inline constexpr Millis kExitTimeout = 5s;

class LumoraProcess {
 public:
  // Starts exe with the given argument text (may be empty) in workFolder.
  // Throws std::runtime_error when the process cannot be created.
  static LumoraProcess Start(const std::wstring& exe, const std::wstring& workFolder, std::wstring_view arguments = {});
  // Starts the folder's program (ProgramFolder::CopyProgram) with the folder as working folder.
  static LumoraProcess StartIn(const ProgramFolder& folder, std::wstring_view arguments = {});

  LumoraProcess() = default;
  ~LumoraProcess();  // kills the process if it still runs
  LumoraProcess(LumoraProcess&&) noexcept = default;
  LumoraProcess& operator=(LumoraProcess&& other) noexcept;
  LumoraProcess(const LumoraProcess&) = delete;
  LumoraProcess& operator=(const LumoraProcess&) = delete;

  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_.Get(); }
  bool IsRunning() const;

  // The process's top-level window with exactly this title, or null after the timeout.
  HWND WaitForWindow(std::wstring_view title, Millis timeout = kStartTimeout) const;
  // True once the program waits for input with an empty queue (its start-up
  // is done), false after the timeout.
  bool WaitForIdle(Millis timeout = kStartTimeout) const;
  // The exit code, or nullopt when the process still runs after the timeout.
  std::optional<DWORD> WaitForExit(Millis timeout = kExitTimeout) const;
  // Ends the process at once (exit code 1) and waits for it; no-op when it has ended.
  void Kill();

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
};

}  // namespace lumora::e2e
