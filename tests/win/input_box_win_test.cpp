// The input box and the open-file dialog worked from a second thread as a
// user would: the preset, typed Japanese text, OK and キャンセル, the owner,
// and the chosen file's ANSI path.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/application_win.h"
#include "platform/error_report_win.h"
#include "platform/handles_win.h"
#include "platform/unicode_win.h"
#include "shell/input_box_win.h"
#include "shell_test_support.h"

namespace lumora {
namespace {

using test::DialogRobot;

// What the robot saw in an input box before it answered.
struct SeenInput {
  std::wstring caption, prompt, editText, okText, cancelText;
  DWORD selStart = 1, selEnd = 0;
  bool editFocused = false;
  HWND owner = nullptr;
  bool defaultOk = false;
};

HWND FindEdit(HWND dialog) {
  return FindWindowExW(dialog, nullptr, L"Edit", nullptr);
}

void Observe(HWND dialog, SeenInput& seen) {
  seen.caption = test::WindowText(dialog);
  seen.prompt = test::StaticTexts(dialog);
  const HWND edit = FindEdit(dialog);
  seen.editText = test::WindowText(edit);
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&seen.selStart), reinterpret_cast<LPARAM>(&seen.selEnd));
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
  seen.editFocused = gui.hwndFocus == edit;
  seen.owner = GetWindow(dialog, GW_OWNER);
  seen.okText = test::WindowText(GetDlgItem(dialog, IDOK));
  seen.cancelText = test::WindowText(GetDlgItem(dialog, IDCANCEL));
  seen.defaultOk = LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)) == IDOK;
}

DialogRobot::Step TypeAndPress(SeenInput& seen, std::wstring text, int button) {
  return [&seen, text, button](HWND dialog) {
    Observe(dialog, seen);
    if (!text.empty()) SendMessageW(FindEdit(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    test::PressButton(dialog, button);
  };
}

DialogRobot::Step Press(SeenInput& seen, int button) { return TypeAndPress(seen, L"", button); }

TEST(InputBoxWin, OkGivesThePresetOrTheTypedTextInAnsi) {
  SeenInput first, second;
  DialogRobot robot({Press(first, IDOK), TypeAndPress(second, L"メモ帳 C:\\表示\\ソフト.exe", IDOK)});
  // 名前 in Shift-JIS as preset
  const std::optional<std::string> kept = InputBox("名前の変更", "新しい名前を入れてください", "\x96\xbc\x91\x4f");
  const std::optional<std::string> typed = InputBox("コマンド", "コマンドライン:", "old");
  EXPECT_EQ(robot.Finish(), 2);
  EXPECT_EQ(robot.Unexpected(), 0);

  ASSERT_TRUE(kept.has_value());
  EXPECT_EQ(*kept, "\x96\xbc\x91\x4f");
  EXPECT_EQ(first.caption, L"名前の変更");
  EXPECT_EQ(first.prompt, L"新しい名前を入れてください");
  EXPECT_EQ(first.editText, L"名前");
  EXPECT_EQ(first.selStart, 0u);  // the whole preset selected
  EXPECT_EQ(first.selEnd, 2u);
  EXPECT_TRUE(first.editFocused);
  EXPECT_EQ(first.okText, L"OK");
  EXPECT_EQ(first.cancelText, L"キャンセル");
  EXPECT_TRUE(first.defaultOk);

  ASSERT_TRUE(typed.has_value());
  EXPECT_EQ(*typed, platform::WideToAnsi(L"メモ帳 C:\\表示\\ソフト.exe"));
  EXPECT_EQ(*typed, "\x83\x81\x83\x82\x92\xa0 C:\\\x95\x5c\x8e\xa6\\\x83\x5c\x83\x74\x83\x67.exe");
  EXPECT_EQ(second.caption, L"コマンド");
  EXPECT_EQ(second.editText, L"old");
}

TEST(InputBoxWin, CancelAndClosingGiveNothing) {
  SeenInput cancelled, typedThenCancelled;
  DialogRobot robot({Press(cancelled, IDCANCEL), TypeAndPress(typedThenCancelled, L"typed", IDCANCEL),
                     [](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); }});
  EXPECT_FALSE(InputBox("題", "問い", "preset").has_value());
  EXPECT_FALSE(InputBox("題", "問い", "").has_value());
  EXPECT_FALSE(InputBox("題", "問い", "x").has_value());
  EXPECT_EQ(robot.Finish(), 3);
  EXPECT_EQ(cancelled.editText, L"preset");
  EXPECT_EQ(typedThenCancelled.editText, L"");
}

TEST(InputBoxWin, AnEmptyAnswerIsAnAnswerAndTheOwnerIsTheMainWindow) {
  platform::WindowHandle main(CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                              600, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(main);
  platform::SetMainWindow(main.get());
  SeenInput seen;
  RECT dialogRect{};
  DialogRobot robot({[&](HWND dialog) {
    Observe(dialog, seen);
    GetWindowRect(dialog, &dialogRect);
    SendMessageW(FindEdit(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    test::PressButton(dialog, IDOK);
  }});
  // A long prompt over several lines.
  std::string prompt = "一行目\n二行目\n";
  for (int i = 0; i < 10; ++i) prompt += "とても長い説明の文章です。";
  const std::optional<std::string> answer = InputBox("題", prompt, "abc");
  robot.Finish();
  platform::SetMainWindow(nullptr);

  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(*answer, "");
  EXPECT_EQ(seen.owner, main.get());
  // centred on the owner
  RECT mainRect{};
  GetWindowRect(main.get(), &mainRect);
  EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, (mainRect.left + mainRect.right) / 2, 2);
  EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, (mainRect.top + mainRect.bottom) / 2, 2);
  EXPECT_EQ(seen.prompt, platform::Utf8ToWide(prompt));
}

// Types a name into the open-file dialog and presses its OK button.
DialogRobot::Step ChooseName(std::wstring name) {
  return [name](HWND dialog) {
    // the file name box: a combo box (cmb13) or an edit (edt1)
    HWND box = GetDlgItem(dialog, 0x47C);
    if (!box) box = GetDlgItem(dialog, 0x480);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    test::PressButton(dialog, IDOK);
  };
}

TEST(InputBoxWin, ChooseFileToOpenGivesTheAnsiPathOrNothing) {
  test::TempFolder folder("open");
  const std::string file = folder.path() + "\x83\x81\x83\x82.txt";  // メモ.txt
  platform::FileHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)).reset();
  ASSERT_TRUE(test::FileExists(file));

  DialogRobot robot({ChooseName(platform::AnsiToWide(file)), [](HWND dialog) { test::PressButton(dialog, IDCANCEL); }});
  const std::optional<std::string> chosen = ChooseFileToOpen();
  const std::optional<std::string> cancelled = ChooseFileToOpen();
  EXPECT_EQ(robot.Finish(), 2);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(_stricmp(chosen->c_str(), file.c_str()), 0) << *chosen;
  EXPECT_FALSE(cancelled.has_value());
}

std::string CurrentFolder() {
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  return folder;
}

TEST(InputBoxWin, ChooseFileToOpenLeavesTheCurrentFolderAsItWas) {
  test::TempFolder start("open_cwd_start");
  test::TempFolder other("open_cwd_other");
  const std::string file = other.path() + "\x83\x5c\x83\x74\x83\x67.txt";  // ソフト.txt
  platform::FileHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)).reset();
  ASSERT_TRUE(test::FileExists(file));
  const std::string before = CurrentFolder();
  ASSERT_TRUE(SetCurrentDirectoryA(start.path().c_str()));
  const std::string startFolder = CurrentFolder();

  // As a user would: into the other folder first (a folder name and OK
  // browse there), then the file by its name alone.
  DialogRobot robot({[&](HWND dialog) {
    ChooseName(platform::AnsiToWide(other.path()))(dialog);
    Sleep(500);
    ChooseName(L"ソフト.txt")(dialog);
  }});
  const std::optional<std::string> chosen = ChooseFileToOpen();
  EXPECT_EQ(robot.Finish(), 1);
  const std::string after = CurrentFolder();
  SetCurrentDirectoryA(before.c_str());  // so that both folders can be removed

  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(_stricmp(chosen->c_str(), file.c_str()), 0) << *chosen;
  EXPECT_EQ(after, startFolder) << "the chosen file's folder is " << other.path();
}

TEST(InputBoxWin, ChooseFileToOpenRefusesANameTheCodePageCannotHold) {
  test::TempFolder folder("open_wide");
  const std::wstring wideName = platform::AnsiToWide(folder.path()) + L"caf\u00e9\uD55C.txt";  // é and 한
  platform::FileHandle(CreateFileW(wideName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)).reset();
  ASSERT_NE(GetFileAttributesW(wideName.c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_NE(platform::AnsiToWide(platform::WideToAnsi(wideName)), wideName);

  std::wstring warning, caption;
  DialogRobot robot({ChooseName(wideName), [&](HWND box) {
                       caption = test::WindowText(box);
                       warning = test::StaticTexts(box);
                       test::PressButton(box, IDOK);
                     }});
  const std::optional<std::string> chosen = ChooseFileToOpen();
  EXPECT_EQ(robot.Finish(), 2);
  EXPECT_FALSE(chosen.has_value());
  EXPECT_NE(warning.find(L"このファイル名は使えません。"), std::wstring::npos);
  EXPECT_EQ(caption, platform::Utf8ToWide(platform::ApplicationTitle()));
  DeleteFileW(wideName.c_str());
}

}  // namespace
}  // namespace lumora
