#include "reprog_steps.h"

#include <algorithm>

#include "failure.h"
#include "qelio32/qelio32.h"

namespace qelio {

void CheckStepStatus(const Bytes& reply) {
    if (reply.empty()) throw Failure(kind::kReprogUnknown);
    switch (reply.front()) {
        case 0:
            return;
        case 10:
            throw Failure(kind::kDataChecksum);
        case 11:
            throw Failure(kind::kIncompatible);
        default:
            throw Failure(kind::kReprogUnknown);
    }
}

int32_t ProgressAfterRecord(uint32_t index, uint32_t last) {
    if (index >= last) return 100;
    return std::clamp(static_cast<int32_t>(index * 100 / last), 1, 99);
}

int32_t PolledProgress(int32_t value) {
    if (value == QIO_ERR_CONSTRAINT) throw Failure(kind::kIncompatible);
    return value;
}

}  // namespace qelio
