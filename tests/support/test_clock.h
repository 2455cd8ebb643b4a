// A clock for tests: time passes only when someone sleeps on it (or Advance is called),
// so a test of a 1.1 s reply wait runs in microseconds. Safe to share between threads.
#pragma once

#include <atomic>
#include <chrono>

#include "clock.h"

namespace qeltest {

class TestClock final : public qelio::Clock {
  public:
    TimePoint Now() override { return TimePoint(Duration(now_.load())); }
    // Advances virtual time by `d` (a zero sleep only yields the real thread).
    void SleepFor(Duration d) override;
    void Advance(Duration d) { now_.fetch_add(d.count()); }
    // Total virtual time slept through SleepFor.
    Duration Slept() const { return Duration(slept_.load()); }
    int64_t Sleeps() const { return sleeps_.load(); }

  private:
    std::atomic<int64_t> now_{1'000'000'000};  // starts at 1 s, never at 0
    std::atomic<int64_t> slept_{0};
    std::atomic<int64_t> sleeps_{0};
};

}  // namespace qeltest
