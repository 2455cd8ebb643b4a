#include "support/ScriptedLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace qel::test {

ScriptedLibrary::ScriptedLibrary() : previous_(SetLibrary(this)) {}

ScriptedLibrary::~ScriptedLibrary() {
    SetLibrary(previous_);
}

int32_t ScriptedLibrary::CopyText(const QString& text, char* buffer, int32_t size) {
    const QByteArray bytes = text.toLatin1();
    const auto n = static_cast<int32_t>(std::min<qsizetype>(bytes.size(), size));
    std::memcpy(buffer, bytes.constData(), static_cast<size_t>(n));
    return n;
}

int32_t ScriptedLibrary::PortCount() {
    return portCountResult != -1 ? portCountResult : static_cast<int32_t>(portNames.size());
}

int32_t ScriptedLibrary::PortName(int32_t port, char* buffer, int32_t size) {
    if (portNameResult != 0) return portNameResult;
    if (port < 1 || port > portNames.size()) return -1;
    return CopyText(portNames[port - 1], buffer, size);
}

int32_t ScriptedLibrary::OpenPort(int32_t port) {
    opened.push_back(port);
    return openResult;
}

int32_t ScriptedLibrary::FreePort() {
    ++freed;
    return freeResult;
}

int32_t ScriptedLibrary::Command(uint8_t* buffer, int32_t* length) {
    const QByteArray request(reinterpret_cast<const char*>(buffer), *length);
    requests.push_back(request);
    if (onCommand) onCommand(request);
    if (exchanges.empty()) {
        ADD_FAILURE() << "unscripted command " << request.toHex(' ').toStdString();
        *length = 0;
        return -100;
    }
    const Exchange next = exchanges.front();
    exchanges.pop_front();
    std::copy(next.reply.begin(), next.reply.end(), buffer);
    *length = static_cast<int32_t>(next.reply.size());
    return next.status;
}

int32_t ScriptedLibrary::LastError(char* buffer, int32_t size) {
    return CopyText(lastError, buffer, size);
}

int32_t ScriptedLibrary::Version(char* buffer, int32_t size) {
    const int32_t n = CopyText(version, buffer, size);
    return versionResult != 0 ? versionResult : n;
}

int32_t ScriptedLibrary::Reprogram(const char* path) {
    reprogrammed.emplace_back(path);
    return reprogramResult;
}

int32_t ScriptedLibrary::ProgState() {
    return progState;
}

}  // namespace qel::test
