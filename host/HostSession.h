// The host's side of one plugin's life: load it, name it, initialise it with the host's
// helper, enable it, hand it levels, and at the end disable it, end it and unload it.
// The window and the non-interactive run both drive the plugin through this.
#pragma once

#include "HostHelper.h"
#include "HostedPlugin.h"
#include "PluginCatalog.h"

#include <QObject>

#include <array>
#include <memory>

class HostSession : public QObject {
    Q_OBJECT

  public:
    // The name the host gives itself in Init: plugins keep their host-shared settings
    // under it.
    static const QString kHostName;

    HostSession(const PluginEntry& entry, QObject* parent = nullptr);
    // Drives an object that is already there instead of loading the entry's module.
    HostSession(const PluginEntry& entry, QObject* root, QObject* parent);
    ~HostSession() override;

    // Loads the module and finds the seven methods; false with error() telling why.
    bool load();
    const QString& error() const { return error_; }

    // The host's opening sequence: PluginName, Init, Enable. False when a call could not
    // be made or failed (the log tells which).
    bool start();
    // Disable when enabled, then Term, then unload the module. False when a call to the
    // plugin could not be made or failed.
    bool stop();

    bool enable();
    bool disable();
    bool configure();
    // Also remembers the level as what the host last sent to `slot`.
    bool setChannel(int slot, int level);

    bool loaded() const { return plugin_ != nullptr; }
    bool busy() const { return plugin_ && plugin_->busy(); }
    bool enabled() const { return enabled_; }
    const QString& pluginName() const { return name_; }
    const PluginEntry& entry() const { return entry_; }
    HostHelper& helper() { return helper_; }
    HostedPlugin* plugin() { return plugin_.get(); }
    // The level the host last handed over for slot 1..512.
    int sentLevel(int slot) const;

  signals:
    void called(const PluginCall& call);
    void enabledChanged(bool enabled);

  private:
    void setEnabled(bool enabled);

    PluginEntry entry_;
    HostHelper helper_;
    QObject* root_ = nullptr;  // given, not loaded
    std::unique_ptr<LoadedPlugin> module_;
    std::unique_ptr<HostedPlugin> plugin_;
    QString name_;
    QString error_;
    bool initialised_ = false;
    bool enabled_ = false;
    std::array<uint8_t, HostHelper::kSlots> sent_{};
};
