// The plugin's figures (issue 7), against the in-process simulated unit:
//   BM_SetChannelThroughModule    SetChannel calls/s from the host (a call by name) through
//                                 the plugin module and libqelio32.so to the unit;
//   BM_SetChannelShareOutside     the same path built into one program, timing the library
//                                 call: the share of each call spent outside the library;
//   BM_InputTick512               one 200 ms input poll delivering 512 levels to the host's
//                                 helper: CPU time per tick and its share of the 200 ms;
//   BM_StartUp                    from loading the plugin module to Enable returning with
//                                 output running (the unit remembered, no window).
#include "HostHelper.h"
#include "HostSession.h"
#include "HostedPlugin.h"
#include "PluginCatalog.h"
#include "core/AUF_Registry.h"
#include "core/IO_Tasks.h"
#include "core/UDC_Control.h"
#include "core/UDC_Interface.h"
#include "simsupport/SimUnitLibrary.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace {

using Clock = std::chrono::steady_clock;

PluginEntry ModuleEntry() {
    const QFileInfo file(QStringLiteral(QEL_PLUGIN_MODULE));
    return {file.absoluteFilePath(), file.fileName(), {}};
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The unit is found again by name at Init, so Enable opens no window.
void RememberTheUnit() {
    qel::AUF_Registry::SaveValue("PortUsed", QString("DMX-QEL"));
}

void BM_SetChannelThroughModule(benchmark::State& state) {
    RememberTheUnit();
    HostSession session(ModuleEntry());
    if (!session.start()) {
        state.SkipWithError(qPrintable("the plugin did not start: " + session.error()));
        return;
    }
    int slot = 0;
    for (auto _ : state) {
        slot = slot % 24 + 1;
        if (!session.plugin()->setChannelQuiet(slot, slot)) state.SkipWithError("refused");
    }
    state.counters["calls/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    session.stop();
}
BENCHMARK(BM_SetChannelThroughModule)->UseRealTime();

// The simulated unit behind the plugin, with the time spent inside the library counted.
class TimedLibrary : public qel::test::SimUnitLibrary {
  public:
    int32_t Command(uint8_t* buffer, int32_t* length) override {
        const auto start = Clock::now();
        const int32_t status = SimUnitLibrary::Command(buffer, length);
        inside += Clock::now() - start;
        return status;
    }
    Clock::duration inside{};
};

void BM_SetChannelShareOutside(benchmark::State& state) {
    RememberTheUnit();
    TimedLibrary library;
    HostHelper helper;
    qel::UDC_Interface plugin;
    HostedPlugin host(&plugin);
    host.Init("BenchHost", "Norvane-QEL.out.so", &helper);
    if (!host.Enable().value_or(false)) {
        state.SkipWithError("the plugin did not start");
        return;
    }
    library.inside = {};
    const auto start = Clock::now();
    int slot = 0;
    for (auto _ : state) {
        slot = slot % 24 + 1;
        if (!host.setChannelQuiet(slot, slot)) state.SkipWithError("refused");
    }
    const double total = std::chrono::duration<double>(Clock::now() - start).count();
    const double inside = std::chrono::duration<double>(library.inside).count();
    state.counters["calls/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["outside_library_%"] = total > 0 ? 100.0 * (total - inside) / total : 0;
    host.Disable();
    host.Term();
}
BENCHMARK(BM_SetChannelShareOutside)->UseRealTime();

void BM_InputTick512(benchmark::State& state) {
    RememberTheUnit();
    qel::test::SimUnitLibrary unit;
    unit.UseScriptedInput();
    HostHelper helper;
    qel::IO_Tasks tasks;
    qel::UDC_Control control;
    control.Initialise(&helper, "BenchHost", "Plugins\\Norvane-QEL.out.so");
    control.Port().FindLast();
    control.Port().Seize();
    control.SetMode(1);
    control.Begin();
    tasks.Task_IP().stop();  // the benchmark ticks by itself
    std::string levels(512, '\0');
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 512; ++i)
            levels[i] = static_cast<char>((i + state.iterations()) & 0xFF);
        unit.Receive(0, levels);
        state.ResumeTiming();
        const double before = CpuSeconds();
        tasks.Tick();
        cpu += CpuSeconds() - before;
        tasks.Task_IP().stop();
    }
    if (helper.deliveries() != 512 * static_cast<uint64_t>(state.iterations())) {
        state.SkipWithError("not every level was delivered");
    }
    const double perTick = cpu / static_cast<double>(state.iterations());
    state.counters["cpu_us/tick"] = perTick * 1e6;
    state.counters["cpu_share_%"] = 100.0 * perTick / (qel::IO_Tasks::kIntervalMs / 1000.0);
    control.Finish();
    control.SetMode(0);
    control.Port().Release();
}
BENCHMARK(BM_InputTick512)->UseRealTime();

void BM_StartUp(benchmark::State& state) {
    RememberTheUnit();
    for (auto _ : state) {
        HostSession session(ModuleEntry());
        if (!session.start()) state.SkipWithError("the plugin did not start");
        state.PauseTiming();
        session.stop();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUp)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The simulated unit for the module's copy of the library; settings kept aside.
    QTemporaryDir settings;
    qputenv("QELIO32_DRIVER", "sim");
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
