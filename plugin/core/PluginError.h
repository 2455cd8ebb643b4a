// The one exception type of the plugin: every failure, whether found by the plugin,
// reported by the local device or the library, or a run-time fault of the code itself,
// travels as a PluginError carrying a number, the source that raised it and a
// description.
#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

namespace qel {

// Run-time error numbers below the plugin's own range. They keep the numbers and texts
// people have always seen for these faults.
enum RunTimeErrorNumber : int32_t {
    kErrInvalidCall = 5,
    kErrOverflow = 6,
    kErrOutOfMemory = 7,
    kErrSubscript = 9,
    kErrDivisionByZero = 11,
    kErrTypeMismatch = 13,
    kErrInternal = 51,
    kErrFileNotFound = 53,
    kErrPathFileAccess = 75,
    kErrObjectNotSet = 91,
    kErrObjectUnloaded = 364,
    kErrEntryPoint = 453,
};

class PluginError : public std::exception {
  public:
    PluginError(int32_t number, QString source, QString description, bool shown = false);

    int32_t number() const { return number_; }
    const QString& source() const { return source_; }
    const QString& description() const { return description_; }

    // True once a message box has shown this failure to the user, so that the
    // handlers it passes through on its way up do not show it a second time.
    bool shown() const { return shown_; }
    PluginError& markShown() {
        shown_ = true;
        return *this;
    }

    const char* what() const noexcept override { return what_.c_str(); }

  private:
    int32_t number_;
    QString source_;
    QString description_;
    bool shown_;
    std::string what_;
};

// The description a run-time error number has ("Overflow", "Type mismatch", ...).
QString RunTimeDescription(int32_t number);

// A run-time error with its standard description, raised by the plugin's application.
PluginError RunTimeError(int32_t number);
// The same with a description of its own ("File not found: ...").
PluginError RunTimeError(int32_t number, const QString& description);

}  // namespace qel
