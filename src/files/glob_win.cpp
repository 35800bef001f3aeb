#include "files/glob_win.h"

#include <exception>
#include <utility>

#include "files/name_mask.h"
#include "platform/handles_win.h"
#include "sheet/text_primitives.h"

namespace lumora {

TGlob::TGlob(std::string pattern) {
  if (!pattern.empty() && pattern.back() == '\\') pattern += '*';
  Search(pattern);
}

void TGlob::Search(const std::string& pattern) {
  folder = FolderPart(pattern);
  mask_ = NamePart(pattern);
  dirList.clear();
  fileList.clear();
  // FindFirstFileA lists entries of every attribute (kAnyAttribute):
  // hidden and system entries are found as well.
  platform::FindHandle search(FindFirstFileA(pattern.c_str(), &searchRec));
  if (!search) return;
  do {
    AddFound();
  } while (FindNextFileA(search.get(), &searchRec));
}

void TGlob::AddFound() {
  const std::string name = searchRec.cFileName;
  // The system also matches the short 8.3 alias: "*.bmp" would find
  // "a.bmpx" by "A~1.BMP". Only the name itself counts here.
  if (!MatchesNameMask(name, mask_)) return;
  if (searchRec.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    if (!name.empty() && name.front() != '.') dirList.push_back(name);
  } else {
    fileList.push_back(name);
  }
}

namespace {

void SearchFolder(const std::string& folder, const std::string& mask, FileList& result) {
  {
    const TGlob files(folder + mask);
    for (const std::string& name : files.Files()) result.push_back(files.GetFolder() + name);
  }
  const TGlob folders(folder + "*");
  for (const std::string& name : folders.Folders()) {
    if (name.front() != '.') SearchFolder(folders.GetFolder() + name + "\\", mask, result);
  }
}

}  // namespace

std::unique_ptr<FileList> FindFiles(const std::string& pattern) {
  try {
    const std::string folder = FolderPart(pattern);
    std::string mask = NamePart(pattern);
    if (mask.empty()) mask = "*";
    auto result = std::make_unique<FileList>();
    SearchFolder(folder, mask, *result);
    return result;
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace lumora
