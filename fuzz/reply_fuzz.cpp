// Fuzz target: reply collection through QIO_Command. The input is
//   byte 0       the command code of the request
//   byte 1       number of parameter bytes (mod 16)
//   the rest     the unit's byte stream: 0xF0 g = a gap of g * 8 ms before the next byte
//                (0xF0 0xFF: 3 s, beyond every wait); 0xF1 s = the next driver call
//                answers status s % 7 - 1; any other byte arrives as it is.
// Two exchanges run on the same stream, so leftovers of the first reach the second.
// Checked: no crash, no overread (ASan), no hang (virtual time, bounded), results and
// last-error texts of the table only.
#include <qelio32/qelio32.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "clock.h"
#include "driver.h"
#include "testing.h"

namespace {

class FuzzClock final : public qelio::Clock {
  public:
    TimePoint Now() override { return TimePoint(Duration(now)); }
    void SleepFor(Duration d) override {
        if (d > Duration::zero()) now += d.count();
        ++sleeps;
    }
    int64_t now = 1'000'000'000;
    int64_t sleeps = 0;
};

struct Event {
    int64_t at;  // virtual ns
    bool isStatus;
    uint8_t value;
};

class FuzzDriver final : public qelio::Driver {
  public:
    FuzzDriver(FuzzClock& clock, std::deque<Event> events)
        : clock_(clock), events_(std::move(events)) {}

    int32_t ListCount(uint32_t* count) override {
        *count = 1;
        return Status();
    }
    int32_t ListDescription(int32_t, char* b) override {
        std::strcpy(b, "Fuzz");
        return Status();
    }
    int32_t Open(int32_t, qelio::DriverHandle* h) override {
        *h = 7;
        return Status();
    }
    int32_t Close(qelio::DriverHandle) override { return Status(); }
    int32_t Write(qelio::DriverHandle, const uint8_t*, uint32_t n, uint32_t* w) override {
        *w = n;
        if (!started_) {
            started_ = true;
            // The stream starts when the first request goes out.
            for (Event& e : events_)
                e.at += clock_.now;
        }
        return Status();
    }
    int32_t QueueLength(qelio::DriverHandle, uint32_t* count) override {
        const int32_t s = Status();
        uint32_t n = 0;
        for (const Event& e : events_) {
            if (e.at > clock_.now) break;
            if (!e.isStatus) ++n;
        }
        *count = n;
        return s;
    }
    int32_t SetTimeouts(qelio::DriverHandle, uint32_t, uint32_t) override { return Status(); }
    int32_t Read(qelio::DriverHandle, uint8_t* b, uint32_t, uint32_t* got) override {
        const int32_t s = Status();
        *got = 0;
        while (!events_.empty() && events_.front().at <= clock_.now && !events_.front().isStatus) {
            b[0] = events_.front().value;
            events_.pop_front();
            *got = 1;
            break;
        }
        return s;
    }
    int32_t Purge(qelio::DriverHandle, uint32_t) override {
        const int32_t s = Status();
        while (!events_.empty() && events_.front().at <= clock_.now && !events_.front().isStatus) {
            events_.pop_front();
        }
        return s;
    }
    int32_t Reload(uint16_t, uint16_t) override { return Status(); }

  private:
    // A status event that is due answers the next call.
    int32_t Status() {
        if (started_ && !events_.empty() && events_.front().isStatus &&
            events_.front().at <= clock_.now) {
            const int32_t s = events_.front().value % 7 - 1;
            events_.pop_front();
            return s;
        }
        return 0;
    }

    FuzzClock& clock_;
    std::deque<Event> events_;
    bool started_ = false;
};

bool KnownResult(int32_t r) {
    if (r >= 0) return r <= 255;
    switch (r) {
        case -1:
        case -2:
        case -3:
        case -4:
        case -6:
        case -11:
        case -12:
        case -14:
        case -100:
            return true;
        default:
            return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t code = data[0];
    const size_t params = data[1] % 16;
    std::deque<Event> events;
    int64_t t = 0;
    for (size_t i = 2; i < size; ++i) {
        if (data[i] == 0xF0 && i + 1 < size) {
            const uint8_t g = data[++i];
            t += g == 0xFF ? 3'000'000'000LL : int64_t{g} * 8'000'000;
        } else if (data[i] == 0xF1 && i + 1 < size) {
            events.push_back({t, true, data[++i]});
        } else {
            events.push_back({t, false, data[i]});
        }
    }

    auto clock = std::make_unique<FuzzClock>();
    FuzzClock& c = *clock;
    qelio::InstallClock(std::move(clock));
    qelio::InstallDriver(std::make_unique<FuzzDriver>(c, std::move(events)));
    qelio::testing::ResetLibraryState();

    if (QIO_OpenPort(1) == 1) {
        for (int exchange = 0; exchange < 2; ++exchange) {
            std::vector<uint8_t> buf(QIO_COMMAND_BUFFER, 0);
            buf[0] = code;
            for (size_t p = 0; p < params; ++p)
                buf[1 + p] = static_cast<uint8_t>(p);
            int32_t length = static_cast<int32_t>(1 + params);
            const int64_t t0 = c.now;
            const int32_t r = QIO_Command(buf.data(), &length);
            if (!KnownResult(r)) std::abort();
            if (r < 0 && length != 0) std::abort();
            if (r >= 0 && (length < 0 || length > 527)) std::abort();
            if (r < 0) {
                char text[128];
                const int32_t n = QIO_LastError(text, sizeof text);
                if (n <= 0) std::abort();
                const std::string s(text, n);
                if (s.size() < 13 || s.compare(s.size() - 13, 13, "\n\rQIO_Command") != 0)
                    std::abort();
            }
            // No hang: with at most size gaps of 3 s, each wait at most ~1.2 s per byte.
            if (c.now - t0 > (static_cast<int64_t>(size) + 2) * 3'100'000'000LL) std::abort();
        }
    }
    QIO_FreePort();
    qelio::InstallDriver(nullptr);
    qelio::InstallClock(nullptr);
    return 0;
}
