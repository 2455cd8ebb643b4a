#include "scripted_driver.h"

#include <algorithm>
#include <cstring>

#include "test_clock.h"
#include "testing.h"

namespace qeltest {

const char* OpName(Op op) {
    switch (op) {
        case Op::kListCount:
            return "ListCount";
        case Op::kListDescription:
            return "ListDescription";
        case Op::kOpen:
            return "Open";
        case Op::kClose:
            return "Close";
        case Op::kWrite:
            return "Write";
        case Op::kQueueLength:
            return "QueueLength";
        case Op::kSetTimeouts:
            return "SetTimeouts";
        case Op::kRead:
            return "Read";
        case Op::kPurge:
            return "Purge";
        case Op::kReload:
            return "Reload";
    }
    return "?";
}

Bytes Frame(uint8_t type, const Bytes& body, uint8_t endMarker) {
    Bytes f{0x7E, type, static_cast<uint8_t>(body.size() & 0xFF),
            static_cast<uint8_t>((body.size() >> 8) & 0xFF)};
    f.insert(f.end(), body.begin(), body.end());
    f.push_back(endMarker);
    return f;
}

Bytes ReplyFrame(uint8_t code, uint8_t status, const Bytes& data) {
    Bytes body{code, status};
    body.insert(body.end(), data.begin(), data.end());
    return Frame(0x58, body);
}

ScriptedDriver::ScriptedDriver() = default;

void ScriptedDriver::SetDevices(std::vector<std::string> descriptions) {
    std::lock_guard<std::mutex> lock(mutex_);
    devices_ = std::move(descriptions);
}

void ScriptedDriver::StatusAtCall(size_t position, int32_t status) {
    std::lock_guard<std::mutex> lock(mutex_);
    atCall_[position] = status;
}

void ScriptedDriver::StatusAt(Op op, size_t nth, int32_t status) {
    std::lock_guard<std::mutex> lock(mutex_);
    atOp_[{op, nth}] = status;
}

void ScriptedDriver::StatusAlways(Op op, int32_t status) {
    std::lock_guard<std::mutex> lock(mutex_);
    always_[op] = status;
}

void ScriptedDriver::ClearStatuses() {
    std::lock_guard<std::mutex> lock(mutex_);
    atCall_.clear();
    atOp_.clear();
    always_.clear();
}

void ScriptedDriver::SetResponder(Responder responder) {
    std::lock_guard<std::mutex> lock(mutex_);
    responder_ = std::move(responder);
}

void ScriptedDriver::AnswerAll(uint8_t status, const Bytes& data) {
    SetResponder([status, data](ScriptedDriver& d, const Bytes& w) {
        if (w.size() >= 5) d.Arrive(ReplyFrame(w[4], status, data));
    });
}

void ScriptedDriver::Arrive(const Bytes& bytes, Duration after, Duration gap) {
    const auto now = qelio::ActiveClock().Now();
    std::lock_guard<std::mutex> lock(mutex_);
    auto at = now + after;
    for (uint8_t b : bytes) {
        incoming_.push_back({at, b});
        at += gap;
    }
}

void ScriptedDriver::EmptyReadAt(size_t nthRead) {
    std::lock_guard<std::mutex> lock(mutex_);
    emptyReads_.push_back(nthRead);
}

std::vector<Call> ScriptedDriver::Calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

std::vector<Op> ScriptedDriver::Ops() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Op> ops;
    for (const Call& c : calls_)
        ops.push_back(c.op);
    return ops;
}

size_t ScriptedDriver::CallCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_.size();
}

std::vector<Bytes> ScriptedDriver::Writes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_;
}

size_t ScriptedDriver::Count(Op op) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = opCount_.find(op);
    return it == opCount_.end() ? 0 : it->second;
}

size_t ScriptedDriver::Pending() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return incoming_.size();
}

std::vector<std::pair<uint32_t, uint32_t>> ScriptedDriver::Timeouts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return timeouts_;
}

qelio::DriverHandle ScriptedDriver::LastHandle() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastHandle_;
}

int32_t ScriptedDriver::Next(Op op, int64_t arg) {
    const size_t position = calls_.size();
    const size_t nth = opCount_[op]++;
    int32_t status = qelio::kDriverOk;
    if (auto a = always_.find(op); a != always_.end()) status = a->second;
    if (auto o = atOp_.find({op, nth}); o != atOp_.end()) status = o->second;
    if (auto c = atCall_.find(position); c != atCall_.end()) status = c->second;
    calls_.push_back({op, status, arg});
    return status;
}

size_t ScriptedDriver::ArrivedLocked(qelio::Clock::TimePoint now) const {
    size_t n = 0;
    for (const Incoming& p : incoming_) {
        if (p.at > now) break;
        ++n;
    }
    return n;
}

int32_t ScriptedDriver::ListCount(uint32_t* count) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int32_t s = Next(Op::kListCount, 0);
    if (s == 0) *count = static_cast<uint32_t>(devices_.size());
    return s;
}

int32_t ScriptedDriver::ListDescription(int32_t index, char* buffer64) {
    std::lock_guard<std::mutex> lock(mutex_);
    int32_t s = Next(Op::kListDescription, index);
    if (s != 0) return s;
    if (index < 0 || static_cast<size_t>(index) >= devices_.size()) {
        calls_.back().status = qelio::kDriverDeviceNotFound;
        return qelio::kDriverDeviceNotFound;
    }
    const std::string& d = devices_[index];
    const size_t n = std::min<size_t>(d.size(), qelio::kDescriptionSize);
    std::memcpy(buffer64, d.data(), n);
    if (n < static_cast<size_t>(qelio::kDescriptionSize)) buffer64[n] = '\0';
    return 0;
}

int32_t ScriptedDriver::Open(int32_t index, qelio::DriverHandle* handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    int32_t s = Next(Op::kOpen, index);
    if (s != 0) return s;
    if (index < 0 || static_cast<size_t>(index) >= devices_.size()) {
        calls_.back().status = qelio::kDriverDeviceNotFound;
        return qelio::kDriverDeviceNotFound;
    }
    *handle = lastHandle_ = nextHandle_++;
    return 0;
}

int32_t ScriptedDriver::Close(qelio::DriverHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    return Next(Op::kClose, static_cast<int64_t>(handle));
}

int32_t ScriptedDriver::Write(qelio::DriverHandle handle, const uint8_t* data, uint32_t count,
                              uint32_t* written) {
    Responder responder;
    Bytes frame(data, data + count);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const int32_t s = Next(Op::kWrite, static_cast<int64_t>(handle));
        if (s != 0) return s;
        writes_.push_back(frame);
        *written = count;
        responder = responder_;
    }
    if (responder) responder(*this, frame);
    return 0;
}

int32_t ScriptedDriver::QueueLength(qelio::DriverHandle handle, uint32_t* count) {
    const auto now = qelio::ActiveClock().Now();
    std::lock_guard<std::mutex> lock(mutex_);
    const int32_t s = Next(Op::kQueueLength, static_cast<int64_t>(handle));
    if (s == 0) *count = static_cast<uint32_t>(ArrivedLocked(now));
    return s;
}

int32_t ScriptedDriver::SetTimeouts(qelio::DriverHandle handle, uint32_t readMs, uint32_t writeMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int32_t s = Next(Op::kSetTimeouts, static_cast<int64_t>(handle));
    timeouts_.push_back({readMs, writeMs});
    return s;
}

int32_t ScriptedDriver::Read(qelio::DriverHandle handle, uint8_t* buffer, uint32_t count,
                             uint32_t* got) {
    const auto now = qelio::ActiveClock().Now();
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t nth = opCount_[Op::kRead];
    const int32_t s = Next(Op::kRead, static_cast<int64_t>(handle));
    *got = 0;
    if (s != 0) return s;
    if (std::find(emptyReads_.begin(), emptyReads_.end(), nth) != emptyReads_.end()) {
        buffer[0] = 0xEE;  // not delivered: the count says 0
        return 0;
    }
    uint32_t n = 0;
    while (n < count && !incoming_.empty() && incoming_.front().at <= now) {
        buffer[n++] = incoming_.front().byte;
        incoming_.pop_front();
    }
    *got = n;
    return 0;
}

int32_t ScriptedDriver::Purge(qelio::DriverHandle handle, uint32_t mask) {
    const auto now = qelio::ActiveClock().Now();
    std::lock_guard<std::mutex> lock(mutex_);
    const int32_t s = Next(Op::kPurge, static_cast<int64_t>(handle));
    if (mask & 1) {
        // Discard what has arrived; bytes still on their way arrive later.
        size_t n = ArrivedLocked(now);
        incoming_.erase(incoming_.begin(), incoming_.begin() + static_cast<long>(n));
    }
    return s;
}

int32_t ScriptedDriver::Reload(uint16_t vendor, uint16_t product) {
    std::lock_guard<std::mutex> lock(mutex_);
    return Next(Op::kReload, vendor * 0x10000 + product);
}

ScriptedLibrary::ScriptedLibrary(bool testClock) {
    auto driver = std::make_unique<ScriptedDriver>();
    driver_ = driver.get();
    qelio::InstallDriver(std::move(driver));
    if (testClock) {
        auto clock = std::make_unique<TestClock>();
        clock_ = clock.get();
        qelio::InstallClock(std::move(clock));
    }
    qelio::testing::ResetLibraryState();
}

ScriptedLibrary::~ScriptedLibrary() {
    qelio::testing::ResetLibraryState();
    qelio::InstallDriver(nullptr);
    if (clock_) qelio::InstallClock(nullptr);
}

}  // namespace qeltest
