#include "core/DEV_Status.h"

#include "core/AUF_Registry.h"
#include "core/Client.h"
#include "core/ErrHandler.h"
#include "core/VersionText.h"

namespace qel {

using namespace ErrTrap;

DEV_Status::DEV_Status(QObject* parent) : QObject(parent) {
    setObjectName("DEV_Status");
}

QString DEV_Status::BuiltInFirmware(int model) {
    switch (model) {
        case 1:
            return QStringLiteral("0.3.010");
        case 2:
            return QStringLiteral("0.0.002");
        default:
            return QStringLiteral("0.0.0");
    }
}

void DEV_Status::Probe(bool reset) {
    ProbeFactory();
    ProbeUpdates();
    if (reset) hushed_ = false;
}

void DEV_Status::ProbeFactory() {
    // A unit without the factory command is an ordinary unit, not a failure.
    Handler h{"DEV_Status.ProbeFactory",
              {On(ErrQEL_CommandInst).then([this](const PluginError&) { factory_ = false; })}};
    h.run([&] {
        Client::QEL_FactoryProbe(0, 1);
        factory_ = true;
    });
}

void DEV_Status::ProbeUpdates() {
    Handler h{"DEV_Status.ProbeUpdates",
              {On(ErrQEL_CommandInst).then([this](const PluginError&) { newer_ = false; })}};
    h.run([&] {
        const int model = Client::QEL_GetModel();
        AUF_Registry::SaveValue(QStringLiteral("DeviceModel"), model);
        const QString latest = AUF_Registry::LoadText(
            QStringLiteral("ModelFirmware-") + QString::number(model), BuiltInFirmware(model));
        const QString current = Client::QEL_GetFirmwareRev();
        newer_ = IsNewerVersion(latest, current);
    });
}

}  // namespace qel
