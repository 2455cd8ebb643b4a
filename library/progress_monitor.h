// The progress of a firmware run as the caller's polls see it. The background run
// writes the value; polls read it. Once the run is over the outcome stays available
// while it is asked for at least once a second: one second after the last call the
// monitor ends and polls read 0 (idle) again.
//
// Every call takes the current time from the caller, so the expiry needs no thread of
// its own and tests can drive it with a clock of their own.
#pragma once

#include <cstdint>
#include <mutex>

#include "clock.h"

namespace qelio {

class ProgressMonitor {
  public:
    using TimePoint = Clock::TimePoint;

    // A new run: the value is 1 (nothing acknowledged yet) until the first Set.
    void Start(TimePoint now);
    // Progress of the run: 1 to 100.
    void Set(int32_t value, TimePoint now);
    // The run is over: 0 for success, or a negative failure code.
    void Finish(int32_t value, TimePoint now);
    // Forgets a run that could not be started.
    void Abandon();

    // The value, or 0 when no monitor is alive (before the first run, or after its
    // expiry). A call counts as a poll and keeps a finished run's outcome alive.
    int32_t Get(TimePoint now);

    // True from Start until Finish or Abandon.
    bool Running() const;

  private:
    void ExpireIfDue(TimePoint now);

    mutable std::mutex mutex_;
    int32_t value_ = 0;
    TimePoint lastCall_{};
    bool alive_ = false;
};

}  // namespace qelio
