// The one place the simulated unit and its fixtures read time from. It runs on the steady
// clock unless the host of the simulation (a test, the in-process driver) points it at its
// own clock, so slow answers can be tested without sleeping.
#pragma once

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace qelsim {

using Duration = std::chrono::nanoseconds;

// Reads "5ms", "1.5s", "250us"; false when the text is not a duration from 0 to an hour.
// The decimal point is always '.', whatever locale the host program has set.
inline bool ParseDuration(const std::string& text, Duration* d) {
    const char* first = text.data();
    const char* last = first + text.size();
    double v = 0;
    auto [end, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || !(v >= 0)) return false;  // also refuses "nan"
    std::string unit(end, last);
    double scale = unit == "ms" ? 1e6 : unit == "us" ? 1e3 : unit == "s" ? 1e9 : 0;
    if (scale == 0 || v * scale > 3600e9) return false;
    *d = Duration(static_cast<int64_t>(v * scale));
    return true;
}

class SimTime {
  public:
    using Source = std::function<Duration()>;

    SimTime() : source_(Steady) {}
    explicit SimTime(Source source) : source_(std::move(source)) {}

    Duration Now() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return source_();
    }
    void SetSource(Source source) {
        std::lock_guard<std::mutex> lock(mutex_);
        source_ = std::move(source);
    }

    static Duration Steady() {
        return std::chrono::duration_cast<Duration>(
            std::chrono::steady_clock::now().time_since_epoch());
    }

  private:
    mutable std::mutex mutex_;
    Source source_;
};

using SharedTime = std::shared_ptr<SimTime>;

// A clock that only moves when told to; for tests.
class ManualTime {
  public:
    Duration Now() const { return now_; }
    void Advance(Duration d) { now_ += d; }
    SimTime::Source Source() {
        return [this] { return now_; };
    }

  private:
    Duration now_{std::chrono::hours(1)};
};

}  // namespace qelsim
