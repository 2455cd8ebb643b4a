// The UI services shown to a person: Qt message and input boxes, the application's
// override cursor, and a nested event loop for waits.
#pragma once

#include "core/UiServices.h"

namespace qel {

class QtUiServices : public UiServices {
  public:
    MsgAnswer messageBox(const QString& title, const QString& text, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                    const QString& initial) override;
    void beep() override;
    void setBusyPointer(bool busy) override;
    bool busyPointer() const override { return busy_; }
    void waitProcessingEvents(std::chrono::milliseconds duration) override;

  private:
    bool busy_ = false;
};

}  // namespace qel
