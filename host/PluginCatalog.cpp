#include "PluginCatalog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonValue>
#include <QLibrary>
#include <QPluginLoader>

QString PluginEntry::title() const {
    const QString product =
        metaData.value("VersionBlock").toObject().value("ProductName").toString();
    return product.isEmpty() ? fileName : product;
}

QString PluginCatalog::defaultFolder() {
    return QDir(QCoreApplication::applicationDirPath()).filePath("Plugins");
}

PluginCatalog::PluginCatalog(const QString& folder) : folder_(folder) {
    const QDir dir(folder);
    const QFileInfoList files =
        dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        if (!QLibrary::isLibrary(file.fileName())) continue;
        QPluginLoader probe(file.absoluteFilePath());
        const QJsonObject meta = probe.metaData();
        if (meta.isEmpty()) {
            skipped_ << file.fileName() + ": not a plugin";
            continue;
        }
        if (meta.value("IID").toString() != QLatin1String(kPluginInterfaceId)) {
            skipped_ << file.fileName() + ": another interface (" + meta.value("IID").toString() +
                            ")";
            continue;
        }
        entries_.push_back(
            {file.absoluteFilePath(), file.fileName(), meta.value("MetaData").toObject()});
    }
}

const PluginEntry* PluginCatalog::find(const QString& name) const {
    for (const PluginEntry& entry : entries_) {
        if (name.isEmpty() || entry.fileName == name || entry.title() == name) return &entry;
    }
    return nullptr;
}

LoadedPlugin::LoadedPlugin(const PluginEntry& entry)
    : entry_(entry), loader_(std::make_unique<QPluginLoader>(entry.path)) {
    root_ = loader_->instance();
}

LoadedPlugin::~LoadedPlugin() {
    if (root_ != nullptr) loader_->unload();
}

QString LoadedPlugin::errorString() const {
    return loader_->errorString();
}
