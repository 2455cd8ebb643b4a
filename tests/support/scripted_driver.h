// A scripted driver for the library's tests, installed through qelio::InstallDriver.
//
// - devices: their descriptions (up to 64 bytes, no NUL when exactly 64);
// - statuses: any driver status at a chosen call position (counted over all calls), at
//   the n-th call of one operation, or at every call of an operation;
// - replies: bytes that arrive at chosen times on the clock the library uses (a
//   TestClock makes the gaps free), usually queued by a responder that sees each frame
//   the library writes;
// - a log of every call, the frames written, purges and reloads.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "clock.h"
#include "driver.h"
#include "test_clock.h"

namespace qeltest {

using Bytes = std::vector<uint8_t>;
using Duration = qelio::Clock::Duration;

enum class Op {
    kListCount,
    kListDescription,
    kOpen,
    kClose,
    kWrite,
    kQueueLength,
    kSetTimeouts,
    kRead,
    kPurge,
    kReload,
};
const char* OpName(Op op);

struct Call {
    Op op;
    int32_t status;   // the status answered
    int64_t arg = 0;  // index for list/open, handle otherwise
};

// A reply frame: 0x7E, type, length (little-endian), body, end marker.
Bytes Frame(uint8_t type, const Bytes& body, uint8_t endMarker = 0xE7);
// The unit's usual reply to command `code`: frame 0x58 with body code, status, data.
Bytes ReplyFrame(uint8_t code, uint8_t status, const Bytes& data = {});

class ScriptedDriver final : public qelio::Driver {
  public:
    ScriptedDriver();

    // --- set-up -------------------------------------------------------------------
    void SetDevices(std::vector<std::string> descriptions);
    // The status answered by the call at `position` (0-based, over all operations).
    void StatusAtCall(size_t position, int32_t status);
    // The status answered by the `nth` (0-based) call of `op`.
    void StatusAt(Op op, size_t nth, int32_t status);
    // The status answered by every call of `op` (a positional script wins).
    void StatusAlways(Op op, int32_t status);
    void ClearStatuses();
    // Called (without the driver's lock) with every frame the library writes; a
    // responder usually queues a reply with Arrive.
    using Responder = std::function<void(ScriptedDriver&, const Bytes& written)>;
    void SetResponder(Responder responder);
    // Replies to every request with ReplyFrame(code, status, data) at once.
    void AnswerAll(uint8_t status = 0, const Bytes& data = {});
    // `bytes` arrive `after` from now on the library's clock, each `gap` after the one
    // before (the first at now + after).
    void Arrive(const Bytes& bytes, Duration after = Duration::zero(),
                Duration gap = Duration::zero());
    // Bytes answered by a Read that reports a byte count of 0 (the library must not use
    // the byte); counted by position of Read calls.
    void EmptyReadAt(size_t nthRead);

    // --- observation ----------------------------------------------------------------
    std::vector<Call> Calls() const;
    std::vector<Op> Ops() const;
    size_t CallCount() const;
    std::vector<Bytes> Writes() const;
    size_t Count(Op op) const;
    size_t Pending() const;                                       // bytes queued (arrived or not)
    std::vector<std::pair<uint32_t, uint32_t>> Timeouts() const;  // read, write ms
    qelio::DriverHandle LastHandle() const;

    // --- the nine operations ----------------------------------------------------------
    int32_t ListCount(uint32_t* count) override;
    int32_t ListDescription(int32_t index, char* buffer64) override;
    int32_t Open(int32_t index, qelio::DriverHandle* handle) override;
    int32_t Close(qelio::DriverHandle handle) override;
    int32_t Write(qelio::DriverHandle handle, const uint8_t* data, uint32_t count,
                  uint32_t* written) override;
    int32_t QueueLength(qelio::DriverHandle handle, uint32_t* count) override;
    int32_t SetTimeouts(qelio::DriverHandle handle, uint32_t readMs, uint32_t writeMs) override;
    int32_t Read(qelio::DriverHandle handle, uint8_t* buffer, uint32_t count,
                 uint32_t* got) override;
    int32_t Purge(qelio::DriverHandle handle, uint32_t mask) override;
    int32_t Reload(uint16_t vendor, uint16_t product) override;

  private:
    struct Incoming {
        qelio::Clock::TimePoint at;
        uint8_t byte;
    };
    // Records the call and picks its status (caller holds mutex_).
    int32_t Next(Op op, int64_t arg);
    size_t ArrivedLocked(qelio::Clock::TimePoint now) const;

    mutable std::mutex mutex_;
    std::vector<std::string> devices_;
    std::map<size_t, int32_t> atCall_;
    std::map<std::pair<Op, size_t>, int32_t> atOp_;
    std::map<Op, int32_t> always_;
    std::map<Op, size_t> opCount_;
    std::vector<size_t> emptyReads_;
    std::vector<Call> calls_;
    std::vector<Bytes> writes_;
    std::vector<std::pair<uint32_t, uint32_t>> timeouts_;
    std::deque<Incoming> incoming_;
    Responder responder_;
    qelio::DriverHandle nextHandle_ = 0x100;
    qelio::DriverHandle lastHandle_ = 0;
};

// Installs a ScriptedDriver and a TestClock and brings the library to its load state;
// undoes all of it on destruction. Owns neither: the library does.
class ScriptedLibrary {
  public:
    explicit ScriptedLibrary(bool testClock = true);
    ~ScriptedLibrary();
    ScriptedLibrary(const ScriptedLibrary&) = delete;
    ScriptedLibrary& operator=(const ScriptedLibrary&) = delete;

    ScriptedDriver& driver() { return *driver_; }
    TestClock* clock() { return clock_; }

  private:
    ScriptedDriver* driver_;
    TestClock* clock_ = nullptr;
};

}  // namespace qeltest
