#include "reprog_steps.h"

#include <algorithm>

#include "failure.h"

namespace qelio {

void CheckStepStatus(const Bytes& reply) {
    if (reply.empty()) throw Failure("REPROG.ERROR_UNKNOWN");
    switch (reply.front()) {
        case 0:
            return;
        case 10:
            throw Failure("REPROG.ERROR_DATACHECKSUM");
        case 11:
            throw Failure("REPROG.ERROR_INCOMPATIBLE");
        default:
            throw Failure("REPROG.ERROR_UNKNOWN");
    }
}

int32_t ProgressAfterRecord(uint32_t index, uint32_t last) {
    if (index >= last) return 100;
    return std::clamp(static_cast<int32_t>(index * 100 / last), 1, 99);
}

int32_t PolledProgress(int32_t value) {
    constexpr int32_t kConstraintCode = -11;
    if (value == kConstraintCode) throw Failure("REPROG.ERROR_INCOMPATIBLE");
    return value;
}

}  // namespace qelio
