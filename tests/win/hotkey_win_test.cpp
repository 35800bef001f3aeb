// The hotkeys against the real system: the keyboard's key names through the
// notation and back, and the hotkey manager's registrations, atoms and
// messages, up to a real key press made with SendInput.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "hotkeys/HotKeyManager.h"
#include "hotkeys/HotKeyManager_win.h"
#include "platform/error.h"
#include "platform/error_report_win.h"

namespace lumora {
namespace {

// Handles the thread's messages until done() holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  MSG msg;
  while (!done()) {
    if (GetTickCount64() > end) return false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (!done()) Sleep(5);
  }
  return true;
}

void PumpPending() {
  PumpUntil([] { return false; }, 50);
}

ATOM FindAtom(std::uint32_t code) { return GlobalFindAtomA(THotKeyManager::AtomNameOf(code).c_str()); }

struct Press {
  std::uint32_t hotKey;
  std::uint16_t index;
  friend bool operator==(const Press&, const Press&) = default;
};

std::ostream& operator<<(std::ostream& out, const Press& p) {
  return out << "{0x" << std::hex << p.hotKey << ", " << std::dec << p.index << "}";
}

class HotKeyManagerTest : public ::testing::Test {
 protected:
  HotKeyManagerTest() {
    manager.OnHotKeyPressed = [this](std::uint32_t hotKey, std::uint16_t index) {
      presses.push_back({hotKey, index});
    };
  }

  THotKeyManager manager;
  std::vector<Press> presses;
};

// ---------------------------------------------------------------------------
// Key names

TEST(HotKeyWinNamesTest, StartupReadsTheModifierNamesOfTheActiveLayout) {
  HotKeyUnit unit;
  const HotKeyNotation& notation = unit.Notation();
  const auto& names = notation.LocalModifierNames();
  EXPECT_EQ(names[HotKeyNotation::kShiftName], unit.KeyNames().KeyName(16, true));
  EXPECT_EQ(names[HotKeyNotation::kCtrlName], unit.KeyNames().KeyName(17, true));
  EXPECT_EQ(names[HotKeyNotation::kAltName], unit.KeyNames().KeyName(18, true));
  EXPECT_FALSE(names[HotKeyNotation::kShiftName].empty());
  bool altInCapitals = true;
  for (char c : names[HotKeyNotation::kAltName]) altInCapitals = altInCapitals && c >= 'A' && c <= 'Z';
  EXPECT_EQ(names[HotKeyNotation::kWinName], altInCapitals ? "WIN" : "Win");
  RecordProperty("localModifierNames", names[0] + "|" + names[1] + "|" + names[2] + "|" + names[3]);

  // The English words are understood beside the keyboard's names.
  EXPECT_EQ(notation.ParseHotKeyText("Ctrl+Shift+Q", true), 0x6051u);
  EXPECT_EQ(notation.ParseHotKeyText(names[1] + "+" + names[0] + "+Q", true), 0x6051u);
  EXPECT_EQ(notation.ParseHotKeyText("ctrl + shift + alt + q", true), 0xE051u);
  EXPECT_EQ(notation.ParseHotKeyText("Ctrl+Foo+Q", true), 0u);
  EXPECT_EQ(notation.ParseHotKeyText("Ctrl+F1", true),
            notation.KeyNameOf(112, true) == "F1" ? 0x4000u + 112 : 0u);
}

TEST(HotKeyWinNamesTest, TheUsLayoutIsUnloadedOnlyWhenLoadedHere) {
  HKL loaded[100] = {};
  const int count = GetKeyboardLayoutList(100, loaded);
  const HKL active = GetKeyboardLayout(0);
  Win32KeyNameProvider provider;
  ASSERT_NE(provider.UsLayout(), nullptr);
  bool listed = false;
  for (int i = 0; i < count; ++i) {
    listed = listed || static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(loaded[i])) ==
                           static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(provider.UsLayout()));
  }
  EXPECT_EQ(provider.UsLayoutLoadedHere(), !listed);
  RecordProperty("usLayoutListedBefore", listed ? "yes" : "no");

  // An English name leaves the thread's layout as it was.
  EXPECT_EQ(provider.KeyName('Q', false), "Q");
  EXPECT_EQ(provider.KeyName(112, false), "F1");
  EXPECT_EQ(GetKeyboardLayout(0), active);
}

TEST(HotKeyWinNamesTest, NamesAreComparedWithoutRegardToCaseInTheUsersLocale) {
  Win32KeyNameProvider provider;
  EXPECT_TRUE(provider.EqualsIgnoringCase("ctrl", "CTRL"));
  EXPECT_TRUE(provider.EqualsIgnoringCase("KP_Add", "kp_add"));
  EXPECT_FALSE(provider.EqualsIgnoringCase("Ctrl", "Ctr"));
  EXPECT_FALSE(provider.EqualsIgnoringCase("Ctrl", ""));
  EXPECT_TRUE(provider.EqualsIgnoringCase("", ""));
  // ア and ヂ: Shift-JIS characters whose second bytes read as "A" and "a".
  EXPECT_FALSE(provider.EqualsIgnoringCase("\x83\x41", "\x83\x61"));
  EXPECT_TRUE(provider.EqualsIgnoringCase("\x83\x41", "\x83\x41"));
}

TEST(HotKeyWinNamesTest, EveryKeyTheKeyboardNamesComesBackFromItsText) {
  HotKeyUnit unit;
  const HotKeyNotation& notation = unit.Notation();
  const KeyNameProvider& keys = unit.KeyNames();
  const auto& localNames = notation.LocalModifierNames();
  auto isModifierWord = [&](const std::string& name) {
    for (const char* word : {"Shift", "Ctrl", "Alt", "Win"}) {
      if (name == word) return true;
    }
    for (const std::string& local : localNames) {
      if (name == local) return true;
    }
    return false;
  };
  auto firstKeyNamed = [&](const std::string& name) {
    for (int vk = 8; vk <= 255; ++vk) {
      if (keys.EqualsIgnoringCase(notation.KeyNameOf(vk, true), name)) return vk;
    }
    return 0;
  };

  int roundTrips = 0;
  int refused = 0;
  int shared = 0;
  for (std::uint32_t modifiers : {0u, kHotKeyCtrl, kHotKeyCtrl | kHotKeyShift | kHotKeyAlt, kHotKeyWin}) {
    for (int vk = 8; vk <= 255; ++vk) {
      const std::string name = notation.KeyNameOf(vk, true);
      if (name.empty()) continue;
      const std::uint32_t code = modifiers | static_cast<std::uint32_t>(vk);
      const std::string text = notation.FormatHotKeyCode(code, true);
      const std::uint32_t parsed = notation.ParseHotKeyText(text, true);
      if (isModifierWord(name)) {
        EXPECT_EQ(parsed, 0u) << text << " names a modifier key";
        ++refused;
        continue;
      }
      ASSERT_NE(parsed, 0u) << text;
      const HotKeyParts parts = SplitHotKeyCode(parsed);
      EXPECT_EQ(parsed & ~0xFFu, modifiers) << text;
      EXPECT_TRUE(keys.EqualsIgnoringCase(notation.KeyNameOf(static_cast<int>(parts.virtualKey), true), name))
          << text << " came back as key " << parts.virtualKey;
      EXPECT_EQ(static_cast<int>(parts.virtualKey), firstKeyNamed(name)) << text;
      if (static_cast<int>(parts.virtualKey) == vk) {
        ++roundTrips;
      } else {
        ++shared;
      }
    }
  }
  // Letters, digits and function keys at least, under every modifier set.
  EXPECT_GE(roundTrips, 4 * (26 + 10 + 12));
  RecordProperty("roundTrips", roundTrips);
  RecordProperty("sharedNames", shared);
  RecordProperty("modifierNames", refused);
}

// ---------------------------------------------------------------------------
// The manager

TEST_F(HotKeyManagerTest, ARegistrationIsNamedByItsAtom) {
  ASSERT_EQ(FindAtom(0x6051), 0);
  const std::uint16_t id = manager.RegisterCode(0x6051);
  ASSERT_NE(id, 0);
  EXPECT_EQ(THotKeyManager::AtomNameOf(0x6051), "HotKeyManagerHotKey24657");
  EXPECT_EQ(GlobalFindAtomA("HotKeyManagerHotKey24657"), id);
  ASSERT_EQ(manager.Entries().size(), 1u);
  EXPECT_EQ(manager.Entries()[0].Code, 0x6051u);
  EXPECT_EQ(manager.Entries()[0].Id, id);
  EXPECT_TRUE(manager.IsCodeRegistered(0x6051));
  EXPECT_FALSE(manager.IsCodeRegistered(0x6052));

  EXPECT_TRUE(manager.UnregisterId(id));
  EXPECT_EQ(FindAtom(0x6051), 0);
  EXPECT_TRUE(manager.Entries().empty());
  EXPECT_FALSE(manager.IsCodeRegistered(0x6051));
  // Released already: nothing left to release.
  EXPECT_FALSE(manager.UnregisterId(id));
  EXPECT_TRUE(manager.Entries().empty());
}

TEST_F(HotKeyManagerTest, AHotKeyMessageOfARegisteredCodeIsReported) {
  const std::uint16_t id = manager.RegisterCode(0x6051);
  ASSERT_NE(id, 0);
  PostMessageW(manager.Handle(), WM_HOTKEY, id, MAKELPARAM(6, 81));
  ASSERT_TRUE(PumpUntil([&] { return !presses.empty(); }));
  EXPECT_EQ(presses, (std::vector<Press>{{0x6051, id}}));

  // The index is the low word of wParam, whatever the rest holds.
  presses.clear();
  SendMessageW(manager.Handle(), WM_HOTKEY, static_cast<WPARAM>(0x70000u | id), MAKELPARAM(6, 81));
  EXPECT_EQ(presses, (std::vector<Press>{{0x6051, id}}));

  // Codes not registered here raise nothing.
  presses.clear();
  SendMessageW(manager.Handle(), WM_HOTKEY, id, MAKELPARAM(2, 81));
  SendMessageW(manager.Handle(), WM_HOTKEY, id, MAKELPARAM(6, 82));
  SendMessageW(manager.Handle(), WM_HOTKEY, id, MAKELPARAM(6 | 1, 81));
  EXPECT_TRUE(presses.empty());

  // Nor does anything happen with no handler.
  manager.OnHotKeyPressed = nullptr;
  SendMessageW(manager.Handle(), WM_HOTKEY, id, MAKELPARAM(6, 81));
  EXPECT_TRUE(presses.empty());
}

TEST_F(HotKeyManagerTest, ReplaceReleasesTheOldRegistrationOnlyWhenItIsKnown) {
  const std::uint16_t first = manager.RegisterCode(0x6051);
  ASSERT_NE(first, 0);
  EXPECT_EQ(manager.ReplaceCode(0, 0x6052), 0);
  EXPECT_EQ(manager.ReplaceCode(static_cast<std::uint16_t>(first + 1), 0x6052), 0);
  ASSERT_EQ(manager.Entries().size(), 1u);
  EXPECT_EQ(manager.Entries()[0].Id, first);
  EXPECT_EQ(FindAtom(0x6052), 0);

  const std::uint16_t second = manager.ReplaceCode(first, 0x4000 + 120);
  ASSERT_NE(second, 0);
  EXPECT_EQ(FindAtom(0x6051), 0);
  EXPECT_EQ(FindAtom(0x4000 + 120), second);
  ASSERT_EQ(manager.Entries().size(), 1u);
  EXPECT_EQ(manager.Entries()[0].Code, 0x4000u + 120);
  EXPECT_EQ(manager.Entries()[0].Id, second);
  EXPECT_TRUE(manager.UnregisterId(second));
}

TEST(HotKeyManagerLifetimeTest, DestructionReleasesEveryRegistrationTheLastFirst) {
  struct Release {
    int id;
    bool firstAtom, secondAtom, thirdAtom;  // still in the atom table at the call
  };
  std::vector<Release> releases;
  std::uint16_t ids[3] = {};
  const std::uint32_t codes[3] = {0x4000 + 'A', 0x8000 + 'B', 0x2000 + 'C'};
  {
    THotKeyManager manager([&](HWND window, int id) {
      releases.push_back({id, FindAtom(codes[0]) != 0, FindAtom(codes[1]) != 0, FindAtom(codes[2]) != 0});
      return UnregisterHotKey(window, id);
    });
    for (int i = 0; i < 3; ++i) {
      ids[i] = manager.RegisterCode(codes[i]);
      ASSERT_NE(ids[i], 0);
      ASSERT_EQ(FindAtom(codes[i]), ids[i]);
    }
  }
  ASSERT_EQ(releases.size(), 3u);
  EXPECT_EQ(releases[0].id, ids[2]);
  EXPECT_TRUE(releases[0].firstAtom && releases[0].secondAtom && releases[0].thirdAtom);
  EXPECT_EQ(releases[1].id, ids[1]);
  EXPECT_TRUE(releases[1].firstAtom && releases[1].secondAtom && !releases[1].thirdAtom);
  EXPECT_EQ(releases[2].id, ids[0]);
  EXPECT_TRUE(releases[2].firstAtom && !releases[2].secondAtom && !releases[2].thirdAtom);
  for (std::uint32_t code : codes) EXPECT_EQ(FindAtom(code), 0) << code;

  // The keystrokes are free again.
  THotKeyManager next;
  for (std::uint32_t code : codes) EXPECT_NE(next.RegisterCode(code), 0) << code;
}

TEST(HotKeyManagerLifetimeTest, AReleaseTheSystemRefusesStillDropsTheAtomAndTheEntry) {
  THotKeyManager manager([](HWND window, int id) {
    UnregisterHotKey(window, id);
    return FALSE;
  });
  const std::uint16_t id = manager.RegisterCode(0x6051);
  ASSERT_NE(id, 0);
  EXPECT_FALSE(manager.UnregisterId(id));
  EXPECT_TRUE(manager.Entries().empty());
  EXPECT_EQ(FindAtom(0x6051), 0);
  EXPECT_FALSE(manager.UnregisterId(id));
}

TEST(HotKeyManagerLifetimeTest, ARefusedRegistrationGivesZeroAndGivesBackItsAtomReference) {
  // Global atoms count their references: the second manager's addition of
  // the same name gives the same atom, and its deletion takes back only its
  // own reference, so the first registration keeps its name.
  THotKeyManager first;
  THotKeyManager second;
  const std::uint16_t id = first.RegisterCode(0x6051);
  ASSERT_NE(id, 0);
  EXPECT_EQ(second.RegisterCode(0x6051), 0);
  EXPECT_TRUE(second.Entries().empty());
  EXPECT_EQ(FindAtom(0x6051), id);

  // The same keystroke twice in one manager: refused the same way.
  EXPECT_EQ(first.RegisterCode(0x6051), 0);
  EXPECT_EQ(first.Entries().size(), 1u);
  EXPECT_EQ(FindAtom(0x6051), id);

  EXPECT_TRUE(first.UnregisterId(id));
  EXPECT_EQ(FindAtom(0x6051), 0);
  // Now free for the other one.
  const std::uint16_t again = second.RegisterCode(0x6051);
  EXPECT_NE(again, 0);
  EXPECT_EQ(FindAtom(0x6051), again);
}

TEST_F(HotKeyManagerTest, ARealKeyPressArrivesAsAnEvent) {
  const std::uint32_t code = kHotKeyCtrl | kHotKeyShift | VK_F9;
  const std::uint16_t id = manager.RegisterCode(code);
  ASSERT_NE(id, 0);
  manager.RegisterCode(kHotKeyCtrl | kHotKeyShift | VK_F10);  // another one, not pressed
  PumpPending();

  auto key = [](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
  };
  INPUT inputs[] = {key(VK_CONTROL, false), key(VK_SHIFT, false), key(VK_F9, false),
                    key(VK_F9, true),       key(VK_SHIFT, true),  key(VK_CONTROL, true)};
  ASSERT_EQ(SendInput(6, inputs, sizeof(INPUT)), 6u);
  EXPECT_TRUE(PumpUntil([&] { return !presses.empty(); }));
  PumpPending();
  EXPECT_EQ(presses, (std::vector<Press>{{code, id}}));
}

TEST_F(HotKeyManagerTest, AnErrorInTheHandlerStaysInsideTheWindowProcedure) {
  std::vector<std::string> reports;
  platform::ScopedErrorReportHook hook([&](HWND, const std::string& text) { reports.push_back(text); });
  const std::uint16_t id = manager.RegisterCode(0x6051);
  ASSERT_NE(id, 0);
  manager.OnHotKeyPressed = [](std::uint32_t, std::uint16_t) { throw AppError("handler failed"); };
  SendMessageW(manager.Handle(), WM_HOTKEY, id, MAKELPARAM(6, 81));
  EXPECT_EQ(reports, std::vector<std::string>{"handler failed"});
}

TEST_F(HotKeyManagerTest, TheHandlerMayReleaseItsOwnHotKey) {
  const std::uint16_t id = manager.RegisterCode(0x6051);
  ASSERT_NE(id, 0);
  bool released = false;
  manager.OnHotKeyPressed = [&](std::uint32_t, std::uint16_t index) {
    released = manager.UnregisterId(index);
    manager.OnHotKeyPressed = nullptr;
  };
  SendMessageW(manager.Handle(), WM_HOTKEY, id, MAKELPARAM(6, 81));
  EXPECT_TRUE(released);
  EXPECT_TRUE(manager.Entries().empty());
  EXPECT_FALSE(manager.OnHotKeyPressed);
}

TEST(HotKeyManagerLifetimeTest, TheWindowIsMessageOnlyAndGoesWithTheManager) {
  HWND window = nullptr;
  {
    THotKeyManager manager;
    window = manager.Handle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, L"LumoraHotKeyManagerWindow", nullptr), window);
    // Not a child of the desktop: no top-level window of the program.
    EXPECT_NE(GetAncestor(window, GA_PARENT), GetDesktopWindow());
    EXPECT_NE(GetAncestor(window, GA_PARENT), nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
  }
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace lumora
