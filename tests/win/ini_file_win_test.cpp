// The settings file on a real file system under Wine: round trips, number
// forms, the 2,047-byte cut, writes that reach the disk at once, and the
// error of a write that cannot happen.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/error.h"
#include "platform/ini_file_win.h"
#include "platform/unicode_win.h"
#include "shell_test_support.h"

namespace lumora::platform {
namespace {

using test::ReadFileBytes;
using test::TempFolder;

TEST(IniFileWin, StringsRoundTripIncludingShiftJisAndReachTheDiskAtOnce) {
  TempFolder folder("ini");
  IniFile ini(folder.path() + "settings.ini");
  EXPECT_FALSE(test::FileExists(ini.Path()));  // comes into being with the first write

  // "表示" has 0x5C as its second byte; "ソ" too.
  const std::string japanese = "\x95\x5c\x8e\xa6\x83\x5c\x83\x74\x83\x67 C:\\x";
  ini.WriteString("Main", "Name", japanese);
  EXPECT_EQ(ini.ReadString("Main", "Name", "none"), japanese);
  EXPECT_NE(ReadFileBytes(ini.Path()).find("Name=" + japanese), std::string::npos);

  // A second write replaces the value in the file right away, with no flush.
  ini.WriteString("Main", "Name", "second");
  EXPECT_EQ(ini.ReadString("Main", "Name", "none"), "second");
  const std::string bytes = ReadFileBytes(ini.Path());
  EXPECT_NE(bytes.find("[Main]"), std::string::npos);
  EXPECT_NE(bytes.find("Name=second"), std::string::npos);
  EXPECT_EQ(bytes.find(japanese), std::string::npos);

  // A change made on disk behind the program's back is seen by the next read.
  {
    platform::FileHandle file(CreateFileA(ini.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    const std::string text = "[Main]\r\nName=edited\r\n";
    DWORD written = 0;
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
  EXPECT_EQ(ini.ReadString("Main", "Name", "none"), "edited");

  ini.WriteString("Main", "Empty", "");
  EXPECT_EQ(ini.ReadString("Main", "Empty", "none"), "");
}

TEST(IniFileWin, MissingKeysSectionsAndFilesGiveTheDefaults) {
  TempFolder folder("ini");
  IniFile missingFile(folder.path() + "absent.ini");
  EXPECT_EQ(missingFile.ReadString("Main", "Key", "fallback"), "fallback");
  EXPECT_EQ(missingFile.ReadInteger("Main", "Key", -7), -7);
  EXPECT_TRUE(missingFile.ReadBool("Main", "Key", true));
  EXPECT_FALSE(missingFile.ReadBool("Main", "Key", false));
  EXPECT_FALSE(test::FileExists(missingFile.Path()));

  IniFile ini(folder.path() + "settings.ini");
  ini.WriteString("Main", "Present", "1");
  EXPECT_EQ(ini.ReadString("Main", "Other", "d"), "d");
  EXPECT_EQ(ini.ReadString("Other", "Present", "d"), "d");
  EXPECT_EQ(ini.ReadInteger("Other", "Present", 42), 42);
}

TEST(IniFileWin, IntegersInDecimalAndHexadecimal) {
  TempFolder folder("ini");
  IniFile ini(folder.path() + "numbers.ini");
  ini.WriteInteger("N", "Negative", -123456);
  ini.WriteInteger("N", "Max", 2147483647);
  ini.WriteInteger("N", "Min", -2147483647 - 1);
  EXPECT_EQ(ini.ReadString("N", "Negative", ""), "-123456");
  EXPECT_EQ(ini.ReadInteger("N", "Negative", 0), -123456);
  EXPECT_EQ(ini.ReadInteger("N", "Max", 0), 2147483647);
  EXPECT_EQ(ini.ReadInteger("N", "Min", 0), -2147483647 - 1);

  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"0x1F", 31},        {"0X10", 16},         {"0xffffffff", -1},  {"0x0000000000FF", 255},
      {"  12  ", 12},      {"\t+8", 8},          {"007", 7},          {"0", 0},
      // not numbers: the default, 99
      {"12abc", 99},       {"abc", 99},          {"0x", 99},          {"0x1G", 99},
      {"0x100000000", 99}, {"2147483648", 99},   {"-2147483649", 99}, {"1 2", 99},
      {"-", 99},           {"$1F", 99},          {"1.5", 99},
  };
  for (const Case& c : cases) {
    ini.WriteString("N", "Value", c.text);
    EXPECT_EQ(ini.ReadInteger("N", "Value", 99), c.expected) << '"' << c.text << '"';
  }
}

TEST(IniFileWin, BooleansAreIntegersNonZeroMeaningTrue) {
  TempFolder folder("ini");
  IniFile ini(folder.path() + "flags.ini");
  ini.WriteBool("F", "On", true);
  ini.WriteBool("F", "Off", false);
  EXPECT_EQ(ini.ReadString("F", "On", ""), "1");
  EXPECT_EQ(ini.ReadString("F", "Off", ""), "0");
  EXPECT_TRUE(ini.ReadBool("F", "On", false));
  EXPECT_FALSE(ini.ReadBool("F", "Off", true));
  ini.WriteString("F", "Two", "2");
  EXPECT_TRUE(ini.ReadBool("F", "Two", false));
  ini.WriteString("F", "Hex", "0x0");
  EXPECT_FALSE(ini.ReadBool("F", "Hex", true));
  ini.WriteString("F", "Word", "yes");  // no number: the default
  EXPECT_FALSE(ini.ReadBool("F", "Word", false));
  EXPECT_TRUE(ini.ReadBool("F", "Word", true));
}

TEST(IniFileWin, LongValuesAreCutTo2047Bytes) {
  TempFolder folder("ini");
  IniFile ini(folder.path() + "long.ini");
  std::string value;
  for (int i = 0; i < 3000; ++i) value += static_cast<char>('a' + i % 26);
  ini.WriteString("L", "Long", value);
  EXPECT_NE(ReadFileBytes(ini.Path()).find(value), std::string::npos);  // the file holds it all
  EXPECT_EQ(ini.ReadString("L", "Long", ""), value.substr(0, 2047));

  const std::string fits = value.substr(0, 2047);
  ini.WriteString("L", "Fits", fits);
  EXPECT_EQ(ini.ReadString("L", "Fits", ""), fits);
}

// The file, then the system's reason on a line of its own.
void ExpectWriteError(const AppError& error, const std::string& path) {
  const std::string head = AnsiToUtf8(path) + " に書き込めません\r\n";
  EXPECT_EQ(std::string(error.what()).substr(0, head.size()), head);
  EXPECT_GT(std::string(error.what()).size(), head.size());  // the reason
}

TEST(IniFileWin, AWriteThatCannotHappenThrowsWithThePath) {
  TempFolder folder("ini");
  const std::string missingFolderPath = folder.path() + "no_such_folder\\settings.ini";
  IniFile inMissingFolder(missingFolderPath);
  try {
    inMissingFolder.WriteString("S", "K", "v");
    FAIL() << "no error for a file in a missing folder";
  } catch (const AppError& error) {
    ExpectWriteError(error, missingFolderPath);
  }

  // The path in the message is shown in UTF-8: a Japanese folder name.
  const std::string japaneseFolder = folder.path() + "\x90\xdd\x92\xe8";  // 設定
  const std::string japanesePath = japaneseFolder + "\\missing\\a.ini";
  try {
    IniFile(japanesePath).WriteInteger("S", "K", 1);
    FAIL() << "no error for a file in a missing folder";
  } catch (const AppError& error) {
    ExpectWriteError(error, japanesePath);
    EXPECT_NE(std::string(error.what()).find("設定"), std::string::npos);
  }

  // A folder where the file should be.
  const std::string folderAsFile = folder.path() + "is_a_folder.ini";
  ASSERT_TRUE(CreateDirectoryA(folderAsFile.c_str(), nullptr));
  EXPECT_THROW(IniFile(folderAsFile).WriteBool("S", "K", true), AppError);
}

// A file that another program holds open without sharing cannot be written.
// (A read-only attribute is no test under Wine run as root: the Unix
// permission it maps to does not stop root.)
TEST(IniFileWin, AFileHeldOpenByAnotherProgramIsNotChanged) {
  TempFolder folder("ini");
  IniFile ini(folder.path() + "locked.ini");
  ini.WriteString("S", "K", "before");
  {
    platform::FileHandle lock(
        CreateFileA(ini.Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    try {
      ini.WriteString("S", "K", "after");
      ADD_FAILURE() << "no error for a file held open without sharing";
    } catch (const AppError& error) {
      ExpectWriteError(error, ini.Path());
    }
  }
  EXPECT_NE(ReadFileBytes(ini.Path()).find("K=before"), std::string::npos);
  EXPECT_EQ(ini.ReadString("S", "K", ""), "before");
  EXPECT_FALSE(test::FileExists(ini.Path() + ".tmp~"));
}

TEST(IniFileWin, ProgramSettingsPathIsTheExecutableWithIni) {
  const std::string path = ProgramSettingsPath();
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::string exePath = exe;
  ASSERT_GE(path.size(), std::string("lumora_win_tests.ini").size());
  EXPECT_EQ(path.substr(path.size() - 20), "lumora_win_tests.ini");
  // the same folder, the name with only its extension replaced
  EXPECT_EQ(path, exePath.substr(0, exePath.size() - 4) + ".ini");
}

}  // namespace
}  // namespace lumora::platform
