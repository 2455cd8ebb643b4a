// UI services that answer every box as closed and never wait: fuzz targets run headless.
#pragma once

#include "core/UiServices.h"

namespace qel::fuzz {

class NullUi : public UiServices {
  public:
    MsgAnswer messageBox(const QString&, const QString&, MsgIcon, MsgButtons buttons) override {
        return buttons == MsgButtons::RetryCancel ? MsgAnswer::Cancel
               : buttons == MsgButtons::YesNo     ? MsgAnswer::No
                                                  : MsgAnswer::Ok;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    void beep() override {}
    void setBusyPointer(bool busy) override { busy_ = busy; }
    bool busyPointer() const override { return busy_; }
    void waitProcessingEvents(std::chrono::milliseconds) override {}

  private:
    bool busy_ = false;
};

}  // namespace qel::fuzz
