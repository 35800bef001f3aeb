// The memo file "data\memo.txt": the memo window's text in the system code
// page, lines separated by CR LF, no line break after the last line. It is
// read whole and written whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumora {

// The text with every line break (CR LF, a lone CR, a lone LF) as CR LF.
// CR and LF are never the second byte of a two-byte character, so the bytes
// are looked at one by one.
std::string MemoLineBreaks(std::string_view text);

// The file's text with its line breaks made CR LF; nothing when there is no
// such file. Throws AppError when the file exists but cannot be read.
std::optional<std::string> ReadMemoFile(const std::string& path);

// Writes the text exactly as given, through a temporary file that takes the
// file's place in one step; on failure (a missing folder, a read-only file,
// a full disk) the old file stays as it was and AppError is thrown.
void WriteMemoFile(const std::string& path, std::string_view text);

}  // namespace lumora
