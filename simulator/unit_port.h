// A unit as seen from its USB side: request bytes in, reply bytes out with their timing.
// Both the in-process driver and the pseudo-terminal server put units behind one of these.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "frame_codec.h"
#include "reply_disturbance.h"
#include "unit.h"

namespace qelsim {

class UnitPort {
  public:
    explicit UnitPort(std::shared_ptr<Unit> unit) : unit_(std::move(unit)) {}

    // Takes bytes the host wrote; returns the reply bytes of every request they completed.
    std::vector<TimedByte> Write(const uint8_t* data, size_t size);

    // The following `replies` replies (every one for -1) go out disturbed.
    void Disturb(const ReplyDisturbance& d, int replies = -1);
    // Drops a partly received request.
    void ResetReceiver();

    Unit& GetUnit() { return *unit_; }

  private:
    std::shared_ptr<Unit> unit_;
    std::mutex mutex_;
    RequestParser parser_;
    ReplyDisturbance disturbance_;
    int disturbedReplies_ = 0;
};

}  // namespace qelsim
