// Dialogs a program opens: message boxes (class "#32770") and input dialogs.
// Find them by owning process, read them, type into them, press their buttons.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "driver/wait.h"

namespace lumora::e2e {

inline constexpr std::wstring_view kDialogClass = L"#32770";
inline constexpr Millis kDialogTimeout = 5s;

// A visible top-level window of the process with the class (by default the
// standard dialog class), or null after the timeout.
HWND WaitForDialog(DWORD processId, Millis timeout = kDialogTimeout, std::wstring_view className = kDialogClass);
// True once the dialog window is gone (or hidden) within the timeout.
bool WaitForDialogToClose(HWND dialog, Millis timeout = kDialogTimeout);

std::wstring DialogCaption(HWND dialog);
// The dialog's message: the texts of its static controls, non-empty ones
// joined by "\n" (a message box has one, beside its icon).
std::wstring DialogMessage(HWND dialog);
bool HasButton(HWND dialog, int id);
// Presses a button as a click would: posts WM_COMMAND(id, BN_CLICKED) with the
// button's handle. IDOK, IDCANCEL, IDYES, IDNO and the like.
bool PressButton(HWND dialog, int id);
// Replaces the text of the dialog's first edit box; false when it has none.
bool TypeIntoDialog(HWND dialog, std::wstring_view text);

}  // namespace lumora::e2e
