// ERRORS: the failure report of the exported surface and the last-error text.
#include <cstring>
#include <mutex>
#include <string>

#include "failure.h"
#include "testing.h"

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

int32_t CodeOf(const std::string& n) noexcept {
    struct Entry {
        const char* name;
        int32_t code;
    };
    static constexpr Entry kTable[] = {
        {"USB_IO.ERROR_PORTDATAIO", -1},   {"USB_IO.ERROR_PORTNUMBER", -1},
        {"USB_IO.ERROR_PORTSEARCH", -2},   {"FRAME.ERROR_TIMEOUT", -3},
        {"FRAME.ERROR_REPLYLENGTH", -4},   {"DEVICE.ERROR_MISMATCH", -6},
        {"REPROG.ERROR_INCOMPATIBLE", -7}, {"REPROG.ERROR_DATACHECKSUM", -8},
        {"CONSTRAINT_ERROR", -11},         {"ERRORS.ERROR_CALLTOAPI", -12},
        {"USB_IO.ERROR_PORTSTATUS", -14},
    };
    for (const Entry& e : kTable) {
        if (n == e.name) return e.code;
    }
    return -100;
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
