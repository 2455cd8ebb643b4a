// Failures inside the library are exceptions naming their kind ("FRAME.ERROR_TIMEOUT");
// the exported functions catch everything and turn it into a code and a last-error text.
#pragma once

#include <cstdint>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>

namespace qelio {

class Failure : public std::runtime_error {
  public:
    explicit Failure(const std::string& fullName) : std::runtime_error(fullName) {}
    // The kind's full name, for example "FRAME.ERROR_TIMEOUT".
    std::string Name() const { return what(); }
};

// Full names of the failure kinds that the library raises itself.
namespace kind {
inline constexpr const char* kPortDataIo = "USB_IO.ERROR_PORTDATAIO";
inline constexpr const char* kPortNumber = "USB_IO.ERROR_PORTNUMBER";
inline constexpr const char* kPortSearch = "USB_IO.ERROR_PORTSEARCH";
inline constexpr const char* kPortStatus = "USB_IO.ERROR_PORTSTATUS";
inline constexpr const char* kPortHandle = "USB_IO.ERROR_PORTHANDLE";
inline constexpr const char* kPortUndef = "USB_IO.ERROR_PORTUNDEF";
inline constexpr const char* kPortLocked = "USB_IO.ERROR_PORTLOCKED";
inline constexpr const char* kTimeout = "FRAME.ERROR_TIMEOUT";
inline constexpr const char* kReplyLength = "FRAME.ERROR_REPLYLENGTH";
inline constexpr const char* kFrameFormat = "FRAME.ERROR_FRAMEFORMAT";
inline constexpr const char* kFrameMismatch = "FRAME.ERROR_MISMATCH";
inline constexpr const char* kDeviceMismatch = "DEVICE.ERROR_MISMATCH";
inline constexpr const char* kConstraint = "CONSTRAINT_ERROR";
inline constexpr const char* kCallToApi = "ERRORS.ERROR_CALLTOAPI";
inline constexpr const char* kDataError = "BYTES.DATA_ERROR";
inline constexpr const char* kPathError = "DATAFILE.PATH_ERROR";
inline constexpr const char* kRecordError = "DATAFILE.RECORD_ERROR";
inline constexpr const char* kIncompatible = "REPROG.ERROR_INCOMPATIBLE";
inline constexpr const char* kDataChecksum = "REPROG.ERROR_DATACHECKSUM";
inline constexpr const char* kReprogUnknown = "REPROG.ERROR_UNKNOWN";
inline constexpr const char* kReprogRunning = "REPROG.ERROR_RUNNING";
inline constexpr const char* kReprogWorker = "REPROG.ERROR_WORKER";
// Internal failures that are not Failure exceptions (-100).
inline constexpr const char* kStorage = "STORAGE_ERROR";
inline constexpr const char* kProgram = "PROGRAM_ERROR";
}  // namespace kind

// Raises a failure of this kind, noting it in the protocol trace first.
[[noreturn]] void Fail(const char* kindName);

// Result code of a failure kind by its full name (-100 for kinds without their own code).
int32_t CodeOf(const std::string& fullName) noexcept;

// Builds and stores the last-error text "<name>\n\r<label>" and returns the code.
// Safe to call from any thread.
int32_t ReportFailure(const std::string& fullName, const char* label) noexcept;

// A copy of the current last-error text (empty before the first failure).
std::string LastErrorText();

// Runs `body` under the catch-all of the exported surface: a failure (or any other
// exception) is reported with `label` and its code returned.
template <typename Body>
int32_t Guarded(const char* label, Body&& body) noexcept {
    try {
        return body();
    } catch (const Failure& f) {
        return ReportFailure(f.what(), label);
    } catch (const std::bad_alloc&) {
        return ReportFailure(kind::kStorage, label);
    } catch (...) {
        return ReportFailure(kind::kProgram, label);
    }
}

}  // namespace qelio
