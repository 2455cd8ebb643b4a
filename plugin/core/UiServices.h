// Everything the plugin asks of a person or of the window system goes through one
// interface, so that tests can see every message exactly and answer it from a script.
#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace qel {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, YesNo, RetryCancel };
enum class MsgAnswer { Ok, Yes, No, Retry, Cancel };

class UiServices {
  public:
    virtual ~UiServices() = default;

    // A modal message box. An empty title shows the application's title. Closing the
    // box without a button counts as Cancel (Retry/Cancel) or No (Yes/No).
    virtual MsgAnswer messageBox(const QString& title, const QString& text, MsgIcon icon,
                                 MsgButtons buttons) = 0;

    // A modal one-line input box; nothing when the person cancels.
    virtual std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                            const QString& initial) = 0;

    virtual void beep() = 0;

    // The busy mouse pointer on or off. A state, not a count: setting it twice and
    // clearing it once leaves the normal pointer.
    virtual void setBusyPointer(bool busy) = 0;
    virtual bool busyPointer() const = 0;

    // Waits `duration` while window events (timers, clicks, repaints) keep running, so
    // other parts of the plugin may run, and may wait in turn, before it returns.
    virtual void waitProcessingEvents(std::chrono::milliseconds duration) = 0;
};

// The active services: the Qt ones unless a test installed others.
UiServices& Ui();

// Installs `services` (not owned) as the active ones; nullptr restores the Qt ones.
void SetUi(UiServices* services);

// Installs services for the lifetime of a scope.
class ScopedUi {
  public:
    explicit ScopedUi(UiServices& services);
    ~ScopedUi();
    ScopedUi(const ScopedUi&) = delete;
    ScopedUi& operator=(const ScopedUi&) = delete;

  private:
    UiServices* previous_;
};

}  // namespace qel
