// The unit's discovery of the responders on its line: un-mute everyone, then a binary
// search over the UID space with DISC_UNIQUE_BRANCH, muting each device as it is found.
// It runs in steps so that the count can be read while it grows.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "bytes.h"
#include "rdm_uid.h"

namespace qelsim {

// The high byte of the discovery state report.
namespace discovery {
inline constexpr uint8_t kFinished = 0;
inline constexpr uint8_t kRunning = 1;
inline constexpr uint8_t kMuteFailure = 2;  // a device keeps answering after being muted
inline constexpr uint8_t kCorrupted = 3;    // answers that no search can separate
inline constexpr uint8_t kListFull = 4;     // more devices than the list holds
inline constexpr size_t kMaxDevices = 255;
}  // namespace discovery

class Discovery {
  public:
    // Sends one discovery command (DISC_* PID, destination, parameter data) and returns
    // what came back on the line.
    using Send = std::function<std::optional<Bytes>(uint16_t pid, rdm::Uid to, const Bytes& data)>;

    void Start();
    // Runs at least one and at most `budget` line transactions (a mute that follows a
    // branch answer may run over by one).
    void Step(const Send& send, int budget);

    uint8_t State() const { return state_; }
    bool Running() const { return state_ == discovery::kRunning; }
    const std::vector<rdm::Uid>& Found() const { return found_; }

  private:
    struct Range {
        rdm::Uid lower, upper;
    };
    void Branch(const Send& send);
    bool Mute(const Send& send, rdm::Uid uid);
    void Split(const Range& r);
    void Fail(uint8_t state) { state_ = state; }

    uint8_t state_ = discovery::kFinished;
    bool unmuted_ = false;
    std::vector<Range> pending_;
    std::vector<rdm::Uid> found_;
    uint64_t transactions_ = 0;
};

}  // namespace qelsim
