// What the firmware upgrade window makes of the progress values it polls, tick by tick:
// the status text and its blinking while the unit configures itself, the percentage and
// the bar, the end of the upgrade (success, an error of the unit, or a stall), and the
// busy pointer. Pure logic; the window applies the state after every tick.
//
// Progress values: 1..99 uploading (percent), 100 the unit configures itself, 0 idle or
// finished, above 100 = 100 + an error number of the unit.
#pragma once

#include <QString>

#include <cstdint>

namespace qel {

class ProgressWatch {
  public:
    static constexpr int kPollMs = 250;
    // Unchanged ticks before a stall ends the upgrade: about 5 s, and about 30 s while
    // the unit configures itself.
    static constexpr int kStallTicks = 20;
    static constexpr int kConfigureStallTicks = 120;

    enum class Outcome { Running, Success, Error, TimedOut };

    // Takes one polled value; true when the upgrade ended on this tick. Once ended,
    // further values change nothing.
    bool Tick(int32_t progress);

    Outcome outcome() const { return outcome_; }
    bool ended() const { return outcome_ != Outcome::Running; }

    const QString& statusText() const { return status_; }
    bool statusVisible() const { return statusVisible_; }
    // The second status line, shown while the unit configures itself.
    bool configuringLine() const { return configuringLine_; }
    const QString& percentText() const { return percent_; }
    int bar() const { return bar_; }  // 0..100
    bool successPicture() const { return outcome_ == Outcome::Success; }
    // From the first change until the upgrade ends.
    bool busyPointer() const { return busy_; }

  private:
    void End(Outcome outcome);

    int32_t last_ = 0;
    int unchanged_ = 0;
    bool configuring_ = false;
    Outcome outcome_ = Outcome::Running;
    QString status_;
    bool statusVisible_ = true;
    bool configuringLine_ = false;
    QString percent_;
    int bar_ = 0;
    bool busy_ = false;
};

}  // namespace qel
