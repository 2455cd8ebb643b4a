#include "core/Client.h"

#include "core/ErrTrap.h"
#include "core/LibraryBinding.h"
#include "core/UiServices.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <chrono>

namespace qel::Client {
namespace {

constexpr int kTextBuffer = 256;
constexpr int kPortNameBuffer = 64;
constexpr uint8_t kPollQueued = 0x3A;

constexpr int kStatusOk = 0;
constexpr int kStatusWait = 16;
constexpr int kStatusQueued = 17;
constexpr int kStatusPartial = 18;

bool g_replyQueued = false;
bool g_messagesWaiting = false;

// A library result below zero becomes 4352 + |result|.
void CheckLibrary(int32_t result, const QString& source) {
    if (result >= 0) return;
    const int64_t magnitude = -static_cast<int64_t>(result);
    ErrTrap::ErrRaise(static_cast<int32_t>(std::min<int64_t>(256 + magnitude, 0xFFF)), source);
}

// The first `count` characters of a text buffer, never past its end.
QString TextOf(const char* buffer, int32_t count, int size) {
    return QString::fromLatin1(buffer, std::clamp<int32_t>(count, 0, size));
}

}  // namespace

QString API_Version() {
    std::array<char, kTextBuffer> buffer{};
    const int32_t n = Library().Version(buffer.data(), kTextBuffer);
    CheckLibrary(n, {});
    return TextOf(buffer.data(), n, kTextBuffer);
}

QString API_LastError() {
    try {
        std::array<char, kTextBuffer> buffer{};
        const int32_t n = Library().LastError(buffer.data(), kTextBuffer);
        return TextOf(buffer.data(), n, kTextBuffer);
    } catch (...) {
        return {};
    }
}

int API_GetPortCount() {
    const int32_t n = Library().PortCount();
    CheckLibrary(n, QStringLiteral("API-GetPortCount"));
    return n;
}

QString API_GetPortName(int index) {
    std::array<char, kPortNameBuffer> buffer{};
    const int32_t n = Library().PortName(index, buffer.data(), kPortNameBuffer);
    CheckLibrary(n, QStringLiteral("API-GetPortName"));
    return TextOf(buffer.data(), n, kPortNameBuffer);
}

void USB_OpenPort(int index) {
    if (index < -32768 || index > 32767) throw RunTimeError(kErrOverflow);
    CheckLibrary(Library().OpenPort(index), QStringLiteral("USB-OpenPort"));
}

void USB_Disconnect() {
    CheckLibrary(Library().FreePort(), QStringLiteral("USB-Disconnect"));
}

void QEL_ReProgram(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    CheckLibrary(Library().Reprogram(encoded.constData()), QStringLiteral("QEL_ReProgram"));
}

int QEL_ProgStatus() {
    const int32_t state = Library().ProgState();
    CheckLibrary(state, QStringLiteral("QEL_ProgStatus"));
    return state;
}

QByteArray QEL_Command(int cmd, const QByteArray& data) {
    if (cmd < 0 || cmd > 255) throw RunTimeError(kErrOverflow);
    if (data.size() > kTransferBuffer - 1) throw RunTimeError(kErrSubscript);

    QByteArray acc;
    bool waiting = false;
    bool pollHeader = false;  // the next answer is the first to a poll
    bool receivedAny = false;
    std::chrono::milliseconds pendingWait{0};
    // A wait shows the busy pointer; whatever way the command ends, the pointer goes back
    // to what the caller had, which may be busy already.
    struct RestorePointer {
        const bool busy = Ui().busyPointer();
        ~RestorePointer() {
            if (Ui().busyPointer() != busy) Ui().setBusyPointer(busy);
        }
    } restorePointer;
    for (;;) {
        g_replyQueued = false;
        // Each attempt has its own buffer: a command issued from a window event
        // during a wait must not disturb this one.
        std::array<uint8_t, kTransferBuffer> buffer{};
        int32_t length = 0;
        if (!waiting) {
            buffer[0] = static_cast<uint8_t>(cmd);
            std::copy(data.begin(), data.end(), buffer.begin() + 1);
            length = static_cast<int32_t>(data.size()) + 1;
        } else {
            buffer[0] = kPollQueued;
            buffer[1] = data.isEmpty() ? 0 : static_cast<uint8_t>(data[0]);
            length = 2;
            if (pendingWait.count() > 0) {
                Ui().setBusyPointer(true);
                Ui().waitProcessingEvents(pendingWait);
                pendingWait = std::chrono::milliseconds{0};
            }
        }

        const int32_t status = Library().Command(buffer.data(), &length);
        const QByteArray reply(reinterpret_cast<const char*>(buffer.data()),
                               std::clamp<int32_t>(length, 0, kTransferBuffer));

        if (status < 0) CheckLibrary(status, {});
        if (status == kStatusWait) {
            const int tenths = (reply.size() > 0 ? static_cast<uint8_t>(reply[0]) * 256 : 0) +
                               (reply.size() > 1 ? static_cast<uint8_t>(reply[1]) : 0);
            Ui().setBusyPointer(true);
            pendingWait = std::chrono::milliseconds{tenths * 100};
            waiting = true;
            pollHeader = true;
            continue;
        }
        if (status == kStatusOk || status == kStatusQueued || status == kStatusPartial) {
            // The answer to the poll starts with two bytes of its own (the parameter
            // it answers), once, however many parts the answer comes in.
            receivedAny = receivedAny || !reply.isEmpty();
            acc += pollHeader ? reply.mid(2) : reply;
            pollHeader = false;
        }
        switch (status) {
            case kStatusOk:
                return acc;
            case kStatusQueued:
                g_replyQueued = true;
                g_messagesWaiting = true;
                return acc;
            case kStatusPartial:
                if (!receivedAny) ErrTrap::ErrRaise(ErrTrap::ErrRDM_Response_Format);
                continue;
            default:
                // A status beyond a byte is not the unit's: the library misbehaved.
                ErrTrap::ErrRaise(status <= 255 ? status : ErrTrap::ErrAPI_Unexpected & 0xFFF);
        }
    }
}

bool QEL_MessagesWaiting() {
    return g_messagesWaiting;
}

bool ReplyQueued() {
    return g_replyQueued;
}

QByteArray QEL_QueuedMessage(int index, int statusType) {
    if (index < 0 || index > 255 || statusType < 0 || statusType > 255) {
        throw RunTimeError(kErrOverflow);
    }
    QByteArray data(1, static_cast<char>(index));
    if (statusType != 0) data.append(static_cast<char>(statusType));
    QByteArray reply = QEL_Command(kPollQueued, data);
    g_messagesWaiting = g_replyQueued;
    return reply;
}

}  // namespace qel::Client
