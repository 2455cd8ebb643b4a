// The per-user application settings the host shares with its plugins, addressed by
// application name, section and key, holding text. The plugin keeps its DMX-input mode
// there ("DMXInActive"). A section such as "Plugins\Norvane-QEL.out" is a group path.
#pragma once

#include <QString>

namespace qel::HostSettings {

// The stored text, or `defaultValue` when there is none or the file cannot be read.
QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue = {});

// Stores `value`; a store that cannot be written fails with the file-access run-time
// error, an empty application name, section or key with the invalid-call error.
void SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value);

}  // namespace qel::HostSettings
