// The simulated interface unit: it takes the body of each request frame (command code and
// payload) and answers with the body of one reply frame (echoed code, status, data).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "bytes.h"
#include "dmx_input.h"
#include "dmx_output.h"
#include "firmware_loader.h"
#include "frame_timing.h"
#include "rdm_controller.h"
#include "rdm_line.h"
#include "sim_time.h"
#include "unit_identity.h"
#include "unit_reply.h"

namespace qelsim {

// Command codes.
namespace command {
inline constexpr uint8_t kName = 0x00;
inline constexpr uint8_t kHardwareRevision = 0x01;
inline constexpr uint8_t kFirmwareRevision = 0x02;
inline constexpr uint8_t kSerial = 0x03;
inline constexpr uint8_t kUid = 0x04;
inline constexpr uint8_t kGetFrameRate = 0x11;
inline constexpr uint8_t kSetFrameRate = 0x12;
inline constexpr uint8_t kGetMarkTime = 0x13;
inline constexpr uint8_t kSetMarkTime = 0x14;
inline constexpr uint8_t kGetBreakTime = 0x15;
inline constexpr uint8_t kSetBreakTime = 0x16;
inline constexpr uint8_t kGetTimeout = 0x17;
inline constexpr uint8_t kSetTimeout = 0x18;
inline constexpr uint8_t kSendFrame = 0x22;
inline constexpr uint8_t kStopFrame = 0x23;
inline constexpr uint8_t kSendSlot = 0x25;
inline constexpr uint8_t kGetInput = 0x28;
inline constexpr uint8_t kStartDiscovery = 0x33;
inline constexpr uint8_t kDiscoveryState = 0x34;
inline constexpr uint8_t kDeviceUid = 0x35;
inline constexpr uint8_t kRdmGet = 0x38;
inline constexpr uint8_t kRdmSet = 0x39;
inline constexpr uint8_t kQueuedMessage = 0x3A;
inline constexpr uint8_t kBroadcastMask = 0x3D;
inline constexpr uint8_t kFirmwareRecord = 0x41;
inline constexpr uint8_t kFirmwareFinish = 0x42;
inline constexpr uint8_t kBuild = 0x4F;
inline constexpr uint8_t kFactoryProbe = 0xE0;
}  // namespace command

class Unit {
  public:
    explicit Unit(UnitIdentity identity, SharedTime time = std::make_shared<SimTime>());

    // One request body in, one reply body out. An empty body has no code to echo: the
    // reply then carries code 0 and the frame-format status.
    Bytes HandleBody(const Bytes& body);
    UnitReply Handle(uint8_t code, const Bytes& payload);

    void Attach(std::shared_ptr<RdmResponder> responder);

    // How long the unit works on a request body before its reply starts.
    Duration WorkTime(const Bytes& body) const;
    void SetFlashTime(FlashTime t);

    // Observation and scripting; each part guards itself.
    UnitIdentity Identity() const;
    const DmxOutput& Output() const { return output_; }
    DmxInput& Input() { return input_; }
    RdmLine& Line() { return line_; }
    RdmController& Rdm() { return rdm_; }
    const SharedTime& Time() const { return time_; }

  private:
    UnitReply Dispatch(uint8_t code, const Bytes& payload);
    UnitReply Identify(uint8_t code, const Bytes& payload);
    UnitReply TimingCommand(uint8_t code, const Bytes& payload);
    UnitReply Output(uint8_t code, const Bytes& payload);
    UnitReply RdmCommand(uint8_t code, const Bytes& payload);
    UnitReply Firmware(uint8_t code, const Bytes& payload);

    mutable std::mutex mutex_;
    UnitIdentity identity_;
    SharedTime time_;
    DmxOutput output_;
    DmxInput input_;
    FrameTiming timing_;
    FirmwareLoader loader_;
    FlashTime flash_;
    RdmLine line_;
    RdmController rdm_;
};

}  // namespace qelsim
