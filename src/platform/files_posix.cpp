// Byte files with the C library and POSIX calls, for the native build.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/text_platform.h"

namespace lumora::platform {

namespace {

std::string Reason(int error) { return std::strerror(error); }

[[noreturn]] void ThrowOpenError(const std::string& path, int error) {
  const std::string reason = Reason(error);
  throw FileError("ファイル \"" + Text().AnsiToUtf8(path) + "\" は開けません\r\n" + reason, reason);
}

[[noreturn]] void ThrowCreateError(const std::string& path, int error) {
  const std::string reason = Reason(error);
  throw FileError("ファイル \"" + Text().AnsiToUtf8(path) + "\" を作成できません\r\n" + reason, reason);
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class PosixInputFile : public InputFile {
 public:
  PosixInputFile(std::string path, FilePtr file) : path_(std::move(path)), file_(std::move(file)) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::fread(buffer, 1, size, file_.get());
    if (n == 0 && std::ferror(file_.get())) ThrowOpenError(path_, errno);
    return n;
  }

 private:
  std::string path_;
  FilePtr file_;
};

class PosixOutputFile : public OutputFile {
 public:
  // target is the path errors name; real the file replaced (target, or the
  // file its links lead to).
  PosixOutputFile(std::string target, std::string real, std::string temp, FilePtr file)
      : target_(std::move(target)), real_(std::move(real)), temp_(std::move(temp)), file_(std::move(file)) {}

  ~PosixOutputFile() override {
    if (file_) {
      file_.reset();
      std::remove(temp_.c_str());
    }
  }

  void Write(const char* data, std::size_t size) override {
    if (!file_) ThrowCreateError(target_, EBADF);
    if (size > 0 && std::fwrite(data, 1, size, file_.get()) != size) Fail(errno);
  }

  void Commit() override {
    if (!file_) ThrowCreateError(target_, EBADF);
    if (std::fflush(file_.get()) != 0) Fail(errno);
    if (::fsync(::fileno(file_.get())) != 0) Fail(errno);
    std::FILE* f = file_.release();
    if (std::fclose(f) != 0) {
      const int error = errno;
      std::remove(temp_.c_str());
      ThrowCreateError(target_, error);
    }
    if (std::rename(temp_.c_str(), real_.c_str()) != 0) {
      const int error = errno;
      std::remove(temp_.c_str());
      ThrowCreateError(target_, error);
    }
  }

 private:
  [[noreturn]] void Fail(int error) {
    file_.reset();
    std::remove(temp_.c_str());
    ThrowCreateError(target_, error);
  }

  std::string target_;
  std::string real_;
  std::string temp_;
  FilePtr file_;
};

// The file that writing to path reaches: path itself, or, when path is a
// symbolic link, the file at the end of its chain of links, which need not
// exist yet. Replacing that file keeps the links. Too many links in a row
// (a loop) fail with ELOOP.
std::string FileBehindLinks(const std::string& path) {
  constexpr int kMaxLinks = 40;
  std::string current = path;
  for (int hops = 0;; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    if (hops == kMaxLinks) ThrowCreateError(path, ELOOP);
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    for (;;) {
      const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
      if (length < 0) ThrowCreateError(path, errno);
      if (static_cast<std::size_t>(length) < target.size()) {
        target.resize(static_cast<std::size_t>(length));
        break;
      }
      target.resize(target.size() * 2);  // the link changed meanwhile
    }
    if (target.empty()) ThrowCreateError(path, ENOENT);
    if (target.front() != '/') {
      // Relative to the folder that holds the link.
      const std::size_t slash = current.rfind('/');
      if (slash != std::string::npos) target = current.substr(0, slash + 1) + target;
    }
    current = std::move(target);
  }
}

}  // namespace

std::unique_ptr<InputFile> OpenInputFile(const std::string& path) {
  if (IsDirectory(path)) ThrowOpenError(path, EISDIR);
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) ThrowOpenError(path, errno);
  return std::make_unique<PosixInputFile>(path, std::move(file));
}

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path) {
  if (path.empty()) ThrowCreateError(path, ENOENT);
  if (IsDirectory(path)) ThrowCreateError(path, EISDIR);
  // A link is kept: the temporary file goes beside the file it leads to and
  // replaces that one. Errors still name the path the caller gave.
  const std::string real = FileBehindLinks(path);
  std::string temp = real + ".tmp";
  FilePtr file(std::fopen(temp.c_str(), "wb"));
  if (!file) ThrowCreateError(path, errno);
  return std::make_unique<PosixOutputFile>(path, real, std::move(temp), std::move(file));
}

void RemoveFile(const std::string& path) { std::remove(path.c_str()); }

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace lumora::platform
