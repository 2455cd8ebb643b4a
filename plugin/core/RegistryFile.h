// The file behind the plugin's settings store: one value a line, "name=kind:data",
// where kind is sz (text), dword (decimal 32-bit) or binary (hex bytes). The file layer
// keeps each line's "kind:data" as it stands; AUF_Registry gives it meaning, so a value
// edited by hand into something unreadable is refused there, with a message, and never
// breaks the reading of the other values.
#pragma once

#include <QSettings>

namespace qel::RegistryFile {

// The QSettings format of the file (registered on first use).
QSettings::Format Format();

// For tests of the file layer.
bool Read(QIODevice& device, QSettings::SettingsMap& map);
bool Write(QIODevice& device, const QSettings::SettingsMap& map);

}  // namespace qel::RegistryFile
