#include "platform/file_stamp.h"

#include <vector>

#include "platform/files.h"

namespace lumora::platform {

void FileStamp::Add(const char* data, std::size_t count) {
  size += count;
  for (std::size_t i = 0; i < count; ++i) {
    hash ^= static_cast<unsigned char>(data[i]);
    hash *= 1099511628211ull;
  }
}

std::optional<FileStamp> StampOfFile(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  const auto file = OpenInputFile(path);
  std::vector<char> buffer(64 * 1024);
  FileStamp stamp;
  while (const std::size_t read = file->Read(buffer.data(), buffer.size())) stamp.Add(buffer.data(), read);
  return stamp;
}

}  // namespace lumora::platform
