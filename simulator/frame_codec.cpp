#include "frame_codec.h"

#include "unit.h"
#include "unit_status.h"

namespace qelsim {

Bytes EncodeFrame(uint8_t type, const Bytes& body) {
    Bytes f;
    f.reserve(body.size() + 5);
    f.push_back(kStartMarker);
    f.push_back(type);
    PutLe16(f, static_cast<uint16_t>(body.size()));
    f.insert(f.end(), body.begin(), body.end());
    f.push_back(kEndMarker);
    return f;
}

std::optional<ParsedRequest> RequestParser::Feed(uint8_t byte) {
    switch (state_) {
        case State::kIdle:
            if (byte == kStartMarker) {
                request_ = ParsedRequest{};
                state_ = State::kType;
            }
            return std::nullopt;
        case State::kType:
            request_.type = byte;
            state_ = State::kLengthLow;
            return std::nullopt;
        case State::kLengthLow:
            expected_ = byte;
            state_ = State::kLengthHigh;
            return std::nullopt;
        case State::kLengthHigh:
            expected_ |= static_cast<size_t>(byte) << 8;
            state_ = expected_ ? State::kBody : State::kEnd;
            return std::nullopt;
        case State::kBody:
            if (request_.body.size() < kMaxRequestBody) {
                request_.body.push_back(byte);
            } else {
                request_.overlong = true;
            }
            if (--expected_ == 0) state_ = State::kEnd;
            return std::nullopt;
        case State::kEnd:
            request_.badEnd = byte != kEndMarker;
            state_ = State::kIdle;
            return std::move(request_);
    }
    return std::nullopt;
}

uint8_t ParsedRequest::Refusal() const {
    if (type != kFrameType || badEnd || body.empty()) return status::kFrameFormat;
    if (overlong) return status::kTooLong;
    return status::kOk;
}

Bytes AnswerRequest(Unit& unit, const ParsedRequest& r) {
    if (!r.Good()) return {r.body.empty() ? uint8_t{0} : r.body[0], r.Refusal()};
    return unit.HandleBody(r.body);
}

}  // namespace qelsim
