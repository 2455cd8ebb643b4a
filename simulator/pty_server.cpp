#include "pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace qelsim {

namespace {
// A request that stalls this long inside its frame is abandoned, as the unit's own
// receiver does.
constexpr auto kReceiverTimeout = std::chrono::seconds(1);
constexpr auto kIdlePoll = std::chrono::milliseconds(100);
}  // namespace

PtyServer::~PtyServer() {
    for (Pty& p : ptys_) {
        if (p.slave >= 0) close(p.slave);
        if (p.master >= 0) close(p.master);
    }
}

bool PtyServer::Open(std::string* error) {
    for (size_t i = 0; i < rig_.UnitCount(); ++i) {
        Pty p;
        p.port = &rig_.Port(i);
        p.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (p.master < 0 || grantpt(p.master) != 0 || unlockpt(p.master) != 0) {
            *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
            if (p.master >= 0) close(p.master);
            return false;
        }
        char name[128];
        if (ptsname_r(p.master, name, sizeof name) != 0) {
            *error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
            close(p.master);
            return false;
        }
        p.path = name;
        p.slave = open(name, O_RDWR | O_NOCTTY);
        if (p.slave >= 0) {
            termios t{};
            tcgetattr(p.slave, &t);
            cfmakeraw(&t);
            tcsetattr(p.slave, TCSANOW, &t);
        }
        ptys_.push_back(p);
    }
    return true;
}

std::vector<std::string> PtyServer::PortLines() const {
    std::vector<std::string> lines;
    for (size_t i = 0; i < ptys_.size(); ++i) {
        lines.push_back(ptys_[i].path + "=" + rig_.GetUnit(i).Identity().name);
    }
    return lines;
}

void PtyServer::Receive(Pty& p) {
    uint8_t buffer[1024];
    for (;;) {
        ssize_t n = read(p.master, buffer, sizeof buffer);
        if (n <= 0) return;
        auto now = Steady::now();
        if (now - p.lastIn > kReceiverTimeout) p.port->ResetReceiver();
        p.lastIn = now;
        for (const TimedByte& b : p.port->Write(buffer, static_cast<size_t>(n))) {
            auto at = now + std::chrono::duration_cast<Steady::duration>(b.at);
            // Bytes leave in order even when a disturbance schedules them closer together.
            if (!p.out.empty()) at = std::max(at, p.out.back().first);
            p.out.emplace_back(at, b.value);
        }
    }
}

void PtyServer::Transmit(Pty& p) {
    auto now = Steady::now();
    uint8_t buffer[1024];
    size_t n = 0;
    while (n < sizeof buffer && n < p.out.size() && p.out[n].first <= now) {
        buffer[n] = p.out[n].second;
        ++n;
    }
    if (n == 0) return;
    ssize_t written = write(p.master, buffer, n);
    if (written > 0) p.out.erase(p.out.begin(), p.out.begin() + written);
}

void PtyServer::Serve(const std::atomic<bool>& stop) {
    std::vector<pollfd> fds(ptys_.size());
    while (!stop.load()) {
        auto now = Steady::now();
        auto wake = now + kIdlePoll;
        for (size_t i = 0; i < ptys_.size(); ++i) {
            fds[i] = {ptys_[i].master, POLLIN, 0};
            if (ptys_[i].out.empty()) continue;
            // Bytes already due wait for room in the pty rather than a timeout, so a reader
            // that falls behind does not make this loop spin.
            if (ptys_[i].out.front().first <= now) {
                fds[i].events |= POLLOUT;
            } else {
                wake = std::min(wake, ptys_[i].out.front().first);
            }
        }
        // Rounded up: a wait cut to 0 ms would poll again and again until the byte is due.
        auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
        poll(fds.data(), fds.size(), static_cast<int>(std::max<long>(0, wait)));
        for (size_t i = 0; i < ptys_.size(); ++i) {
            if (fds[i].revents & POLLIN) Receive(ptys_[i]);
            Transmit(ptys_[i]);
        }
    }
}

}  // namespace qelsim
