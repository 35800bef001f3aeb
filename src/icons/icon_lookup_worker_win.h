// The shell lookups of entry icons and the writing of their cache files,
// away from the user-interface thread: a target on a drive that does not
// answer (a disconnected network drive, an empty removable drive, a sleeping
// disk) can hold a lookup for seconds, and a file written safely waits for
// the disk; the rows must go on painting meanwhile. One worker thread,
// started with the first job, takes the jobs in order; each answer is queued
// and the window is told with a posted message, on which it collects the
// answers (TakeAnswers).
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "icons/icon_cache.h"

namespace lumora {

// The lookup itself: the icon of a target, nothing when it has none. Runs on
// the worker thread; tests put a lookup of their own here.
using IconLookup = std::function<std::optional<IconPixels>(const std::string& target)>;
// The icon of a target at size pixels square (above 96 DPI), as size rows of
// size 32-bit pixels (0x00RRGGBB) on white, top row first; nothing when it
// has none. Runs on the worker thread.
using SizedIconLookup = std::function<std::optional<std::vector<std::uint32_t>>(const std::string& target, int size)>;

struct IconAnswer {
  std::int64_t slot = 0;
  std::string idText;
  unsigned generation = 0;
  std::optional<IconPixels> pixels;
  // Set by RequestAtSize: the size asked for, and its answer in sized.
  int size = kIconSide;
  std::optional<std::vector<std::uint32_t>> sized;
};

class IconLookupWorker : public IconRequester, public IconFileWriter {
 public:
  // Answers are announced by posting message to window. An empty lookup
  // means the shell's (LookUpTargetIcon, LookUpTargetIconAt).
  IconLookupWorker(HWND window, UINT message, IconLookup lookup = {}, SizedIconLookup sizedLookup = {});
  // Stops the thread; a lookup that does not come back within a second is
  // left to end with the process.
  ~IconLookupWorker() override;
  IconLookupWorker(const IconLookupWorker&) = delete;
  IconLookupWorker& operator=(const IconLookupWorker&) = delete;

  void Request(std::int64_t slot, const std::string& idText, const std::string& target,
               unsigned generation) override;
  // A lookup at size pixels square; its answer carries the size.
  void RequestAtSize(std::int64_t slot, const std::string& idText, const std::string& target, unsigned generation,
                     int size);
  // Writes the file (replacing it safely); a failure is dropped.
  void WriteIconFile(const std::string& path, std::string bytes) override;
  // Deletes the file after the writes queued before; a failure is dropped.
  void RemoveIconFile(const std::string& path) override;
  // The answers that have arrived since the last call, in order.
  std::vector<IconAnswer> TakeAnswers();
  // Drops every job not yet started (the caches were cleared).
  void DropWaitingJobs();
  // True while a job is queued or running.
  bool Busy() const;

 private:
  struct Job {
    IconAnswer answer;
    std::string target;
    bool write = false;   // a cache file: target is its path, bytes its content
    bool remove = false;  // with write: the cache file is deleted instead
    std::string bytes;
  };
  // Shared with the thread, so that a thread left behind at the end still
  // has what it works on.
  struct Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable finished;
    std::deque<Job> jobs;
    std::vector<IconAnswer> answers;
    bool stop = false;
    bool done = false;
    bool running = false;
    HWND window = nullptr;
    UINT message = 0;
    IconLookup lookup;
    SizedIconLookup sizedLookup;
  };
  // Starts the thread with the first job.
  void Start();
  static void Run(std::shared_ptr<Shared> shared) noexcept;

  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace lumora
