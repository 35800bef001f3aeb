// The naming rules of new entries and the tests that pick entries for the
// removal of missing files. Paths are ANSI bytes; a backslash that is the
// second byte of a two-byte character is part of its name.
#pragma once

#include <string>
#include <string_view>

namespace lumora {

// The name a dropped file or folder gets: the name part of the path (after
// its last backslash or colon) without its extension (from the last dot; a
// name without a dot, or with its only dot in front, stays whole). A folder keeps its whole last component,
// dots included ("C:\Tools\v1.2" is "v1.2"), and a trailing backslash does
// not count as its end ("D:\" is "D:").
std::string DroppedEntryName(std::string_view path, bool isFolder);

// The name part ends with ".lnk", in any letter case.
bool IsShortcutPath(std::string_view path);

// A target that the removal of missing files looks at: one that holds ":\"
// (a drive path). Web addresses, bare commands, network paths and relative
// paths are never offered for removal.
bool IsDrivePathTarget(std::string_view target);

// The path whose existence decides whether a drive target is gone: a target
// that starts with a double quote is a quoted path, perhaps followed by
// arguments ("C:\Program Files\a.exe" -x), and the path is what the quotes
// enclose; any other target is the path as it stands.
std::string TargetPath(std::string_view target);

// The folder the entry menu opens for a target: everything up to and
// including its last backslash or colon; empty for a target without either.
std::string TargetFolder(std::string_view target);

}  // namespace lumora
