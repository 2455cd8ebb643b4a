// The universe the unit receives, and what feeds it: a script of frames and signal losses
// (tests), the unit's own output looped back, or a moving pattern (the demo).
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "bytes.h"
#include "dmx_output.h"
#include "sim_time.h"

namespace qelsim {

enum class InputSource { kScripted, kLoopback, kPattern };

// "scripted", "loopback", "pattern"; false for any other name.
bool ParseInputSource(const std::string& name, InputSource* source);

// Input status of the received-DMX record.
namespace input {
inline constexpr uint8_t kFrame = 0;         // a frame, the only one since the last read
inline constexpr uint8_t kFrameOverrun = 1;  // the latest of several frames since the last read
inline constexpr uint8_t kNothingNew = 2;
inline constexpr uint8_t kSignalLost = 3;  // levels are to be cleared
}  // namespace input

class DmxInput {
  public:
    DmxInput(const DmxOutput& output, SharedTime time) : output_(output), time_(std::move(time)) {}

    void SetSource(InputSource source);
    InputSource Source() const;

    // Script: a frame arrives on the input line, or the signal goes away.
    void Receive(uint8_t startCode, const Bytes& levels);
    void LoseSignal();

    // The record the unit delivers: input status, then start code and levels when a frame
    // is delivered.
    Bytes Read();

  private:
    Bytes ReadScripted();
    Bytes ReadLoopback();
    Bytes ReadPattern();

    const DmxOutput& output_;
    SharedTime time_;
    mutable std::mutex mutex_;
    InputSource source_ = InputSource::kScripted;
    uint8_t startCode_ = 0;
    Bytes levels_;
    int framesSinceRead_ = 0;
    bool lossPending_ = false;
    bool loopbackSeen_ = false;
};

}  // namespace qelsim
