#include "core/SharedLibraryBinding.h"

#include "core/ModuleFolder.h"
#include "core/PluginError.h"
#include "core/UiServices.h"

#include <qelio32/qelio32_hooks.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

#include <dlfcn.h>

namespace qel {
namespace {

QString DlError() {
    const char* text = dlerror();
    return text != nullptr ? QString::fromLocal8Bit(text) : QString();
}

}  // namespace

void ShowLibraryMessage(const char* caption, const char* text, void* /*context*/) {
    const QString title = QString::fromLocal8Bit(caption != nullptr ? caption : "");
    const QString body = QString::fromLocal8Bit(text != nullptr ? text : "");
    // Windows belong to the user-interface thread; from any other the message is logged.
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread()) {
        qWarning("%s: %s", qPrintable(title), qPrintable(body));
        return;
    }
    try {
        Ui().messageBox(title, body, MsgIcon::None, MsgButtons::Ok);
    } catch (...) {
        // Nothing may leave the hook into the library.
    }
}

SharedLibraryBinding::SharedLibraryBinding(QString path) : path_(std::move(path)) {}

SharedLibraryBinding::~SharedLibraryBinding() {
    // The library stays loaded: it may still hold the port or run a reprogramming
    // worker, and unloading code that a thread runs would crash the host. The hook goes,
    // since it points into the plugin, which may be unloaded now.
    if (handle_ == nullptr) return;
    using SetHook = void (*)(QELIO32_MessageHook, void*);
    if (auto setHook = reinterpret_cast<SetHook>(dlsym(handle_, "QELIO32_SetMessageHook"))) {
        setHook(nullptr, nullptr);
    }
}

void* SharedLibraryBinding::handle() {
    if (handle_ != nullptr) return handle_;
    QString tried;
    if (!path_.isEmpty()) {
        handle_ = dlopen(QFile::encodeName(path_).constData(), RTLD_NOW | RTLD_LOCAL);
        tried = path_;
    } else {
        // Beside this code, then in the folder above it (the host's folder, which holds
        // Plugins/), then beside the host program. The module's own run path says the
        // same, but a loader wrapped by a debugging tool does not read it.
        const QString own = ModuleFolder();
        QStringList folders{own, QDir(own).filePath(QStringLiteral(".."))};
        if (QCoreApplication::instance() != nullptr)
            folders << QCoreApplication::applicationDirPath();
        for (const QString& folder : folders) {
            if (handle_ != nullptr || folder.isEmpty()) continue;
            const QString candidate = QDir(folder).filePath(QString::fromLatin1(kFileName));
            if (!QFileInfo::exists(candidate)) continue;
            handle_ = dlopen(QFile::encodeName(candidate).constData(), RTLD_NOW | RTLD_LOCAL);
            tried = candidate;
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
    using SetHook = void (*)(QELIO32_MessageHook, void*);
    if (auto setHook = reinterpret_cast<SetHook>(dlsym(handle_, "QELIO32_SetMessageHook"))) {
        setHook(&ShowLibraryMessage, nullptr);
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
