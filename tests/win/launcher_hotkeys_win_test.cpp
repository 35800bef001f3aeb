// The launcher's global hotkeys in this process. LauncherHotKeys over a host
// of the test: what start-up registers and shows in the captions, what a
// press of each does, the commands that change them (their input boxes
// worked by a robot thread), a show key that another holder of the keystroke
// keeps from us. With the real launcher window: the menu captions, the
// refused show key told once the loop runs, the restart action letting go of
// the keys, and the program ending while a change command's box is open.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/frmLumoraU_win.h"
#include "window/launcher_hotkeys_win.h"
#include "app/resource_ids.h"
#include "platform/application_win.h"
#include "platform/error_report_win.h"
#include "platform/unicode_win.h"
#include "win/shell_test_support.h"

namespace lumora {
namespace {

using test::DialogRobot;
using test::FileExists;
using test::ReadFileBytes;
using test::TempFolder;

// Codes of the keys used here: Ctrl 0x4000, Shift 0x2000, Alt 0x8000.
constexpr std::uint32_t kCtrlShiftQ = 0x6051;  // the default show key
constexpr std::uint32_t kCtrlAltF5 = 0xC074;
constexpr std::uint32_t kCtrlAltF6 = 0xC075;
constexpr std::uint32_t kCtrlAltF7 = 0xC076;
constexpr std::uint32_t kCtrlAltF8 = 0xC077;
constexpr std::uint32_t kCtrlAltF9 = 0xC078;
constexpr std::uint32_t kCtrlAltF10 = 0xC079;
constexpr std::uint32_t kCtrlAltF11 = 0xC07A;
constexpr std::uint32_t kCtrlAltR = 0xC052;

bool AtomExists(std::uint32_t code) {
  return GlobalFindAtomA(THotKeyManager::AtomNameOf(code).c_str()) != 0;
}

std::wstring CaptionOf(HMENU menu, UINT id) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, id, text, 256, MF_BYCOMMAND);
  return text;
}

// Another holder of a keystroke, as another program would be.
class HeldKey {
 public:
  HeldKey(UINT modifiers, UINT virtualKey) : held_(RegisterHotKey(nullptr, kId, modifiers, virtualKey) != FALSE) {}
  ~HeldKey() {
    if (held_) UnregisterHotKey(nullptr, kId);
  }
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;
  bool held() const { return held_; }

 private:
  static constexpr int kId = 0xBF00;
  bool held_;
};

// What a robot saw in a dialog before it answered.
struct Seen {
  std::wstring caption, texts, edit;
};

Seen Observe(HWND dialog) {
  Seen seen;
  seen.caption = test::WindowText(dialog);
  seen.texts = test::StaticTexts(dialog);
  if (HWND edit = FindWindowExW(dialog, nullptr, L"Edit", nullptr)) seen.edit = test::WindowText(edit);
  return seen;
}

// Types text into an input box (when not empty) and presses a button.
DialogRobot::Step Answer(Seen& seen, std::wstring text, int button) {
  return [&seen, text, button](HWND dialog) {
    seen = Observe(dialog);
    if (!text.empty()) {
      SetWindowTextW(FindWindowExW(dialog, nullptr, L"Edit", nullptr), text.c_str());
    }
    test::PressButton(dialog, button);
  };
}

// Empties an input box and presses OK.
DialogRobot::Step EmptyAndOk(Seen& seen) {
  return [&seen](HWND dialog) {
    seen = Observe(dialog);
    SetWindowTextW(FindWindowExW(dialog, nullptr, L"Edit", nullptr), L"");
    test::PressButton(dialog, IDOK);
  };
}

// The launcher window as the hotkeys see it.
class FakeHost : public HotKeyHost {
 public:
  void Show() override {
    shown = true;
    ++shows;
  }
  void Hide() override {
    shown = false;
    ++hides;
  }
  bool IsShown() const override { return shown; }
  void Restart() override { ++restarts; }
  void SetMenuCaption(UINT commandId, const std::wstring& caption) override { captions[commandId] = caption; }

  bool shown = false;
  int shows = 0, hides = 0, restarts = 0;
  std::map<UINT, std::wstring> captions;
};

// Dispatches this thread's messages for a while; true when a WM_QUIT came.
bool Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  bool quit = false;
  MSG message;
  while (GetTickCount() - start < ms) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
  return quit;
}

void TakeQuit() {
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

std::wstring RefusedWarning(const std::wstring& key) {
  return L"起動キー[" + key +
         L"]を登録できませんでした。他のプログラムが使用している可能性があります。トレイアイコンから開いてください。";
}

// The settings file of a test folder.
class Settings {
 public:
  explicit Settings(const std::string& folder) : path_(folder + "Lumora.ini") {}
  const std::string& Path() const { return path_; }
  void Write(const char* section, const char* key, const char* value) const {
    ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, path_.c_str()));
  }
  std::string Read(const char* key) const {
    char value[256] = {};
    GetPrivateProfileStringA("hotkey", key, "<none>", value, 256, path_.c_str());
    return value;
  }

 private:
  std::string path_;
};

class LauncherHotKeysTest : public ::testing::Test {
 protected:
  void TearDown() override { keys.reset(); }

  void Write(const char* section, const char* key, const char* value) { settings.Write(section, key, value); }
  std::string Read(const char* key) const { return settings.Read(key); }

  // Makes the keys and registers them as start-up does; false when the show
  // key was refused.
  LauncherHotKeys& Start(bool* showKeyRegistered = nullptr) {
    keys = std::make_unique<LauncherHotKeys>(host, ini, unit.Notation());
    const bool registered = keys->RegisterAll();
    if (showKeyRegistered) *showKeyRegistered = registered;
    return *keys;
  }

  std::wstring Caption(UINT id) const {
    const auto found = host.captions.find(id);
    return found == host.captions.end() ? L"<none>" : found->second;
  }

  // Presses a hotkey as the system reports it: the registration id and the
  // key in the message.
  void Press(std::uint16_t id, std::uint32_t code) {
    ASSERT_NE(id, 0);
    unsigned modifiers = 0;
    if (code & 0x4000) modifiers |= MOD_CONTROL;
    if (code & 0x2000) modifiers |= MOD_SHIFT;
    if (code & 0x8000) modifiers |= MOD_ALT;
    SendMessageW(keys->Manager().Handle(), WM_HOTKEY, id, MAKELPARAM(modifiers, code & 0xFF));
  }

  TempFolder folder{"hotkeys"};
  Settings settings{folder.path()};
  platform::IniFile ini{settings.Path()};
  HotKeyUnit unit;
  FakeHost host;
  std::vector<std::string> errors;
  platform::ScopedErrorReportHook errorHook{[this](HWND, const std::string& text) { errors.push_back(text); }};
  std::unique_ptr<LauncherHotKeys> keys;
};

// --- start-up ------------------------------------------------------------------

TEST_F(LauncherHotKeysTest, WithoutSettingsOnlyTheDefaultShowKeyIsRegistered) {
  LauncherHotKeys& window = Start();
  EXPECT_NE(window.ShowKeyId(), 0);
  EXPECT_EQ(window.MoveCursorKeyId(), 0);
  EXPECT_EQ(window.MoveWindowKeyId(), 0);
  EXPECT_EQ(window.RestartKeyId(), 0);
  EXPECT_TRUE(window.Manager().IsCodeRegistered(kCtrlShiftQ));
  EXPECT_EQ(window.Manager().Entries().size(), 1u);
  EXPECT_NE(GlobalFindAtomA("HotKeyManagerHotKey24657"), 0);
  EXPECT_EQ(GlobalFindAtomA("HotKeyManagerHotKey24657"), window.ShowKeyId());

  EXPECT_EQ(Caption(IDM_HOTKEYCHANGE), L"起動キー[Ctrl+Shift+Q]の変更");
  EXPECT_EQ(Caption(IDM_HOTKEYMOVECUR), L"カーソル移動キーの設定");
  EXPECT_EQ(Caption(IDM_HOTKEYMOVEWIN), L"アクティブウィンドウ移動キーの設定");
  EXPECT_EQ(Caption(IDM_HOTKEYRESTART), L"自身再起動キーの設定");
  // Start-up reads and writes no hotkey setting.
  EXPECT_EQ(Read("show"), "<none>");
  EXPECT_EQ(Read("movecur"), "<none>");

  // The keys go with the object.
  keys.reset();
  EXPECT_FALSE(AtomExists(kCtrlShiftQ));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherHotKeysTest, AllFourSettingsAreRegisteredAndShownAsTyped) {
  Write("hotkey", "show", "Ctrl+Alt+F9");
  Write("hotkey", "movecur", "ctrl + alt + F10");
  Write("hotkey", "movewin", "Ctrl+Alt+F11");
  Write("hotkey", "restart_self", "Ctrl+Alt+R");
  LauncherHotKeys& window = Start();

  const std::vector<std::uint16_t> ids = {window.ShowKeyId(), window.MoveCursorKeyId(), window.MoveWindowKeyId(),
                                          window.RestartKeyId()};
  for (std::size_t i = 0; i < ids.size(); ++i) {
    EXPECT_NE(ids[i], 0) << i;
    for (std::size_t j = 0; j < i; ++j) EXPECT_NE(ids[i], ids[j]);
  }
  for (std::uint32_t code : {kCtrlAltF9, kCtrlAltF10, kCtrlAltF11, kCtrlAltR}) {
    EXPECT_TRUE(window.Manager().IsCodeRegistered(code)) << code;
    EXPECT_TRUE(AtomExists(code)) << code;
  }
  EXPECT_FALSE(window.Manager().IsCodeRegistered(kCtrlShiftQ));
  EXPECT_EQ(window.ShowKeyId(), GlobalFindAtomA(THotKeyManager::AtomNameOf(kCtrlAltF9).c_str()));
  EXPECT_EQ(window.MoveCursorKeyId(), GlobalFindAtomA(THotKeyManager::AtomNameOf(kCtrlAltF10).c_str()));

  EXPECT_EQ(Caption(IDM_HOTKEYCHANGE), L"起動キー[Ctrl+Alt+F9]の変更");
  EXPECT_EQ(Caption(IDM_HOTKEYMOVECUR), L"カーソル移動キー[ctrl + alt + F10]の変更");
  EXPECT_EQ(Caption(IDM_HOTKEYMOVEWIN), L"アクティブウィンドウ移動キー[Ctrl+Alt+F11]の変更");
  EXPECT_EQ(Caption(IDM_HOTKEYRESTART), L"自身再起動キー[Ctrl+Alt+R]の変更");

  keys.reset();
  for (std::uint32_t code : {kCtrlAltF9, kCtrlAltF10, kCtrlAltF11, kCtrlAltR}) EXPECT_FALSE(AtomExists(code));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// --- presses ---------------------------------------------------------------------

TEST_F(LauncherHotKeysTest, TheShowKeyShowsAndHidesTheLauncherAndTheRestartKeyRestarts) {
  Write("hotkey", "restart_self", "Ctrl+Alt+R");
  LauncherHotKeys& window = Start();

  Press(window.ShowKeyId(), kCtrlShiftQ);
  EXPECT_TRUE(host.shown);
  EXPECT_EQ(host.shows, 1);
  Press(window.ShowKeyId(), kCtrlShiftQ);
  EXPECT_FALSE(host.shown);
  EXPECT_EQ(host.hides, 1);

  // A key this manager does not hold does nothing.
  SendMessageW(window.Manager().Handle(), WM_HOTKEY, window.ShowKeyId(), MAKELPARAM(MOD_CONTROL, 'Q'));
  // Neither does an id of none of the four, nor 0.
  window.Pressed(static_cast<std::uint16_t>(window.ShowKeyId() + window.RestartKeyId()));
  window.Pressed(0);
  EXPECT_EQ(host.shows + host.hides + host.restarts, 2);

  Press(window.RestartKeyId(), kCtrlAltR);
  EXPECT_EQ(host.restarts, 1);
  EXPECT_FALSE(host.shown);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherHotKeysTest, TheMoveCursorKeyDoesNothingOnOneMonitor) {
  if (GetSystemMetrics(SM_CMONITORS) >= 2) GTEST_SKIP() << "one monitor only";
  Write("hotkey", "movecur", "Ctrl+Alt+F10");
  LauncherHotKeys& window = Start();
  SetCursorPos(123, 77);
  POINT before{};
  GetCursorPos(&before);
  Press(window.MoveCursorKeyId(), kCtrlAltF10);
  POINT after{};
  GetCursorPos(&after);
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.y, before.y);
  EXPECT_FALSE(host.shown);
}

// --- a show key held by another program ------------------------------------------------

TEST_F(LauncherHotKeysTest, AShowKeyThatTheSystemRefusesIsReportedOnceAfterStartUp) {
  HeldKey other(MOD_CONTROL | MOD_SHIFT, 'Q');
  ASSERT_TRUE(other.held());
  bool registered = true;
  LauncherHotKeys& window = Start(&registered);
  EXPECT_FALSE(registered);
  EXPECT_EQ(window.ShowKeyId(), 0);
  EXPECT_FALSE(window.Manager().IsCodeRegistered(kCtrlShiftQ));
  // The caption keeps the text.
  EXPECT_EQ(Caption(IDM_HOTKEYCHANGE), L"起動キー[Ctrl+Shift+Q]の変更");

  Seen warning;
  DialogRobot robot({Answer(warning, L"", IDOK)});
  window.ReportRefusedShowKey();
  EXPECT_EQ(robot.Finish(), 1);
  EXPECT_EQ(robot.Unexpected(), 0);
  EXPECT_EQ(warning.texts, RefusedWarning(L"Ctrl+Shift+Q"));
  EXPECT_EQ(warning.caption, platform::Utf8ToWide(platform::ApplicationTitle()));

  // Once only.
  DialogRobot again({}, std::chrono::milliseconds(500));
  window.ReportRefusedShowKey();
  EXPECT_EQ(again.Finish(), 0);
  EXPECT_EQ(again.Unexpected(), 0);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherHotKeysTest, ChangingTheShowKeyToARefusedKeyKeepsTheTextAndSaysSo) {
  HeldKey other(MOD_CONTROL | MOD_ALT, VK_F7);
  ASSERT_TRUE(other.held());
  LauncherHotKeys& window = Start();
  ASSERT_NE(window.ShowKeyId(), 0);

  Seen input, warning;
  DialogRobot robot({Answer(input, L"Ctrl+Alt+F7", IDOK), Answer(warning, L"", IDOK)});
  window.ChangeShowKey();
  EXPECT_EQ(robot.Finish(), 2);
  EXPECT_EQ(robot.Unexpected(), 0);

  EXPECT_EQ(warning.texts, RefusedWarning(L"Ctrl+Alt+F7"));
  EXPECT_EQ(window.ShowKeyId(), 0);
  // The old key went with the replacement.
  EXPECT_FALSE(window.Manager().IsCodeRegistered(kCtrlShiftQ));
  EXPECT_FALSE(AtomExists(kCtrlShiftQ));
  EXPECT_EQ(Read("show"), "Ctrl+Alt+F7");
  EXPECT_EQ(Caption(IDM_HOTKEYCHANGE), L"起動キー[Ctrl+Alt+F7]の変更");

  // A later change to a free key registers it again.
  DialogRobot next({Answer(input, L"Ctrl+Alt+F8", IDOK)});
  window.ChangeShowKey();
  EXPECT_EQ(next.Finish(), 1);
  EXPECT_EQ(next.Unexpected(), 0);
  EXPECT_NE(window.ShowKeyId(), 0);
  EXPECT_TRUE(window.Manager().IsCodeRegistered(kCtrlAltF8));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// --- changing the show key -----------------------------------------------------------

TEST_F(LauncherHotKeysTest, AnInvalidOrCancelledShowKeyChangesNothing) {
  LauncherHotKeys& window = Start();
  const std::uint16_t id = window.ShowKeyId();
  ASSERT_NE(id, 0);

  Seen input, message, cancelled;
  DialogRobot robot(
      {Answer(input, L"Ctrl+Foo", IDOK), Answer(message, L"", IDOK), Answer(cancelled, L"Ctrl+Alt+F8", IDCANCEL)});
  window.ChangeShowKey();
  window.ChangeShowKey();
  EXPECT_EQ(robot.Finish(), 3);
  EXPECT_EQ(robot.Unexpected(), 0);

  EXPECT_EQ(input.caption, L"ホットキー");
  EXPECT_EQ(input.texts, L"変更したいホットキーを入力してください。\r\n例) Ctrl + Shift + Alt + Q");
  EXPECT_EQ(input.edit, L"");
  EXPECT_EQ(message.texts, L"正しくない組み合わせです。\r\nCtrl+Foo");
  EXPECT_EQ(message.caption, platform::Utf8ToWide(platform::ApplicationTitle()));

  EXPECT_EQ(window.ShowKeyId(), id);
  EXPECT_TRUE(window.Manager().IsCodeRegistered(kCtrlShiftQ));
  EXPECT_FALSE(window.Manager().IsCodeRegistered(kCtrlAltF8));
  EXPECT_EQ(Read("show"), "<none>");
  EXPECT_EQ(Caption(IDM_HOTKEYCHANGE), L"起動キー[Ctrl+Shift+Q]の変更");

  // The old key still works.
  Press(window.ShowKeyId(), kCtrlShiftQ);
  EXPECT_TRUE(host.shown);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherHotKeysTest, AValidShowKeyReplacesTheOldOneAndIsWritten) {
  LauncherHotKeys& window = Start();
  Seen input;
  DialogRobot robot({Answer(input, L"Ctrl + Alt + F8", IDOK)});
  window.ChangeShowKey();
  EXPECT_EQ(robot.Finish(), 1);
  EXPECT_EQ(robot.Unexpected(), 0);

  EXPECT_NE(window.ShowKeyId(), 0);
  EXPECT_TRUE(window.Manager().IsCodeRegistered(kCtrlAltF8));
  EXPECT_FALSE(window.Manager().IsCodeRegistered(kCtrlShiftQ));
  EXPECT_FALSE(AtomExists(kCtrlShiftQ));
  EXPECT_EQ(window.Manager().Entries().size(), 1u);
  EXPECT_EQ(Read("show"), "Ctrl + Alt + F8");
  EXPECT_EQ(Caption(IDM_HOTKEYCHANGE), L"起動キー[Ctrl + Alt + F8]の変更");

  Press(window.ShowKeyId(), kCtrlAltF8);
  EXPECT_TRUE(host.shown);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// --- the optional keys ----------------------------------------------------------------

TEST_F(LauncherHotKeysTest, TheMoveWindowKeyIsSetClearedAndSetAgain) {
  LauncherHotKeys& window = Start();
  Seen first, second, third;
  DialogRobot robot({Answer(first, L"Ctrl+Alt+F6", IDOK), Answer(second, L"", IDCANCEL),
                     Answer(third, L"Ctrl+Alt+F5", IDOK)});

  window.ChangeMoveWindowKey();
  EXPECT_EQ(first.caption, L"アクティブウィンドウ移動ホットキーを指定");
  EXPECT_EQ(first.texts, L"ホットキーを指定してください。\r\n空やキャンセルを指定するとホットキーを解除します。");
  EXPECT_EQ(first.edit, L"");
  EXPECT_NE(window.MoveWindowKeyId(), 0);
  EXPECT_TRUE(window.Manager().IsCodeRegistered(kCtrlAltF6));
  EXPECT_EQ(Read("movewin"), "Ctrl+Alt+F6");
  EXPECT_EQ(Caption(IDM_HOTKEYMOVEWIN), L"アクティブウィンドウ移動キー[Ctrl+Alt+F6]の変更");

  // Cancel clears it; the current text was the preset.
  window.ChangeMoveWindowKey();
  EXPECT_EQ(second.edit, L"Ctrl+Alt+F6");
  EXPECT_EQ(window.MoveWindowKeyId(), 0);
  EXPECT_FALSE(window.Manager().IsCodeRegistered(kCtrlAltF6));
  EXPECT_FALSE(AtomExists(kCtrlAltF6));
  EXPECT_EQ(Read("movewin"), "");
  EXPECT_EQ(Caption(IDM_HOTKEYMOVEWIN), L"アクティブウィンドウ移動キーの設定");

  // Set again: registered at once.
  window.ChangeMoveWindowKey();
  EXPECT_EQ(robot.Finish(), 3);
  EXPECT_EQ(robot.Unexpected(), 0);
  EXPECT_EQ(third.edit, L"");
  EXPECT_NE(window.MoveWindowKeyId(), 0);
  EXPECT_TRUE(window.Manager().IsCodeRegistered(kCtrlAltF5));
  EXPECT_EQ(Read("movewin"), "Ctrl+Alt+F5");
  EXPECT_EQ(Caption(IDM_HOTKEYMOVEWIN), L"アクティブウィンドウ移動キー[Ctrl+Alt+F5]の変更");
  // The show key is untouched throughout.
  EXPECT_TRUE(window.Manager().IsCodeRegistered(kCtrlShiftQ));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherHotKeysTest, TheMoveCursorAndRestartKeysAreReplacedAndClearedWithAnEmptyAnswer) {
  Write("hotkey", "movecur", "Ctrl+Alt+F10");
  LauncherHotKeys& window = Start();
  const std::uint16_t before = window.MoveCursorKeyId();
  ASSERT_NE(before, 0);

  Seen cursor, cursorEmpty, restart, invalid;
  DialogRobot robot({Answer(cursor, L"Ctrl+Alt+F11", IDOK), EmptyAndOk(cursorEmpty),
                     Answer(restart, L"Ctrl+Alt+R", IDOK), Answer(invalid, L"Ctrl+Foo", IDOK)});

  window.ChangeMoveCursorKey();
  EXPECT_EQ(cursor.caption, L"モニタ間のカーソルを行うホットキーを指定");
  EXPECT_EQ(cursor.texts, L"ホットキーを指定してください。\r\n空やキャンセルを指定すると利用しません。");
  EXPECT_EQ(cursor.edit, L"Ctrl+Alt+F10");
  EXPECT_NE(window.MoveCursorKeyId(), 0);
  EXPECT_FALSE(window.Manager().IsCodeRegistered(kCtrlAltF10));
  EXPECT_TRUE(window.Manager().IsCodeRegistered(kCtrlAltF11));
  EXPECT_EQ(Read("movecur"), "Ctrl+Alt+F11");
  EXPECT_EQ(Caption(IDM_HOTKEYMOVECUR), L"カーソル移動キー[Ctrl+Alt+F11]の変更");

  // OK on an emptied box clears it too.
  window.ChangeMoveCursorKey();
  ASSERT_EQ(cursorEmpty.edit, L"Ctrl+Alt+F11");
  EXPECT_EQ(window.MoveCursorKeyId(), 0);
  EXPECT_FALSE(window.Manager().IsCodeRegistered(kCtrlAltF11));
  EXPECT_EQ(Read("movecur"), "");
  EXPECT_EQ(Caption(IDM_HOTKEYMOVECUR), L"カーソル移動キーの設定");

  window.ChangeRestartKey();
  EXPECT_EQ(restart.caption, L"自身を再起動するホットキーの指定");
  EXPECT_EQ(restart.texts, L"ホットキーを指定してください。\r\n空やキャンセルを指定すると利用しません。");
  EXPECT_NE(window.RestartKeyId(), 0);
  EXPECT_TRUE(window.Manager().IsCodeRegistered(kCtrlAltR));
  EXPECT_EQ(Read("restart_self"), "Ctrl+Alt+R");
  EXPECT_EQ(Caption(IDM_HOTKEYRESTART), L"自身再起動キー[Ctrl+Alt+R]の変更");

  // A text that is no hotkey is not checked here: it is kept and shown, and
  // the restart key it replaces is released.
  window.ChangeRestartKey();
  EXPECT_EQ(robot.Finish(), 4);
  EXPECT_EQ(robot.Unexpected(), 0);
  EXPECT_EQ(invalid.edit, L"Ctrl+Alt+R");
  EXPECT_FALSE(window.Manager().IsCodeRegistered(kCtrlAltR));
  EXPECT_EQ(Read("restart_self"), "Ctrl+Foo");
  EXPECT_EQ(Caption(IDM_HOTKEYRESTART), L"自身再起動キー[Ctrl+Foo]の変更");
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// --- with the launcher window ----------------------------------------------------------

class LauncherWindowHotKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryA((folder.path() + "data").c_str(), nullptr);
    settings.Write("flag", "installed", "1");
  }

  void TearDown() override {
    launcher.reset();
    TakeQuit();
  }

  TfrmLumora& Start(const std::string& restartProgram = {}) {
    launcher = std::make_unique<TfrmLumora>();
    launcher->UseProgramFolder(folder.path());
    if (!restartProgram.empty()) launcher->UseRestartProgram(restartProgram);
    launcher->CreateForm();
    return *launcher;
  }

  std::wstring Caption(UINT id) const { return CaptionOf(launcher->MainMenu(), id); }

  // A press as the system reports it, to the window's hotkey manager.
  void Press(std::uint32_t code) {
    const std::uint16_t id = GlobalFindAtomA(THotKeyManager::AtomNameOf(code).c_str());
    ASSERT_NE(id, 0);
    unsigned modifiers = 0;
    if (code & 0x4000) modifiers |= MOD_CONTROL;
    if (code & 0x2000) modifiers |= MOD_SHIFT;
    if (code & 0x8000) modifiers |= MOD_ALT;
    SendMessageW(launcher->HotKeys()->Manager().Handle(), WM_HOTKEY, id, MAKELPARAM(modifiers, code & 0xFF));
  }

  struct MainWindowReset {
    ~MainWindowReset() { platform::SetMainWindow(nullptr); }
  };

  TempFolder folder{"hotkeys"};
  Settings settings{folder.path()};
  std::vector<std::string> errors;
  platform::ScopedErrorReportHook errorHook{[this](HWND, const std::string& text) { errors.push_back(text); }};
  MainWindowReset mainWindowReset;
  std::unique_ptr<TfrmLumora> launcher;
};

TEST_F(LauncherWindowHotKeysTest, TheMenuShowsTheKeysAndTheShowKeyShowsTheLauncherWithTheFocusInTheCommandLine) {
  settings.Write("hotkey", "movewin", "Ctrl+Alt+F11");
  TfrmLumora& window = Start();
  EXPECT_TRUE(AtomExists(kCtrlShiftQ));
  EXPECT_EQ(Caption(IDM_HOTKEYCHANGE), L"起動キー[Ctrl+Shift+Q]の変更");
  EXPECT_EQ(Caption(IDM_HOTKEYMOVECUR), L"カーソル移動キーの設定");
  EXPECT_EQ(Caption(IDM_HOTKEYMOVEWIN), L"アクティブウィンドウ移動キー[Ctrl+Alt+F11]の変更");
  // The four items can be chosen, and the monitor items stay enabled
  // whatever the number of monitors.
  window.popsMainPopup();
  for (UINT id : {IDM_HOTKEYCHANGE, IDM_HOTKEYMOVECUR, IDM_HOTKEYMOVEWIN, IDM_HOTKEYRESTART}) {
    EXPECT_EQ(GetMenuState(window.MainMenu(), id, MF_BYCOMMAND) & MF_GRAYED, 0u) << id;
  }
  // Nothing is reported once the message loop runs.
  {
    DialogRobot robot({});
    Pump(500);
    EXPECT_EQ(robot.Finish(), 0);
    EXPECT_EQ(robot.Unexpected(), 0);
  }

  Press(kCtrlShiftQ);
  EXPECT_TRUE(window.IsShown());
  EXPECT_TRUE(IsWindowVisible(window.Handle()));
  EXPECT_EQ(GetFocus(), window.CommandBox());
  Press(kCtrlShiftQ);
  EXPECT_FALSE(window.IsShown());
  EXPECT_FALSE(IsWindowVisible(window.Handle()));

  // The window takes its hotkeys with it.
  launcher.reset();
  EXPECT_FALSE(AtomExists(kCtrlShiftQ));
  EXPECT_FALSE(AtomExists(kCtrlAltF11));
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(LauncherWindowHotKeysTest, AShowKeyThatTheSystemRefusesIsReportedOnceTheLoopRuns) {
  HeldKey other(MOD_CONTROL | MOD_SHIFT, 'Q');
  ASSERT_TRUE(other.held());
  Seen warning;
  DialogRobot robot({Answer(warning, L"", IDOK)});
  Start();
  Pump(1500);
  EXPECT_EQ(robot.Finish(), 1);
  EXPECT_EQ(robot.Unexpected(), 0);
  EXPECT_EQ(warning.texts, RefusedWarning(L"Ctrl+Shift+Q"));
  DialogRobot again({}, std::chrono::milliseconds(800));
  Pump(800);
  EXPECT_EQ(again.Finish(), 0);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

// The program ends (the quit command, a log-off) while a change command's
// box is open: the box goes with the window, and the command must not go on
// with the hotkeys and the settings that went with it.
TEST_F(LauncherWindowHotKeysTest, TheProgramEndingWhileAChangeBoxIsOpenAbandonsTheChange) {
  struct Case {
    void (TfrmLumora::*command)();
    const char* settingsKey;
    UINT endMessage;
    WPARAM endParam;
  };
  const Case cases[] = {
      {&TfrmLumora::popHotKeyMoveCurClick, "movecur", WM_COMMAND, IDM_COMPLETECLOSE},
      {&TfrmLumora::popHotkeyMoveWinClick, "movewin", WM_ENDSESSION, TRUE},
      {&TfrmLumora::popHotkeyRestartClick, "restart_self", WM_COMMAND, IDM_COMPLETECLOSE},
      {&TfrmLumora::popHotKeyChangeClick, "show", WM_ENDSESSION, TRUE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settingsKey);
    TfrmLumora& window = Start();
    const HWND hwnd = window.Handle();
    DialogRobot robot({[&](HWND dialog) {
      SetWindowTextW(FindWindowExW(dialog, nullptr, L"Edit", nullptr), L"Ctrl+Alt+F6");
      // From the box's own loop, as a tray menu or the system would.
      SendMessageW(hwnd, c.endMessage, c.endParam, 0);
      test::PressButton(dialog, IDOK);
    }});
    (window.*c.command)();
    EXPECT_EQ(robot.Finish(), 1);
    // The quit closed the box first and runs once the command has returned.
    Pump(300);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(window.HotKeys(), nullptr);
    EXPECT_EQ(settings.Read(c.settingsKey), "<none>");
    EXPECT_FALSE(AtomExists(kCtrlAltF6));
    EXPECT_TRUE(errors.empty()) << errors.front();
    launcher.reset();
    TakeQuit();
  }
}

// --- restarting ------------------------------------------------------------------------

TEST_F(LauncherWindowHotKeysTest, TheRestartKeyReleasesEveryHotKeyBeforeTheNewInstanceStarts) {
  settings.Write("hotkey", "restart_self", "Ctrl+Alt+R");
  settings.Write("hotkey", "movewin", "Ctrl+Alt+F11");
  // The "new instance": the probe beside the tests, a program without a
  // window (a console would take the foreground from later tests), which
  // notes its folder in the file named by LUMORA_PROBE_OUT.
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string script = exe;
  script = script.substr(0, script.rfind('\\') + 1) + "lumora_cwd_probe.exe";
  const std::string mark = folder.path() + "restarted.txt";
  SetEnvironmentVariableA("LUMORA_PROBE_OUT", mark.c_str());
  TfrmLumora& window = Start(script);
  const HWND hwnd = window.Handle();
  ASSERT_TRUE(AtomExists(kCtrlAltR));

  Press(kCtrlAltR);
  // The new instance is on its way and the window not yet closed: the keys
  // are free already.
  EXPECT_TRUE(IsWindow(hwnd));
  ASSERT_NE(window.HotKeys(), nullptr);
  EXPECT_TRUE(window.HotKeys()->Manager().Entries().empty());
  for (std::uint32_t code : {kCtrlShiftQ, kCtrlAltR, kCtrlAltF11}) EXPECT_FALSE(AtomExists(code)) << code;
  // Another holder can take them at once.
  {
    HeldKey next(MOD_CONTROL | MOD_SHIFT, 'Q');
    EXPECT_TRUE(next.held());
  }

  // Then the window closes and the program's loop ends.
  const DWORD start = GetTickCount();
  bool quit = false;
  while (!quit && GetTickCount() - start < 5000) quit = Pump(100);
  EXPECT_TRUE(quit);
  EXPECT_FALSE(IsWindow(hwnd));
  for (int i = 0; i < 150 && !FileExists(mark); ++i) Sleep(100);
  EXPECT_TRUE(FileExists(mark));
  SetEnvironmentVariableA("LUMORA_PROBE_OUT", nullptr);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace lumora
