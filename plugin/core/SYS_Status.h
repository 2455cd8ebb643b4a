// Facts about the computer and the plugin that the update check reports, and whether a
// newer plugin is known. Filled once, when the object is made.
#pragma once

#include "forms/HCF_Data.h"

#include <QObject>
#include <QString>

namespace qel {

class SYS_Status : public QObject, public HCF_Data {
    Q_OBJECT

  public:
    explicit SYS_Status(QObject* parent = nullptr);

    QString DataClass() const override { return QStringLiteral("SYS_Status"); }

    const QString& WinVersion() const { return winVersion_; }
    const QString& AppVersion() const { return appVersion_; }
    const QString& ServicePack() const { return servicePack_; }
    const QString& Country() const { return country_; }
    const QString& Language() const { return language_; }
    const QString& LongName() const { return longName_; }
    QString ProductCode() const { return QStringLiteral("203"); }

    void Probe() { hushed_ = false; }
    void Hush() { hushed_ = true; }
    // True when the update check stored a plugin version newer than this one, and the
    // person has not declined the prompt since the plugin was loaded.
    bool Updates() const;

    // The name of a Windows release from its version numbers and platform id (1 for the
    // 16-bit-based line, 2 for NT).
    static QString WindowsName(int major, int minor, int platform);

    // The operating system's name as the update check reports it: the Windows name on
    // Windows, the distribution's own name elsewhere.
    static QString OperatingSystemName();

  private:
    QString winVersion_;
    QString appVersion_;
    QString servicePack_;
    QString country_;
    QString language_;
    QString longName_;
    bool hushed_ = false;
};

}  // namespace qel
