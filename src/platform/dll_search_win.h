// Where the program looks for DLLs it loads by name.
#pragma once

namespace lumora::platform {

// Makes DLLs loaded by name come from the system folder only, so a DLL that
// happens to lie beside the program (a Downloads folder) or in the current
// folder is never loaded in place of Windows' own. Call first thing at
// start-up. Where the system lacks the call (Windows 7 without its update),
// at least the current folder is taken out of the search. False when
// neither could be done.
bool RestrictDllSearchToSystem();

}  // namespace lumora::platform
