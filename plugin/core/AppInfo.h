// The plugin's identity: the names it shows in titles and uses for its settings.
#pragma once

#include <QString>

namespace qel::AppInfo {

inline const QString kCompanyName = QStringLiteral("Norvane Ltd");
// Title of message boxes that have none of their own, and the settings' application.
inline const QString kAppTitle = QStringLiteral("Norvane-QEL.out");
inline const QString kProductName = QStringLiteral("Norvane DMX-QEL Plugin");

inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 71;

}  // namespace qel::AppInfo
