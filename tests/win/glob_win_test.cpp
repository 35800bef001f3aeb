// The file search over real folders: TGlob's two lists and FindFiles' walk
// in pre-order, dot-folders, hidden and system files, folders that match the
// mask, patterns with and without a folder part, and a missing folder.
#include "files/glob_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/handles_win.h"

namespace lumora {
namespace {

class GlobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    root_ = std::string(temp) + "lumora_glob_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++counter) + "\\";
    ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr));
  }
  void TearDown() override {
    SetCurrentDirectoryA(saved_.empty() ? "C:\\" : saved_.c_str());
    Remove(root_);
  }
  static void Remove(const std::string& folder) {
    WIN32_FIND_DATAA found;
    platform::FindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
    if (find) {
      do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          Remove(folder + name + "\\");
        } else {
          DeleteFileA((folder + name).c_str());
        }
      } while (FindNextFileA(find.get(), &found));
    }
    find.reset();
    RemoveDirectoryA(folder.c_str());
  }
  void File(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    platform::FileHandle file(CreateFileA((root_ + relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << relative;
    file.reset();
    ASSERT_TRUE(SetFileAttributesA((root_ + relative).c_str(), attributes));
  }
  void Folder(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(CreateDirectoryA((root_ + relative).c_str(), nullptr)) << relative;
    if (attributes != FILE_ATTRIBUTE_NORMAL) {
      ASSERT_TRUE(SetFileAttributesA((root_ + relative).c_str(), attributes));
    }
  }
  static std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string root_;
  std::string saved_;
};

TEST_F(GlobTest, ListsFoldersAndFilesApartWithoutDotFoldersButWithDotFiles) {
  Folder("sub");
  Folder(".git");
  File("a.bmp");
  File(".bmp");
  File("b.txt");
  const TGlob glob(root_ + "*");
  EXPECT_EQ(glob.GetFolder(), root_);
  EXPECT_EQ(Sorted(glob.Folders()), (std::vector<std::string>{"sub"}));
  EXPECT_EQ(Sorted(glob.Files()), (std::vector<std::string>{".bmp", "a.bmp", "b.txt"}));
}

TEST_F(GlobTest, APatternEndingWithABackslashListsEverythingAndSearchReplacesTheLists) {
  File("one.txt");
  Folder("two");
  TGlob glob(root_);
  EXPECT_EQ(glob.Files(), (std::vector<std::string>{"one.txt"}));
  EXPECT_EQ(glob.Folders(), (std::vector<std::string>{"two"}));
  glob.Search(root_ + "two\\*");
  EXPECT_EQ(glob.GetFolder(), root_ + "two\\");
  EXPECT_TRUE(glob.Files().empty());
  EXPECT_TRUE(glob.Folders().empty());
}

TEST_F(GlobTest, MasksMatchNamesWithoutRegardToCase) {
  File("a.BMP");
  File("b.bmp");
  File("c.bmpx");
  File("d.txt");
  const TGlob glob(root_ + "*.bmp");
  EXPECT_EQ(Sorted(glob.Files()), (std::vector<std::string>{"a.BMP", "b.bmp"}));
}

TEST_F(GlobTest, FindFilesWalksInPreOrderEnteringMatchingFoldersAndSkippingDotFolders) {
  File("top.bmp");
  File("skip.txt");
  Folder("old.bmp");
  File("old.bmp\\in.bmp");
  Folder("deep");
  Folder("deep\\deeper");
  File("deep\\deeper\\low.bmp");
  File("deep\\mid.bmp");
  Folder(".cache");
  File(".cache\\hidden.bmp");
  const std::unique_ptr<FileList> found = FindFiles(root_ + "*.bmp");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(Sorted(*found), Sorted({root_ + "top.bmp", root_ + "old.bmp\\in.bmp", root_ + "deep\\mid.bmp",
                                    root_ + "deep\\deeper\\low.bmp"}));
  // Pre-order: a folder's own files before its subfolders', mid before low.
  const auto at = [&](const std::string& path) { return std::find(found->begin(), found->end(), path) - found->begin(); };
  EXPECT_EQ(at(root_ + "top.bmp"), 0);
  EXPECT_LT(at(root_ + "deep\\mid.bmp"), at(root_ + "deep\\deeper\\low.bmp"));
}

TEST_F(GlobTest, HiddenSystemAndReadOnlyFilesAndFoldersAreFound) {
  File("h.bmp", FILE_ATTRIBUTE_HIDDEN);
  File("s.bmp", FILE_ATTRIBUTE_SYSTEM);
  File("r.bmp", FILE_ATTRIBUTE_READONLY);
  Folder("hid", FILE_ATTRIBUTE_HIDDEN);
  File("hid\\x.bmp");
  const std::unique_ptr<FileList> found = FindFiles(root_ + "*.bmp");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(Sorted(*found), Sorted({root_ + "h.bmp", root_ + "s.bmp", root_ + "r.bmp", root_ + "hid\\x.bmp"}));
}

TEST_F(GlobTest, AnEmptyMaskListsEveryFileOfTheTree) {
  File("a.txt");
  Folder("f");
  File("f\\b.dat");
  const std::unique_ptr<FileList> found = FindFiles(root_);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(Sorted(*found), Sorted({root_ + "a.txt", root_ + "f\\b.dat"}));
}

TEST_F(GlobTest, APatternWithoutFolderSearchesTheCurrentFolderWithRelativePaths) {
  File("rel.bmp");
  Folder("in");
  File("in\\sub.bmp");
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  saved_ = current;
  ASSERT_TRUE(SetCurrentDirectoryA(root_.c_str()));
  const std::unique_ptr<FileList> found = FindFiles("*.bmp");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(Sorted(*found), Sorted({"rel.bmp", "in\\sub.bmp"}));
}

TEST_F(GlobTest, AMissingFolderGivesAnEmptyListNotNull) {
  const std::unique_ptr<FileList> found = FindFiles(root_ + "missing\\*.bmp");
  ASSERT_NE(found, nullptr);
  EXPECT_TRUE(found->empty());
  const TGlob glob(root_ + "missing\\");
  EXPECT_TRUE(glob.Files().empty());
  EXPECT_TRUE(glob.Folders().empty());
}

}  // namespace
}  // namespace lumora
