#include "core/SharedLibraryBinding.h"

#include "core/PluginError.h"

#include <QDir>
#include <QFileInfo>

#include <dlfcn.h>

namespace qel {
namespace {

// The folder of the module (plugin or program) that holds this code.
QString OwnFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnFolder), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

QString DlError() {
    const char* text = dlerror();
    return text != nullptr ? QString::fromLocal8Bit(text) : QString();
}

}  // namespace

SharedLibraryBinding::SharedLibraryBinding(QString path) : path_(std::move(path)) {}

SharedLibraryBinding::~SharedLibraryBinding() {
    // The library stays loaded: it may still hold the port or run a reprogramming
    // worker, and unloading code that a thread runs would crash the host.
}

void* SharedLibraryBinding::handle() {
    if (handle_ != nullptr) return handle_;
    QString tried;
    if (!path_.isEmpty()) {
        handle_ = dlopen(QFile::encodeName(path_).constData(), RTLD_NOW | RTLD_LOCAL);
        tried = path_;
    } else {
        const QString beside = QDir(OwnFolder()).filePath(QString::fromLatin1(kFileName));
        if (QFileInfo::exists(beside)) {
            handle_ = dlopen(QFile::encodeName(beside).constData(), RTLD_NOW | RTLD_LOCAL);
            tried = beside;
        }
        if (handle_ == nullptr) {
            handle_ = dlopen(kFileName, RTLD_NOW | RTLD_LOCAL);
            tried = QString::fromLatin1(kFileName);
        }
    }
    if (handle_ == nullptr) {
        throw RunTimeError(kErrFileNotFound,
                           QStringLiteral("File not found: %1\n%2").arg(tried, DlError()));
    }
    return handle_;
}

void* SharedLibraryBinding::symbol(void*& slot, const char* name) {
    if (slot != nullptr) return slot;
    void* library = handle();
    dlerror();
    slot = dlsym(library, name);
    if (slot == nullptr) {
        throw RunTimeError(kErrEntryPoint,
                           QStringLiteral("Can't find DLL entry point %1 in %2")
                               .arg(QString::fromLatin1(name), QString::fromLatin1(kFileName)));
    }
    return slot;
}

int32_t SharedLibraryBinding::PortCount() {
    return bind<int32_t (*)()>(portCount_, "QIO_PortCount")();
}

int32_t SharedLibraryBinding::PortName(int32_t port, char* buffer, int32_t size) {
    return bind<int32_t (*)(int32_t, char*, int32_t)>(portName_, "QIO_PortName")(port, buffer,
                                                                                 size);
}

int32_t SharedLibraryBinding::OpenPort(int32_t port) {
    return bind<int32_t (*)(int32_t)>(openPort_, "QIO_OpenPort")(port);
}

int32_t SharedLibraryBinding::FreePort() {
    return bind<int32_t (*)()>(freePort_, "QIO_FreePort")();
}

int32_t SharedLibraryBinding::Command(uint8_t* buffer, int32_t* length) {
    return bind<int32_t (*)(uint8_t*, int32_t*)>(command_, "QIO_Command")(buffer, length);
}

int32_t SharedLibraryBinding::LastError(char* buffer, int32_t size) {
    return bind<int32_t (*)(char*, int32_t)>(lastError_, "QIO_LastError")(buffer, size);
}

int32_t SharedLibraryBinding::Version(char* buffer, int32_t size) {
    return bind<int32_t (*)(char*, int32_t)>(version_, "QIO_Version")(buffer, size);
}

int32_t SharedLibraryBinding::Reprogram(const char* path) {
    return bind<int32_t (*)(const char*)>(reprogram_, "QIO_Reprogram")(path);
}

int32_t SharedLibraryBinding::ProgState() {
    return bind<int32_t (*)()>(progState_, "QIO_ProgState")();
}

}  // namespace qel
