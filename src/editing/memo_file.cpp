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

std::optional<std::string> ReadMemoFile(const std::string& path) {
  if (!platform::FileExists(path)) return std::nullopt;
  const std::unique_ptr<platform::InputFile> file = platform::OpenInputFile(path);
  std::string bytes;
  char buffer[65536];
  for (std::size_t got; (got = file->Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, got);
  return MemoLineBreaks(bytes);
}

void WriteMemoFile(const std::string& path, std::string_view text) {
  const std::unique_ptr<platform::OutputFile> file = platform::CreateOutputFile(path);
  file->Write(text.data(), text.size());
  file->Commit();
}

}  // namespace lumora
