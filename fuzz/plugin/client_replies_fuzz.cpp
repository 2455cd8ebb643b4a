// Fuzz target: every command of the client against a library whose answers come from
// the input: per exchange a status byte (240 and above stand for library failures), a
// length byte and that many reply bytes. When the input runs out the unit falls silent.
#include "NullUi.h"
#include "core/Client.h"
#include "core/LibraryBinding.h"
#include "core/PluginError.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace {

class InputLibrary : public qel::LibraryBinding {
  public:
    InputLibrary(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    int32_t Command(uint8_t* buffer, int32_t* length) override {
        if (pos_ + 2 > size_) {
            *length = 0;
            return -3;
        }
        const int status = data_[pos_];
        const size_t wanted = data_[pos_ + 1] * 3u;  // up to 765: more than the buffer
        pos_ += 2;
        const size_t n = std::min(wanted, size_ - pos_);
        std::copy_n(data_ + pos_, std::min<size_t>(n, qel::Client::kTransferBuffer), buffer);
        pos_ += n;
        *length = static_cast<int32_t>(n);  // may claim more than the buffer holds
        return status >= 240 ? -(status - 239) * 7 : status;
    }
    int32_t PortCount() override { return Next(); }
    int32_t PortName(int32_t, char* buffer, int32_t size) override { return Text(buffer, size); }
    int32_t OpenPort(int32_t) override { return Next(); }
    int32_t FreePort() override { return Next(); }
    int32_t LastError(char* buffer, int32_t size) override { return Text(buffer, size); }
    int32_t Version(char* buffer, int32_t size) override { return Text(buffer, size); }
    int32_t Reprogram(const char*) override { return Next(); }
    int32_t ProgState() override { return Next(); }

    bool exhausted() const { return pos_ >= size_; }

  private:
    int32_t Next() { return pos_ < size_ ? static_cast<int8_t>(data_[pos_++]) : -3; }
    int32_t Text(char* buffer, int32_t size) {
        std::fill_n(buffer, size, 'x');
        return Next() * 4;  // may claim more than the buffer holds, or fail
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qel::Client;
    qel::fuzz::NullUi ui;
    qel::ScopedUi scope(ui);
    InputLibrary library(data, size);
    qel::SetLibrary(&library);
    const std::function<void()> calls[] = {
        [] { QEL_GetName(); },          [] { QEL_GetModel(); },
        [] { QEL_GetHardwareRev(); },   [] { QEL_GetFirmwareRev(); },
        [] { QEL_GetSerial(); },        [] { QEL_GetUID(); },
        [] { QEL_GetBuild(); },         [] { QEL_GetFrameRate(3); },
        [] { QEL_GetMarkTime(3); },     [] { QEL_GetBreakTime(2); },
        [] { QEL_GetDelayTime(1); },    [] { QEL_GetInput(1); },
        [] { QEL_DiscoveryState(); },   [] { QEL_GetDeviceUID(1); },
        [] { QEL_RDMGet(1, 0, 0x60); }, [] { QEL_QueuedMessage(1, 0); },
        [] { API_Version(); },          [] { API_LastError(); },
        [] { API_GetPortCount(); },     [] { API_GetPortName(1); },
        [] { QEL_ProgStatus(); },
    };
    while (!library.exhausted()) {
        for (const auto& call : calls) {
            try {
                call();
            } catch (const qel::PluginError&) {
            }
        }
    }
    qel::SetLibrary(nullptr);
    return 0;
}
