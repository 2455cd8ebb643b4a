// The handler every procedure that can fail puts around its body.
//
// A handler names the procedure's location (the title of its messages) and a case list
// that says, per error number, what the user sees and where the failure goes:
//
//   using namespace qel::ErrTrap;
//   Handler h{"FDF_Port.Seize",
//             {On(ErrAPI_Connection).passOn(),
//              On(ErrSYS_Comms).show("Connection Port").passOn()}};
//   return h.run([&] {
//              h.step([&] { Client::USB_OpenPort(index); });   // Retry re-runs this
//              return true;
//          }).value_or(false);
//
// Cases are tried in order, selecting on ErrCode(): a plugin number, or 0 for a
// run-time error. Two cases follow every list and apply when none of its own matches:
//   On(ErrSYS_Local).show().absorb()    a local error is shown once, and the procedure
//                                       ends normally;
//   Otherwise().show().passOn()         anything else is shown, then passed to the caller.
//
// A failure is shown once: show() skips an error that a handler further down already
// showed. ask() always asks Retry/Cancel; Retry runs the failed step again (the whole
// body when the failure came from outside any step), Cancel goes on to the case's ending.
//
// run() is for procedures with a caller. Entry points of the event loop (slots, timer
// ticks, event handlers) use runInEvent(): nothing leaves it, a failure that would go to
// the caller is shown (once) and ends the event.
#pragma once

#include "core/ErrTrap.h"
#include "core/PluginError.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace qel::ErrTrap {

class Handler;

class Case {
  public:
    // Showing (none by default).
    Case& show();                      // under the handler's location
    Case& show(const QString& title);  // under a title of its own
    Case& ask();                       // Retry/Cancel under the handler's location
    Case& ask(const QString& title);

    // The ending (passOn by default); after ask() it happens on Cancel.
    Case& absorb();               // the procedure ends normally
    Case& passOn();               // the same error goes to the caller
    Case& raise(int32_t number);  // the caller gets `number` (ErrRaise) instead
    // Runs `action`; when it returns, the procedure ends normally; it may raise.
    Case& then(std::function<void(const PluginError&)> action);

  private:
    friend Case On(std::initializer_list<int32_t> numbers);
    friend Case Otherwise();
    friend class Handler;

    enum class Showing { None, Show, Ask };
    enum class Ending { Absorb, PassOn, Raise, Then };

    bool matches(int32_t code) const;

    std::vector<int32_t> numbers_;
    bool any_ = false;
    Showing showing_ = Showing::None;
    std::optional<QString> title_;
    Ending ending_ = Ending::PassOn;
    int32_t raise_ = 0;
    std::function<void(const PluginError&)> action_;
};

// Selects the given error numbers (0 selects run-time errors).
Case On(std::initializer_list<int32_t> numbers);
template <typename... Numbers>
Case On(int32_t first, Numbers... more) {
    return On({first, static_cast<int32_t>(more)...});
}
// Selects every error that no earlier case selected.
Case Otherwise();

namespace detail {
// Carries a step's decision out to the run() of the same handler. Deliberately not a
// std::exception, so that ordinary catch clauses leave it alone.
struct Unwind {
    const Handler* owner;
    std::exception_ptr error;  // null: the procedure ends normally
};
}  // namespace detail

class Handler {
  public:
    Handler(QString location, std::initializer_list<Case> cases = {});
    Handler(const Handler&) = delete;
    Handler& operator=(const Handler&) = delete;

    const QString& location() const { return location_; }

    // Runs the body under the handler. A body returning void gives true when it ran to
    // the end and false when a case ended it early; a body returning T gives T or,
    // when ended early, nothing.
    template <typename Body>
    auto run(Body&& body);

    // As run(), for entry points of the event loop: never throws.
    template <typename Body>
    auto runInEvent(Body&& body) noexcept;

    // A statement of the body that Retry runs again. Only inside this handler's run.
    template <typename F>
    decltype(auto) step(F&& f);

  private:
    enum class Decision { Retry, Absorb, Escape };
    struct Outcome {
        Decision decision;
        std::exception_ptr error;
    };

    Outcome handle(std::exception_ptr error) const;
    const Case& select(int32_t code) const;
    void stepOutsideRun() const;
    static void showEscaped(std::exception_ptr error, const QString& location) noexcept;

    template <typename R>
    static auto endedEarly() {
        if constexpr (std::is_void_v<R>) {
            return false;
        } else {
            return std::optional<R>();
        }
    }

    QString location_;
    std::vector<Case> cases_;
    int running_ = 0;
};

template <typename Body>
auto Handler::run(Body&& body) {
    using R = std::invoke_result_t<Body&>;
    using Result = decltype(endedEarly<R>());
    struct Running {
        int& count;
        explicit Running(int& c) : count(c) { ++count; }
        ~Running() { --count; }
    } running{running_};
    for (;;) {
        try {
            if constexpr (std::is_void_v<R>) {
                body();
                return Result(true);
            } else {
                return Result(body());
            }
        } catch (const detail::Unwind& unwind) {
            if (unwind.owner != this) throw;
            if (!unwind.error) return endedEarly<R>();
            std::rethrow_exception(unwind.error);
        } catch (...) {
            const Outcome outcome = handle(std::current_exception());
            if (outcome.decision == Decision::Retry) continue;
            if (outcome.decision == Decision::Absorb) return endedEarly<R>();
            std::rethrow_exception(outcome.error);
        }
    }
}

template <typename Body>
auto Handler::runInEvent(Body&& body) noexcept {
    using R = std::invoke_result_t<Body&>;
    try {
        return run(std::forward<Body>(body));
    } catch (const detail::Unwind&) {
        // Another handler's step used inside this body: nothing sensible to resume.
        showEscaped(std::make_exception_ptr(RunTimeError(kErrInternal)), location_);
    } catch (...) {
        showEscaped(std::current_exception(), location_);
    }
    return endedEarly<R>();
}

template <typename F>
decltype(auto) Handler::step(F&& f) {
    if (running_ == 0) stepOutsideRun();
    for (;;) {
        try {
            return f();
        } catch (const detail::Unwind&) {
            throw;
        } catch (...) {
            const Outcome outcome = handle(std::current_exception());
            if (outcome.decision == Decision::Retry) continue;
            throw detail::Unwind{
                this, outcome.decision == Decision::Absorb ? std::exception_ptr() : outcome.error};
        }
    }
}

}  // namespace qel::ErrTrap
