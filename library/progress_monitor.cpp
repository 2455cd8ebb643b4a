#include "progress_monitor.h"

namespace qelio {

namespace {

const Clock::Duration kExpiry = TicksToDuration(kTicksPerSecond);

}  // namespace

void ProgressMonitor::Start(TimePoint now) {
    std::lock_guard lock(mutex_);
    value_ = 1;
    lastCall_ = now;
    alive_ = true;
}

void ProgressMonitor::Set(int32_t value, TimePoint now) {
    std::lock_guard lock(mutex_);
    value_ = value;
    lastCall_ = now;
}

void ProgressMonitor::Finish(int32_t value, TimePoint now) {
    std::lock_guard lock(mutex_);
    value_ = value;
    lastCall_ = now;
}

void ProgressMonitor::Abandon() {
    std::lock_guard lock(mutex_);
    value_ = 0;
    alive_ = false;
}

int32_t ProgressMonitor::Get(TimePoint now) {
    std::lock_guard lock(mutex_);
    ExpireIfDue(now);
    if (!alive_) return 0;
    lastCall_ = now;
    return value_;
}

bool ProgressMonitor::Running() const {
    std::lock_guard lock(mutex_);
    // A run's values are 1 to 100; it ends with 0 or a failure code.
    return alive_ && value_ > 0;
}

void ProgressMonitor::ExpireIfDue(TimePoint now) {
    // While the run goes on (value above 0) the monitor never ends by itself.
    if (alive_ && value_ <= 0 && now - lastCall_ >= kExpiry) alive_ = false;
}

}  // namespace qelio
