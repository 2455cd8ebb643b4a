#include "trace.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>

#include "clock.h"

namespace qelio::trace {
namespace detail {

std::atomic<int> g_state{0};

namespace {

std::mutex& Mutex() {
    static std::mutex m;
    return m;
}

struct Sink {
    std::FILE* file = nullptr;
    bool owned = false;
    Clock::TimePoint start{};
};

Sink& TheSink() {
    static Sink sink;
    return sink;
}

// Caller holds Mutex().
int DecideLocked() {
    int s = g_state.load(std::memory_order_relaxed);
    if (s != 0) return s;
    Sink& sink = TheSink();
    const char* path = std::getenv("QELIO32_TRACE");
    if (path && *path) {
        if (std::string(path) == "-") {
            sink.file = stderr;
            sink.owned = false;
        } else {
            sink.file = std::fopen(path, "a");
            sink.owned = sink.file != nullptr;
        }
    }
    if (sink.file) {
        sink.start = ActiveClock().Now();
        std::time_t now = std::time(nullptr);
        char when[64] = "";
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
        std::fprintf(sink.file,
                     "# qelio32 protocol trace started %s; seconds since then, "
                     "W frame written, R byte received, - event\n",
                     when);
        std::fflush(sink.file);
        s = 2;
    } else {
        s = 1;
    }
    g_state.store(s, std::memory_order_release);
    return s;
}

double Seconds(const Sink& sink) {
    return std::chrono::duration<double>(ActiveClock().Now() - sink.start).count();
}

}  // namespace

int Decide() noexcept {
    std::lock_guard<std::mutex> lock(Mutex());
    return DecideLocked();
}

void Frame(const uint8_t* data, size_t n) noexcept {
    std::lock_guard<std::mutex> lock(Mutex());
    Sink& sink = TheSink();
    if (!sink.file) return;
    std::fprintf(sink.file, "%12.6f W", Seconds(sink));
    for (size_t i = 0; i < n; ++i)
        std::fprintf(sink.file, " %02X", data[i]);
    std::fputc('\n', sink.file);
    std::fflush(sink.file);
}

void Byte(uint8_t b) noexcept {
    std::lock_guard<std::mutex> lock(Mutex());
    Sink& sink = TheSink();
    if (!sink.file) return;
    std::fprintf(sink.file, "%12.6f R %02X\n", Seconds(sink), b);
    std::fflush(sink.file);
}

void Note(const char* what) noexcept {
    std::lock_guard<std::mutex> lock(Mutex());
    Sink& sink = TheSink();
    if (!sink.file) return;
    std::fprintf(sink.file, "%12.6f - %s\n", Seconds(sink), what);
    std::fflush(sink.file);
}

}  // namespace detail

void Restart() noexcept {
    std::lock_guard<std::mutex> lock(detail::Mutex());
    detail::Sink& sink = detail::TheSink();
    if (sink.owned && sink.file) std::fclose(sink.file);
    sink = detail::Sink{};
    detail::g_state.store(0, std::memory_order_release);
    detail::DecideLocked();
}

}  // namespace qelio::trace
