#include "rdm_discovery.h"

#include <algorithm>

#include "rdm_defs.h"
#include "rdm_packet.h"

namespace qelsim {

namespace {
// Far more than a search of 255 devices needs; a line that never settles ends here.
constexpr uint64_t kTransactionLimit = 200'000;
}  // namespace

void Discovery::Start() {
    state_ = discovery::kRunning;
    unmuted_ = false;
    found_.clear();
    pending_.assign(1, Range{0, rdm::kUidMask - 1});
    transactions_ = 0;
}

void Discovery::Step(const Send& send, int budget) {
    for (int i = 0; i < std::max(budget, 1) && Running(); ++i) {
        if (++transactions_ > kTransactionLimit) {
            Fail(discovery::kCorrupted);
            return;
        }
        if (!unmuted_) {
            send(rdm::pid::kDiscUnMute, rdm::kBroadcastAll, {});
            unmuted_ = true;
        } else if (pending_.empty()) {
            state_ = discovery::kFinished;
        } else {
            Branch(send);
        }
    }
}

void Discovery::Branch(const Send& send) {
    Range r = pending_.back();
    Bytes bounds;
    rdm::PutUid(bounds, r.lower);
    rdm::PutUid(bounds, r.upper);
    std::optional<Bytes> answer = send(rdm::pid::kDiscUniqueBranch, rdm::kBroadcastAll, bounds);
    if (!answer) {  // nobody un-muted in this range
        pending_.pop_back();
        return;
    }
    std::optional<rdm::Uid> uid = rdm::DecodeDiscoveryResponse(*answer);
    if (uid && *uid >= r.lower && *uid <= r.upper) {
        if (std::find(found_.begin(), found_.end(), *uid) != found_.end()) {
            Fail(discovery::kMuteFailure);  // muted already, and still answering
            return;
        }
        if (Mute(send, *uid)) {
            if (found_.size() == discovery::kMaxDevices) {
                Fail(discovery::kListFull);
                return;
            }
            found_.push_back(*uid);
            return;  // the same range again: others may hide behind it
        }
        // No device behind that UID answered the mute: either overlaid answers happened to
        // decode cleanly, or a single device ignores muting.
        if (r.lower == r.upper) {
            Fail(discovery::kMuteFailure);
            return;
        }
    } else if (r.lower == r.upper) {
        Fail(discovery::kCorrupted);  // one UID, and still no clean answer
        return;
    }
    Split(r);
}

bool Discovery::Mute(const Send& send, rdm::Uid uid) {
    ++transactions_;
    std::optional<Bytes> answer = send(rdm::pid::kDiscMute, uid, {});
    if (!answer) return false;
    rdm::Decoded d = rdm::Decode(*answer);
    return d.error == rdm::DecodeError::kNone && d.packet.source == uid &&
           d.packet.commandClass == rdm::kDiscoveryResponse && d.packet.pid == rdm::pid::kDiscMute;
}

void Discovery::Split(const Range& r) {
    pending_.pop_back();
    rdm::Uid middle = r.lower + (r.upper - r.lower) / 2;
    pending_.push_back(Range{middle + 1, r.upper});
    pending_.push_back(Range{r.lower, middle});
}

}  // namespace qelsim
