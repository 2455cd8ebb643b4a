// Every wait of the library reads time through here, so that tests of a one-second
// reply wait or a monitor expiry need not sleep for it.
#pragma once

#include <chrono>
#include <memory>

namespace qelio {

class Clock {
  public:
    using Duration = std::chrono::nanoseconds;
    using TimePoint = std::chrono::time_point<std::chrono::steady_clock, Duration>;

    virtual ~Clock() = default;
    virtual TimePoint Now() = 0;
    // Sleeps (or, for a test clock, lets time pass) for at least `d`.
    virtual void SleepFor(Duration d) = 0;
};

Clock& ActiveClock();

// Internal hook for tests: nullptr restores the real steady clock.
void InstallClock(std::unique_ptr<Clock> clock);

// Waits are counted in 1/16384 s.
inline constexpr int32_t kTicksPerSecond = 16384;
inline constexpr Clock::Duration TicksToDuration(int64_t ticks) {
    return Clock::Duration(ticks * 1'000'000'000LL / kTicksPerSecond);
}

}  // namespace qelio
