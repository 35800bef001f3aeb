#include "hotkeys/HotKeyManager_win.h"

#include <algorithm>
#include <utility>

namespace lumora {
namespace {

constexpr UINT kMapVirtualKeyToScanCode = 0;  // MAPVK_VK_TO_VSC
constexpr UINT kNoTellShell = 0x80;           // KLF_NOTELLSHELL
constexpr int kMaxLayouts = 100;
constexpr int kKeyNameBufferSize = 256;

bool IsExtendedKey(int virtualKey) {
  return (virtualKey >= 33 && virtualKey <= 40) || virtualKey == 45 || virtualKey == 46;
}

// Layout handles are 32-bit values; a 64-bit process may see one with and
// one without sign extension, so only the low 32 bits are compared.
bool SameLayout(HKL a, HKL b) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(a)) ==
         static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(b));
}

// Activates a layout for the calling thread for the lifetime of the object.
class ScopedKeyboardLayout {
 public:
  explicit ScopedKeyboardLayout(HKL layout) : previous_(ActivateKeyboardLayout(layout, 0)) {}
  ~ScopedKeyboardLayout() {
    if (previous_) ActivateKeyboardLayout(previous_, 0);
  }
  ScopedKeyboardLayout(const ScopedKeyboardLayout&) = delete;
  ScopedKeyboardLayout& operator=(const ScopedKeyboardLayout&) = delete;

 private:
  HKL previous_;
};

std::string KeyNameText(LONG parameter) {
  char buffer[kKeyNameBufferSize] = {};
  const int length = GetKeyNameTextA(parameter, buffer, kKeyNameBufferSize);
  if (length <= 0) return {};
  return std::string(buffer, std::min(length, kKeyNameBufferSize - 1));
}

}  // namespace

// ---------------------------------------------------------------------------
// Win32KeyNameProvider

Win32KeyNameProvider::Win32KeyNameProvider() {
  HKL loaded[kMaxLayouts] = {};
  const int count = GetKeyboardLayoutList(kMaxLayouts, loaded);
  usLayout_ = LoadKeyboardLayoutA("00000409", kNoTellShell);
  usLayoutLoadedHere_ = usLayout_ != nullptr;
  for (int i = 0; i < count && i < kMaxLayouts; ++i) {
    if (SameLayout(loaded[i], usLayout_)) usLayoutLoadedHere_ = false;
  }
}

Win32KeyNameProvider::~Win32KeyNameProvider() {
  if (usLayoutLoadedHere_) UnloadKeyboardLayout(usLayout_);
}

std::string Win32KeyNameProvider::KeyName(int virtualKey, bool localized) const {
  const UINT vk = static_cast<UINT>(virtualKey);
  const UINT scanCode = localized ? MapVirtualKeyA(vk, kMapVirtualKeyToScanCode)
                                  : MapVirtualKeyExA(vk, kMapVirtualKeyToScanCode, usLayout_);
  const std::uint32_t parameter = (scanCode << 16) + (IsExtendedKey(virtualKey) ? 0x1000000u : 0u);
  if (parameter == 0) return {};
  if (!localized && usLayout_ && !SameLayout(GetKeyboardLayout(0), usLayout_)) {
    ScopedKeyboardLayout english(usLayout_);
    return KeyNameText(static_cast<LONG>(parameter));
  }
  return KeyNameText(static_cast<LONG>(parameter));
}

bool Win32KeyNameProvider::EqualsIgnoringCase(std::string_view a, std::string_view b) const {
  // The system refuses empty strings given without a buffer.
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                        static_cast<int>(b.size())) == CSTR_EQUAL;
}

// ---------------------------------------------------------------------------
// THotKeyManager

THotKeyManager::THotKeyManager(UnregisterFunction unregister) : unregister_(std::move(unregister)) {
  ClassSpec windowClass;
  windowClass.name = L"LumoraHotKeyManagerWindow";
  windowClass.background = nullptr;
  CreateSpec window;
  window.style = 0;
  window.x = window.y = window.width = window.height = 0;
  // A message-only window: never shown, never enumerated, and the system
  // still posts it the hotkey messages of its registrations.
  window.parent = HWND_MESSAGE;
  Create(windowClass, window);
}

THotKeyManager::~THotKeyManager() { UnregisterAll(); }

std::string THotKeyManager::AtomNameOf(std::uint32_t code) {
  return "HotKeyManagerHotKey" + std::to_string(code);
}

std::uint16_t THotKeyManager::RegisterCode(std::uint32_t code) {
  const HotKeyParts parts = SplitHotKeyCode(code);
  // Room for the entry first, so that a registration never goes unrecorded.
  entries_.reserve(entries_.size() + 1);
  const ATOM id = GlobalAddAtomA(AtomNameOf(code).c_str());
  if (id == 0) return 0;
  if (!RegisterHotKey(Handle(), id, parts.flags, parts.virtualKey)) {
    GlobalDeleteAtom(id);
    return 0;
  }
  entries_.push_back(HotKeyEntry{code, id});
  return id;
}

std::uint16_t THotKeyManager::ReplaceCode(std::uint16_t id, std::uint32_t code) {
  const bool known = std::any_of(entries_.begin(), entries_.end(),
                                 [id](const HotKeyEntry& entry) { return entry.Id == id; });
  if (!known) return 0;
  UnregisterId(id);
  return RegisterCode(code);
}

bool THotKeyManager::Release(const HotKeyEntry& entry) {
  const BOOL released = unregister_ ? unregister_(Handle(), entry.Id) : UnregisterHotKey(Handle(), entry.Id);
  GlobalDeleteAtom(entry.Id);
  return released != FALSE;
}

bool THotKeyManager::UnregisterId(std::uint16_t id) {
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [id](const HotKeyEntry& entry) { return entry.Id == id; });
  if (it == entries_.end()) return false;
  const HotKeyEntry entry = *it;
  entries_.erase(it);
  return Release(entry);
}

void THotKeyManager::UnregisterAll() {
  while (!entries_.empty()) {
    const HotKeyEntry entry = entries_.back();
    entries_.pop_back();
    Release(entry);
  }
}

bool THotKeyManager::IsCodeRegistered(std::uint32_t code) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [code](const HotKeyEntry& entry) { return entry.Code == code; });
}

LRESULT THotKeyManager::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return HotKeyWndProc(message, wParam, lParam);
}

LRESULT THotKeyManager::HotKeyWndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // The handler may release this manager; nothing of it is used afterwards.
  const HWND window = Handle();
  if (message == WM_HOTKEY && OnHotKeyPressed) {
    const std::uint32_t code = JoinHotKeyCode(LOWORD(lParam), HIWORD(lParam));
    if (IsCodeRegistered(code)) {
      // A copy, so that the handler may assign another one while it runs.
      const TOnHotKeyPressed handler = OnHotKeyPressed;
      handler(code, LOWORD(wParam));
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace lumora
