#include "drivers/serial_driver.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>

#include "notifier.h"

namespace qelio {
namespace serial {
namespace {

std::string Trim(const std::string& s) {
    const char* ws = " \t\r\n";
    const size_t b = s.find_first_not_of(ws);
    if (b == std::string::npos) return "";
    const size_t e = s.find_last_not_of(ws);
    return s.substr(b, e - b + 1);
}

// First line of a small sysfs file, trimmed; empty when missing.
std::string ReadLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (in) std::getline(in, line);
    return Trim(line);
}

bool Exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

std::string Parent(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::vector<PortEntry> ParsePortsOverride(const std::string& list) {
    std::vector<PortEntry> ports;
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t end = list.find(';', pos);
        if (end == std::string::npos) end = list.size();
        const std::string entry = Trim(list.substr(pos, end - pos));
        pos = end + 1;
        if (entry.empty()) continue;
        const size_t eq = entry.find('=');
        PortEntry p;
        if (eq == std::string::npos) {
            p.path = entry;
            const size_t slash = entry.find_last_of('/');
            p.name = slash == std::string::npos ? entry : entry.substr(slash + 1);
        } else {
            p.path = Trim(entry.substr(0, eq));
            p.name = Trim(entry.substr(eq + 1));
        }
        if (!p.path.empty()) ports.push_back(p);
    }
    return ports;
}

std::vector<PortEntry> ScanSysfs(const std::string& sysRoot) {
    struct Found {
        std::string key;
        PortEntry entry;
    };
    std::vector<Found> found;
    const std::string ttyDir = sysRoot + "/class/tty";
    DIR* dir = ::opendir(ttyDir.c_str());
    if (!dir) return {};
    while (dirent* e = ::readdir(dir)) {
        const std::string tty = e->d_name;
        if (tty.rfind("ttyUSB", 0) != 0) continue;
        char real[PATH_MAX];
        const std::string link = ttyDir + "/" + tty + "/device";
        if (!::realpath(link.c_str(), real)) continue;
        // Walk up from the usb-serial port to the USB device that carries the identity.
        std::string dev = real;
        while (dev.size() > sysRoot.size() && !Exists(dev + "/idVendor"))
            dev = Parent(dev);
        if (dev.size() <= sysRoot.size()) continue;
        if (ReadLine(dev + "/idVendor") != "0403" || ReadLine(dev + "/idProduct") != "6001") {
            continue;
        }
        std::string name = ReadLine(dev + "/product");
        if (name.empty()) name = tty;
        found.push_back({std::string(real), {"/dev/" + tty, name}});
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.key < b.key; });
    std::vector<PortEntry> ports;
    for (const Found& f : found)
        ports.push_back(f.entry);
    return ports;
}

std::vector<PortEntry> Enumerate() {
    if (const char* list = std::getenv("QELIO32_PORTS")) return ParsePortsOverride(list);
    return ScanSysfs();
}

}  // namespace serial

namespace {

class SerialDriver final : public Driver {
  public:
    ~SerialDriver() override {
        for (auto& [h, port] : open_)
            CloseFd(port.fd);
    }

    int32_t ListCount(uint32_t* count) override {
        std::lock_guard<std::mutex> lock(mutex_);
        Refresh();
        *count = static_cast<uint32_t>(list_.size());
        return kDriverOk;
    }

    int32_t ListDescription(int32_t index, char* buffer64) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!listed_) Refresh();
        if (index < 0 || static_cast<size_t>(index) >= list_.size()) return kDriverDeviceNotFound;
        const std::string& name = list_[index].name;
        const size_t n = std::min<size_t>(name.size(), kDescriptionSize);
        std::memcpy(buffer64, name.data(), n);
        if (n < static_cast<size_t>(kDescriptionSize)) buffer64[n] = '\0';
        return kDriverOk;
    }

    int32_t Open(int32_t index, DriverHandle* handle) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!listed_) Refresh();
        if (index < 0 || static_cast<size_t>(index) >= list_.size()) return kDriverDeviceNotFound;
        const std::string& path = list_[index].path;
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            const int err = errno;
            if (err == EACCES || err == EPERM) {
                Diagnose("no permission to open " + path +
                         ": add your user to the 'dialout' group "
                         "(sudo adduser $USER dialout) and log in again");
                return kDriverDeviceNotOpened;
            }
            if (err == ENOENT || err == ENODEV || err == ENXIO) return kDriverDeviceNotFound;
            Diagnose("cannot open " + path + ": " + std::strerror(err));
            return kDriverDeviceNotOpened;
        }
        Configure(fd);
        const DriverHandle h = next_++;
        open_[h] = Port{fd, 0, 1000};
        *handle = h;
        return kDriverOk;
    }

    int32_t Close(DriverHandle handle) override {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = open_.find(handle);
        if (it == open_.end()) return kDriverInvalidHandle;
        CloseFd(it->second.fd);
        open_.erase(it);
        return kDriverOk;
    }

    int32_t Write(DriverHandle handle, const uint8_t* data, uint32_t count,
                  uint32_t* written) override {
        std::lock_guard<std::mutex> lock(mutex_);
        Port* p = Find(handle);
        if (!p) return kDriverInvalidHandle;
        *written = 0;
        while (*written < count) {
            const ssize_t n = ::write(p->fd, data + *written, count - *written);
            if (n > 0) {
                *written += static_cast<uint32_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno == EAGAIN) {
                pollfd pf{p->fd, POLLOUT, 0};
                const int r =
                    ::poll(&pf, 1, static_cast<int>(std::min<uint32_t>(p->writeMs, INT_MAX)));
                if (r == 0) return kDriverOk;  // write timeout: fewer bytes written
                if (r < 0 && errno != EINTR) return kDriverIoError;
                if (r > 0 && (pf.revents & (POLLERR | POLLHUP | POLLNVAL))) return kDriverIoError;
                continue;
            }
            return kDriverIoError;
        }
        return kDriverOk;
    }

    int32_t QueueLength(DriverHandle handle, uint32_t* count) override {
        std::lock_guard<std::mutex> lock(mutex_);
        Port* p = Find(handle);
        if (!p) return kDriverInvalidHandle;
        int n = 0;
        if (::ioctl(p->fd, FIONREAD, &n) < 0) return kDriverIoError;
        if (n <= 0) {
            // Nothing waiting: a unit that went away (or a peer that hung up) shows here.
            pollfd pf{p->fd, POLLIN, 0};
            if (::poll(&pf, 1, 0) > 0 && (pf.revents & (POLLERR | POLLHUP | POLLNVAL))) {
                return kDriverIoError;
            }
            n = 0;
        }
        *count = static_cast<uint32_t>(n);
        return kDriverOk;
    }

    int32_t SetTimeouts(DriverHandle handle, uint32_t readMs, uint32_t writeMs) override {
        std::lock_guard<std::mutex> lock(mutex_);
        Port* p = Find(handle);
        if (!p) return kDriverInvalidHandle;
        p->readMs = readMs;
        p->writeMs = writeMs;
        return kDriverOk;
    }

    int32_t Read(DriverHandle handle, uint8_t* buffer, uint32_t count, uint32_t* got) override {
        std::lock_guard<std::mutex> lock(mutex_);
        Port* p = Find(handle);
        if (!p) return kDriverInvalidHandle;
        *got = 0;
        if (count == 0) return kDriverOk;
        bool waited = false;
        for (;;) {
            const ssize_t n = ::read(p->fd, buffer, count);
            if (n > 0) {
                *got = static_cast<uint32_t>(n);
                return kDriverOk;
            }
            if (n == 0) return kDriverIoError;  // hang-up
            if (errno == EINTR) continue;
            if (errno != EAGAIN) return kDriverIoError;
            if (waited || p->readMs == 0) return kDriverOk;  // read timeout, nothing read
            pollfd pf{p->fd, POLLIN, 0};
            const int r = ::poll(&pf, 1, static_cast<int>(std::min<uint32_t>(p->readMs, INT_MAX)));
            if (r < 0 && errno != EINTR) return kDriverIoError;
            waited = true;
        }
    }

    int32_t Purge(DriverHandle handle, uint32_t mask) override {
        std::lock_guard<std::mutex> lock(mutex_);
        Port* p = Find(handle);
        if (!p) return kDriverInvalidHandle;
        const int which = (mask & 3) == 3 ? TCIOFLUSH : (mask & 1) ? TCIFLUSH : TCOFLUSH;
        if (mask & 3) ::tcflush(p->fd, which);
        return kDriverOk;
    }

    int32_t Reload(uint16_t, uint16_t) override {
        // ftdi_sio needs no reload: the next call sees the device list afresh, and the
        // caller reopens its port (the device node is opened and configured again).
        std::lock_guard<std::mutex> lock(mutex_);
        listed_ = false;
        return kDriverOk;
    }

  private:
    struct Port {
        int fd;
        uint32_t readMs;
        uint32_t writeMs;
    };

    Port* Find(DriverHandle h) {
        auto it = open_.find(h);
        return it == open_.end() ? nullptr : &it->second;
    }

    void Refresh() {
        list_ = serial::Enumerate();
        listed_ = true;
    }

    static void Configure(int fd) {
        ::ioctl(fd, TIOCEXCL);  // one program per unit, as the D2XX driver has it
        termios t{};
        if (::tcgetattr(fd, &t) == 0) {
            ::cfmakeraw(&t);
            t.c_cflag |= CLOCAL | CREAD;
            t.c_cflag &= ~CRTSCTS;
            t.c_iflag &= ~(IXON | IXOFF | IXANY);
            t.c_cc[VMIN] = 0;
            t.c_cc[VTIME] = 0;
            ::tcsetattr(fd, TCSANOW, &t);
        }
        // Ask the FTDI driver not to hold replies back (latency timer 1 ms); a device
        // that does not support it (a pseudo-terminal) simply says no.
        serial_struct ss{};
        if (::ioctl(fd, TIOCGSERIAL, &ss) == 0) {
            ss.flags |= ASYNC_LOW_LATENCY;
            ::ioctl(fd, TIOCSSERIAL, &ss);
        }
    }

    static void CloseFd(int fd) {
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
    }

    std::mutex mutex_;
    std::vector<serial::PortEntry> list_;
    bool listed_ = false;
    std::map<DriverHandle, Port> open_;
    DriverHandle next_ = 1;
};

}  // namespace

std::unique_ptr<Driver> MakeSerialDriver() {
    return std::make_unique<SerialDriver>();
}

}  // namespace qelio
