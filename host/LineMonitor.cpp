#include "LineMonitor.h"

#include "qelio32/qelio32.h"

#include <dlfcn.h>

#include <cstring>

bool LineMonitor::attach() {
    // Only the copy the plugin loaded holds the open port.
    void* library = dlopen("libqelio32.so", RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) {
        error_ = "the plugin has not loaded libqelio32.so";
        return false;
    }
    command_ = reinterpret_cast<Command>(dlsym(library, "QIO_Command"));
    dlclose(library);  // the plugin's own reference keeps it loaded
    if (command_ == nullptr) error_ = "libqelio32.so has no QIO_Command";
    return command_ != nullptr;
}

std::optional<QByteArray> LineMonitor::exchange(const QByteArray& request) {
    if (command_ == nullptr || request.size() > QIO_COMMAND_BUFFER) return std::nullopt;
    uint8_t buffer[QIO_COMMAND_BUFFER] = {};
    std::memcpy(buffer, request.constData(), static_cast<size_t>(request.size()));
    int32_t length = static_cast<int32_t>(request.size());
    const int32_t status = command_(buffer, &length);
    if (status != 0) {
        error_ = QString("the unit answered status %1").arg(status);
        return std::nullopt;
    }
    if (length < 0 || length > QIO_COMMAND_BUFFER) length = 0;
    return QByteArray(reinterpret_cast<const char*>(buffer), length);
}

std::optional<QByteArray> LineMonitor::receivedRecord() {
    return exchange(QByteArray("\x28\x01", 2));
}

bool LineMonitor::sendFrame(uint8_t startCode, const QByteArray& levels) {
    QByteArray request("\x22\x00", 2);
    request.append(static_cast<char>(startCode));
    request.append(levels);
    return exchange(request).has_value();
}

bool LineMonitor::stopFrame() {
    return exchange(QByteArray(1, '\x23')).has_value();
}
