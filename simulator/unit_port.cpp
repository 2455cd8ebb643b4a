#include "unit_port.h"

namespace qelsim {

std::vector<TimedByte> UnitPort::Write(const uint8_t* data, size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<TimedByte> out;
    for (size_t i = 0; i < size; ++i) {
        std::optional<ParsedRequest> request = parser_.Feed(data[i]);
        if (!request) continue;
        Bytes frame = EncodeFrame(kFrameType, AnswerRequest(*unit_, *request));
        ReplyDisturbance d;
        if (disturbedReplies_ != 0) {
            d = disturbance_;
            if (disturbedReplies_ > 0) --disturbedReplies_;
        }
        Duration offset = out.empty() ? Duration::zero() : out.back().at;
        // A malformed frame is refused at once; a good one after the unit's work on it.
        if (request->Good()) offset += unit_->WorkTime(request->body);
        for (TimedByte b : ScheduleReply(frame, d))
            out.push_back({offset + b.at, b.value});
    }
    return out;
}

void UnitPort::Disturb(const ReplyDisturbance& d, int replies) {
    std::lock_guard<std::mutex> lock(mutex_);
    disturbance_ = d;
    disturbedReplies_ = d.Any() ? replies : 0;
}

void UnitPort::ResetReceiver() {
    std::lock_guard<std::mutex> lock(mutex_);
    parser_.Reset();
}

}  // namespace qelsim
