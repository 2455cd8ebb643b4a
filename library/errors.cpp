// ERRORS: the failure report of the exported surface and the last-error text.
#include <cstring>
#include <mutex>
#include <string>

#include "failure.h"
#include "qelio32/qelio32.h"
#include "testing.h"
#include "trace.h"

namespace qelio {
namespace {

std::mutex& TextMutex() {
    static std::mutex m;
    return m;
}

std::string& Text() {
    static std::string text;
    return text;
}

}  // namespace

void Fail(const char* kindName) {
    trace::Event(kindName);
    throw Failure(kindName);
}

int32_t CodeOf(const std::string& n) noexcept {
    struct Entry {
        const char* name;
        int32_t code;
    };
    static constexpr Entry kTable[] = {
        {kind::kPortDataIo, QIO_ERR_PORTDATAIO},     {kind::kPortNumber, QIO_ERR_PORTDATAIO},
        {kind::kPortSearch, QIO_ERR_PORTSEARCH},     {kind::kTimeout, QIO_ERR_TIMEOUT},
        {kind::kReplyLength, QIO_ERR_REPLYLENGTH},   {kind::kDeviceMismatch, QIO_ERR_MISMATCH},
        {kind::kIncompatible, QIO_ERR_INCOMPATIBLE}, {kind::kDataChecksum, QIO_ERR_DATACHECKSUM},
        {kind::kConstraint, QIO_ERR_CONSTRAINT},     {kind::kCallToApi, QIO_ERR_CALLTOAPI},
        {kind::kPortStatus, QIO_ERR_PORTSTATUS},
    };
    for (const Entry& e : kTable) {
        if (n == e.name) return e.code;
    }
    return QIO_ERR_OTHER;
}

int32_t ReportFailure(const std::string& fullName, const char* label) noexcept {
    const int32_t code = CodeOf(fullName);
    try {
        // USTRINGS: name & line break (one LF, then CR) & label.
        std::string text = fullName;
        text += '\n';
        text += '\r';
        if (label) text += label;
        std::lock_guard<std::mutex> lock(TextMutex());
        Text().swap(text);
    } catch (...) {
        // Out of memory while building the text: the code still reaches the caller.
    }
    return code;
}

std::string LastErrorText() {
    std::lock_guard<std::mutex> lock(TextMutex());
    return Text();
}

namespace testing {
void ClearLastError() {
    std::lock_guard<std::mutex> lock(TextMutex());
    Text().clear();
}
}  // namespace testing

}  // namespace qelio
