// The plugins in the host's Plugins folder: every loadable Qt plugin whose interface
// id is the output-plugin interface the host drives.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QObject;
class QPluginLoader;

// Interface id of the plugin interface this host drives (the dispatch interface's IID).
inline constexpr const char* kPluginInterfaceId = "{a2db0841-a8da-4eb8-a8a5-a02628bb4d7c}";

struct PluginEntry {
    QString path;
    QString fileName;      // what the host hands to Init
    QJsonObject metaData;  // the plugin's own identity block
    // The product name from the plugin's version block, for lists; the file name when
    // the plugin declares none.
    QString title() const;
};

class PluginCatalog {
  public:
    // Folder a host finds beside its executable.
    static QString defaultFolder();

    // Reads the folder; files that are no plugin, or a plugin of another interface, are
    // listed in skipped() with the reason.
    explicit PluginCatalog(const QString& folder);

    const QString& folder() const { return folder_; }
    const std::vector<PluginEntry>& entries() const { return entries_; }
    const QStringList& skipped() const { return skipped_; }

    // The entry whose file name or title equals `name`; the first when `name` is empty.
    const PluginEntry* find(const QString& name) const;

  private:
    QString folder_;
    std::vector<PluginEntry> entries_;
    QStringList skipped_;
};

// A loaded plugin module. Unloading destroys the plugin object, as releasing the last
// reference does for an automation server.
class LoadedPlugin {
  public:
    explicit LoadedPlugin(const PluginEntry& entry);
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    // The plugin object, or nullptr with errorString() telling why.
    QObject* root() const { return root_; }
    QString errorString() const;
    const PluginEntry& entry() const { return entry_; }

  private:
    PluginEntry entry_;
    std::unique_ptr<QPluginLoader> loader_;
    QObject* root_ = nullptr;
};
