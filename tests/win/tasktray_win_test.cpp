// The tray icon against a scripted shell (every record it sends, the retries
// on time-outs, the removal), its click events, and once against Wine's own
// notification area with a real hidden window.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/text_platform.h"
#include "platform/text_portable.h"
#include "tray/unit_tasktray_win.h"

namespace lumora {
namespace {

struct Call {
  DWORD message;
  NOTIFYICONDATAA data;
};

struct Answer {
  BOOL result;
  DWORD error;
};

// Plays the shell: answers from a script, then the fallback answer, and
// records every record it was sent.
class FakeShell {
 public:
  TMarlTasktray::NotifyFunction Notify() {
    return [this](DWORD message, NOTIFYICONDATAA* data) {
      Call call{message, {}};
      std::memcpy(&call.data, data, sizeof call.data);
      calls.push_back(call);
      Answer answer = fallback;
      if (!script.empty()) {
        answer = script.front();
        script.pop_front();
      }
      SetLastError(answer.error);
      return answer.result;
    };
  }
  TMarlTasktray::SleepFunction Sleep() {
    return [this](DWORD milliseconds) { sleeps.push_back(milliseconds); };
  }

  std::vector<DWORD> Messages() const {
    std::vector<DWORD> out;
    for (const Call& c : calls) out.push_back(c.message);
    return out;
  }

  std::deque<Answer> script;
  Answer fallback{TRUE, ERROR_SUCCESS};
  std::vector<Call> calls;
  std::vector<DWORD> sleeps;
};

constexpr Answer kOk{TRUE, ERROR_SUCCESS};
constexpr Answer kTimeout{FALSE, ERROR_TIMEOUT};
constexpr Answer kDenied{FALSE, ERROR_ACCESS_DENIED};

HWND FakeOwner() { return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234)); }
HICON FakeIcon(int n) { return reinterpret_cast<HICON>(static_cast<INT_PTR>(0x5600 + n)); }

std::vector<DWORD> Repeat(std::vector<DWORD> head, std::vector<DWORD> unit, int times,
                          std::vector<DWORD> tail) {
  for (int i = 0; i < times; ++i) head.insert(head.end(), unit.begin(), unit.end());
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

std::string TipOf(const Call& call) {
  return std::string(call.data.szTip, strnlen(call.data.szTip, sizeof call.data.szTip));
}

TEST(TasktrayTest, EveryShowRecordCarriesTheFirstFormFields) {
  FakeShell shell;
  shell.script = {kDenied, kOk};  // the shell does not know the icon yet
  TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
  tray.ShowIcon();

  ASSERT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_ADD, NIM_MODIFY}));
  for (const Call& call : shell.calls) {
    EXPECT_EQ(call.data.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(call.data.hWnd, FakeOwner());
    EXPECT_EQ(call.data.uID, 1u);
    EXPECT_EQ(call.data.uFlags, 7u);
    EXPECT_EQ(call.data.uCallbackMessage, 1124u);
    EXPECT_EQ(call.data.hIcon, FakeIcon(1));
    EXPECT_EQ(TipOf(call), "Lumora");
  }
#ifndef _WIN64
  EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE), 88u);
#endif
  EXPECT_TRUE(tray.IconShown());
  EXPECT_TRUE(shell.sleeps.empty());
}

TEST(TasktrayTest, ModifyThatSucceedsNeedsNoAdd) {
  FakeShell shell;
  TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
  EXPECT_FALSE(tray.IconShown());
  tray.ShowIcon();
  EXPECT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_MODIFY}));
  EXPECT_TRUE(tray.IconShown());
}

TEST(TasktrayTest, TipIsCutTo63BytesAndTerminated) {
  const std::string longTip(100, 'x');
  for (const auto& [tip, expected] : std::vector<std::pair<std::string, std::string>>{
           {longTip, std::string(63, 'x')},
           {std::string(63, 'y'), std::string(63, 'y')},
           {std::string(64, 'z'), std::string(63, 'z')},
           {"", ""}}) {
    FakeShell shell;
    TMarlTasktray tray(FakeOwner(), FakeIcon(1), tip, shell.Notify(), shell.Sleep());
    tray.ShowIcon();
    ASSERT_FALSE(shell.calls.empty());
    const Call& call = shell.calls.front();
    EXPECT_EQ(TipOf(call), expected) << "tip of " << tip.size() << " bytes";
    EXPECT_EQ(call.data.szTip[expected.size()], '\0');
  }
}

std::string Times(const std::string& piece, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += piece;
  return out;
}

TEST(TasktrayTest, TipCutNeverSplitsAShiftJisCharacter) {
  platform::PortableTextPlatform shiftJis;
  platform::ScopedTextPlatform scope(shiftJis);
  const std::string a = "\x82\xa0";   // HIRAGANA A
  const std::string eq = "\x81\x81";  // FULLWIDTH EQUALS: its second byte is also a lead byte

  struct Case {
    std::string tip;
    std::string expected;
  };
  const std::vector<Case> cases = {
      // The 63rd byte would be the first half of a character: it is left out.
      {std::string(62, 'a') + a + "bc", std::string(62, 'a')},
      // The character ends on the 63rd byte: it stays.
      {std::string(61, 'a') + a + "bc", std::string(61, 'a') + a},
      // Byte 63 is a second half that looks like a lead byte: no cut needed.
      {"a" + Times(eq, 32), "a" + Times(eq, 31)},
      // Only two-byte characters: 31 of them fit in 63 bytes.
      {Times(a, 40), Times(a, 31)},
  };
  for (const Case& c : cases) {
    FakeShell shell;
    TMarlTasktray tray(FakeOwner(), FakeIcon(1), c.tip, shell.Notify(), shell.Sleep());
    tray.ShowIcon();
    ASSERT_FALSE(shell.calls.empty());
    EXPECT_EQ(TipOf(shell.calls.front()), c.expected);
    EXPECT_EQ(shell.calls.front().data.szTip[c.expected.size()], '\0');
  }
}

TEST(TasktrayTest, TimeOutsAreRetriedEvery500Ms) {
  FakeShell shell;
  // First round and two retries time out; the third retry's NIM_ADD works.
  shell.script = {kTimeout, kTimeout, kTimeout, kTimeout, kTimeout, kTimeout, kTimeout, kOk};
  TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
  tray.ShowIcon();
  EXPECT_EQ(shell.Messages(),
            Repeat({NIM_MODIFY, NIM_ADD}, {NIM_MODIFY, NIM_ADD}, 3, {NIM_MODIFY}));
  EXPECT_EQ(shell.sleeps, (std::vector<DWORD>{500, 500, 500}));
  EXPECT_TRUE(tray.IconShown());
}

TEST(TasktrayTest, ARetrysModifyThatSucceedsEndsTheRetries) {
  FakeShell shell;
  shell.script = {kTimeout, kTimeout, kOk};
  TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
  tray.ShowIcon();
  EXPECT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_ADD, NIM_MODIFY, NIM_MODIFY}));
  EXPECT_EQ(shell.sleeps, (std::vector<DWORD>{500}));
  EXPECT_TRUE(tray.IconShown());
}

TEST(TasktrayTest, GivesUpAfter31TimedOutRetries) {
  FakeShell shell;
  shell.fallback = kTimeout;
  TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
  tray.ShowIcon();
  EXPECT_EQ(shell.Messages(),
            Repeat({NIM_MODIFY, NIM_ADD}, {NIM_MODIFY, NIM_ADD}, 31, {NIM_MODIFY}));
  EXPECT_EQ(shell.sleeps, std::vector<DWORD>(31, 500));
  EXPECT_FALSE(tray.IconShown());
}

TEST(TasktrayTest, OtherErrorsAreNotRetried) {
  {
    FakeShell shell;
    shell.fallback = kDenied;
    TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
    tray.ShowIcon();
    EXPECT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_ADD, NIM_MODIFY}));
    EXPECT_TRUE(shell.sleeps.empty());
    EXPECT_FALSE(tray.IconShown());
  }
  {
    // A time-out first, then another error: the retries stop there.
    FakeShell shell;
    shell.script = {kTimeout, kTimeout, kTimeout, kDenied};
    shell.fallback = kOk;  // would succeed if it went on
    TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
    tray.ShowIcon();
    EXPECT_EQ(shell.Messages(),
              (std::vector<DWORD>{NIM_MODIFY, NIM_ADD, NIM_MODIFY, NIM_ADD, NIM_MODIFY}));
    EXPECT_EQ(shell.sleeps, (std::vector<DWORD>{500}));
    EXPECT_FALSE(tray.IconShown());
  }
}

TEST(TasktrayTest, TheFinalModifysAnswerDoesNotDecide) {
  {
    FakeShell shell;
    shell.script = {kDenied, kOk, kDenied};
    TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
    tray.ShowIcon();
    EXPECT_EQ(shell.calls.size(), 3u);
    EXPECT_TRUE(tray.IconShown());
  }
  {
    FakeShell shell;
    shell.script = {kDenied, kDenied, kOk};
    TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
    tray.ShowIcon();
    EXPECT_EQ(shell.calls.size(), 3u);
    EXPECT_FALSE(tray.IconShown());
  }
}

TEST(TasktrayTest, RemovalSendsOnlySizeWindowAndIdAndOnlyWhenShown) {
  FakeShell shell;
  {
    TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
    tray.RemoveIcon();
    EXPECT_TRUE(shell.calls.empty());
    tray.ShowIcon();
    ASSERT_TRUE(tray.IconShown());
    shell.calls.clear();
    tray.RemoveIcon();
    EXPECT_FALSE(tray.IconShown());
    ASSERT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_DELETE}));
    const NOTIFYICONDATAA& d = shell.calls.front().data;
    EXPECT_EQ(d.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(d.hWnd, FakeOwner());
    EXPECT_EQ(d.uID, 1u);
    EXPECT_EQ(d.uFlags, 0u);
    EXPECT_EQ(d.uCallbackMessage, 0u);
    EXPECT_EQ(d.hIcon, nullptr);
    EXPECT_EQ(d.szTip[0], '\0');
    tray.RemoveIcon();  // already gone
    EXPECT_EQ(shell.calls.size(), 1u);
    shell.calls.clear();
  }
  EXPECT_TRUE(shell.calls.empty()) << "the destructor removed an icon that was not shown";
}

TEST(TasktrayTest, DestructorRemovesTheIconOnlyWhenShown) {
  {
    FakeShell shell;
    { TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep()); }
    EXPECT_TRUE(shell.calls.empty());
  }
  {
    FakeShell shell;
    shell.fallback = kDenied;
    {
      TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
      tray.ShowIcon();
      EXPECT_FALSE(tray.IconShown());
    }
    for (const Call& c : shell.calls) EXPECT_NE(c.message, static_cast<DWORD>(NIM_DELETE));
  }
  {
    FakeShell shell;
    {
      TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
      tray.ShowIcon();
      shell.calls.clear();
    }
    ASSERT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_DELETE}));
    EXPECT_EQ(shell.calls.front().data.hWnd, FakeOwner());
    EXPECT_EQ(shell.calls.front().data.uID, 1u);
  }
}

TEST(TasktrayTest, EnsureIconShowsOnlyWhileNotShown) {
  FakeShell shell;
  shell.script = {kDenied, kDenied, kDenied};  // the first show fails
  TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
  tray.EnsureIcon();
  EXPECT_EQ(shell.calls.size(), 3u);
  EXPECT_FALSE(tray.IconShown());
  tray.EnsureIcon();  // tries again
  EXPECT_EQ(shell.calls.size(), 5u);
  EXPECT_TRUE(tray.IconShown());
  tray.EnsureIcon();  // nothing to do
  EXPECT_EQ(shell.calls.size(), 5u);
}

TEST(TasktrayTest, TaskbarCreatedPutsBackTheIconSetLast) {
  FakeShell shell;
  TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
  EXPECT_EQ(tray.TaskbarCreatedMessage(), RegisterWindowMessageA("TaskbarCreated"));
  EXPECT_NE(tray.TaskbarCreatedMessage(), 0u);
  tray.EnsureIcon();

  shell.calls.clear();
  tray.SetIcon(FakeIcon(2));
  ASSERT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_MODIFY}));
  EXPECT_EQ(shell.calls.front().data.hIcon, FakeIcon(2));

  // The new taskbar does not know the icon: NIM_MODIFY fails, NIM_ADD puts it back.
  shell.calls.clear();
  shell.script = {kDenied, kOk};
  tray.HandleTrayMessage(tray.TaskbarCreatedMessage(), 0, 0);
  ASSERT_EQ(shell.Messages(), (std::vector<DWORD>{NIM_MODIFY, NIM_ADD, NIM_MODIFY}));
  EXPECT_EQ(shell.calls[1].data.hIcon, FakeIcon(2));
  EXPECT_EQ(TipOf(shell.calls[1]), "Lumora");
  EXPECT_TRUE(tray.IconShown());
}

TEST(TasktrayTest, ErrorsDuringTheTaskbarsReturnAreSwallowed) {
  bool threw = false;
  TMarlTasktray tray(
      FakeOwner(), FakeIcon(1), "Lumora",
      [&](DWORD, NOTIFYICONDATAA*) -> BOOL {
        threw = true;
        throw std::runtime_error("shell gone");
      },
      [](DWORD) {});
  EXPECT_NO_THROW(tray.HandleTrayMessage(tray.TaskbarCreatedMessage(), 0, 0));
  EXPECT_TRUE(threw);
  EXPECT_FALSE(tray.IconShown());
}

// Holds Shift down through SendInput, so that GetAsyncKeyState sees it, and
// lets it go again.
class ShiftHeld {
 public:
  ShiftHeld() { Send(0); }
  ~ShiftHeld() { Send(KEYEVENTF_KEYUP); }
  ShiftHeld(const ShiftHeld&) = delete;
  ShiftHeld& operator=(const ShiftHeld&) = delete;

 private:
  static void Send(DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_SHIFT;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
    // Let the input reach the key state.
    for (int i = 0; i < 50; ++i) {
      const bool down = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
      if (down == (flags == 0)) return;
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      ::Sleep(10);
    }
  }
};

struct ClickCount {
  int left = 0;
  int right = 0;
};

TEST(TasktrayTest, ButtonPressesBecomeClicks) {
  FakeShell shell;
  TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
  ClickCount count;
  tray.OnLeftClick = [&] { ++count.left; };
  tray.OnRightClick = [&] { ++count.right; };
  ASSERT_EQ(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0) << "Shift is held before the test";

  tray.HandleTrayMessage(1124, 0, WM_LBUTTONDOWN);
  EXPECT_EQ(count.left, 1);
  EXPECT_EQ(count.right, 0);

  tray.HandleTrayMessage(1124, 0, WM_RBUTTONDOWN);
  EXPECT_EQ(count.left, 1);
  EXPECT_EQ(count.right, 1);

  {
    ShiftHeld shift;
    ASSERT_NE(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0) << "the injected Shift did not arrive";
    tray.HandleTrayMessage(1124, 0, WM_LBUTTONDOWN);
    EXPECT_EQ(count.left, 1);
    EXPECT_EQ(count.right, 2);
  }
  EXPECT_EQ(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);

  // The mouse message in the low word, more above it: still a press.
  tray.HandleTrayMessage(1124, 0, MAKELPARAM(WM_RBUTTONDOWN, 1));
  EXPECT_EQ(count.right, 3);

  // A left double click is a press, a release, a double click and a release:
  // one left click.
  for (LPARAM event : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    tray.HandleTrayMessage(1124, 0, event);
  }
  EXPECT_EQ(count.left, 2);
  EXPECT_EQ(count.right, 3);
  EXPECT_TRUE(shell.calls.empty()) << "clicks do not touch the icon";
}

TEST(TasktrayTest, OtherMouseEventsAndMessagesRaiseNothing) {
  FakeShell shell;
  TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
  ClickCount count;
  tray.OnLeftClick = [&] { ++count.left; };
  tray.OnRightClick = [&] { ++count.right; };
  for (LPARAM event : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK,
                       WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK}) {
    tray.HandleTrayMessage(1124, 0, event);
  }
  // The press, but not as the icon's callback message.
  tray.HandleTrayMessage(WM_USER + 101, 0, WM_LBUTTONDOWN);
  tray.HandleTrayMessage(WM_LBUTTONDOWN, 0, 0);
  tray.HandleTrayMessage(WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(count.left, 0);
  EXPECT_EQ(count.right, 0);
  EXPECT_TRUE(shell.calls.empty());
}

TEST(TasktrayTest, UnassignedEventsDoNothing) {
  FakeShell shell;
  TMarlTasktray tray(FakeOwner(), FakeIcon(1), "Lumora", shell.Notify(), shell.Sleep());
  EXPECT_NO_THROW(tray.HandleTrayMessage(1124, 0, WM_LBUTTONDOWN));
  EXPECT_NO_THROW(tray.HandleTrayMessage(1124, 0, WM_RBUTTONDOWN));
  int right = 0;
  tray.OnRightClick = [&] { ++right; };
  tray.HandleTrayMessage(1124, 0, WM_LBUTTONDOWN);  // left unassigned: not passed on
  EXPECT_EQ(right, 0);
  tray.HandleTrayMessage(1124, 0, WM_RBUTTONDOWN);
  EXPECT_EQ(right, 1);
}

// A hidden top-level window that owns the icon in the real notification area.
class HiddenOwner {
 public:
  HiddenOwner() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LumoraTrayTestOwner";
    RegisterClassW(&wc);  // fails harmlessly when already registered
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"tray owner", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                            100, nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~HiddenOwner() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  HiddenOwner(const HiddenOwner&) = delete;
  HiddenOwner& operator=(const HiddenOwner&) = delete;
  HWND Handle() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

TEST(TasktrayTest, RealShellShowsAndRemovesTheIcon) {
  HiddenOwner owner;
  ASSERT_NE(owner.Handle(), nullptr);
  HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));  // shared
  ASSERT_NE(icon, nullptr);

  std::vector<std::pair<DWORD, BOOL>> answers;
  auto realShell = [&](DWORD message, NOTIFYICONDATAA* data) {
    const BOOL result = Shell_NotifyIconA(message, data);
    answers.emplace_back(message, result);
    return result;
  };
  TMarlTasktray tray(owner.Handle(), icon, "Lumora", realShell);
  tray.ShowIcon();
  EXPECT_TRUE(tray.IconShown());
  ASSERT_GE(answers.size(), 2u);
  EXPECT_EQ(answers.front(), std::make_pair(static_cast<DWORD>(NIM_MODIFY), FALSE))
      << "the icon was there before it was added";
  EXPECT_EQ(answers.back(), std::make_pair(static_cast<DWORD>(NIM_MODIFY), TRUE))
      << "the added icon cannot be updated";

  answers.clear();
  tray.RemoveIcon();
  EXPECT_FALSE(tray.IconShown());
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers.front(), std::make_pair(static_cast<DWORD>(NIM_DELETE), TRUE));

  // The icon is gone: the shell no longer knows it.
  NOTIFYICONDATAA probe{};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = owner.Handle();
  probe.uID = 1;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &probe));
}

}  // namespace
}  // namespace lumora
