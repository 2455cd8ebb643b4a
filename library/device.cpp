// DEVICE: frame type 0x58, the echo check, the longer wait of command 0x28.
#include "device.h"

#include <mutex>

#include "failure.h"
#include "frame.h"
#include "usb_io.h"

namespace qelio {

Bytes DeviceCommand(const Bytes& request, int32_t baseWait) {
    std::lock_guard<std::recursive_mutex> lock(usb::PortMutex());
    // No command code, or more than the 16-bit length field carries: not sent.
    if (request.empty() || request.size() > kMaxRequest) throw Failure(kind::kConstraint);
    const int32_t base = request[0] == 0x28 ? kWaitInput : baseWait;
    const Bytes r = frame::Transact(frame::kTypeDevice, request, base);
    // A reply must echo the command code and carry a status byte; a body of length 0
    // or one without a status does not answer the command.
    if (r.size() < 2 || r[0] != request[0]) Fail(kind::kDeviceMismatch);
    return Bytes(r.begin() + 1, r.end());
}

}  // namespace qelio
