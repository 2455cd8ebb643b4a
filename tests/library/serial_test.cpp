// The serial backend: port lists (QELIO32_PORTS, sysfs) and real exchanges through a
// pseudo-terminal with a peer thread.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "driver.h"
#include "drivers/serial_driver.h"
#include "lib_test_util.h"
#include "pty_peer.h"
#include "testing.h"

namespace qeltest {
namespace {

namespace fs = std::filesystem;
using qelio::serial::PortEntry;

TEST(SerialPorts, ParseOverride) {
    using V = std::vector<PortEntry>;
    EXPECT_EQ(qelio::serial::ParsePortsOverride(""), V{});
    EXPECT_EQ(qelio::serial::ParsePortsOverride("/dev/pts/3=DMX-QEL"),
              (V{{"/dev/pts/3", "DMX-QEL"}}));
    EXPECT_EQ(qelio::serial::ParsePortsOverride(" /dev/pts/3 = A B ;;/dev/ttyUSB1=x=y;/dev/foo;"),
              (V{{"/dev/pts/3", "A B"}, {"/dev/ttyUSB1", "x=y"}, {"/dev/foo", "foo"}}));
    EXPECT_EQ(qelio::serial::ParsePortsOverride("=nopath;/a="), (V{{"/a", ""}}));
}

void Write(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text << "\n";
}

// A fake sysfs: two FTDI units on different USB ports, one other USB serial adapter.
TEST(SerialPorts, ScanSysfsFindsFtdiUnitsInBusOrder) {
    const fs::path root = fs::temp_directory_path() / ("qel-sysfs-" + std::to_string(::getpid()));
    fs::remove_all(root);
    auto unit = [&](const std::string& usb, const std::string& tty, const std::string& vid,
                    const std::string& pid, const std::string& product) {
        const fs::path dev = root / "devices/pci0000:00/usb1" / usb;
        Write(dev / "idVendor", vid);
        Write(dev / "idProduct", pid);
        if (!product.empty()) Write(dev / "product", product);
        const fs::path port = dev / (usb + ":1.0") / tty;
        fs::create_directories(port);
        fs::create_directories(root / "class/tty" / tty);
        fs::create_symlink(port, root / "class/tty" / tty / "device");
    };
    unit("1-2", "ttyUSB0", "0403", "6001", "DMX-QEL second");
    unit("1-1", "ttyUSB1", "0403", "6001", "DMX-QEL first");
    unit("1-3", "ttyUSB2", "067b", "2303", "Other adapter");
    unit("1-4", "ttyUSB3", "0403", "6001", "");
    fs::create_directories(root / "class/tty/ttyS0");
    const auto ports = qelio::serial::ScanSysfs(root.string());
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0], (PortEntry{"/dev/ttyUSB1", "DMX-QEL first"}));
    EXPECT_EQ(ports[1], (PortEntry{"/dev/ttyUSB0", "DMX-QEL second"}));
    EXPECT_EQ(ports[2], (PortEntry{"/dev/ttyUSB3", "ttyUSB3"}));
    EXPECT_TRUE(qelio::serial::ScanSysfs((root / "missing").string()).empty());
    fs::remove_all(root);
}

class SerialPty : public ::testing::Test {
  protected:
    void SetUp() override {
        qelio::testing::ResetLibraryState();
        qelio::InstallDriver(qelio::MakeDriver("serial"));
    }
    void TearDown() override {
        QIO_FreePort();
        peer_.reset();
        ::unsetenv("QELIO32_PORTS");
        qelio::InstallDriver(nullptr);
        qelio::testing::ResetLibraryState();
    }
    void StartPeer(PeerBehaviour b = MisbehavingUnit) {
        peer_ = std::make_unique<PtyPeer>();
        ::setenv("QELIO32_PORTS", (peer_->PortsEntry("DMX-QEL") + ";/nonexistent/tty=Gone").c_str(),
                 1);
        peer_->StartThread(std::move(b));
    }
    std::unique_ptr<PtyPeer> peer_;
};

TEST_F(SerialPty, ListsOpensAndExchanges) {
    StartPeer();
    EXPECT_EQ(QIO_PortCount(), 2);
    char name[80];
    EXPECT_EQ(QIO_PortName(1, name, sizeof name), 7);
    EXPECT_STREQ(name, "DMX-QEL");
    EXPECT_EQ(QIO_PortName(2, name, sizeof name), 4);
    ASSERT_EQ(QIO_OpenPort(1), 1);
    CommandResult r = RunCommand({0x00});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.data, (Bytes{'D', 'M', 'X', '-', 'Q', 'E', 'L'}));
    for (int i = 0; i < 50; ++i) {
        r = RunCommand({0x25, static_cast<uint8_t>(i), 0, 0xFF});
        ASSERT_EQ(r.result, 0);
        EXPECT_EQ(r.data, (Bytes{static_cast<uint8_t>(i), 0, 0xFF}));
    }
    r = RunCommand({0x0B});
    EXPECT_EQ(r.result, 7);
    EXPECT_EQ(r.data, (Bytes{0xAB, 0xCD}));
}

TEST_F(SerialPty, MissingDeviceNodeIsNotFound) {
    StartPeer();
    EXPECT_EQ(QIO_OpenPort(2), -2);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSEARCH", "OpenPort"));
}

TEST_F(SerialPty, ReopenAfterFreeAndPurgeOfStaleBytes) {
    StartPeer();
    ASSERT_EQ(QIO_OpenPort(1), 1);
    EXPECT_EQ(RunCommand({0x0E}).result, 0);  // leaves a stray reply behind
    ::usleep(20000);
    EXPECT_EQ(QIO_FreePort(), 0);
    ASSERT_EQ(QIO_OpenPort(1), 1);
    // The stray frame is still in the line's buffer and nothing asked for a purge (only
    // the first request after load and a timeout or a wrong frame type do): it answers
    // the next request, whose own reply then answers the one after (a mismatch).
    CommandResult r = RunCommand({0x00});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.data, (Bytes{'S', 'T', 'R', 'A', 'Y'}));
    EXPECT_EQ(RunCommand({0x01}).result, -6);
    EXPECT_EQ(RunCommand({0x01}).result, -3);  // a timeout sets the purge again
    r = RunCommand({0x00});
    EXPECT_EQ(r.data, (Bytes{'D', 'M', 'X', '-', 'Q', 'E', 'L'}));
}

TEST_F(SerialPty, HangUpIsAnInputOutputFailure) {
    StartPeer();
    ASSERT_EQ(QIO_OpenPort(1), 1);
    EXPECT_EQ(RunCommand({0x0C}).result, -1);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTDATAIO", "QIO_Command"));
}

TEST_F(SerialPty, SlowPeerWithinThePerByteWait) {
    StartPeer();
    ASSERT_EQ(QIO_OpenPort(1), 1);
    const CommandResult r = RunCommand({0x0D});  // eight bytes 300 ms apart
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.data, (Bytes{0x42}));
}

// A person without access to the device node learns why: -14 and a line about the
// dialout group. (As root, the check runs in a child that gives up its privileges.)
TEST(SerialDriverTest, PermissionDeniedNamesTheDialoutGroup) {
    const std::string node =
        (fs::temp_directory_path() / ("qel-locked-" + std::to_string(::getpid()))).string();
    { std::ofstream(node) << ""; }
    ::chmod(node.c_str(), 0600);
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(out[1], STDERR_FILENO);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        ::setenv("QELIO32_PORTS", (node + "=Locked").c_str(), 1);
        qelio::testing::ResetLibraryState();
        qelio::InstallDriver(qelio::MakeDriver("serial"));
        const int32_t r = QIO_OpenPort(1);
        const bool textOk = LastError() == Text("USB_IO.ERROR_PORTSTATUS", "OpenPort");
        ::_exit(r == -14 && textOk ? 0 : 1);
    }
    ::close(out[1]);
    std::string err;
    char chunk[256];
    ssize_t n;
    while ((n = ::read(out[0], chunk, sizeof chunk)) > 0)
        err.append(chunk, static_cast<size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::unlink(node.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << err;
    EXPECT_NE(err.find("no permission to open " + node), std::string::npos) << err;
    EXPECT_NE(err.find("'dialout' group"), std::string::npos) << err;
}

TEST(SerialDriverTest, UnknownHandlesAreRejected) {
    auto d = qelio::MakeDriver("serial");
    ASSERT_TRUE(d);
    uint32_t n = 0;
    uint8_t b = 0;
    EXPECT_EQ(d->Close(12345), qelio::kDriverInvalidHandle);
    EXPECT_EQ(d->QueueLength(12345, &n), qelio::kDriverInvalidHandle);
    EXPECT_EQ(d->Read(12345, &b, 1, &n), qelio::kDriverInvalidHandle);
    EXPECT_EQ(d->Write(12345, &b, 1, &n), qelio::kDriverInvalidHandle);
    EXPECT_EQ(d->SetTimeouts(12345, 0, 0), qelio::kDriverInvalidHandle);
    EXPECT_EQ(d->Purge(12345, 3), qelio::kDriverInvalidHandle);
    EXPECT_EQ(d->Reload(0x0403, 0x6001), qelio::kDriverOk);
    char desc[64];
    ::setenv("QELIO32_PORTS", "", 1);
    EXPECT_EQ(d->ListCount(&n), 0);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(d->ListDescription(0, desc), qelio::kDriverDeviceNotFound);
    qelio::DriverHandle h = 0;
    EXPECT_EQ(d->Open(-1, &h), qelio::kDriverDeviceNotFound);
    ::unsetenv("QELIO32_PORTS");
}

TEST(SerialDriverTest, LongNamesAreCutAt64WithoutNul) {
    auto d = qelio::MakeDriver("serial");
    ::setenv("QELIO32_PORTS", ("/dev/null=" + std::string(70, 'n')).c_str(), 1);
    uint32_t n = 0;
    EXPECT_EQ(d->ListCount(&n), 0);
    ASSERT_EQ(n, 1u);
    char desc[64];
    EXPECT_EQ(d->ListDescription(0, desc), 0);
    EXPECT_EQ(std::string(desc, 64), std::string(64, 'n'));
    ::unsetenv("QELIO32_PORTS");
}

}  // namespace
}  // namespace qeltest
