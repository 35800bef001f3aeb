// The window base class with real windows in this process: messages reach
// the object, and an exception from a handler goes to the error report while
// the window keeps working.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/error_report_win.h"
#include "platform/subclass_win.h"
#include "platform/window_win.h"

namespace lumora::platform {
namespace {

constexpr UINT kThrowAppError = WM_APP + 1;
constexpr UINT kThrowOther = WM_APP + 2;
constexpr UINT kAnswer = WM_APP + 3;

class ProbeWindow : public Window {
 public:
  explicit ProbeWindow(bool throwOnCreate = false) : throwOnCreate_(throwOnCreate) {}

  void Open() {
    ClassSpec windowClass;
    windowClass.name = L"LumoraProbeWindow";
    CreateSpec window;
    window.title = L"probe";
    window.style = WS_OVERLAPPEDWINDOW;  // never shown
    Create(windowClass, window);
  }

  std::vector<UINT> seen;
  int answers = 0;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    seen.push_back(message);
    switch (message) {
      case WM_CREATE:
        if (throwOnCreate_) throw AppError("作成時のエラー");
        return 0;
      case kThrowAppError:
        throw AppError("ファイル \"x\". テスト は開けません");
      case kThrowOther:
        throw 42;
      case kAnswer:
        ++answers;
        return 1234;
      default:
        return DefaultHandling(message, wParam, lParam);
    }
  }

 private:
  bool throwOnCreate_;
};

struct Report {
  HWND owner;
  std::string text;
};

bool Saw(const ProbeWindow& window, UINT message) {
  for (UINT m : window.seen) {
    if (m == message) return true;
  }
  return false;
}

void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

TEST(WindowTest, MessagesFromCreationOnReachTheObject) {
  ProbeWindow window;
  window.Open();
  ASSERT_NE(window.Handle(), nullptr);
  EXPECT_TRUE(Saw(window, WM_NCCREATE));
  EXPECT_TRUE(Saw(window, WM_CREATE));
  EXPECT_EQ(GetWindowLongPtrW(window.Handle(), GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&window));
  EXPECT_EQ(SendMessageW(window.Handle(), kAnswer, 0, 0), 1234);

  wchar_t title[32] = {};
  GetWindowTextW(window.Handle(), title, 32);
  EXPECT_STREQ(title, L"probe");
  wchar_t className[64] = {};
  GetClassNameW(window.Handle(), className, 64);
  EXPECT_STREQ(className, L"LumoraProbeWindow");
}

TEST(WindowTest, PostedMessagesArriveThroughDispatch) {
  ProbeWindow window;
  window.Open();
  PostMessageW(window.Handle(), kAnswer, 0, 0);
  PostMessageW(window.Handle(), kAnswer, 0, 0);
  PumpPending();
  EXPECT_EQ(window.answers, 2);
}

TEST(WindowTest, TwoWindowsOfOneClassKeepTheirOwnObjects) {
  ProbeWindow first;
  ProbeWindow second;
  first.Open();
  second.Open();  // the class is registered once and reused
  SendMessageW(second.Handle(), kAnswer, 0, 0);
  EXPECT_EQ(first.answers, 0);
  EXPECT_EQ(second.answers, 1);
}

TEST(WindowTest, AThrowingHandlerIsReportedAndTheWindowGoesOn) {
  std::vector<Report> reports;
  ScopedErrorReportHook hook([&](HWND owner, const std::string& text) { reports.push_back({owner, text}); });
  ProbeWindow window;
  window.Open();

  EXPECT_EQ(SendMessageW(window.Handle(), kThrowAppError, 0, 0), 0);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].owner, window.Handle());
  EXPECT_EQ(reports[0].text, "ファイル \"x\". テスト は開けません");

  // Through the message loop as well: nothing crosses DispatchMessageW.
  PostMessageW(window.Handle(), kThrowAppError, 0, 0);
  PumpPending();
  ASSERT_EQ(reports.size(), 2u);

  EXPECT_TRUE(IsWindow(window.Handle()));
  EXPECT_EQ(SendMessageW(window.Handle(), kAnswer, 0, 0), 1234);
  EXPECT_EQ(window.answers, 1);
}

TEST(WindowTest, ExceptionsOfAnyTypeAreReported) {
  std::vector<Report> reports;
  ScopedErrorReportHook hook([&](HWND owner, const std::string& text) { reports.push_back({owner, text}); });
  ProbeWindow window;
  window.Open();
  SendMessageW(window.Handle(), kThrowOther, 0, 0);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_FALSE(reports[0].text.empty());
  EXPECT_TRUE(IsWindow(window.Handle()));
}

TEST(WindowTest, AnErrorDuringCreationIsReportedAndTheWindowExists) {
  std::vector<Report> reports;
  ScopedErrorReportHook hook([&](HWND owner, const std::string& text) { reports.push_back({owner, text}); });
  ProbeWindow window(true);
  window.Open();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].text, "作成時のエラー");
  ASSERT_NE(window.Handle(), nullptr);
  EXPECT_TRUE(IsWindow(window.Handle()));
  EXPECT_EQ(SendMessageW(window.Handle(), kAnswer, 0, 0), 1234);
}

TEST(WindowTest, DestroyingTheWindowUnbindsTheObject) {
  ProbeWindow window;
  window.Open();
  HWND hwnd = window.Handle();
  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_TRUE(Saw(window, WM_DESTROY));
  EXPECT_TRUE(Saw(window, WM_NCDESTROY));
  EXPECT_EQ(window.Handle(), nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST(WindowTest, TheObjectDestroysItsWindow) {
  HWND hwnd = nullptr;
  {
    ProbeWindow window;
    window.Open();
    hwnd = window.Handle();
    ASSERT_TRUE(IsWindow(hwnd));
  }
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST(WindowTest, CreatingTwiceIsAnError) {
  ProbeWindow window;
  window.Open();
  EXPECT_THROW(window.Open(), AppError);
}

// A control's subclass: what the handler takes it answers, the rest reaches
// the control, a throw is reported and the control goes on; the handler is
// freed with the control, also when it destroys its own control.
TEST(SubclassTest, HandlerTakesWhatItWantsAndPassesTheRestOn) {
  std::vector<Report> reports;
  ScopedErrorReportHook hook([&](HWND owner, const std::string& text) { reports.push_back({owner, text}); });
  ProbeWindow window;
  window.Open();
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 100, 20, window.Handle(), nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  auto alive = std::make_shared<int>(0);
  std::vector<UINT> seen;
  SubclassControl(edit, [&seen, edit, alive](UINT message, WPARAM, LPARAM, bool& handled) -> LRESULT {
    seen.push_back(message);
    if (message == kAnswer) {
      handled = true;
      return 77;
    }
    if (message == kThrowAppError) throw AppError("サブクラスのエラー");
    if (message == WM_GETTEXTLENGTH) {
      handled = true;  // the control's own answer, plus one
      return CallControlDefault(edit, message, 0, 0) + 1;
    }
    return 0;
  });
  EXPECT_THROW(SubclassControl(edit, [](UINT, WPARAM, LPARAM, bool&) { return LRESULT{0}; }), AppError);

  EXPECT_EQ(SendMessageW(edit, kAnswer, 0, 0), 77);
  SetWindowTextW(edit, L"abc");
  wchar_t text[8] = {};
  GetWindowTextW(edit, text, 8);
  EXPECT_STREQ(text, L"abc");
  EXPECT_EQ(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), 4);
  EXPECT_EQ(SendMessageW(edit, kThrowAppError, 0, 0), 0);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].owner, window.Handle());
  EXPECT_EQ(reports[0].text, "サブクラスのエラー");
  EXPECT_EQ(seen.front(), kAnswer);

  EXPECT_EQ(alive.use_count(), 2);
  DestroyWindow(edit);
  EXPECT_EQ(alive.use_count(), 1);

  HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 10, 10, window.Handle(), nullptr, nullptr, nullptr);
  ASSERT_NE(button, nullptr);
  SubclassControl(button, [button, alive](UINT message, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (message != kAnswer) return 0;
    DestroyWindow(button);
    handled = true;
    return 5;
  });
  EXPECT_EQ(alive.use_count(), 2);
  EXPECT_EQ(SendMessageW(button, kAnswer, 0, 0), 5);
  EXPECT_FALSE(IsWindow(button));
  EXPECT_EQ(alive.use_count(), 1);
}

// A control class of our own, so that the test sees what reaches the
// control's procedure once the control is gone.
std::vector<UINT> g_controlMessages;
LRESULT CALLBACK RecordingControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP) g_controlMessages.push_back(message);
  return DefWindowProcW(control, message, wParam, lParam);
}

TEST(SubclassTest, ControlDestroyedInsideANestedMessageGetsNothingMore) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = RecordingControlProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LumoraRecordingControl";
  RegisterClassW(&wc);
  ProbeWindow window;
  window.Open();
  HWND control = CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD, 0, 0, 10, 10, window.Handle(), nullptr,
                                 wc.hInstance, nullptr);
  ASSERT_NE(control, nullptr);
  auto alive = std::make_shared<int>(0);
  constexpr UINT kOuter = WM_APP + 10, kInner = WM_APP + 11;
  SubclassControl(control, [control, alive](UINT message, WPARAM, LPARAM, bool&) -> LRESULT {
    if (message == kOuter) SendMessageW(control, kInner, 0, 0);
    if (message == kInner) DestroyWindow(control);
    return 0;  // neither is handled: both would go on to a live control
  });
  g_controlMessages.clear();
  SendMessageW(control, kOuter, 0, 0);
  EXPECT_FALSE(IsWindow(control));
  EXPECT_TRUE(g_controlMessages.empty());
  EXPECT_EQ(alive.use_count(), 1);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

TEST(ErrorReportTest, HookReplacesTheBoxAndIsRestored) {
  std::vector<std::string> outer;
  ScopedErrorReportHook outerHook([&](HWND, const std::string& text) { outer.push_back(text); });
  {
    std::vector<std::string> inner;
    ScopedErrorReportHook innerHook([&](HWND, const std::string& text) { inner.push_back(text); });
    ShowErrorReport(nullptr, "内側");
    EXPECT_EQ(inner, std::vector<std::string>{"内側"});
  }
  ShowErrorReport(nullptr, "外側");
  EXPECT_EQ(outer, std::vector<std::string>{"外側"});
}

TEST(ErrorReportTest, ApplicationTitleIsSettable) {
  const std::string before = ApplicationTitle();
  SetApplicationTitle("[LM]");
  EXPECT_EQ(ApplicationTitle(), "[LM]");
  SetApplicationTitle(before);
}

}  // namespace
}  // namespace lumora::platform
