// UI services for tests: records every message, input box, beep, pointer change and
// wait, and answers from a script.
#pragma once

#include "core/UiServices.h"
#include "support/GTestQt.h"

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace qel::test {

struct ShownMessage {
    QString title;
    QString text;
    MsgIcon icon;
    MsgButtons buttons;
};

struct ShownInput {
    QString title;
    QString prompt;
    QString initial;
};

class ScriptedUi : public UiServices {
  public:
    // Installs itself as the active services for its lifetime.
    ScriptedUi();
    ~ScriptedUi() override;

    MsgAnswer messageBox(const QString& title, const QString& text, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                    const QString& initial) override;
    void beep() override { ++beeps; }
    void setBusyPointer(bool busy) override;
    bool busyPointer() const override { return busy_; }
    // Records the wait and runs onWait (standing in for the window events that would
    // run meanwhile); no time passes.
    void waitProcessingEvents(std::chrono::milliseconds duration) override;

    // Answers for the next message boxes, in order. When none is left a box is
    // answered as if closed: OK, No or Cancel.
    std::deque<MsgAnswer> answers;
    std::deque<std::optional<QString>> inputs;  // nothing left: cancelled
    std::function<void(std::chrono::milliseconds)> onWait;

    std::vector<ShownMessage> messages;
    std::vector<ShownInput> inputPrompts;
    std::vector<std::chrono::milliseconds> waits;
    std::vector<bool> pointerChanges;  // every change of the busy pointer, in order
    int beeps = 0;

  private:
    bool busy_ = false;
    ScopedUi scope_;
};

}  // namespace qel::test
