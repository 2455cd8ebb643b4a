// E1.20 numbers the unit and the virtual fixtures share: command classes, response types,
// NACK reasons, parameter IDs, status types and the discovery encoding constants.
#pragma once

#include <cstdint>

namespace qelsim::rdm {

inline constexpr uint8_t kStartCode = 0xCC;
inline constexpr uint8_t kSubStartCode = 0x01;
inline constexpr uint8_t kHeaderSize = 24;     // start code through parameter data length
inline constexpr uint8_t kMaxParamData = 231;  // the message length field is one byte
inline constexpr uint8_t kPortId = 1;

// Discovery response on the line: preamble, separator, encoded UID and checksum.
inline constexpr uint8_t kPreambleByte = 0xFE;
inline constexpr uint8_t kPreambleSeparator = 0xAA;
inline constexpr int kMaxPreamble = 7;
inline constexpr int kEncodedUidSize = 12;
inline constexpr int kEncodedChecksumSize = 4;

enum CommandClass : uint8_t {
    kDiscoveryCommand = 0x10,
    kDiscoveryResponse = 0x11,
    kGetCommand = 0x20,
    kGetResponse = 0x21,
    kSetCommand = 0x30,
    kSetResponse = 0x31,
};

enum ResponseType : uint8_t {
    kAck = 0x00,
    kAckTimer = 0x01,
    kNackReason = 0x02,
    kAckOverflow = 0x03,
};

enum NackReason : uint16_t {
    kNrUnknownPid = 0x0000,
    kNrFormatError = 0x0001,
    kNrHardwareFault = 0x0002,
    kNrProxyReject = 0x0003,
    kNrWriteProtect = 0x0004,
    kNrUnsupportedCommandClass = 0x0005,
    kNrDataOutOfRange = 0x0006,
    kNrBufferFull = 0x0007,
    kNrPacketSizeUnsupported = 0x0008,
    kNrSubDeviceOutOfRange = 0x0009,
};

enum StatusType : uint8_t {
    kStatusNone = 0x00,
    kStatusGetLastMessage = 0x01,
    kStatusAdvisory = 0x02,
    kStatusWarning = 0x03,
    kStatusError = 0x04,
    kStatusAdvisoryCleared = 0x12,
    kStatusWarningCleared = 0x13,
    kStatusErrorCleared = 0x14,
};

// Parameter-description command class field.
enum PidCommandClass : uint8_t { kPidGet = 0x01, kPidSet = 0x02, kPidGetSet = 0x03 };

inline constexpr uint16_t kSubDeviceRoot = 0x0000;
inline constexpr uint16_t kSubDeviceAll = 0xFFFF;
inline constexpr uint16_t kMaxSubDevice = 512;

namespace pid {
inline constexpr uint16_t kDiscUniqueBranch = 0x0001;
inline constexpr uint16_t kDiscMute = 0x0002;
inline constexpr uint16_t kDiscUnMute = 0x0003;
inline constexpr uint16_t kProxiedDevices = 0x0010;
inline constexpr uint16_t kProxiedDeviceCount = 0x0011;
inline constexpr uint16_t kCommsStatus = 0x0015;
inline constexpr uint16_t kQueuedMessage = 0x0020;
inline constexpr uint16_t kStatusMessages = 0x0030;
inline constexpr uint16_t kStatusIdDescription = 0x0031;
inline constexpr uint16_t kClearStatusId = 0x0032;
inline constexpr uint16_t kSubDeviceStatusReportThreshold = 0x0033;
inline constexpr uint16_t kSupportedParameters = 0x0050;
inline constexpr uint16_t kParameterDescription = 0x0051;
inline constexpr uint16_t kDeviceInfo = 0x0060;
inline constexpr uint16_t kProductDetailIdList = 0x0070;
inline constexpr uint16_t kDeviceModelDescription = 0x0080;
inline constexpr uint16_t kManufacturerLabel = 0x0081;
inline constexpr uint16_t kDeviceLabel = 0x0082;
inline constexpr uint16_t kFactoryDefaults = 0x0090;
inline constexpr uint16_t kLanguageCapabilities = 0x00A0;
inline constexpr uint16_t kLanguage = 0x00B0;
inline constexpr uint16_t kSoftwareVersionLabel = 0x00C0;
inline constexpr uint16_t kBootSoftwareVersionId = 0x00C1;
inline constexpr uint16_t kBootSoftwareVersionLabel = 0x00C2;
inline constexpr uint16_t kDmxPersonality = 0x00E0;
inline constexpr uint16_t kDmxPersonalityDescription = 0x00E1;
inline constexpr uint16_t kDmxStartAddress = 0x00F0;
inline constexpr uint16_t kSlotInfo = 0x0120;
inline constexpr uint16_t kSlotDescription = 0x0121;
inline constexpr uint16_t kDefaultSlotValue = 0x0122;
inline constexpr uint16_t kSensorDefinition = 0x0200;
inline constexpr uint16_t kSensorValue = 0x0201;
inline constexpr uint16_t kRecordSensors = 0x0202;
inline constexpr uint16_t kDeviceHours = 0x0400;
inline constexpr uint16_t kLampHours = 0x0401;
inline constexpr uint16_t kLampStrikes = 0x0402;
inline constexpr uint16_t kLampState = 0x0403;
inline constexpr uint16_t kLampOnMode = 0x0404;
inline constexpr uint16_t kDevicePowerCycles = 0x0405;
inline constexpr uint16_t kDisplayInvert = 0x0500;
inline constexpr uint16_t kDisplayLevel = 0x0501;
inline constexpr uint16_t kPanInvert = 0x0600;
inline constexpr uint16_t kTiltInvert = 0x0601;
inline constexpr uint16_t kPanTiltSwap = 0x0602;
inline constexpr uint16_t kRealTimeClock = 0x0603;
inline constexpr uint16_t kIdentifyDevice = 0x1000;
inline constexpr uint16_t kResetDevice = 0x1001;
inline constexpr uint16_t kPowerState = 0x1010;
inline constexpr uint16_t kPerformSelfTest = 0x1020;
inline constexpr uint16_t kSelfTestDescription = 0x1021;
}  // namespace pid

inline constexpr bool IsManufacturerPid(uint16_t p) {
    return p >= 0x8000 && p <= 0xFFDF;
}

}  // namespace qelsim::rdm
