// Frames between host and unit: 0x7E, type, body length (16-bit little-endian), body,
// 0xE7. The unit reads requests byte by byte; it finds the end by the length alone.
#pragma once

#include <cstdint>
#include <optional>

#include "bytes.h"
#include "unit_status.h"

namespace qelsim {

inline constexpr uint8_t kStartMarker = 0x7E;
inline constexpr uint8_t kFrameType = 0x58;
inline constexpr uint8_t kEndMarker = 0xE7;
inline constexpr size_t kMaxRequestBody = 600;  // the unit's receive buffer

Bytes EncodeFrame(uint8_t type, const Bytes& body);

struct ParsedRequest {
    uint8_t type = 0;
    Bytes body;             // cut at kMaxRequestBody
    bool overlong = false;  // the announced body did not fit the buffer
    bool badEnd = false;    // the byte after the body was not the end marker

    // The status the unit refuses this request with unread, or OK when it is a request
    // the unit works on.
    uint8_t Refusal() const;
    bool Good() const { return Refusal() == status::kOk; }
};

class RequestParser {
  public:
    // Bytes before a start marker are skipped. Returns the request when its last byte
    // (the end marker position) arrives.
    std::optional<ParsedRequest> Feed(uint8_t byte);
    void Reset() { state_ = State::kIdle; }

  private:
    enum class State { kIdle, kType, kLengthLow, kLengthHigh, kBody, kEnd };
    State state_ = State::kIdle;
    ParsedRequest request_;
    size_t expected_ = 0;
};

// The reply body the unit sends for a parsed request.
class Unit;
Bytes AnswerRequest(Unit& unit, const ParsedRequest& request);

}  // namespace qelsim
