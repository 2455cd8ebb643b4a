// API: the ten exported functions, the failure report at the surface and the
// buffer conversions between the caller's raw buffers and the library's values.
#include <cstring>
#include <mutex>
#include <string>

#include "device.h"
#include "failure.h"
#include "qelio32/qelio32.h"
#include "reprog.h"
#include "usb_io.h"

namespace qelio {
namespace {

constexpr const char* kVersion = "0.02.002";

// Text out: the text and one NUL byte, or ERRORS.ERROR_CALLTOAPI and nothing written when
// the buffer has no room for the NUL.
int32_t TextOut(const std::string& text, char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0 || static_cast<size_t>(size) <= text.size()) {
        throw Failure(kind::kCallToApi);
    }
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return static_cast<int32_t>(text.size());
}

// Caller NUL-terminated text to text.
std::string TextFromCaller(const char* text) {
    if (text == nullptr) throw Failure(kind::kCallToApi);
    return std::string(text, std::strlen(text));
}

using PortLock = std::lock_guard<std::recursive_mutex>;

}  // namespace
}  // namespace qelio

using namespace qelio;

extern "C" {

QIO_API int32_t QIO_PortCount(void) {
    return Guarded("Port Count", [] {
        PortLock lock(usb::PortMutex());
        return usb::PortCount();
    });
}

QIO_API int32_t QIO_PortName(int32_t port, char* buffer, int32_t size) {
    return Guarded("PortName", [&] {
        PortLock lock(usb::PortMutex());
        return TextOut(usb::PortName(port), buffer, size);
    });
}

QIO_API int32_t QIO_OpenPort(int32_t port) {
    return Guarded("OpenPort", [&] {
        PortLock lock(usb::PortMutex());
        usb::PortOpen(port);
        return 1;
    });
}

QIO_API int32_t QIO_FreePort(void) {
    return Guarded("FreePort", [] {
        PortLock lock(usb::PortMutex());
        usb::PortClose();
        return 0;
    });
}

QIO_API int32_t QIO_Reset(void) {
    return Guarded("Reset", [] {
        PortLock lock(usb::PortMutex());
        usb::PortClose();
        return 0;
    });
}

QIO_API int32_t QIO_Command(uint8_t* buffer, int32_t* length) {
    const int32_t result = Guarded("QIO_Command", [&]() -> int32_t {
        if (length == nullptr || buffer == nullptr) throw Failure(kind::kCallToApi);
        const int32_t n = *length;
        // No command code, or more than a frame carries: nothing is sent, and nothing is
        // read beyond what could be sent (a code of the table, the length set to 0).
        if (n < 1 || static_cast<size_t>(n) > kMaxRequest) throw Failure(kind::kConstraint);
        const Bytes reply = DeviceCommand(Bytes(buffer, buffer + n), kWaitCommand);
        if (reply.size() > QIO_COMMAND_BUFFER) throw Failure(kind::kConstraint);
        // DeviceCommand guarantees the status byte; the data follow it.
        const size_t k = reply.size() - 1;
        if (k > 0) std::memcpy(buffer, reply.data() + 1, k);
        *length = static_cast<int32_t>(k);
        return reply[0];
    });
    if (result < 0 && length != nullptr) *length = 0;
    return result;
}

QIO_API int32_t QIO_LastError(char* buffer, int32_t size) {
    // No failure report of its own: a buffer without room for the text and its NUL gets
    // nothing written, the result is -12 and the stored text stays as it is.
    try {
        return TextOut(LastErrorText(), buffer, size);
    } catch (const Failure&) {
        return CodeOf(kind::kCallToApi);
    } catch (...) {
        return CodeOf(kind::kStorage);
    }
}

QIO_API int32_t QIO_Version(char* buffer, int32_t size) {
    return Guarded("Version N", [&] { return TextOut(kVersion, buffer, size); });
}

QIO_API int32_t QIO_Reprogram(const char* path) {
    return Guarded("QIO_Reprogram", [&] {
        StartReprogram(TextFromCaller(path));
        return 0;
    });
}

QIO_API int32_t QIO_ProgState(void) {
    return Guarded("QIO_ProgState", [] { return ProgressState(); });
}

}  // extern "C"
