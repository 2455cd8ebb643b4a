#include "HostedPlugin.h"

#include <QMetaObject>

namespace {

// The plugin reports a failed call (what an automation server reports as a failed
// result) through these two properties; both are absent or zero / empty on success.
constexpr const char* kErrorNumberProperty = "ErrorNumber";
constexpr const char* kErrorDescriptionProperty = "ErrorDescription";

}  // namespace

const char* const HostedPlugin::kMethods[7] = {
    "PluginName()",
    "Init(QString,QString,QObject*)",
    "Configure()",
    "Enable()",
    "SetChannel(int,int)",
    "Disable()",
    "Term()",
};

QString PluginCall::describe() const {
    QString text = method + "(" + arguments + ")";
    if (!succeeded) {
        text += " failed";
        if (errorNumber != 0) text += QString(" (%1)").arg(errorNumber);
        if (!error.isEmpty()) text += ": " + QString(error).replace('\n', ' ');
        return text;
    }
    if (result.typeId() == QMetaType::QString) return text + " -> \"" + result.toString() + "\"";
    return text + " -> " + (result.toBool() ? "true" : "false");
}

HostedPlugin::HostedPlugin(QObject* root, QObject* parent) : QObject(parent), root_(root) {
    if (root == nullptr) return;
    const QMetaObject* meta = root->metaObject();
    for (int i = 0; i < 7; ++i) {
        const int index = meta->indexOfMethod(kMethods[i]);
        if (index >= 0) methods_[i] = meta->method(index);
    }
}

QStringList HostedPlugin::missingMethods() const {
    QStringList missing;
    for (int i = 0; i < 7; ++i) {
        if (!methods_[i].isValid()) missing << kMethods[i];
    }
    return missing;
}

// Each call keeps its own record: the host may call again while a call shows a window.
bool HostedPlugin::start(Index index, const QString& arguments, PluginCall& call) {
    call.method = QString(kMethods[index]).section('(', 0, 0);
    call.arguments = arguments;
    if (root_.isNull()) {
        call.error = "the plugin object is gone";
    } else if (!methods_[index].isValid()) {
        call.error = "the plugin has no method " + QString(kMethods[index]);
    } else {
        ++depth_;
        return true;
    }
    report(call);
    return false;
}

void HostedPlugin::finish(PluginCall& call, const QVariant& result, bool invoked) {
    --depth_;
    if (!invoked) {
        call.error = "the call could not be made";
    } else {
        const QVariant number = root_ ? root_->property(kErrorNumberProperty) : QVariant();
        call.errorNumber = number.isValid() ? number.toInt() : 0;
        if (call.errorNumber != 0) {
            call.error = root_->property(kErrorDescriptionProperty).toString();
        } else {
            call.result = result;
            call.succeeded = true;
        }
    }
    report(call);
}

void HostedPlugin::report(const PluginCall& call) {
    last_ = call;
    emit called(call);
}

template <typename... Args>
std::optional<bool> HostedPlugin::callBool(Index index, const QString& arguments, Args... args) {
    PluginCall call;
    if (!start(index, arguments, call)) return std::nullopt;
    bool result = false;
    const bool invoked = methods_[index].invoke(root_.data(), Qt::DirectConnection,
                                                Q_RETURN_ARG(bool, result), args...);
    finish(call, result, invoked);
    if (!call.succeeded) return std::nullopt;
    return result;
}

std::optional<QString> HostedPlugin::PluginName() {
    PluginCall call;
    if (!start(kPluginName, {}, call)) return std::nullopt;
    QString name;
    const bool invoked = methods_[kPluginName].invoke(root_.data(), Qt::DirectConnection,
                                                      Q_RETURN_ARG(QString, name));
    finish(call, name, invoked);
    if (!call.succeeded) return std::nullopt;
    return name;
}
std::optional<bool> HostedPlugin::Init(const QString& hostName, const QString& fileName,
                                       QObject* helper) {
    const QString arguments =
        QString("\"%1\", \"%2\", %3")
            .arg(hostName, fileName, helper ? helper->objectName() : QString("nothing"));
    return callBool(kInit, arguments, Q_ARG(QString, hostName), Q_ARG(QString, fileName),
                    Q_ARG(QObject*, helper));
}

std::optional<bool> HostedPlugin::Configure() {
    return callBool(kConfigure, {});
}

std::optional<bool> HostedPlugin::Enable() {
    return callBool(kEnable, {});
}

std::optional<bool> HostedPlugin::SetChannel(int slot, int level) {
    return callBool(kSetChannel, QString("%1, %2").arg(slot).arg(level), Q_ARG(int, slot),
                    Q_ARG(int, level));
}

std::optional<bool> HostedPlugin::Disable() {
    return callBool(kDisable, {});
}

std::optional<bool> HostedPlugin::Term() {
    return callBool(kTerm, {});
}

bool HostedPlugin::setChannelQuiet(int slot, int level) {
    bool result = false;
    if (root_.isNull() || !methods_[kSetChannel].isValid()) return false;
    const bool invoked =
        methods_[kSetChannel].invoke(root_.data(), Qt::DirectConnection, Q_RETURN_ARG(bool, result),
                                     Q_ARG(int, slot), Q_ARG(int, level));
    return invoked && result;
}
