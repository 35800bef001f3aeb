// The memo file "data\memo.txt": the memo window's text in the system code
// page, lines separated by CR LF, no line break after the last line. It is
// read whole and written whole.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lumora {

// The largest memo file the window shows. A bigger one is neither read nor
// shown, and never written over. The edit box takes about 0.2 ms a line
// under Wine: a file of this size in lines of 40 to 50 bytes goes into the
// box in about 6 s, piece by piece while the program goes on answering.
inline constexpr std::size_t kMemoShowLimit = 256 * 1024;

// The text with every line break (CR LF, a lone CR, a lone LF) as CR LF.
// CR and LF are never the second byte of a two-byte character, so the bytes
// are looked at one by one.
std::string MemoLineBreaks(std::string_view text);

// The file's text with its line breaks made CR LF; nothing when there is no
// such file. Throws AppError when the file exists but cannot be read.
std::optional<std::string> ReadMemoFile(const std::string& path);

// The memo file read for the window: nothing when there is no such file;
// otherwise its text with the line breaks made CR LF, or tooLarge (and no
// text) when it holds more than limit bytes, of which no more than limit + 1
// are read. Throws AppError when the file exists but cannot be read.
struct MemoFileText {
  std::string text;
  bool tooLarge = false;
};
std::optional<MemoFileText> ReadMemoFile(const std::string& path, std::size_t limit);

// The code page's conversions that the edit box's trip goes through.
using MemoToWide = std::wstring (*)(std::string_view codePageText);
using MemoToCodePage = std::string (*)(std::wstring_view wideText);

// True when the memo text (line breaks already CR LF) comes out of the edit
// box as the very same bytes: it does not start with a byte order mark (a
// file in another encoding, shown as code-page text), holds no zero (the box
// ends its text there), and every byte is decoded by the code page and
// encoded back the same. A text that fails is written back only after the
// old file was kept (KeepMemoBackup).
bool MemoSurvivesEditBox(std::string_view text, MemoToWide toWide, MemoToCodePage toCodePage);

// The memo file's backup beside it: path + ".bak".
std::string MemoBackupPath(const std::string& path);

// Copies the file as it is now to MemoBackupPath, replacing an older backup
// in one step; nothing when there is no file. Throws AppError when the file
// cannot be read or the copy cannot be written.
void KeepMemoBackup(const std::string& path);

// Writes the text exactly as given, through a temporary file that takes the
// file's place in one step; on failure (a missing folder, a read-only file,
// a full disk) the old file stays as it was and AppError is thrown.
void WriteMemoFile(const std::string& path, std::string_view text);

}  // namespace lumora
