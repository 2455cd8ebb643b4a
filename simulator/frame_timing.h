// The output timing the unit owns: frame rate, break and mark-after-break, and the RDM
// response time-out, each with its limits. A frame must leave room for the slowest RDM
// answer, so frame rate and time-out limit each other: rate × (20 ms + time-out) stays
// within one second. Writing one that breaks the rule pulls the other back.
#pragma once

#include <cstdint>

namespace qelsim {

struct TimingValue {
    uint16_t current, minimum, maximum;
};

class FrameTiming {
  public:
    static constexpr uint16_t kDefaultRate = 40;      // frames per second
    static constexpr uint16_t kDefaultBreak = 176;    // microseconds
    static constexpr uint16_t kDefaultMark = 12;      // microseconds
    static constexpr uint16_t kDefaultTimeout = 0;    // 0: the unit's default
    static constexpr uint16_t kDefaultTimeoutMs = 2;  // what 0 stands for
    static constexpr uint16_t kFrameBudgetMs = 20;    // a full frame on the line, rounded up

    TimingValue Rate() const { return {rate_, 1, 44}; }
    TimingValue Break() const { return {break_, 88, 1000}; }
    TimingValue Mark() const { return {mark_, 8, 1000}; }
    TimingValue Timeout() const { return {timeout_, 0, 50}; }

    // Each returns false, changing nothing, for a value outside the limits. A break or mark
    // of 0 selects the default.
    bool SetRate(uint16_t rate);
    bool SetBreak(uint16_t us);
    bool SetMark(uint16_t us);
    bool SetTimeout(uint16_t ms);

    uint16_t EffectiveTimeoutMs() const { return timeout_ == 0 ? kDefaultTimeoutMs : timeout_; }

  private:
    static bool Fits(uint16_t rate, uint16_t timeoutMs);

    uint16_t rate_ = kDefaultRate;
    uint16_t break_ = kDefaultBreak;
    uint16_t mark_ = kDefaultMark;
    uint16_t timeout_ = kDefaultTimeout;
};

}  // namespace qelsim
