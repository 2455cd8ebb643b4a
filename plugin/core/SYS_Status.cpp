#include "core/SYS_Status.h"

#include "core/AUF_Registry.h"
#include "core/AppInfo.h"
#include "core/ErrHandler.h"
#include "core/VersionText.h"

#include <QLocale>
#include <QOperatingSystemVersion>
#include <QSysInfo>

namespace qel {

SYS_Status::SYS_Status(QObject* parent) : QObject(parent) {
    setObjectName("SYS_Status");
    winVersion_ = OperatingSystemName();
    appVersion_ = QStringLiteral("%1.%2.%3")
                      .arg(AppInfo::kVersionMajor)
                      .arg(AppInfo::kVersionMinor)
                      .arg(AppInfo::kVersionRevision);
    // No service packs outside Windows; on Windows Qt does not tell them either.
    servicePack_.clear();
    const QLocale locale = QLocale::system();
    if (locale.territory() != QLocale::AnyTerritory) {
        country_ = QLocale::territoryToString(locale.territory());
    }
    if (locale.language() != QLocale::C && locale.language() != QLocale::AnyLanguage) {
        language_ = QLocale::languageToString(locale.language());
    }
    longName_ = AppInfo::kCompanyName + QLatin1Char(' ') + AppInfo::kAppTitle;
}

bool SYS_Status::Updates() const {
    using namespace ErrTrap;
    Handler h{"SYS_Status.Updates (Get)"};
    return h
        .run([&] {
            if (hushed_) return false;
            const QString latest = AUF_Registry::LoadText(QStringLiteral("Latest_Software"));
            if (latest.isEmpty()) return false;
            return IsNewerVersion(latest, appVersion_);
        })
        .value_or(false);
}

QString SYS_Status::WindowsName(int major, int minor, int platform) {
    const QString windows = QStringLiteral("Windows ");
    switch (major) {
        case 3:
            return windows + (platform == 1 ? QStringLiteral("3.x") : QStringLiteral("NT 3.x"));
        case 4:
            if (platform == 2) return QStringLiteral("Windows NT 4.0");
            // 4.0 is the first of the line; 4.10 and later count as its successor.
            return windows + (minor == 0 ? QStringLiteral("95") : QStringLiteral("98"));
        case 5:
            if (minor == 0) return QStringLiteral("Windows 2000");
            if (minor == 1) return QStringLiteral("Windows XP");
            if (minor == 2) return QStringLiteral("Windows Server 2003");
            break;
        case 6:
            if (minor == 0) return QStringLiteral("Windows Vista");
            if (minor == 1) return QStringLiteral("Windows 7");
            break;
        default:
            break;
    }
    return windows + QString::number(major) + QLatin1Char('.') + QString::number(minor);
}

QString SYS_Status::OperatingSystemName() {
    const QOperatingSystemVersion os = QOperatingSystemVersion::current();
    if (os.type() == QOperatingSystemVersion::Windows) {
        return WindowsName(os.majorVersion(), os.minorVersion(), 2);
    }
    return QSysInfo::prettyProductName();
}

}  // namespace qel
