// End to end through the operating system, as a program outside the project would do
// it: only the public header and libqelio32.so (loaded with dlopen), the real serial
// backend, and a peer process on a pseudo-terminal that plays a misbehaving unit. Every
// code and last-error text that a unit's behaviour can cause.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <qelio32/qelio32.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "pty_peer.h"

namespace {

struct Api {
    void* so = nullptr;
    decltype(&QIO_PortCount) PortCount;
    decltype(&QIO_PortName) PortName;
    decltype(&QIO_OpenPort) OpenPort;
    decltype(&QIO_FreePort) FreePort;
    decltype(&QIO_Command) Command;
    decltype(&QIO_LastError) LastError;
    decltype(&QIO_Version) Version;
    decltype(&QIO_Reset) Reset;
    decltype(&QIO_Reprogram) Reprogram;
    decltype(&QIO_ProgState) ProgState;

    template <typename F>
    void Bind(F& f, const char* name) {
        f = reinterpret_cast<F>(::dlsym(so, name));
        ASSERT_NE(f, nullptr) << name;
    }
    void Load() {
        so = ::dlopen(QELIO32_SO, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(so, nullptr) << ::dlerror();
        Bind(PortCount, "QIO_PortCount");
        Bind(PortName, "QIO_PortName");
        Bind(OpenPort, "QIO_OpenPort");
        Bind(FreePort, "QIO_FreePort");
        Bind(Command, "QIO_Command");
        Bind(LastError, "QIO_LastError");
        Bind(Version, "QIO_Version");
        Bind(Reset, "QIO_Reset");
        Bind(Reprogram, "QIO_Reprogram");
        Bind(ProgState, "QIO_ProgState");
        // Nothing else is exported but the message hook.
        EXPECT_NE(::dlsym(so, "QELIO32_SetMessageHook"), nullptr);
        EXPECT_EQ(::dlsym(so, "_ZN5qelio13ActiveDriverEv"), nullptr);
    }

    std::string Error() {
        char text[256];
        const int32_t n = LastError(text, sizeof text);
        return n < 0 ? "<failed>" : std::string(text, n);
    }

    struct Reply {
        int32_t result;
        int32_t length;
        std::vector<uint8_t> data;
    };
    Reply Send(std::vector<uint8_t> request) {
        std::vector<uint8_t> buf(QIO_COMMAND_BUFFER, 0);
        std::copy(request.begin(), request.end(), buf.begin());
        int32_t length = static_cast<int32_t>(request.size());
        const int32_t r = Command(buf.data(), &length);
        Reply out{r, length, {}};
        if (r >= 0) out.data.assign(buf.begin(), buf.begin() + length);
        return out;
    }
};

std::string T(const std::string& name, const std::string& label) {
    return name + "\n\r" + label;
}

class PublicE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        peer_ = std::make_unique<qeltest::PtyPeer>();
        peer_->StartProcess(qeltest::MisbehavingUnit);  // before any thread exists
        ::setenv("QELIO32_DRIVER", "serial", 1);
        ::setenv("QELIO32_PORTS",
                 (peer_->PortsEntry("DMX-QEL") + ";/nonexistent/ttyQEL=Gone").c_str(), 1);
        api_.Load();
    }
    void TearDown() override {
        if (api_.FreePort) api_.FreePort();
        peer_.reset();
    }
    Api api_;
    std::unique_ptr<qeltest::PtyPeer> peer_;
};

TEST_F(PublicE2E, EveryCodeAndTextThroughTheSerialBackend) {
    Api& q = api_;
    char buf[80];

    // Version, text out, ports, names.
    EXPECT_EQ(q.Version(buf, 8), -12);
    EXPECT_EQ(q.Error(), T("ERRORS.ERROR_CALLTOAPI", "Version N"));
    EXPECT_EQ(q.Version(buf, 9), 8);
    EXPECT_STREQ(buf, "0.02.002");
    ASSERT_EQ(q.PortCount(), 2);
    EXPECT_EQ(q.PortName(1, buf, sizeof buf), 7);
    EXPECT_STREQ(buf, "DMX-QEL");
    EXPECT_EQ(q.PortName(2, buf, sizeof buf), 4);
    EXPECT_EQ(q.PortName(1, buf, 7), -12);
    EXPECT_EQ(q.Error(), T("ERRORS.ERROR_CALLTOAPI", "PortName"));
    EXPECT_EQ(q.PortName(3, buf, sizeof buf), -1);
    EXPECT_EQ(q.Error(), T("USB_IO.ERROR_PORTNUMBER", "PortName"));
    EXPECT_EQ(q.Send({0x00}).result, -14);
    EXPECT_EQ(q.Error(), T("USB_IO.ERROR_PORTSTATUS", "QIO_Command"));
    EXPECT_EQ(q.FreePort(), 0);
    EXPECT_EQ(q.Reset(), 0);
    EXPECT_EQ(q.Error(), T("USB_IO.ERROR_PORTSTATUS", "QIO_Command"));

    // Opening.
    EXPECT_EQ(q.OpenPort(3), -1);
    EXPECT_EQ(q.Error(), T("USB_IO.ERROR_PORTNUMBER", "OpenPort"));
    EXPECT_EQ(q.OpenPort(2), -2);
    EXPECT_EQ(q.Error(), T("USB_IO.ERROR_PORTSEARCH", "OpenPort"));
    ASSERT_EQ(q.OpenPort(1), 1);
    EXPECT_EQ(q.PortName(1, buf, sizeof buf), -14);
    EXPECT_EQ(q.Error(), T("USB_IO.ERROR_PORTSTATUS", "PortName"));
    ASSERT_EQ(q.OpenPort(1), 1);  // closes and reopens

    // The exchange and every failure a unit can cause.
    auto r = q.Send({0x00});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.data, (std::vector<uint8_t>{'D', 'M', 'X', '-', 'Q', 'E', 'L'}));
    r = q.Send({0x25, 0x01, 0x00, 0xFF});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.length, 3);

    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(q.Send({0x01}).result, -3);
    const auto waited = std::chrono::steady_clock::now() - t0;
    EXPECT_EQ(q.Error(), T("FRAME.ERROR_TIMEOUT", "QIO_Command"));
    EXPECT_GE(waited, std::chrono::milliseconds(1000));
    EXPECT_LT(waited, std::chrono::milliseconds(2500));  // no hang; loose for loaded machines

    r = q.Send({0x02});
    EXPECT_EQ(r.result, -4);
    EXPECT_EQ(r.length, 0);
    EXPECT_EQ(q.Error(), T("FRAME.ERROR_REPLYLENGTH", "QIO_Command"));
    EXPECT_EQ(q.Send({0x03}).result, -100);
    EXPECT_EQ(q.Error(), T("FRAME.ERROR_FRAMEFORMAT", "QIO_Command"));
    EXPECT_EQ(q.Send({0x04}).result, -100);
    EXPECT_EQ(q.Error(), T("FRAME.ERROR_MISMATCH", "QIO_Command"));
    EXPECT_EQ(q.Send({0x05}).result, -6);
    EXPECT_EQ(q.Error(), T("DEVICE.ERROR_MISMATCH", "QIO_Command"));
    r = q.Send({0x06});
    EXPECT_EQ(r.result, -11);
    EXPECT_EQ(r.length, 0);
    EXPECT_EQ(q.Error(), T("CONSTRAINT_ERROR", "QIO_Command"));
    EXPECT_EQ(q.Send({0x07}).result, -6);  // a body of length 0
    EXPECT_EQ(q.Send({0x08}).result, -6);  // the echo without a status
    EXPECT_EQ(q.Send({0x09}).result, -4);  // a length field beyond the buffer
    EXPECT_EQ(q.Error(), T("FRAME.ERROR_REPLYLENGTH", "QIO_Command"));
    r = q.Send({0x0A});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.data, (std::vector<uint8_t>{0x7E, 0xE7}));
    r = q.Send({0x0B});
    EXPECT_EQ(r.result, 7);
    EXPECT_EQ(r.data, (std::vector<uint8_t>{0xAB, 0xCD}));
    uint8_t empty[QIO_COMMAND_BUFFER] = {0};
    int32_t zero = 0;
    EXPECT_EQ(q.Command(empty, &zero), -11);
    r = q.Send({0x28, 1, 2});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.data, (std::vector<uint8_t>{1, 2}));

    // Reprogramming: a missing image file fails with -100 and its label.
    EXPECT_EQ(q.Reprogram("/nonexistent/image.txt"), -100);
    EXPECT_EQ(q.Error(), "DATAFILE.PATH_ERROR\n\rQIO_Reprogram");

    // The unit goes away: an input/output failure; the reopen of the reset then fails.
    EXPECT_EQ(q.Send({0x0C}).result, -1);
    EXPECT_EQ(q.Error(), T("USB_IO.ERROR_PORTDATAIO", "QIO_Command"));
    const int32_t after = q.Send({0x00}).result;
    EXPECT_TRUE(after == -14 || after == -2 || after == -1) << after;
    EXPECT_EQ(q.FreePort(), 0);
}

}  // namespace
