// Byte files on a real file system under Wine: atomic replace and the texts
// of the errors.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/handles_win.h"
#include "platform/unicode_win.h"
#include "shell_test_support.h"

namespace lumora::platform {
namespace {

using test::MakeLink;
using test::UnderWine;

// A fresh folder under the temporary folder, removed with its files.
class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "lumora_files_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(counter_++) + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAA found;
    FindHandle find(FindFirstFileA((path_ + "*").c_str(), &found));
    if (find) {
      do {
        DeleteFileA((path_ + found.cFileName).c_str());
      } while (FindNextFileA(find.get(), &found));
    }
    RemoveDirectoryA(path_.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  static inline int counter_ = 0;
  std::string path_;
};

void WriteWhole(const std::string& path, const std::string& bytes) {
  auto out = CreateOutputFile(path);
  out->Write(bytes.data(), bytes.size());
  out->Commit();
}

std::string ReadWhole(const std::string& path) {
  auto in = OpenInputFile(path);
  std::string bytes;
  char buffer[7];  // small on purpose: many reads
  for (std::size_t n; (n = in->Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  return bytes;
}

int CountFiles(const std::string& folder) {
  WIN32_FIND_DATAA found;
  FindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
  if (!find) return 0;
  int count = 0;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
  } while (FindNextFileA(find.get(), &found));
  return count;
}

std::string ErrorOf(void (*action)(const std::string&), const std::string& path) {
  try {
    action(path);
  } catch (const AppError& error) {
    return error.what();
  }
  return "(no error)";
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(FilesWinTest, WritesAndReadsBytes) {
  TempFolder folder;
  const std::string path = folder.path() + "a.tsv";
  const std::string bytes = std::string("1\t\x95\x5C\r\n", 6) + std::string(1, '\0') + "end";
  WriteWhole(path, bytes);
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(ReadWhole(path), bytes);
  EXPECT_EQ(CountFiles(folder.path()), 1);  // no temporary file left behind
}

TEST(FilesWinTest, TargetStaysAsItWasUntilCommit) {
  TempFolder folder;
  const std::string path = folder.path() + "list.tsv";
  WriteWhole(path, "old");
  {
    auto out = CreateOutputFile(path);
    out->Write("new text", 8);
    EXPECT_EQ(ReadWhole(path), "old");  // still the old file while writing
    EXPECT_EQ(CountFiles(folder.path()), 2);
  }  // no Commit
  EXPECT_EQ(ReadWhole(path), "old");
  EXPECT_EQ(CountFiles(folder.path()), 1);

  auto out = CreateOutputFile(path);
  out->Write("new text", 8);
  out->Commit();
  EXPECT_EQ(ReadWhole(path), "new text");
  EXPECT_EQ(CountFiles(folder.path()), 1);
}

TEST(FilesWinTest, ReadsAFileThatAnotherHandleHasOpenForWriting) {
  TempFolder folder;
  const std::string path = folder.path() + "shared.txt";
  WriteWhole(path, "abc");
  FileHandle writer(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(writer);
  EXPECT_EQ(ReadWhole(path), "abc");
}

TEST(FilesWinTest, AReaderThatHoldsTheTargetForAMomentDelaysTheReplaceOnly) {
  TempFolder folder;
  const std::string path = folder.path() + "Lumora.ini";
  WriteWhole(path, "old");
  // Opened as the profile functions open it: no sharing of deletion, so
  // nothing can be moved over it while it is open.
  const auto openAsReader = [&path] {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
  };
  FileHandle reader(openAsReader());
  ASSERT_TRUE(reader);
  std::thread release([&reader] {
    Sleep(200);
    reader.reset();
  });
  const std::string error = ErrorOf([](const std::string& p) { WriteWhole(p, "new"); }, path);
  release.join();
  EXPECT_EQ(error, "(no error)");
  EXPECT_EQ(ReadWhole(path), "new");
  EXPECT_EQ(CountFiles(folder.path()), 1);

  // Held for good, the save is refused and the file stays as it was.
  reader.reset(openAsReader());
  ASSERT_TRUE(reader);
  EXPECT_NE(ErrorOf([](const std::string& p) { WriteWhole(p, "newer"); }, path), "(no error)");
  reader.reset();
  EXPECT_EQ(ReadWhole(path), "new");
  EXPECT_EQ(CountFiles(folder.path()), 1);
}

TEST(FilesWinTest, FileExistsIsFalseForFoldersAndMissingFiles) {
  TempFolder folder;
  EXPECT_FALSE(FileExists(folder.path() + "missing.txt"));
  EXPECT_FALSE(FileExists(folder.path()));
  EXPECT_FALSE(FileExists(folder.path().substr(0, folder.path().size() - 1)));
}

TEST(FilesWinTest, OpeningAMissingFileNamesThePathAndTheReason) {
  TempFolder folder;
  const std::string path = folder.path() + "missing.tsv";
  const std::string message = ErrorOf([](const std::string& p) { OpenInputFile(p); }, path);
  const std::string head = "ファイル \"" + path + "\" は開けません\r\n";
  ASSERT_EQ(message.compare(0, head.size(), head), 0) << message;
  const std::string reason = message.substr(head.size());
  EXPECT_FALSE(reason.empty()) << message;
  EXPECT_FALSE(EndsWith(reason, ".")) << message;
  EXPECT_FALSE(EndsWith(reason, "。")) << message;
  EXPECT_EQ(reason.find('\r'), std::string::npos) << message;
  EXPECT_EQ(reason.find('\n'), std::string::npos) << message;
}

TEST(FilesWinTest, CreatingInAMissingFolderNamesThePathAndTheReason) {
  TempFolder folder;
  const std::string path = folder.path() + "data\\applist.tsv";
  const std::string message = ErrorOf([](const std::string& p) { CreateOutputFile(p); }, path);
  const std::string head = "ファイル \"" + path + "\" を作成できません\r\n";
  ASSERT_EQ(message.compare(0, head.size(), head), 0) << message;
  const std::string reason = message.substr(head.size());
  EXPECT_FALSE(reason.empty()) << message;
  EXPECT_FALSE(EndsWith(reason, ".")) << message;
  EXPECT_FALSE(EndsWith(reason, "。")) << message;
  EXPECT_EQ(reason.find('\n'), std::string::npos) << message;
  std::printf("message: %s\n", message.c_str());
}

TEST(FilesWinTest, ErrorTextsShowShiftJisPathsAsUtf8) {
  TempFolder folder;
  // "表\" - a folder name whose second byte is a backslash, then a missing file.
  const std::string path = folder.path() + "\x95\x5C\\missing.tsv";
  const std::string message = ErrorOf([](const std::string& p) { OpenInputFile(p); }, path);
  EXPECT_NE(message.find("表\\missing.tsv\""), std::string::npos) << message;
}

TEST(FilesWinTest, AReadOnlyTargetIsNotReplaced) {
  TempFolder folder;
  const std::string path = folder.path() + "locked.tsv";
  WriteWhole(path, "old");
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string message = ErrorOf([](const std::string& p) { WriteWhole(p, "new"); }, path);
  EXPECT_NE(message.find("\" を作成できません\r\n"), std::string::npos) << message;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadWhole(path), "old");
  EXPECT_EQ(CountFiles(folder.path()), 1);
}

TEST(FilesWinTest, AFolderInTheTargetsPlaceIsNotReplaced) {
  TempFolder folder;
  const std::string path = folder.path() + "sub";
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  const std::string message = ErrorOf([](const std::string& p) { WriteWhole(p, "new"); }, path);
  EXPECT_NE(message.find("\" を作成できません\r\n"), std::string::npos) << message;
  EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  RemoveDirectoryA(path.c_str());
}

// --- links -------------------------------------------------------------------

TEST(FilesWinLinkTest, SavingThroughALinkReplacesTheFileItLeadsToAndKeepsTheLink) {
  TempFolder synced;
  TempFolder data;
  const std::string real = synced.path() + "list.tsv";
  const std::string link = data.path() + "applist.tsv";
  WriteWhole(real, "old");
  if (!MakeLink(link, real)) GTEST_SKIP() << "no symbolic link can be made here";
  ASSERT_EQ(ReadWhole(link), "old");

  WriteWhole(link, "new");
  EXPECT_EQ(ReadWhole(real), "new") << "the file the link leads to was not written";
  EXPECT_EQ(ReadWhole(link), "new");
  WriteWhole(real, "changed in the synced folder");
  EXPECT_EQ(ReadWhole(link), "changed in the synced folder") << "the link was replaced by a file";
  EXPECT_EQ(CountFiles(synced.path()), 1);  // no temporary file left beside the real list
  EXPECT_EQ(CountFiles(data.path()), 1);
}

TEST(FilesWinLinkTest, ALinkToALinkReachesTheFileAtTheEnd) {
  TempFolder synced;
  TempFolder data;
  const std::string real = synced.path() + "list.tsv";
  const std::string middle = synced.path() + "middle.tsv";
  const std::string link = data.path() + "applist.tsv";
  WriteWhole(real, "old");
  if (!MakeLink(middle, "list.tsv") || !MakeLink(link, middle)) GTEST_SKIP() << "no symbolic link can be made here";

  WriteWhole(link, "new");
  EXPECT_EQ(ReadWhole(real), "new");
  WriteWhole(real, "newer");
  EXPECT_EQ(ReadWhole(link), "newer") << "a link was replaced by a file";
  EXPECT_EQ(ReadWhole(middle), "newer") << "a link was replaced by a file";
  EXPECT_EQ(CountFiles(synced.path()), 2);
}

TEST(FilesWinLinkTest, ALinkToAFileNotThereYetCreatesThatFile) {
  // Wine shows a Unix link to a missing file as no file at all: a program
  // there cannot tell it from a missing list.
  if (UnderWine()) GTEST_SKIP() << "Wine hides links to missing files";
  TempFolder synced;
  TempFolder data;
  const std::string real = synced.path() + "list.tsv";
  const std::string link = data.path() + "applist.tsv";
  if (!MakeLink(link, real)) GTEST_SKIP() << "no symbolic link can be made here";

  WriteWhole(link, "first");
  EXPECT_EQ(ReadWhole(real), "first");
  WriteWhole(real, "second");
  EXPECT_EQ(ReadWhole(link), "second") << "the link was replaced by a file";
}

}  // namespace
}  // namespace lumora::platform
