// The clock seam: the real steady clock, replaceable by a test clock.
#include "clock.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace qelio {
namespace {

class SteadyClock final : public Clock {
  public:
    TimePoint Now() override {
        return std::chrono::time_point_cast<Duration>(std::chrono::steady_clock::now());
    }
    void SleepFor(Duration d) override {
        if (d <= Duration::zero()) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(d);
        }
    }
};

SteadyClock& Steady() {
    static SteadyClock clock;
    return clock;
}

std::mutex& InstallMutex() {
    static std::mutex m;
    return m;
}

std::unique_ptr<Clock>& Installed() {
    static std::unique_ptr<Clock> installed;
    return installed;
}

std::atomic<Clock*> g_active{nullptr};

}  // namespace

Clock& ActiveClock() {
    Clock* c = g_active.load(std::memory_order_acquire);
    return c ? *c : Steady();
}

void InstallClock(std::unique_ptr<Clock> clock) {
    std::lock_guard<std::mutex> lock(InstallMutex());
    g_active.store(clock.get(), std::memory_order_release);
    Installed() = std::move(clock);  // the previous test clock goes away here
}

}  // namespace qelio
