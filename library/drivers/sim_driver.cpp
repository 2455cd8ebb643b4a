#include "drivers/sim_driver.h"

#ifdef QELIO_WITH_SIM

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "notifier.h"

namespace qelio {

std::unique_ptr<Driver> MakeSimDriver() {
    const char* env = std::getenv("QELIO32_SIM_RIG");
    std::string name = env && *env ? env : qelsim::kDefaultRig;
    std::string error;
    std::optional<qelsim::Rig> rig = qelsim::Rig::Load(name, &error);
    if (!rig) {
        Diagnose("QELIO32_SIM_RIG: " + error + "; the simulated rig has no units");
        rig = qelsim::Rig::Parse("", &error);
    }
    return std::make_unique<SimDriver>(std::move(*rig));
}

SimDriver::SimDriver(qelsim::Rig rig) : rig_(std::move(rig)), slots_(rig_.UnitCount()) {
    rig_.Time()->SetSource([] { return ActiveClock().Now().time_since_epoch(); });
}

void SimDriver::Unplug(size_t unit) {
    std::lock_guard<std::mutex> lock(mutex_);
    Slot& s = slots_.at(unit);
    s.present = false;
    s.severed = s.handle != 0;
    s.rx.clear();
}

void SimDriver::Replug(size_t unit) {
    std::lock_guard<std::mutex> lock(mutex_);
    slots_.at(unit).present = true;
}

SimDriver::Slot* SimDriver::Find(DriverHandle handle) {
    if (handle == 0) return nullptr;
    for (Slot& s : slots_) {
        if (s.handle == handle) return &s;
    }
    return nullptr;
}

int SimDriver::UnitAt(int32_t index) const {
    if (index < 0) return -1;
    for (size_t u = 0; u < slots_.size(); ++u) {
        if (slots_[u].present && index-- == 0) return static_cast<int>(u);
    }
    return -1;
}

uint32_t SimDriver::Due(const Slot& s, Clock::TimePoint now) {
    // Bytes are queued in the order of their arrival times.
    auto firstLater = std::partition_point(s.rx.begin(), s.rx.end(),
                                           [now](const auto& b) { return b.first <= now; });
    return static_cast<uint32_t>(firstLater - s.rx.begin());
}

int32_t SimDriver::ListCount(uint32_t* count) {
    std::lock_guard<std::mutex> lock(mutex_);
    *count = static_cast<uint32_t>(
        std::count_if(slots_.begin(), slots_.end(), [](const Slot& s) { return s.present; }));
    return kDriverOk;
}

int32_t SimDriver::ListDescription(int32_t index, char* buffer64) {
    std::lock_guard<std::mutex> lock(mutex_);
    int unit = UnitAt(index);
    if (unit < 0) return kDriverDeviceNotFound;
    std::string name = rig_.GetUnit(unit).Identity().name;
    std::memset(buffer64, 0, kDescriptionSize);
    std::memcpy(buffer64, name.data(), std::min<size_t>(name.size(), kDescriptionSize));
    return kDriverOk;
}

int32_t SimDriver::Open(int32_t index, DriverHandle* handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    int unit = UnitAt(index);
    if (unit < 0) return kDriverDeviceNotFound;
    Slot& s = slots_[unit];
    // A unit is opened once at a time; a handle that outlived a pull no longer counts.
    if (s.handle != 0 && !s.severed) return kDriverDeviceNotOpened;
    s.handle = nextHandle_++;
    s.severed = false;
    s.rx.clear();
    rig_.Port(unit).ResetReceiver();
    *handle = s.handle;
    return kDriverOk;
}

int32_t SimDriver::Close(DriverHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    Slot* s = Find(handle);
    if (!s) return kDriverInvalidHandle;
    s->handle = 0;
    s->severed = false;
    s->rx.clear();
    return kDriverOk;
}

int32_t SimDriver::Write(DriverHandle handle, const uint8_t* data, uint32_t count,
                         uint32_t* written) {
    *written = 0;
    std::lock_guard<std::mutex> lock(mutex_);
    Slot* s = Find(handle);
    if (!s) return kDriverInvalidHandle;
    if (s->severed) return kDriverIoError;
    auto unit = static_cast<size_t>(s - slots_.data());
    Clock::TimePoint now = ActiveClock().Now();
    for (const qelsim::TimedByte& b : rig_.Port(unit).Write(data, count)) {
        Clock::TimePoint at = now + b.at;
        if (!s->rx.empty()) at = std::max(at, s->rx.back().first);
        s->rx.emplace_back(at, b.value);
    }
    *written = count;
    return kDriverOk;
}

int32_t SimDriver::QueueLength(DriverHandle handle, uint32_t* count) {
    *count = 0;
    std::lock_guard<std::mutex> lock(mutex_);
    Slot* s = Find(handle);
    if (!s) return kDriverInvalidHandle;
    if (s->severed) return kDriverIoError;
    *count = Due(*s, ActiveClock().Now());
    return kDriverOk;
}

int32_t SimDriver::SetTimeouts(DriverHandle handle, uint32_t readMs, uint32_t) {
    std::lock_guard<std::mutex> lock(mutex_);
    Slot* s = Find(handle);
    if (!s) return kDriverInvalidHandle;
    if (s->severed) return kDriverIoError;
    s->readTimeout = std::chrono::milliseconds(readMs);
    return kDriverOk;
}

int32_t SimDriver::Read(DriverHandle handle, uint8_t* buffer, uint32_t count, uint32_t* got) {
    *got = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    Clock& clock = ActiveClock();
    Clock::TimePoint deadline{};
    for (bool first = true;; first = false) {
        Slot* s = Find(handle);
        if (!s) return kDriverInvalidHandle;
        if (s->severed) return kDriverIoError;
        Clock::TimePoint now = clock.Now();
        if (first) deadline = now + s->readTimeout;
        uint32_t n = std::min(count, Due(*s, now));
        if (n > 0 || now >= deadline) {
            for (uint32_t i = 0; i < n; ++i) {
                buffer[i] = s->rx.front().second;
                s->rx.pop_front();
            }
            *got = n;
            return kDriverOk;
        }
        Clock::TimePoint wake = s->rx.empty() ? deadline : std::min(deadline, s->rx.front().first);
        lock.unlock();
        clock.SleepFor(wake - now);
        lock.lock();
    }
}

int32_t SimDriver::Purge(DriverHandle handle, uint32_t mask) {
    std::lock_guard<std::mutex> lock(mutex_);
    Slot* s = Find(handle);
    if (!s) return kDriverInvalidHandle;
    if (s->severed) return kDriverIoError;
    if (mask & 1) s->rx.clear();
    if (mask & 2) rig_.Port(static_cast<size_t>(s - slots_.data())).ResetReceiver();
    return kDriverOk;
}

int32_t SimDriver::Reload(uint16_t, uint16_t) {
    return kDriverOk;
}

}  // namespace qelio

#endif
