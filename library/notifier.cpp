#include "notifier.h"

#include <poll.h>
#include <unistd.h>

#include <mutex>
#include <string>

#include "qelio32/qelio32_hooks.h"

namespace qelio {
namespace {

struct Hook {
    QELIO32_MessageHook fn = nullptr;
    void* context = nullptr;
};

std::mutex& HookMutex() {
    static std::mutex m;
    return m;
}

Hook& CurrentHook() {
    static Hook hook;
    return hook;
}

// One write, only if standard error takes it now: a full pipe or a stopped terminal
// must not hold up the library.
void WriteStderr(const std::string& line) {
    pollfd p{STDERR_FILENO, POLLOUT, 0};
    if (::poll(&p, 1, 0) == 1 && (p.revents & POLLOUT)) {
        ssize_t r = ::write(STDERR_FILENO, line.data(), line.size());
        (void)r;
    }
}

}  // namespace

void Notify(const char* caption, const char* text) noexcept {
    Hook hook;
    {
        std::lock_guard<std::mutex> lock(HookMutex());
        hook = CurrentHook();
    }
    if (hook.fn) {
        hook.fn(caption, text, hook.context);
        return;
    }
    try {
        WriteStderr(std::string("qelio32: [") + caption + "] " + text + "\n");
    } catch (...) {
    }
}

void Diagnose(const std::string& line) noexcept {
    try {
        WriteStderr("qelio32: " + line + "\n");
    } catch (...) {
    }
}

}  // namespace qelio

extern "C" QIO_API void QELIO32_SetMessageHook(QELIO32_MessageHook hook, void* context) {
    std::lock_guard<std::mutex> lock(qelio::HookMutex());
    qelio::CurrentHook() = qelio::Hook{hook, context};
}
