#include "pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace qeltest {

void PeerIo::Send(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (fd_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return;
        }
    }
}

void PeerIo::SendSlowly(const std::vector<uint8_t>& bytes, int gapMs) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) SleepMs(gapMs);
        Send({bytes[i]});
    }
}

void PeerIo::SendFrame(uint8_t type, const std::vector<uint8_t>& body, uint8_t end) {
    std::vector<uint8_t> f{0x7E, type, static_cast<uint8_t>(body.size() & 0xFF),
                           static_cast<uint8_t>((body.size() >> 8) & 0xFF)};
    f.insert(f.end(), body.begin(), body.end());
    f.push_back(end);
    Send(f);
}

void PeerIo::Reply(uint8_t code, uint8_t status, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> body{code, status};
    body.insert(body.end(), data.begin(), data.end());
    SendFrame(0x58, body);
}

void PeerIo::SleepMs(int ms) {
    struct timespec t {
        ms / 1000, (ms % 1000) * 1000000L
    };
    while (::nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

void PeerIo::HangUp() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void MisbehavingUnit(PeerIo& io, uint8_t type, const std::vector<uint8_t>& body) {
    (void)type;
    if (body.empty()) return;
    const uint8_t code = body[0];
    switch (code) {
        case 0x00:
            io.Reply(code, 0, {'D', 'M', 'X', '-', 'Q', 'E', 'L'});
            break;
        case 0x01:
            break;
        case 0x02:
            io.Send({0x7E, 0x58, 0x05, 0x00, code, 0x00});
            break;
        case 0x03:
            io.SendFrame(0x58, {code, 0x00}, 0x00);
            break;
        case 0x04:
            io.SendFrame(0x57, {code, 0x00});
            break;
        case 0x05:
            io.Reply(static_cast<uint8_t>(code + 1), 0);
            break;
        case 0x06:
            io.Reply(code, 0, std::vector<uint8_t>(528, 0x55));
            break;
        case 0x07:
            io.SendFrame(0x58, {});
            break;
        case 0x08:
            io.SendFrame(0x58, {code});
            break;
        case 0x09: {
            std::vector<uint8_t> b(768, 0x11);
            b[0] = code;
            b[1] = 0;
            io.SendFrame(0x58, b);
            break;
        }
        case 0x0A:
            io.Send({0x00, 0xE7, 0x58, 0x13});
            io.Reply(code, 0, {0x7E, 0xE7});
            break;
        case 0x0B:
            io.Reply(code, 7, {0xAB, 0xCD});
            break;
        case 0x0C:
            io.HangUp();
            break;
        case 0x0D: {
            std::vector<uint8_t> f{0x7E, 0x58, 0x03, 0x00, code, 0x00, 0x42, 0xE7};
            io.SendSlowly(f, 300);
            break;
        }
        case 0x0E:
            io.Reply(code, 0);
            io.Reply(0x00, 0, {'S', 'T', 'R', 'A', 'Y'});
            break;
        default: {
            std::vector<uint8_t> data(body.begin() + 1, body.end());
            io.Reply(code, 0, data);
            break;
        }
    }
}

PtyPeer::PtyPeer() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        throw std::runtime_error("cannot open a pseudo-terminal");
    }
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("ptsname");
    slavePath_ = name;
    slaveKeep_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    if (slaveKeep_ >= 0 && ::tcgetattr(slaveKeep_, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(slaveKeep_, TCSANOW, &t);
    }
    if (::pipe2(stopPipe_, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
}

PtyPeer::~PtyPeer() {
    Stop();
    if (master_ >= 0) ::close(master_);
    if (slaveKeep_ >= 0) ::close(slaveKeep_);
    for (int& fd : stopPipe_) {
        if (fd >= 0) ::close(fd);
    }
}

void PtyPeer::Loop(const PeerBehaviour& behaviour, int stopFd) {
    PeerIo io(master_);
    std::vector<uint8_t> buf;
    uint8_t chunk[4096];
    for (;;) {
        pollfd p[2] = {{io.HungUp() ? -1 : master_, POLLIN, 0}, {stopFd, POLLIN, 0}};
        if (::poll(p, 2, 200) < 0 && errno != EINTR) return;
        if (p[1].revents) return;
        if (io.HungUp()) continue;
        if (!(p[0].revents & POLLIN)) continue;
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n <= 0) continue;
        buf.insert(buf.end(), chunk, chunk + n);
        // Whole request frames out of the buffer; bytes before a start marker dropped.
        for (;;) {
            size_t s = 0;
            while (s < buf.size() && buf[s] != 0x7E)
                ++s;
            buf.erase(buf.begin(), buf.begin() + static_cast<long>(s));
            if (buf.size() < 4) break;
            const size_t len = buf[2] + 256u * buf[3];
            if (buf.size() < len + 5) break;
            const uint8_t type = buf[1];
            std::vector<uint8_t> body(buf.begin() + 4, buf.begin() + 4 + static_cast<long>(len));
            buf.erase(buf.begin(), buf.begin() + static_cast<long>(len + 5));
            behaviour(io, type, body);
            answered_.fetch_add(1);
            if (io.HungUp()) master_ = -1;
        }
    }
}

void PtyPeer::StartThread(PeerBehaviour behaviour) {
    thread_ =
        std::thread([this, behaviour = std::move(behaviour)] { Loop(behaviour, stopPipe_[0]); });
}

void PtyPeer::StartProcess(PeerBehaviour behaviour) {
    child_ = ::fork();
    if (child_ < 0) throw std::runtime_error("fork");
    if (child_ == 0) {
        ::close(slaveKeep_);
        Loop(behaviour, stopPipe_[0]);
        ::_exit(0);
    }
    // Only the child holds the master now, so its hang-up reaches the library.
    ::close(master_);
    master_ = -1;
}

void PtyPeer::Stop() {
    if (stopPipe_[1] >= 0) {
        const char x = 'x';
        ssize_t r = ::write(stopPipe_[1], &x, 1);
        (void)r;
    }
    if (thread_.joinable()) thread_.join();
    if (child_ > 0) {
        int status = 0;
        if (::waitpid(child_, &status, 0) < 0) ::kill(child_, SIGKILL);
        child_ = -1;
    }
}

}  // namespace qeltest
