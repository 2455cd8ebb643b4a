// The simulated unit's figures (issue 3):
//   BM_SlotCommandThroughLibrary  QIO_Command exchanges/s with a slot command against the
//                                 in-process simulated unit ("sim" driver);
//   BM_SlotCommandUnitAlone       the same request handled by the simulated unit alone, to
//                                 show the simulator is not what limits the figure above;
//   BM_Discovery50                discovery of a line of 50 responders: wall time per run
//                                 and the number of line transactions it takes.
#include <benchmark/benchmark.h>
#include <qelio32/qelio32.h>

#include <memory>

#include "drivers/sim_driver.h"
#include "rig.h"
#include "testing.h"

namespace {

qelsim::Rig MakeRig(const char* text) {
    std::string error;
    auto rig = qelsim::Rig::Parse(text, &error);
    if (!rig) std::abort();
    return std::move(*rig);
}

void BM_SlotCommandThroughLibrary(benchmark::State& state) {
    qelio::testing::ResetLibraryState();
    qelio::InstallDriver(std::make_unique<qelio::SimDriver>(MakeRig("unit \"DMX-QEL\"\n")));
    if (QIO_OpenPort(1) != 1) state.SkipWithError("no simulated unit");
    uint8_t buffer[QIO_COMMAND_BUFFER];
    uint32_t slot = 0;
    for (auto _ : state) {
        slot = slot % 512 + 1;
        buffer[0] = 0x25;
        buffer[1] = static_cast<uint8_t>(slot);
        buffer[2] = static_cast<uint8_t>(slot >> 8);
        buffer[3] = static_cast<uint8_t>(slot);
        int32_t length = 4;
        if (QIO_Command(buffer, &length) != 0) state.SkipWithError("exchange failed");
    }
    state.SetItemsProcessed(state.iterations());
    QIO_FreePort();
    qelio::InstallDriver(nullptr);
}
BENCHMARK(BM_SlotCommandThroughLibrary)->UseRealTime();

void BM_SlotCommandUnitAlone(benchmark::State& state) {
    qelsim::Rig rig = MakeRig("unit \"DMX-QEL\"\n");
    qelsim::UnitPort& port = rig.Port(0);
    uint8_t frame[] = {0x7E, 0x58, 0x04, 0x00, 0x25, 0x01, 0x00, 0x00, 0xE7};
    for (auto _ : state) {
        frame[5] = static_cast<uint8_t>(frame[5] % 255 + 1);
        frame[7] = frame[5];
        benchmark::DoNotOptimize(port.Write(frame, sizeof frame));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SlotCommandUnitAlone);

void BM_Discovery50(benchmark::State& state) {
    qelsim::Rig rig = MakeRig("unit U\nfixtures minimal 50 first-uid=7FF3:00000001\n");
    qelsim::Unit& unit = rig.GetUnit(0);
    uint64_t transactions = 0, collisions = 0;
    size_t found = 0;
    for (auto _ : state) {
        uint64_t before = unit.Line().Transactions(), collided = unit.Line().Collisions();
        unit.Rdm().DiscoverAll();
        transactions = unit.Line().Transactions() - before;
        collisions = unit.Line().Collisions() - collided;
        found = unit.Rdm().Discoveries().Found().size();
    }
    if (found != 50) state.SkipWithError("not every responder was found");
    state.counters["line_transactions"] = static_cast<double>(transactions);
    state.counters["collisions"] = static_cast<double>(collisions);
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_Discovery50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
