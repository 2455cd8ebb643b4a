#include "core/PluginError.h"

#include "core/AppInfo.h"

namespace qel {

PluginError::PluginError(int32_t number, QString source, QString description, bool shown)
    : number_(number),
      source_(std::move(source)),
      description_(std::move(description)),
      shown_(shown),
      what_(QStringLiteral("(%1) %2").arg(number_).arg(description_).toStdString()) {}

QString RunTimeDescription(int32_t number) {
    switch (number) {
        case kErrInvalidCall:
            return QStringLiteral("Invalid procedure call or argument");
        case kErrOverflow:
            return QStringLiteral("Overflow");
        case kErrOutOfMemory:
            return QStringLiteral("Out of memory");
        case kErrSubscript:
            return QStringLiteral("Subscript out of range");
        case kErrDivisionByZero:
            return QStringLiteral("Division by zero");
        case kErrTypeMismatch:
            return QStringLiteral("Type mismatch");
        case kErrInternal:
            return QStringLiteral("Internal error");
        case kErrFileNotFound:
            return QStringLiteral("File not found");
        case kErrPathFileAccess:
            return QStringLiteral("Path/File access error");
        case kErrObjectNotSet:
            return QStringLiteral("Object variable or With block variable not set");
        case kErrObjectUnloaded:
            return QStringLiteral("Object was unloaded");
        case kErrEntryPoint:
            return QStringLiteral("Can't find DLL entry point");
        default:
            return QStringLiteral("Application-defined or object-defined error");
    }
}

PluginError RunTimeError(int32_t number) {
    return PluginError(number, AppInfo::kAppTitle, RunTimeDescription(number));
}

PluginError RunTimeError(int32_t number, const QString& description) {
    return PluginError(number, AppInfo::kAppTitle, description);
}

}  // namespace qel
