#include "editing/NewCtrls_win.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "platform/error.h"
#include "platform/error_report_win.h"
#include "platform/handles_win.h"

namespace lumora {

namespace {

// The attached TFileDrop of a window, and the window procedure that was in
// place before ours: kept with the window, so that our procedure can still
// pass messages on after the object has gone.
constexpr wchar_t kDropProp[] = L"Lumora.FileDrop";
constexpr wchar_t kNextProcProp[] = L"Lumora.FileDrop.Next";

WNDPROC NextProcOf(HWND hwnd) { return reinterpret_cast<WNDPROC>(GetPropW(hwnd, kNextProcProp)); }

}  // namespace

TFileDrop::~TFileDrop() { DetachWindow(); }

void TFileDrop::SetAccept(bool accept) {
  if (accept == accept_) return;
  accept_ = accept;
  if (hookedWnd_) DragAcceptFiles(hookedWnd_, accept_ ? TRUE : FALSE);
}

void TFileDrop::SetControl(HWND control) {
  DetachWindow();
  if (control) AttachWindow(control);
}

void TFileDrop::AttachWindow(HWND window) {
  if (!IsWindow(window)) throw AppError("Invalidate Window Handle in FileDrop");
  if (GetPropW(window, kDropProp) || NextProcOf(window)) {
    // Our procedure is still in the window's chain from an earlier attach:
    // it only needs the object again.
    SetPropW(window, kDropProp, this);
  } else {
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (!SetPropW(window, kNextProcProp, reinterpret_cast<HANDLE>(previous)) || !SetPropW(window, kDropProp, this)) {
      RemovePropW(window, kNextProcProp);
      throw AppError("Invalidate Window Handle in FileDrop");
    }
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TFileDrop::DropWndProc));
  }
  hookedWnd_ = window;
  DragAcceptFiles(hookedWnd_, accept_ ? TRUE : FALSE);
}

void TFileDrop::DetachWindow() {
  HWND window = hookedWnd_;
  hookedWnd_ = nullptr;
  if (!window || !IsWindow(window)) return;
  DragAcceptFiles(window, FALSE);
  RemovePropW(window, kDropProp);
  const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  if (current == &TFileDrop::DropWndProc) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NextProcOf(window)));
    RemovePropW(window, kNextProcProp);
  }
  // Otherwise another procedure was put on top of ours since: taking ours
  // out would cut that one's chain. Ours stays and only passes messages on.
}

LRESULT CALLBACK TFileDrop::DropWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  auto* self = static_cast<TFileDrop*>(GetPropW(hwnd, kDropProp));
  const WNDPROC next = NextProcOf(hwnd);
  if (message == WM_DROPFILES && self) {
    const auto drop = reinterpret_cast<HDROP>(wParam);
    platform::Guarded(GetAncestor(hwnd, GA_ROOT), [&] { self->DropFiles(drop); });
    DragFinish(drop);
    return 0;
  }
  if (message == WM_NCDESTROY) {
    // The window goes: the object lets go of it, accepting nothing more.
    if (self) {
      self->hookedWnd_ = nullptr;
      self->accept_ = false;
    }
    RemovePropW(hwnd, kDropProp);
    RemovePropW(hwnd, kNextProcProp);
  }
  return next ? CallWindowProcW(next, hwnd, message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

void TFileDrop::DropFiles(HDROP drop) {
  if (!OnFileDrop) return;
  POINT point{};
  DragQueryPoint(drop, &point);
  const UINT num = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::wstring> files;
  files.reserve(num);
  for (UINT i = 0; i < num; ++i) {
    // Each path at its full length, however long.
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
    const UINT got = length ? DragQueryFileW(drop, i, path.data(), length + 1) : 0;
    path.resize(got <= length ? got : length);
    files.push_back(std::move(path));
  }
  // The handler may detach or destroy this object: a copy of the event runs.
  const TFileDropEvent handler = OnFileDrop;
  handler(*this, static_cast<int>(num), files, point.x, point.y);
}

std::wstring GetShortcutTarget(const std::wstring& shortcutFile) {
  const platform::ComScope com;
  platform::ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void()))) {
    return {};
  }
  const platform::ComPtr<IPersistFile> file = link.As<IPersistFile>(IID_IPersistFile);
  if (!file || FAILED(file->Load(shortcutFile.c_str(), STGM_READ))) return {};
  // No window and no search dialog: a link whose target moved is looked for
  // quietly, for one second at most.
  if (FAILED(link->Resolve(nullptr, MAKELONG(SLR_NO_UI | SLR_ANY_MATCH, 1000)))) return {};
  std::vector<wchar_t> path(32768, L'\0');
  if (link->GetPath(path.data(), static_cast<int>(path.size()), nullptr, 0) != S_OK || path[0] == L'\0') return {};
  const std::wstring target(path.data());
  // The link may hold the short form: the entry shows the long one.
  const DWORD length = GetLongPathNameW(target.c_str(), nullptr, 0);
  if (length == 0) return target;
  std::wstring longPath(length, L'\0');
  const DWORD got = GetLongPathNameW(target.c_str(), longPath.data(), length);
  if (got == 0 || got >= length) return target;
  longPath.resize(got);
  return longPath;
}

}  // namespace lumora
