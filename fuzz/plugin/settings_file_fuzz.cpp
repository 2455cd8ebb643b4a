// Fuzz target: the settings store reading a file made of the input, every value in it
// through each typed load, then one write.
#include "NullUi.h"
#include "core/AUF_Registry.h"
#include "core/RegistryFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static const bool pathSet = [] {
        QSettings::setPath(qel::RegistryFile::Format(), QSettings::UserScope, dir.path());
        return true;
    }();
    (void)pathSet;
    qel::fuzz::NullUi ui;
    qel::ScopedUi scope(ui);

    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QSettings::SettingsMap map;
    qel::RegistryFile::Read(buffer, map);

    const QString path = qel::AUF_Registry::FilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(bytes);
    file.close();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        qel::AUF_Registry::LoadValue(it.key(), 0);
        qel::AUF_Registry::LoadText(it.key());
        qel::AUF_Registry::LoadInt(it.key());
        qel::AUF_Registry::LoadBool(it.key());
    }
    qel::AUF_Registry::SaveValue(QStringLiteral("Fuzz"), 1);
    return 0;
}
