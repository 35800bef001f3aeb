// Serving this thread's window messages from inside a handler that waits.
#pragma once

namespace lumora::platform {

// Dispatches every message waiting for this thread. A WM_QUIT met here is
// posted again at once, for the main loop to see, and ends the dispatching:
// true when that happened.
bool ProcessPendingMessages();

}  // namespace lumora::platform
