// A plugin object with the seven methods, recording every call and answering as told,
// so the host can be tested without a unit.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class FakePlugin : public QObject {
    Q_OBJECT
    Q_PROPERTY(int ErrorNumber MEMBER errorNumber)
    Q_PROPERTY(QString ErrorDescription MEMBER errorDescription)

  public:
    Q_INVOKABLE QString PluginName() {
        calls << "PluginName";
        return "Fake Plugin";
    }
    Q_INVOKABLE bool Init(QString HostName, QString FileName, QObject* Helper) {
        calls << "Init " + HostName + " " + FileName;
        helper = Helper;
        return false;
    }
    Q_INVOKABLE bool Configure() {
        if (duringConfigure) duringConfigure();  // as while the plugin's window is open
        return answer("Configure");
    }
    Q_INVOKABLE bool Enable() { return answer("Enable"); }
    Q_INVOKABLE bool SetChannel(int Slot, int Level) {
        return answer(QString("SetChannel %1 %2").arg(Slot).arg(Level));
    }
    Q_INVOKABLE bool Disable() { return answer("Disable"); }
    Q_INVOKABLE bool Term() {
        answer("Term");
        return false;
    }

    // Calls whose name starts with this fail with `failNumber`.
    QString failing;
    int failNumber = 4355;
    QStringList calls;
    std::function<void()> duringConfigure;
    QPointer<QObject> helper;
    int errorNumber = 0;
    QString errorDescription;

  private:
    bool answer(const QString& call) {
        calls << call;
        errorNumber = 0;
        errorDescription.clear();
        if (!failing.isEmpty() && call.startsWith(failing)) {
            errorNumber = failNumber;
            errorDescription = "Local device is not responding";
            return false;
        }
        return true;
    }
};

// The same without SetChannel: not a plugin the host can drive.
class IncompletePlugin : public QObject {
    Q_OBJECT

  public:
    Q_INVOKABLE QString PluginName() { return "Incomplete"; }
    Q_INVOKABLE bool Init(QString, QString, QObject*) { return false; }
    Q_INVOKABLE bool Configure() { return true; }
    Q_INVOKABLE bool Enable() { return true; }
    Q_INVOKABLE bool SetChannel(int, QString) { return true; }  // wrong signature
    Q_INVOKABLE bool Disable() { return true; }
    Q_INVOKABLE bool Term() { return false; }
};
