#include "core/HostSettings.h"

#include "core/PluginError.h"

#include <QSettings>

namespace qel::HostSettings {
namespace {

QString Path(const QString& section, const QString& key) {
    QString group = section;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return group + QLatin1Char('/') + key;
}

void CheckNames(const QString& appName, const QString& section, const QString& key) {
    if (appName.trimmed().isEmpty() || section.trimmed().isEmpty() || key.trimmed().isEmpty()) {
        throw RunTimeError(kErrInvalidCall);
    }
}

}  // namespace

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue) {
    CheckNames(appName, section, key);
    QSettings store(QSettings::IniFormat, QSettings::UserScope, appName);
    if (store.status() != QSettings::NoError) return defaultValue;
    const QVariant value = store.value(Path(section, key));
    // A hand-edited list ("a, b") is no text this store ever wrote.
    if (!value.isValid() || value.typeId() != QMetaType::QString) return defaultValue;
    return value.toString();
}

void SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value) {
    CheckNames(appName, section, key);
    QSettings store(QSettings::IniFormat, QSettings::UserScope, appName);
    store.setValue(Path(section, key), value);
    store.sync();
    if (store.status() != QSettings::NoError) throw RunTimeError(kErrPathFileAccess);
}

}  // namespace qel::HostSettings
