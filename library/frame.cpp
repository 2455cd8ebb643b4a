#include "frame.h"

#include <algorithm>
#include <atomic>

#include "clock.h"
#include "failure.h"
#include "testing.h"
#include "trace.h"
#include "usb_io.h"

namespace qelio::frame {
namespace {

// Written and read under usb::PortMutex(); atomic so a test may look at it from anywhere.
std::atomic<bool> g_purgePending{true};

// Polls with no byte waiting: the first few only yield (an instant peer is not slowed),
// then sleeps that double from 20 us up to 1 ms; in a longer silence the sleep grows
// with it (1/32 of the silence so far, at most 4 ms), so a byte is seen at most about 3 %
// of its wait late and a call that waits out 1 s wakes only some 300 times.
constexpr int kYieldPolls = 16;
constexpr Clock::Duration kFirstSleep = std::chrono::microseconds(20);
constexpr Clock::Duration kShortSleepCap = std::chrono::milliseconds(1);
constexpr Clock::Duration kLongSleepCap = std::chrono::milliseconds(4);

Clock::Duration SleepCap(Clock::Duration silence) {
    return std::clamp(silence / 32, kShortSleepCap, kLongSleepCap);
}

}  // namespace

void ReplyParser::Feed(uint8_t b) {
    if (!Accepting()) return;
    switch (state_) {
        case 0:
            if (b == kStartMarker) state_ = 1;
            break;
        case 1:
            count_ = 1;
            buffer_[0] = b;
            state_ = 2;
            break;
        case 2:
            expected_ = b;
            state_ = 3;
            break;
        case 3:
            expected_ += static_cast<uint32_t>(b) * 256;
            oversize_ = expected_ > kBodyBuffer - 1;
            state_ = expected_ > 0 ? 4 : 5;
            break;
        case 4:
            --expected_;
            if (count_ < kBodyBuffer) buffer_[count_++] = b;
            if (expected_ == 0) state_ = 5;
            break;
        case 5:
            if (oversize_) {
                lengthError_ = true;
            } else if (b != kEndMarker) {
                endMarkerError_ = true;
            }
            state_ = 6;
            done_ = true;
            break;
        default:
            break;
    }
}

void ReplyParser::Expire() {
    if (done_) return;
    if (state_ != 0) lengthError_ = true;
    done_ = true;
}

Bytes BuildFrame(uint8_t type, const uint8_t* body, size_t n) {
    Bytes f;
    f.reserve(n + 5);
    f.push_back(kStartMarker);
    f.push_back(type);
    f.push_back(static_cast<uint8_t>(n % 256));
    f.push_back(static_cast<uint8_t>((n / 256) % 256));
    f.insert(f.end(), body, body + n);
    f.push_back(kEndMarker);
    return f;
}

int64_t PerByteWait(int64_t baseWait, size_t requestBytes) {
    return baseWait + static_cast<int64_t>(requestBytes) * kTicksPerSecond / 200;
}

void Send(uint8_t type, const Bytes& body) {
    const Bytes f = BuildFrame(type, body.data(), body.size());
    if (g_purgePending.load(std::memory_order_relaxed)) {
        usb::PortPurge();
        g_purgePending.store(false, std::memory_order_relaxed);
    }
    usb::PortWrite(f.data(), f.size());
    trace::FrameWritten(f.data(), f.size());
}

Bytes Get(int64_t wait) {
    ReplyParser parser;
    Clock& clock = ActiveClock();
    const Clock::Duration perByte = TicksToDuration(wait);
    Clock::TimePoint deadline{};
    Clock::TimePoint silenceStart{};
    bool deadlineSet = false;
    int idlePolls = 0;
    Clock::Duration sleep = kFirstSleep;
    while (!parser.Done()) {
        if (usb::PortQueue() >= 1) {
            bool got = false;
            const uint8_t b = usb::PortRead(0, &got);
            if (got) {
                trace::ByteReceived(b);
                parser.Feed(b);
                deadlineSet = false;  // the wait starts afresh for the next byte
                idlePolls = 0;
                sleep = kFirstSleep;
                continue;
            }
        }
        const Clock::TimePoint now = clock.Now();
        if (!deadlineSet) {
            silenceStart = now;
            deadline = now + perByte;
            deadlineSet = true;
        }
        if (now >= deadline) {
            parser.Expire();
            break;
        }
        if (idlePolls < kYieldPolls) {
            ++idlePolls;
            clock.SleepFor(Clock::Duration::zero());
        } else {
            clock.SleepFor(std::min(sleep, deadline - now));
            sleep = std::min(sleep * 2, SleepCap(now - silenceStart));
        }
    }
    if (parser.EndMarkerError()) Fail(kind::kFrameFormat);
    if (parser.LengthError()) Fail(kind::kReplyLength);
    return Bytes(parser.Data(), parser.Data() + parser.Count());
}

Bytes Transact(uint8_t type, const Bytes& body, int64_t baseWait) {
    const int64_t w = PerByteWait(baseWait, body.size());
    Send(type, body);
    Bytes r = Get(w);
    if (r.empty()) {
        g_purgePending.store(true, std::memory_order_relaxed);
        Fail(kind::kTimeout);
    }
    if (r[0] == type) {
        r.erase(r.begin());
        return r;
    }
    g_purgePending.store(true, std::memory_order_relaxed);
    Fail(kind::kFrameMismatch);
}

bool PurgePending() {
    return g_purgePending.load(std::memory_order_relaxed);
}

}  // namespace qelio::frame

namespace qelio::testing {
void ResetFrameState() {
    frame::g_purgePending.store(true);
}
void ResetLibraryState() {
    ClearLastError();
    ResetPortState();
    ResetFrameState();
}
}  // namespace qelio::testing
