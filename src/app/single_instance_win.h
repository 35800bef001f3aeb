// One running Lumora per program folder. Two instances of the same folder
// would each keep their own copy of the list and overwrite each other's
// launches; instances of different folders (portable copies) are
// independent. The folder is named by a named mutex its instance holds for
// as long as it runs.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>

#include "platform/handles_win.h"

namespace lumora {

class SingleInstance {
 public:
  // Claims this executable's folder for this process. When another process
  // holds it and is leaving for a restart (MarkLeavingForRestart), waits up
  // to leaveWait for it to end and claims the folder then. Nothing when
  // another instance runs, also one that did not end in time: two
  // instances never run side by side.
  static std::optional<SingleInstance> Claim(std::chrono::milliseconds leaveWait);

  // Tells a new instance started by this one that this one is on its way
  // out, so that it waits instead of handing over to it. Holds until this
  // process ends.
  static void MarkLeavingForRestart();

  // Asks the launcher of the instance running from this executable's folder
  // to come up at the cursor with the given message; waits up to timeout for
  // its window (it may be starting). False when none was found or it does
  // not answer within that time.
  static bool ShowRunningInstance(UINT message, std::chrono::milliseconds timeout);

 private:
  explicit SingleInstance(platform::KernelHandle mutex) : mutex_(std::move(mutex)) {}
  platform::KernelHandle mutex_;
};

}  // namespace lumora
