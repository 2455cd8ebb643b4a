// Protocol trace for debugging a real unit: QELIO32_TRACE names a file (appended to), or
// "-" for standard error. Every frame written and every byte received is recorded in
// hexadecimal with a time stamp (seconds since the trace started). Off by default; when
// off, each trace point costs one relaxed atomic load.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace qelio::trace {

namespace detail {
extern std::atomic<int> g_state;  // 0 not yet decided, 1 off, 2 on
int Decide() noexcept;
void Frame(const uint8_t* data, size_t n) noexcept;
void Byte(uint8_t b) noexcept;
void Note(const char* what) noexcept;
}  // namespace detail

inline bool Enabled() noexcept {
    int s = detail::g_state.load(std::memory_order_acquire);
    if (s == 0) s = detail::Decide();
    return s == 2;
}

inline void FrameWritten(const uint8_t* data, size_t n) noexcept {
    if (Enabled()) detail::Frame(data, n);
}
inline void ByteReceived(uint8_t b) noexcept {
    if (Enabled()) detail::Byte(b);
}
// Other port events worth seeing beside the bytes: open, close, purge, reload, failures.
inline void Event(const char* what) noexcept {
    if (Enabled()) detail::Note(what);
}

// Tests: reads QELIO32_TRACE again (closing a trace file that is open).
void Restart() noexcept;

}  // namespace qelio::trace
