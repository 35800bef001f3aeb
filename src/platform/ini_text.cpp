#include "platform/ini_text.h"

#include <cstddef>
#include <optional>

namespace lumora::platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

// One line of the file: [start, end) its text, [end, next) its line break.
struct Line {
  std::size_t start;
  std::size_t end;
  std::size_t next;
};

// The line from start; a line ends at CR LF, a lone CR or a lone LF.
Line LineAt(std::string_view text, std::size_t start) {
  std::size_t end = start;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
  std::size_t next = end;
  if (next < text.size() && text[next] == '\r') ++next;
  if (next < text.size() && text[next] == '\n' && (next == end || text[next - 1] == '\r')) ++next;
  return {start, end, next};
}

// The name of a section header line ("[name]"); nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  const std::size_t close = line.rfind(']');
  if (close != std::string_view::npos) line = line.substr(0, close);
  return Trim(line);
}

}  // namespace

std::string SetIniValue(std::string_view fileText, std::string_view section, std::string_view key,
                        std::string_view value) {
  std::string keyLine(Trim(key));
  keyLine += '=';
  keyLine += value;

  // A UTF-8 byte order mark at the start is no part of the first line.
  const std::size_t bom = fileText.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  std::size_t pos = bom;
  bool inSection = false;
  std::optional<Line> lastInSection;  // the section's last line that is not blank
  while (pos < fileText.size()) {
    const Line line = LineAt(fileText, pos);
    const std::string_view text = fileText.substr(line.start, line.end - line.start);
    if (const auto name = SectionName(text)) {
      if (inSection) break;  // the key is not in the section
      inSection = SameName(*name, Trim(section));
      if (inSection) lastInSection = line;
    } else if (inSection && !Trim(text).empty()) {
      lastInSection = line;
      const std::size_t equals = text.find('=');
      if (SameName(Trim(text.substr(0, equals)), Trim(key))) {
        // The key's line takes the new value and keeps its line break.
        std::string result(fileText.substr(0, line.start));
        result += keyLine;
        result += fileText.substr(line.end);
        return result;
      }
    }
    pos = line.next;
  }

  if (lastInSection) {
    // A new key after the section's last line.
    std::string result(fileText.substr(0, lastInSection->next));
    if (lastInSection->next == lastInSection->end) result += "\r\n";
    result += keyLine + "\r\n";
    result += fileText.substr(lastInSection->next);
    return result;
  }
  // A new section at the end of the file.
  std::string result(fileText);
  if (result.size() > bom && result.back() != '\n' && result.back() != '\r') result += "\r\n";
  result += "[";
  result += Trim(section);
  result += "]\r\n" + keyLine + "\r\n";
  return result;
}

}  // namespace lumora::platform
