// Failures inside the library are exceptions naming their kind ("FRAME.ERROR_TIMEOUT");
// the exported functions catch everything and turn it into a code and a last-error text.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qelio {

class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& fullName) : std::runtime_error(fullName) {}
    // The kind's full name, for example "FRAME.ERROR_TIMEOUT".
    std::string Name() const { return what(); }
};

// Result code of a failure kind by its full name (-100 for kinds without their own code).
int32_t CodeOf(const std::string& fullName);

// Builds and stores the last-error text "<name>\n\r<label>" and returns the code.
// Safe to call from any thread.
int32_t ReportFailure(const std::string& fullName, const char* label);

// Runs `body` under the catch-all of the exported surface: a failure (or any other
// exception) is reported with `label` and its code returned.
template <typename Body>
int32_t Guarded(const char* label, Body&& body) noexcept;

}  // namespace qelio
