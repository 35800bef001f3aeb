// The help file the build puts beside Lumora.exe: Japanese text in code page
// 932 with CR LF line ends, about the program's hotkey, files and commands.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/frmLumoraU_win.h"
#include "win/shell_test_support.h"

namespace lumora {
namespace {

TEST(HelpFileTest, LiesBesideTheProgramInShiftJisWithCrLf) {
  // The build puts Lumora.exe and readme.txt into bin\ beside the tests' folder.
  const std::string path = GetAppFolder() + "..\\bin\\readme.txt";
  const std::string bytes = test::ReadFileBytes(path);
  ASSERT_FALSE(bytes.empty()) << path;

  const int length = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                         nullptr, 0);
  ASSERT_GT(length, 0) << "not valid code page 932 text";
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);

  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n') {
      EXPECT_TRUE(i > 0 && text[i - 1] == L'\r') << "a lone LF at " << i;
    }
    if (text[i] == L'\r') {
      EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == L'\n') << "a lone CR at " << i;
    }
  }
  EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");
  for (const wchar_t* word : {L"Lumora", L"Ctrl+Shift+Q", L"data\\applist.tsv", L"data\\memo.txt", L"Lumora.ini",
                              L"installed=", L"restart_self=", L"リストをメモ帳で編集する", L"アンインストール"}) {
    EXPECT_NE(text.find(word), std::wstring::npos) << "the help does not mention a word";
  }
}

}  // namespace
}  // namespace lumora
