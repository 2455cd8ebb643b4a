#include "core/ProgressWatch.h"

#include <algorithm>

namespace qel {

bool ProgressWatch::Tick(int32_t s) {
    if (ended()) return false;
    bool changed = false;
    if (s != last_) {
        unchanged_ = 0;
        if (last_ == 0) {
            status_ = QStringLiteral("Uploading Image");
            busy_ = true;
        }
        last_ = s;
        changed = true;
    } else {
        ++unchanged_;
        const int limit = last_ == 100 ? kConfigureStallTicks : kStallTicks;
        if (unchanged_ > limit) {
            status_ = QStringLiteral("Timed Out");
            End(Outcome::TimedOut);
        }
    }

    if (changed) {
        if (s == 0) {
            status_ = QStringLiteral("Success ");
            End(Outcome::Success);
            // A run can end between two polls before its last values were seen: a
            // finished upload shows a full bar.
            bar_ = 100;
            percent_ = QStringLiteral("100 %");
        } else if (s == 100) {
            status_ = QStringLiteral("Configuring.");
            configuringLine_ = true;
            configuring_ = true;
        } else if (s > 100) {
            status_ = QStringLiteral("Error ") + QString::number(s - 100);
            End(Outcome::Error);
            // An error counts as the end of the run: the bar and the percentage stop at
            // 100, never beyond.
            s = 100;
            last_ = 100;
        }
        if (s != 0) {
            // A negative value never reaches here (the poll raises it as a failure);
            // the bar still never leaves 0..100.
            bar_ = std::clamp(s, 0, 100);
            percent_ = QString::number(bar_) + QStringLiteral(" %");
        }
    }

    if (configuring_) statusVisible_ = (unchanged_ / 2) % 2 == 1;
    if (ended()) {
        statusVisible_ = true;
        configuringLine_ = false;
        return true;
    }
    return false;
}

void ProgressWatch::End(Outcome outcome) {
    outcome_ = outcome;
    // The pointer goes back to normal however the upgrade ended, not only on success:
    // the person must be able to see that the window waits for them now.
    busy_ = false;
}

}  // namespace qel
