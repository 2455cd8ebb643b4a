#include "frame_timing.h"

namespace qelsim {
namespace {
bool Within(uint16_t v, const TimingValue& limits) {
    return v >= limits.minimum && v <= limits.maximum;
}
}  // namespace

bool FrameTiming::Fits(uint16_t rate, uint16_t timeoutMs) {
    return rate * (kFrameBudgetMs + timeoutMs) <= 1000;
}

bool FrameTiming::SetRate(uint16_t rate) {
    if (!Within(rate, Rate())) return false;
    rate_ = rate;
    if (!Fits(rate_, EffectiveTimeoutMs())) {
        int room = 1000 / rate_ - kFrameBudgetMs;
        timeout_ = room >= kDefaultTimeoutMs ? static_cast<uint16_t>(room) : 0;
    }
    return true;
}

bool FrameTiming::SetBreak(uint16_t us) {
    if (us == 0) us = kDefaultBreak;
    if (!Within(us, Break())) return false;
    break_ = us;
    return true;
}

bool FrameTiming::SetMark(uint16_t us) {
    if (us == 0) us = kDefaultMark;
    if (!Within(us, Mark())) return false;
    mark_ = us;
    return true;
}

bool FrameTiming::SetTimeout(uint16_t ms) {
    if (!Within(ms, Timeout())) return false;
    timeout_ = ms;
    uint16_t effective = EffectiveTimeoutMs();
    if (!Fits(rate_, effective)) rate_ = static_cast<uint16_t>(1000 / (kFrameBudgetMs + effective));
    return true;
}

}  // namespace qelsim
