#include "support/ScriptedUi.h"

namespace qel::test {

ScriptedUi::ScriptedUi() : scope_(*this) {}

ScriptedUi::~ScriptedUi() = default;

MsgAnswer ScriptedUi::messageBox(const QString& title, const QString& text, MsgIcon icon,
                                 MsgButtons buttons) {
    messages.push_back({title, text, icon, buttons});
    if (!answers.empty()) {
        const MsgAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        case MsgButtons::RetryCancel:
            break;
    }
    return MsgAnswer::Cancel;
}

std::optional<QString> ScriptedUi::inputBox(const QString& title, const QString& prompt,
                                            const QString& initial) {
    inputPrompts.push_back({title, prompt, initial});
    if (inputs.empty()) return std::nullopt;
    const bool cancelled = !inputs.front().has_value();
    const QString text = inputs.front().value_or(QString());
    inputs.pop_front();
    if (cancelled) return std::nullopt;
    return text;
}

void ScriptedUi::setBusyPointer(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    pointerChanges.push_back(busy);
}

void ScriptedUi::waitProcessingEvents(std::chrono::milliseconds duration) {
    waits.push_back(duration);
    if (onWait) onWait(duration);
}

}  // namespace qel::test
