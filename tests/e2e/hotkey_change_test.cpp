// Changing the hotkeys from the menu of the real program: the input box each
// command opens, what an invalid show key does, and the settings file and
// the registration as another program sees them.
#include <gtest/gtest.h>

#include <windows.h>

#include "launcher_fixture.h"

namespace lumora::e2e {
namespace {

constexpr int kTestHotKeyId = 0xBF02;

class HotKeyChange : public LauncherTest {
 protected:
  void SetUp() override { WriteList({{"1", "notepad", "C:\\windows\\notepad.exe", "5", "2026/1/10 9:00:00"}}); }

  // Opens a change command's input box; null when none comes.
  HWND OpenChangeCommand(int commandId) {
    Post(launcher, WM_COMMAND, commandId, 0);
    return WaitForDialog(lumora.Id());
  }

  // Whether the keystroke is free for this process to take (and gives it back).
  static bool KeystrokeIsFree(UINT modifiers, UINT virtualKey) {
    if (!RegisterHotKey(nullptr, kTestHotKeyId, modifiers, virtualKey)) return false;
    UnregisterHotKey(nullptr, kTestHotKeyId);
    return true;
  }
};

TEST_F(HotKeyChange, AnInvalidShowKeyIsRefusedAndTheOldKeyStillWorks) {
  ASSERT_TRUE(Start());
  const HWND input = OpenChangeCommand(IDM_HOTKEYCHANGE);
  ASSERT_NE(input, nullptr) << "no input box";
  EXPECT_EQ(DialogCaption(input), L"ホットキー");
  ASSERT_TRUE(TypeIntoDialog(input, L"Ctrl+Foo"));
  ASSERT_TRUE(PressButton(input, IDOK));
  ASSERT_TRUE(WaitForDialogToClose(input));

  const HWND box = WaitForDialog(lumora.Id());
  ASSERT_NE(box, nullptr) << "the invalid text was not reported";
  const std::wstring message = DialogMessage(box);
  EXPECT_NE(message.find(L"正しくない組み合わせです。"), std::wstring::npos) << Utf8FromUtf16(message);
  EXPECT_NE(message.find(L"Ctrl+Foo"), std::wstring::npos) << Utf8FromUtf16(message);
  ASSERT_TRUE(PressButton(box, IDOK));
  ASSERT_TRUE(WaitForDialogToClose(box));

  EXPECT_EQ(SettingsValue(L"hotkey", L"show"), "<missing>") << "the invalid text was stored";
  PressKey('Q', kCtrl | kShift);
  EXPECT_TRUE(WaitForVisibility(launcher, true, 5s)) << "the old show key no longer works";
}

TEST_F(HotKeyChange, TheMoveWindowKeyIsSetStoredAndClearedAgain) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(KeystrokeIsFree(MOD_CONTROL | MOD_ALT, VK_F10));

  HWND input = OpenChangeCommand(IDM_HOTKEYMOVEWIN);
  ASSERT_NE(input, nullptr) << "no input box";
  EXPECT_EQ(DialogCaption(input), L"アクティブウィンドウ移動ホットキーを指定");
  ASSERT_TRUE(TypeIntoDialog(input, L"Ctrl+Alt+F10"));
  ASSERT_TRUE(PressButton(input, IDOK));
  ASSERT_TRUE(WaitForDialogToClose(input));
  EXPECT_TRUE(WaitUntil([&] { return SettingsValue(L"hotkey", L"movewin") == "Ctrl+Alt+F10"; }, 3s))
      << SettingsValue(L"hotkey", L"movewin");
  EXPECT_FALSE(KeystrokeIsFree(MOD_CONTROL | MOD_ALT, VK_F10)) << "the key was not registered";

  // The box comes back with the key as its preset; Cancel clears the key.
  input = OpenChangeCommand(IDM_HOTKEYMOVEWIN);
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(TextOf(FindChild(input, L"Edit")), L"Ctrl+Alt+F10");
  ASSERT_TRUE(PressButton(input, IDCANCEL));
  ASSERT_TRUE(WaitForDialogToClose(input));
  EXPECT_TRUE(WaitUntil([&] { return SettingsValue(L"hotkey", L"movewin").empty(); }, 3s))
      << SettingsValue(L"hotkey", L"movewin");
  EXPECT_TRUE(KeystrokeIsFree(MOD_CONTROL | MOD_ALT, VK_F10)) << "the key was not released";
  EXPECT_FALSE(WaitForDialog(lumora.Id(), 500ms)) << "clearing an optional key showed a message";
}

}  // namespace
}  // namespace lumora::e2e
