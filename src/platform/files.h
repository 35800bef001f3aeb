// Byte files for the portable core. Paths are ANSI byte strings. Opening or
// creating a file that fails throws FileError with the texts
//   ファイル "<path>" は開けません      (reading)
//   ファイル "<path>" を作成できません  (writing)
// followed by the system's own text for the failure on a line of its own.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

#include "platform/error.h"

namespace lumora::platform {

// The error of a file that cannot be opened, read or created: the message
// as above; Reason() is the system's reason alone, for callers that tell of
// the failure in words of their own.
class FileError : public AppError {
 public:
  FileError(const std::string& utf8Message, std::string reason)
      : AppError(utf8Message), reason_(std::move(reason)) {}
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to size bytes; returns how many were read, 0 at the end.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// A file being written. The bytes go to a temporary file beside the target;
// Commit flushes it to disk and puts it in the target's place in one step, so
// a crash leaves either the old file or the new one. An output file that is
// destroyed without Commit removes its temporary file and leaves the target
// as it was. When the target is a symbolic link (a list kept in a synced
// folder), the file at the end of its links is the one written that way,
// beside itself, whether it exists yet or not; the links stay as they are.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual void Write(const char* data, std::size_t size) = 0;
  virtual void Commit() = 0;
};

std::unique_ptr<InputFile> OpenInputFile(const std::string& path);
std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path);

// Deletes the file when it is there; a failure is no error.
void RemoveFile(const std::string& path);

// True when path names an existing file (not a folder).
bool FileExists(const std::string& path);

}  // namespace lumora::platform
