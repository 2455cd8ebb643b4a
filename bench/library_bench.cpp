// The library's figures (issue 2):
//   BM_CommandInstantPeer   QIO_Command exchanges/s with a 4-byte slot command against an
//                           in-process peer that answers at once (goal: >= 200,000/s);
//   BM_CommandTimeoutCpu    CPU time of a QIO_Command that waits out its 1.0 s timeout,
//                           as a share of the wall time (goal: < 2 %);
//   BM_CommandPty           exchanges/s through the serial backend over a pseudo-terminal
//                           with a peer process.
#include <benchmark/benchmark.h>
#include <qelio32/qelio32.h>
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "clock.h"
#include "driver.h"
#include "pty_peer.h"
#include "testing.h"

namespace {

// A unit inside the process that answers every request at once: status 0, no data.
class InstantDriver final : public qelio::Driver {
  public:
    bool silent = false;
    int32_t ListCount(uint32_t* count) override {
        *count = 1;
        return 0;
    }
    int32_t ListDescription(int32_t, char* buffer64) override {
        std::strcpy(buffer64, "Instant");
        return 0;
    }
    int32_t Open(int32_t, qelio::DriverHandle* handle) override {
        *handle = 1;
        return 0;
    }
    int32_t Close(qelio::DriverHandle) override { return 0; }
    int32_t Write(qelio::DriverHandle, const uint8_t* data, uint32_t count,
                  uint32_t* written) override {
        *written = count;
        if (silent || count < 5) return 0;
        const uint8_t reply[] = {0x7E, 0x58, 0x02, 0x00, data[4], 0x00, 0xE7};
        std::memcpy(queue_, reply, sizeof reply);
        head_ = 0;
        tail_ = sizeof reply;
        return 0;
    }
    int32_t QueueLength(qelio::DriverHandle, uint32_t* count) override {
        *count = tail_ - head_;
        return 0;
    }
    int32_t SetTimeouts(qelio::DriverHandle, uint32_t, uint32_t) override { return 0; }
    int32_t Read(qelio::DriverHandle, uint8_t* buffer, uint32_t count, uint32_t* got) override {
        uint32_t n = 0;
        while (n < count && head_ < tail_)
            buffer[n++] = queue_[head_++];
        *got = n;
        return 0;
    }
    int32_t Purge(qelio::DriverHandle, uint32_t) override {
        head_ = tail_ = 0;
        return 0;
    }
    int32_t Reload(uint16_t, uint16_t) override { return 0; }

  private:
    uint8_t queue_[16] = {};
    uint32_t head_ = 0;
    uint32_t tail_ = 0;
};

InstantDriver* InstallInstant() {
    auto d = std::make_unique<InstantDriver>();
    InstantDriver* raw = d.get();
    qelio::testing::ResetLibraryState();
    qelio::InstallDriver(std::move(d));
    qelio::InstallClock(nullptr);
    return raw;
}

int32_t SlotCommand(uint8_t level) {
    uint8_t buf[QIO_COMMAND_BUFFER] = {0x25, 0x1E, 0x00, level};
    int32_t length = 4;
    return QIO_Command(buf, &length);
}

// Sends slot commands for as long as the benchmark runs and reports the exchange rate.
void RunSlotExchanges(benchmark::State& state) {
    uint8_t level = 0;
    for (auto _ : state) {
        if (SlotCommand(level++) != 0) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["exchanges/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_CommandInstantPeer(benchmark::State& state) {
    InstallInstant();
    if (QIO_OpenPort(1) != 1) state.SkipWithError("open failed");
    RunSlotExchanges(state);
    QIO_FreePort();
}
BENCHMARK(BM_CommandInstantPeer)->MinTime(1.0)->UseRealTime();

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

void BM_CommandTimeoutCpu(benchmark::State& state) {
    InstallInstant()->silent = true;
    if (QIO_OpenPort(1) != 1) state.SkipWithError("open failed");
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double c0 = ThreadCpuSeconds();
        const auto w0 = std::chrono::steady_clock::now();
        if (SlotCommand(0) != -3) state.SkipWithError("expected a timeout");
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
        cpu += ThreadCpuSeconds() - c0;
    }
    state.counters["wall_s"] = wall / static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = 1000 * cpu / static_cast<double>(state.iterations());
    state.counters["cpu_%"] = 100.0 * cpu / wall;
    QIO_FreePort();
}
BENCHMARK(BM_CommandTimeoutCpu)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CommandPty(benchmark::State& state) {
    qeltest::PtyPeer peer;
    peer.StartProcess(qeltest::MisbehavingUnit);
    ::setenv("QELIO32_PORTS", peer.PortsEntry("DMX-QEL").c_str(), 1);
    qelio::testing::ResetLibraryState();
    qelio::InstallDriver(qelio::MakeDriver("serial"));
    qelio::InstallClock(nullptr);
    if (QIO_OpenPort(1) != 1) state.SkipWithError("open failed");
    RunSlotExchanges(state);
    QIO_FreePort();
    qelio::InstallDriver(nullptr);
    ::unsetenv("QELIO32_PORTS");
}
BENCHMARK(BM_CommandPty)->MinTime(2.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
