// The object a lighting host creates and drives: seven methods, called by name, that
// name the plugin, initialise it, let the person configure it, enable and disable the
// traffic with the unit, and hand over every changed output level.
//
// A call that fails reports it, as an automation server's failed result would, through
// the properties ErrorNumber and ErrorDescription (0 and empty after a call that
// succeeded); the method then returns false. Nothing is ever thrown at the host.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace qel {

class IO_Tasks;
class UDC_Control;

class UDC_Interface : public QObject {
    Q_OBJECT
    Q_PROPERTY(int ErrorNumber READ ErrorNumber)
    Q_PROPERTY(QString ErrorDescription READ ErrorDescription)

  public:
    explicit UDC_Interface(QObject* parent = nullptr);
    ~UDC_Interface() override;

    Q_INVOKABLE QString PluginName();
    Q_INVOKABLE bool Init(QString HostName, QString FileName, QObject* Helper);
    Q_INVOKABLE bool Configure();
    Q_INVOKABLE bool Enable();
    Q_INVOKABLE bool SetChannel(int Slot, int Level);
    Q_INVOKABLE bool Disable();
    Q_INVOKABLE bool Term();

    int ErrorNumber() const { return errorNumber_; }
    QString ErrorDescription() const { return errorDescription_; }

    // The controller while the plugin lives (between creation and Term); for tests.
    UDC_Control* Control() const { return control_.get(); }

  private:
    // Runs one host call: clears the last failure, and turns anything thrown into the
    // failure the host reads.
    template <typename F>
    bool Call(F&& body);
    UDC_Control& Controller();
    // Opens the main window modally with the controller as its data object.
    void ShowMainWindow();

    std::unique_ptr<UDC_Control> control_;
    std::unique_ptr<IO_Tasks> tasks_;
    int depth_ = 0;  // host calls in progress, nested ones included
    int errorNumber_ = 0;
    QString errorDescription_;
};

}  // namespace qel
