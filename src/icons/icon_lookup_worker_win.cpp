#include "icons/icon_lookup_worker_win.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <utility>

#include "icons/unit_geticon_win.h"
#include "platform/files.h"
#include "platform/handles_win.h"

namespace lumora {

IconLookupWorker::IconLookupWorker(HWND window, UINT message, IconLookup lookup, SizedIconLookup sizedLookup)
    : shared_(std::make_shared<Shared>()) {
  shared_->window = window;
  shared_->message = message;
  shared_->lookup = lookup ? std::move(lookup) : IconLookup(LookUpTargetIcon);
  shared_->sizedLookup = sizedLookup ? std::move(sizedLookup) : SizedIconLookup(LookUpTargetIconAt);
}

IconLookupWorker::~IconLookupWorker() {
  if (!thread_.joinable()) return;  // never asked for anything
  std::unique_lock<std::mutex> lock(shared_->mutex);
  shared_->stop = true;
  shared_->jobs.clear();
  shared_->window = nullptr;
  shared_->wake.notify_all();
  const bool ended = shared_->finished.wait_for(lock, std::chrono::seconds(1), [this] { return shared_->done; });
  lock.unlock();
  if (ended) {
    thread_.join();
  } else {
    thread_.detach();
  }
}

void IconLookupWorker::Request(std::int64_t slot, const std::string& idText, const std::string& target,
                               unsigned generation) {
  Start();
  const std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->jobs.push_back(
      Job{IconAnswer{slot, idText, generation, std::nullopt, kIconSide, std::nullopt}, target, false, false, {}});
  shared_->wake.notify_one();
}

void IconLookupWorker::RequestAtSize(std::int64_t slot, const std::string& idText, const std::string& target,
                                     unsigned generation, int size) {
  Start();
  const std::lock_guard<std::mutex> lock(shared_->mutex);
  Job job;
  job.answer = IconAnswer{slot, idText, generation, std::nullopt, size, std::nullopt};
  job.target = target;
  shared_->jobs.push_back(std::move(job));
  shared_->wake.notify_one();
}

void IconLookupWorker::Start() {
  // The thread and its stack cost nothing until the first icon is looked up
  // or written: a launcher that stays in the tray never needs them.
  if (!thread_.joinable()) thread_ = std::thread(Run, shared_);
}

void IconLookupWorker::WriteIconFile(const std::string& path, std::string bytes) {
  Start();
  const std::lock_guard<std::mutex> lock(shared_->mutex);
  Job job;
  job.write = true;
  job.target = path;
  job.bytes = std::move(bytes);
  shared_->jobs.push_back(std::move(job));
  shared_->wake.notify_one();
}

void IconLookupWorker::RemoveIconFile(const std::string& path) {
  Start();
  const std::lock_guard<std::mutex> lock(shared_->mutex);
  Job job;
  job.write = true;
  job.remove = true;
  job.target = path;
  shared_->jobs.push_back(std::move(job));
  shared_->wake.notify_one();
}

void IconLookupWorker::DropWaitingJobs() {
  const std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->jobs.clear();
  shared_->answers.clear();
}

bool IconLookupWorker::Busy() const {
  const std::lock_guard<std::mutex> lock(shared_->mutex);
  return shared_->running || !shared_->jobs.empty();
}

std::vector<IconAnswer> IconLookupWorker::TakeAnswers() {
  const std::lock_guard<std::mutex> lock(shared_->mutex);
  return std::exchange(shared_->answers, {});
}

void IconLookupWorker::Run(std::shared_ptr<Shared> shared) noexcept {
  // The shell's icon lookup wants COM on its thread.
  const platform::ComScope com;
  std::unique_lock<std::mutex> lock(shared->mutex);
  for (;;) {
    shared->wake.wait(lock, [&] { return shared->stop || !shared->jobs.empty(); });
    if (shared->stop) break;
    // Lookups first: a row waits for its icon, nobody waits for a file.
    auto next = std::find_if(shared->jobs.begin(), shared->jobs.end(), [](const Job& j) { return !j.write; });
    if (next == shared->jobs.end()) next = shared->jobs.begin();
    Job job = std::move(*next);
    shared->jobs.erase(next);
    shared->running = true;
    lock.unlock();
    if (job.remove) {
      platform::RemoveFile(job.target);
    } else if (job.write) {
      try {
        const std::unique_ptr<platform::OutputFile> file = platform::CreateOutputFile(job.target);
        file->Write(job.bytes.data(), job.bytes.size());
        file->Commit();
      } catch (...) {
        // "icons\" removed or read-only, a full disk: the icon stays in
        // memory for this run, and the next run tries the file again.
      }
    }
    if (job.write) {
      lock.lock();
      shared->running = false;
      if (shared->stop) break;
      continue;
    }
    try {
      if (job.answer.size == kIconSide) {
        job.answer.pixels = shared->lookup(job.target);
      } else {
        job.answer.sized = shared->sizedLookup(job.target, job.answer.size);
      }
    } catch (...) {
      // A failed lookup gives the default icon, as a missing target does.
      job.answer.pixels.reset();
      job.answer.sized.reset();
    }
    lock.lock();
    shared->running = false;
    if (shared->stop) break;
    const bool first = shared->answers.empty();
    shared->answers.push_back(std::move(job.answer));
    // One message announces every answer that arrives before it is handled.
    if (first && shared->window) PostMessageW(shared->window, shared->message, 0, 0);
  }
  shared->done = true;
  shared->finished.notify_all();
}

}  // namespace lumora
