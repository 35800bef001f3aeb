// Waiting without fixed sleeps: poll a condition every ~20 ms until it holds or
// the timeout passes. While waiting, the calling thread's own messages are
// dispatched, so a test may wait on windows it created itself.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace lumora::e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

inline constexpr Millis kPollInterval = 20ms;

// Dispatches every message waiting in this thread's queue.
void PumpMessages();

// Keeps dispatching this thread's messages for the given time. For the rare
// case where a test must let time pass (to see that something does NOT happen).
void PumpFor(Millis duration);

// True as soon as done() is true; false when the timeout passes first.
// done() is checked once more at the deadline.
bool WaitUntil(const std::function<bool()>& done, Millis timeout);

// True when holds() stays true, checked every poll, for the whole duration;
// false at the first poll where it does not. For "nothing happens" checks.
bool HoldsFor(const std::function<bool()>& holds, Millis duration);

// Polls get() until it returns a value; nullopt on timeout.
template <class T>
std::optional<T> WaitForValue(const std::function<std::optional<T>()>& get, Millis timeout) {
  std::optional<T> value;
  WaitUntil([&] { return (value = get()).has_value(); }, timeout);
  return value;
}

}  // namespace lumora::e2e
