// TFileDrop: turns any window into a target for files dropped from the shell
// and reports each drop with the dropped paths, read at their full length.
// The window is subclassed while a TFileDrop is attached to it; detaching
// puts the previous window procedure back when ours is still the one in
// place, and otherwise leaves a plain pass-through behind, so that a
// subclass put on top of ours later keeps working. A window that is
// destroyed detaches itself (Control() becomes null, Accept() false).
//
// GetShortcutTarget: the long path of a shell link's target.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

namespace lumora {

class TFileDrop {
 public:
  // Sender, the number of dropped items, their paths in the shell's order,
  // and the drop point in the window's client coordinates. The paths belong
  // to the drop; a handler that needs them later copies them.
  using TFileDropEvent =
      std::function<void(TFileDrop& sender, int num, const std::vector<std::wstring>& files, int x, int y)>;

  TFileDrop() = default;
  ~TFileDrop();
  TFileDrop(const TFileDrop&) = delete;
  TFileDrop& operator=(const TFileDrop&) = delete;

  // The window accepts dropped files; true at first. Changing it while
  // attached tells the system at once.
  bool Accept() const noexcept { return accept_; }
  void SetAccept(bool accept);

  // The window that receives drops; null when none. Setting it detaches
  // from the old window and attaches to the new one; a window that does not
  // exist raises "Invalidate Window Handle in FileDrop".
  HWND Control() const noexcept { return hookedWnd_; }
  void SetControl(HWND control);

  // Called once per drop, inside the program's error guard; the drop is
  // finished (DragFinish) whatever the handler does.
  TFileDropEvent OnFileDrop;

 private:
  static LRESULT CALLBACK DropWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void DropFiles(HDROP drop);
  void AttachWindow(HWND window);
  void DetachWindow();

  bool accept_ = true;
  HWND hookedWnd_ = nullptr;
};

// The target of the shell link file, in its long form; empty when the link
// cannot be read or resolved or has no file-system path. Uses COM on the
// calling thread for its own time.
std::wstring GetShortcutTarget(const std::wstring& shortcutFile);

}  // namespace lumora
