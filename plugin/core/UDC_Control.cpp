#include "core/UDC_Control.h"

#include "core/AppInfo.h"
#include "core/Client.h"
#include "core/ErrHandler.h"
#include "core/HostSettings.h"
#include "core/IO_Tasks.h"
#include "core/Text.h"
#include "core/UiServices.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace qel {

using namespace ErrTrap;

namespace {

const QString kModeKey = QStringLiteral("DMXInActive");

// A window that has to be there: its absence is shown, then fails the caller.
IO_Tasks& InputTask() {
    const QString name = QStringLiteral("IO_Tasks");
    if (auto* task = qobject_cast<IO_Tasks*>(FindForm(name))) return *task;
    Ui().messageBox(QString(), QStringLiteral("Form ") + Quote(name) + QStringLiteral(" not found"),
                    MsgIcon::None, MsgButtons::Ok);
    throw RunTimeError(kErrObjectNotSet);
}

// Reads a stored Boolean text the way the setting has always been read: "True" or
// "False" in any case, or a number (0 is False).
bool ReadsTrue(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    bool number = false;
    const double value = t.toDouble(&number);
    if (!number) throw RunTimeError(kErrTypeMismatch);
    return value != 0.0;
}

bool IsLibraryFailure(int32_t number) {
    return number > kLibraryBase && number < ErrSYS_Local;
}

}  // namespace

QWidget* FindForm(const QString& name) {
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->objectName() == name) return window;
    }
    return nullptr;
}

UDC_Control::UDC_Control(QObject* parent) : QObject(parent) {
    setObjectName("UDC_Control");
}

UDC_Control::~UDC_Control() {
    // An input task left polling would poll a released port; it only needs telling.
    if (active_ && !paused_ && mode_ == 1) {
        if (auto* task = qobject_cast<IO_Tasks*>(FindForm(QStringLiteral("IO_Tasks")))) {
            task->Finish();
        }
    }
}

void UDC_Control::SetMode(int mode) {
    if (mode == mode_) return;
    HostSettings::SaveSetting(appName_, section_, kModeKey,
                              mode != 0 ? QStringLiteral("True") : QStringLiteral("False"));
    mode_ = mode;
}

void UDC_Control::Initialise(QObject* helper, const QString& appName, const QString& section) {
    helper_ = helper;
    appName_ = appName;
    section_ = section;
    mode_ = ReadsTrue(HostSettings::GetSetting(appName, section, kModeKey, QStringLiteral("False")))
                ? 1
                : 0;
}

QByteArray UDC_Control::Packet(int length) const {
    QByteArray packet(1, '\0');
    packet.append(reinterpret_cast<const char*>(levels_.data()), length);
    return packet;
}

template <typename F>
void UDC_Control::Send(F&& send) {
    try {
        send();
    } catch (const PluginError& error) {
        if (IsLibraryFailure(error.number())) active_ = false;
        throw;
    }
}

void UDC_Control::Begin() {
    Handler h{AppInfo::kProductName + QStringLiteral(" - Start Function")};
    h.run([&] {
        if (mode_ == 0) {
            Client::QEL_SendFrame(Packet(frameLength_));
        } else {
            InputTask().Begin(helper_.data());
        }
        paused_ = false;
        active_ = true;
    });
}

void UDC_Control::Stop() {
    if (mode_ == 0) {
        Client::QEL_StopFrame();
    } else {
        InputTask().Finish();
    }
}

void UDC_Control::Pause() {
    if (!active_ || paused_) return;
    Send([&] { Stop(); });
    paused_ = true;
}

void UDC_Control::Finish() {
    if (!active_) return;
    if (paused_) {
        paused_ = false;
    } else {
        Send([&] { Stop(); });
    }
    active_ = false;
}

void UDC_Control::Update(int slot, int level) {
    if (slot < 1 || slot > kSlots) throw RunTimeError(kErrSubscript);
    levels_[slot - 1] = static_cast<uint8_t>(level);
    if (!active_ || paused_) {
        // The next Begin sends the frame: it must reach this slot.
        frameLength_ = std::max(frameLength_, slot);
        return;
    }
    Send([&] {
        if (slot > frameLength_) {
            Client::QEL_SendFrame(Packet(slot));
            frameLength_ = slot;
        } else {
            Client::QEL_SendSlot(slot, level);
        }
    });
}

}  // namespace qel
