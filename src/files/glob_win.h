// The file search: TGlob lists the entries of one folder that match a name
// pattern, split into folders and files; FindFiles walks a folder tree with
// it and gives the full paths of every matching file at any depth. Paths
// are ANSI. Folders whose names begin with "." (.git, .svn) are neither
// listed nor entered.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace lumora {

class TGlob {
 public:
  // A pattern ending with a backslash lists every entry of that folder.
  explicit TGlob(std::string pattern);

  // Lists the entries of the pattern's folder that match its name part
  // (wildcards "*" and "?", letters without regard to case). Hidden, system
  // and read-only entries are found too. A folder that does not exist or
  // cannot be read leaves both lists empty.
  void Search(const std::string& pattern);
  // The folder part of the last pattern, with its trailing backslash (or
  // colon); empty when the pattern had none.
  const std::string& GetFolder() const { return folder; }

  const std::vector<std::string>& Folders() const { return dirList; }
  const std::vector<std::string>& Files() const { return fileList; }

 private:
  void AddFound();

  WIN32_FIND_DATAA searchRec{};
  std::string folder;
  std::string mask_;                  // the name part of the last pattern
  std::vector<std::string> dirList;   // names of folders, without ".", ".." and dot-folders
  std::vector<std::string> fileList;  // names of everything else
};

using FileList = std::vector<std::string>;

// The full paths of every file under the pattern's folder, at any depth,
// whose name matches the pattern's name part, in pre-order: a folder's own
// files in the order the system lists them, then each subfolder's in turn.
// Folders that match the name part are entered, not listed. A pattern
// without a folder part searches the current folder and gives relative
// paths; one ending with a backslash gives every file. An empty list when
// the folder does not exist; null only when the search itself failed.
std::unique_ptr<FileList> FindFiles(const std::string& pattern);

}  // namespace lumora
