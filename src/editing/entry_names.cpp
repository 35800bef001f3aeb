#include "editing/entry_names.h"

#include "sheet/text_primitives.h"

namespace lumora {

std::string DroppedEntryName(std::string_view path, bool isFolder) {
  if (isFolder) {
    // "C:\Tools\" names the folder Tools; the root "D:\" keeps its drive. A
    // backslash that is the second byte of a two-byte character stays.
    std::string folder(path);
    while (!folder.empty() && folder.back() == '\\' && FolderPart(folder).size() == folder.size()) folder.pop_back();
    const std::string name = NamePart(folder);
    return name.empty() ? folder : name;
  }
  const std::string name = NamePart(path);
  // A dot is never the second byte of a two-byte character. A name that
  // only starts with a dot (".profile") has no extension to cut.
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool IsShortcutPath(std::string_view path) {
  const std::string name = NamePart(path);
  if (name.size() < 4) return false;
  const std::string_view extension = std::string_view(name).substr(name.size() - 4);
  constexpr std::string_view kLnk = ".lnk";
  for (std::size_t i = 0; i < 4; ++i) {
    char c = extension[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kLnk[i]) return false;
  }
  return true;
}

bool IsDrivePathTarget(std::string_view target) {
  // A colon is never the byte of a two-byte character, so ":\" cannot
  // start inside one.
  return target.find(":\\") != std::string_view::npos;
}

std::string TargetPath(std::string_view target) {
  if (target.empty() || target.front() != '"') return std::string(target);
  // A quote is never a byte of a two-byte character.
  const std::size_t close = target.find('"', 1);
  return std::string(target.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
}

std::string TargetFolder(std::string_view target) { return FolderPart(target); }

}  // namespace lumora
