#include "core/ErrTrap.h"

#include "core/AppInfo.h"
#include "core/Client.h"
#include "core/UiServices.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <array>
#include <new>

namespace qel::ErrTrap {
namespace {

struct Entry {
    int32_t number;
    const char* name;  // nullptr: the number has a text but no name
    const char* text;
};

// Texts of two lines carry their line break.
constexpr std::array kTable{
    Entry{4097, "ErrQEL_Constraint", "Value sent to the local device is out of allowed Range"},
    Entry{4098, "ErrQEL_CommandInst", "The Command sent to the local device is not available"},
    Entry{4099, "ErrQEL_NotAnOption",
          "An Option used with a command to the \nlocal device is not available"},
    Entry{4100, "ErrQEL_FrameFormat", "A frame sent to the local device is incorrectly formatted"},
    Entry{4101, "ErrQEL_DataTooLong", "A frame sent to the local device is too long"},
    Entry{4102, "ErrQEL_DataMissing", "A frame sent to the local device is missing expected data"},
    Entry{4103, "ErrQEL_SystemMode", "Local device not in correct mode for request"},
    Entry{4104, "ErrQEL_SystemBusy", "The local device is Busy"},
    Entry{4106, "ErrQEL_DataCheckSum", "The local device detected a Check Sum Error"},
    Entry{4107, "ErrQEL_Incompatible", "Invalid data received by local device"},
    Entry{4112, "RDM_Device_Response_Wait", "RDM_Device_Response_Wait"},
    Entry{4114, "RDM_Device_Response_Overflow", "RDM_Device_Response_Overflow"},
    Entry{4115, "ErrRDM_Response_Transac",
          "Unexpected response from remote device\n"
          "Response transaction did not match the request"},
    Entry{4116, "ErrRDM_Response_SubDev", "Response form remote device is from wrong subdevice "},
    Entry{4117, "ErrRDM_Response_Format", "Error in received RDM Frame format"},
    Entry{4118, "ErrRDM_Response_ChkSum", "Bad Check Sum in RDM response from remote device"},
    Entry{4120, "ErrRDM_Response_Missing", "Expected reponse from remote device not received"},
    Entry{4122, nullptr, "Identity of responder not the same as was expected"},
    Entry{4123, "ErrRDM_Response_Mutex", "A device failed to mute or is duplicated"},
    Entry{4124, nullptr, "A remote device is corrupting the discovery routine"},
    Entry{4125, "ErrRDM_Response_UnExpected",
          "A response was received from a remote device\nNo response was expected"},
    Entry{4128, "NR_UNKNOWN_PID", "The PID used is not supported by the remote device"},
    Entry{4129, "NR_FORMAT_ERROR", "The remote device reports a request format error"},
    Entry{4130, "NR_HARDWARE_FAULT", "The remote device comand failed due to a Hardware Fault"},
    Entry{4131, "NR_PROXY_REJECT", "NR_PROXY_REJECT"},
    Entry{4132, "NR_WRITE_PROTECT", "The remote device is write protected"},
    Entry{4133, "NR_UNSUPPORTED_COMMAND_CLASS",
          "The Command Class is not supported by the remote device"},
    Entry{4134, "NR_DATA_OUT_OF_RANGE",
          "The value submitted is out of range \n for the remote device"},
    Entry{4135, "NR_BUFFER_FULL", "The remote device's buffer is full"},
    Entry{4136, "NR_PACKET_SIZE_UNSUPPORTED",
          "The remote device does not support the\nsize of request packet sent"},
    Entry{4137, "NR_SUB_DEVICE_OUT_OF_RANGE", "The remote device does not have this sub device"},
    Entry{4353, "ErrAPI_Connection",
          "Problem with connection to Equipment\nIf problem persists then check USB cables"},
    Entry{4354, "ErrAPI_DeviceMissig", "Local device has been disconnected"},
    Entry{4355, "ErrAPI_Response_Missing", "Local device is not responding"},
    Entry{4356, "ErrAPI_Response_Short", "Local device response truncated"},
    Entry{4357, "ErrAPI_Response_Format", "Response from local device has incorect format"},
    Entry{4358, "ErrAPI_Response_Match", "Response from local device does not match request"},
    Entry{4359, "ErrAPI_ProgFile_Compat", "Binary File not compatible with this device"},
    Entry{4360, "ErrAPI_ProgFile_Corrupt", "Binary File failed Integrity Check"},
    Entry{4361, "ErrAPI_ProgFile_Path", "The file Path was not found"},
    Entry{4362, "ErrAPI_ProgFile_Name", "The file was not found"},
    Entry{4364, "ErrAPI_ClientCall", "An erronious call was made to the API by the application"},
    Entry{4366, "ErrAPI_PortStatus", "Connection Port is in wrong mode"},
    Entry{4452, "ErrAPI_Unexpected", "Unexpected Error returned from Application interface"},
    Entry{4608, "ErrSYS_Local", ""},
    Entry{4609, "ErrSYS_Comms", "Communication error with Local Device"},
    Entry{4610, "ErrSYS_SubDev", "Remote Equipment Sub Device Error"},
    Entry{4611, "ErrSYS_Device", "Remote Device Equipment Error"},
};

const Entry* Find(int32_t number) {
    for (const Entry& e : kTable) {
        if (e.number == number) return &e;
    }
    return nullptr;
}

const QString kNotElaborated = QStringLiteral("Error Code not Elaborated");

// The saved error: valid between a handler's ErrCode and the end of that handler.
struct Saved {
    int32_t number = 0;
    QString source;
    QString description;
    bool shown = false;
    QString localText;
};
Saved g_saved;

std::function<void(QWidget*)> g_unloader;

QString Hex(int32_t value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// The library's last-error text for ErrAPI_Unexpected: the one captured with the error
// when there is one, else what the library says now.
// The description is "ErrAPI_Unexpected\n<library text>\n$164".
QString LibraryTextOf(const QString& description) {
    const qsizetype first = description.indexOf(QLatin1Char('\n'));
    const qsizetype last = description.lastIndexOf(QStringLiteral("\n$"));
    if (first < 0 || last <= first) return Client::API_LastError();
    return description.mid(first + 1, last - first - 1);
}

QString TextFor(int32_t number, const QString& description) {
    if (number == ErrSYS_Local) return g_saved.localText;
    if (const Entry* e = Find(number)) {
        if (number == ErrAPI_Unexpected) {
            return QString::fromLatin1(e->text) + QLatin1Char('\n') + LibraryTextOf(description);
        }
        return QString::fromLatin1(e->text);
    }
    return QStringLiteral("Error Code $") + Hex(number & 0xFF, 2) +
           QStringLiteral(" not Elaborated in this version");
}

void DefaultUnload(QWidget* view) {
    view->setProperty(kUnloadedProperty, true);
    view->close();
    view->deleteLater();
}

}  // namespace

QString ErrName(int32_t number) {
    const Entry* e = Find(number);
    if (e == nullptr || e->name == nullptr) return kNotElaborated;
    if (number == ErrAPI_Unexpected) {
        return QString::fromLatin1(e->name) + QLatin1Char('\n') + Client::API_LastError();
    }
    return QString::fromLatin1(e->name);
}

QString ErrText(int32_t number) {
    return TextFor(number, {});
}

PluginError ErrMake(int32_t code, const QString& source) {
    const int32_t number = code | kFirst;
    return PluginError(number, source.isEmpty() ? AppInfo::kAppTitle : source,
                       ErrName(number) + QStringLiteral("\n$") + Hex(code & 0xFFF, 3));
}

void ErrRaise(int32_t code, const QString& source) {
    PluginError error = ErrMake(code, source);
    g_saved.number = error.number();
    throw error;
}

void LocalError(const QString& text) {
    g_saved.localText = text;
    g_saved.number = ErrSYS_Local;
    throw PluginError(ErrSYS_Local, QStringLiteral("Local Error"), text);
}

PluginError AsPluginError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const PluginError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return RunTimeError(kErrOutOfMemory);
    } catch (const std::exception& e) {
        return RunTimeError(kErrInternal, RunTimeDescription(kErrInternal) + QStringLiteral(": ") +
                                              QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return RunTimeError(kErrInternal);
    }
}

int32_t ErrCode(std::exception_ptr error) {
    if (error) {
        try {
            std::rethrow_exception(error);
        } catch (const PluginError& e) {
            if (e.number() != kErrObjectUnloaded) {
                g_saved.number = e.number();
                g_saved.source = e.source();
                g_saved.description = e.description();
                g_saved.shown = e.shown();
                // A local error raised elsewhere than LocalError still shows its text.
                if (e.number() == ErrSYS_Local) g_saved.localText = e.description();
            }
        } catch (...) {
            const PluginError e = AsPluginError(std::current_exception());
            g_saved = {e.number(), e.source(), e.description(), false, g_saved.localText};
        }
    }
    return IsPluginNumber(g_saved.number) ? g_saved.number : 0;
}

PluginError SavedError() {
    return PluginError(g_saved.number, g_saved.source, g_saved.description, g_saved.shown);
}

int32_t SavedNumber() {
    return g_saved.number;
}

void ErrReRaise() {
    throw SavedError();
}

bool ErrShow(const QString& source, bool retry) {
    const QString text = IsPluginNumber(g_saved.number)
                             ? TextFor(g_saved.number, g_saved.description)
                             : g_saved.description;
    g_saved.shown = true;
    if (!retry) {
        Ui().messageBox(source, text, MsgIcon::Information, MsgButtons::Ok);
        return false;
    }
    return Ui().messageBox(source, text, MsgIcon::Question, MsgButtons::RetryCancel) ==
           MsgAnswer::Retry;
}

bool ErrAsk(const QString& source) {
    return ErrShow(source, true);
}

void ErrUnload(QWidget* view, int32_t code, const QString& source) {
    g_saved.number = code | kFirst;
    g_saved.source = source;
    g_saved.description = ErrName(g_saved.number);
    g_saved.shown = false;
    if (view == nullptr) return;
    if (g_unloader) {
        g_unloader(view);
    } else {
        DefaultUnload(view);
    }
}

void SetViewUnloader(std::function<void(QWidget*)> unloader) {
    g_unloader = std::move(unloader);
}

}  // namespace qel::ErrTrap
