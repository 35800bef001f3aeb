// Move-only owners of Win32 handles and COM pointers. Each closes what it
// holds when it goes out of scope; none can be copied.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace lumora::platform {

// Owns one handle of type T. Traits gives the value that means "nothing"
// (Invalid) and the call that frees a handle (Close).
template <typename T, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(T handle) noexcept : handle_(handle) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }

  // Gives up ownership without closing.
  T release() noexcept { return std::exchange(handle_, Traits::Invalid()); }

  void reset(T handle = Traits::Invalid()) noexcept {
    T old = std::exchange(handle_, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

 private:
  T handle_ = Traits::Invalid();
};

namespace handle_traits {

// Kernel objects whose "nothing" is NULL (processes, threads, events).
struct Kernel {
  static HANDLE Invalid() noexcept { return nullptr; }
  static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
// File handles from CreateFile, whose "nothing" is INVALID_HANDLE_VALUE.
struct File {
  static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct Find {
  static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) noexcept { ::FindClose(h); }
};
struct Window {
  static HWND Invalid() noexcept { return nullptr; }
  static void Close(HWND h) noexcept { ::DestroyWindow(h); }
};
struct Menu {
  static HMENU Invalid() noexcept { return nullptr; }
  static void Close(HMENU h) noexcept { ::DestroyMenu(h); }
};
struct Icon {
  static HICON Invalid() noexcept { return nullptr; }
  static void Close(HICON h) noexcept { ::DestroyIcon(h); }
};
template <typename G>
struct GdiObject {
  static G Invalid() noexcept { return nullptr; }
  static void Close(G h) noexcept { ::DeleteObject(h); }
};
// Memory device contexts from CreateCompatibleDC.
struct MemoryDc {
  static HDC Invalid() noexcept { return nullptr; }
  static void Close(HDC h) noexcept { ::DeleteDC(h); }
};

}  // namespace handle_traits

using KernelHandle = UniqueHandle<HANDLE, handle_traits::Kernel>;
using FileHandle = UniqueHandle<HANDLE, handle_traits::File>;
using FindHandle = UniqueHandle<HANDLE, handle_traits::Find>;
using WindowHandle = UniqueHandle<HWND, handle_traits::Window>;
using MenuHandle = UniqueHandle<HMENU, handle_traits::Menu>;
using IconHandle = UniqueHandle<HICON, handle_traits::Icon>;
using BitmapHandle = UniqueHandle<HBITMAP, handle_traits::GdiObject<HBITMAP>>;
using BrushHandle = UniqueHandle<HBRUSH, handle_traits::GdiObject<HBRUSH>>;
using FontHandle = UniqueHandle<HFONT, handle_traits::GdiObject<HFONT>>;
using GdiHandle = UniqueHandle<HGDIOBJ, handle_traits::GdiObject<HGDIOBJ>>;
using MemoryDcHandle = UniqueHandle<HDC, handle_traits::MemoryDc>;

// A device context from GetDC, given back with ReleaseDC to its window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() { reset(); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  WindowDc(WindowDc&& other) noexcept
      : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
  WindowDc& operator=(WindowDc&& other) noexcept {
    if (this != &other) {
      reset();
      window_ = other.window_;
      dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
  }
  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  void reset() noexcept {
    if (dc_) ::ReleaseDC(window_, std::exchange(dc_, nullptr));
  }
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class SelectObjectScope {
 public:
  SelectObjectScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~SelectObjectScope() {
    if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }
  SelectObjectScope(const SelectObjectScope&) = delete;
  SelectObjectScope& operator=(const SelectObjectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Owns one reference to a COM interface.
template <typename I>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  // Takes over a reference that the caller already holds.
  explicit ComPtr(I* p) noexcept : p_(p) {}
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }

  I* get() const noexcept { return p_; }
  I* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // Frees the current reference and gives the slot for an out parameter.
  I** put() noexcept {
    reset();
    return &p_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  void reset() noexcept {
    if (I* old = std::exchange(p_, nullptr)) old->Release();
  }

  // QueryInterface for another interface; empty when it is not supported.
  template <typename J>
  ComPtr<J> As(REFIID iid) const {
    ComPtr<J> other;
    if (p_) p_->QueryInterface(iid, other.put_void());
    return other;
  }

 private:
  I* p_ = nullptr;
};

// COM for the calling thread (single-threaded apartment) for the scope's
// lifetime. Succeeded() is false when COM could not be initialised.
class ComScope {
 public:
  ComScope() noexcept : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool Succeeded() const noexcept { return SUCCEEDED(hr_); }
  HRESULT Result() const noexcept { return hr_; }

 private:
  HRESULT hr_;
};

}  // namespace lumora::platform
