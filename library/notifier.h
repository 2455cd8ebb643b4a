// The library's message boxes (three messages with a caption and one OK
// button) go through here: to the hook a program installed with QELIO32_SetMessageHook,
// or, without one, to standard error without blocking.
#pragma once

#include <string>

namespace qelio {

inline constexpr const char* kCaptionUsbIo = "USB_IO";
inline constexpr const char* kCaptionUsbConnection = "USB connection";
inline constexpr const char* kMsgCloseHandleError = "PortClose Handle Error";
inline constexpr const char* kMsgLockedDetected =
    "A Locked USB port has been detected. Attempting to clear";
inline constexpr const char* kMsgLockedReset = "Locked USB port successfully reset.";

// Shows one message; returns when the hook returns (at once without a hook).
void Notify(const char* caption, const char* text) noexcept;

// A diagnostic line for a person (not one of the three messages): standard error,
// without blocking, prefixed "qelio32: ".
void Diagnose(const std::string& line) noexcept;

}  // namespace qelio
