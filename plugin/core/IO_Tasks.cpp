#include "core/IO_Tasks.h"

#include "core/Client.h"
#include "core/ErrHandler.h"
#include "core/StrFormat.h"
#include "core/UDC_Control.h"
#include "core/UiServices.h"

namespace qel {

using namespace ErrTrap;

namespace {
constexpr int32_t kErrNoSuchMethod = 438;
}  // namespace

IO_Tasks::IO_Tasks(QWidget* parent) : QWidget(parent) {
    setObjectName("IO_Tasks");
    setWindowTitle("IO_Tasks");
    taskIP_ = new QTimer(this);
    taskIP_->setObjectName("Task_IP");
    taskIP_->setInterval(kIntervalMs);
    connect(taskIP_, &QTimer::timeout, this, &IO_Tasks::Tick);
}

void IO_Tasks::Begin(QObject* helper) {
    stopping_ = false;
    helper_ = helper;
    // The helper is the host's: its method is looked up by name, once per helper.
    setChannel_ = QMetaMethod();
    if (helper != nullptr) {
        const int index = helper->metaObject()->indexOfMethod("DMXC_DMXIn_SetChannel(int,int)");
        if (index >= 0) setChannel_ = helper->metaObject()->method(index);
    }
    if (!ticking_) taskIP_->start();
}

void IO_Tasks::Finish() {
    stopping_ = true;
    // Between ticks nothing is in progress: stop now rather than poll once more, since
    // the caller may be about to release the port.
    taskIP_->stop();
}

void IO_Tasks::Tick() {
    // Cancel ends the poll without a second message: the person has just seen the
    // failure and chosen to stop.
    Handler h{objectName() + QStringLiteral(" - Input"),
              {On(ErrAPI_Connection, ErrAPI_Response_Missing).ask().absorb(),
               On(ErrAPI_DeviceMissig).passOn()}};
    taskIP_->stop();
    ticking_ = true;
    const bool completed = h.runInEvent([&] {
        const QByteArray record = h.step([] { return Client::QEL_GetInput(1); });
        Deliver(record);
    });
    ticking_ = false;
    // Any failure leaves the timer stopped: polling waits for the next Begin.
    if (completed && !stopping_) taskIP_->start();
}

void IO_Tasks::Deliver(const QByteArray& record) {
    if (record.isEmpty()) return;
    switch (static_cast<uint8_t>(record[0])) {
        case 0:
        case 1: {
            if (record.size() < 2) return;
            const int startCode = static_cast<uint8_t>(record[1]);
            const QByteArray levels = record.mid(2);
            if (startCode != 0) {
                Ui().messageBox(QStringLiteral("Alternate Start Code (") +
                                    QString::number(startCode) + QLatin1Char(')'),
                                HexString(levels, QStringLiteral(" ")), MsgIcon::None,
                                MsgButtons::Ok);
                return;
            }
            const int count = std::min<int>(levels.size(), UDC_Control::kSlots);
            for (int i = 0; i < count; ++i)
                SetChannel(i + 1, static_cast<uint8_t>(levels[i]));
            break;
        }
        case 3:
            for (int slot = 1; slot <= UDC_Control::kSlots; ++slot)
                SetChannel(slot, 0);
            break;
        default:
            break;
    }
}

void IO_Tasks::SetChannel(int slot, int level) {
    if (helper_.isNull()) throw RunTimeError(kErrObjectNotSet);
    if (!setChannel_.isValid()) {
        throw RunTimeError(kErrNoSuchMethod,
                           QStringLiteral("Object doesn't support this property or method"));
    }
    setChannel_.invoke(helper_.data(), Qt::DirectConnection, Q_ARG(int, slot), Q_ARG(int, level));
}

}  // namespace qel
