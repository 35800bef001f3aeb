// What a file held, in short: how many bytes and a hash of them. Two reads
// that give equal stamps saw the same bytes (but for a chance too small to
// matter), so a program that keeps the stamp of what it last read or wrote
// can tell whether someone else changed the file since, whatever that did
// to the file's time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace lumora::platform {

struct FileStamp {
  std::uint64_t size = 0;
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a, 64 bits

  // Takes in the next bytes of the file.
  void Add(const char* data, std::size_t count);
  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file's bytes as they are now; nothing when there is no
// such file. Throws FileError when the file is there but cannot be read.
std::optional<FileStamp> StampOfFile(const std::string& path);

}  // namespace lumora::platform
