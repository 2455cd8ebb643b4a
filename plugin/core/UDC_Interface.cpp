#include "core/UDC_Interface.h"

#include "core/AppInfo.h"
#include "core/CoreViews.h"
#include "core/ErrHandler.h"
#include "core/IO_Tasks.h"
#include "core/PluginError.h"
#include "core/UDC_Control.h"
#include "forms/HCF_Form.h"

namespace qel {

using namespace ErrTrap;

UDC_Interface::UDC_Interface(QObject* parent)
    : QObject(parent), control_(std::make_unique<UDC_Control>()) {
    setObjectName("UDC_Interface");
    RegisterCoreViews();
}

UDC_Interface::~UDC_Interface() = default;

template <typename F>
bool UDC_Interface::Call(F&& body) {
    // The host may call again while a call waits for a window (SetChannel while the main
    // window is open): the outcome of each call is set when that call ends.
    int32_t number = 0;
    QString description;
    bool result = false;
    ++depth_;
    try {
        result = body();
    } catch (...) {
        const PluginError error = AsPluginError(std::current_exception());
        number = error.number();
        description = error.description();
    }
    --depth_;
    errorNumber_ = number;
    errorDescription_ = description;
    return number == 0 && result;
}

UDC_Control& UDC_Interface::Controller() {
    // After Term the plugin has no controller until the next Init.
    if (!control_) throw RunTimeError(kErrObjectNotSet);
    return *control_;
}

void UDC_Interface::ShowMainWindow() {
    HCF_Form root;
    root.OpenForm(QStringLiteral("User_Main"), true, control_.get());
}

QString UDC_Interface::PluginName() {
    errorNumber_ = 0;
    errorDescription_.clear();
    return AppInfo::kProductName;
}

bool UDC_Interface::Init(QString HostName, QString FileName, QObject* Helper) {
    Call([&] {
        if (!control_) control_ = std::make_unique<UDC_Control>();
        if (!tasks_) tasks_ = std::make_unique<IO_Tasks>();
        control_->Port().FindLast();
        control_->Initialise(Helper, HostName, QStringLiteral("Plugins\\") + FileName);
        return true;
    });
    return false;
}

bool UDC_Interface::Configure() {
    return Call([&] {
        UDC_Control& control = Controller();
        Handler h{AppInfo::kProductName + QStringLiteral(" - Configure")};
        return h
            .run([&] {
                FDF_Port& port = control.Port();
                if (port.InUse()) {
                    control.Pause();
                    ShowMainWindow();
                    if (!port.InUse()) port.Seize();
                    control.Begin();
                } else {
                    ShowMainWindow();
                    if (port.InUse()) {
                        control.Finish();
                        port.Release();
                    }
                }
                return port.Ready() || port.InUse();
            })
            .value_or(false);
    });
}

bool UDC_Interface::Enable() {
    return Call([&] {
        UDC_Control& control = Controller();
        if (!control.Port().Ready()) ShowMainWindow();
        if (control.Port().Ready()) {
            control.Port().Seize();
            control.Begin();
        }
        return true;
    });
}

bool UDC_Interface::SetChannel(int Slot, int Level) {
    return Call([&] {
        UDC_Control& control = Controller();
        Handler h{AppInfo::kProductName + QStringLiteral(" - Channel Update")};
        return h
            .run([&] {
                if (control.Mode() == 1) return false;
                if (Level < 0 || Level > 255 || Slot < 1 || Slot > UDC_Control::kSlots)
                    return false;
                control.Update(Slot, Level);
                return true;
            })
            .value_or(false);
    });
}

bool UDC_Interface::Disable() {
    return Call([&] {
        UDC_Control& control = Controller();
        // The port is released even when stopping the traffic failed (a unit that went
        // away): a disabled plugin must not keep it.
        try {
            control.Finish();
        } catch (...) {
            control.Port().Release();
            throw;
        }
        control.Port().Release();
        return true;
    });
}

bool UDC_Interface::Term() {
    Call([&] {
        // Dropping the controller under a call that is still using it (Term from inside
        // Enable's or Configure's window) would pull it away from under that call.
        if (depth_ > 1) {
            throw RunTimeError(kErrInvalidCall,
                               QStringLiteral("Term is not possible while another call runs"));
        }
        control_.reset();
        return true;
    });
    return false;
}

}  // namespace qel
