// The unit's command set: requests, byte orders and the decoding of replies. Decoders
// look only at the bytes a reply has.
#include "core/Client.h"
#include "core/ErrTrap.h"
#include "core/UiServices.h"

namespace qel::Client {
namespace {

enum Code : int {
    kGetName = 0x00,
    kGetHardwareRev = 0x01,
    kGetFirmwareRev = 0x02,
    kGetSerial = 0x03,
    kGetUID = 0x04,
    kGetFrameRate = 0x11,
    kSetFrameRate = 0x12,
    kGetMarkTime = 0x13,
    kSetMarkTime = 0x14,
    kGetBreakTime = 0x15,
    kSetBreakTime = 0x16,
    kGetDelayTime = 0x17,
    kSetDelayTime = 0x18,
    kSendFrame = 0x22,
    kStopFrame = 0x23,
    kSendSlot = 0x25,
    kGetInput = 0x28,
    kStartDiscovery = 0x33,
    kDiscoveryState = 0x34,
    kGetDeviceUID = 0x35,
    kRDMGet = 0x38,
    kRDMSet = 0x39,
    kSetBroadcastMask = 0x3D,
    kGetBuild = 0x4F,
    kFactoryProbe = 0xE0,
};

int Byte(const QByteArray& bytes, int position) {
    return static_cast<uint8_t>(bytes[position - 1]);
}

void CheckRange(int64_t value, int64_t low, int64_t high) {
    if (value < low || value > high) throw RunTimeError(kErrOverflow);
}

char Low(int value) {
    return static_cast<char>(value & 0xFF);
}
char High(int value) {
    return static_cast<char>((value >> 8) & 0xFF);
}

QByteArray LittleEndian16(int value) {
    return QByteArray{} + Low(value) + High(value);
}
QByteArray BigEndian16(int value) {
    return QByteArray{} + High(value) + Low(value);
}

QString Text(const QByteArray& reply) {
    return QString::fromLatin1(reply);
}

// Firmware revision and serial number may end with one NUL.
QString TextWithoutNul(QByteArray reply) {
    if (reply.endsWith('\0')) reply.chop(1);
    return Text(reply);
}

// A frame-timing reply of exactly `expected` bytes. Any other reply is shown and ends
// the operation; the error it raises is marked shown, so handlers do not repeat it.
QByteArray TimingReply(int cmd, int expected, const QString& title) {
    QByteArray reply = QEL_Command(cmd);
    if (reply.size() != expected) {
        Ui().messageBox(title, QStringLiteral("Un expected response from Local device"),
                        MsgIcon::Exclamation, MsgButtons::Ok);
        throw ErrTrap::ErrMake(ErrTrap::ErrAPI_Response_Format & 0xFFF).markShown();
    }
    return reply;
}

void CheckItem(int item) {
    if (item < 1 || item > 3) throw RunTimeError(kErrSubscript);
}

int ByteItem(int cmd, int item, const QString& title) {
    CheckItem(item);
    return Byte(TimingReply(cmd, 3, title), item);
}

// Bit 15 of each value is not part of it.
int MicrosecondsItem(int cmd, int item, const QString& title) {
    CheckItem(item);
    const QByteArray reply = TimingReply(cmd, 6, title);
    return Byte(reply, 2 * item - 1) + 256 * (Byte(reply, 2 * item) & 0x7F);
}

QByteArray RdmRequest(int index, int32_t subDevice, int32_t pid, const QByteArray& data) {
    CheckRange(index, 0, 255);
    CheckRange(subDevice, 0, 65535);
    CheckRange(pid, 0, 65535);
    return QByteArray(1, static_cast<char>(index)) + BigEndian16(subDevice) + BigEndian16(pid) +
           data;
}

}  // namespace

QString QEL_GetName() {
    return Text(QEL_Command(kGetName));
}

int QEL_GetModel() {
    QByteArray reply;
    try {
        reply = QEL_Command(kGetName, QByteArray(1, '\x01'));
    } catch (const PluginError& e) {
        // Units that know no model number refuse the option as too long a frame.
        if (e.number() == ErrTrap::ErrQEL_DataTooLong) return 1;
        throw;
    }
    if (reply.size() < 2) ErrTrap::ErrRaise(ErrTrap::ErrAPI_Response_Short & 0xFFF);
    // A 16-bit signed value: a high byte of 128 or more does not fit.
    if (Byte(reply, 2) >= 128) throw RunTimeError(kErrOverflow);
    return Byte(reply, 1) + 256 * Byte(reply, 2);
}

QString QEL_GetHardwareRev() {
    return Text(QEL_Command(kGetHardwareRev));
}

QString QEL_GetFirmwareRev() {
    return TextWithoutNul(QEL_Command(kGetFirmwareRev, QByteArray(1, '\x01')));
}

QString QEL_GetSerial() {
    return TextWithoutNul(QEL_Command(kGetSerial, QByteArray(1, '\x01')));
}

QByteArray QEL_GetUID() {
    return QEL_Command(kGetUID);
}

int32_t QEL_GetBuild() {
    const QByteArray reply = QEL_Command(kGetBuild);
    if (reply.size() != 4) {
        Ui().messageBox(QStringLiteral("Firmware Build N\u00B0"),
                        QStringLiteral("Unexpected response form device"), MsgIcon::None,
                        MsgButtons::Ok);
        return 0;
    }
    // Signed 32-bit: a build number with the top bit set does not fit and reads as 0.
    if (Byte(reply, 4) >= 128) return 0;
    int32_t value = 0;
    for (int position = 4; position >= 1; --position)
        value = value * 256 + Byte(reply, position);
    return value;
}

void QEL_FactoryProbe(int a, int b) {
    CheckRange(a, 0, 65535);
    CheckRange(b, 0, 65535);
    QEL_Command(kFactoryProbe, LittleEndian16(a) + LittleEndian16(b));
}

int QEL_GetFrameRate(int item) {
    return ByteItem(kGetFrameRate, item, QStringLiteral("Get Frame Rate"));
}

void QEL_SetFrameRate(int rate) {
    CheckRange(rate, 0, 255);
    QEL_Command(kSetFrameRate, QByteArray(1, static_cast<char>(rate)));
}

int QEL_GetMarkTime(int item) {
    return MicrosecondsItem(kGetMarkTime, item, QStringLiteral("Get Mark Time"));
}

void QEL_SetMarkTime(int us) {
    CheckRange(us, 0, 65535);
    QEL_Command(kSetMarkTime, LittleEndian16(us));
}

int QEL_GetBreakTime(int item) {
    return MicrosecondsItem(kGetBreakTime, item, QStringLiteral("Get Break Time"));
}

void QEL_SetBreakTime(int us) {
    CheckRange(us, 0, 65535);
    QEL_Command(kSetBreakTime, LittleEndian16(us));
}

int QEL_GetDelayTime(int item) {
    return ByteItem(kGetDelayTime, item, QStringLiteral("Get Delay Time"));
}

void QEL_SetDelayTime(int ms) {
    CheckRange(ms, 0, 255);
    QEL_Command(kSetDelayTime, QByteArray(1, static_cast<char>(ms)));
}

void QEL_SendFrame(const QByteArray& packet) {
    QEL_Command(kSendFrame, QByteArray(1, '\0') + packet);
}

void QEL_StopFrame() {
    QEL_Command(kStopFrame);
}

void QEL_SendSlot(int slot, int level) {
    CheckRange(slot, 0, 65535);
    QEL_Command(kSendSlot, LittleEndian16(slot) + static_cast<char>(level & 0xFF));
}

QByteArray QEL_GetInput(int selector) {
    CheckRange(selector, 0, 255);
    return QEL_Command(kGetInput, QByteArray(1, static_cast<char>(selector)));
}

void QEL_StartDiscovery() {
    QEL_Command(kStartDiscovery);
}

int32_t QEL_DiscoveryState() {
    const QByteArray reply = QEL_Command(kDiscoveryState);
    if (reply.size() < 2) return 0;
    return Byte(reply, 1) + 256 * Byte(reply, 2);
}

QByteArray QEL_GetDeviceUID(int index) {
    CheckRange(index, 0, 255);
    return QEL_Command(kGetDeviceUID, QByteArray(1, static_cast<char>(index)));
}

QByteArray QEL_RDMGet(int index, int32_t subDevice, int32_t pid, const QByteArray& data) {
    return QEL_Command(kRDMGet, RdmRequest(index, subDevice, pid, data));
}

QByteArray QEL_RDMSet(int index, int32_t subDevice, int32_t pid, const QByteArray& data) {
    return QEL_Command(kRDMSet, RdmRequest(index, subDevice, pid, data));
}

void QEL_SetBroadcastMask(int64_t mask) {
    if (mask < 0 || mask > 65535) {
        Ui().messageBox({}, QStringLiteral("Broadcast Mask value is out of range"),
                        MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    QEL_Command(kSetBroadcastMask, BigEndian16(static_cast<int>(mask)));
}

}  // namespace qel::Client
