#include "editing/memo_file.h"

#include <memory>

#include "platform/files.h"

namespace lumora {

std::string MemoLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

namespace {

// The file's bytes, no more than limit + 1 of them; nothing when there is no
// such file.
std::optional<std::string> ReadBytes(const std::string& path, std::size_t limit) {
  if (!platform::FileExists(path)) return std::nullopt;
  const std::unique_ptr<platform::InputFile> file = platform::OpenInputFile(path);
  std::string bytes;
  char buffer[65536];
  for (std::size_t got; bytes.size() <= limit && (got = file->Read(buffer, sizeof buffer)) > 0;) {
    bytes.append(buffer, got);
  }
  return bytes;
}

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

}  // namespace

std::optional<std::string> ReadMemoFile(const std::string& path) {
  std::optional<std::string> bytes = ReadBytes(path, std::string::npos - 1);
  if (!bytes) return std::nullopt;
  return MemoLineBreaks(*bytes);
}

std::optional<MemoFileText> ReadMemoFile(const std::string& path, std::size_t limit) {
  const std::optional<std::string> bytes = ReadBytes(path, limit);
  if (!bytes) return std::nullopt;
  MemoFileText read;
  if (bytes->size() > limit) {
    read.tooLarge = true;
  } else {
    read.text = MemoLineBreaks(*bytes);
  }
  return read;
}

bool MemoSurvivesEditBox(std::string_view text, MemoToWide toWide, MemoToCodePage toCodePage) {
  for (const std::string_view mark : {std::string_view("\xEF\xBB\xBF"), std::string_view("\xFF\xFE"),
                                      std::string_view("\xFE\xFF")}) {
    if (StartsWith(text, mark)) return false;
  }
  const std::wstring wide = toWide(text);
  if (wide.find(L'\0') != std::wstring::npos) return false;
  return toCodePage(wide) == text;
}

std::string MemoBackupPath(const std::string& path) { return path + ".bak"; }

void KeepMemoBackup(const std::string& path) {
  const std::optional<std::string> bytes = ReadBytes(path, std::string::npos - 1);
  if (!bytes) return;
  const std::unique_ptr<platform::OutputFile> file = platform::CreateOutputFile(MemoBackupPath(path));
  file->Write(bytes->data(), bytes->size());
  file->Commit();
}

void WriteMemoFile(const std::string& path, std::string_view text) {
  const std::unique_ptr<platform::OutputFile> file = platform::CreateOutputFile(path);
  file->Write(text.data(), text.size());
  file->Commit();
}

}  // namespace lumora
