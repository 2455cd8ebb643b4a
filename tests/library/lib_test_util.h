// Shared helpers of the library's tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "qelio32/qelio32.h"
#include "qelio32/qelio32_hooks.h"
#include "scripted_driver.h"
#include "test_clock.h"

namespace qeltest {

inline std::string LastError() {
    char text[512];
    const int32_t n = QIO_LastError(text, sizeof text);
    return n < 0 ? std::string("<LastError failed>") : std::string(text, n);
}

inline std::string Text(const std::string& name, const std::string& label) {
    return name + "\n\r" + label;
}

// Records the library's messages through the hook.
struct MessageLog {
    std::vector<std::pair<std::string, std::string>> messages;  // caption, text
    MessageLog() { QELIO32_SetMessageHook(&MessageLog::Hook, this); }
    ~MessageLog() { QELIO32_SetMessageHook(nullptr, nullptr); }
    static void Hook(const char* caption, const char* text, void* ctx) {
        static_cast<MessageLog*>(ctx)->messages.emplace_back(caption, text);
    }
};

// A request through QIO_Command; the reply data land in `data`.
struct CommandResult {
    int32_t result;
    int32_t length;
    std::vector<uint8_t> data;
};

inline CommandResult RunCommand(const std::vector<uint8_t>& request) {
    std::vector<uint8_t> buffer(std::max<size_t>(request.size(), QIO_COMMAND_BUFFER), 0xCC);
    std::copy(request.begin(), request.end(), buffer.begin());
    int32_t length = static_cast<int32_t>(request.size());
    const int32_t r = QIO_Command(buffer.data(), &length);
    CommandResult out{r, length, {}};
    if (r >= 0 && length > 0) out.data.assign(buffer.begin(), buffer.begin() + length);
    return out;
}

// A scripted library with one unit "DMX-QEL" and, when asked, port 1 open.
class LibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        lib_ = std::make_unique<ScriptedLibrary>();
        lib_->driver().SetDevices({"DMX-QEL"});
    }
    void TearDown() override { lib_.reset(); }
    ScriptedDriver& driver() { return lib_->driver(); }
    TestClock& clock() { return *lib_->clock(); }
    void OpenPort1() { ASSERT_EQ(QIO_OpenPort(1), 1); }

    std::unique_ptr<ScriptedLibrary> lib_;
};

}  // namespace qeltest
