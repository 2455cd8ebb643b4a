// What the plugin knows about the unit behind the open port: whether it is a factory
// unit, and whether a newer firmware is known for its model. Probed after every open.
#pragma once

#include "forms/HCF_Data.h"

#include <QObject>
#include <QString>

namespace qel {

class DEV_Status : public QObject, public HCF_Data {
    Q_OBJECT

  public:
    explicit DEV_Status(QObject* parent = nullptr);

    QString DataClass() const override { return QStringLiteral("DEV_Status"); }

    // Asks the unit (factory probe, then the firmware check). `reset` brings back a
    // firmware prompt the person declined.
    void Probe(bool reset);
    void Hush() { hushed_ = true; }
    bool Factory() const { return factory_; }
    bool Updates() const { return newer_ && !hushed_; }

    // The latest firmware this plugin knows of for a model, used when the settings name
    // none: model 1 "0.3.010", model 2 "0.0.002", any other "0.0.0".
    static QString BuiltInFirmware(int model);

  private:
    void ProbeFactory();
    void ProbeUpdates();

    bool factory_ = false;
    bool newer_ = false;
    bool hushed_ = false;
};

}  // namespace qel
