// One plugin object as the host drives it: its seven methods are looked up by name once
// (as a late-bound client asks for the dispatch ids) and then invoked through the
// meta-object system. Every call is reported, with its arguments and outcome, so the
// window and the non-interactive run can show what happened.
#pragma once

#include <QMetaMethod>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <optional>

struct PluginCall {
    QString method;
    QString arguments;  // as written in the log: "30, 200"
    QVariant result;    // invalid when the call could not be made or failed
    // The call went through and the plugin reported no failure.
    bool succeeded = false;
    // Failure the plugin reported for the call (its error number and text), or why the
    // host could not make the call at all.
    int errorNumber = 0;
    QString error;

    // "SetChannel(30, 200) -> true" or "Enable() failed: ...".
    QString describe() const;
};

class HostedPlugin : public QObject {
    Q_OBJECT

  public:
    // The methods the host calls, in the order of the interface.
    static const char* const kMethods[7];

    explicit HostedPlugin(QObject* root, QObject* parent = nullptr);

    QObject* root() const { return root_; }
    // Names of the interface methods the object lacks (with the host's signature).
    QStringList missingMethods() const;

    std::optional<QString> PluginName();
    std::optional<bool> Init(const QString& hostName, const QString& fileName, QObject* helper);
    std::optional<bool> Configure();
    std::optional<bool> Enable();
    std::optional<bool> SetChannel(int slot, int level);
    std::optional<bool> Disable();
    std::optional<bool> Term();

    // Unreported SetChannel for tight loops (benchmarks): the plain result, false when
    // the call failed.
    bool setChannelQuiet(int slot, int level);

    const PluginCall& lastCall() const { return last_; }
    // A call is under way (the plugin may be showing a window of its own meanwhile).
    bool busy() const { return depth_ > 0; }

  signals:
    void called(const PluginCall& call);

  private:
    enum Index { kPluginName, kInit, kConfigure, kEnable, kSetChannel, kDisable, kTerm };

    template <typename... Args>
    std::optional<bool> callBool(Index index, const QString& arguments, Args... args);
    bool start(Index index, const QString& arguments, PluginCall& call);
    void finish(PluginCall& call, const QVariant& result, bool invoked);
    void report(const PluginCall& call);

    QPointer<QObject> root_;
    QMetaMethod methods_[7];
    PluginCall last_;
    int depth_ = 0;
};
