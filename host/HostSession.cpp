#include "HostSession.h"

const QString HostSession::kHostName = QStringLiteral("QEL-Host");

HostSession::HostSession(const PluginEntry& entry, QObject* parent)
    : QObject(parent), entry_(entry) {}

HostSession::HostSession(const PluginEntry& entry, QObject* root, QObject* parent)
    : QObject(parent), entry_(entry), root_(root) {}

HostSession::~HostSession() {
    stop();
}

bool HostSession::load() {
    QObject* root = root_;
    if (root == nullptr) {
        module_ = std::make_unique<LoadedPlugin>(entry_);
        root = module_->root();
        if (root == nullptr) {
            error_ = "cannot load " + entry_.path + ": " + module_->errorString();
            module_.reset();
            return false;
        }
    }
    plugin_ = std::make_unique<HostedPlugin>(root);
    const QStringList missing = plugin_->missingMethods();
    if (!missing.isEmpty()) {
        error_ = entry_.fileName + " lacks " + missing.join(", ");
        plugin_.reset();
        module_.reset();
        return false;
    }
    connect(plugin_.get(), &HostedPlugin::called, this, &HostSession::called);
    return true;
}

bool HostSession::start() {
    if (!plugin_ && !load()) return false;
    const auto name = plugin_->PluginName();
    if (!name) return false;
    name_ = *name;
    // Init answers False by design; only a call that fails stops the start.
    if (!plugin_->Init(kHostName, entry_.fileName, &helper_)) return false;
    initialised_ = true;
    return enable();
}

bool HostSession::stop() {
    if (!plugin_) return true;
    bool ok = true;
    if (enabled_) ok = disable();
    if (initialised_) ok = plugin_->Term().has_value() && ok;
    initialised_ = false;
    plugin_.reset();
    module_.reset();
    return ok;
}

bool HostSession::enable() {
    if (!plugin_) return false;
    const auto result = plugin_->Enable();
    if (result.value_or(false)) setEnabled(true);
    return result.value_or(false);
}

bool HostSession::disable() {
    if (!plugin_) return false;
    const auto result = plugin_->Disable();
    // A failed Disable still means the host no longer counts on the output.
    setEnabled(false);
    return result.value_or(false);
}

bool HostSession::configure() {
    if (!plugin_) return false;
    return plugin_->Configure().value_or(false);
}

bool HostSession::setChannel(int slot, int level) {
    if (slot >= 1 && slot <= HostHelper::kSlots && level >= 0 && level <= 255) {
        sent_[slot - 1] = static_cast<uint8_t>(level);
    }
    if (!plugin_) return false;
    return plugin_->SetChannel(slot, level).value_or(false);
}

int HostSession::sentLevel(int slot) const {
    return slot >= 1 && slot <= HostHelper::kSlots ? sent_[slot - 1] : 0;
}

void HostSession::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    emit enabledChanged(enabled);
}
