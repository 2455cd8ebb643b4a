// FRAME: request frames out, reply frames in.
//
// The reply parser is a pure state machine (states 0..6) that Get runs on
// the caller's thread: no worker per exchange and no spinning. While the driver has no
// byte waiting, Get sleeps through the clock seam with a short backoff (at most 1 ms),
// and the per-byte wait starts afresh after every byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "bytes.h"

namespace qelio::frame {

inline constexpr uint8_t kStartMarker = 0x7E;
inline constexpr uint8_t kEndMarker = 0xE7;
inline constexpr uint8_t kTypeDevice = 0x58;
// The body buffer: the frame type and at most 599 body bytes.
inline constexpr size_t kBodyBuffer = 600;

class ReplyParser {
  public:
    // Done() is set by the end marker (state 6) or by Expire(); no byte is taken after it.
    bool Accepting() const { return !done_; }
    bool Done() const { return done_; }
    int State() const { return state_; }

    // One received byte; ignored unless Accepting().
    void Feed(uint8_t b);
    // The per-byte wait ran out: nothing is recorded before a start marker, a length
    // error inside a frame. Sets Done().
    void Expire();

    bool EndMarkerError() const { return endMarkerError_; }
    // Also set when the length field announces more than the buffer holds (the frame is
    // drained to its end without storing the excess).
    bool LengthError() const { return lengthError_; }
    bool Oversize() const { return oversize_; }
    // Buffer bytes 1..count: the frame type, then the body bytes stored.
    const uint8_t* Data() const { return buffer_.data(); }
    size_t Count() const { return count_; }

  private:
    std::array<uint8_t, kBodyBuffer> buffer_{};
    size_t count_ = 0;
    uint32_t expected_ = 0;
    int state_ = 0;
    bool done_ = false;
    bool endMarkerError_ = false;
    bool lengthError_ = false;
    bool oversize_ = false;
};

// 0x7E, type, length low, length high, body, 0xE7. The body must not exceed 65535 bytes.
Bytes BuildFrame(uint8_t type, const uint8_t* body, size_t n);

// Per-byte wait of Transact: base + n * 16384 / 200 time units (about 5 ms per byte).
int64_t PerByteWait(int64_t baseWait, size_t requestBytes);

void Send(uint8_t type, const Bytes& body);
// Collects one reply: the frame type followed by the body, or empty when no start
// marker arrived within `wait` time units. Throws Failure.
Bytes Get(int64_t wait);
// Send, Get, check the frame type; returns the body. Throws Failure.
Bytes Transact(uint8_t type, const Bytes& body, int64_t baseWait);

bool PurgePending();

}  // namespace qelio::frame
