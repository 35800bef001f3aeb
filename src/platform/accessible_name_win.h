// Names for assistive technology: a control whose window text is its content
// (an edit box) or says nothing (a list box) answers the accessibility
// client with its class's standard object under a name of its own.
#pragma once

#include <windows.h>

namespace lumora::platform {

// Answers WM_GETOBJECT for the control's client object: the standard object
// of the control's class, whose name is name (owned by the caller and kept
// for the control's life). handled is set only when the request was
// answered; other objects (the window frame, the caret) stay the system's.
LRESULT AnswerAccessibleObject(HWND control, WPARAM wParam, LPARAM lParam, const wchar_t* name, bool& handled);

}  // namespace lumora::platform
