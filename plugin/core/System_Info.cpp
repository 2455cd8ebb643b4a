#include "core/System_Info.h"

#include "core/Client.h"
#include "core/CoreArt.h"
#include "core/ErrHandler.h"
#include "core/StrFormat.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>

namespace qel {

using namespace ErrTrap;

namespace {
QGridLayout* Grid(QWidget* view) {
    return static_cast<QGridLayout*>(view->layout());
}
}  // namespace

System_Info::System_Info(QWidget* parent) : HCF_Dialog(parent, QStringLiteral("DEV_Status")) {
    setObjectName("System_Info");
    setWindowTitle(QStringLiteral("  Device Information"));
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(14);
    auto* picture = new QLabel(this);
    picture->setObjectName("Image_Device");
    picture->setPixmap(CoreArt::Device());
    heading_ = new QLabel(this);
    heading_->setObjectName("Label_Name");
    QFont big = heading_->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    heading_->setFont(big);
    grid->addWidget(picture, 0, 0, 1, 2, Qt::AlignCenter);
    grid->addWidget(heading_, 1, 0, 1, 2, Qt::AlignCenter);
    serial_ = Value("Label_Serial", QStringLiteral("Serial N° :"), 2);
    hardware_ = Value("Label_Hardware", QStringLiteral("Hardware Rev :"), 3);
    firmware_ = Value("Label_Firmware", QStringLiteral("Firmware Rev :"), 4);
    uid_ = Value("Label_UID", QStringLiteral("Unique ID :"), 5);
    grid->setRowStretch(6, 1);
    setMinimumWidth(340);
}

QLabel* System_Info::Value(const QString& name, const QString& caption, int row) {
    auto* title = new QLabel(caption, this);
    title->setObjectName(name + QStringLiteral("Caption"));
    title->setAlignment(Qt::AlignRight | Qt::AlignTop);
    auto* value = new QLabel(this);
    value->setObjectName(name);
    value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Grid(this)->addWidget(title, row, 0);
    Grid(this)->addWidget(value, row, 1);
    return value;
}

QString System_Info::UidText(const QByteArray& uid) {
    return HexString(uid.left(2), QStringLiteral(" ")) + QStringLiteral(" : ") +
           HexString(uid.mid(2), QStringLiteral(" "));
}

void System_Info::Initialise() {
    const QString title = QStringLiteral("Local Device Information");
    Handler h{
        objectName() + QStringLiteral(".Initialise"),
        {On(ErrAPI_Connection, ErrAPI_Response_Missing)
             .ask(title)
             .then([this, title](const PluginError&) { ErrUnload(this, ErrSYS_Comms, title); }),
         On(ErrAPI_DeviceMissig).show(title).then([this, title](const PluginError&) {
             ErrUnload(this, ErrSYS_Comms, title);
         })}};
    h.run([&] {
        heading_->setText(h.step([] { return Client::QEL_GetName(); }));
        const QString serial = h.step([] { return Client::QEL_GetSerial(); });
        bool number = false;
        const qlonglong value = serial.trimmed().toLongLong(&number);
        if (!number) throw RunTimeError(kErrTypeMismatch);
        if (value < INT32_MIN || value > INT32_MAX) throw RunTimeError(kErrOverflow);
        serial_->setText(QString::number(value));
        hardware_->setText(h.step([] { return Client::QEL_GetHardwareRev(); }));
        const QString revision = h.step([] { return Client::QEL_GetFirmwareRev(); });
        const int32_t build = h.step([] { return Client::QEL_GetBuild(); });
        firmware_->setText(revision + QStringLiteral("\n  Build ") + QString::number(build));
        uid_->setText(UidText(h.step([] { return Client::QEL_GetUID(); })));
    });
}

void System_Info::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}

}  // namespace qel
