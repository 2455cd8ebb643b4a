// REPROG: the background run that loads a firmware image into the unit.
//
// One run at a time: the caller's thread loads the image and starts the run; the run's
// thread sends records 0 to N and the finishing step, and writes the progress that the
// caller's polls read. The image is touched only by the run while it goes on, and only
// by the caller's thread between runs, so it needs no lock; the progress does.
#include "reprog.h"

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "clock.h"
#include "datafile.h"
#include "device.h"
#include "driver.h"
#include "failure.h"
#include "progress_monitor.h"
#include "reprog_steps.h"
#include "usb_io.h"

namespace qelio {

namespace {

class Reprogrammer {
  public:
    ~Reprogrammer() {
        // The library is going away: stop before the next record and wait, so that the
        // run never touches the library after it has been unloaded.
        stop_ = true;
        Join();
    }

    void Start(const std::string& path) {
        std::lock_guard lock(startMutex_);
        if (monitor_.Running()) throw Failure(kind::kReprogRunning);
        Join();
        image_.Load(path);
        monitor_.Start(ActiveClock().Now());
        try {
            program_ = std::thread([this] { Program(); });
        } catch (const std::system_error&) {
            monitor_.Abandon();
            throw Failure(kind::kReprogWorker);
        }
    }

    int32_t Progress() { return monitor_.Get(ActiveClock().Now()); }

    void WaitForEnd() {
        std::lock_guard lock(startMutex_);
        Join();
    }

    void Reset() {
        std::lock_guard lock(startMutex_);
        Join();
        image_.Close();
        monitor_.Abandon();
    }

  private:
    void Join() {
        if (program_.joinable()) program_.join();
    }

    void Program() {
        const int32_t outcome = Guarded(kRunLabel, [this]() -> int32_t {
            SendImage();
            return 0;
        });
        if (!stop_) monitor_.Finish(outcome, ActiveClock().Now());
    }

    void SendImage() {
        const uint16_t last = image_.Count();
        for (uint32_t i = 0; i <= last; ++i) {
            if (stop_) return;
            const ImageRecord record = image_.Record(static_cast<uint16_t>(i));
            Bytes request;
            request.reserve(1 + record.size());
            request.push_back(kLoadRecord);
            request.insert(request.end(), record.begin(), record.end());
            CheckStepStatus(DeviceCommand(request, kWaitFirmwareRecord));
            monitor_.Set(ProgressAfterRecord(i, last), ActiveClock().Now());
        }
        if (stop_) return;
        CheckStepStatus(DeviceCommand(Bytes{kFinish}, kWaitFirmwareFinish));
    }

    static constexpr const char* kRunLabel = "Reprogram Device";

    std::mutex startMutex_;
    std::atomic<bool> stop_{false};
    ImageFile image_;
    ProgressMonitor monitor_;
    std::thread program_;
};

Reprogrammer& TheReprogrammer() {
    // Made on first use, after the clock, the port, the driver and the last-error text
    // that a run relies on, so that it is destroyed (and its run joined) before them.
    ActiveClock();
    usb::PortMutex();
    ActiveDriver();
    LastErrorText();
    static Reprogrammer reprogrammer;
    return reprogrammer;
}

}  // namespace

void StartReprogram(const std::string& path) {
    TheReprogrammer().Start(path);
}

int32_t ProgressState() {
    return PolledProgress(TheReprogrammer().Progress());
}

void WaitForReprogramEnd() {
    TheReprogrammer().WaitForEnd();
}

void ResetReprogramState() {
    TheReprogrammer().Reset();
}

}  // namespace qelio
