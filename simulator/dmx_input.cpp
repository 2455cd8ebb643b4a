#include "dmx_input.h"

#include <cmath>

namespace qelsim {

bool ParseInputSource(const std::string& name, InputSource* source) {
    if (name == "scripted") {
        *source = InputSource::kScripted;
    } else if (name == "loopback") {
        *source = InputSource::kLoopback;
    } else if (name == "pattern") {
        *source = InputSource::kPattern;
    } else {
        return false;
    }
    return true;
}

void DmxInput::SetSource(InputSource source) {
    std::lock_guard<std::mutex> lock(mutex_);
    source_ = source;
}

InputSource DmxInput::Source() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return source_;
}

void DmxInput::Receive(uint8_t startCode, const Bytes& levels) {
    std::lock_guard<std::mutex> lock(mutex_);
    startCode_ = startCode;
    levels_ = levels;
    if (levels_.size() > kDmxSlots) levels_.resize(kDmxSlots);
    ++framesSinceRead_;
    lossPending_ = false;
}

void DmxInput::LoseSignal() {
    std::lock_guard<std::mutex> lock(mutex_);
    framesSinceRead_ = 0;
    lossPending_ = true;
}

Bytes DmxInput::Read() {
    std::lock_guard<std::mutex> lock(mutex_);
    switch (source_) {
        case InputSource::kLoopback:
            return ReadLoopback();
        case InputSource::kPattern:
            return ReadPattern();
        case InputSource::kScripted:
            break;
    }
    return ReadScripted();
}

Bytes DmxInput::ReadScripted() {
    if (lossPending_) {
        lossPending_ = false;
        return {input::kSignalLost};
    }
    if (framesSinceRead_ == 0) return {input::kNothingNew};
    Bytes record{framesSinceRead_ > 1 ? input::kFrameOverrun : input::kFrame, startCode_};
    record.insert(record.end(), levels_.begin(), levels_.end());
    framesSinceRead_ = 0;
    return record;
}

// A looped-back line carries the output while it is sent; when it stops, the receiver
// loses the signal once.
Bytes DmxInput::ReadLoopback() {
    DmxFrame out = output_.Current();
    if (!out.sending) {
        if (loopbackSeen_) {
            loopbackSeen_ = false;
            return {input::kSignalLost};
        }
        return {input::kNothingNew};
    }
    loopbackSeen_ = true;
    Bytes record{input::kFrame, out.startCode};
    record.insert(record.end(), out.levels.begin(), out.levels.end());
    return record;
}

// A chase over 32 slots that moves with time, so a person sees the input live.
Bytes DmxInput::ReadPattern() {
    constexpr int kSlots = 32;
    double t = std::chrono::duration<double>(time_->Now()).count();
    Bytes record{input::kFrame, 0};
    for (int i = 0; i < kSlots; ++i) {
        double phase = t * 1.5 - i * 0.35;
        record.push_back(static_cast<uint8_t>(std::lround(127.5 + 127.5 * std::sin(phase))));
    }
    return record;
}

}  // namespace qelsim
