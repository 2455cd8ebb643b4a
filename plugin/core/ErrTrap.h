// The plugin's single failure path: numbered errors, their names and texts, and the
// module-wide saved error that a handler captures, shows and passes on.
//
// Most code does not call these directly: procedures guard their body with
// ErrTrap::Handler (core/ErrHandler.h), which runs the capture / show / pass-on
// sequence from a case list.
#pragma once

#include "core/PluginError.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>

class QWidget;

namespace qel::ErrTrap {

// Plugin error numbers: 4096 + unit status, 4352 + library failure code, own 4608..4611.
inline constexpr int32_t kFirst = 0x1000;
inline constexpr int32_t kLast = 0x1FFF;
inline constexpr int32_t kDeviceStatusBase = 4096;
inline constexpr int32_t kLibraryBase = 4352;

enum Number : int32_t {
    ErrQEL_Constraint = 4097,
    ErrQEL_CommandInst = 4098,
    ErrQEL_NotAnOption = 4099,
    ErrQEL_FrameFormat = 4100,
    ErrQEL_DataTooLong = 4101,
    ErrQEL_DataMissing = 4102,
    ErrQEL_SystemMode = 4103,
    ErrQEL_SystemBusy = 4104,
    ErrQEL_DataCheckSum = 4106,
    ErrQEL_Incompatible = 4107,
    RDM_Device_Response_Wait = 4112,
    RDM_Device_Response_Overflow = 4114,
    ErrRDM_Response_Transac = 4115,
    ErrRDM_Response_SubDev = 4116,
    ErrRDM_Response_Format = 4117,
    ErrRDM_Response_ChkSum = 4118,
    ErrRDM_Response_Missing = 4120,
    ErrRDM_Response_Identity = 4122,  // has a text but no name of its own
    ErrRDM_Response_Mutex = 4123,
    ErrRDM_Response_Corrupting = 4124,  // has a text but no name of its own
    ErrRDM_Response_UnExpected = 4125,
    NR_UNKNOWN_PID = 4128,
    NR_FORMAT_ERROR = 4129,
    NR_HARDWARE_FAULT = 4130,
    NR_PROXY_REJECT = 4131,
    NR_WRITE_PROTECT = 4132,
    NR_UNSUPPORTED_COMMAND_CLASS = 4133,
    NR_DATA_OUT_OF_RANGE = 4134,
    NR_BUFFER_FULL = 4135,
    NR_PACKET_SIZE_UNSUPPORTED = 4136,
    NR_SUB_DEVICE_OUT_OF_RANGE = 4137,
    ErrAPI_Connection = 4353,
    ErrAPI_DeviceMissig = 4354,
    ErrAPI_Response_Missing = 4355,
    ErrAPI_Response_Short = 4356,
    ErrAPI_Response_Format = 4357,
    ErrAPI_Response_Match = 4358,
    ErrAPI_ProgFile_Compat = 4359,
    ErrAPI_ProgFile_Corrupt = 4360,
    ErrAPI_ProgFile_Path = 4361,
    ErrAPI_ProgFile_Name = 4362,
    ErrAPI_ClientCall = 4364,
    ErrAPI_PortStatus = 4366,
    ErrAPI_Unexpected = 4452,
    ErrSYS_Local = 4608,
    ErrSYS_Comms = 4609,
    ErrSYS_SubDev = 4610,
    ErrSYS_Device = 4611,
};

inline constexpr bool IsPluginNumber(int32_t number) {
    return number >= kFirst && number <= kLast;
}

// The name of a plugin error number; "Error Code not Elaborated" when it has none.
// ErrAPI_Unexpected's name carries the library's last-error text on a second line.
QString ErrName(int32_t number);

// The text a person is shown for a plugin error number (the last local-error text for
// ErrSYS_Local, the "not Elaborated" form for numbers without a text).
QString ErrText(int32_t number);

// The error ErrRaise raises, for code that adds to it before throwing.
PluginError ErrMake(int32_t code, const QString& source = {});

// Raises error number (code | 0x1000) with `source` (the application's title when empty)
// and the description "<name>\n$<last three hex digits of code>".
[[noreturn]] void ErrRaise(int32_t code, const QString& source = {});

// Raises ErrSYS_Local for a rule the plugin itself found broken; `text` is what the
// user is shown.
[[noreturn]] void LocalError(const QString& text);

// Any exception as a plugin error: a PluginError as it is, others as run-time errors
// (out of memory, or an internal error carrying what the exception says).
PluginError AsPluginError(std::exception_ptr error);

// Captures the error being handled (by default the exception in flight) as the saved
// error, unless it is the "object was unloaded" error, which leaves the saved error of
// the view that unloaded itself in place. Returns the saved number when it is a plugin
// error, else 0. Exceptions that are not PluginErrors are captured as run-time errors.
int32_t ErrCode(std::exception_ptr error = std::current_exception());

// The saved error as an exception: number, source, description and whether it has
// been shown.
PluginError SavedError();
int32_t SavedNumber();

// Raises the saved error again.
[[noreturn]] void ErrReRaise();

// Shows the saved error in a message box titled `source`. Without retry: information
// icon, OK, returns false. With retry: question icon, Retry and Cancel; true for Retry.
bool ErrShow(const QString& source, bool retry = false);
bool ErrAsk(const QString& source);

// For a view that fails while it is being set up: saves (code | 0x1000) and `source`
// and unloads the view. Whoever then tries to show it gets kErrObjectUnloaded, and its
// handler finds the view's code through ErrCode.
void ErrUnload(QWidget* view, int32_t code, const QString& source);

// How ErrUnload unloads a view. The default closes it and deletes it later, after
// marking it with the property kUnloadedProperty; the form framework installs its own.
inline constexpr const char* kUnloadedProperty = "qelUnloaded";
void SetViewUnloader(std::function<void(QWidget*)> unloader);

}  // namespace qel::ErrTrap
