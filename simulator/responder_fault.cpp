#include "responder_fault.h"

#include <utility>

namespace qelsim {

bool ParseFault(const std::string& name, Fault* fault) {
    static const std::pair<const char*, Fault> kNames[] = {
        {"no-response", Fault::kNoResponse},
        {"bad-checksum", Fault::kBadChecksum},
        {"wrong-transaction", Fault::kWrongTransaction},
        {"wrong-sub-device", Fault::kWrongSubDevice},
        {"fails-to-mute", Fault::kFailsToMute},
        {"answers-broadcast", Fault::kAnswersBroadcast},
        {"wrong-identity", Fault::kWrongIdentity},
        {"malformed", Fault::kMalformed},
    };
    for (const auto& [text, value] : kNames) {
        if (name == text) {
            *fault = value;
            return true;
        }
    }
    return false;
}

}  // namespace qelsim
