// The plugin's only road to the local device: the library's exports, the command set
// of the unit with its payloads, byte orders and decoders, and the reply-status
// protocol (wait, partial reply, queued messages). Every failure is raised as a plugin
// error: 4096 + the unit's status, 4352 + the library's failure code; arguments out of
// range fail with the overflow error before anything is sent.
//
// Byte strings (requests, replies, UIDs, parameter data) are QByteArrays.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace qel::Client {

// Size of the transfer buffer: a request is at most this long.
inline constexpr int kTransferBuffer = 528;

// ---- the library's exports
QString API_Version();
QString API_LastError();  // never raises; empty when the library cannot tell
int API_GetPortCount();
QString API_GetPortName(int index);  // 1-based
void USB_OpenPort(int index);        // 1-based
void USB_Disconnect();
void QEL_ReProgram(const QString& path);  // starts reprogramming in the background
int QEL_ProgStatus();                     // 1..100 while running, 0 when idle or done

// ---- the command transport
// One command (code 0..255, payload up to kTransferBuffer - 1 bytes) and its reply.
// Waits for a remote device that asks for time (processing window events meanwhile),
// joins partial replies, and notes queued messages.
QByteArray QEL_Command(int cmd, const QByteArray& data = {});

// True when a remote device's reply said it holds queued messages; cleared by a
// QEL_QueuedMessage exchange that ends without that note. No exchange.
bool QEL_MessagesWaiting();
// Whether the last exchange attempt carried the queued-messages note.
bool ReplyQueued();

// ---- identity of the unit
QString QEL_GetName();
int QEL_GetModel();  // 1 for a unit that does not know the question
QString QEL_GetHardwareRev();
QString QEL_GetFirmwareRev();
QString QEL_GetSerial();
QByteArray QEL_GetUID();
int32_t QEL_GetBuild();  // 0 when the reply cannot be read (after a message)
void QEL_FactoryProbe(int a, int b);

// ---- DMX frame timing; Item 1 = current, 2 = minimum, 3 = maximum
int QEL_GetFrameRate(int item);
void QEL_SetFrameRate(int rate);
int QEL_GetMarkTime(int item);
void QEL_SetMarkTime(int us);
int QEL_GetBreakTime(int item);
void QEL_SetBreakTime(int us);
int QEL_GetDelayTime(int item);
void QEL_SetDelayTime(int ms);

// ---- DMX output and input
void QEL_SendFrame(const QByteArray& packet);  // start code and levels
void QEL_StopFrame();
void QEL_SendSlot(int slot, int level);
QByteArray QEL_GetInput(int selector);

// ---- RDM; index 0 = broadcast, 1.. = remote devices in discovery order
void QEL_StartDiscovery();
int32_t QEL_DiscoveryState();  // low byte: devices found; high byte: 0 done, 1 running
QByteArray QEL_GetDeviceUID(int index);
QByteArray QEL_RDMGet(int index, int32_t subDevice, int32_t pid, const QByteArray& data = {});
QByteArray QEL_RDMSet(int index, int32_t subDevice, int32_t pid, const QByteArray& data = {});
QByteArray QEL_QueuedMessage(int index, int statusType);
void QEL_SetBroadcastMask(int64_t mask);

}  // namespace qel::Client
