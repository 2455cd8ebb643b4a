// A whole firmware run of a 2,000-record image against the instant in-process simulated
// unit, through the public functions: records per second.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "clock.h"
#include "driver.h"
#include "drivers/sim_driver.h"
#include "firmware_image.h"
#include "qelio32/qelio32.h"
#include "reprog.h"
#include "unit_identity.h"

namespace {

constexpr int kLastRecord = 1999;  // records 0..1999

void BM_ReprogramRun(benchmark::State& state) {
    std::string error;
    // A unit that writes its flash instantly: what is measured is the library's own work.
    auto rig = qelsim::Rig::Parse("unit U flash=0s:0s\n", &error);
    qelio::InstallClock(nullptr);
    qelio::InstallDriver(std::make_unique<qelio::SimDriver>(std::move(*rig)));
    if (QIO_OpenPort(1) != 1) {
        state.SkipWithError("no simulated unit");
        return;
    }
    qelsim::ImageOptions options;
    options.records = kLastRecord;
    options.model = qelsim::UnitIdentity{}.model;
    const std::string path = "/tmp/qelio-bench-image-" + std::to_string(getpid()) + ".hex";
    std::ofstream(path, std::ios::binary) << qelsim::ImageText(qelsim::BuildImage(options));

    for (auto _ : state) {
        if (QIO_Reprogram(path.c_str()) != 0) {
            state.SkipWithError("the run did not start");
            break;
        }
        qelio::WaitForReprogramEnd();
        if (QIO_ProgState() != 0) {
            state.SkipWithError("the run failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * (kLastRecord + 1));
    state.counters["records_per_run"] = kLastRecord + 1;

    std::remove(path.c_str());
    QIO_FreePort();
    qelio::InstallDriver(nullptr);
}
BENCHMARK(BM_ReprogramRun)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
