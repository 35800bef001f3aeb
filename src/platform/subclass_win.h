// Subclassing a control: its messages go first to a handler of ours, which
// passes on what it leaves alone. The handler runs inside the error guard;
// the subclass removes itself when the control is destroyed.
#pragma once

#include <windows.h>

#include <functional>

namespace lumora::platform {

// handled false (the default): the message goes on to the control's own
// procedure. A handler that wants the control's answer first calls
// CallControlDefault itself and sets handled.
using ControlHandler = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)>;

// Throws AppError when the control cannot be subclassed.
void SubclassControl(HWND control, ControlHandler handler);

// The control's own handling of a message, from inside its handler.
LRESULT CallControlDefault(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace lumora::platform
